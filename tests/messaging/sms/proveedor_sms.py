#!/usr/bin/python3
"""A provider service for the SMS tests: HTTPS with JSON on 127.0.0.1, speaking the provider
library's protocol. Usage: proveedor_sms.py CERT KEY LOG. Prints the port it listens on, then
serves until killed. Every request body is appended to LOG as one JSON line.

A message text starting with "KO-" (in any case) is answered with that code (its first word), so a test picks
the failure it wants; anything else is accepted: one message id per recipient and one credit
each, charged as "<n>.OK"."""
import http.server
import json
import ssl
import sys

CERT, KEY, LOG = sys.argv[1:4]
estado = {"peticion": 500, "mensaje": 9000}


class Proveedor(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_POST(self):
        cuerpo = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        peticion = json.loads(cuerpo)
        peticion["ruta"] = self.path
        with open(LOG, "a", encoding="utf-8") as f:
            f.write(json.dumps(peticion, ensure_ascii=False) + "\n")
        texto = peticion.get("texto", "")
        if self.path.endswith("/envios"):
            if texto[:3].upper() == "KO-":
                respuesta = {"resultado": texto.split()[0]}
            else:
                estado["peticion"] += 1
                ids = []
                for _ in peticion["destinatarios"]:
                    estado["mensaje"] += 1
                    ids.append(estado["mensaje"])
                respuesta = {"resultado": "OK", "peticion": estado["peticion"],
                             "mensajes": ids, "coste": "%d.OK" % len(ids)}
        elif self.path.endswith("/saldo"):
            respuesta = {"resultado": "OK", "saldo": "120"}
        else:
            respuesta = {"resultado": "KO-INV-SINT"}
        datos = json.dumps(respuesta).encode()
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(datos)))
        self.end_headers()
        self.wfile.write(datos)


servidor = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Proveedor)
contexto = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
contexto.load_cert_chain(CERT, KEY)
servidor.socket = contexto.wrap_socket(servidor.socket, server_side=True)
print(servidor.server_address[1], flush=True)
servidor.serve_forever()
