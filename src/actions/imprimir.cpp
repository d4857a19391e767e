#include "actions/imprimir.h"

#include "conditions/condicion.h"
#include "platform/guard.h"
#include "queries/listingmodule.h"

namespace quill {

std::unique_ptr<print::InformeListado>
PrepararInforme(const DescriptorListado& descriptor, ListingModule& modulo,
                const ConfiguracionImpresion& opciones, const QString& textoMoneda,
                const QList<FilaCondicion>& condiciones, const QString& conexion, QString& error) {
    error.clear();
    const QString motivo = MotivoAccionNoDisponible(descriptor, accion::Imprimir);
    if (!motivo.isEmpty()) {
        error = motivo;
        return nullptr;
    }
    const int tipo = descriptor.codigo == 4 ? opciones.Formato : opciones.Tipo;
    std::unique_ptr<print::InformeListado> informe;
    try {
        informe = descriptor.crearInforme(modulo, tipo, conexion);
        if (!informe) {
            error = QStringLiteral("El listado «%1» no tiene el informe %2.")
                        .arg(descriptor.titulo)
                        .arg(tipo);
            return nullptr;
        }
        informe->DatosEmpresa = opciones.DatosEmpresa;
        informe->ImprimirCondiciones = opciones.Condiciones;
        informe->TextoOrden = NombreOrden(opciones.Orden);
        informe->TextoMoneda = textoMoneda;
        informe->SegundaMoneda = opciones.Moneda == 1;
        informe->Observaciones = opciones.Observaciones;
        informe->Numerar = opciones.Numerar;
        informe->NOrden = opciones.NOrden;
        informe->Agrupar = opciones.Agrupar;
        informe->ImprimirTitulo = opciones.ImprimirTitulo;
        informe->NumerarPaginas = opciones.NumerarPaginas;
        informe->Fecha = opciones.Fecha;
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
