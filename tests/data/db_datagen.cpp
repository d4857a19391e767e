// The demo database keeps the generator's promises: partitions, deleted rows, patient 0, the
// shop's empty conventions, records of every family with their notes, sales, orders and
// payments, telephones as staff types them, postal codes with a leading zero, determinism.

#include "demodatabase.h"
#include "testsupport.h"

#include "sql/database.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <memory>

using namespace quill::datagen;

namespace {

const QDate kHoy(2024, 6, 15);
const QString kConexion = QStringLiteral("datagen-prueba");

QString schemaDir() {
    return quilltest::dataDir() + QStringLiteral("/schema");
}

Options opciones(const QString& salida, qint64 pacientes, quint64 semilla) {
    Options o;
    o.mode = Options::Mode::Generate;
    o.pacientes = pacientes;
    o.semilla = semilla;
    o.fecha = kHoy;
    o.salida = salida;
    return o;
}

// SHA-1 of the rows of some tables, in key order: two databases with the same content give
// the same digest.
QByteArray digest(const QString& file, const QStringList& tablas) {
    const QString conn = QStringLiteral("datagen-digest");
    EXPECT_EQ(quill::openDatabase(conn, {file}), QString());
    QCryptographicHash h(QCryptographicHash::Sha1);
    {
        QSqlDatabase db = QSqlDatabase::database(conn, false);
        for (const QString& t : tablas) {
            QSqlQuery q(db);
            EXPECT_TRUE(q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(t)))
                << q.lastError().text().toStdString();
            // record() asks the driver each time; once per table is enough.
            const int columns = q.record().count();
            while (q.next()) {
                for (int i = 0; i < columns; ++i)
                    h.addData(q.value(i).toString().toUtf8() + '|');
                h.addData("\n");
            }
        }
    }
    quill::closeDatabase(conn);
    return h.result();
}

class DatagenDemoDb : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = quilltest::scratch().release();
        file_ = dir_->filePath(QStringLiteral("demo.fdb"));
        report_ = new Report;
        error_ = new QString(createDemoDatabase(opciones(file_, 300, 7), schemaDir(), report_));
        if (error_->isEmpty()) quill::openDatabase(kConexion, {file_});
    }
    static void TearDownTestSuite() {
        quill::closeDatabase(kConexion);
        delete report_;
        delete error_;
        delete dir_;
    }
    void SetUp() override { ASSERT_EQ(*error_, QString()); }

    static QSqlDatabase db() { return QSqlDatabase::database(kConexion, false); }

    // The first column of the first row of a query.
    static QVariant valor(const QString& sql) {
        QSqlQuery q(db());
        if (!q.exec(sql) || !q.next()) {
            ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
            return QVariant();
        }
        return q.value(0);
    }
    static qint64 cuenta(const QString& sql) { return valor(sql).toLongLong(); }
    static QStringList columna(const QString& sql) {
        QSqlQuery q(db());
        EXPECT_TRUE(q.exec(sql)) << q.lastError().text().toStdString();
        QStringList out;
        while (q.next())
            out << q.value(0).toString();
        return out;
    }

    static QTemporaryDir* dir_;
    static QString file_;
    static Report* report_;
    static QString* error_;
};

QTemporaryDir* DatagenDemoDb::dir_ = nullptr;
QString DatagenDemoDb::file_;
Report* DatagenDemoDb::report_ = nullptr;
QString* DatagenDemoDb::error_ = nullptr;

TEST_F(DatagenDemoDb, ThreePartitionsWithMostPatientsInTheFirst) {
    QMap<int, qint64> porLicencia;
    QSqlQuery q(db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT LICENCIA, COUNT(*) FROM PACIENTE "
                                      "WHERE ID_PACIENTE <> 0 GROUP BY 1")));
    while (q.next())
        porLicencia[q.value(0).toInt()] = q.value(1).toLongLong();
    EXPECT_EQ(porLicencia.keys(), (QList<int>{1, 2, 3}));
    EXPECT_GT(porLicencia[1], 300 / 2);
    EXPECT_GT(porLicencia[1], porLicencia[2] + porLicencia[3]);
    EXPECT_EQ(report_->rows.value(QStringLiteral("PACIENTE")), 301);
}

TEST_F(DatagenDemoDb, DeletedPatientsAndThePlaceholderPatientZero) {
    const qint64 borrados =
        cuenta(QStringLiteral("SELECT COUNT(*) FROM PACIENTE WHERE BORRADO <> 0"));
    EXPECT_GT(borrados, 0);
    EXPECT_LT(borrados, 30);
    EXPECT_EQ(cuenta(QStringLiteral(
                  "SELECT COUNT(*) FROM PACIENTE WHERE ID_PACIENTE = 0 AND BORRADO = 0")),
              1);
    // Patient 0 carries counter sales, which no listing may show.
    EXPECT_GT(cuenta(QStringLiteral("SELECT COUNT(*) FROM MVENTA WHERE ID_PACIENTE = 0")), 0);
}

TEST_F(DatagenDemoDb, EmptyValuesFollowTheShopConventions) {
    // Each of these must occur: the listings' sentinels are only exercised if the data has them.
    const char* presentes[] = {
        "SELECT COUNT(*) FROM PACIENTE WHERE ID_PACIENTE <> 0 AND FECHA_NACIMIENTO = '1899-12-30'",
        "SELECT COUNT(*) FROM MGRADUACION WHERE FECHA_REVISION = '1899-12-30'",
        "SELECT COUNT(*) FROM MLENTILLA WHERE FECHA_LIMPIEZA = '1899-12-30'",
        "SELECT COUNT(*) FROM MGRADUACION WHERE OD_EJE = 400",
        "SELECT COUNT(*) FROM MGRADUACION WHERE OI_EJE = 98",
        "SELECT COUNT(*) FROM MGRADUACION WHERE ADICION_AMBOS_OJOS = 98",
        "SELECT COUNT(*) FROM MGRADUACION WHERE OD_ESFERA_LEJOS IN (97, 99)",
        "SELECT COUNT(*) FROM MLENTILLA WHERE OD_EJE = 400",
        "SELECT COUNT(*) FROM MGRADUACION WHERE ID_DOCTOR = -1",
        "SELECT COUNT(*) FROM MGRADUACION WHERE ID_DOCTOR = 0",
        "SELECT COUNT(*) FROM MLENTILLA WHERE ID_TIENDA IN (-1, 0)",
        "SELECT COUNT(*) FROM DVENTA WHERE ID_AGENTE_2 = -1",
        "SELECT COUNT(*) FROM MGRADUACION WHERE PROPIA_AJENA = -1",
        "SELECT COUNT(*) FROM PACIENTE WHERE TELEFONO = ''",
        "SELECT COUNT(*) FROM PACIENTE WHERE ID_LOCALIDAD = 0 AND ID_PACIENTE <> 0",
    };
    for (const char* sql : presentes)
        EXPECT_GT(cuenta(QString::fromLatin1(sql)), 0) << sql;
    // And never the other eye's marker, NULL instead of the empty date or text, or an id
    // other than the two empty markers below zero.
    const char* ausentes[] = {
        "SELECT COUNT(*) FROM MGRADUACION WHERE OD_EJE = 98 OR OI_EJE = 400",
        "SELECT COUNT(*) FROM MLENTILLA WHERE OD_EJE = 98 OR OI_EJE = 400",
        "SELECT COUNT(*) FROM PACIENTE WHERE FECHA_NACIMIENTO IS NULL OR FECHA_CARNET IS NULL "
        "OR TELEFONO IS NULL OR TELEFONO_MOVIL IS NULL OR E_MAIL IS NULL OR NIF IS NULL",
        "SELECT COUNT(*) FROM MGRADUACION WHERE FECHA IS NULL OR FECHA_REVISION IS NULL",
        "SELECT COUNT(*) FROM MGRADUACION WHERE ID_DOCTOR < -1 OR PROPIA_AJENA NOT IN (-1, 0, 1)",
        "SELECT COUNT(*) FROM MGRADUACION WHERE ID_DOCTOR > (SELECT MAX(ID_DOCTOR) FROM DOCTOR)",
    };
    for (const char* sql : ausentes)
        EXPECT_EQ(cuenta(QString::fromLatin1(sql)), 0) << sql;
}

TEST_F(DatagenDemoDb, EveryRecordFamilyHasRowsAndNotes) {
    const QStringList tablas = QStringLiteral(
        "MGRADUACION DGRADUACION GOBSERVACIONES MLENTILLA DLENTILLA LOBSERVACIONES "
        "MAUDIFONO DAUDIFONO AOBSERVACIONES OPTOMETRIA MOREDUCIDA OROBSERVACIONES "
        "REPOSICION POBSERVACIONES MVENTA DVENTA COBRO ARTICULO DOCTOR AGENTE TIENDA "
        "PROVEEDOR FAMILIA MARCA TRATAMIENTO TCRISTAL TLENTILLA TARTICULO IVA ALMACEN "
        "GRUPO FORMA_PAGO LOCALIDAD PROVINCIA EMPRESA")
                                   .split(QLatin1Char(' '));
    for (const QString& t : tablas) {
        const int filas = cuenta(QStringLiteral("SELECT COUNT(*) FROM %1").arg(t));
        EXPECT_GT(filas, 0) << t.toStdString();
        EXPECT_EQ(report_->rows.value(t), filas) << t.toStdString();
    }
    EXPECT_EQ(cuenta(QStringLiteral("SELECT COUNT(*) FROM EMPRESA")), 1);
    // Notes are readable text, accents included.
    const QStringList notas =
        columna(QStringLiteral("SELECT OBSERVACIONES FROM GOBSERVACIONES UNION ALL SELECT "
                               "OBSERVACIONES FROM POBSERVACIONES"));
    EXPECT_TRUE(std::any_of(notas.begin(), notas.end(),
                            [](const QString& n) { return n.contains(QStringLiteral("ó")); }));
    // The optometry notes and the replacement notes are filled on some rows.
    EXPECT_GT(cuenta(QStringLiteral("SELECT COUNT(*) FROM OPTOMETRIA WHERE TA_CONCLUSIONES <> '' "
                                    "OR BI_OBSERVACIONES <> ''")),
              0);
    EXPECT_GT(cuenta(QStringLiteral("SELECT COUNT(*) FROM REPOSICION WHERE OBSERVACIONES <> ''")),
              0);
    EXPECT_TRUE(report_->missingColumns.isEmpty())
        << report_->missingColumns.join(u',').toStdString();
}

TEST_F(DatagenDemoDb, SameSeedSameRowsOtherSeedOtherRows) {
    const QStringList tablas = {"PACIENTE", "MGRADUACION", "DLENTILLA", "MAUDIFONO",
                                "MVENTA",   "COBRO",       "OPTOMETRIA"};
    const QString igual = dir_->filePath(QStringLiteral("igual.fdb"));
    const QString otra = dir_->filePath(QStringLiteral("otra.fdb"));
    ASSERT_EQ(createDemoDatabase(opciones(igual, 300, 7), schemaDir(), nullptr), QString());
    ASSERT_EQ(createDemoDatabase(opciones(otra, 300, 8), schemaDir(), nullptr), QString());
    quill::closeDatabase(kConexion); // a file is read by one connection at a time here
    const QByteArray base = digest(file_, tablas);
    EXPECT_EQ(digest(igual, tablas), base);
    EXPECT_NE(digest(otra, tablas), base);
    EXPECT_EQ(quill::openDatabase(kConexion, {file_}), QString());
}

// ---------------------------------------------------------------------- refusals

class DatagenRefusals : public ::testing::Test {
protected:
    void SetUp() override { dir_ = quilltest::scratch(); }
    QStringList files() const { return QDir(dir_->path()).entryList(QDir::Files); }
    std::unique_ptr<QTemporaryDir> dir_;
};

TEST_F(DatagenRefusals, ExistingFileIsLeftUnlessForced) {
    const QString file = dir_->filePath(QStringLiteral("tienda.fdb"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("no es una base de datos");
    }
    const QString error = createDemoDatabase(opciones(file, 5, 1), schemaDir(), nullptr);
    EXPECT_EQ(error, QStringLiteral("El fichero %1 ya existe; no se sobrescribe (use --forzar para "
                                    "sustituirlo).")
                         .arg(QFileInfo(file).absoluteFilePath()));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("no es una base de datos"));
    }
    // Forced, it is replaced by a working database.
    Options o = opciones(file, 5, 1);
    o.forzar = true;
    ASSERT_EQ(createDemoDatabase(o, schemaDir(), nullptr), QString());
    QList<QPair<QString, qint64>> filas;
    ASSERT_EQ(countRows(file, &filas), QString());
    EXPECT_TRUE(filas.contains({QStringLiteral("PACIENTE"), 6}));
    EXPECT_EQ(files(), QStringList{QStringLiteral("tienda.fdb")});
}

TEST_F(DatagenRefusals, MissingFolderAndBrokenSchemaLeaveNothingBehind) {
    const QString enCarpetaInexistente = dir_->filePath(QStringLiteral("no/existe/tienda.fdb"));
    EXPECT_EQ(createDemoDatabase(opciones(enCarpetaInexistente, 5, 1), schemaDir(), nullptr),
              QStringLiteral("La carpeta %1 no existe.")
                  .arg(QFileInfo(enCarpetaInexistente).absolutePath()));
    // A schema whose index script fails: the half-made database must not stay.
    const QString esquema = dir_->filePath(QStringLiteral("esquema"));
    ASSERT_TRUE(QDir().mkpath(esquema));
    for (const QString& f : QDir(schemaDir()).entryList({QStringLiteral("*.sql")}))
        ASSERT_TRUE(QFile::copy(schemaDir() + u'/' + f, esquema + u'/' + f));
    QFile roto(esquema + QStringLiteral("/09-indices-rotos.sql"));
    ASSERT_TRUE(roto.open(QIODevice::WriteOnly));
    roto.write("CREATE INDEX IX_ROTO ON TABLA_QUE_NO_EXISTE (X);\n");
    roto.close();
    const QString file = dir_->filePath(QStringLiteral("tienda.fdb"));
    EXPECT_FALSE(createDemoDatabase(opciones(file, 5, 1), esquema, nullptr).isEmpty());
    EXPECT_TRUE(files().isEmpty()) << files().join(u',').toStdString();
}

TEST_F(DatagenRefusals, AColumnTheSchemaLacksIsReportedAndLeftOut) {
    const QString esquema = dir_->filePath(QStringLiteral("esquema"));
    ASSERT_TRUE(QDir().mkpath(esquema));
    for (const QString& f : QDir(schemaDir()).entryList({QStringLiteral("*.sql")})) {
        QFile in(schemaDir() + u'/' + f);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        QString sql = QString::fromUtf8(in.readAll());
        if (f.contains(QLatin1String("tablas"))) {
            const QString web = QStringLiteral("    WEB VARCHAR(100) DEFAULT '',\n");
            ASSERT_TRUE(sql.contains(web));
            sql.remove(web);
        }
        QFile out(esquema + u'/' + f);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(sql.toUtf8());
    }
    Report report;
    const QString file = dir_->filePath(QStringLiteral("tienda.fdb"));
    ASSERT_EQ(createDemoDatabase(opciones(file, 20, 1), esquema, &report), QString());
    EXPECT_EQ(report.missingColumns, QStringList{QStringLiteral("PACIENTE.WEB")});
    EXPECT_EQ(report.rows.value(QStringLiteral("PACIENTE")), 21);
}

TEST_F(DatagenRefusals, TheProgramRefusesBadInputWithASpanishMessage) {
    const QString program = quilltest::buildDir() + QStringLiteral("/bin/quillmore-datos");
    ASSERT_TRUE(QFileInfo::exists(program));
    const QString file = dir_->filePath(QStringLiteral("tienda.fdb"));
    const struct {
        QStringList args;
        const char* mensaje;
    } casos[] = {
        {{"--pacientes", "-5", "--salida", file},
         "El número de pacientes debe ser un número entero entre 0 y 10000000: \"-5\" no lo es."},
        {{"--resumen", dir_->filePath(QStringLiteral("nada.fdb"))}, "No existe el fichero"},
    };
    for (const auto& c : casos) {
        QProcess p;
        p.start(program, c.args);
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_NE(p.exitCode(), 0) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(
            QString::fromUtf8(p.readAllStandardError()).contains(QString::fromUtf8(c.mensaje)))
            << c.mensaje;
    }
    EXPECT_TRUE(files().isEmpty()) << files().join(u',').toStdString();
}

} // namespace
