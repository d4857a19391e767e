// `listado sql`, `conteo` and `exportar` on a generated shop database: the printed statement, the
// count and its error paths with their exit statuses, and export files read back. Most cases run
// in-process; the program itself is run once for each exit path of the count.

#include "actions/registro.h"
#include "comandos.h"
#include "generada.h"
#include "listados.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTextStream>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <tuple>

namespace {

class Runner : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        base = new generada::BaseGenerada;
        error = base->crear(QStringLiteral("db_runner"));
        if (!error.isEmpty()) return;
        {
            // Gone before the connection closes: an open statement keeps the file attached.
            QSqlQuery q(base->db());
            q.exec(
                QStringLiteral("SELECT COUNT(*) FROM PACIENTE WHERE LICENCIA = 1 AND BORRADO = 0 "
                               "AND ID_PACIENTE <> 0 AND UPPER(APELLIDOS) STARTING WITH 'G'"));
            q.next();
            conG = q.value(0).toInt();
        }
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

    static inline generada::BaseGenerada* base = nullptr;
    static inline QTemporaryDir* dir = nullptr;
    static inline QString error;
    static inline int conG = 0;
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
    EXPECT_EQ(out,
              "SELECT DISTINCT(PACIENTE.ID_PACIENTE), PACIENTE.CODIGO, PACIENTE.APELLIDOS, "
              "PACIENTE.NOMBRE, PACIENTE.NOMBRE_COMPLETO, PACIENTE.TELEFONO_MOVIL, "
              "PACIENTE.DIRECCION, PACIENTE.VIENE_POR, PACIENTE.SEXO, "
              "CAST(PACIENTE.FECHA_NACIMIENTO AS DATE) FECHA_NACIMIENTO, "
              "CAST(PACIENTE.FECHA_PRIMERA_VISITA AS DATE) FECHA_PRIMERA_VISITA, "
              "CAST(PACIENTE.FECHA_ULTIMA_VISITA AS DATE) FECHA_ULTIMA_VISITA, "
              "CAST(PACIENTE.FECHA_CARNET AS DATE) FECHA_CARNET, PACIENTE.ULTIMO_DESCUENTO, "
              "PACIENTE.TOTAL_COMPRADO_M1, PACIENTE.E_MAIL, PACIENTE.WEB, PACIENTE.FOTOGRAFIA, "
              "PACIENTE.NIF, PACIENTE.CORREO, PACIENTE.PROFESION, PACIENTE.TELEFONO, "
              "PACIENTE.TOTAL_COMPRADO_M2,  PACIENTE.TIENDA, PACIENTE.ID_LOCALIDAD , "
              "PACIENTE.ID_LOCALIDAD, PACIENTE.ID_LOCALIDAD  FROM PACIENTE  Where "
              "PACIENTE.BORRADO = 0 AND PACIENTE.ID_PACIENTE != 0 AND PACIENTE.LICENCIA = 3  AND "
              "((UPPER(PACIENTE.APELLIDOS) starting with 'GAR') OR ((PACIENTE.SEXO  = 2))) Order "
              "BY 3 DesC\n");
}

TEST_F(Runner, ConteoYSusErrores) {
    const auto [estado, out, err] = enProceso(conteo(fichero("g.json", kApellidosG)));
    EXPECT_EQ(estado, 0) << qPrintable(err);
    ASSERT_GT(conG, 0);
    EXPECT_EQ(out, quill::cli::TextoConteo(conG) + "\n");

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
        {"no es una lista", conteo(fichero("obj.json", R"({"Id": 1})")), 2,
         "El fichero de condiciones"},
        {"sin Id", conteo(fichero("sinid.json", R"([{"Condicion1": "x"}])")), 2,
         "Condición 1 del fichero: falta 'Id'"},
        {"Id desconocido", conteo(fichero("desc.json", R"([{"Id": 9999, "Condicion1": "x"}])")), 2,
         "Condición 1 del fichero: el campo 9999 no existe en el catálogo del listado General"},
        {"Id de otro listado",
         conteo(fichero("otro.json", R"([{"Id": 433, "Condicion1": "01/01/2020"}])")), 2,
         "Condición 1 del fichero: el campo 433 no existe"},
        {"clave desconocida", conteo(fichero("clave.json", R"([{"Id": 1, "Condicon1": "x"}])")), 2,
         "Condición 1 del fichero: campo desconocido 'Condicon1'"},
        {"operador desconocido",
         conteo(fichero("op.json", R"([{"Id": 1, "Condicion": "Igual", "Condicion1": "x"}])")), 2,
         "Condición 1 del fichero: operador desconocido 'Igual'"},
        {"valor rechazado",
         conteo(fichero("val.json",
                        R"([{"Id": 19, "Condicion": "Mayor que...", "Condicion1": "mucho"}])")),
         2, "Condición 1 del fichero: "},
        {"fila vacía", conteo(fichero("vacia.json", R"([{"Id": 1, "Condicion": "Igual a..."}])")),
         2, "No pueden existir registros vacios."},
        {"sólo fichas a consultar",
         conteo(fichero("solo55.json",
                        R"([{"Id": 55, "Condicion1": "Última", "Condicion1Ids": "1"}])")),
         2, "El filtro seleccionado no puede generar un listado por si mismo"},
        {"listado no disponible",
         {"conteo", "--db", base->ruta(), "--tipo", "consumo", "--condiciones",
          fichero("g2.json", kApellidosG), "--particion", "1"},
         2,
         "El listado 'Consumo' no está disponible"},
        {"tipo desconocido",
         {"conteo", "--db", base->ruta(), "--tipo", "7", "--condiciones",
          fichero("g3.json", kApellidosG), "--particion", "1"},
         1,
         "Tipo de listado desconocido: '7'"},
        {"sin partición",
         {"conteo", "--db", base->ruta(), "--tipo", "general", "--condiciones",
          fichero("g4.json", kApellidosG)},
         1,
         "Falta la opción"},
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

TEST_F(Runner, ProgramaEstadosDeSalida) {
    const auto [e0, o0, m0] = programa(conteo(fichero("pg.json", kApellidosG)));
    EXPECT_EQ(e0, 0) << qPrintable(m0);
    EXPECT_EQ(o0, quill::cli::TextoConteo(conG) + "\n");
    const auto [e1, o1, m1] = programa(conteo(fichero(
        "pnadie.json", R"([{"Id": 1, "Condicion": "Igual a...", "Condicion1": "NO EXISTE"}])")));
    EXPECT_EQ(e1, 1);
    EXPECT_EQ(m1, "No se ha encontrado ningún registro que cumpla las condiciones\n");
    EXPECT_TRUE(o1.isEmpty());
}

// The internal-error path: a database without the notes table refuses the statement.
TEST_F(Runner, ErrorInternoDeLaBase) {
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
    const auto [e, o, m] =
        programa({"conteo", "--db", copia, "--tipo", "0", "--condiciones", c, "--particion", "1"});
    EXPECT_EQ(e, 2);
    EXPECT_TRUE(o.isEmpty());
    EXPECT_TRUE(
        m.startsWith("Ha Ocurrido un Error Interno al Generar el Listado y no Puede mostrarse\n"))
        << qPrintable(m);
}

TEST_F(Runner, ExportarYLeerElFichero) {
    const QString c = fichero("exp.json", R"([
        {"Id": 1, "Condicion": "Empieza por...", "Condicion1": "G"},
        {"Id": 13, "Condicion": "Mayor que...", "Condicion1": "01/01/1900"},
        {"Id": 13, "Condicion": "Menor que...", "Condicion1": "01/01/2030"}])");
    // The birth-date condition adds its column once, however many rows ask for it.
    const QString cabecera = QStringLiteral(
        "Codigo;Apellidos;Nombre;Direccion;Cod. Postal;Localidad;Provincia;Teléfono;Tfno. "
        "Móvil;N.I.F;E-Mail;Fecha Nacimiento");
    int conNacimiento = 0;
    for (const char* nombre : {"txt", "html", "xml", "xlsx"}) {
        const QString formato = QString::fromLatin1(nombre);
        SCOPED_TRACE(nombre);
        const QString salida = dir->filePath("lista." + formato);
        const auto [e, o, m] =
            enProceso({"exportar", "--db", base->ruta(), "--tipo", "general", "--condiciones", c,
                       "--particion", "1", "--formato", formato, "--fichero", salida});
        ASSERT_EQ(e, 0) << qPrintable(m);
        QFile f(salida);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray datos = f.readAll();
        if (formato == "txt") {
            QStringList lineas = QString::fromUtf8(datos).split(QRegularExpression("\r?\n"));
            if (lineas.last().isEmpty()) lineas.removeLast();
            ASSERT_FALSE(lineas.isEmpty());
            EXPECT_EQ(lineas.first(), cabecera);
            conNacimiento = int(lineas.size()) - 1;
            EXPECT_GT(conNacimiento, 0);
            EXPECT_LE(conNacimiento, conG);
            EXPECT_EQ(o, QStringLiteral("Pacientes exportados: %1\n").arg(conNacimiento));
            for (const QString& l : lineas.mid(1))
                EXPECT_EQ(l.count(';'), 11) << qPrintable(l);
        } else if (formato == "xml" || formato == "html") {
            // Both parse; HTML has one table row per patient below the captions, XML one
            // element per patient with the captions as element names.
            QXmlStreamReader xml(datos);
            const QString fila =
                formato == "html" ? QStringLiteral("tr") : QStringLiteral("Registro");
            int filas = 0;
            while (!xml.atEnd()) {
                xml.readNext();
                if (xml.isStartElement() && xml.name() == fila) ++filas;
            }
            EXPECT_FALSE(xml.hasError()) << qPrintable(xml.errorString());
            EXPECT_EQ(filas, formato == "html" ? conNacimiento + 1 : conNacimiento);
            EXPECT_TRUE(QString::fromUtf8(datos).contains(
                formato == "html" ? QStringLiteral("<th>Fecha Nacimiento</th>")
                                  : QStringLiteral("<Fecha_Nacimiento>")));
        } else {
            EXPECT_TRUE(datos.startsWith("PK"));
            QProcess unzip;
            unzip.start("unzip",
                        {"-p", salida, "xl/sharedStrings.xml", "xl/worksheets/sheet1.xml"});
            ASSERT_TRUE(unzip.waitForFinished(30000));
            const QString contenido = QString::fromUtf8(unzip.readAllStandardOutput());
            EXPECT_TRUE(contenido.contains("Tfno. Móvil"));
            EXPECT_EQ(contenido.count("<row "), conNacimiento + 1);
        }
    }
    // A file that cannot be written is refused with the writer's reason.
    const auto [e, o, m] = enProceso({"exportar", "--db", base->ruta(), "--tipo", "0",
                                      "--condiciones", c, "--particion", "1", "--formato", "txt",
                                      "--fichero", dir->filePath("no/existe/lista.txt")});
    EXPECT_EQ(e, 2);
    EXPECT_FALSE(m.isEmpty());
    const auto [e2, o2, m2] =
        enProceso({"exportar", "--db", base->ruta(), "--tipo", "0", "--condiciones", c,
                   "--particion", "1", "--formato", "pdf", "--fichero", dir->filePath("x.pdf")});
    EXPECT_EQ(e2, 1);
    EXPECT_TRUE(m2.startsWith("Formato de exportación desconocido: 'pdf'"));
}

TEST(RunnerTextos, TipoListadoYConteo) {
    using quill::cli::TextoConteo;
    const auto TipoListado = [](const char* t) { return quill::CodigoListado(t); };
    EXPECT_EQ(TipoListado("general"), 0);
    EXPECT_EQ(TipoListado(" 3 "), 3);
    EXPECT_EQ(TipoListado("garantias"), 6);
    EXPECT_EQ(TipoListado("encargos"), 2);
    EXPECT_EQ(TipoListado("General"), -1);
    EXPECT_EQ(TipoListado("garantías"), -1);
    EXPECT_EQ(TipoListado("-1"), -1);
    EXPECT_EQ(TipoListado("7"), -1);
    EXPECT_EQ(TextoConteo(0), "0");
    EXPECT_EQ(TextoConteo(999), "999");
    EXPECT_EQ(TextoConteo(1000), "1.000");
    EXPECT_EQ(TextoConteo(200000), "200.000");
    EXPECT_EQ(TextoConteo(1234567), "1.234.567");
}

} // namespace
