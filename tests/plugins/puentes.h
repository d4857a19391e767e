#pragma once

// Helpers of the picker tests: a program folder holding picker libraries under their Windows
// names, and a host block pointing at it.

#include "host/bloque.h"
#include "testsupport.h"

#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

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
    // Copies build/lib/<origen> into the folder as lib<nombre>.so; the copied path, or an empty
    // text when the copy failed.
    QString instalar(const QString& origen, const QString& nombre) const {
        const QString destino = ruta() + QStringLiteral("/lib") + nombre + QStringLiteral(".so");
        QFile::remove(destino);
        return QFile::copy(carpetaLibrerias() + QLatin1Char('/') + origen, destino) ? destino
                                                                                    : QString();
    }
    // A stand-in (pickerprueba_<variante>) under a picker's name.
    QString instalarPrueba(const QString& variante, const QString& nombre) const {
        return instalar(QStringLiteral("libpickerprueba_") + variante + QStringLiteral(".so"),
                        nombre);
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
