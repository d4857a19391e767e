#include "actions/registro_p.h"

namespace quill::registro {

DescriptorListado Garantias() {
    DescriptorListado d = Pendiente(6, "garantias", "Garantías", "Condiciones Listado Garantías",
                                    {"ImprimirListadoGarantias", "ImprimirEtiquetasGarantias",
                                     "ExportarListadoGarantias", "ConteoListadoGarantias",
                                     "EMailListadoGarantias", "SMSListadoGeneral"});
    d.todasOCualquiera = false;
    d.ordenes = kOrdenesBase + QList<qint16>{26};
    d.informes = {QStringLiteral("ReportFechasGarantia")};
    return d;
}

} // namespace quill::registro
