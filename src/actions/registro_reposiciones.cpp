#include "actions/registro_p.h"

namespace quill::registro {

DescriptorListado Reposiciones() {
    DescriptorListado d = Pendiente(
        5, "reposiciones", "Reposiciones", "Condiciones Listado Reposiciones",
        {"ImprimirListadoReposiciones", "ImprimirEtiquetaReposiciones",
         "ExportarListadoReposiciones", "ConteoListadoReposiciones", nullptr, "SMSListadoGeneral"});
    d.ordenes = kOrdenesBase;
    d.informes = {QStringLiteral("ReportReposicionesResumido")};
    return d;
}

} // namespace quill::registro
