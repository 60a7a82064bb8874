"""korva-sim: a stand-in for the KORVA mail server, for tests and the demo.

Each server side (SMTP now; the directory side later) lives in its own module
with the same two entry points, add_arguments(parser) and start(loop, args),
and main.py starts every module listed in SERVICES.
"""
