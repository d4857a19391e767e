#pragma once

// The workstation's printer values and the built-in "PDF" printer.
//
// Each document type has a default printer, a string value of the current user's key
// "\Software\Quillmore\3.0\Impresoras" named after the type ("Listado", "Etiqueta", ...). The
// host reads them once into the workstation object (TConfPuesto::Impresoras); callers that have
// a parameter block ask ImpresoraPuesto, which falls back to the registry without one.
//
// "PDF" is a printer every workstation has: printing to it writes a PDF file the user names,
// so every print path works on a machine without printers. The name always means this writer;
// an installed queue of the same name is not offered (it could not be told apart).

#include "host/bloque.h"

#include <QString>
#include <QStringList>

#include <cstdint>

namespace quill {

QString ClaveImpresoras(); // "\Software\Quillmore\3.0\Impresoras"

// The ten document types, in the order the key lists them: "Albaran", "Etiqueta", "Factura",
// "Ficha", "Garantia", "Listado", "Presupuesto", "Receta", "Recibo", "Resguardo".
const QStringList& DocumentosImpresora();

// Reads the ten values; a missing value reads empty.
TImpresorasPuesto LeerImpresorasPuesto();
// Writes one value; returns why it could not be written, empty on success. An unknown
// document type is refused.
QString EscribirImpresoraPuesto(const QString& documento, const QString& impresora);

// The value of one document type in a workstation object; empty for an unknown type.
QString ImpresoraDocumento(const TImpresorasPuesto& impresoras, const QString& documento);
// The default printer of a document type: from the workstation object of the block's slot 6,
// or from the registry when there is no block or no object in it.
QString ImpresoraPuesto(const std::intptr_t* bloque, const QString& documento);

// The built-in printer's name, "PDF", and whether a chosen printer name is it.
QString ImpresoraPDF();
bool EsImpresoraPDF(const QString& nombre);
// A file name for the PDF printer: ".pdf" appended unless the name already ends in it (any case).
QString NombreFicheroPDF(const QString& nombre);

} // namespace quill
