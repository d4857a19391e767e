#include "actions/registro_p.h"

#include "queries/tdmencargo.h"

namespace quill::registro {

DescriptorListado Encargos() {
    DescriptorListado d = DescriptorBase(
        2, "encargos", "Encargos Pendientes", "Condiciones Listado Encargos Pendientes",
        {"ImprimirListadoEncargo", "ImprimirEtiquetasEncargo", "ExportarListadoEncargo",
         "ConteoListadoEncargo", "EMailListadoEncargo", "SMSListadoGeneral"});
    d.tiposInforme = kResumidoDetalle;
    d.ordenes = kOrdenesBase;
    d.conMonedas = true;
    d.informes = {QStringLiteral("ReportEncargoResumido"),
                  QStringLiteral("ReportEncargoDetallado")};
    d.crearModulo = [] { return std::make_unique<TdmEncargo>(); };
    // The run folded the orders into patients already.
    d.exportacion = [](ListingModule& m, const QList<double>&) {
        auto& e = static_cast<TdmEncargo&>(m);
        return TablaSalida{e.memEncargosPendientes,
                           ConfigurarGridExpListEncargo(*e.memEncargosPendientes)};
    };
    d.tablaSMS = [](ListingModule& m) {
        auto& e = static_cast<TdmEncargo&>(m);
        e.CrearTablaSMS();
        return TablaSalida{e.memSMS, ConfigurarGridSMSExpListEncargo(*e.memSMS)};
    };
    d.tablaCorreo = [](ListingModule& m) {
        return TablaCorreo{static_cast<TdmEncargo&>(m).memEncargosPendientes};
    };
    // Every row gives labels.
    d.etiquetas = [](ListingModule& m) {
        return FuenteEtiquetas{static_cast<TdmEncargo&>(m).memEncargosPendientes, false};
    };
    return d;
}

} // namespace quill::registro
