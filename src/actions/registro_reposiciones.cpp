#include "actions/registro_p.h"

#include "queries/tdmreposiciones.h"

namespace quill::registro {

DescriptorListado Reposiciones() {
    DescriptorListado d = DescriptorBase(
        5, "reposiciones", "Reposiciones", "Condiciones Listado Reposiciones",
        {"ImprimirListadoReposiciones", "ImprimirEtiquetaReposiciones",
         "ExportarListadoReposiciones", "ConteoListadoReposiciones", nullptr, "SMSListadoGeneral"});
    d.ordenes = kOrdenesBase;
    d.informes = {QStringLiteral("ReportReposicionesResumido")};
    d.crearModulo = [] { return std::make_unique<TdmReposiciones>(); };
    // The run folded the lenses into fittings already.
    d.exportacion = [](ListingModule& m, const QList<double>&) {
        auto& r = static_cast<TdmReposiciones&>(m);
        return TablaSalida{r.memReposiciones, ConfigurarGridExpListReposicion(*r.memReposiciones)};
    };
    d.tablaSMS = [](ListingModule& m) {
        auto& r = static_cast<TdmReposiciones&>(m);
        r.TablaSMS();
        return TablaSalida{r.memSMS, ConfigurarGridSMSExpListReposicion(*r.memSMS)};
    };
    // Every fitting gives labels.
    d.etiquetas = [](ListingModule& m) {
        return FuenteEtiquetas{static_cast<TdmReposiciones&>(m).memReposiciones, false};
    };
    return d;
}

} // namespace quill::registro
