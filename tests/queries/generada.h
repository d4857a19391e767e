#pragma once

// A demo shop database made by the generator (quillmore-datos), for the database tests of the
// listings. CTest runs every test in its own process, so the database is generated once per
// schema and generator sources, kept in the build tree, and copied into a scratch folder for
// each test program run (a copy costs milliseconds, a generation seconds).

#include "business/localidades.h"
#include "demodatabase.h"
#include "sql/database.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLockFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <memory>

namespace generada {

inline constexpr int kPacientes = 400;

// The kept database; empty text or what went wrong.
inline QString plantilla(QString* ruta) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    QStringList fuentes = quill::schemaFiles(quill::defaultSchemaDir());
    QDirIterator it(quilltest::dataDir() + QStringLiteral("/../apps/datagen"),
                    {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files);
    while (it.hasNext())
        fuentes.append(it.next());
    fuentes.sort();
    for (const QString& f : fuentes) {
        QFile file(f);
        if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("cannot read ") + f;
        hash.addData(file.readAll());
    }
    const QString dir = quilltest::buildDir() + QStringLiteral("/test-databases");
    QDir().mkpath(dir);
    *ruta = dir + QStringLiteral("/general-%1-").arg(kPacientes) +
            QString::fromLatin1(hash.result().toHex().left(12)) + QStringLiteral(".fdb");
    QLockFile lock(*ruta + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.lock()) return QStringLiteral("cannot lock ") + *ruta;
    if (QFile::exists(*ruta)) return {};
    quill::datagen::Options o;
    o.mode = quill::datagen::Options::Mode::Generate;
    o.pacientes = kPacientes;
    o.semilla = 7;
    o.fecha = QDate(2025, 6, 1);
    o.salida = *ruta;
    quill::datagen::Report report;
    return quill::datagen::createDemoDatabase(o, quill::defaultSchemaDir(), &report);
}

// A copy of the kept database, opened under a connection name, closed and removed at the end.
class BaseGenerada {
public:
    QString crear(const QString& conexion) {
        QString origen;
        QString error = plantilla(&origen);
        if (!error.isEmpty()) return error;
        m_dir = quilltest::scratch();
        m_ruta = m_dir->filePath(QStringLiteral("tienda.fdb"));
        if (!QFile::copy(origen, m_ruta)) return QStringLiteral("cannot copy ") + origen;
        QFile::setPermissions(m_ruta, QFile::ReadOwner | QFile::WriteOwner);
        m_conexion = conexion;
        error = quill::openDatabase(conexion, quill::DbParams(m_ruta));
        if (!error.isEmpty()) m_conexion.clear();
        return error;
    }
    ~BaseGenerada() { cerrar(); }

    // Closes the test's connection (before the runner opens the file itself).
    void cerrar() {
        if (m_conexion.isEmpty()) return;
        quill::LocalidadCache::dropShared(m_conexion);
        quill::closeDatabase(m_conexion);
        m_conexion.clear();
    }

    const QString& ruta() const { return m_ruta; }
    QSqlDatabase db() const { return QSqlDatabase::database(m_conexion); }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_ruta;
    QString m_conexion;
};

} // namespace generada
