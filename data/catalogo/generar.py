#!/usr/bin/env python3
"""Writes data/Filtros.xml, the filter catalogue of the patient listings, from filtros.tsv.

filtros.tsv holds one hand-written entry per line (tab-separated: ID, IDGRUPO, CAMPO, TIPOCAMPO,
TIPOOBJETO, MASCARA, DESCRIPCION; lines starting with '#' are comments). The audiogram thresholds
are regular runs over the frequency list and are generated here instead.

The output is deterministic (entries in ID order, fixed attribute order), so a regenerated file
only differs where the source changed. Run it after editing the source:

    python3 data/catalogo/generar.py            # writes data/Filtros.xml
    python3 data/catalogo/generar.py --comprobar  # exit status 1 when Filtros.xml is out of date
"""

import argparse
import os
import sys

AQUI = os.path.dirname(os.path.abspath(__file__))
FUENTE = os.path.join(AQUI, "filtros.tsv")
DESTINO = os.path.join(os.path.dirname(AQUI), "Filtros.xml")

# Caption of each group, shown as the group row of the field drop-down. The listing kinds show:
# General 0-7 and 14; Consumo 0, 9, 14; Encargos Pendientes 0, 13, 14; Fechas 0-8 and 14;
# Prescripciones al CNOO 0, 10; Reposiciones 0, 11; Garantías 15. Group 12 is shown by no kind:
# it holds the article conditions that the article picker fills.
GRUPOS = {
    0: "Datos Personales",
    1: "Graduación",
    2: "Contactología",
    3: "Audiometría",
    4: "Optometría",
    5: "Baja Visión",
    6: "Reposiciones",
    7: "Fichas",
    8: "Fechas",
    9: "Consumo",
    10: "Prescripciones",
    11: "Reposición de Lentillas",
    12: "Artículos",
    13: "Encargos Pendientes",
    14: "Ventas",
    15: "Garantías",
}

# Audiogram frequencies in Hz, in the order of the identifier runs.
FRECUENCIAS = (125, 250, 500, 750, 1000, 1500, 2000, 4000, 6000, 8000)
MEDIDAS = (
    ("Umbral Aérea", "Umbral de audición por vía aérea"),
    ("Umbral Ósea", "Umbral de audición por vía ósea"),
    ("Umbral", "Umbral registrado en el audiograma"),
)
OIDOS = {"OD": "del oído derecho", "OI": "del oído izquierdo"}
FICHAS_AUDIO = "las fichas de audiometría del paciente"

# (first identifier of the run, measurement index, ear or None for either ear)
RUNS_AUDIOGRAMA = (
    (161, 0, None), (171, 1, None), (181, 2, None),
    (200, 0, "OD"), (2300, 1, "OD"), (2310, 2, "OD"),
    (2320, 0, "OI"), (2330, 1, "OI"), (2340, 2, "OI"),
)
# Either-ear runs have no 1500 Hz entry: its identifier is left unused.
SIN_ENTRADA = {166, 176, 186}

TIPOS_VALIDOS = range(0, 6)
CAMPOS = ("ID", "IDGRUPO", "GRUPO", "CAMPO", "TIPOCAMPO", "TIPOOBJETO", "MASCARA", "DESCRIPCION")
METADATOS = (
    '<FIELD attrname="ID" fieldtype="r8" required="true"/>'
    '<FIELD attrname="IDGRUPO" fieldtype="r8" required="true"/>'
    '<FIELD attrname="GRUPO" fieldtype="string" WIDTH="50"/>'
    '<FIELD attrname="CAMPO" fieldtype="string" WIDTH="50"/>'
    '<FIELD attrname="TIPOCAMPO" fieldtype="i2"/>'
    '<FIELD attrname="TIPOOBJETO" fieldtype="i2"/>'
    '<FIELD attrname="MASCARA" fieldtype="string" WIDTH="25"/>'
    '<FIELD attrname="DESCRIPCION" fieldtype="string" WIDTH="500"/>'
)
ANCHOS = {"GRUPO": 50, "CAMPO": 50, "MASCARA": 25, "DESCRIPCION": 500}


class ErrorFuente(Exception):
    pass


def leer_fuente(ruta):
    entradas = []
    with open(ruta, encoding="utf-8") as f:
        for n, linea in enumerate(f, 1):
            linea = linea.rstrip("\n")
            if not linea.strip() or linea.startswith("#"):
                continue
            partes = linea.split("\t")
            if len(partes) != 7:
                raise ErrorFuente(f"{ruta}:{n}: se esperaban 7 columnas y hay {len(partes)}")
            try:
                ident, grupo, campo, tipo, objeto, mascara, descripcion = partes
                entradas.append({
                    "ID": int(ident), "IDGRUPO": int(grupo), "CAMPO": campo,
                    "TIPOCAMPO": int(tipo), "TIPOOBJETO": int(objeto),
                    "MASCARA": mascara, "DESCRIPCION": descripcion,
                })
            except ValueError as e:
                raise ErrorFuente(f"{ruta}:{n}: {e}") from e
    return entradas


def audiograma():
    entradas = []
    for inicio, medida, oido in RUNS_AUDIOGRAMA:
        nombre, que = MEDIDAS[medida]
        for k, hz in enumerate(FRECUENCIAS):
            ident = inicio + k
            if ident in SIN_ENTRADA:
                continue
            if oido is None:
                campo = f"{nombre} {hz} Hz (OD u OI)"
                texto = (f"{que} a {hz} Hz de cualquiera de los dos oídos en {FICHAS_AUDIO}, en dB. "
                         "Se cumple si lo cumple el oído derecho o el izquierdo.")
            else:
                campo = f"{nombre} {hz} Hz {oido}"
                texto = f"{que} a {hz} Hz {OIDOS[oido]} en {FICHAS_AUDIO}, en dB."
            entradas.append({
                "ID": ident, "IDGRUPO": 3, "CAMPO": campo, "TIPOCAMPO": 0, "TIPOOBJETO": 0,
                "MASCARA": "", "DESCRIPCION": texto,
            })
    return entradas


def comprobar(entradas):
    vistos = set()
    for e in entradas:
        ident = e["ID"]
        if ident in vistos:
            raise ErrorFuente(f"ID repetido: {ident}")
        vistos.add(ident)
        if e["IDGRUPO"] not in GRUPOS:
            raise ErrorFuente(f"ID {ident}: grupo sin nombre {e['IDGRUPO']}")
        if e["TIPOCAMPO"] not in TIPOS_VALIDOS:
            raise ErrorFuente(f"ID {ident}: tipo de campo {e['TIPOCAMPO']} fuera de 0 a 5")
        if not e["CAMPO"].strip() or not e["DESCRIPCION"].strip():
            raise ErrorFuente(f"ID {ident}: campo o descripción vacíos")
        e["GRUPO"] = GRUPOS[e["IDGRUPO"]]
        for nombre, ancho in ANCHOS.items():
            if len(e[nombre]) > ancho:
                raise ErrorFuente(f"ID {ident}: {nombre} pasa de {ancho} caracteres")


def atributo(valor):
    texto = str(valor)
    for a, b in (("&", "&amp;"), ("<", "&lt;"), (">", "&gt;"), ('"', "&quot;"),
                 ("\n", "&#10;"), ("\r", "&#13;"), ("\t", "&#9;")):
        texto = texto.replace(a, b)
    return texto


def paquete(entradas):
    partes = ['<?xml version="1.0" standalone="yes"?>', '<DATAPACKET Version="2.0">',
              "<METADATA><FIELDS>", METADATOS, "</FIELDS><PARAMS/></METADATA>", "<ROWDATA>\n"]
    for e in sorted(entradas, key=lambda x: x["ID"]):
        attrs = " ".join(f'{c}="{atributo(e[c])}"' for c in CAMPOS if e[c] != "")
        partes.append(f"<ROW {attrs}/>\n")
    partes.append("</ROWDATA></DATAPACKET>\n")
    return "".join(partes)


def main():
    ap = argparse.ArgumentParser(description="Genera Filtros.xml a partir de filtros.tsv.")
    ap.add_argument("--comprobar", action="store_true",
                    help="no escribe nada; termina con 1 si Filtros.xml no está al día")
    ap.add_argument("--salida", default=DESTINO, help="fichero a escribir (por defecto data/Filtros.xml)")
    args = ap.parse_args()
    try:
        entradas = leer_fuente(FUENTE) + audiograma()
        comprobar(entradas)
    except (OSError, ErrorFuente) as e:
        print(f"No se puede generar el catálogo: {e}", file=sys.stderr)
        return 2
    texto = paquete(entradas)
    if args.comprobar:
        try:
            with open(args.salida, encoding="utf-8") as f:
                actual = f.read()
        except OSError as e:
            print(f"No se puede leer {args.salida}: {e}", file=sys.stderr)
            return 1
        if actual != texto:
            print(f"{args.salida} no está al día: ejecute {os.path.relpath(__file__)}", file=sys.stderr)
            return 1
        return 0
    # Written beside the target and renamed, so a failure never leaves half a catalogue.
    temporal = args.salida + ".tmp"
    try:
        with open(temporal, "w", encoding="utf-8", newline="\n") as f:
            f.write(texto)
        os.replace(temporal, args.salida)
    except OSError as e:
        print(f"No se puede escribir {args.salida}: {e}", file=sys.stderr)
        if os.path.exists(temporal):
            os.remove(temporal)
        return 2
    print(f"{args.salida}: {len(entradas)} entradas")
    return 0


if __name__ == "__main__":
    sys.exit(main())
