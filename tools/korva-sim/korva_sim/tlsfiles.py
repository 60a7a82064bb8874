"""The test CA and the server certificate, made fresh at each start with the
openssl command. The CA is never in any system store, so a client trusts the
server only when told to trust the CA (--tls-ca-out)."""

import datetime
import ipaddress
import os
import ssl
import subprocess
import tempfile

KINDS = ("good", "expired", "other-host")

# openssl ca wants a database and a policy; nothing here outlives the start.
CA_CONFIG = """\
[ca]
default_ca = test_ca
[test_ca]
dir = {folder}
database = $dir/index.txt
serial = $dir/serial
new_certs_dir = $dir
certificate = $dir/ca.pem
private_key = $dir/ca.key
default_md = sha256
policy = anything
x509_extensions = server_extensions
unique_subject = no
[anything]
commonName = supplied
[server_extensions]
basicConstraints = critical, CA:FALSE
keyUsage = critical, digitalSignature
extendedKeyUsage = serverAuth
subjectAltName = {names}
[req]
distinguished_name = request_name
prompt = no
[request_name]
CN = unused
[ca_extensions]
basicConstraints = critical, CA:TRUE
keyUsage = critical, keyCertSign, cRLSign
subjectKeyIdentifier = hash
"""


def _alt_names(kind, host):
    if kind == "other-host":
        return "other.example", "DNS:other.example"
    names = ["DNS:localhost", "IP:127.0.0.1"]
    try:
        ipaddress.ip_address(host)
        extra = f"IP:{host}"
    except ValueError:
        extra = f"DNS:{host}"
    if extra not in names:
        names.append(extra)
    return "localhost", ", ".join(names)


def _validity(kind):
    """(start, end) in openssl's time form; an expired certificate ended
    yesterday."""
    now = datetime.datetime.now(datetime.timezone.utc)
    if kind == "expired":
        start, end = now - datetime.timedelta(days=30), now - datetime.timedelta(days=1)
    else:
        start, end = now - datetime.timedelta(hours=1), now + datetime.timedelta(days=30)
    return tuple(t.strftime("%Y%m%d%H%M%SZ") for t in (start, end))


def _openssl(folder, *argv):
    result = subprocess.run(["openssl", *argv], cwd=folder, capture_output=True, text=True)
    if result.returncode != 0:
        raise OSError(f"openssl {argv[0]} failed: {result.stderr.strip()}")


def make(kind, host):
    """(server SSLContext, CA certificate PEM bytes). The keys live in a
    private folder only until the context has loaded them."""
    common_name, names = _alt_names(kind, host)
    start, end = _validity(kind)
    with tempfile.TemporaryDirectory(prefix="korva-sim-tls-") as folder:
        with open(os.path.join(folder, "ca.cnf"), "w", encoding="ascii") as config:
            config.write(CA_CONFIG.format(folder=folder, names=names))
        open(os.path.join(folder, "index.txt"), "w").close()
        ec = ("-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes", "-config", "ca.cnf")
        _openssl(folder, "req", "-x509", *ec, "-keyout", "ca.key", "-out", "ca.pem", "-days", "30",
                 "-subj", "/CN=korva-sim test CA", "-extensions", "ca_extensions")
        _openssl(folder, "req", "-new", *ec, "-keyout", "server.key", "-out", "server.csr",
                 "-subj", f"/CN={common_name}")
        _openssl(folder, "ca", "-batch", "-config", "ca.cnf", "-create_serial", "-notext", "-in", "server.csr",
                 "-out", "server.pem", "-startdate", start, "-enddate", end)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(os.path.join(folder, "server.pem"), os.path.join(folder, "server.key"))
        with open(os.path.join(folder, "ca.pem"), "rb") as ca:
            return context, ca.read()
