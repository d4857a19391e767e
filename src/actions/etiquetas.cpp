#include "actions/etiquetas.h"

#include "actions/ejecutor.h"
#include "business/localidades.h"
#include "business/tdocumento.h"
#include "output/labels/impresionetiquetas.h"
#include "queries/listingmodule.h"

namespace quill {

qint16 ImprimirEtiquetasListado(EjecutorListado& ejecutor, TDocumento& documento,
                                const TrabajoEtiquetas& trabajo, QString* mensaje,
                                int* etiquetas) {
    if (mensaje) mensaje->clear();
    if (etiquetas) *etiquetas = 0;
    const DescriptorListado& d = ejecutor.Descriptor();
    ListingModule* modulo = ejecutor.Modulo();
    if (!modulo || !d.etiquetas) {
        if (mensaje) *mensaje = MotivoAccionNoDisponible(d, accion::Etiqueta);
        return kListadoErrorInterno;
    }
    const qint16 carga =
        LeerFormatoEtiqueta(documento, trabajo.carpetaFormatos, trabajo.opciones);
    if (carga != 0) return carga;

    // Rows without locality texts take them from the shop's localities, read once.
    std::shared_ptr<LocalidadCache> cache;
    const ResolverLocalidad localidad = [&](int id) {
        if (!cache) cache = LocalidadCache::shared(modulo->Conexion());
        const Localidad* l = cache->byId(id);
        if (!l) return std::array<QString, 3>{};
        return std::array<QString, 3>{
            l->codigoPostal > 0 ? QStringLiteral("%1").arg(l->codigoPostal, 5, 10, QLatin1Char('0'))
                                : QString(),
            l->descripcion, l->provincia};
    };
    const FuenteEtiquetas fuente = d.etiquetas(*modulo);
    const qint16 r = GenerarEtiquetasDataSet(documento, fuente, trabajo.opciones,
                                             trabajo.cancelado, localidad);
    if (r != 0) return r;
    if (etiquetas) *etiquetas = documento.NumeroEtiquetas();
    if (trabajo.antesDeImprimir) trabajo.antesDeImprimir();

    documento.Impresora = trabajo.opciones.impresora;
    documento.FicheroSalida = trabajo.opciones.fichero;
    TImprimirEtiquetas impresion;
    impresion.setBloque(trabajo.bloque);
    impresion.setDocumento(&documento);
    impresion.Flag = 1;
    const qint16 impreso = impresion.Imprimir(trabajo.carpetaLibrerias);
    if (impreso != 0 && mensaje) {
        *mensaje = MensajeImpresionEtiquetas(impreso, &documento);
        if (!impresion.Detalle().isEmpty()) *mensaje += QLatin1Char('\n') + impresion.Detalle();
    }
    return impreso;
}

} // namespace quill
