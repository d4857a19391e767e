#pragma once

// A throw-away shop database for the window tests: a copy of an empty database made once from
// data/schema (kept in the build tree; creating one costs seconds, copying milliseconds), opened
// under the test's own connection name, closed and removed at the end.

#include "sql/database.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>

namespace tiendadb {

// The empty database of the current schema; empty text or what went wrong.
inline QString plantilla(QString* ruta) {
    const QString esquema = quill::defaultSchemaDir();
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString& f : quill::schemaFiles(esquema)) {
        QFile file(f);
        if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("no se puede leer ") + f;
        hash.addData(file.readAll());
    }
    const QString dir = quilltest::buildDir() + QStringLiteral("/test-databases");
    QDir().mkpath(dir);
    *ruta = dir + QStringLiteral("/tienda-") + QString::fromLatin1(hash.result().toHex().left(12)) +
            QStringLiteral(".fdb");
    QLockFile cerrojo(*ruta + QStringLiteral(".lock"));
    cerrojo.setStaleLockTime(0);
    if (!cerrojo.lock()) return QStringLiteral("no se puede bloquear ") + *ruta;
    if (QFile::exists(*ruta)) return {};
    const QString nueva = *ruta + QStringLiteral(".new");
    QFile::remove(nueva);
    quill::DbParams p;
    p.database = nueva;
    const QString error = quill::createDatabase(p, esquema);
    if (!error.isEmpty()) return error;
    return QFile::rename(nueva, *ruta) ? QString()
                                       : QStringLiteral("no se puede renombrar ") + nueva;
}

class Tienda {
public:
    ~Tienda() {
        if (!m_conexion.isEmpty()) quill::closeDatabase(m_conexion);
    }

    // Empty text or what went wrong.
    QString crear(const QString& conexion, const QStringList& sentencias = {}) {
        QString origen;
        QString error = plantilla(&origen);
        if (!error.isEmpty()) return error;
        m_dir = quilltest::scratch();
        m_ruta = m_dir->filePath(QStringLiteral("tienda.fdb"));
        if (!QFile::copy(origen, m_ruta)) return QStringLiteral("no se puede copiar ") + origen;
        QFile(m_ruta).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        quill::DbParams p;
        p.database = m_ruta;
        error = quill::openDatabase(conexion, p);
        if (!error.isEmpty()) return error;
        m_conexion = conexion;
        QSqlQuery q(QSqlDatabase::database(conexion));
        for (const QString& s : sentencias)
            if (!q.exec(s)) return s + QStringLiteral(": ") + q.lastError().text();
        return {};
    }

    // The first column of the first row of a query (invalid when there is none).
    QVariant valor(const QString& sql) const {
        QSqlQuery q(QSqlDatabase::database(m_conexion));
        if (!q.exec(sql) || !q.next()) return {};
        return q.value(0);
    }

    const QString& ruta() const { return m_ruta; }
    const QString& conexion() const { return m_conexion; }
    QString carpeta() const { return m_dir->path(); }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_ruta;
    QString m_conexion;
};

} // namespace tiendadb
