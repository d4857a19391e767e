#!/usr/bin/python3
"""SMTP server for the e-mail tests: aiosmtpd on 127.0.0.1 with the test's certificate.

Writes one JSON line per event to --registro: {"conexion": true} for every connection made
after start-up, and for every message what the server saw: envelope sender and recipients,
the decoded headers and body, and whether any Bcc header arrived. Prints LISTO when it
accepts connections and runs until it is terminated.
"""
import argparse
import json
import ssl
import sys
import time
from email import message_from_bytes, policy
from email.utils import getaddresses

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import SMTP, AuthResult

p = argparse.ArgumentParser()
p.add_argument("--puerto", type=int, required=True)
p.add_argument("--registro", required=True)
p.add_argument("--modo", choices=["starttls", "implicito", "plano"], required=True)
p.add_argument("--cert")
p.add_argument("--clave")
p.add_argument("--usuario")
p.add_argument("--contrasena")
p.add_argument("--aceptar", type=int, default=-1,
               help="messages taken before every further one is refused (-1: no limit)")
a = p.parse_args()

listo = False


def registrar(d):
    with open(a.registro, "a", encoding="utf-8") as f:
        f.write(json.dumps(d, ensure_ascii=False) + "\n")


class Manejador:
    recibidos = 0

    async def handle_DATA(self, server, session, envelope):
        if 0 <= a.aceptar <= Manejador.recibidos:
            return "554 Transaction failed"
        Manejador.recibidos += 1
        m = message_from_bytes(envelope.original_content, policy=policy.default)
        registrar({
            "desde": envelope.mail_from,
            "destinatarios": envelope.rcpt_tos,
            "de": str(m["From"]),
            "de_nombre": getaddresses([str(m["From"])])[0][0],
            "para": [d for _, d in getaddresses([str(m["To"])]) if d] if m["To"] else [],
            "asunto": str(m["Subject"]),
            "bcc": m["Bcc"] is not None,
            "cuerpo": m.get_content().replace("\r\n", "\n"),
            "ascii": all(b < 128 for b in envelope.original_content.split(b"\r\n\r\n", 1)[0]),
            "crlf": b"\n" not in envelope.original_content.replace(b"\r\n", b""),
        })
        return "250 OK"


def autenticar(server, session, envelope, mechanism, auth_data):
    ok = (auth_data.login.decode() == a.usuario and auth_data.password.decode() == a.contrasena)
    return AuthResult(success=ok, handled=False)


class Servidor(Controller):
    def factory(self):
        if listo:
            registrar({"conexion": True})
        return super().factory()


kw = {}
if a.usuario:
    kw["authenticator"] = autenticar
ctx = None
if a.modo != "plano":
    ctx = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    ctx.load_cert_chain(a.cert, a.clave)
if a.modo == "starttls":
    kw.update(tls_context=ctx, require_starttls=True)
    c = Servidor(Manejador(), hostname="127.0.0.1", port=a.puerto, **kw)
elif a.modo == "implicito":
    # aiosmtpd does not know the socket is already encrypted.
    kw.update(auth_require_tls=False)
    c = Servidor(Manejador(), hostname="127.0.0.1", port=a.puerto, ssl_context=ctx, **kw)
else:
    kw.update(auth_require_tls=False)
    c = Servidor(Manejador(), hostname="127.0.0.1", port=a.puerto, **kw)
c.start()
listo = True
print("LISTO", flush=True)
try:
    while True:
        time.sleep(3600)
except KeyboardInterrupt:
    pass
finally:
    c.stop()
