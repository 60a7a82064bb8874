"""Command line: start every server side, print one "ready" line, serve until
SIGTERM or SIGINT."""

import argparse
import asyncio
import logging
import signal
import sys

from korva_sim import dircommands, ldapserver, smtp, tlsfiles
from korva_sim.conversations import ConversationLog
from korva_sim.store import FaxStore

# Each module offers add_arguments(parser) and
# start(loop, args, context) -> ([asyncio servers], {name: port}).
SERVICES = (smtp, dircommands, ldapserver)


def parse_arguments(argv):
    parser = argparse.ArgumentParser(prog="korva-sim", description="Stand-in for the KORVA mail server.")
    parser.add_argument("--spool", required=True, help="folder for the received faxes")
    parser.add_argument("--user", required=True, help="the one user name accepted")
    parser.add_argument("--password", required=True, help="that user's password")
    parser.add_argument("--fax-address", required=True, help="the fax mailbox, the only accepted recipient")
    parser.add_argument("--host", default="127.0.0.1", help="address to listen on (default 127.0.0.1)")
    parser.add_argument("--verbose", action="store_true", help="log the conversations on standard error")
    parser.add_argument("--tls", action="store_true",
                        help="offer STARTTLS, STLS and LDAP StartTLS, and open the smtps, pop3s and ldaps ports")
    parser.add_argument("--tls-only", action="store_true",
                        help="as --tls, and refuse every logon on the plain ports before the upgrade")
    parser.add_argument("--tls-cert", choices=tlsfiles.KINDS, default="good",
                        help="the server certificate: good (default), expired, or other-host (for other.example)")
    parser.add_argument("--tls-ca-out", metavar="FILE", help="write the test CA certificate (PEM) here")
    parser.add_argument("--conversation-log", metavar="FILE",
                        help="append one JSON line per conversation: service, tls, tls_version, logon, "
                             "logon_in_clear")
    for service in SERVICES:
        service.add_arguments(parser)
    args = parser.parse_args(argv)
    args.tls = args.tls or args.tls_only
    return args


def tls_context(args):
    """The server's TLS context, or None without --tls; writes the CA first."""
    if not args.tls:
        return None
    context, ca_pem = tlsfiles.make(args.tls_cert, args.host)
    if args.tls_ca_out:
        with open(args.tls_ca_out, "wb") as out:
            out.write(ca_pem)
    return context


async def serve(args):
    loop = asyncio.get_running_loop()
    stop = asyncio.Event()
    for number in (signal.SIGTERM, signal.SIGINT):
        loop.add_signal_handler(number, stop.set)
    context = {"store": FaxStore(args.spool), "tls": tls_context(args), "tls_only": args.tls_only,
               "conversations": ConversationLog(args.conversation_log)}
    servers, ports = [], {}
    try:
        for service in SERVICES:
            started, named_ports = await service.start(loop, args, context)
            servers += started
            ports.update(named_ports)
        print("ready " + " ".join(f"{name}={port}" for name, port in ports.items()), flush=True)
        await stop.wait()
    finally:
        for server in servers:
            server.close()
        for server in servers:
            await server.wait_closed()
    return 0


def main(argv=None):
    args = parse_arguments(sys.argv[1:] if argv is None else argv)
    logging.basicConfig(level=logging.INFO if args.verbose else logging.WARNING,
                        format="korva-sim: %(name)s: %(message)s", stream=sys.stderr)
    if not args.verbose:
        logging.getLogger("mail.log").setLevel(logging.CRITICAL)
    try:
        return asyncio.run(serve(args))
    except OSError as error:
        print(f"korva-sim: {error}", file=sys.stderr)
        return 1
