import unittest

from korva_sim.faxmessage import parse_fax_message, parse_text_part, top_headers


class TextPartTest(unittest.TestCase):
    def test_controls_then_comments(self):
        parsed = parse_text_part("~~RealName~Anna\r\n~~CoverPage~memo\r\n~1~B~C~D\r\nhello\r\n~not a recipient")
        self.assertEqual(parsed["sender"], {"RealName": "Anna"})
        self.assertEqual(parsed["cover_page"], "memo")
        self.assertEqual(parsed["recipients"], [{"fax": "1", "name": "B", "company": "C~D"}])
        self.assertEqual(parsed["comments"], "hello\n~not a recipient")

    def test_short_recipient_and_unknown_control(self):
        parsed = parse_text_part("~~Colour~red\n~555")
        self.assertEqual(parsed["recipients"], [{"fax": "555", "name": "", "company": ""}])
        self.assertEqual(parsed["unknown_control_lines"], ["~~Colour~red"])
        self.assertEqual(parsed["comments"], "")
        self.assertIsNone(parsed["cover_page"])


class MessageTest(unittest.TestCase):
    def test_eight_bit_subject_and_folded_header(self):
        raw = b"Subject: Gr\xfc\xdfe\r\nTo: a\r\n b\r\n\r\nbody"
        self.assertEqual(top_headers(raw), {"subject": "Gr\u00fc\u00dfe", "to": "a b"})

    def test_single_part_message_is_reported(self):
        summary, attachments = parse_fax_message(b"Subject: x\r\n\r\nplain\r\n")
        self.assertEqual(attachments, [])
        self.assertIn("the message is not multipart", summary["problems"])

    def test_broken_base64_is_reported(self):
        raw = (b'Content-Type: multipart/mixed; boundary="b"\r\n\r\n--b\r\nContent-Type: text/plain\r\n\r\n~1~2~3\r\n'
               b'--b\r\nContent-Transfer-Encoding: base64\r\n'
               b'Content-Disposition: attachment; filename="korvafax_1.fmf"\r\n\r\nYWJ*\r\n--b--\r\n')
        summary, attachments = parse_fax_message(raw)
        self.assertEqual(attachments[0][0], "korvafax_1.fmf")
        self.assertTrue(any("bad base64" in p for p in summary["problems"]))
        self.assertEqual(summary["recipients"], [{"fax": "1", "name": "2", "company": "3"}])


if __name__ == "__main__":
    unittest.main()
