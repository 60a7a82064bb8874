"""TLS on all three sides: the upgrades (STARTTLS, STLS, LDAP StartTLS), the
implicit-TLS ports, the refusals of --tls-only, the certificate kinds and
the conversation log."""

import json
import os
import smtplib
import socket
import ssl
import subprocess
import tempfile
import time
import unittest

from tests.simprocess import FAX_ADDRESS, PASSWORD, USER, LineClient, SimProcess
from tests.test_smtp_side import fax_message

START_TLS_OID = b"1.3.6.1.4.1.1466.20037"


def tlv(tag, content):
    assert len(content) < 0x80
    return bytes((tag, len(content))) + content


def start_tls_request(message_id=1):
    return tlv(0x30, tlv(0x02, bytes((message_id,))) + tlv(0x77, tlv(0x80, START_TLS_OID)))


def bind_request(message_id, name, password):
    body = tlv(0x02, b"\x03") + tlv(0x04, name.encode()) + tlv(0x80, password.encode())
    return tlv(0x30, tlv(0x02, bytes((message_id,))) + tlv(0x60, body))


def ldap_response(sock):
    """(tag of the operation, result code, rest of the operation) of one
    short response."""
    data = b""
    while len(data) < 2 or len(data) < 2 + data[1]:
        chunk = sock.recv(4096)
        if not chunk:
            raise ConnectionError("server closed")
        data += chunk
    operation = data[5:]  # after the message id 02 01 nn
    result = operation[2:]
    return operation[0], result[2], result[3:]


class TlsCase(unittest.TestCase):
    mode = "--tls"
    cert = "good"

    def setUp(self):
        self._temp = tempfile.TemporaryDirectory()
        self.folder = self._temp.name
        self.ca = os.path.join(self.folder, "ca.pem")
        self.log = os.path.join(self.folder, "conversations.jsonl")
        self.sim = None
        if self.mode:
            self.start(self.mode, self.cert)

    def start(self, mode, cert):
        self.sim = SimProcess(os.path.join(self.folder, "spool"),
                              [mode, "--tls-cert", cert, "--tls-ca-out", self.ca, "--conversation-log", self.log])

    def tearDown(self):
        if self.sim:
            self.assertEqual(self.sim.stop(), 0)
        self._temp.cleanup()

    def client_context(self, trust_ca=True):
        return ssl.create_default_context(cafile=self.ca if trust_ca else None)

    def wrap(self, sock, hostname="localhost", trust_ca=True):
        return self.client_context(trust_ca).wrap_socket(sock, server_hostname=hostname)

    def conversations(self, count):
        """The first `count` records of the conversation log, once written."""
        deadline = time.monotonic() + 10
        while True:
            lines = []
            if os.path.exists(self.log):
                with open(self.log, encoding="utf-8") as stream:
                    lines = stream.read().splitlines()
            if len(lines) >= count or time.monotonic() > deadline:
                return [json.loads(line) for line in lines]
            time.sleep(0.01)

    def assertLogged(self, service, tls, logon_in_clear, logon=True):
        record = self.conversations(1)[0]
        self.assertEqual(record, {"service": service, "tls": tls, "tls_version": "TLSv1.3" if tls else None,
                                  "logon": logon, "logon_in_clear": logon_in_clear})

    def spooled(self, number=1):
        with open(os.path.join(self.folder, "spool", f"{number:04d}.json"), encoding="utf-8") as f:
            return json.load(f)

    def ldapsearch(self, url, *options):
        environment = dict(os.environ, LDAPTLS_CACERT=self.ca, LDAPTLS_REQCERT="demand")
        argv = ["ldapsearch", "-x", "-LLL", "-H", url, *options, "-D", USER, "-w", PASSWORD,
                "-b", USER, "-s", "base", "(objectClass=*)"]
        return subprocess.run(argv, capture_output=True, text=True, timeout=30, env=environment)


class UpgradeTest(TlsCase):
    def test_ready_line_adds_the_implicit_ports(self):
        self.assertRegex(self.sim.ready_line,
                         r"^ready smtp=\d+ smtps=\d+ pop3=\d+ pop3s=\d+ ldap=\d+ ldaps=\d+$")

    def test_smtp_starttls_and_smtps_deliver_encrypted(self):
        for number, implicit in enumerate((False, True), start=1):
            with self.subTest(implicit=implicit):
                if implicit:
                    client = smtplib.SMTP_SSL("localhost", self.sim.ports["smtps"], timeout=20,
                                              context=self.client_context())
                else:
                    client = smtplib.SMTP("localhost", self.sim.ports["smtp"], timeout=20)
                    client.starttls(context=self.client_context())
                with client:
                    client.login(USER, PASSWORD)
                    client.sendmail("anna@example.com", [FAX_ADDRESS], fax_message([b"abc"]))
                self.assertIs(self.spooled(number)["envelope"]["tls"], True)
                self.assertEqual(self.conversations(number)[-1]["tls_version"], "TLSv1.3")
        self.assertLogged("smtp", tls=True, logon_in_clear=False)

    def test_plain_logon_is_still_accepted_and_logged_as_in_the_clear(self):
        client = LineClient(self.sim.ports["smtp"])
        self.assertTrue(client.logon().startswith("235"))
        client.command("QUIT\r\n")
        client.close()
        self.assertLogged("smtp", tls=False, logon_in_clear=True)

    def test_directory_stls_and_pop3s_log_on_encrypted(self):
        for port in ("pop3", "pop3s"):
            with self.subTest(port=port):
                sock = socket.create_connection(("127.0.0.1", self.sim.ports[port]), timeout=20)
                client = LineClient.__new__(LineClient)
                client.sock, client.buffer = sock, b""
                if port == "pop3s":
                    client.sock = self.wrap(sock)
                self.assertTrue(client.reply().startswith("+OK"))
                if port == "pop3":
                    self.assertEqual(client.command("STLS\r\n"), "+OK Begin TLS negotiation")
                    client.sock = self.wrap(sock)
                    self.assertEqual(client.command("STLS\r\n"), "-ERR TLS already active")
                self.assertTrue(client.command(f"X-LDAPUSER {USER}\r\n").startswith("+OK"))
                self.assertEqual(client.command(f"PASS {PASSWORD}\r\n"), "+OK logged on")
                client.command("QUIT\r\n")
                client.close()
        self.assertEqual(len(self.conversations(2)), 2)
        self.assertLogged("pop3", tls=True, logon_in_clear=False)

    def test_ldap_starttls_and_ldaps_with_openldap_clients(self):
        for url, options in ((f"ldap://127.0.0.1:{self.sim.ports['ldap']}", ["-ZZ"]),
                             (f"ldaps://127.0.0.1:{self.sim.ports['ldaps']}", [])):
            with self.subTest(url=url):
                result = self.ldapsearch(url, *options)
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertIn(f"dn: {USER}", result.stdout)
        self.assertLogged("ldap", tls=True, logon_in_clear=False)

    def test_ldap_starttls_response_names_the_operation(self):
        sock = socket.create_connection(("127.0.0.1", self.sim.ports["ldap"]), timeout=20)
        sock.sendall(start_tls_request())
        self.assertEqual(ldap_response(sock), (0x78, 0, tlv(0x04, b"") + tlv(0x04, b"") + tlv(0x8A, START_TLS_OID)))
        secure = self.wrap(sock, hostname="127.0.0.1")
        secure.sendall(bind_request(2, USER, PASSWORD))
        self.assertEqual(ldap_response(secure)[:2], (0x61, 0))
        secure.close()


class TlsOnlyTest(TlsCase):
    mode = "--tls-only"

    def test_logons_before_the_upgrade_are_refused(self):
        smtp = LineClient(self.sim.ports["smtp"])
        smtp.reply()
        self.assertTrue(smtp.command("HELO korvafax\r\n").startswith("250"))
        directory = LineClient(self.sim.ports["pop3"])
        directory.reply()
        for client, line, expected in (
                (smtp, "AUTH LOGIN", "530 5.7.0 Must issue a STARTTLS command first"),
                (smtp, "MAIL FROM:<anna@example.com>", "530 5.7.0 Must issue a STARTTLS command first"),
                (directory, f"X-LDAPUSER {USER}", "-ERR TLS required"),
                (directory, f"PASS {PASSWORD}", "-ERR TLS required")):
            with self.subTest(line=line):
                self.assertEqual(client.command(line + "\r\n"), expected)
        smtp.close()
        directory.close()
        records = sorted(self.conversations(2), key=lambda r: r["service"])
        self.assertEqual([(r["service"], r["tls"], r["logon"], r["logon_in_clear"]) for r in records],
                         [("pop3", False, True, True), ("smtp", False, True, False)])

    def test_ldap_bind_before_starttls_is_confidentiality_required(self):
        result = self.ldapsearch(f"ldap://127.0.0.1:{self.sim.ports['ldap']}")
        self.assertEqual(result.returncode, 13, result.stderr)
        self.assertEqual(self.ldapsearch(f"ldap://127.0.0.1:{self.sim.ports['ldap']}", "-ZZ").returncode, 0)

    def test_after_starttls_the_fax_goes_through(self):
        with smtplib.SMTP("localhost", self.sim.ports["smtp"], timeout=20) as client:
            client.starttls(context=self.client_context())
            client.login(USER, PASSWORD)
            client.sendmail("anna@example.com", [FAX_ADDRESS], fax_message([b"abc"]))
        self.assertIs(self.spooled()["envelope"]["tls"], True)


class CertificateTest(TlsCase):
    mode = None

    def test_kinds_are_checked_by_clients_that_trust_the_test_ca(self):
        for kind, trust_ca, hostname, failure in (
                ("good", True, "localhost", None),
                ("good", True, "127.0.0.1", None),
                ("good", False, "localhost", "unable to get local issuer certificate"),
                ("expired", True, "localhost", "certificate has expired"),
                ("other-host", True, "localhost", "Hostname mismatch"),
                ("other-host", True, "127.0.0.1", "IP address mismatch"),
                ("other-host", True, "other.example", None)):
            with self.subTest(kind=kind, trust_ca=trust_ca, hostname=hostname):
                self.start("--tls", kind)
                try:
                    with socket.create_connection(("127.0.0.1", self.sim.ports["smtps"]), timeout=20) as sock:
                        if failure is None:
                            self.wrap(sock, hostname, trust_ca).close()
                        else:
                            with self.assertRaisesRegex(ssl.SSLCertVerificationError, failure):
                                self.wrap(sock, hostname, trust_ca)
                finally:
                    self.assertEqual(self.sim.stop(), 0)
                    self.sim = None


class PlainTest(unittest.TestCase):
    def test_without_tls_the_log_and_the_envelope_say_so(self):
        with tempfile.TemporaryDirectory() as folder:
            log = os.path.join(folder, "log")
            with SimProcess(os.path.join(folder, "spool"), ["--conversation-log", log]) as sim:
                self.assertNotIn("smtps", sim.ports)
                with smtplib.SMTP("127.0.0.1", sim.ports["smtp"], timeout=20) as client:
                    self.assertFalse(client.has_extn("starttls"))
                    client.login(USER, PASSWORD)
                    client.sendmail("anna@example.com", [FAX_ADDRESS], fax_message([b"abc"]))
            with open(os.path.join(folder, "spool", "0001.json"), encoding="utf-8") as f:
                self.assertIs(json.load(f)["envelope"]["tls"], False)
            with open(log, encoding="utf-8") as f:
                self.assertEqual(json.loads(f.readline()), {"service": "smtp", "tls": False, "tls_version": None,
                                                            "logon": True, "logon_in_clear": True})


if __name__ == "__main__":
    unittest.main()
