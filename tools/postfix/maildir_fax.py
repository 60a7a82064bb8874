"""Reads one delivered fax message with Python's MIME parser: prints its
headers and control lines one per line, and saves each attachment, decoded,
into the folder given as the second argument."""

import email
import email.policy
import os
import sys

with open(sys.argv[1], "rb") as f:
    message = email.message_from_binary_file(f, policy=email.policy.compat32)
out = []
for name in ("Date", "Message-ID"):
    for value in message.get_all(name, []):
        out.append("%s=%s" % (name.lower(), value))
out.append("subject=" + message["Subject"])
out.append("type=" + message.get_content_type())
for part in message.walk():
    if part.is_multipart():
        continue
    filename = part.get_filename()
    if filename:
        data = part.get_payload(decode=True)
        with open(os.path.join(sys.argv[2], filename), "wb") as f:
            f.write(data)
        out.append("attachment=%s %s" % (filename, part.get_content_type()))
    elif part.get_content_type() == "text/plain":
        text = part.get_payload(decode=True).decode("cp1252")
        out += ["line=" + line for line in text.split("\r\n") if line]
out.append("defects=%d" % sum(len(p.defects) for p in message.walk()))
print("\n".join(out))
