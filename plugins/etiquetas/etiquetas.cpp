// libetiquetas.so: prints a label document filled by the listing window or `listado`.

#include "etiquetas_p.h"

#include "business/tdocumento.h"

#define ETIQUETAS_EXPORT extern "C" __attribute__((visibility("default")))

// flag 1: print the document as it is. Answers 0, or a negative code with the reason in the
// document's MensajeError.
ETIQUETAS_EXPORT qint16 Cargar_Dll(quill::TDocumento* documento, qint16 flag) {
    if (!documento) return etiquetas::kSinFormato;
    try {
        if (!documento->Cargado()) {
            documento->MensajeError =
                QStringLiteral("El documento de etiquetas no tiene un formato cargado");
            return etiquetas::kSinFormato;
        }
        (void)flag;
        return documento->EsEPL2() ? etiquetas::ImprimirEPL2(*documento)
                                   : etiquetas::ImprimirHoja(*documento);
    } catch (const std::exception& e) {
        // Nothing may cross the C boundary.
        documento->MensajeError = QString::fromUtf8(e.what());
        return etiquetas::kSinSalida;
    } catch (...) {
        documento->MensajeError = QStringLiteral("Error desconocido al imprimir las etiquetas");
        return etiquetas::kSinSalida;
    }
}
