#include "actions/registro_p.h"

#include "queries/tdmconsumo.h"

namespace quill::registro {

DescriptorListado Consumo() {
    DescriptorListado d = DescriptorBase(1, "consumo", "Consumo", "Condiciones Listado Por Consumo",
                                         {"ImprimirListadoConsumo", "ImprimirEtiquetasConsumo",
                                          "ExportarListadoConsumo", "ConteoListadoConsumo",
                                          "EMailListadoConsumo", "SMSListadoGeneral"});
    d.tiposInforme = kResumidoDetalle;
    d.ordenes = kOrdenesBase + QList<qint16>{27};
    d.conMonedas = true;
    d.informes = {QStringLiteral("ReportConsumoResumido"),
                  QStringLiteral("ReportConsumoDetallado")};
    d.crearModulo = [] { return std::make_unique<TdmConsumo>(); };
    // The export is sorted by surname whatever order the run had.
    d.exportacion = [](ListingModule& m, const QList<double>&) {
        auto& c = static_cast<TdmConsumo&>(m);
        c.CrearTablaPaciente();
        return TablaSalida{c.memPacientes, ConfigurarGridExpListConsumo(*c.memPacientes)};
    };
    d.tablaSMS = [](ListingModule& m) {
        auto& c = static_cast<TdmConsumo&>(m);
        c.CrearTablaSMS();
        return TablaSalida{c.memSMS, ConfigurarGridSMSExpListConsumo(*c.memSMS)};
    };
    // The raw result.
    d.tablaCorreo = [](ListingModule&) { return TablaCorreo{}; };
    // One set of labels per patient: the table holds each patient once.
    d.etiquetas = [](ListingModule& m) {
        auto& c = static_cast<TdmConsumo&>(m);
        c.CrearTablaPaciente();
        return FuenteEtiquetas{c.memPacientes, true};
    };
    return d;
}

} // namespace quill::registro
