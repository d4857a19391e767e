#pragma once

// Throw-away shop databases for the database tests. Making one costs seconds, copying one
// milliseconds: each kind is made once per version of its sources, kept in the build tree under a
// hash of them, and copied into a scratch folder per test. Header-only, for quill_sql users.

#include "business/localidades.h"
#include "business/maestros.h"
#include "sql/database.h"
#include "testsupport.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QLockFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#if __has_include("demodatabase.h")
#include "demodatabase.h"
#define QUILL_TIENDA_GENERADA 1
#endif

namespace tiendaprueba {

// The kept database made by `hacer` from `fuentes` as build/test-databases/<nombre>-<hash>.fdb,
// locked so parallel test programs make it once; empty text or what went wrong.
inline QString conservada(const QString& nombre, const QStringList& fuentes,
                          const std::function<QString(const QString&)>& hacer, QString* ruta) {
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString& f : fuentes) {
        QFile file(f);
        if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("cannot read ") + f;
        hash.addData(file.readAll());
    }
    const QString dir = quilltest::buildDir() + QStringLiteral("/test-databases");
    QDir().mkpath(dir);
    *ruta = dir + QLatin1Char('/') + nombre + QLatin1Char('-') +
            QString::fromLatin1(hash.result().toHex().left(12)) + QStringLiteral(".fdb");
    QLockFile lock(*ruta + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.lock()) return QStringLiteral("cannot lock ") + *ruta;
    if (QFile::exists(*ruta)) return {};
    const QString nueva = *ruta + QStringLiteral(".new");
    QFile::remove(nueva);
    const QString error = hacer(nueva);
    if (!error.isEmpty()) return error;
    return QFile::rename(nueva, *ruta) ? QString() : QStringLiteral("cannot rename ") + nueva;
}

// An empty database of the current schema.
inline QString plantillaVacia(QString* ruta) {
    const QString esquema = quill::defaultSchemaDir();
    return conservada(
        QStringLiteral("tienda"), quill::schemaFiles(esquema),
        [&](const QString& destino) { return quill::createDatabase({destino}, esquema); }, ruta);
}

#ifdef QUILL_TIENDA_GENERADA
// The demo shop of the generator (400 patients, fixed seed and date).
inline QString plantillaGenerada(QString* ruta) {
    QStringList fuentes = quill::schemaFiles(quill::defaultSchemaDir());
    QDirIterator it(quilltest::dataDir() + QStringLiteral("/../apps/datagen"),
                    {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files);
    while (it.hasNext())
        fuentes.append(it.next());
    fuentes.sort();
    return conservada(QStringLiteral("general-400"), fuentes,
                      [](const QString& destino) {
                          QString error;
                          const quill::datagen::Options o = quill::datagen::parseArguments(
                              {"--pacientes", "400", "--salida", destino, "--semilla", "7",
                               "--fecha", "2025-06-01"},
                              &error);
                          if (!error.isEmpty()) return error;
                          return quill::datagen::createDemoDatabase(
                              o, quill::defaultSchemaDir(), nullptr);
                      },
                      ruta);
}
#endif

// A copy of a kept database, open under a connection name until cerrar() or destruction.
class Tienda {
public:
    ~Tienda() { cerrar(); }

    // Copies the template, opens it and runs `sentencias`; empty text or what went wrong.
    QString crear(const QString& conexion, const QStringList& sentencias = {},
                  QString (*plantilla)(QString*) = plantillaVacia) {
        QString origen;
        QString error = plantilla(&origen);
        if (!error.isEmpty()) return error;
        m_dir = quilltest::scratch();
        m_ruta = m_dir->filePath(QStringLiteral("tienda.fdb"));
        if (!QFile::copy(origen, m_ruta)) return QStringLiteral("cannot copy ") + origen;
        QFile::setPermissions(m_ruta, QFile::ReadOwner | QFile::WriteOwner);
        error = quill::openDatabase(conexion, {m_ruta});
        if (!error.isEmpty()) return error;
        m_conexion = conexion;
        return ejecutar(sentencias);
    }

    // Runs statements in one transaction, committed at the end; empty text or the first failure.
    QString ejecutar(const QStringList& sentencias) {
        QSqlDatabase base = db();
        if (!base.transaction()) return base.lastError().text();
        {
            QSqlQuery q(base);
            for (const QString& sql : sentencias)
                if (!q.exec(sql)) {
                    const QString error = sql + QStringLiteral(": ") + q.lastError().text();
                    base.rollback();
                    return error;
                }
        }
        return base.commit() ? QString() : base.lastError().text();
    }

    // The first column of the first row of a query (invalid when there is none).
    QVariant valor(const QString& sql) const {
        QSqlQuery q(db());
        if (!q.exec(sql) || !q.next()) return {};
        return q.value(0);
    }

    // Closes the connection and its caches, e.g. before a program opens the file.
    void cerrar() {
        if (m_conexion.isEmpty()) return;
        quill::LocalidadCache::dropShared(m_conexion);
        quill::MaestroCache::dropShared(m_conexion);
        quill::closeDatabase(m_conexion);
        m_conexion.clear();
    }

    const QString& ruta() const { return m_ruta; }
    QString carpeta() const { return m_dir ? m_dir->path() : QString(); }
    QSqlDatabase db() const { return QSqlDatabase::database(m_conexion); }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_ruta;
    QString m_conexion;
};

// Provinces and localities several suites share: two localities named Villanueva in different
// provinces, postal codes with a leading zero, a locality whose province is not in PROVINCIA.
inline QStringList filasLocalidades() {
    QStringList filas;
    for (const char* p : {"8, 'Barcelona'", "28, 'Madrid'", "5, 'Ávila'", "44, 'Teruel'"})
        filas << QStringLiteral("INSERT INTO PROVINCIA (ID_PROVINCIA, DESCRIPCION) VALUES (%1)")
                     .arg(QString::fromUtf8(p));
    for (const char* l : {"1, 'Barcelona', 8001, 8", "2, 'Villanueva', 28000, 28",
                          "3, 'Madrid', 28001, 28", "4, 'Ávila', 5001, 5",
                          "5, 'VILLANUEVA', 44000, 44", "6, 'Móstoles', 28931, 28",
                          "7, 'Sin provincia', 99000, 77"})
        filas << QStringLiteral("INSERT INTO LOCALIDAD (ID_LOCALIDAD, DESCRIPCION, CODIGO_POSTAL, "
                                "ID_PROVINCIA) VALUES (%1)")
                     .arg(QString::fromUtf8(l));
    return filas;
}

// A suite sharing one database made from Derived::filas() under Derived::conexion(); every test
// starts with no localities or masters cached.
template <class Derived> class SuiteTienda : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_tienda = std::make_unique<Tienda>();
        s_error = s_tienda->crear(Derived::conexion(), Derived::filas());
    }
    static void TearDownTestSuite() {
        s_tienda.reset();
    }
    void SetUp() override {
        ASSERT_TRUE(s_error.isEmpty()) << s_error.toStdString();
        quill::LocalidadCache::dropShared(Derived::conexion());
        quill::MaestroCache::dropShared(Derived::conexion());
    }

    static inline std::unique_ptr<Tienda> s_tienda;
    static inline QString s_error;
};

} // namespace tiendaprueba
