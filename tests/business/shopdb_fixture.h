#pragma once

// A throw-away shop database for the cache tests: a copy of an empty database made from
// data/schema, in a scratch folder, opened under a connection name of the test's own, filled with
// a few rows, and closed and removed at the end. The empty database is made once per schema
// version and kept in the build tree: CTest runs every test in its own process, and creating a
// database costs seconds where copying one costs milliseconds.

#include "business/localidades.h"
#include "business/maestros.h"
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

#include <gtest/gtest.h>

#include <memory>

namespace shopdb {

// The empty database of the current schema, made on first need; empty text or what went wrong.
inline QString emptyTemplate(QString* path) {
    const QString schemaDir = quill::defaultSchemaDir();
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (const QString& file : quill::schemaFiles(schemaDir)) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) return QStringLiteral("cannot read ") + file;
        hash.addData(f.readAll());
    }
    const QString dir = quilltest::buildDir() + QStringLiteral("/test-databases");
    QDir().mkpath(dir);
    *path = dir + QStringLiteral("/tienda-") + QString::fromLatin1(hash.result().toHex().left(12)) +
            QStringLiteral(".fdb");
    QLockFile lock(*path + QStringLiteral(".lock"));
    lock.setStaleLockTime(0);
    if (!lock.lock()) return QStringLiteral("cannot lock ") + *path;
    if (QFile::exists(*path)) return {};
    const QString making = *path + QStringLiteral(".new");
    QFile::remove(making);
    quill::DbParams params;
    params.database = making;
    const QString error = quill::createDatabase(params, schemaDir);
    if (!error.isEmpty()) return error;
    return QFile::rename(making, *path) ? QString() : QStringLiteral("cannot rename ") + making;
}

class ShopDatabase {
public:
    // Empty text, or what went wrong.
    QString create(const QString& connectionName, const QStringList& inserts) {
        m_connectionName = connectionName;
        m_dir = quilltest::scratch();
        m_path = m_dir->filePath(QStringLiteral("tienda.fdb"));
        QString empty;
        QString error = emptyTemplate(&empty);
        if (!error.isEmpty()) return error;
        if (!QFile::copy(empty, m_path)) return QStringLiteral("cannot copy ") + empty;
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
        quill::DbParams params;
        params.database = m_path;
        error = quill::openDatabase(connectionName, params);
        if (!error.isEmpty()) return error;
        return run(inserts);
    }

    // Runs statements in one transaction, committed at the end.
    QString run(const QStringList& statements) {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName);
        if (!db.transaction()) return db.lastError().text();
        {
            QSqlQuery query(db);
            for (const QString& sql : statements) {
                if (!query.exec(sql)) {
                    const QString error = sql + QStringLiteral(": ") + query.lastError().text();
                    db.rollback();
                    return error;
                }
            }
        }
        return db.commit() ? QString() : db.lastError().text();
    }

    ~ShopDatabase() {
        if (m_connectionName.isEmpty()) return;
        quill::LocalidadCache::dropShared(m_connectionName);
        quill::MaestroCache::dropShared(m_connectionName);
        quill::closeDatabase(m_connectionName);
    }

private:
    QString m_connectionName;
    QString m_path;
    std::unique_ptr<QTemporaryDir> m_dir;
};

// Provinces and localities shared by the tests: two localities named Villanueva in different
// provinces, postal codes with a leading zero, a locality whose province is not in PROVINCIA.
inline QStringList localityRows() {
    return {
        QStringLiteral("INSERT INTO PROVINCIA (ID_PROVINCIA, DESCRIPCION) VALUES (8, 'Barcelona')"),
        QStringLiteral("INSERT INTO PROVINCIA (ID_PROVINCIA, DESCRIPCION) VALUES (28, 'Madrid')"),
        QStringLiteral("INSERT INTO PROVINCIA (ID_PROVINCIA, DESCRIPCION) VALUES (5, 'Ávila')"),
        QStringLiteral("INSERT INTO PROVINCIA (ID_PROVINCIA, DESCRIPCION) VALUES (44, 'Teruel')"),
        QStringLiteral("INSERT INTO LOCALIDAD (ID_LOCALIDAD, DESCRIPCION, CODIGO_POSTAL, "
                       "ID_PROVINCIA) VALUES (1, 'Barcelona', 8001, 8)"),
        QStringLiteral("INSERT INTO LOCALIDAD (ID_LOCALIDAD, DESCRIPCION, CODIGO_POSTAL, "
                       "ID_PROVINCIA) VALUES (2, 'Villanueva', 28000, 28)"),
        QStringLiteral("INSERT INTO LOCALIDAD (ID_LOCALIDAD, DESCRIPCION, CODIGO_POSTAL, "
                       "ID_PROVINCIA) VALUES (3, 'Madrid', 28001, 28)"),
        QStringLiteral("INSERT INTO LOCALIDAD (ID_LOCALIDAD, DESCRIPCION, CODIGO_POSTAL, "
                       "ID_PROVINCIA) VALUES (4, 'Ávila', 5001, 5)"),
        QStringLiteral("INSERT INTO LOCALIDAD (ID_LOCALIDAD, DESCRIPCION, CODIGO_POSTAL, "
                       "ID_PROVINCIA) VALUES (5, 'VILLANUEVA', 44000, 44)"),
        QStringLiteral("INSERT INTO LOCALIDAD (ID_LOCALIDAD, DESCRIPCION, CODIGO_POSTAL, "
                       "ID_PROVINCIA) VALUES (6, 'Móstoles', 28931, 28)"),
        QStringLiteral("INSERT INTO LOCALIDAD (ID_LOCALIDAD, DESCRIPCION, CODIGO_POSTAL, "
                       "ID_PROVINCIA) VALUES (7, 'Sin provincia', 99000, 77)"),
    };
}

// A suite whose tests share one such database, made once from Derived::rows() under the
// connection Derived::connection(); every test starts with no localities or masters kept.
template <class Derived> class SharedShopSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_db = new ShopDatabase;
        s_error = s_db->create(Derived::connection(), Derived::rows());
    }
    static void TearDownTestSuite() {
        delete s_db;
        s_db = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(s_error.isEmpty()) << s_error.toStdString();
        quill::LocalidadCache::dropShared(Derived::connection());
        quill::MaestroCache::dropShared(Derived::connection());
    }

    static inline ShopDatabase* s_db = nullptr;
    static inline QString s_error;
};

} // namespace shopdb
