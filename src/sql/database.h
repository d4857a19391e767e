#pragma once

// The shop database as the module reaches it: opening a connection (embedded engine or a
// Firebird server), creating a new database from the schema scripts, and running SQL scripts.
// Every operation reports failure as a Spanish message (empty text = success); none throws.

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

class QSqlDatabase;

namespace quill {

// Where a shop database is and who opens it.
//   database: a local path ("/datos/tienda.fdb"), opened by the embedded engine with no password;
//             or "host:/datos/tienda.fdb" / "host/puerto:/datos/tienda.fdb", opened on a server.
struct DbParams {
    DbParams() = default;
    // Not explicit: a bare path converts, as in createDatabase({"/datos/tienda.fdb"}, dir).
    DbParams(QString database_, QString user_ = QStringLiteral("SYSDBA"), QString password_ = {})
        : database(std::move(database_)), user(std::move(user_)), password(std::move(password_)) {}

    QString database;
    QString user = QStringLiteral("SYSDBA");
    QString password;
};

// True when the name reaches a server ("host:path", "host/port:path", "inet://..."),
// false for a local file.
bool isServerDatabase(const QString& database);

// Opens the database under the Qt connection name (QIBASE driver, UTF8 connection character
// set). A connection already registered under that name is closed and replaced.
// Returns "" or, e.g., "No se puede abrir la base de datos '/x.fdb': el fichero no existe".
// After a failure no connection of that name is left registered.
QString openDatabase(const QString& connectionName, const DbParams& params);

// Closes and unregisters the connection; unknown names are ignored. Queries on it must be gone.
void closeDatabase(const QString& connectionName);

// Creates a new database and runs the schema scripts of schemaDir in name order (*.sql), except
// the file names listed in skipFiles (e.g. "03-indices.sql", to be run after a bulk load).
// Never overwrites: an existing local file is refused. On any failure the half-made database is
// dropped (the file removed), so nothing is left behind. The database is left closed, with
// forced writes on (the scripts themselves run without them).
QString createDatabase(const DbParams& params, const QString& schemaDir,
                       const QStringList& skipFiles = {});

// Drops a database (the file disappears). Must not be open anywhere.
QString dropDatabase(const DbParams& params);

// Forced (synchronous) writes: every commit waits for the disk. On is the safe setting for a
// shop's data and what createDatabase leaves; a bulk load or a scratch database for tests may
// turn it off, which makes many small commits tens of times faster.
QString setForcedWrites(const DbParams& params, bool on);

// The schema scripts of a folder, in the order they run (absolute paths).
QStringList schemaFiles(const QString& schemaDir, const QStringList& skipFiles = {});

// The schema folder shipped with the program: $QUILL_SCHEMA_DIR when set, else data/schema
// beside the program (../data/schema) when present, else the source tree's data/schema.
QString defaultSchemaDir();

// One executable statement of a script, with the line (1-based) where it starts.
struct ScriptStatement {
    QString text;
    int line = 0;
};

// Splits a Firebird SQL script as isql reads it: statements end with the current terminator,
// "SET TERM x ;" changes it, terminators inside quotes and comments do not count, comments
// before a statement are dropped, isql session commands (SET SQL DIALECT, SET NAMES,
// SET AUTODDL, ...) are left out. A text or comment left open fails with a message in *error.
QList<ScriptStatement> splitScript(const QString& sql, QString* error = nullptr);

// Runs every statement of a script on an open connection, one by one, each committed on its own
// (as isql with AUTODDL); COMMIT commits the connection's open transaction if any. Stops at the
// first failing statement and returns "Error en la línea N del guion: ..." with the reason.
QString runScript(QSqlDatabase& db, const QString& sql);

// The same for a UTF-8 script file; messages begin with the file name.
QString runScriptFile(QSqlDatabase& db, const QString& path);

} // namespace quill
