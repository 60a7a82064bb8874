#!/usr/bin/python3 -IB
"""Prints a fax that korva-sim stored (its NNNN.json) and writes PNG previews
of the received pages.

fax_report.py JSON PREVIEW_FOLDER
Exit status 0, or 1 when the fax is not what a fax must be (no recipient, a
page that is not 1728 pixels, 1 bit, Group 3)."""

import json
import os
import subprocess
import sys


def page_line(number, page):
    return (f"    page {number}: {page.get('width', '?')} x {page.get('length', '?')} px, "
            f"{page.get('bits_per_sample', '?')} bit, "
            f"{page.get('x_resolution', '?')} x {page.get('y_resolution', '?')} "
            f"{page.get('resolution_unit', '')}, {page.get('compression', '?')}")


def fax_form_problems(record):
    problems = list(record.get("problems") or [])
    if not record.get("recipients"):
        problems.append("no recipient")
    if not record.get("attachments"):
        problems.append("no attachment")
    for attachment in record.get("attachments", []):
        if attachment.get("tiff_problem"):
            problems.append(f"{attachment['name']}: {attachment['tiff_problem']}")
        for page in attachment.get("geometry", []):
            if page.get("width") != 1728 or page.get("bits_per_sample") != 1 \
                    or "3" not in str(page.get("compression", "")):
                problems.append(f"{attachment['name']}: a page not in fax form")
    return problems


def previews(spool, record, folder):
    os.makedirs(folder, exist_ok=True)
    written = []
    for attachment in record.get("attachments", []):
        source = os.path.join(spool, attachment["file"])
        stem = os.path.splitext(attachment["file"])[0]
        target = os.path.join(folder, f"{stem}-page%d.png")
        # Fax pages are 200 x 192 dpi: scale the rows so that the preview keeps the paper's shape.
        result = subprocess.run(["convert", source, "-resize", "100%x104.17%!", "-scene", "1", target],
                                capture_output=True, text=True, timeout=120)
        if result.returncode != 0:
            raise RuntimeError(f"convert failed for {source}: {result.stderr.strip()}")
        for page in range(1, attachment.get("pages", 0) + 1):
            written.append(target % page)
    return written


def main(argv):
    if len(argv) != 3:
        print("usage: fax_report.py JSON PREVIEW_FOLDER", file=sys.stderr)
        return 2
    with open(argv[1], encoding="utf-8") as stream:
        record = json.load(stream)
    print(f"Subject:    {record.get('subject', '')}")
    print(f"From:       {record.get('from', '')}")
    for name, value in (record.get("sender") or {}).items():
        print(f"Sender:     {name}: {value}")
    print(f"Cover page: {record.get('cover_page') or '(none)'}")
    for recipient in record.get("recipients", []):
        print(f"Recipient:  {recipient.get('fax', '')}  {recipient.get('name', '')}  "
              f"{recipient.get('company', '')}".rstrip())
    if record.get("comments"):
        print("Comments:   " + record["comments"].replace("\n", "\n            "))
    for attachment in record.get("attachments", []):
        print(f"Attachment: {attachment['name']} ({attachment['size']} bytes, {attachment['pages']} pages)")
        for number, page in enumerate(attachment.get("geometry", []), 1):
            print(page_line(number, page))
    written = previews(os.path.dirname(os.path.abspath(argv[1])), record, argv[2])
    print(f"Previews:   {len(written)} PNG files in {argv[2]}")
    problems = fax_form_problems(record)
    for problem in problems:
        print(f"Problem:    {problem}", file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
