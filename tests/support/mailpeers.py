#!/usr/bin/python3
"""Mail peers for the mail tests, on 127.0.0.1 with free ports.

- SMTP with implicit TLS and AUTH LOGIN (aiosmtpd), its certificate signed by a test authority
  made here with openssl; recipients starting with "recusado@" are refused. Each accepted message
  is decoded and written as JSON (sender, recipients, To header, subject, body lines, and each
  attachment's file name, type and base64 bytes) into the folder.
- The same SMTP on a second port with a plain greeting and STARTTLS required before the login.
- POP3 without TLS: a small responder that accepts USER/PASS with the test password.
Any mailbox of the user's domain logs in with the password.

Usage: mailpeers.py FOLDER USER PASSWORD. Prints one line
"READY <smtp port> <pop3 port> <ca file> <other ca file> <starttls smtp port>" and serves until its standard input
closes.
"""
import asyncio
import base64
import email
import email.policy
import json
import os
import socket
import ssl
import subprocess
import sys
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

folder, user, password = sys.argv[1], sys.argv[2], sys.argv[3]


def openssl(*args):
    subprocess.run(["openssl", *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_ca(name):
    key, crt = os.path.join(folder, name + ".key"), os.path.join(folder, name + ".pem")
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", crt, "-days", "2",
            "-subj", "/CN=" + name)
    return key, crt


def make_server_cert(ca_key, ca_crt):
    key, csr, crt = (os.path.join(folder, "server" + e) for e in (".key", ".csr", ".pem"))
    ext = os.path.join(folder, "server.ext")
    with open(ext, "w") as f:
        f.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n")
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", csr, "-subj", "/CN=127.0.0.1")
    openssl("x509", "-req", "-in", csr, "-CA", ca_crt, "-CAkey", ca_key, "-CAcreateserial", "-out", crt,
            "-days", "2", "-extfile", ext)
    return key, crt


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Handler:
    def __init__(self):
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower().startswith("recusado@"):
            return "550 5.1.1 caixa postal recusada"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        message = email.message_from_bytes(envelope.content, policy=email.policy.default)
        body = message.get_body(preferencelist=("plain",)).get_content()
        self.count += 1
        attachments = []
        for part in message.iter_attachments():
            attachments.append({
                "filename": part.get_filename(),
                "content_type": part.get_content_type(),
                "data": base64.b64encode(part.get_payload(decode=True)).decode(),
            })
        record = {
            "from": envelope.mail_from,
            "to": envelope.rcpt_tos,
            "header_from": str(message["From"]),
            "header_to": str(message["To"]),
            "subject": str(message["Subject"]),
            "attachments": attachments,
            "starttls": session.ssl is not None,
            "body_lines": body.split("\r\n") if "\r\n" in body else body.split("\n"),
            "login": session.login_data.decode() if isinstance(session.login_data, bytes) else str(session.login_data),
        }
        path = os.path.join(folder, "mail-%d.json" % self.count)
        with open(path + ".tmp", "w", encoding="utf-8") as f:
            json.dump(record, f, ensure_ascii=False)
        os.rename(path + ".tmp", path)
        return "250 mensagem aceita"


def authenticator(server, session, envelope, mechanism, auth_data):
    # Any mailbox of the test domain logs in with the test password.
    ok = isinstance(auth_data, LoginPassword) and auth_data.login.decode().endswith(user.split("@")[1]) \
        and auth_data.password.decode() == password
    if ok:
        with open(os.path.join(folder, "smtp-auth.log"), "a") as f:
            f.write(mechanism + "\n")
    return AuthResult(success=ok, handled=False)


async def pop3_client(reader, writer):
    writer.write(b"+OK POP3 de teste pronto\r\n")
    given_user = None
    while True:
        line = await reader.readline()
        if not line:
            break
        parts = line.decode(errors="replace").strip().split(" ", 1)
        cmd, arg = parts[0].upper(), (parts[1] if len(parts) > 1 else "")
        if cmd == "CAPA":
            writer.write(b"+OK\r\nUSER\r\n.\r\n")
        elif cmd == "USER":
            given_user = arg
            writer.write(b"+OK\r\n")
        elif cmd == "PASS":
            if given_user and given_user.endswith(user.split("@")[1]) and arg == password:
                with open(os.path.join(folder, "pop3.log"), "a") as f:
                    f.write("login %s\n" % given_user)
                writer.write(b"+OK logado\r\n")
            else:
                writer.write(b"-ERR [AUTH] usuario ou senha invalidos\r\n")
        elif cmd in ("NOOP", "RSET"):
            writer.write(b"+OK\r\n")
        elif cmd == "STAT":
            writer.write(b"+OK 0 0\r\n")
        elif cmd == "LIST":
            writer.write(b"+OK\r\n.\r\n")
        elif cmd == "QUIT":
            writer.write(b"+OK tchau\r\n")
            await writer.drain()
            break
        else:
            writer.write(b"-ERR comando desconhecido\r\n")
        await writer.drain()
    writer.close()


def main():
    ca_key, ca_crt = make_ca("ca-teste")
    _, other_ca = make_ca("ca-outra")
    key, crt = make_server_cert(ca_key, ca_crt)
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(crt, key)

    smtp_port = free_port()
    controller = Controller(Handler(), hostname="127.0.0.1", port=smtp_port, ssl_context=context,
                            authenticator=authenticator, auth_required=True, auth_require_tls=False)
    controller.start()
    # One handler for both: the messages of the suite are numbered in one series.
    starttls_port = free_port()
    starttls = Controller(controller.handler, hostname="127.0.0.1", port=starttls_port, tls_context=context,
                          require_starttls=True, authenticator=authenticator, auth_required=True)
    starttls.start()

    loop = asyncio.new_event_loop()
    pop3_port = free_port()
    server = loop.run_until_complete(asyncio.start_server(pop3_client, "127.0.0.1", pop3_port))
    thread = threading.Thread(target=loop.run_forever, daemon=True)
    thread.start()

    print("READY %d %d %s %s %d" % (smtp_port, pop3_port, ca_crt, other_ca, starttls_port), flush=True)
    sys.stdin.read()
    loop.call_soon_threadsafe(server.close)
    loop.call_soon_threadsafe(loop.stop)
    starttls.stop()
    controller.stop()


if __name__ == "__main__":
    main()
