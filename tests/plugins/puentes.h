#pragma once

// Helpers of the picker tests: a program folder holding picker libraries under their Windows
// names, and a host block pointing at it.

#include "host/bloque.h"
#include "testsupport.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace puentes {

// The build's library folder, where the real pickers and the stand-ins are.
inline QString carpetaLibrerias() {
    return quilltest::buildDir() + QStringLiteral("/lib");
}

// A scratch program folder.
class CarpetaPrograma {
public:
    CarpetaPrograma() : m_dir(quilltest::scratch()) {}
    QString ruta() const { return m_dir->path(); }
    // Copies the stand-in build/lib/libpickerprueba_<variante>.so into the folder as
    // lib<nombre>.so; the copied path, or an empty text when the copy failed.
    QString instalarPrueba(const QString& variante, const QString& nombre) const {
        const QString destino = ruta() + QStringLiteral("/lib") + nombre + QStringLiteral(".so");
        const QString origen = QStringLiteral("/libpickerprueba_") + variante + QStringLiteral(".so");
        return QFile::copy(carpetaLibrerias() + origen, destino) ? destino : QString();
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

// A host block with the settings (slot 6) and user (slot 8) objects, and the partition 1.
struct Bloque {
    Bloque() {
        quill::setSlot(bloque, quill::SlotSettings, &puesto);
        quill::setSlot(bloque, quill::SlotUser, &usuario);
        bloque[quill::SlotPartition] = 1;
    }
    void setConexion(const QString& nombre) {
        db.connectionName = nombre;
        quill::setSlot(bloque, quill::SlotDatabase, &db);
        quill::setSlot(bloque, quill::SlotDefaultDatabase, &db);
    }
    const std::intptr_t* datos() const { return bloque.data(); }

    quill::HostBlock bloque{};
    quill::TConfPuesto puesto;
    quill::TUsuario usuario;
    quill::HostConnection db;
};

} // namespace puentes
