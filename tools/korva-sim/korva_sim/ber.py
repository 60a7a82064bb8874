"""The few BER forms of LDAP's responses, encoded by hand: a search result
is written once per entry, and the directory's attribute names (such as
"_deletable") are passed through as they are."""

SEQUENCE = 0x30
SET = 0x31
INTEGER = 0x02
OCTET_STRING = 0x04
ENUMERATED = 0x0A

BIND_RESPONSE = 0x61
SEARCH_RESULT_ENTRY = 0x64
SEARCH_RESULT_DONE = 0x65
MODIFY_RESPONSE = 0x67
ADD_RESPONSE = 0x69
DELETE_RESPONSE = 0x6B
MODIFY_DN_RESPONSE = 0x6D
COMPARE_RESPONSE = 0x6F
EXTENDED_RESPONSE = 0x78
RESPONSE_NAME = 0x8A  # [10] in ExtendedResponse


def length(count):
    if count < 0x80:
        return bytes((count,))
    raw = count.to_bytes((count.bit_length() + 7) // 8, "big")
    return bytes((0x80 | len(raw),)) + raw


def tlv(tag, content):
    return bytes((tag,)) + length(len(content)) + content


def integer(value, tag=INTEGER):
    size = max(1, (value.bit_length() + 8) // 8)
    return tlv(tag, value.to_bytes(size, "big", signed=True))


def octets(value):
    return tlv(OCTET_STRING, value)


def message(message_id, operation):
    return tlv(SEQUENCE, integer(message_id) + operation)


def result(tag, code, matched=b"", diagnostic=b""):
    return tlv(tag, integer(code, ENUMERATED) + octets(matched) + octets(diagnostic))


def extended_result(code, diagnostic, response_name):
    return tlv(EXTENDED_RESPONSE, integer(code, ENUMERATED) + octets(b"") + octets(diagnostic)
               + tlv(RESPONSE_NAME, response_name))


def search_entry(dn, attributes):
    """`attributes`: (name, [values]) pairs, in order."""
    listed = b"".join(tlv(SEQUENCE, octets(name) + tlv(SET, b"".join(octets(v) for v in values)))
                      for name, values in attributes)
    return tlv(SEARCH_RESULT_ENTRY, octets(dn) + tlv(SEQUENCE, listed))


def frame_size(buffer):
    """Size of the whole first element in `buffer`, or None when its header
    is not complete yet; ValueError for a length that no LDAP message has."""
    if len(buffer) < 2:
        return None
    first = buffer[1]
    if first < 0x80:
        return 2 + first
    count = first & 0x7F
    if count == 0 or count > 4:
        raise ValueError("unsupported BER length")
    if len(buffer) < 2 + count:
        return None
    return 2 + count + int.from_bytes(buffer[2:2 + count], "big")
