#pragma once

// Inside the label printing library: the two ways a document leaves it.

#include <QByteArray>
#include <QString>

namespace quill {
class TDocumento;
}

namespace etiquetas {

// Result codes of the library (0: printed).
inline constexpr qint16 kSinFormato = -22810;     // the document has no loaded format
inline constexpr qint16 kSinSalida = -22811;      // printer or file could not be opened
inline constexpr qint16 kSinEscritura = -22812;   // the EPL/2 file could not be written
inline constexpr qint16 kColaRechaza = -22813;    // the raw print queue refused the job
inline constexpr qint16 kSinAplicacion = -22814;  // painting needs the graphical application

// Paints the sheet labels on the document's printer or into its PDF file.
qint16 ImprimirHoja(quill::TDocumento& documento);

// The EPL/2 commands of every label of the document.
QByteArray ComandosEPL2(const quill::TDocumento& documento);
// Writes them to the document's file or sends them to its raw print queue.
qint16 ImprimirEPL2(quill::TDocumento& documento);

} // namespace etiquetas
