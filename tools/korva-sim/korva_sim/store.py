"""The fax spool of the stand-in server.

Message number N is stored as NNNN.eml (the message as received, written
atomically and never overwritten), the attachments decoded beside it as
NNNN-korvafax_K.tif, and NNNN.json last, so a reader that sees the JSON file
finds everything else in place.
"""

import hashlib
import json
import os
import re
import threading

from korva_sim import faxmessage, tiffpages

_NUMBERED = re.compile(r"^(\d{4,})\.eml$")
_ATTACHMENT_NAME = re.compile(r"^korvafax_(\d{1,9})\.fmf$", re.I)


def _write_new(path, data):
    """Creates `path` with `data` whole, or raises FileExistsError."""
    temp = f"{path}.{os.getpid()}.{threading.get_ident()}.tmp"
    with open(temp, "wb") as out:
        out.write(data)
        out.flush()
        os.fsync(out.fileno())
    try:
        os.link(temp, path)
    finally:
        os.unlink(temp)


def _replace(path, data):
    temp = f"{path}.{os.getpid()}.{threading.get_ident()}.tmp"
    with open(temp, "wb") as out:
        out.write(data)
    os.replace(temp, path)


class FaxStore:
    def __init__(self, folder):
        self.folder = os.path.abspath(folder)
        os.makedirs(self.folder, mode=0o700, exist_ok=True)
        self._lock = threading.Lock()
        self._next = 1 + max((int(m.group(1)) for m in map(_NUMBERED.match, os.listdir(self.folder)) if m),
                             default=0)

    def _claim(self, raw):
        """Stores the message under the next free number and returns it."""
        while True:
            with self._lock:
                number = self._next
                self._next += 1
            try:
                _write_new(os.path.join(self.folder, f"{number:04d}.eml"), raw)
                return number
            except FileExistsError:
                continue

    def _attachment_file(self, number, index, name, taken):
        match = _ATTACHMENT_NAME.match(name)
        base = f"{number:04d}-korvafax_{int(match.group(1))}.tif" if match else f"{number:04d}-part_{index}.bin"
        if base in taken:
            base = f"{number:04d}-part_{index}.bin"
        taken.add(base)
        return base

    def save(self, raw, envelope):
        """Stores one accepted message; `envelope` holds the SMTP session data
        for the JSON file. Returns the message number."""
        number = self._claim(raw)
        summary, attachments = faxmessage.parse_fax_message(raw)
        record = {"number": number, "message": f"{number:04d}.eml", "envelope": envelope}
        record.update(summary)
        record["attachments"] = []
        taken = set()
        for index, (name, data) in enumerate(attachments, start=1):
            file_name = self._attachment_file(number, index, name, taken)
            path = os.path.join(self.folder, file_name)
            _replace(path, data)
            pages, problem = tiffpages.read_pages(path)
            record["attachments"].append({
                "name": name,
                "file": file_name,
                "size": len(data),
                "sha256": hashlib.sha256(data).hexdigest(),
                "pages": len(pages),
                "geometry": pages,
                "tiff_problem": problem,
            })
        text = json.dumps(record, indent=2, ensure_ascii=False) + "\n"
        _replace(os.path.join(self.folder, f"{number:04d}.json"), text.encode("utf-8"))
        return number
