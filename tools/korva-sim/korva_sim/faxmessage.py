"""Reads a fax submission: the text part's control lines and the attachments.

The text part starts with control lines: "~~Key~value" for the sender fields
and the cover page, "~fax~name~company" for each recipient. The first line
that does not start with "~" begins the comments, which run to the end of the
part. Text is 8-bit; it is read as Latin-1 so that every byte survives.
"""

import base64
import binascii
import email.parser
import email.policy

SENDER_KEYS = ("RealName", "Company", "PhoneNumber", "FaxNumber")


def _header_block(raw):
    end = raw.find(b"\r\n\r\n")
    if end < 0:
        end = raw.find(b"\n\n")
    return raw if end < 0 else raw[:end]


def top_headers(raw):
    """The message's own header fields, unfolded, names lower-cased; the
    first occurrence of a name wins."""
    headers = {}
    current = None
    for line in _header_block(raw).decode("latin-1").replace("\r\n", "\n").split("\n"):
        if line[:1] in (" ", "\t") and current:
            headers[current] += " " + line.strip()
            continue
        name, sep, value = line.partition(":")
        if not sep:
            current = None
            continue
        current = name.strip().lower()
        if current in headers:
            current = None
            continue
        headers[current] = value.strip()
    return headers


def parse_text_part(text):
    """Splits the text part into sender fields, cover page, recipients and
    comments (lines joined by LF)."""
    sender, cover_page, recipients, comments = {}, None, [], []
    unknown = []
    lines = text.replace("\r\n", "\n").split("\n")
    in_controls = True
    for line in lines:
        if in_controls and line.startswith("~~"):
            key, _, value = line[2:].partition("~")
            if key == "CoverPage":
                cover_page = value
            elif key in SENDER_KEYS:
                sender[key] = value
            else:
                unknown.append(line)
            continue
        if in_controls and line.startswith("~"):
            fax, name, company = (line[1:].split("~", 2) + ["", ""])[:3]
            recipients.append({"fax": fax, "name": name, "company": company})
            continue
        in_controls = False
        comments.append(line)
    return {
        "sender": sender,
        "cover_page": cover_page,
        "recipients": recipients,
        "comments": "\n".join(comments),
        "unknown_control_lines": unknown,
    }


def _decode_attachment(part, problems):
    body = part.get_payload(decode=False)
    if isinstance(body, list):
        problems.append("an attachment is itself multipart")
        return b""
    encoding = (part.get("Content-Transfer-Encoding") or "").strip().lower()
    if encoding != "base64":
        problems.append(f"attachment {part.get_filename()!r} is not base64 ({encoding or 'none'})")
        return part.get_payload(decode=True) or b""
    text = "".join(body.split())
    try:
        return base64.b64decode(text, validate=True)
    except binascii.Error as error:
        problems.append(f"attachment {part.get_filename()!r}: bad base64 ({error})")
        return part.get_payload(decode=True) or b""


def parse_fax_message(raw):
    """Returns (summary, attachments): summary is a dict for the JSON file,
    attachments a list of (file name as sent, decoded bytes)."""
    problems = []
    headers = top_headers(raw)
    message = email.parser.BytesParser(policy=email.policy.compat32).parsebytes(raw)
    summary = {
        "subject": headers.get("subject"),
        "from": headers.get("from"),
        "to": headers.get("to"),
        "content_type": headers.get("content-type"),
    }
    summary.update(parse_text_part(""))
    attachments = []
    if not message.is_multipart():
        problems.append("the message is not multipart")
    text_seen = False
    for part in (message.get_payload() if message.is_multipart() else []):
        if part.is_multipart():
            problems.append("nested multipart part ignored")
            continue
        if part.get_content_disposition() == "attachment":
            attachments.append((part.get_filename() or "", _decode_attachment(part, problems)))
        elif part.get_content_type() == "text/plain" and not text_seen:
            text_seen = True
            body = part.get_payload(decode=True) or b""
            summary.update(parse_text_part(body.decode("latin-1")))
        else:
            problems.append(f"unexpected part {part.get_content_type()}")
    if message.is_multipart() and not text_seen:
        problems.append("no text/plain part")
    summary["problems"] = problems
    return summary, attachments
