// libfltCampoArticulo.so: the article picker. Exports _Cargar_Dll and _Liberar_Dll.

#include "pickers_api.h"
#include "tfrmseleccionarticulos.h"

#include "business/maestros.h"
#include "host/bloque.h"
#include "platform/memtable.h"

#include <QApplication>
#include <QMessageBox>
#include <QSet>

#define PICKER_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Connections whose master lists the picker has read (and keeps until _Liberar_Dll).
QSet<QString>& conexionesLeidas() {
    static QSet<QString> conexiones;
    return conexiones;
}

void avisar(QWidget* owner, const QString& texto) {
    QMessageBox aviso(QMessageBox::Critical, QStringLiteral("AVISO"), texto, QMessageBox::Ok,
                      owner);
    aviso.exec();
}

} // namespace

// Opens "Selección de Artículos" for a product line on the condition row's selection table:
// 0 when the user accepted (the table holds the conditions), 2 when the table was left as it was.
PICKER_EXPORT int _Cargar_Dll(const std::intptr_t* bloque, quill::MemTable* seleccion,
                              int tipoListado) {
    try {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || !bloque)
            return pickers::kArticuloCancelado;
        QWidget* owner = quill::slotOwner(bloque);
        if (!seleccion) {
            avisar(owner, QStringLiteral("No se ha indicado la tabla de artículos seleccionados"));
            return pickers::kArticuloCancelado;
        }
        if (!pickers::EsLineaProducto(tipoListado)) {
            avisar(owner, QStringLiteral("La línea de producto %1 no tiene artículos que "
                                         "seleccionar")
                              .arg(tipoListado));
            return pickers::kArticuloCancelado;
        }
        const QString motivo = pickers::ComprobarTablaSeleccion(*seleccion);
        if (!motivo.isEmpty()) {
            avisar(owner, motivo);
            return pickers::kArticuloCancelado;
        }
        const auto* puesto = quill::slotObject<quill::TConfPuesto>(bloque, quill::SlotSettings);
        // Value lists come from the default database of helper objects, else the shop's.
        const auto* db =
            quill::slotObject<quill::HostConnection>(bloque, quill::SlotDefaultDatabase);
        if (!db) db = quill::slotObject<quill::HostConnection>(bloque, quill::SlotDatabase);
        const auto* usuario = quill::slotObject<quill::TUsuario>(bloque, quill::SlotUser);
        quill::TLstConfiguracion::PalabrasOperador palabras;
        if (usuario) {
            palabras.numero = usuario->OperadorNumero;
            palabras.texto = usuario->OperadorTexto;
            palabras.fecha = usuario->OperadorFecha;
        }
        const QString conexion = db ? db->connectionName : QString();
        conexionesLeidas().insert(conexion);
        pickers::TfrmSeleccionArticulos ventana(owner, seleccion, tipoListado,
                                                puesto ? puesto->CarpetaPaquetes : QString(),
                                                conexion, palabras);
        return ventana.exec() == QDialog::Accepted ? pickers::kArticuloAceptado
                                                   : pickers::kArticuloCancelado;
    } catch (...) {
        // Nothing may cross the C boundary; the window writes the table only when it closes
        // with Aceptar, so the table is as it was.
        return pickers::kArticuloCancelado;
    }
}

// Forgets the value lists read, so the next call reads the masters again.
PICKER_EXPORT int _Liberar_Dll() {
    try {
        for (const QString& conexion : std::as_const(conexionesLeidas()))
            quill::MaestroCache::dropShared(conexion);
        conexionesLeidas().clear();
    } catch (...) {
    }
    return 0;
}
