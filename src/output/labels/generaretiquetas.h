#pragma once

// Label generation without a window: reading the chosen format into the document, the label
// loop over a listing's result table, and copying one row into the document's patient data.
// The window runs it behind its progress window; `listado etiquetas` runs it directly.

#include <QString>

#include <array>
#include <functional>

namespace quill {

class MemTable;
class TDocumento;

// What the label options dialog gives.
struct OpcionesEtiquetas {
    QString formato;   // the format's name (file name without ".fqm")
    QString impresora; // printer or raw queue; "PDF" writes `fichero`
    QString fichero;   // output file (PDF or EPL/2 commands); empty: the printer
    int filaInicial = 1;
    int columnaInicial = 1;
    int copias = 1;
    // One label per address (address, postal code and locality), for mailings to families.
    bool porDomicilio = false;
};

// The rows a kind's label loop walks, and whether a patient met again is skipped.
struct FuenteEtiquetas {
    const MemTable* tabla = nullptr;
    bool unaPorPaciente = false;
};

// Postal code, locality and province of a locality id, for rows that lack the texts.
using ResolverLocalidad = std::function<std::array<QString, 3>(int idLocalidad)>;

// Resets the document, points it at the format's file in the formats folder and loads it
// (showing the loader's message on a failure); on 0 sets the first column and row and opens
// it for adding labels. Returns the load code.
qint16 LeerFormatoEtiqueta(TDocumento& documento, const QString& carpetaFormatos,
                           const OpcionesEtiquetas& opciones);

// Copies row `fila` of the table into the document's patient data and adds one label. The
// columns are taken by their names in the listings' result tables.
void ImprimirDatosPaciente(TDocumento& documento, const MemTable& tabla, int fila,
                           const ResolverLocalidad& localidad = {});

// The label loop: every row of the source, each label `copias` times in a row; a patient met
// again is skipped when the source says so (wherever its rows fall), and with `porDomicilio`
// an address already labelled. Before each row `cancelado` is asked: on true the labels added
// are removed and the answer is -301. Otherwise 0, with the labels added.
qint16 GenerarEtiquetasDataSet(TDocumento& documento, const FuenteEtiquetas& fuente,
                               const OpcionesEtiquetas& opciones,
                               const std::function<bool()>& cancelado = {},
                               const ResolverLocalidad& localidad = {});

} // namespace quill
