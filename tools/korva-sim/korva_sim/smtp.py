"""SMTP side: AUTH LOGIN for one user, mail only to the fax mailbox.

KORVA clients greet with HELO and then authenticate, which aiosmtpd only
allows after EHLO; KorvaSMTP lets AUTH through after HELO as the real server
does.
"""

import asyncio
import logging
import os
import warnings

from aiosmtpd.smtp import SMTP, AuthResult

log = logging.getLogger("korva-sim.smtp")


def _original_text(value):
    """Command arguments arrive as UTF-8 with surrogate escapes; the JSON file
    shows them as the 8-bit text the client sent."""
    if isinstance(value, bytes):
        return value.decode("latin-1")
    return value.encode("utf-8", "surrogateescape").decode("latin-1")


class KorvaSMTP(SMTP):
    # Room for "MAIL FROM:<500 characters>" and long comment lines.
    command_size_limit = 1024
    line_length_limit = 65536

    async def smtp_AUTH(self, arg):
        if self.session.host_name and not self.session.extended_smtp:
            self.session.extended_smtp = True
            try:
                await super().smtp_AUTH(arg)
            finally:
                self.session.extended_smtp = False
            return
        await super().smtp_AUTH(arg)


class Authenticator:
    def __init__(self, user, password):
        self.user = os.fsencode(user)
        self.password = os.fsencode(password)

    def __call__(self, server, session, envelope, mechanism, auth_data):
        if mechanism == "LOGIN" and auth_data.login == self.user and auth_data.password == self.password:
            return AuthResult(success=True, auth_data=auth_data)
        log.info("refused logon of %r", auth_data.login)
        return AuthResult(success=False, handled=False)


class FaxHandler:
    def __init__(self, store, fax_address):
        self.store = store
        self.fax_address = fax_address

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() != self.fax_address.lower():
            return "550 5.1.1 Only the fax mailbox accepts mail here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        info = {
            "helo": session.host_name,
            "auth_user": _original_text(session.login_data or b""),
            "mail_from": _original_text(envelope.mail_from or ""),
            "rcpt_to": [_original_text(a) for a in envelope.rcpt_tos],
        }
        loop = asyncio.get_running_loop()
        try:
            number = await loop.run_in_executor(None, self.store.save, envelope.original_content, info)
        except Exception:  # the client must hear that nothing was stored
            log.exception("could not store a message")
            return "451 4.3.0 Could not store the fax"
        log.info("stored fax %04d", number)
        return f"250 OK fax {number:04d} queued"


def add_arguments(parser):
    parser.add_argument("--smtp-port", type=int, default=0, help="SMTP port; 0 picks a free one")


async def start(loop, args, context):
    """Starts listening; returns (server, {"smtp": port})."""
    handler = FaxHandler(context["store"], args.fax_address)
    authenticator = Authenticator(args.user, args.password)

    def factory():
        with warnings.catch_warnings():
            # Logons travel in clear text on purpose: the client has no TLS.
            warnings.simplefilter("ignore")
            return KorvaSMTP(handler, hostname="korva-sim", ident="KORVA mail server stand-in",
                             authenticator=authenticator, auth_required=True, auth_require_tls=False,
                             auth_exclude_mechanism=["PLAIN"], enable_SMTPUTF8=True,
                             data_size_limit=512 * 1024 * 1024, loop=loop)

    server = await loop.create_server(factory, host=args.host, port=args.smtp_port)
    return server, {"smtp": server.sockets[0].getsockname()[1]}
