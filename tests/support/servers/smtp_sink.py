#!/usr/bin/env python3
"""An SMTP server for the tests: stores every message it accepts, with its envelope, in a
folder, and refuses recipients that begin with "reject". Prints "PORT <n>" once it listens
on 127.0.0.1 and runs until it receives SIGTERM."""

import argparse
import os
import signal
import socket
import ssl
import sys

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

REJECT_PREFIX = "reject"
START_ATTEMPTS = 3


class Sink:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.startswith(REJECT_PREFIX):
            return "550 5.1.1 No such user here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, "%04d" % self.count)
        login = session.auth_data.login.decode() if session.authenticated else ""
        lines = ["MAIL FROM:" + envelope.mail_from]
        lines += ["RCPT TO:" + rcpt for rcpt in envelope.rcpt_tos]
        tls = server.transport.get_extra_info("ssl_object") is not None
        lines += ["AUTH:" + login, "TLS:" + ("yes" if tls else "no")]
        # The data first, the envelope last: a test that sees the envelope sees it all.
        write_atomically(base + ".eml", envelope.original_content)
        write_atomically(base + ".env", ("\n".join(lines) + "\n").encode())
        return "250 Message accepted"


def write_atomically(path, data):
    with open(path + ".part", "wb") as part:
        part.write(data)
    os.rename(path + ".part", path)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--folder", required=True)
    parser.add_argument("--tls", choices=["none", "starttls", "ssl"], default="none")
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--user")
    parser.add_argument("--password")
    parser.add_argument("--auth-over-plain-text", action="store_true")
    parser.add_argument("--auth-login-only", action="store_true")
    args = parser.parse_args()

    context = None
    if args.tls != "none":
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)

    def authenticator(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword)
              and auth_data.login.decode() == args.user
              and auth_data.password.decode() == args.password)
        return AuthResult(success=ok, auth_data=auth_data)

    settings = {}
    if args.tls == "starttls":
        settings.update(tls_context=context, require_starttls=True)
    if args.tls == "ssl":
        settings.update(ssl_context=context)
    if args.user:
        # aiosmtpd counts only STARTTLS as TLS; an implicit TLS session is one as well.
        require_tls = not args.auth_over_plain_text and args.tls != "ssl"
        settings.update(authenticator=authenticator, auth_required=True,
                        auth_require_tls=require_tls)
    if args.auth_login_only:
        settings.update(auth_exclude_mechanism=["PLAIN"])

    for attempt in range(START_ATTEMPTS):
        port = free_port()
        controller = Controller(Sink(args.folder), hostname="127.0.0.1", port=port, **settings)
        try:
            controller.start()
            break
        except OSError:
            if attempt == START_ATTEMPTS - 1:
                raise
    print("PORT %d" % port, flush=True)
    signal.sigwait([signal.SIGTERM, signal.SIGINT])
    controller.stop()


if __name__ == "__main__":
    signal.pthread_sigmask(signal.SIG_BLOCK, [signal.SIGTERM, signal.SIGINT])
    sys.exit(main())
