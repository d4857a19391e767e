#pragma once

// The print step of a listing after its run, shared by the window's print action and
// `listado imprimir`: makes the kind's report form over the module's result, hands it the print
// options and the conditions, and prepares it. The caller then previews it on a printer or
// writes it as PDF.

#include "actions/registro.h"
#include "output/print/impresoras_opciones.h"
#include "output/print/informelistado.h"

#include <QList>
#include <QString>

#include <memory>

namespace quill {

struct FilaCondicion;

// The report form ready to print after a run, or null with the reason in `error`: the report
// type (the format for the prescriptions), company data, conditions, order and currency of the
// print options; `textoMoneda` names the chosen currency.
std::unique_ptr<print::InformeListado>
PrepararInforme(const DescriptorListado& descriptor, ListingModule& modulo,
                const ConfiguracionImpresion& opciones, const QString& textoMoneda,
                const QList<FilaCondicion>& condiciones, const QString& conexion, QString& error);

} // namespace quill
