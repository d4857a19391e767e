// `listado sentencia --db`: fields whose fragment depends on the shop database (postal codes and
// provinces become locality ids), through the program and in-process.

#include "comandos.h"

#include "../business/shopdb_fixture.h"
#include "sql/valores.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

class ListadoConBase : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = quilltest::scratch().release();
        ruta = dir->filePath(QStringLiteral("tienda.fdb"));
        QString plantilla;
        error = shopdb::emptyTemplate(&plantilla);
        if (!error.isEmpty()) return;
        if (!QFile::copy(plantilla, ruta)) {
            error = QStringLiteral("cannot copy ") + plantilla;
            return;
        }
        QFile::setPermissions(ruta, QFile::ReadOwner | QFile::WriteOwner);
        // Rows go in through a connection of the test's own, closed before the runner opens it.
        const QString conexion = QStringLiteral("db_listado_carga");
        quill::DbParams params;
        params.database = ruta;
        error = quill::openDatabase(conexion, params);
        if (!error.isEmpty()) return;
        {
            QSqlDatabase db = QSqlDatabase::database(conexion);
            db.transaction();
            QSqlQuery q(db);
            for (const QString& sql : shopdb::localityRows()) {
                if (!q.exec(sql)) {
                    error = sql + QStringLiteral(": ") + q.lastError().text();
                    break;
                }
            }
            db.commit();
        }
        quill::closeDatabase(conexion);
    }
    static void TearDownTestSuite() {
        delete dir;
        dir = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(error.isEmpty()) << qPrintable(error); }

    static std::tuple<int, QString, QString> enProceso(const QStringList& args) {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int estado = quill::cli::EjecutarListado(args, o, e);
        o.flush();
        e.flush();
        return {estado, out, err};
    }

    static QStringList sentencia(const QString& id, const QString& op, const QStringList& resto) {
        return QStringList{"sentencia", "--id", id, "--condicion", op, "--db", ruta} + resto;
    }

    static inline QTemporaryDir* dir = nullptr;
    static inline QString ruta;
    static inline QString error;
};

QString lista(const QList<int>& ids, const QString& op = QStringLiteral(" = "),
              const QString& junta = QStringLiteral(" Or ")) {
    QString texto = QStringLiteral("(PACIENTE.ID_LOCALIDAD ");
    for (int i = 0; i < ids.size(); ++i) {
        if (i > 0) texto += junta + QStringLiteral("PACIENTE.ID_LOCALIDAD");
        texto += op + QString::number(ids.at(i));
    }
    return texto + QLatin1Char(')');
}

TEST_F(ListadoConBase, PostalCodesAndProvincesBecomeLocalityLists) {
    struct Caso {
        const char* nombre;
        QStringList args;
        QString fragmento;
    };
    const QList<Caso> casos = {
        {"mayor que", sentencia("4", "Mayor que...", {"--valor1", "28000"}),
         lista({2, 3, 5, 6, 7})},
        {"entre", sentencia("4", "...Entre...", {"--valor1", "28000", "--valor2", "28999"}),
         lista({2, 3, 6})},
        {"menor que con cero delante", sentencia("4", "Menor que...", {"--valor1", "05001"}),
         lista({4})},
        {"distinto", sentencia("4", "Distinto de...", {"--valor1", "28001"}),
         lista({3}, " != ", " And ")},
        {"provincia", sentencia("6", "Igual a...", {"--ids", "28"}), lista({2, 3, 6})},
        {"dos provincias", sentencia("6", "Distinto de...", {"--ids", "5;8"}),
         lista({4, 1}, " != ", " And ")},
    };
    for (const Caso& c : casos) {
        const auto [estado, out, err] = enProceso(c.args);
        EXPECT_EQ(estado, 0) << c.nombre << ": " << qPrintable(err);
        EXPECT_EQ(out, c.fragmento + QStringLiteral("\nTablas: PACIENTE\n")) << c.nombre;
    }
}

TEST_F(ListadoConBase, RefusedPostalCodeExitsWithTwo) {
    const auto [estado, out, err] =
        enProceso(sentencia("4", "Igual a...", {"--valor1", "28000 OR 1=1"}));
    EXPECT_EQ(estado, 2);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_TRUE(err.startsWith(quill::fragmentErrorMessage()));
}

TEST_F(ListadoConBase, TheProgramReadsTheDatabaseToo) {
    QProcess p;
    p.start(quilltest::buildDir() + QStringLiteral("/bin/listado"),
            sentencia("4", "Igual a...", {"--valor1", "28001"}));
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()),
              lista({3}) + QStringLiteral("\nTablas: PACIENTE\n"));
}

TEST_F(ListadoConBase, AFileThatIsNotADatabaseIsAClearMistake) {
    const QString falso = dir->filePath(QStringLiteral("falso.fdb"));
    QFile f(falso);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("esto no es una base de datos");
    f.close();
    const auto [estado, out, err] = enProceso({"sentencia", "--id", "4", "--condicion",
                                               "Igual a...", "--valor1", "28001", "--db", falso});
    EXPECT_EQ(estado, 1);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_TRUE(err.contains(falso)) << qPrintable(err);
}

} // namespace
