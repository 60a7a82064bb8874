"""The directory side: commands on the POP3 port, LDAP read with OpenLDAP's
own ldapsearch, one directory seeded from JSON and shared by both."""

import base64
import json
import os
import shutil
import subprocess
import tempfile
import unittest

from tests.simprocess import PASSWORD, USER, LineClient, SimProcess

SEED = {"entries": [
    {"cn": "Anna Berg", "o": "Yarrow Ltd", "fax": "0301;0302", "mail": "anna@example.com",
     "_deletable": "1", "_editable": "1", "title": "Buyer"},
    {"dn": "MAIL=bo@example.com," + USER, "CN": "Upper", "cn": ["first", "second"], "o": "Zeta",
     "_deletable": "true"},
    {"cn": "\u00c9lodie", "fax": "555", "_deletable": "1 "},
]}


def ldif(text):
    """ldapsearch -LLL output as a list of entries, each a list of (name, bytes)."""
    entries = []
    for block in text.strip().split("\n\n"):
        pairs = []
        for line in block.replace("\n ", "").splitlines():
            name, _, value = line.partition(":")
            if value.startswith(":"):
                pairs.append((name, base64.b64decode(value[1:].strip())))
            else:
                pairs.append((name, value.strip().encode()))
        if pairs:
            entries.append(pairs)
    return entries


class DirectoryCase(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="korva-sim-dir-")
        seed = os.path.join(self.folder, "directory.json")
        with open(seed, "w", encoding="utf-8") as stream:
            json.dump(SEED, stream)
        self.sim = SimProcess(os.path.join(self.folder, "spool"), extra=("--directory", seed))

    def tearDown(self):
        self.sim.stop()
        shutil.rmtree(self.folder, ignore_errors=True)

    def ldapsearch(self, base, scope, *attributes, password=PASSWORD):
        argv = ["ldapsearch", "-x", "-LLL", "-H", f"ldap://127.0.0.1:{self.sim.ports['ldap']}",
                "-D", USER, "-w", password, "-b", base, "-s", scope, "(objectClass=*)", *attributes]
        return subprocess.run(argv, capture_output=True, text=True, timeout=30)

    def commands(self):
        client = LineClient(self.sim.ports["pop3"])
        self.assertTrue(client.reply().startswith("+OK"))
        return client

    def logged_on(self):
        client = self.commands()
        self.assertTrue(client.command(f"X-LDAPUSER {USER}\r\n").startswith("+"))
        self.assertTrue(client.command(f"PASS {PASSWORD}\r\n").startswith("+OK"))
        return client


class LdapTest(DirectoryCase):
    def test_ready_line_lists_every_port(self):
        self.assertRegex(self.sim.ready_line, r"^ready smtp=\d+ pop3=\d+ ldap=\d+$")

    def test_one_level_search_returns_the_requested_attributes_as_stored(self):
        result = self.ldapsearch(USER, "one", "o", "cn", "fax", "_deletable")
        self.assertEqual(result.returncode, 0, result.stderr)
        entries = ldif(result.stdout)
        self.assertEqual(len(entries), 3)
        self.assertEqual(entries[0], [("dn", f"MAIL=anna@example.com,{USER}".encode()), ("cn", b"Anna Berg"),
                                      ("o", b"Yarrow Ltd"), ("fax", b"0301;0302"), ("_deletable", b"1")])
        self.assertIn(("CN", b"Upper"), entries[1])
        self.assertEqual([v for n, v in entries[1] if n == "cn"], [b"first", b"second"])
        self.assertIn(("cn", "\u00c9lodie".encode()), entries[2])
        self.assertIn(("_deletable", b"1 "), entries[2])

    def test_base_scope_reads_one_entry_and_subtree_includes_the_container(self):
        entries = ldif(self.ldapsearch(f"mail=ANNA@example.com,{USER}", "base", "title").stdout)
        self.assertEqual(entries, [[("dn", f"MAIL=anna@example.com,{USER}".encode()), ("title", b"Buyer")]])
        self.assertEqual(len(ldif(self.ldapsearch(USER, "sub", "cn").stdout)), 4)

    def test_unknown_base_and_wrong_password_are_refused(self):
        self.assertEqual(self.ldapsearch("MAIL=nobody,carl", "base").returncode, 32)
        self.assertEqual(self.ldapsearch(USER, "one", password="wrong").returncode, 49)


class CommandTest(DirectoryCase):
    def test_logon_is_checked_before_any_change(self):
        client = self.commands()
        self.assertTrue(client.command("X-LDAPADD\r\n").startswith("-ERR"))
        client.command(f"X-LDAPUSER {USER}\r\n")
        self.assertTrue(client.command("PASS wrong\r\n").startswith("-ERR"))
        self.assertTrue(client.command("X-LDAPDEL MAIL=anna@example.com,carl\r\n").startswith("-ERR"))
        self.assertTrue(client.command("QUIT\r\n").startswith("+OK"))

    def test_add_set_rename_and_delete_show_in_the_next_search(self):
        client = self.logged_on()
        reply = client.command("X-LDAPADD\r\n")
        self.assertTrue(reply.startswith("+OK "))
        dn = reply[4:]
        self.assertRegex(dn, rf"^MAIL=[0-9-]+,{USER}$")
        self.assertTrue(client.command(f"X-LDAPSET {dn} CN Carl \\\\ C\\r\\nx\r\n").startswith("+OK"))
        self.assertTrue(client.command(f"X-LDAPSET {dn} FAX 77\r\n").startswith("+OK"))
        self.assertTrue(client.command(f"X-LDAPSET {dn} MAIL carl@example.com\r\n").startswith("+OK"))
        renamed = f"MAIL=carl@example.com,{USER}"
        self.assertTrue(client.command(f"X-LDAPSET {renamed} TITLE Boss\r\n").startswith("+OK"))
        client.command("QUIT\r\n")
        entries = ldif(self.ldapsearch(renamed, "base").stdout)
        self.assertEqual(len(entries), 1)
        self.assertIn(("cn", b"Carl \\ C\r\nx"), entries[0])
        self.assertIn(("mail", b"carl@example.com"), entries[0])
        self.assertIn(("title", b"Boss"), entries[0])
        client = self.logged_on()
        self.assertEqual(client.command(f"X-LDAPDEL {renamed}\r\n")[:3], "+OK")
        self.assertEqual(self.ldapsearch(renamed, "base").returncode, 32)

    def test_rename_of_an_identifier_without_comma_and_an_empty_value(self):
        client = self.logged_on()
        dn = client.command("X-LDAPADD\r\n")[4:]
        self.assertTrue(client.command(f"X-LDAPSET {dn} FAX 1\r\n").startswith("+OK"))
        self.assertTrue(client.command(f"X-LDAPSET {dn} FAX \r\n").startswith("+OK"))
        entries = ldif(self.ldapsearch(dn, "base", "fax").stdout)
        self.assertEqual(entries, [[("dn", dn.encode())]])

    def test_refusals(self):
        client = self.logged_on()
        self.assertTrue(client.command("X-LDAPSET MAIL=nobody,carl CN x\r\n").startswith("-ERR"))
        # Not editable: no _editable mark.
        self.assertTrue(client.command(f"X-LDAPSET MAIL=bo@example.com,{USER} CN x\r\n").startswith("-ERR"))
        # Not deletable: "true" is not "1".
        self.assertTrue(client.command(f"X-LDAPDEL MAIL=bo@example.com,{USER}\r\n").startswith("-ERR"))
        self.assertTrue(client.command(
            f"X-LDAPSET MAIL=anna@example.com,{USER} _editable 0\r\n").startswith("-ERR"))
        self.assertTrue(client.command(
            f"X-LDAPSET MAIL=anna@example.com,{USER} MAIL bo@example.com\r\n").startswith("-ERR"))
        self.assertTrue(client.command("NOOP\r\n").startswith("-ERR"))


if __name__ == "__main__":
    unittest.main()
