// `listado sql`, `conteo` and `exportar` on a generated shop database: the printed statement, the
// count and its error paths with their exit statuses, and export files read back. Most cases run
// in-process; the program itself is run once for each exit path of the count.

#include "actions/registro.h"
#include "comandos.h"
#include "listados.h"
#include "tiendaprueba.h"

#include <QFile>
#include <QProcess>
#include <QTextStream>

#include <gtest/gtest.h>

#include <tuple>

namespace {

class Runner : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        base = new tiendaprueba::Tienda;
        error = base->crear(QStringLiteral("db_runner"), {}, tiendaprueba::plantillaGenerada);
        if (!error.isEmpty()) return;
        const QString pacientesG =
            QStringLiteral("SELECT COUNT(*) FROM PACIENTE WHERE LICENCIA = 1 AND BORRADO = 0 AND "
                           "ID_PACIENTE <> 0 AND UPPER(APELLIDOS) STARTING WITH 'G'");
        conG = base->valor(pacientesG).toInt();
        conNacimiento = base->valor(pacientesG + " AND CAST(FECHA_NACIMIENTO AS DATE) BETWEEN "
                                                 "'1900-01-02' AND '2029-12-31'")
                            .toInt();
        // The runner opens the file itself: the test's connection goes first.
        base->cerrar();
        dir = quilltest::scratch().release();
    }
    static void TearDownTestSuite() {
        delete base;
        base = nullptr;
        delete dir;
        dir = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(error.isEmpty()) << qPrintable(error); }

    static QString fichero(const QString& nombre, const QByteArray& contenido) {
        const QString ruta = dir->filePath(nombre);
        QFile f(ruta);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(contenido);
        return ruta;
    }

    static std::tuple<int, QString, QString> enProceso(const QStringList& args) {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int estado = quill::cli::EjecutarListado(args, o, e);
        o.flush();
        e.flush();
        return {estado, out, err};
    }

    static std::tuple<int, QString, QString> programa(const QStringList& args) {
        QProcess p;
        p.start(quilltest::buildDir() + QStringLiteral("/bin/listado"), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }

    static QStringList conteo(const QString& condiciones) {
        return {"conteo",        "--db",      base->ruta(),  "--tipo", "general",
                "--condiciones", condiciones, "--particion", "1"};
    }

    static inline tiendaprueba::Tienda* base = nullptr;
    static inline QTemporaryDir* dir = nullptr;
    static inline QString error;
    static inline int conG = 0;
    static inline int conNacimiento = 0;
};

const QByteArray kApellidosG = R"([{"Id": 1, "Condicion": "Empieza por...", "Condicion1": "G"}])";

TEST_F(Runner, SqlEscribeLaSentenciaExacta) {
    const QString c = fichero("sql.json", R"([
        {"Id": 1, "Campo": "Apellidos", "Condicion": "Empieza por...", "Condicion1": "gar"},
        {"Id": 11, "Condicion1": "Mujer", "Condicion1Ids": "2"}])");
    const auto [estado, out, err] =
        enProceso({"sql", "--tipo", "0", "--condiciones", c, "--particion", "3", "--orden", "18",
                   "--sentido", "1", "--cualquiera"});
    EXPECT_EQ(estado, 0) << qPrintable(err);
    // The partition, "any", the order and its direction reach the statement.
    EXPECT_TRUE(out.startsWith("SELECT DISTINCT(PACIENTE.ID_PACIENTE), PACIENTE.CODIGO, "));
    EXPECT_TRUE(out.endsWith(
        " FROM PACIENTE  Where PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 AND "
        "PACIENTE.LICENCIA = 3  AND ((UPPER(PACIENTE.APELLIDOS) starting with 'GAR') OR "
        "((PACIENTE.SEXO  = 2))) Order BY 3 DesC\n"))
        << qPrintable(out);
}

TEST_F(Runner, ConteoYSusErrores) {
    const auto [estado, out, err] = enProceso(conteo(fichero("g.json", kApellidosG)));
    EXPECT_EQ(estado, 0) << qPrintable(err);
    ASSERT_GT(conG, 0);
    EXPECT_EQ(out, quill::cli::TextoConteo(conG) + "\n");
    // A row where no field was chosen adds nothing, as in the window.
    const auto [estadoBlanco, outBlanco, errBlanco] = enProceso(conteo(
        fichero("blanco.json",
                R"([{"Id": -1}, {"Id": 1, "Condicion": "Empieza por...", "Condicion1": "G"}])")));
    EXPECT_EQ(estadoBlanco, 0) << qPrintable(errBlanco);
    EXPECT_EQ(outBlanco, out);

    struct Caso {
        const char* nombre;
        QStringList args;
        int estado;
        const char* mensaje; // start of the first line of standard error
    };
    const QString nadie = fichero(
        "nadie.json", R"([{"Id": 1, "Condicion": "Igual a...", "Condicion1": "NO EXISTE"}])");
    const Caso casos[] = {
        {"sin registros", conteo(nadie), 1,
         "No se ha encontrado ningún registro que cumpla las condiciones"},
        {"JSON mal formado", conteo(fichero("mal.json", "[{\"Id\": 1,")), 2,
         "El fichero de condiciones"},
        {"Id desconocido", conteo(fichero("desc.json", R"([{"Id": 9999, "Condicion1": "x"}])")), 2,
         "Condición 1 del fichero: el campo 9999 no existe en el catálogo del listado General"},
        {"valor rechazado",
         conteo(fichero("val.json",
                        R"([{"Id": 19, "Condicion": "Mayor que...", "Condicion1": "mucho"}])")),
         2, "Condición 1 del fichero: "},
        {"fila vacía", conteo(fichero("vacia.json", R"([{"Id": 1, "Condicion": "Igual a..."}])")),
         2, "No pueden existir registros vacios."},
        {"acción que el listado no tiene",
         {"conteo", "--db", base->ruta(), "--tipo", "prescripciones", "--condiciones",
          fichero("g2.json", "[]"), "--particion", "1"},
         2,
         "El listado «Prescripciones al CNOO» no tiene la acción «Conteo»."},
        {"base inexistente",
         {"conteo", "--db", dir->filePath("no.fdb"), "--tipo", "general", "--condiciones",
          fichero("g5.json", kApellidosG), "--particion", "1"},
         1,
         "No se puede abrir la base de datos"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        const auto [e, o, m] = enProceso(c.args);
        EXPECT_EQ(e, c.estado) << qPrintable(m);
        EXPECT_TRUE(o.isEmpty()) << qPrintable(o);
        EXPECT_TRUE(m.startsWith(QString::fromUtf8(c.mensaje))) << qPrintable(m);
    }
}

// The program's exit statuses: a count, nobody found, and a database that refuses the statement
// (a copy without the notes table).
TEST_F(Runner, ProgramaEstadosDeSalida) {
    const auto [e0, o0, m0] = programa(conteo(fichero("pg.json", kApellidosG)));
    EXPECT_EQ(e0, 0) << qPrintable(m0);
    EXPECT_EQ(o0, quill::cli::TextoConteo(conG) + "\n");
    const auto [e1, o1, m1] = programa(conteo(fichero(
        "pnadie.json", R"([{"Id": 1, "Condicion": "Igual a...", "Condicion1": "NO EXISTE"}])")));
    EXPECT_EQ(e1, 1);
    EXPECT_EQ(m1, "No se ha encontrado ningún registro que cumpla las condiciones\n");
    EXPECT_TRUE(o1.isEmpty());

    const QString copia = dir->filePath("sin-notas.fdb");
    ASSERT_TRUE(QFile::copy(base->ruta(), copia));
    QFile::setPermissions(copia, QFile::ReadOwner | QFile::WriteOwner);
    {
        ASSERT_EQ(quill::openDatabase("db_runner_rota", quill::DbParams(copia)), QString());
        QSqlQuery q(QSqlDatabase::database("db_runner_rota"));
        ASSERT_TRUE(q.exec("DROP TABLE POBSERVACIONES")) << qPrintable(q.lastError().text());
    }
    quill::closeDatabase("db_runner_rota");
    const QString c =
        fichero("nota.json", R"([{"Id": 23, "Condicion": "...Contiene...", "Condicion1": "a"}])");
    const auto [e2, o2, m2] =
        programa({"conteo", "--db", copia, "--tipo", "0", "--condiciones", c, "--particion", "1"});
    EXPECT_EQ(e2, 2);
    EXPECT_TRUE(o2.isEmpty());
    EXPECT_TRUE(
        m2.startsWith("Ha Ocurrido un Error Interno al Generar el Listado y no Puede mostrarse\n"))
        << qPrintable(m2);
}

// Every format holds one row per patient of an independent count, below the captions.
TEST_F(Runner, ExportarYLeerElFichero) {
    const QString c = fichero("exp.json", R"([
        {"Id": 1, "Condicion": "Empieza por...", "Condicion1": "G"},
        {"Id": 13, "Condicion": "Mayor que...", "Condicion1": "01/01/1900"},
        {"Id": 13, "Condicion": "Menor que...", "Condicion1": "01/01/2030"}])");
    ASSERT_GT(conNacimiento, 0);
    struct Caso {
        const char* formato;
        const char* fila; // what starts a row
        int cabeceras;    // rows of captions
    };
    const Caso casos[] = {
        {"txt", "\n", 1}, {"html", "<tr", 1}, {"xml", "<Registro>", 0}, {"xlsx", "<row ", 1}};
    for (const Caso& k : casos) {
        SCOPED_TRACE(k.formato);
        const QString salida = dir->filePath(QStringLiteral("lista.") + k.formato);
        const auto [e, o, m] =
            enProceso({"exportar", "--db", base->ruta(), "--tipo", "general", "--condiciones", c,
                       "--particion", "1", "--formato", k.formato, "--fichero", salida});
        ASSERT_EQ(e, 0) << qPrintable(m);
        EXPECT_EQ(o, QStringLiteral("Pacientes exportados: %1\n").arg(conNacimiento));
        QFile f(salida);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QString texto = QString::fromUtf8(f.readAll());
        if (QLatin1String(k.formato) == QLatin1String("xlsx")) {
            QProcess unzip;
            unzip.start("unzip", {"-p", salida, "xl/worksheets/sheet1.xml"});
            ASSERT_TRUE(unzip.waitForFinished(30000));
            texto = QString::fromUtf8(unzip.readAllStandardOutput());
        }
        EXPECT_EQ(texto.count(QLatin1String(k.fila)), conNacimiento + k.cabeceras);
        // The birth-date condition adds its column once, however many rows ask for it.
        if (QLatin1String(k.formato) == QLatin1String("txt")) {
            EXPECT_TRUE(texto.startsWith(
                "Codigo;Apellidos;Nombre;Direccion;Cod. Postal;Localidad;Provincia;Teléfono;Tfno. "
                "Móvil;N.I.F;E-Mail;Fecha Nacimiento\r\n"));
        }
    }
    // A file that cannot be written.
    const auto [e, o, m] = enProceso({"exportar", "--db", base->ruta(), "--tipo", "0",
                                      "--condiciones", c, "--particion", "1", "--formato", "txt",
                                      "--fichero", dir->filePath("no/existe/lista.txt")});
    EXPECT_EQ(e, 2);
    EXPECT_FALSE(m.isEmpty());
}

TEST(RunnerTextos, TipoListadoYConteo) {
    using quill::cli::TextoConteo;
    const auto TipoListado = [](const char* t) { return quill::CodigoListado(t); };
    EXPECT_EQ(TipoListado("general"), 0);
    EXPECT_EQ(TipoListado(" 3 "), 3);
    EXPECT_EQ(TipoListado("General"), -1);
    EXPECT_EQ(TextoConteo(999), "999");
    EXPECT_EQ(TextoConteo(1234567), "1.234.567");
}

} // namespace
