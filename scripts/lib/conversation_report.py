#!/usr/bin/python3 -IB
"""Prints how each server conversation of a run was protected, from
korva-sim's --conversation-log.

conversation_report.py LOG
Exit status 0, or 1 when a conversation that logged on was not encrypted or
a password crossed the network in the clear."""

import json
import sys


def main(path):
    try:
        with open(path, encoding="utf-8") as log:
            conversations = [json.loads(line) for line in log if line.strip()]
    except OSError as error:
        print(f"    no conversation log: {error}")
        return 1
    if not conversations:
        print("    no conversation was logged")
        return 1
    bad = 0
    for record in conversations:
        service = record.get("service", "?")
        if record.get("tls"):
            state = f"encrypted ({record.get('tls_version') or 'TLS'})"
        else:
            state = "NOT encrypted"
        clear = record.get("logon_in_clear")
        logon = "password sent in the clear" if clear else ("logged on" if record.get("logon") else "no logon")
        print(f"    {service}: {state}, {logon}")
        bad += bool(clear) or (record.get("logon") and not record.get("tls"))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
