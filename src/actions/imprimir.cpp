#include "actions/imprimir.h"

#include "conditions/condicion.h"
#include "platform/guard.h"
#include "queries/listingmodule.h"

namespace quill {

std::unique_ptr<print::InformeListado> PrepararInforme(const DescriptorListado& descriptor,
                                                       ListingModule& modulo,
                                                       const OpcionesInforme& opciones,
                                                       const QList<FilaCondicion>& condiciones,
                                                       const QString& conexion, QString& error) {
    error.clear();
    const QString motivo = MotivoAccionNoDisponible(descriptor, accion::Imprimir);
    if (!motivo.isEmpty()) {
        error = motivo;
        return nullptr;
    }
    const int tipo = descriptor.codigo == 4 ? opciones.formato : opciones.tipo;
    std::unique_ptr<print::InformeListado> informe;
    try {
        informe = descriptor.crearInforme(modulo, tipo, conexion);
        if (!informe) {
            error = QStringLiteral("El listado «%1» no tiene el informe %2.")
                        .arg(descriptor.titulo)
                        .arg(tipo);
            return nullptr;
        }
        informe->DatosEmpresa = opciones.datosEmpresa;
        informe->ImprimirCondiciones = opciones.imprimirCondiciones;
        informe->TextoOrden = NombreOrden(opciones.orden);
        informe->TextoMoneda = opciones.moneda;
        informe->SegundaMoneda = opciones.segundaMoneda;
        informe->RellenarCondiciones(condiciones);
        error = informe->Preparar();
    } catch (const Error& e) {
        error = e.message();
    } catch (const std::exception& e) {
        error = QString::fromUtf8(e.what());
    }
    if (!error.isEmpty()) return nullptr;
    return informe;
}

} // namespace quill
