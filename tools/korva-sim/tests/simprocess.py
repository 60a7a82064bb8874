"""Runs korva-sim from the build and talks to it over 127.0.0.1."""

import base64
import os
import select
import signal
import socket
import subprocess
import time

USER = "carl"
PASSWORD = "s3cret pw"
FAX_ADDRESS = "fax@example.com"


def sim_program():
    return os.path.join(os.environ["KORVA_BIN_DIR"], "korva-sim")


class SimProcess:
    """korva-sim as a child process; `ports` holds the names and ports of its
    ready line."""

    def __init__(self, spool, extra=()):
        argv = [sim_program(), "--spool", spool, "--user", USER, "--password", PASSWORD,
                "--fax-address", FAX_ADDRESS, *extra]
        self.process = subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.ready_line = self._read_ready_line(timeout=30)
        words = self.ready_line.split()
        if not words or words[0] != "ready":
            self.stop()
            raise AssertionError(f"unexpected first line {self.ready_line!r}")
        self.ports = {name: int(port) for name, _, port in (w.partition("=") for w in words[1:])}

    def _read_ready_line(self, timeout):
        deadline = time.monotonic() + timeout
        line = b""
        fd = self.process.stdout.fileno()
        while not line.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            if remaining <= 0 or not select.select([fd], [], [], remaining)[0]:
                self.stop()
                raise AssertionError("korva-sim did not get ready")
            chunk = os.read(fd, 1)
            if not chunk:
                err = self.process.stderr.read().decode(errors="replace")
                raise AssertionError(f"korva-sim ended before ready: {err}")
            line += chunk
        return line.decode().strip()

    def stop(self):
        """SIGTERM, then the exit code."""
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
        try:
            return self.process.wait(timeout=10)
        finally:
            self.process.stdout.close()
            self.process.stderr.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


class LineClient:
    """A plain SMTP client that speaks the way faxcourier does."""

    def __init__(self, port):
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=20)
        self.buffer = b""

    def reply(self):
        while b"\r\n" not in self.buffer:
            chunk = self.sock.recv(4096)
            if not chunk:
                raise ConnectionError("server closed")
            self.buffer += chunk
        line, _, self.buffer = self.buffer.partition(b"\r\n")
        return line.decode("latin-1")

    def command(self, text):
        self.sock.sendall(text if isinstance(text, bytes) else text.encode("latin-1"))
        return self.reply()

    def logon(self, user=USER, password=PASSWORD):
        """Greeting, HELO and AUTH LOGIN; returns the last reply."""
        assert self.reply().startswith("220")
        assert self.command("HELO korvafax\r\n").startswith("250")
        assert self.command("AUTH LOGIN\r\n").startswith("334")
        assert self.command(base64.b64encode(user.encode()) + b"\r\n").startswith("334")
        return self.command(base64.b64encode(password.encode()) + b"\r\n")

    def close(self):
        self.sock.close()
