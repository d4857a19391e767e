#include "actions/registro_p.h"

namespace quill::registro {

DescriptorListado Encargos() {
    DescriptorListado d =
        Pendiente(2, "encargos", "Encargos Pendientes", "Condiciones Listado Encargos Pendientes",
                  {"ImprimirListadoEncargo", "ImprimirEtiquetasEncargo", "ExportarListadoEncargo",
                   "ConteoListadoEncargo", "EMailListadoEncargo", "SMSListadoGeneral"});
    d.tiposInforme = kResumidoDetalle;
    d.ordenes = kOrdenesBase;
    d.conMonedas = true;
    d.informes = {QStringLiteral("ReportEncargoResumido"),
                  QStringLiteral("ReportEncargoDetallado")};
    return d;
}

} // namespace quill::registro
