import base64
import json
import os
import smtplib
import socket
import tempfile
import unittest

from tests.simprocess import FAX_ADDRESS, PASSWORD, USER, LineClient, SimProcess
from tests.tiffwriter import bilevel_tiff

BOUNDARY = "----=_KORVAFaxBoundary"


def fax_message(documents, comments_lines=(), recipients=("0301 555~Berta Blau~Blau KG",)):
    """A submission laid out as faxcourier sends it (before dot-stuffing)."""
    lines = ["Subject: Quarterly figures", 'From: "Anna Alt" <anna@example.com>', f"To: {FAX_ADDRESS}",
             "MIME-Version: 1.0", f'Content-Type: multipart/mixed; boundary="{BOUNDARY}"', "",
             f"--{BOUNDARY}", "Content-Type: text/plain", "",
             "~~RealName~Anna Alt", "~~Company~Alt & Co", "~~PhoneNumber~+49 30 1", "~~FaxNumber~+49 30 2",
             "~~CoverPage~urgent"]
    lines += [f"~{r}" for r in recipients]
    lines += list(comments_lines)
    for number, data in enumerate(documents):
        lines += [f"--{BOUNDARY}", "Content-Type: x-application/korvafax", "Content-Transfer-Encoding: base64",
                  f'Content-Disposition: attachment; filename="korvafax_{2 * number + 1}.fmf"', ""]
        pieces = [data[i:i + 57] for i in range(0, len(data) + 1, 57)]
        lines += [base64.b64encode(p).decode() for p in pieces]
    lines.append(f"--{BOUNDARY}--")
    return "".join(line + "\r\n" for line in lines).encode("latin-1")


def dot_stuffed(message):
    return b"".join((b"." + line if line.startswith(b".") else line)
                    for line in message.splitlines(keepends=True))


class SpoolTestCase(unittest.TestCase):
    def setUp(self):
        self._temp = tempfile.TemporaryDirectory()
        self.spool = os.path.join(self._temp.name, "spool")

    def tearDown(self):
        self._temp.cleanup()

    def send(self, port, message):
        client = LineClient(port)
        try:
            self.assertTrue(client.logon().startswith("235"))
            self.assertTrue(client.command("MAIL FROM:<anna@example.com>\r\n").startswith("250"))
            self.assertTrue(client.command(f"RCPT TO:<{FAX_ADDRESS}>\r\n").startswith("250"))
            self.assertTrue(client.command("DATA\r\n").startswith("354"))
            reply = client.command(dot_stuffed(message) + b".\r\n")
            client.command("QUIT\r\n")
            return reply
        finally:
            client.close()

    def load_json(self, number):
        with open(os.path.join(self.spool, f"{number:04d}.json"), encoding="utf-8") as f:
            return json.load(f)


class ProcessTest(SpoolTestCase):
    def test_ready_line_names_a_listening_port_and_sigterm_ends_cleanly(self):
        sim = SimProcess(self.spool)
        self.assertRegex(sim.ready_line, r"^ready smtp=\d+( \w+=\d+)*$")
        client = LineClient(sim.ports["smtp"])
        self.assertTrue(client.reply().startswith("220"))
        client.close()
        self.assertEqual(sim.stop(), 0)
        with self.assertRaises(OSError):
            socket.create_connection(("127.0.0.1", sim.ports["smtp"]), timeout=2).close()

    def test_chosen_port_is_used(self):
        probe = socket.socket()
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
        probe.close()
        with SimProcess(self.spool, ["--smtp-port", str(port)]) as sim:
            self.assertEqual(sim.ports["smtp"], port)

    def test_missing_argument_is_refused(self):
        import subprocess
        from tests.simprocess import sim_program
        result = subprocess.run([sim_program(), "--spool", self.spool], capture_output=True, timeout=30)
        self.assertEqual(result.returncode, 2)
        self.assertIn(b"--user", result.stderr)


class ConversationTest(SpoolTestCase):
    def setUp(self):
        super().setUp()
        self.sim = SimProcess(self.spool)
        self.port = self.sim.ports["smtp"]

    def tearDown(self):
        self.assertEqual(self.sim.stop(), 0)
        super().tearDown()

    def test_fax_is_stored_parsed_and_decoded(self):
        first = bilevel_tiff([(1728, 40), (1728, 30)])
        second = bilevel_tiff([(1728, 20)], x_resolution=200, y_resolution=98)
        comments = [".hidden by a lone dot?", ".", "second line"]
        message = fax_message([first, second], comments,
                              recipients=("0301 555~Berta Blau~Blau KG", "0402 666~Carl Cyan~"))
        reply = self.send(self.port, message)
        self.assertTrue(reply.startswith("250"), reply)

        with open(os.path.join(self.spool, "0001.eml"), "rb") as f:
            self.assertEqual(f.read(), message)
        record = self.load_json(1)
        self.assertEqual(record["envelope"]["mail_from"], "anna@example.com")
        self.assertEqual(record["envelope"]["rcpt_to"], [FAX_ADDRESS])
        self.assertEqual(record["envelope"]["auth_user"], USER)
        self.assertEqual(record["envelope"]["helo"], "korvafax")
        self.assertEqual(record["subject"], "Quarterly figures")
        self.assertEqual(record["from"], '"Anna Alt" <anna@example.com>')
        self.assertEqual(record["sender"], {"RealName": "Anna Alt", "Company": "Alt & Co",
                                            "PhoneNumber": "+49 30 1", "FaxNumber": "+49 30 2"})
        self.assertEqual(record["cover_page"], "urgent")
        self.assertEqual(record["recipients"], [
            {"fax": "0301 555", "name": "Berta Blau", "company": "Blau KG"},
            {"fax": "0402 666", "name": "Carl Cyan", "company": ""}])
        self.assertEqual(record["comments"], "\n".join(comments))
        self.assertEqual(record["problems"], [])

        attachments = record["attachments"]
        self.assertEqual([a["name"] for a in attachments], ["korvafax_1.fmf", "korvafax_3.fmf"])
        self.assertEqual([a["file"] for a in attachments], ["0001-korvafax_1.tif", "0001-korvafax_3.tif"])
        for attachment, data in zip(attachments, (first, second)):
            with open(os.path.join(self.spool, attachment["file"]), "rb") as f:
                self.assertEqual(f.read(), data)
            self.assertEqual(attachment["size"], len(data))
            self.assertIsNone(attachment["tiff_problem"])
        self.assertEqual(attachments[0]["pages"], 2)
        self.assertEqual([(p["width"], p["length"]) for p in attachments[0]["geometry"]], [(1728, 40), (1728, 30)])
        self.assertEqual(attachments[0]["geometry"][0]["x_resolution"], 204)
        self.assertEqual(attachments[0]["geometry"][0]["y_resolution"], 196)
        self.assertEqual(attachments[0]["geometry"][0]["bits_per_sample"], 1)
        self.assertEqual(attachments[1]["pages"], 1)
        self.assertEqual(attachments[1]["geometry"][0]["y_resolution"], 98)
        self.assertFalse([n for n in os.listdir(self.spool) if n.endswith(".tmp")])

    def test_messages_are_numbered_in_order(self):
        for _ in range(2):
            self.assertTrue(self.send(self.port, fax_message([b"x" * 10])).startswith("250"))
        self.assertEqual(self.load_json(2)["number"], 2)
        self.assertTrue(os.path.exists(os.path.join(self.spool, "0001.eml")))

    def test_attachment_that_is_no_tiff_is_kept_and_reported(self):
        self.assertTrue(self.send(self.port, fax_message([b"not a tiff"])).startswith("250"))
        attachment = self.load_json(1)["attachments"][0]
        self.assertEqual(attachment["pages"], 0)
        self.assertTrue(attachment["tiff_problem"])
        with open(os.path.join(self.spool, attachment["file"]), "rb") as f:
            self.assertEqual(f.read(), b"not a tiff")

    def test_wrong_password_is_refused_and_nothing_goes_through(self):
        client = LineClient(self.port)
        self.assertTrue(client.logon(password=PASSWORD + "x").startswith("535"))
        self.assertTrue(client.command("MAIL FROM:<anna@example.com>\r\n").startswith("530"))
        client.close()

    def test_wrong_user_is_refused(self):
        client = LineClient(self.port)
        self.assertTrue(client.logon(user="mallory").startswith("535"))
        client.close()

    def test_mail_without_logon_is_refused(self):
        client = LineClient(self.port)
        client.reply()
        client.command("HELO korvafax\r\n")
        self.assertTrue(client.command("MAIL FROM:<anna@example.com>\r\n").startswith("530"))
        client.close()

    def test_only_the_fax_mailbox_is_accepted(self):
        client = LineClient(self.port)
        self.assertTrue(client.logon().startswith("235"))
        self.assertTrue(client.command("MAIL FROM:<anna@example.com>\r\n").startswith("250"))
        self.assertTrue(client.command("RCPT TO:<boss@example.com>\r\n").startswith("550"))
        self.assertTrue(client.command("RCPT TO:<FAX@Example.com>\r\n").startswith("250"))
        client.close()

    def test_standard_client_with_ehlo_and_auth_login(self):
        with smtplib.SMTP("127.0.0.1", self.port, timeout=20) as client:
            client.login(USER, PASSWORD)
            client.sendmail("anna@example.com", [FAX_ADDRESS], fax_message([b"abc"]))
        self.assertEqual(self.load_json(1)["envelope"]["auth_user"], USER)


class RestartTest(SpoolTestCase):
    def test_numbering_continues_after_what_the_spool_holds(self):
        os.makedirs(self.spool)
        with open(os.path.join(self.spool, "0007.eml"), "wb") as f:
            f.write(b"old")
        with SimProcess(self.spool) as sim:
            self.assertTrue(self.send(sim.ports["smtp"], fax_message([b"abc"])).startswith("250"))
        self.assertEqual(self.load_json(8)["number"], 8)
        with open(os.path.join(self.spool, "0007.eml"), "rb") as f:
            self.assertEqual(f.read(), b"old")


if __name__ == "__main__":
    unittest.main()
