#include "actions/registro_p.h"

#include "queries/tdmgarantias.h"

namespace quill::registro {

DescriptorListado Garantias() {
    DescriptorListado d = DescriptorBase(
        6, "garantias", "Garantías", "Condiciones Listado Garantías",
        {"ImprimirListadoGarantias", "ImprimirEtiquetasGarantias", "ExportarListadoGarantias",
         "ConteoListadoGarantias", "EMailListadoGarantias", "SMSListadoGeneral"});
    d.todasOCualquiera = false;
    d.ordenes = kOrdenesBase + QList<qint16>{26};
    d.informes = {QStringLiteral("ReportFechasGarantia")};
    d.crearModulo = [] { return std::make_unique<TdmGarantias>(); };
    // The run itself fills memDatos, one row per complete record.
    d.exportacion = [](ListingModule& m, const QList<double>&) {
        auto& g = static_cast<TdmGarantias&>(m);
        return TablaSalida{g.memDatos, ConfigurarGridExpListGarantias(*g.memDatos)};
    };
    d.tablaSMS = [](ListingModule& m) {
        auto& g = static_cast<TdmGarantias&>(m);
        g.TablaSMS();
        return TablaSalida{g.memSMS, ConfigurarGridSMSExpListGarantias(*g.memSMS)};
    };
    d.tablaCorreo = [](ListingModule& m) {
        return TablaCorreo{static_cast<TdmGarantias&>(m).memDatos};
    };
    // Every listed record gives labels.
    d.etiquetas = [](ListingModule& m) {
        return FuenteEtiquetas{static_cast<TdmGarantias&>(m).memDatos, false};
    };
    return d;
}

} // namespace quill::registro
