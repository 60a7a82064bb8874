"""Directory commands on the POP3 port: X-LDAPUSER and PASS log on, then
X-LDAPADD, X-LDAPSET and X-LDAPDEL change the user's address book, QUIT
ends. Every reply is one line; "-ERR ..." for every refusal.

With --tls, STLS (RFC 2595) upgrades the connection and the pop3s port
speaks TLS from the first byte; with --tls-only the logon waits for STLS."""

import asyncio
import logging

from korva_sim import directory

log = logging.getLogger("korva-sim.directory-commands")

LINE_LIMIT = 1 << 20


def unescape(value):
    """Backslash n, backslash r and a doubled backslash back to LF, CR and a
    backslash; any other backslash stays as it is."""
    out = bytearray()
    index = 0
    while index < len(value):
        byte = value[index]
        if byte == 0x5C and index + 1 < len(value):
            following = value[index + 1]
            mapped = {0x6E: b"\n", 0x72: b"\r", 0x5C: b"\\"}.get(following)
            if mapped is not None:
                out += mapped
                index += 2
                continue
        out.append(byte)
        index += 1
    return bytes(out)


class Session:
    def __init__(self, book, user, password, conversation, tls_only=False):
        self.book = book
        self.user = user
        self.password = password
        self.conversation = conversation
        self.tls_only = tls_only
        self.named = None
        self.logged_on = False

    def handle(self, line):
        """The reply to one command line (bytes, without its line end), and
        whether the conversation ends."""
        keyword, _, argument = line.partition(b" ")
        keyword = keyword.upper()
        if keyword == b"QUIT":
            return b"+OK bye", True
        if keyword in (b"X-LDAPUSER", b"PASS"):
            self.conversation.note_logon()
            if self.tls_only and not self.conversation.encrypted:
                return b"-ERR TLS required", False
        if keyword == b"X-LDAPUSER":
            self.named, self.logged_on = argument, False
            return b"+OK send PASS", False
        if keyword == b"PASS":
            self.logged_on = self.named == self.user and argument == self.password
            return (b"+OK logged on", False) if self.logged_on else (b"-ERR logon refused", False)
        command = {b"X-LDAPADD": self.add, b"X-LDAPSET": self.set, b"X-LDAPDEL": self.delete}.get(keyword)
        if command is None:
            return b"-ERR unknown command", False
        if not self.logged_on:
            return b"-ERR log on first", False
        return command(argument), False

    def add(self, _argument):
        entry = self.book.create()
        return b"+OK " + entry.dn

    def _entry_prefix(self, argument):
        """The entry whose name begins the argument, followed by a blank (the
        longest such name, since names may hold blanks)."""
        lowered = argument.lower()
        best = None
        for entry in self.book.entries:
            name = entry.dn.lower()
            if lowered.startswith(name + b" ") and (best is None or len(entry.dn) > len(best.dn)):
                best = entry
        return best

    def set(self, argument):
        entry = self._entry_prefix(argument)
        if entry is None:
            return b"-ERR no such entry"
        name, _, value = argument[len(entry.dn) + 1:].partition(b" ")
        if not name:
            return b"-ERR attribute name missing"
        if name.startswith(b"_"):
            return b"-ERR attribute is read-only"
        if entry.value(b"_editable") != b"1":
            return b"-ERR entry is not editable"
        value = unescape(value)
        if name.lower() == b"mail":
            if not value:
                return b"-ERR mail must not be empty"
            if self.book.rename_for_mail(entry, value) is None:
                return b"-ERR an entry of that name exists"
        entry.set(name, value)
        return b"+OK " + entry.dn

    def delete(self, argument):
        entry = self.book.get(argument)
        if entry is None:
            return b"-ERR no such entry"
        if entry.value(b"_deletable") != b"1":
            return b"-ERR entry is not deletable"
        self.book.delete(entry)
        return b"+OK deleted"


def add_arguments(parser):
    parser.add_argument("--pop3-port", type=int, default=0,
                        help="port of the directory commands; 0 picks a free one")
    parser.add_argument("--pop3s-port", type=int, default=0,
                        help="port of the directory commands with TLS from the first byte (with --tls); "
                             "0 picks a free one")
    parser.add_argument("--directory", help="JSON file that seeds the user's address book")


async def start_tls(session, writer, tls):
    """STLS: the reply, and the handshake after it when the upgrade is offered."""
    if tls is None:
        return b"-ERR unknown command"
    if session.conversation.encrypted:
        return b"-ERR TLS already active"
    if session.named is not None:
        return b"-ERR STLS only before the logon"
    writer.write(b"+OK Begin TLS negotiation\r\n")
    await writer.start_tls(tls)
    session.conversation.note_transport(writer.transport)
    return None


async def start(loop, args, context):
    """Starts listening; returns ([servers], {"pop3": port, "pop3s": port})."""
    book = directory.shared(context, args)
    user, password = args.user.encode(), args.password.encode()
    tls = context["tls"]

    async def converse(reader, writer):
        conversation = context["conversations"].begin("pop3")
        conversation.note_transport(writer.transport)
        session = Session(book, user, password, conversation, context["tls_only"])
        try:
            writer.write(b"+OK KORVA directory stand-in ready\r\n")
            while True:
                line = await reader.readline()
                if not line:
                    break
                line = line.rstrip(b"\r\n")
                if line.upper() == b"STLS":
                    reply, done = await start_tls(session, writer, tls), False
                else:
                    reply, done = session.handle(line)
                log.info("%r -> %r", line, reply)
                if reply is not None:
                    writer.write(reply + b"\r\n")
                await writer.drain()
                if done:
                    break
        except (OSError, asyncio.LimitOverrunError, ValueError) as error:
            log.info("conversation ended: %s", error)
        finally:
            conversation.end()
            writer.close()

    server = await asyncio.start_server(converse, host=args.host, port=args.pop3_port, limit=LINE_LIMIT)
    servers, ports = [server], {"pop3": server.sockets[0].getsockname()[1]}
    if tls is not None:
        implicit = await asyncio.start_server(converse, host=args.host, port=args.pop3s_port, limit=LINE_LIMIT,
                                              ssl=tls)
        servers.append(implicit)
        ports["pop3s"] = implicit.sockets[0].getsockname()[1]
    return servers, ports
