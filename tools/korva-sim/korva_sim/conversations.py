"""Whether each conversation was encrypted and whether a logon crossed the
network in the clear: one JSON line per conversation in --conversation-log,
and one log line with --verbose."""

import json
import logging

log = logging.getLogger("korva-sim.conversations")


class ConversationLog:
    def __init__(self, path):
        self.path = path

    def begin(self, service):
        return Conversation(self, service)

    def write(self, record):
        log.info("%s tls=%s logon=%s logon_in_clear=%s", record["service"], record["tls_version"] or "no",
                 "yes" if record["logon"] else "no", "yes" if record["logon_in_clear"] else "no")
        if self.path:
            with open(self.path, "a", encoding="utf-8") as stream:
                stream.write(json.dumps(record) + "\n")
                stream.flush()


def tls_version(transport):
    """The TLS version of a transport, None while it is not encrypted."""
    ssl_object = transport.get_extra_info("ssl_object") if transport is not None else None
    return ssl_object.version() if ssl_object is not None else None


class Conversation:
    def __init__(self, owner, service):
        self.owner = owner
        self.service = service
        self.version = None
        self.logon = False
        self.logon_in_clear = False
        self.ended = False

    @property
    def encrypted(self):
        return self.version is not None

    def note_transport(self, transport):
        self.version = tls_version(transport) or self.version

    def note_logon(self, credentials_received=True):
        """A logon attempt; the credentials count as in the clear when they
        arrived before the encryption."""
        self.logon = True
        if credentials_received and not self.encrypted:
            self.logon_in_clear = True

    def end(self):
        if self.ended:
            return
        self.ended = True
        self.owner.write({"service": self.service, "tls": self.encrypted, "tls_version": self.version,
                          "logon": self.logon, "logon_in_clear": self.logon_in_clear})
