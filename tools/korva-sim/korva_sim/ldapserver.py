"""LDAPv3 on the user's address book: simple bind as the user, search with
base, one-level or subtree scope and a present filter, the requested
attributes, unbind. Requests are read with pyasn1 and the LDAP message
definitions of ldap3; responses are encoded by hand (ber.py).

With --tls the StartTLS extended operation upgrades the connection and the
ldaps port speaks TLS from the first byte; with --tls-only a bind before
StartTLS is refused with confidentialityRequired."""

import asyncio
import logging

from pyasn1.codec.ber import decoder
from pyasn1.error import PyAsn1Error
from ldap3.protocol.rfc4511 import LDAPMessage

from korva_sim import ber, directory

log = logging.getLogger("korva-sim.ldap")

SUCCESS = 0
OPERATIONS_ERROR = 1
PROTOCOL_ERROR = 2
AUTH_METHOD_NOT_SUPPORTED = 7
CONFIDENTIALITY_REQUIRED = 13
NO_SUCH_OBJECT = 32
INVALID_CREDENTIALS = 49
INSUFFICIENT_ACCESS = 50
UNWILLING_TO_PERFORM = 53

# Operations this server refuses, with the tag of their response.
REFUSED = {
    "modifyRequest": ber.MODIFY_RESPONSE,
    "addRequest": ber.ADD_RESPONSE,
    "delRequest": ber.DELETE_RESPONSE,
    "modDNRequest": ber.MODIFY_DN_RESPONSE,
    "compareRequest": ber.COMPARE_RESPONSE,
    "extendedReq": ber.EXTENDED_RESPONSE,
}

START_TLS = b"1.3.6.1.4.1.1466.20037"

# Search results go out in writes of this many entries.
BATCH = 1000


def selected(entry, wanted, types_only):
    """The entry's attributes that the request asked for, in stored order."""
    if not wanted or b"*" in wanted:
        pairs = entry.attributes
    else:
        lowered = {name.lower() for name in wanted}
        pairs = [pair for pair in entry.attributes if pair[0].lower() in lowered]
    return [(name, [] if types_only else values) for name, values in pairs]


def matches(entry, present):
    return present.lower() == b"objectclass" or entry.find(present) is not None


class Connection:
    def __init__(self, book, user, password, writer, conversation, tls=None, tls_only=False):
        self.book = book
        self.user = user
        self.password = password
        self.writer = writer
        self.conversation = conversation
        self.tls = tls
        self.tls_only = tls_only
        self.bound = False

    def send(self, message_id, operation):
        self.writer.write(ber.message(message_id, operation))

    async def handle(self, raw):
        """Answers one request; False when the connection should end."""
        try:
            request, _ = decoder.decode(raw, asn1Spec=LDAPMessage())
        except PyAsn1Error as error:
            log.info("undecodable request: %s", error)
            return False
        message_id = int(request["messageID"])
        operation = request["protocolOp"]
        name = operation.getName()
        body = operation.getComponent()
        log.info("%d %s", message_id, name)
        if name == "bindRequest":
            self.bind(message_id, body)
        elif name == "searchRequest":
            await self.search(message_id, body)
        elif name == "unbindRequest":
            return False
        elif name == "extendedReq" and self.tls is not None and bytes(body["requestName"]) == START_TLS:
            await self.start_tls(message_id)
        elif name in REFUSED:
            self.send(message_id, ber.result(REFUSED[name], UNWILLING_TO_PERFORM, b"", b"read only"))
        await self.writer.drain()
        return True

    async def start_tls(self, message_id):
        if self.conversation.encrypted:
            self.send(message_id, ber.extended_result(OPERATIONS_ERROR, b"TLS already active", START_TLS))
            return
        self.send(message_id, ber.extended_result(SUCCESS, b"", START_TLS))
        await self.writer.start_tls(self.tls)
        self.conversation.note_transport(self.writer.transport)

    def bind(self, message_id, body):
        self.bound = False
        name, credentials = bytes(body["name"]), body["authentication"]
        if name or (credentials.getName() == "simple" and bytes(credentials.getComponent())):
            self.conversation.note_logon()
        if self.tls_only and not self.conversation.encrypted:
            code, text = CONFIDENTIALITY_REQUIRED, b"StartTLS first"
        elif int(body["version"]) != 3:
            code, text = PROTOCOL_ERROR, b"LDAPv3 only"
        elif body["authentication"].getName() != "simple":
            code, text = AUTH_METHOD_NOT_SUPPORTED, b"simple bind only"
        else:
            password = bytes(credentials.getComponent())
            if not name and not password:
                code, text = SUCCESS, b""
            elif name.lower() == self.user.lower() and password == self.password:
                code, text, self.bound = SUCCESS, b"", True
            else:
                code, text = INVALID_CREDENTIALS, b"invalid credentials"
        self.send(message_id, ber.result(ber.BIND_RESPONSE, code, b"", text))

    async def search(self, message_id, body):
        def done(code, text=b""):
            self.send(message_id, ber.result(ber.SEARCH_RESULT_DONE, code, b"", text))

        if not self.bound:
            return done(INSUFFICIENT_ACCESS, b"bind as the user first")
        search_filter = body["filter"]
        if search_filter.getName() != "present":
            return done(UNWILLING_TO_PERFORM, b"only present filters")
        present = bytes(search_filter.getComponent())
        found = self.book.search(bytes(body["baseObject"]), int(body["scope"]))
        if found is None:
            return done(NO_SUCH_OBJECT)
        wanted = [bytes(name) for name in body["attributes"]]
        types_only = bool(body["typesOnly"])
        batch = []
        for entry in found:
            if matches(entry, present):
                batch.append(ber.message(message_id, ber.search_entry(entry.dn, selected(entry, wanted, types_only))))
            if len(batch) >= BATCH:
                self.writer.write(b"".join(batch))
                batch = []
                await self.writer.drain()
        self.writer.write(b"".join(batch))
        done(SUCCESS)


def add_arguments(parser):
    parser.add_argument("--ldap-port", type=int, default=0, help="LDAP port; 0 picks a free one")
    parser.add_argument("--ldaps-port", type=int, default=0,
                        help="LDAP port with TLS from the first byte (with --tls); 0 picks a free one")


async def start(loop, args, context):
    """Starts listening; returns ([servers], {"ldap": port, "ldaps": port})."""
    book = directory.shared(context, args)
    user, password = args.user.encode(), args.password.encode()
    tls = context["tls"]

    async def converse(reader, writer):
        conversation = context["conversations"].begin("ldap")
        conversation.note_transport(writer.transport)
        connection = Connection(book, user, password, writer, conversation, tls, context["tls_only"])
        buffer = b""
        try:
            while True:
                chunk = await reader.read(65536)
                if not chunk:
                    break
                buffer += chunk
                while (size := ber.frame_size(buffer)) is not None and len(buffer) >= size:
                    raw, buffer = buffer[:size], buffer[size:]
                    if not await connection.handle(raw):
                        return
        except (OSError, ValueError) as error:
            log.info("connection ended: %s", error)
        finally:
            conversation.end()
            writer.close()

    server = await asyncio.start_server(converse, host=args.host, port=args.ldap_port)
    servers, ports = [server], {"ldap": server.sockets[0].getsockname()[1]}
    if tls is not None:
        implicit = await asyncio.start_server(converse, host=args.host, port=args.ldaps_port, ssl=tls)
        servers.append(implicit)
        ports["ldaps"] = implicit.sockets[0].getsockname()[1]
    return servers, ports
