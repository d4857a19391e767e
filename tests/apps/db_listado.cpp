// `listado sentencia --db`: fields whose fragment depends on the shop database (postal codes and
// provinces become locality ids), in-process and through the program.

#include "comandos.h"
#include "tiendaprueba.h"

#include "sql/valores.h"

#include <QFile>
#include <QProcess>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

class ListadoConBase : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tienda = new tiendaprueba::Tienda;
        error = tienda->crear(QStringLiteral("db_listado"), tiendaprueba::filasLocalidades());
        // The runner opens the file itself.
        tienda->cerrar();
    }
    static void TearDownTestSuite() {
        delete tienda;
        tienda = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(error.isEmpty()) << qPrintable(error); }

    static QStringList sentencia(const QString& id, const QString& op, const QStringList& resto,
                                 const QString& base = tienda->ruta()) {
        return QStringList{"sentencia", "--id", id, "--condicion", op, "--db", base} + resto;
    }

    static inline tiendaprueba::Tienda* tienda = nullptr;
    static inline QString error;
};

QString lista(const QList<int>& ids, const QString& op = QStringLiteral(" = "),
              const QString& junta = QStringLiteral(" Or ")) {
    QString texto = QStringLiteral("(PACIENTE.ID_LOCALIDAD ");
    for (int i = 0; i < ids.size(); ++i) {
        if (i > 0) texto += junta + QStringLiteral("PACIENTE.ID_LOCALIDAD");
        texto += op + QString::number(ids.at(i));
    }
    return texto + QStringLiteral(")\nTablas: PACIENTE\n");
}

TEST_F(ListadoConBase, PostalCodesAndProvincesBecomeLocalityLists) {
    const QString falso = tienda->carpeta() + QStringLiteral("/falso.fdb");
    QFile f(falso);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("esto no es una base de datos");
    f.close();
    struct Caso {
        const char* nombre;
        QStringList args;
        int estado;
        QString out;
        QString err; // in standard error
    };
    const Caso casos[] = {
        {"greater than", sentencia("4", "Mayor que...", {"--valor1", "28000"}), 0,
         lista({2, 3, 5, 6, 7}), ""},
        {"leading zero", sentencia("4", "Menor que...", {"--valor1", "05001"}), 0, lista({4}), ""},
        {"two provinces", sentencia("6", "Distinto de...", {"--ids", "5;8"}), 0,
         lista({4, 1}, " != ", " And "), ""},
        {"refused postal code", sentencia("4", "Igual a...", {"--valor1", "28000 OR 1=1"}), 2, "",
         quill::fragmentErrorMessage()},
        {"not a database", sentencia("4", "Igual a...", {"--valor1", "28001"}, falso), 1, "",
         falso},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        QString out, err;
        QTextStream o(&out), e(&err);
        EXPECT_EQ(quill::cli::EjecutarListado(c.args, o, e), c.estado) << qPrintable(err);
        o.flush();
        e.flush();
        EXPECT_EQ(out, c.out);
        EXPECT_TRUE(err.contains(c.err)) << qPrintable(err);
    }
}

TEST_F(ListadoConBase, TheProgramReadsTheDatabaseToo) {
    QProcess p;
    p.start(quilltest::buildDir() + QStringLiteral("/bin/listado"),
            sentencia("4", "Igual a...", {"--valor1", "28001"}));
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()), lista({3}));
}

} // namespace
