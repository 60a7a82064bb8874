"""The user's address book, shared by the directory commands and LDAP.

Everything is kept as bytes, as it travels: distinguished names, attribute
names and values (UTF-8 from the JSON seed). Distinguished names compare
without regard to ASCII letter case. The user's own name is the container
of the entries: "MAIL=anna@example.com,carl" lies one level below "carl".
"""

import itertools
import json
import time


def _bytes(text):
    return text.encode("utf-8") if isinstance(text, str) else bytes(text)


def split_first_rdn(dn):
    """(first component, rest) at the first comma that is not escaped."""
    if b"\\" not in dn:
        first, _, rest = dn.partition(b",")
        return first, rest
    escaped = False
    for index, byte in enumerate(dn):
        if escaped:
            escaped = False
        elif byte == 0x5C:  # backslash
            escaped = True
        elif byte == 0x2C:  # comma
            return dn[:index], dn[index + 1:]
    return dn, b""


class Entry:
    """One directory entry; `attributes` keeps [name, [values]] in order, names
    spelt as stored."""

    def __init__(self, dn, attributes=()):
        self.dn = dn
        self.attributes = [[name, list(values)] for name, values in attributes]

    def find(self, name):
        wanted = name.lower()
        for pair in self.attributes:
            if pair[0].lower() == wanted:
                return pair
        return None

    def value(self, name):
        pair = self.find(name)
        return pair[1][-1] if pair and pair[1] else b""

    def set(self, name, value):
        """Replaces every value of `name`; an empty value removes it. New
        attributes are stored in lower case, as the list search asks for them."""
        pair = self.find(name)
        if not value:
            if pair:
                self.attributes.remove(pair)
        elif pair:
            pair[1] = [value]
        else:
            self.attributes.append([name.lower(), [value]])


class Directory:
    def __init__(self, base):
        self.base = _bytes(base)
        self.entries = []
        self._serial = itertools.count(1)

    @classmethod
    def from_json(cls, base, path):
        directory = cls(base)
        if path:
            with open(path, encoding="utf-8") as stream:
                seed = json.load(stream)
            for record in seed["entries"] if isinstance(seed, dict) else seed:
                directory.add_seed(record)
        return directory

    def add_seed(self, record):
        attributes = []
        for name, value in record.items():
            if name == "dn":
                continue
            values = value if isinstance(value, list) else [value]
            attributes.append((_bytes(name), [_bytes(v) for v in values]))
        entry = Entry(b"", attributes)
        if "dn" in record:
            entry.dn = _bytes(record["dn"])
        else:
            mail = entry.value(b"mail") or self._new_mail()
            entry.set(b"mail", mail)
            entry.dn = b"MAIL=" + mail + b"," + self.base
        self.entries.append(entry)
        return entry

    def _new_mail(self):
        """A numeric name for an entry that has no mail address yet."""
        while True:
            mail = f"{int(time.time())}-{next(self._serial)}".encode()
            if self.get(b"MAIL=" + mail + b"," + self.base) is None:
                return mail

    def get(self, dn):
        wanted = dn.lower()
        for entry in self.entries:
            if entry.dn.lower() == wanted:
                return entry
        return None

    def create(self):
        mail = self._new_mail()
        entry = Entry(b"MAIL=" + mail + b"," + self.base,
                      [(b"mail", [mail]), (b"_deletable", [b"1"]), (b"_editable", [b"1"])])
        self.entries.append(entry)
        return entry

    def delete(self, entry):
        self.entries.remove(entry)

    def rename_for_mail(self, entry, mail):
        """The entry's new name after its mail address changed, or None when
        another entry holds that name already."""
        _, rest = split_first_rdn(entry.dn)
        if b"," in entry.dn:
            new_dn = b"MAIL=" + mail + b"," + rest
        else:
            new_dn = b"MAIL=" + mail + b"," + entry.dn
        other = self.get(new_dn)
        if other is not None and other is not entry:
            return None
        entry.dn = new_dn
        return new_dn

    def is_base(self, dn):
        return dn.lower() == self.base.lower()

    def search(self, base, scope):
        """Entries for a search of `scope` (0 base, 1 one level, 2 subtree), or
        None when the base names nothing."""
        wanted = base.lower()
        container = Entry(self.base, [(b"objectClass", [b"top", b"organizationalUnit"])])
        if scope == 0:
            if self.is_base(base):
                return [container]
            entry = self.get(base)
            return None if entry is None else [entry]
        if not self.is_base(base) and self.get(base) is None:
            return None
        found = [container] if scope == 2 and self.is_base(base) else []
        for entry in self.entries:
            parent = split_first_rdn(entry.dn)[1].lower()
            if parent == wanted or (scope == 2 and (entry.dn.lower() == wanted or
                                                    entry.dn.lower().endswith(b"," + wanted))):
                found.append(entry)
        return found


def shared(context, args):
    """The one directory of this run, made on first use from --directory."""
    if "directory" not in context:
        context["directory"] = Directory.from_json(args.user, getattr(args, "directory", None))
    return context["directory"]
