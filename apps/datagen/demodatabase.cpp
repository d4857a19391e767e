#include "demodatabase.h"

#include "sql/database.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>

namespace quill::datagen {

namespace {

const QString kConnection = QStringLiteral("quillmore-datos");

// Largest demo the tool accepts: far beyond any real shop, small enough to fit the key types.
constexpr qint64 kMaxPacientes = 10'000'000;

// Schema files run only after the load: indexes are built once, over the final data.
bool afterLoad(const QString& file) {
    return QFileInfo(file).fileName().contains(QLatin1String("indice"), Qt::CaseInsensitive);
}

QString quoted(const QString& identifier) {
    QString q = identifier;
    q.replace(u'"', QLatin1String("\"\""));
    return u'"' + q + u'"';
}

// Keeps the connection closed and the temporary file removed whatever way we leave.
class Scratch {
public:
    explicit Scratch(QString path) : path_(std::move(path)) {}
    ~Scratch() {
        closeDatabase(kConnection);
        if (!kept_) QFile::remove(path_);
    }
    void keep() { kept_ = true; }
    const QString& path() const { return path_; }

private:
    QString path_;
    bool kept_ = false;
};

// Forced writes make every commit wait for the disk; a database being filled by one program
// does not need them. Best effort: without gfix the load is only slower.
void setForcedWrites(const QString& path, bool on) {
    QProcess gfix;
    gfix.start(QStringLiteral("gfix"),
               {QStringLiteral("-write"), on ? QStringLiteral("sync") : QStringLiteral("async"),
                QStringLiteral("-user"), QStringLiteral("SYSDBA"), path});
    if (gfix.waitForStarted(5000)) gfix.waitForFinished(60000);
}

QString exec(QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    if (!q.exec(sql)) return q.lastError().text();
    return QString();
}

} // namespace

QString usageText() {
    return QStringLiteral(
        "Uso:\n"
        "  quillmore-datos --pacientes N --salida FICHERO.fdb [--semilla S] [--fecha AAAA-MM-DD] "
        "[--forzar]\n"
        "      Crea una base de datos de demostración con N pacientes inventados.\n"
        "      --semilla S   la misma semilla (y fecha) da siempre los mismos datos (1 por "
        "omisión)\n"
        "      --fecha F     el \"hoy\" de la tienda de demostración (hoy por omisión)\n"
        "      --forzar      sustituye el fichero si ya existe\n"
        "  quillmore-datos --resumen FICHERO.fdb\n"
        "      Muestra cada tabla de la base de datos con su número de filas.\n");
}

Options parseArguments(const QStringList& args, QString* error) {
    Options o;
    error->clear();
    auto value = [&](int& i, const QString& name) -> QString {
        if (i + 1 >= args.size() || args.at(i + 1).startsWith(QLatin1String("--"))) {
            *error = QStringLiteral("Falta el valor de %1.").arg(name);
            return QString();
        }
        return args.at(++i);
    };
    bool generar = false;
    for (int i = 0; i < args.size() && error->isEmpty(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--pacientes")) {
            const QString v = value(i, a);
            if (!error->isEmpty()) break;
            bool ok = false;
            const qint64 n = v.trimmed().toLongLong(&ok);
            if (!ok || n < 0 || n > kMaxPacientes)
                *error = QStringLiteral("El número de pacientes debe ser un número entero entre 0 "
                                        "y %1: \"%2\" no lo es.")
                             .arg(kMaxPacientes)
                             .arg(v);
            o.pacientes = n;
            generar = true;
        } else if (a == QLatin1String("--salida")) {
            o.salida = value(i, a);
            generar = true;
        } else if (a == QLatin1String("--semilla")) {
            const QString v = value(i, a);
            if (!error->isEmpty()) break;
            bool ok = false;
            o.semilla = v.trimmed().toULongLong(&ok);
            if (!ok || v.trimmed().startsWith(u'-'))
                *error = QStringLiteral("La semilla debe ser un número entero no negativo: \"%1\" "
                                        "no lo es.")
                             .arg(v);
        } else if (a == QLatin1String("--fecha")) {
            const QString v = value(i, a);
            if (!error->isEmpty()) break;
            o.fecha = QDate::fromString(v, Qt::ISODate);
            if (!o.fecha.isValid() || o.fecha.year() < 1950 || o.fecha.year() > 2070)
                *error = QStringLiteral("La fecha debe escribirse AAAA-MM-DD (por ejemplo "
                                        "2024-03-15): \"%1\" no es válida.")
                             .arg(v);
        } else if (a == QLatin1String("--forzar")) {
            o.forzar = true;
        } else if (a == QLatin1String("--resumen")) {
            o.resumen = value(i, a);
            o.mode = Options::Mode::Summary;
        } else if (a == QLatin1String("--ayuda") || a == QLatin1String("-h") ||
                   a == QLatin1String("--help")) {
            o.mode = Options::Mode::Help;
            return o;
        } else {
            *error = QStringLiteral("Opción desconocida: \"%1\".").arg(a);
        }
    }
    if (!error->isEmpty()) return o;
    if (o.mode == Options::Mode::Summary) {
        if (generar)
            *error = QStringLiteral("--resumen no se combina con --pacientes ni --salida.");
        return o;
    }
    if (!generar) {
        *error = QStringLiteral("Indique --pacientes y --salida, o --resumen.");
        return o;
    }
    if (o.pacientes < 0)
        *error = QStringLiteral("Falta --pacientes N.");
    else if (o.salida.isEmpty())
        *error = QStringLiteral("Falta --salida FICHERO.fdb.");
    o.mode = Options::Mode::Generate;
    return o;
}

QString createDemoDatabase(const Options& options, const QString& schemaDir, Report* report,
                           const Progress& progress, const std::atomic<bool>* cancel) {
    const QString interrumpido = QStringLiteral("Interrumpido: no se ha creado la base de datos.");
    auto cancelled = [&] { return cancel && cancel->load(); };
    auto say = [&](const QString& s) {
        if (progress) progress(s);
    };
    QElapsedTimer timer;
    timer.start();
    if (isServerDatabase(options.salida))
        return QStringLiteral("La salida debe ser un fichero local, no \"%1\".")
            .arg(options.salida);
    const QFileInfo target(options.salida);
    const QString path = target.absoluteFilePath();
    const QFileInfo folder(target.absolutePath());
    if (target.isDir()) return QStringLiteral("%1 es una carpeta, no un fichero.").arg(path);
    if (target.exists() && !options.forzar)
        return QStringLiteral("El fichero %1 ya existe; no se sobrescribe (use --forzar para "
                              "sustituirlo).")
            .arg(path);
    if (!folder.isDir())
        return QStringLiteral("La carpeta %1 no existe.").arg(folder.absoluteFilePath());
    if (!folder.isWritable())
        return QStringLiteral("No se puede escribir en la carpeta %1.")
            .arg(folder.absoluteFilePath());
    if (target.exists() && !target.isWritable())
        return QStringLiteral("No se puede sustituir el fichero %1.").arg(path);

    const QStringList deferred = [&] {
        QStringList out;
        for (const QString& f : schemaFiles(schemaDir))
            if (afterLoad(f)) out << f;
        return out;
    }();
    QStringList skip;
    for (const QString& f : deferred)
        skip << QFileInfo(f).fileName();

    Scratch scratch(
        QStringLiteral("%1.%2.creando").arg(path).arg(QCoreApplication::applicationPid()));
    QFile::remove(scratch.path());
    say(QStringLiteral("Creando la base de datos..."));
    const DbParams params{scratch.path()};
    QString error = createDatabase(params, schemaDir, skip);
    if (!error.isEmpty()) return error;
    if (cancelled()) return interrumpido;
    setForcedWrites(scratch.path(), false);
    error = openDatabase(kConnection, params);
    if (!error.isEmpty()) return error;
    {
        QSqlDatabase db = QSqlDatabase::database(kConnection, false);
        SchemaInfo schema;
        error = schema.load(db);
        if (!error.isEmpty()) return QStringLiteral("No se pudo leer el esquema: %1").arg(error);

        GeneratorOptions g;
        g.pacientes = options.pacientes;
        g.semilla = options.semilla;
        g.hoy = options.fecha.isValid() ? options.fecha : QDate::currentDate();
        g.cancel = cancel;
        if (!db.transaction()) return db.lastError().text();
        try {
            DemoGenerator generator(db, schema, g);
            generator.run(progress);
            if (report) {
                report->rows = generator.rowCounts();
                report->missingColumns = generator.missingColumns();
            }
        } catch (const DatagenError& e) {
            db.rollback();
            return e.message();
        }
        if (!db.commit())
            return QStringLiteral("No se pudieron guardar los datos: %1")
                .arg(db.lastError().text());

        if (cancelled()) return interrumpido;
        say(QStringLiteral("Creando los índices..."));
        for (const QString& f : deferred) {
            error = runScriptFile(db, f);
            if (!error.isEmpty()) return error;
        }
        // Statistics of every index, so the optimizer sees the data as loaded.
        QStringList indexes;
        {
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("SELECT TRIM(RDB$INDEX_NAME) FROM RDB$INDICES "
                                       "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 ORDER BY 1")))
                return q.lastError().text();
            while (q.next())
                indexes << q.value(0).toString();
        }
        for (const QString& ix : indexes) {
            error = exec(db, QStringLiteral("SET STATISTICS INDEX %1").arg(quoted(ix)));
            if (!error.isEmpty()) return error;
        }
        // Each key generator moves past the keys loaded, so the host's next insert is new.
        for (const QString& seq : schema.sequences()) {
            if (!seq.startsWith(QLatin1String("G_"))) continue;
            const TableInfo* t = schema.table(seq.mid(2));
            if (!t || t->columns.isEmpty() || t->columns.first().kind != ColumnInfo::Kind::Integer)
                continue;
            QSqlQuery q(db);
            if (!q.exec(QStringLiteral("SELECT MAX(%1) FROM %2")
                            .arg(quoted(t->columns.first().name), quoted(t->name))))
                return q.lastError().text();
            if (!q.next() || q.value(0).isNull()) continue;
            const qint64 max = q.value(0).toLongLong();
            q.finish();
            error = exec(
                db, QStringLiteral("ALTER SEQUENCE %1 RESTART WITH %2").arg(quoted(seq)).arg(max));
            if (!error.isEmpty()) return error;
        }
    }
    closeDatabase(kConnection);
    if (cancelled()) return interrumpido;
    setForcedWrites(scratch.path(), true);

    if (QFile::exists(path) && !QFile::remove(path))
        return QStringLiteral("No se puede sustituir el fichero %1.").arg(path);
    if (!QFile::rename(scratch.path(), path))
        return QStringLiteral("No se pudo dejar la base de datos en %1.").arg(path);
    scratch.keep();
    if (report) {
        report->seconds = static_cast<double>(timer.elapsed()) / 1000.0;
        report->bytes = QFileInfo(path).size();
    }
    return QString();
}

QString countRows(const QString& database, QList<QPair<QString, qint64>>* rows) {
    rows->clear();
    if (!isServerDatabase(database) && !QFileInfo::exists(database))
        return QStringLiteral("No existe el fichero %1.").arg(database);
    QString error = openDatabase(kConnection, DbParams{database});
    if (!error.isEmpty()) return error;
    {
        QSqlDatabase db = QSqlDatabase::database(kConnection, false);
        QStringList tables;
        QSqlQuery q(db);
        if (!q.exec(
                QStringLiteral("SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS "
                               "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0 AND RDB$VIEW_BLR IS NULL "
                               "ORDER BY 1"))) {
            error = q.lastError().text();
        } else {
            while (q.next())
                tables << q.value(0).toString();
        }
        for (const QString& t : tables) {
            if (!error.isEmpty()) break;
            if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(quoted(t))) || !q.next())
                error = q.lastError().text();
            else
                rows->append({t, q.value(0).toLongLong()});
        }
    }
    closeDatabase(kConnection);
    return error;
}

} // namespace quill::datagen
