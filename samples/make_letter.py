#!/usr/bin/env python3
"""Writes letter.pdf: a two-page A4 business letter in plain PDF 1.4.

The project ships the result; this script is how it was made. It uses only
the standard Type 1 font Helvetica, so any PDF renderer can draw it.
"""
import sys

PAGES = [
    [
        (72, 770, 16, "KORVA Office Supplies"),
        (72, 752, 10, "12 Harbour Road, 40213 Duesseldorf"),
        (72, 690, 11, "Anna Berg, Acme Ltd."),
        (72, 676, 11, "Fax 0301234"),
        (72, 630, 13, "Invoice 2026-042"),
        (72, 600, 11, "Dear Ms Berg,"),
        (72, 580, 11, "thank you for your order of 3 December. Please find the items below."),
        (72, 540, 11, "  40  boxes of copy paper, A4, 80 g          EUR  196.00"),
        (72, 524, 11, "  12  toner cartridges, black                EUR  588.00"),
        (72, 508, 11, "   2  desk lamps, LED                        EUR   74.50"),
        (72, 480, 11, "      Total                                  EUR  858.50"),
        (72, 440, 11, "Payment is due within 30 days. The terms follow on page 2."),
    ],
    [
        (72, 770, 13, "Terms of delivery and payment"),
        (72, 740, 11, "1. Goods remain our property until paid in full."),
        (72, 722, 11, "2. Complaints must reach us within 8 days of delivery."),
        (72, 704, 11, "3. Place of performance and jurisdiction is Duesseldorf."),
        (72, 660, 11, "Kind regards,"),
        (72, 620, 11, "Carl Nilsson, Accounts"),
    ],
]


def escape(text):
    return text.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)")


def page_stream(lines):
    ops = []
    # A frame and a filled bar, so the fax shows solid black as well as text.
    ops.append("2 w 50 50 495 742 re S")
    ops.append("72 790 451 6 re f")
    for x, y, size, text in lines:
        # Table rows in a fixed-pitch font so their columns line up.
        font = "F2" if text.startswith("  ") else "F1"
        ops.append(f"BT /{font} {size} Tf {x} {y} Td ({escape(text)}) Tj ET")
    return "\n".join(ops).encode("latin-1")


def build():
    objects = []

    def add(body):
        objects.append(body)
        return len(objects)

    catalog = add(None)
    pages = add(None)
    font = add(b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>")
    mono = add(b"<< /Type /Font /Subtype /Type1 /BaseFont /Courier /Encoding /WinAnsiEncoding >>")
    kids = []
    for lines in PAGES:
        stream = page_stream(lines)
        content = add(b"<< /Length %d >>\nstream\n" % len(stream) + stream + b"\nendstream")
        kids.append(add(
            b"<< /Type /Page /Parent %d 0 R /MediaBox [0 0 595 842] "
            b"/Resources << /Font << /F1 %d 0 R /F2 %d 0 R >> >> /Contents %d 0 R >>" % (pages, font, mono, content)))
    objects[catalog - 1] = b"<< /Type /Catalog /Pages %d 0 R >>" % pages
    objects[pages - 1] = b"<< /Type /Pages /Kids [%s] /Count %d >>" % (
        b" ".join(b"%d 0 R" % k for k in kids), len(kids))

    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for number, body in enumerate(objects, start=1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        out += b"%010d 00000 n \n" % offset
    out += b"trailer\n<< /Size %d /Root %d 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (
        len(objects) + 1, catalog, xref)
    return bytes(out)


if __name__ == "__main__":
    target = sys.argv[1] if len(sys.argv) > 1 else "letter.pdf"
    with open(target, "wb") as f:
        f.write(build())
