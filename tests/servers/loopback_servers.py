#!/usr/bin/python3
"""Real FTP and SMTP servers on the loopback address for the Internet tests.

  loopback_servers.py ftp  --root DIR --user U --password P --port-file F [--slow SECONDS] [--read-only]
  loopback_servers.py smtp --maildir DIR --port-file F [--reject ADDRESS ...]

Each binds a free port on 127.0.0.1, writes the port number to the port file once it listens, and
serves until the stop file (the port file's name with ".stop" added) appears or --lifetime seconds
have passed. The FTP server (pyftpdlib) has one user whose home is DIR; --slow delays every reply; --read-only
refuses uploads.
The SMTP server (aiosmtpd) refuses the --reject recipients with 550 and stores every message it
accepts as a folder in DIR: from.txt, to.txt (one recipient a line), subject.txt, text.txt (the
decoded text part), attachments/<file name> (decoded), and complete.txt written last.
"""
import argparse
import logging
import os
import socket
import sys
import threading
import time


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def announce(port_file, port):
    tmp = port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write(str(port))
    os.replace(tmp, port_file)


def wait_for_stop(port_file, lifetime):
    end = time.monotonic() + lifetime
    stop = port_file + ".stop"
    while time.monotonic() < end and not os.path.exists(stop):
        time.sleep(0.1)


def run_ftp(args):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer

    logging.getLogger("pyftpdlib").setLevel(logging.WARNING)
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elr" if args.read_only else "elradfmwMT")

    class Handler(FTPHandler):
        def respond(self, resp, logfun=None):
            if args.slow:
                time.sleep(args.slow)
            super().respond(resp)

    Handler.authorizer = authorizer
    Handler.banner = "loopback test server ready"
    server = FTPServer(("127.0.0.1", 0), Handler)
    announce(args.port_file, server.socket.getsockname()[1])
    thread = threading.Thread(target=server.serve_forever, kwargs={"timeout": 0.2}, daemon=True)
    thread.start()
    wait_for_stop(args.port_file, args.lifetime)
    server.close_all()


def run_smtp(args):
    from email import policy
    from email.parser import BytesParser
    from aiosmtpd.controller import Controller

    counter = {"n": 0}
    rejected = {a.lower() for a in args.reject}

    class Handler:
        async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
            if address.lower() in rejected:
                return "550 5.1.1 no such user here"
            envelope.rcpt_tos.append(address)
            return "250 OK"

        async def handle_DATA(self, server, session, envelope):
            counter["n"] += 1
            folder = os.path.join(args.maildir, "%04d" % counter["n"])
            os.makedirs(os.path.join(folder, "attachments"), exist_ok=True)
            message = BytesParser(policy=policy.default).parsebytes(envelope.content)
            def write(name, data):
                with open(os.path.join(folder, name), "wb") as f:
                    f.write(data)
            write("from.txt", envelope.mail_from.encode())
            write("to.txt", "\n".join(envelope.rcpt_tos).encode())
            write("subject.txt", str(message.get("Subject", "")).encode("utf-8"))
            for part in message.walk():
                if part.is_multipart():
                    continue
                payload = part.get_payload(decode=True) or b""
                name = part.get_filename()
                if name:
                    write(os.path.join("attachments", os.path.basename(name)), payload)
                elif part.get_content_type() == "text/plain":
                    write("text.txt", payload)
            write("complete.txt", b"")
            return "250 Message accepted"

    port = free_port()
    controller = Controller(Handler(), hostname="127.0.0.1", port=port)
    controller.start()
    announce(args.port_file, port)
    wait_for_stop(args.port_file, args.lifetime)
    controller.stop()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("kind", choices=["ftp", "smtp"])
    parser.add_argument("--root")
    parser.add_argument("--user", default="lumetra")
    parser.add_argument("--password", default="secret")
    parser.add_argument("--slow", type=float, default=0.0)
    parser.add_argument("--read-only", action="store_true")
    parser.add_argument("--maildir")
    parser.add_argument("--reject", action="append", default=[])
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--lifetime", type=float, default=600.0)
    args = parser.parse_args()
    if args.kind == "ftp":
        run_ftp(args)
    else:
        run_smtp(args)


if __name__ == "__main__":
    sys.exit(main())
