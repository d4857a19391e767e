#include "output/labels/impresionetiquetas.h"

#include "business/tdocumento.h"
#include "platform/libreria.h"

namespace quill {

qint16 TImprimirEtiquetas::Imprimir(const QString& carpetaLibrerias) {
    m_detalle.clear();
    if (!m_documento) return kSinDocumento;
    if (!m_bloque) return kSinBloque;
    Library libreria;
    if (!libreria.load(carpetaLibrerias, NombreLibreria())) {
        m_detalle = libreria.errorString();
        return kSinLibreria;
    }
    const auto entrada = libreria.resolveAs<CargarDllEtiquetas>("Cargar_Dll");
    if (!entrada) {
        m_detalle = libreria.errorString();
        libreria.unload();
        return kSinEntrada;
    }
    m_documento->MensajeError.clear();
    return entrada(m_documento, Flag);
}

QString MensajeImpresionEtiquetas(qint16 resultado, const TDocumento* documento) {
    switch (resultado) {
    case 0:
        return QString();
    case TImprimirEtiquetas::kSinDocumento:
        return QStringLiteral("No se ha indicado el documento de etiquetas que se debe imprimir");
    case TImprimirEtiquetas::kSinBloque:
        return QStringLiteral("Paso no inicializado. Imposible continuar");
    case TImprimirEtiquetas::kSinLibreria:
        return QStringLiteral(
            "No se ha podido cargar la librería de impresión de etiquetas (etiquetas.dll)");
    case TImprimirEtiquetas::kSinEntrada:
        return QStringLiteral("La librería de impresión de etiquetas (etiquetas.dll) no tiene "
                              "la función Cargar_Dll");
    default:
        if (documento && !documento->MensajeError.isEmpty()) return documento->MensajeError;
        return QStringLiteral("No se han podido imprimir las etiquetas (código %1)")
            .arg(resultado);
    }
}

} // namespace quill
