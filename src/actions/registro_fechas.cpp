#include "actions/registro_p.h"

namespace quill::registro {

DescriptorListado Fechas() {
    DescriptorListado d =
        Pendiente(3, "fechas", "Fechas", "Condiciones Listado Por Fechas",
                  {"ImprimirListadoFechas", "ImprimirEtiquetaFechas", "ExportarListadoFechas",
                   "ConteoListadoFechas", "EMailListadoFechas", "SMSListadoGeneral"});
    d.ordenes = kOrdenesBase + QList<qint16>{22, 23, 24};
    d.informes = {QStringLiteral("ReportFechasResumido")};
    return d;
}

} // namespace quill::registro
