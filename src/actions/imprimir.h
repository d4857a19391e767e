#pragma once

// The print step of a listing after its run, shared by the window's print action and
// `listado imprimir`: makes the kind's report form over the module's result, hands it the print
// options and the conditions, and prepares it. The caller then previews it on a printer or
// writes it as PDF.

#include "actions/registro.h"
#include "output/print/informelistado.h"

#include <QList>
#include <QString>

#include <memory>

namespace quill {

struct FilaCondicion;

// The print options a report reads (the print options dialog's choices).
struct OpcionesInforme {
    qint16 orden = 3;
    qint16 tipo = 0;    // report type: 0 summary, 1 detail
    qint16 formato = 0; // prescription report format: 0 or 1
    bool datosEmpresa = true;
    bool imprimirCondiciones = true;
    // Currency (pending orders and consumption): the second currency's amounts, and its name.
    bool segundaMoneda = false;
    QString moneda;
};

// The report form ready to print, or null with the reason in `error`.
std::unique_ptr<print::InformeListado> PrepararInforme(const DescriptorListado& descriptor,
                                                       ListingModule& modulo,
                                                       const OpcionesInforme& opciones,
                                                       const QList<FilaCondicion>& condiciones,
                                                       const QString& conexion, QString& error);

} // namespace quill
