#include "actions/registro_p.h"

#include "queries/tdmfechas.h"

namespace quill::registro {

DescriptorListado Fechas() {
    DescriptorListado d =
        DescriptorBase(3, "fechas", "Fechas", "Condiciones Listado Por Fechas",
                       {"ImprimirListadoFechas", "ImprimirEtiquetaFechas", "ExportarListadoFechas",
                        "ConteoListadoFechas", "EMailListadoFechas", "SMSListadoGeneral"});
    d.ordenes = kOrdenesBase + QList<qint16>{22, 23, 24};
    d.informes = {QStringLiteral("ReportFechasResumido")};
    d.crearModulo = [] { return std::make_unique<TdmFechas>(); };
    d.exportacion = [](ListingModule& m, const QList<double>& ids) {
        auto& f = static_cast<TdmFechas&>(m);
        // With the last-visit condition the run filled the table itself.
        if (!f.Analisis().general.tablaUltimaVisita) f.CrearTablaPaciente();
        return TablaSalida{f.memPacientesFecha,
                           ConfigurarGridExpListFechas(*f.memPacientesFecha, ids)};
    };
    d.tablaSMS = [](ListingModule& m) {
        auto& f = static_cast<TdmFechas&>(m);
        f.TablaSMS();
        return TablaSalida{f.memSMS, ConfigurarGridSMSExpListFechas(*f.memSMS)};
    };
    // With the last-visit condition the per-patient table, otherwise the raw result.
    d.tablaCorreo = [](ListingModule& m) {
        auto& f = static_cast<TdmFechas&>(m);
        return TablaCorreo{f.Analisis().general.tablaUltimaVisita ? f.memPacientesFecha : nullptr};
    };
    d.etiquetas = [](ListingModule& m) {
        auto& f = static_cast<TdmFechas&>(m);
        // With the last-visit condition the run filled the table itself.
        if (!f.Analisis().general.tablaUltimaVisita) f.CrearTablaPaciente();
        return FuenteEtiquetas{f.memPacientesFecha, true};
    };
    return d;
}

} // namespace quill::registro
