#include "actions/registro_p.h"

namespace quill::registro {

DescriptorListado Consumo() {
    DescriptorListado d =
        Pendiente(1, "consumo", "Consumo", "Condiciones Listado Por Consumo",
                  {"ImprimirListadoConsumo", "ImprimirEtiquetasConsumo", "ExportarListadoConsumo",
                   "ConteoListadoConsumo", "EMailListadoConsumo", "SMSListadoGeneral"});
    d.tiposInforme = kResumidoDetalle;
    d.ordenes = kOrdenesBase + QList<qint16>{27};
    d.conMonedas = true;
    d.informes = {QStringLiteral("ReportConsumoResumido"),
                  QStringLiteral("ReportConsumoDetallado")};
    return d;
}

} // namespace quill::registro
