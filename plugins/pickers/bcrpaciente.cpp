// libbcrPaciente.so: the patient picker. Exports _Cargar_Dll and nothing else.

#include "pickers_api.h"
#include "tfrmbuscarpaciente.h"

#include "host/bloque.h"

#include <QApplication>
#include <QMessageBox>

#define PICKER_EXPORT extern "C" __attribute__((visibility("default")))

// Opens "Búsqueda de Pacientes" on the host's shop database and waits for the user: the chosen
// patient's code, 0 when cancelled, -1 when the picker cannot run.
PICKER_EXPORT int _Cargar_Dll(const std::intptr_t* bloque) {
    try {
        // Windows need the host's widget application.
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || !bloque)
            return pickers::kPacienteError;
        QWidget* owner = quill::slotOwner(bloque);
        const auto* db = quill::slotObject<quill::HostConnection>(bloque, quill::SlotDatabase);
        if (!db) {
            QMessageBox aviso(QMessageBox::Critical, QStringLiteral("AVISO"),
                              QStringLiteral("No se ha indicado la base de datos de la tienda"),
                              QMessageBox::Ok, owner);
            aviso.exec();
            return pickers::kPacienteError;
        }
        pickers::TfrmBuscarPaciente ventana(owner, db->connectionName,
                                            quill::slotPartition(bloque));
        if (ventana.exec() != QDialog::Accepted) return pickers::kPacienteCancelado;
        const int codigo = ventana.Codigo();
        return codigo > 0 ? codigo : pickers::kPacienteCancelado;
    } catch (...) {
        // Nothing may cross the C boundary.
        return pickers::kPacienteError;
    }
}
