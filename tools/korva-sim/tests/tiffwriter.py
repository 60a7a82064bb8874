"""Writes small uncompressed bi-level TIFF files for the tests."""

import struct


def bilevel_tiff(pages, x_resolution=204, y_resolution=196):
    """`pages` is a list of (width, length); every page gets a striped
    pattern so that pages differ."""
    out = bytearray(b"II*\x00\x00\x00\x00\x00")
    next_pointer = 4
    for number, (width, length) in enumerate(pages):
        row = (width + 7) // 8
        data = bytes(((y + number) % 3 == 0) * 0xFF for y in range(length) for _ in range(row))
        data_offset = len(out)
        out += data
        if len(out) % 2:
            out += b"\x00"
        resolution_offset = len(out)
        out += struct.pack("<IIII", x_resolution, 1, y_resolution, 1)
        entries = [(256, 4, width), (257, 4, length), (258, 3, 1), (259, 3, 1), (262, 3, 0),
                   (273, 4, data_offset), (277, 3, 1), (278, 4, length), (279, 4, len(data)),
                   (282, 5, resolution_offset), (283, 5, resolution_offset + 8), (296, 3, 2)]
        struct.pack_into("<I", out, next_pointer, len(out))
        out += struct.pack("<H", len(entries))
        for tag, kind, value in entries:
            if kind == 3:
                out += struct.pack("<HHIHH", tag, kind, 1, value, 0)
            else:
                out += struct.pack("<HHII", tag, kind, 1, value)
        next_pointer = len(out)
        out += b"\x00\x00\x00\x00"
    return bytes(out)
