"""SMTP side: AUTH LOGIN for one user, mail only to the fax mailbox.

KORVA clients greet with HELO and then authenticate, which aiosmtpd only
allows after EHLO; KorvaSMTP lets AUTH through after HELO as the real server
does.

With --tls the plain port offers STARTTLS (aiosmtpd's own) and the smtps
port speaks TLS from the first byte; with --tls-only AUTH and MAIL wait for
the upgrade.
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


MUST_STARTTLS = "530 5.7.0 Must issue a STARTTLS command first"


def _same_help(base):
    """Keeps an overridden command in HELP as aiosmtpd lists it."""
    def copy(method):
        for name in ("__smtp_syntax__", "__smtp_syntax_extended__", "__smtp_syntax_when__"):
            setattr(method, name, getattr(base, name))
        return method
    return copy


class KorvaSMTP(SMTP):
    # Room for "MAIL FROM:<500 characters>" and long comment lines.
    command_size_limit = 1024
    line_length_limit = 65536

    def __init__(self, *args, conversation, tls_only=False, **kwargs):
        super().__init__(*args, **kwargs)
        self.conversation = conversation
        self.tls_only = tls_only

    def connection_made(self, transport):
        # Called again, with the encrypted transport, after STARTTLS.
        super().connection_made(transport)
        self.conversation.note_transport(transport)

    def connection_lost(self, error):
        self.conversation.end()
        super().connection_lost(error)

    async def _refused_in_clear(self):
        if self.tls_only and not self.conversation.encrypted:
            await self.push(MUST_STARTTLS)
            return True
        return False

    @_same_help(SMTP.smtp_MAIL)
    async def smtp_MAIL(self, arg):
        if not await self._refused_in_clear():
            await super().smtp_MAIL(arg)

    async def smtp_AUTH(self, arg):
        # AUTH LOGIN with an initial response carries the user name already.
        self.conversation.note_logon(credentials_received=len((arg or "").split()) > 1)
        if await self._refused_in_clear():
            return
        self.conversation.note_logon()
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
            "tls": server.conversation.encrypted,
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
    parser.add_argument("--smtps-port", type=int, default=0,
                        help="SMTP port with TLS from the first byte (with --tls); 0 picks a free one")


async def start(loop, args, context):
    """Starts listening; returns ([servers], {"smtp": port, "smtps": port})."""
    handler = FaxHandler(context["store"], args.fax_address)
    authenticator = Authenticator(args.user, args.password)

    def factory(tls_context):
        def make():
            with warnings.catch_warnings():
                # Without --tls logons travel in clear text on purpose, as the Part's client sends them.
                warnings.simplefilter("ignore")
                return KorvaSMTP(handler, hostname="korva-sim", ident="KORVA mail server stand-in",
                                 authenticator=authenticator, auth_required=True, auth_require_tls=False,
                                 auth_exclude_mechanism=["PLAIN"], enable_SMTPUTF8=True,
                                 data_size_limit=512 * 1024 * 1024, loop=loop, tls_context=tls_context,
                                 conversation=context["conversations"].begin("smtp"),
                                 tls_only=context["tls_only"])
        return make

    tls = context["tls"]
    server = await loop.create_server(factory(tls), host=args.host, port=args.smtp_port)
    servers, ports = [server], {"smtp": server.sockets[0].getsockname()[1]}
    if tls is not None:
        implicit = await loop.create_server(factory(None), host=args.host, port=args.smtps_port, ssl=tls)
        servers.append(implicit)
        ports["smtps"] = implicit.sockets[0].getsockname()[1]
    return servers, ports
