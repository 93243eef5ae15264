#!/usr/bin/python3
"""SMTP servers on loopback for the report-mail tests under Wine.

  crash_mail_smtp_server.py SPOOL accept HOST PORT [USER PASSWORD]
      a real SMTP server (aiosmtpd); with USER and PASSWORD it demands
      AUTH LOGIN. Each message is parsed and stored in SPOOL/<subject>-<n>/:
      envelope.txt, to.txt, body.txt, one file per attachment (decoded) and
      message.eml as received.
  crash_mail_smtp_server.py SPOOL greet554 HOST PORT   greets with 554, then closes
  crash_mail_smtp_server.py SPOOL silent HOST PORT     accepts and never answers

Prints "ready" once listening; runs until terminated.
"""
import asyncio
import email
import email.policy
import itertools
import os
import re
import signal
import socket
import sys
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

counter = itertools.count(1)


class SpoolHandler:
    def __init__(self, spool):
        self.spool = spool

    async def handle_DATA(self, server, session, envelope):
        message = email.message_from_bytes(envelope.original_content, policy=email.policy.compat32)
        subject = re.sub(r"[^A-Za-z0-9_.-]", "_", message.get("Subject", "none"))
        folder = os.path.join(self.spool, f"{subject}-{next(counter)}")
        os.makedirs(folder)
        with open(os.path.join(folder, "message.eml"), "wb") as out:
            out.write(envelope.original_content)
        user = session.auth_data.login.decode() if session.auth_data else ""
        with open(os.path.join(folder, "envelope.txt"), "w") as out:
            out.write(f"from={envelope.mail_from}\nto={','.join(envelope.rcpt_tos)}\nuser={user}\n")
        with open(os.path.join(folder, "to.txt"), "w") as out:
            out.write(message.get("To", ""))
        for part in message.walk():
            if part.is_multipart():
                continue
            name = part.get_filename()
            data = part.get_payload(decode=True)
            target = os.path.basename(name) if name else "body.txt"
            with open(os.path.join(folder, target), "wb") as out:
                out.write(data)
        return "250 Message accepted"


def authenticator(user, password):
    def check(server, session, envelope, mechanism, auth_data):
        ok = isinstance(auth_data, LoginPassword) and auth_data.login == user.encode() \
            and auth_data.password == password.encode()
        return AuthResult(success=ok, handled=False, auth_data=auth_data)
    return check


def run_accept(spool, host, port, credentials):
    options = {}
    if credentials:
        options = dict(authenticator=authenticator(*credentials), auth_required=True, auth_require_tls=False)
    controller = Controller(SpoolHandler(spool), hostname=host, port=port, server_kwargs=options)
    controller.start()
    print("ready", flush=True)
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    stop.wait()
    controller.stop()


def run_raw(mode, host, port):
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((host, port))
    listener.listen(8)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    print("ready", flush=True)
    held = []
    while True:
        connection, _ = listener.accept()
        if mode == "greet554":
            connection.sendall(b"554 No SMTP service here\r\n")
            connection.close()
        else:
            held.append(connection)


def main():
    spool, mode, host, port = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
    if mode == "accept":
        run_accept(spool, host, port, sys.argv[5:7] if len(sys.argv) >= 7 else None)
    else:
        run_raw(mode, host, port)


if __name__ == "__main__":
    main()
