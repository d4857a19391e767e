// The demo database keeps the generator's promises: partitions, deleted rows, patient 0, the
// shop's empty conventions and records of every family.

#include "demodatabase.h"
#include "testsupport.h"

#include "sql/database.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

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

// One demo database of 300 patients for the whole suite: making it is what takes time.
class DatagenDemoDb : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = quilltest::scratch().release();
        const QString file = dir_->filePath(QStringLiteral("demo.fdb"));
        error_ = createDemoDatabase(opciones(file, 300, 7), schemaDir(), &report_);
        if (error_.isEmpty()) quill::openDatabase(kConexion, {file});
    }
    static void TearDownTestSuite() {
        quill::closeDatabase(kConexion);
        delete dir_;
    }
    void SetUp() override { ASSERT_EQ(error_, QString()); }

    static QSqlDatabase db() { return QSqlDatabase::database(kConexion, false); }

    // The first column of the first row of a count.
    static qint64 cuenta(const QString& sql) {
        QSqlQuery q(db());
        if (!q.exec(sql) || !q.next()) {
            ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
            return -1;
        }
        return q.value(0).toLongLong();
    }

    static inline QTemporaryDir* dir_ = nullptr;
    static inline Report report_;
    static inline QString error_;
};

TEST_F(DatagenDemoDb, ThreePartitionsWithMostPatientsInTheFirst) {
    QMap<int, qint64> porLicencia;
    QSqlQuery q(db());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT LICENCIA, COUNT(*) FROM PACIENTE "
                                      "WHERE ID_PACIENTE <> 0 GROUP BY 1")));
    while (q.next())
        porLicencia[q.value(0).toInt()] = q.value(1).toLongLong();
    EXPECT_EQ(porLicencia.keys(), (QList<int>{1, 2, 3}));
    EXPECT_GT(porLicencia[1], porLicencia[2] + porLicencia[3]);
    EXPECT_EQ(report_.rows.value(QStringLiteral("PACIENTE")), 301);
}

TEST_F(DatagenDemoDb, DeletedPatientsAndThePlaceholderPatientZero) {
    const qint64 borrados =
        cuenta(QStringLiteral("SELECT COUNT(*) FROM PACIENTE WHERE BORRADO <> 0"));
    EXPECT_GT(borrados, 0);
    EXPECT_LT(borrados, 30);
    EXPECT_EQ(cuenta(QStringLiteral(
                  "SELECT COUNT(*) FROM PACIENTE WHERE ID_PACIENTE = 0 AND BORRADO = 0")),
              1);
}

TEST_F(DatagenDemoDb, EmptyValuesFollowTheShopConventions) {
    // Each of these must occur: the listings' sentinels are only exercised if the data has them.
    const char* presentes[] = {
        "SELECT COUNT(*) FROM PACIENTE WHERE ID_PACIENTE <> 0 AND FECHA_NACIMIENTO = '1899-12-30'",
        "SELECT COUNT(*) FROM MGRADUACION WHERE FECHA_REVISION = '1899-12-30'",
        "SELECT COUNT(*) FROM MGRADUACION WHERE OD_EJE = 400",
        "SELECT COUNT(*) FROM MGRADUACION WHERE OD_ESFERA_LEJOS IN (97, 99)",
        "SELECT COUNT(*) FROM MGRADUACION WHERE ID_DOCTOR = -1",
        "SELECT COUNT(*) FROM PACIENTE WHERE TELEFONO = ''",
    };
    for (const char* sql : presentes)
        EXPECT_GT(cuenta(QString::fromLatin1(sql)), 0) << sql;
    // And never the other eye's marker, NULL instead of the empty date or text, or an id
    // other than the two empty markers below zero.
    const char* ausentes[] = {
        "SELECT COUNT(*) FROM MGRADUACION WHERE OD_EJE = 98 OR OI_EJE = 400",
        "SELECT COUNT(*) FROM PACIENTE WHERE FECHA_NACIMIENTO IS NULL OR FECHA_CARNET IS NULL "
        "OR TELEFONO IS NULL OR TELEFONO_MOVIL IS NULL OR E_MAIL IS NULL OR NIF IS NULL",
        "SELECT COUNT(*) FROM MGRADUACION WHERE ID_DOCTOR < -1 OR PROPIA_AJENA NOT IN (-1, 0, 1)",
    };
    for (const char* sql : ausentes)
        EXPECT_EQ(cuenta(QString::fromLatin1(sql)), 0) << sql;
}

TEST_F(DatagenDemoDb, EveryRecordFamilyHasRows) {
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
        EXPECT_EQ(report_.rows.value(t), filas) << t.toStdString();
    }
    EXPECT_TRUE(report_.missingColumns.isEmpty())
        << report_.missingColumns.join(u',').toStdString();
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
    EXPECT_EQ(files(), QStringList{QStringLiteral("tienda.fdb")});
}

TEST_F(DatagenRefusals, MissingFolderLeavesNothingBehind) {
    const QString enCarpetaInexistente = dir_->filePath(QStringLiteral("no/existe/tienda.fdb"));
    EXPECT_EQ(createDemoDatabase(opciones(enCarpetaInexistente, 5, 1), schemaDir(), nullptr),
              QStringLiteral("La carpeta %1 no existe.")
                  .arg(QFileInfo(enCarpetaInexistente).absolutePath()));
    EXPECT_TRUE(files().isEmpty()) << files().join(u',').toStdString();
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
