"""Page count and page geometry of a TIFF file, read back with libtiff's tiffinfo."""

import re
import subprocess

TIFFINFO = "/usr/bin/tiffinfo"

_DIRECTORY = re.compile(r"^TIFF Directory at offset", re.M)
_SIZE = re.compile(r"Image Width:\s*(\d+)\s+Image Length:\s*(\d+)")
_RESOLUTION = re.compile(r"Resolution:\s*([\d.]+),\s*([\d.]+)\s*(.*)")
_BITS = re.compile(r"Bits/Sample:\s*(\d+)")
_COMPRESSION = re.compile(r"Compression Scheme:\s*(.+)")
_PHOTOMETRIC = re.compile(r"Photometric Interpretation:\s*(.+)")


def _number(text):
    value = float(text)
    return int(value) if value.is_integer() else value


def _page(block):
    page = {}
    size = _SIZE.search(block)
    if size:
        page["width"] = int(size.group(1))
        page["length"] = int(size.group(2))
    resolution = _RESOLUTION.search(block)
    if resolution:
        page["x_resolution"] = _number(resolution.group(1))
        page["y_resolution"] = _number(resolution.group(2))
        page["resolution_unit"] = resolution.group(3).strip() or "unitless"
    for key, pattern, convert in (("bits_per_sample", _BITS, int),
                                  ("compression", _COMPRESSION, str.strip),
                                  ("photometric", _PHOTOMETRIC, str.strip)):
        match = pattern.search(block)
        if match:
            page[key] = convert(match.group(1))
    return page


def read_pages(path):
    """Returns (pages, problem): one geometry dict per page, and an error
    text (None when the file read cleanly)."""
    try:
        result = subprocess.run([TIFFINFO, path], capture_output=True, text=True,
                                errors="replace", timeout=60)
    except (OSError, subprocess.SubprocessError) as error:
        return [], f"tiffinfo could not run: {error}"
    starts = [m.start() for m in _DIRECTORY.finditer(result.stdout)]
    blocks = [result.stdout[a:b] for a, b in zip(starts, starts[1:] + [len(result.stdout)])]
    pages = [_page(block) for block in blocks]
    problem = None
    if result.returncode != 0 or not pages:
        problem = (result.stderr.strip() or "not a readable TIFF file")[:500]
    return pages, problem
