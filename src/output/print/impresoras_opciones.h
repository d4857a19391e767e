#pragma once

// What a listing is printed with: the choices of the print options, as the window keeps them
// for the report family and as `listado` fills them from its command line.

#include <QString>

namespace quill {

struct ConfiguracionImpresion {
    qint16 Tipo = 0;    // report type: index in the kind's types (0 summary, 1 detail)
    qint16 Orden = 3;   // order code (3 code, 18 surname, 21 address, 22, 23, 24, 26, 27)
    qint16 Sentido = 0; // 0 ascending, 1 descending
    qint16 Moneda = 0;  // currency index (consumption and pending orders)
    qint16 Formato = 0; // prescription format: 0 national / short, 1 Castilla La Mancha / complete
    bool DatosEmpresa = true;   // company data in the page footer
    bool Condiciones = true;    // the conditions in the title band
    bool Observaciones = false; // the patient's notes (general detail)
    bool Numerar = false;       // number the rows, starting at NOrden
    qint32 NOrden = 1;
    bool Agrupar = true; // replacements grouped by supplier
    bool ImprimirTitulo = true;
    bool NumerarPaginas = true;
    bool Fecha = true;
    QString Impresora;  // printer name; "PDF" writes FicheroPDF (impresoras.h)
    QString FicheroPDF; // the file the "PDF" printer writes; empty for any other printer
};

} // namespace quill
