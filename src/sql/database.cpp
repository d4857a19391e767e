#include "database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include "quill_config.h"
#include <ibase.h>

namespace quill {

namespace {

const QString kDriver = QStringLiteral("QIBASE");

// Firebird's own texts for the failures a user meets, turned into the system's words.
QString reasonFor(const QString& raw) {
    static const struct {
        const char* needle;
        const char* reason;
    } known[] = {
        {"is not a valid database", "el fichero no es una base de datos Firebird"},
        {"File size is less than expected",
         "el fichero está vacío o cortado: no es una base de datos Firebird"},
        {"unsupported on-disk structure",
         "el fichero es de una versión de Firebird que no se puede abrir"},
        {"user name and password are not defined", "usuario o contraseña incorrectos"},
        {"Unable to complete network request", "el servidor de bases de datos no responde"},
        {"already opened with engine instance",
         "la base de datos la tiene abierta un servidor Firebird; ábrala a través del servidor"},
        {"Permission denied", "no hay permiso para abrir o crear el fichero"},
        {"No such file or directory", "el fichero o su carpeta no existe"},
        {"File exists", "el fichero ya existe"},
    };
    for (const auto& k : known)
        if (raw.contains(QLatin1String(k.needle), Qt::CaseInsensitive))
            return QString::fromUtf8(k.reason);
    QString text = raw.simplified();
    return text.isEmpty() ? QStringLiteral("error desconocido") : text;
}

// Firebird's message lines of a status vector, joined.
QString statusText(const ISC_STATUS* status) {
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS* p = status;
    while (fb_interpret(buffer, sizeof buffer, &p) > 0)
        lines << QString::fromLocal8Bit(buffer);
    return lines.join(QStringLiteral(" - "));
}

QString sqlErrorText(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty()) text = error.driverText().trimmed();
    return text;
}

QString quoted(const QString& text) {
    QString out = text;
    out.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

// Local paths are made absolute: the engine would otherwise read a bare name as an alias.
QString normalisedName(const QString& database) {
    if (isServerDatabase(database)) return database;
    return QFileInfo(database).absoluteFilePath();
}

QByteArray attachBlock(const DbParams& params, int forcedWrites = -1) {
    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    auto add = [&dpb](char tag, const QByteArray& value) {
        dpb.append(tag);
        dpb.append(char(value.size()));
        dpb.append(value);
    };
    add(char(isc_dpb_user_name), params.user.toUtf8().left(255));
    if (!params.password.isEmpty()) add(char(isc_dpb_password), params.password.toUtf8().left(255));
    if (forcedWrites >= 0) add(char(isc_dpb_force_write), QByteArray(1, char(forcedWrites)));
    return dpb;
}

QString createEmpty(const DbParams& params, const QString& name) {
    QString sql = QStringLiteral("CREATE DATABASE ") + quoted(name) + QStringLiteral(" USER ") +
                  quoted(params.user);
    if (!params.password.isEmpty()) sql += QStringLiteral(" PASSWORD ") + quoted(params.password);
    sql += QStringLiteral(" PAGE_SIZE 8192 DEFAULT CHARACTER SET UTF8");
    const QByteArray statement = sql.toUtf8();

    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    if (isc_dsql_execute_immediate(status, &db, &tr, 0, statement.constData(), SQL_DIALECT_V6,
                                   nullptr))
        return reasonFor(statusText(status));
    isc_detach_database(status, &db);
    return {};
}

const QRegularExpression& setTermPattern() {
    static const QRegularExpression re(QStringLiteral("^SET\\s+TERM\\s+(\\S+)$"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

// isql's own session settings: they mean nothing to the server.
const QRegularExpression& isqlSettingPattern() {
    static const QRegularExpression re(
        QStringLiteral("^SET\\s+(SQL\\s+DIALECT|NAMES|AUTODDL|AUTO|ECHO|BAIL|LIST|HEADING|COUNT|"
                       "PLANONLY|PLAN|STATS|WARNINGS|WNG|BLOBDISPLAY|BLOB|TIME|ROWCOUNT|MAXROWS|"
                       "SQLDA_DISPLAY)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    return re;
}

QString statementHead(const QString& text) {
    QString head = text.section(QLatin1Char('\n'), 0, 0).simplified();
    if (head.size() > 60) head = head.left(57) + QStringLiteral("...");
    return head;
}

} // namespace

bool isServerDatabase(const QString& database) {
    if (database.startsWith(QLatin1String("inet://"), Qt::CaseInsensitive) ||
        database.startsWith(QLatin1String("inet4://"), Qt::CaseInsensitive) ||
        database.startsWith(QLatin1String("inet6://"), Qt::CaseInsensitive))
        return true;
    const qsizetype colon = database.indexOf(QLatin1Char(':'));
    if (colon <= 1) // none, or a drive letter ("C:\...")
        return false;
    // "host:path" or "host/port:path"; a colon further into a local path does not count.
    const QString before = database.left(colon);
    if (before.startsWith(QLatin1Char('/')) || before.startsWith(QLatin1Char('.')) ||
        before.startsWith(QLatin1Char('~')) || before.contains(QLatin1Char('\\')))
        return false;
    return before.count(QLatin1Char('/')) <= 1;
}

QString openDatabase(const QString& connectionName, const DbParams& params) {
    const QString name = params.database.trimmed();
    auto fail = [&](const QString& reason) {
        return QStringLiteral("No se puede abrir la base de datos '%1': %2").arg(name, reason);
    };
    if (name.isEmpty()) return QStringLiteral("No se ha indicado la base de datos que abrir");
    if (!QSqlDatabase::isDriverAvailable(kDriver))
        return fail(QStringLiteral("no está instalado el controlador QIBASE de Qt"));
    if (!isServerDatabase(name)) {
        const QFileInfo info(name);
        if (!info.exists()) return fail(QStringLiteral("el fichero no existe"));
        if (!info.isFile()) return fail(QStringLiteral("no es un fichero"));
    }

    closeDatabase(connectionName);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(kDriver, connectionName);
        db.setDatabaseName(normalisedName(name));
        db.setUserName(params.user);
        db.setPassword(params.password);
        db.setConnectOptions(QStringLiteral("ISC_DPB_LC_CTYPE=UTF8"));
        if (!db.open()) error = fail(reasonFor(sqlErrorText(db.lastError())));
    }
    if (!error.isEmpty()) QSqlDatabase::removeDatabase(connectionName);
    return error;
}

void closeDatabase(const QString& connectionName) {
    if (!QSqlDatabase::contains(connectionName)) return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

QString dropDatabase(const DbParams& params) {
    const QString name = normalisedName(params.database.trimmed());
    const QByteArray path = name.toUtf8();
    const QByteArray dpb = attachBlock(params);
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    if (isc_attach_database(status, 0, path.constData(), &db, short(dpb.size()), dpb.constData()) ||
        isc_drop_database(status, &db)) {
        const QString reason = reasonFor(statusText(status));
        if (db) isc_detach_database(status, &db);
        return QStringLiteral("No se puede borrar la base de datos '%1': %2").arg(name, reason);
    }
    return {};
}

QString setForcedWrites(const DbParams& params, bool on) {
    const QString name = normalisedName(params.database.trimmed());
    const QByteArray path = name.toUtf8();
    const QByteArray dpb = attachBlock(params, on ? 1 : 0);
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    if (isc_attach_database(status, 0, path.constData(), &db, short(dpb.size()), dpb.constData()))
        return QStringLiteral("No se puede cambiar el modo de escritura de la base de datos "
                              "'%1': %2")
            .arg(name, reasonFor(statusText(status)));
    isc_detach_database(status, &db);
    return {};
}

QStringList schemaFiles(const QString& schemaDir, const QStringList& skipFiles) {
    QStringList files;
    const QDir dir(schemaDir);
    const QStringList names = dir.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name);
    for (const QString& file : names)
        if (!skipFiles.contains(file)) files << dir.absoluteFilePath(file);
    return files;
}

QString defaultSchemaDir() {
    const QString fromEnv = qEnvironmentVariable("QUILL_SCHEMA_DIR");
    if (!fromEnv.isEmpty()) return fromEnv;
    if (QCoreApplication::instance()) {
        const QString beside =
            QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("../data/schema");
        if (!schemaFiles(beside).isEmpty()) return QDir::cleanPath(beside);
    }
    return QStringLiteral(QUILL_SOURCE_DATA_DIR "/schema");
}

QString createDatabase(const DbParams& params, const QString& schemaDir,
                       const QStringList& skipFiles) {
    const QString name = params.database.trimmed();
    auto fail = [&](const QString& reason) {
        return QStringLiteral("No se puede crear la base de datos '%1': %2").arg(name, reason);
    };
    if (name.isEmpty()) return QStringLiteral("No se ha indicado la base de datos que crear");
    if (!QSqlDatabase::isDriverAvailable(kDriver))
        return fail(QStringLiteral("no está instalado el controlador QIBASE de Qt"));
    const QStringList files = schemaFiles(schemaDir, skipFiles);
    if (files.isEmpty())
        return fail(QStringLiteral("no hay guiones del esquema en '%1'").arg(schemaDir));

    const bool local = !isServerDatabase(name);
    const QString target = normalisedName(name);
    if (local) {
        const QFileInfo info(target);
        if (info.exists()) return fail(QStringLiteral("el fichero ya existe"));
        const QFileInfo folder(info.absolutePath());
        if (!folder.isDir())
            return fail(QStringLiteral("la carpeta '%1' no existe").arg(folder.filePath()));
        if (!folder.isWritable())
            return fail(
                QStringLiteral("no se puede escribir en la carpeta '%1'").arg(folder.filePath()));
    }

    if (const QString reason = createEmpty(params, target); !reason.isEmpty()) return fail(reason);

    // The database exists from here on: any failure drops it again. Every DDL statement commits
    // on its own; without forced writes that costs milliseconds instead of a wait for the disk.
    DbParams made = params;
    made.database = target;
    setForcedWrites(made, false);
    const QString connection =
        QStringLiteral("quill-crear-%1").arg(reinterpret_cast<quintptr>(&params), 0, 16);
    QString error = openDatabase(connection, made);
    if (error.isEmpty()) {
        {
            QSqlDatabase db = QSqlDatabase::database(connection, false);
            for (const QString& file : files) {
                error = runScriptFile(db, file);
                if (!error.isEmpty()) break;
            }
        }
        closeDatabase(connection);
    }
    if (error.isEmpty()) error = setForcedWrites(made, true);
    if (error.isEmpty()) return {};

    dropDatabase(made);
    if (local && QFileInfo::exists(target)) QFile::remove(target);
    return fail(error);
}

QList<ScriptStatement> splitScript(const QString& sql, QString* error) {
    enum class State { Code, LineComment, BlockComment, SingleQuoted, DoubleQuoted };
    QList<ScriptStatement> statements;
    QString terminator = QStringLiteral(";");
    QString current;
    bool started = false;
    int line = 1;
    int startLine = 0;
    int openedAt = 0;
    State state = State::Code;
    if (error) error->clear();

    auto finish = [&]() {
        const QString text = current.trimmed();
        current.clear();
        started = false;
        if (text.isEmpty()) return;
        const QRegularExpressionMatch term = setTermPattern().match(text);
        if (term.hasMatch()) {
            terminator = term.captured(1);
            return;
        }
        if (isqlSettingPattern().match(text).hasMatch()) return;
        statements.append({text, startLine});
    };

    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        const QStringView rest = QStringView(sql).mid(i);
        switch (state) {
        case State::Code:
            if (rest.startsWith(QLatin1String("--"))) {
                state = State::LineComment;
            } else if (rest.startsWith(QLatin1String("/*"))) {
                state = State::BlockComment;
                openedAt = line;
                if (started) current += QLatin1String("/*");
                i += 2;
                continue;
            } else if (rest.startsWith(terminator)) {
                i += terminator.size(); // before finish(), which may change the terminator
                finish();
                continue;
            } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
                state = c == QLatin1Char('\'') ? State::SingleQuoted : State::DoubleQuoted;
                openedAt = line;
            }
            if (state != State::LineComment && !started && !c.isSpace()) {
                started = true;
                startLine = line;
            }
            break;
        case State::LineComment:
            if (c == QLatin1Char('\n')) state = State::Code;
            break;
        case State::BlockComment:
            if (rest.startsWith(QLatin1String("*/"))) {
                state = State::Code;
                if (started) current += QLatin1String("*/");
                i += 2;
                continue;
            }
            break;
        case State::SingleQuoted:
            if (c == QLatin1Char('\'')) state = State::Code;
            break;
        case State::DoubleQuoted:
            if (c == QLatin1Char('"')) state = State::Code;
            break;
        }
        if (started) current += c;
        if (c == QLatin1Char('\n')) ++line;
        ++i;
    }

    QString problem;
    if (state == State::SingleQuoted || state == State::DoubleQuoted)
        problem = QStringLiteral("el guion termina dentro de un texto entre comillas abierto en "
                                 "la línea %1")
                      .arg(openedAt);
    else if (state == State::BlockComment)
        problem = QStringLiteral("el guion termina dentro de un comentario abierto en la línea %1")
                      .arg(openedAt);
    if (!problem.isEmpty()) {
        if (error) *error = problem;
        return {};
    }
    finish(); // a last statement without terminator still runs
    return statements;
}

QString runScript(QSqlDatabase& db, const QString& sql) {
    if (!db.isOpen()) return QStringLiteral("La conexión con la base de datos no está abierta");
    QString problem;
    const QList<ScriptStatement> statements = splitScript(sql, &problem);
    if (!problem.isEmpty()) return QStringLiteral("Guion no válido: %1").arg(problem);

    static const QRegularExpression endTransaction(QStringLiteral("^(COMMIT|ROLLBACK)(\\s+WORK)?$"),
                                                   QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression unsupported(
        QStringLiteral("^(CREATE\\s+DATABASE|CREATE\\s+SCHEMA|CONNECT|DROP\\s+DATABASE|INPUT|"
                       "OUTPUT|QUIT|EXIT)\\b"),
        QRegularExpression::CaseInsensitiveOption);

    for (const ScriptStatement& statement : statements) {
        auto fail = [&](const QString& reason) {
            return QStringLiteral("Error en la línea %1 del guion (%2): %3")
                .arg(statement.line)
                .arg(statementHead(statement.text), reason);
        };
        const QRegularExpressionMatch end = endTransaction.match(statement.text);
        if (end.hasMatch()) {
            // Without an open transaction each statement has already been committed.
            if (end.captured(1).compare(QLatin1String("COMMIT"), Qt::CaseInsensitive) == 0)
                db.commit();
            else
                db.rollback();
            continue;
        }
        if (unsupported.match(statement.text).hasMatch())
            return fail(QStringLiteral("esta instrucción no se admite en un guion"));
        QSqlQuery query(db);
        if (!query.exec(statement.text)) return fail(sqlErrorText(query.lastError()));
    }
    return {};
}

QString runScriptFile(QSqlDatabase& db, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("No se puede leer el guion '%1': %2").arg(path, file.errorString());
    const QString error = runScript(db, QString::fromUtf8(file.readAll()));
    if (error.isEmpty()) return {};
    return QFileInfo(path).fileName() + QStringLiteral(": ") + error;
}

} // namespace quill
