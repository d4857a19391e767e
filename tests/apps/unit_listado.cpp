// `listado sentencia` without a database: exact fragments and table lines, refused values,
// command-line mistakes, and the program itself (exit status, bytes on stdout).

#include "comandos.h"

#include "sql/valores.h"
#include "testsupport.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

using quill::cli::EjecutarListado;

// Names the generated tests after their cases.
struct NombreCaso {
    template <typename T> std::string operator()(const ::testing::TestParamInfo<T>& p) const {
        return p.param.nombre;
    }
};

struct Salida {
    int estado = -1;
    QString out;
    QString err;
};

Salida ejecutar(const QStringList& args) {
    Salida s;
    QTextStream out(&s.out);
    QTextStream err(&s.err);
    s.estado = EjecutarListado(args, out, err);
    out.flush();
    err.flush();
    return s;
}

QStringList sentencia(const QString& id, const QString& operador, const QStringList& resto = {}) {
    return QStringList{QStringLiteral("sentencia"), QStringLiteral("--id"), id,
                       QStringLiteral("--condicion"), operador} +
           resto;
}

const QString kFecha = QStringLiteral("CAST(PACIENTE.FECHA_NACIMIENTO AS DATE)");

struct CasoFragmento {
    const char* nombre;
    QStringList args;
    QString fragmento;
    QString tablas;
};

void PrintTo(const CasoFragmento& c, std::ostream* os) {
    *os << c.nombre;
}

class Fragmentos : public ::testing::TestWithParam<CasoFragmento> {};

TEST_P(Fragmentos, PrintsTheFragmentAndItsTables) {
    const CasoFragmento& c = GetParam();
    const Salida s = ejecutar(c.args);
    EXPECT_EQ(s.estado, 0) << qPrintable(s.err);
    EXPECT_EQ(s.out, c.fragmento + QStringLiteral("\nTablas: ") + c.tablas + QStringLiteral("\n"));
}

INSTANTIATE_TEST_SUITE_P(
    Sentencia, Fragmentos,
    ::testing::Values(
        CasoFragmento{"FechaMayor", sentencia("13", "Mayor que...", {"--valor1", "31/12/2009"}),
                      kFecha + " != '12/30/1899' AND " + kFecha + " > '12/31/2009'", "PACIENTE"},
        // The leading and trailing blanks of a fragment are part of it.
        CasoFragmento{"TextoVacio", sentencia("2", "Vacío"), "UPPER(PACIENTE.NOMBRE)   = ''",
                      "PACIENTE"},
        CasoFragmento{"ListaDosIds", sentencia("11", "Igual a...", {"--ids", "1;2"}),
                      "(PACIENTE.SEXO  = 1 Or PACIENTE.SEXO = 2)", "PACIENTE"},
        CasoFragmento{"ListaIdsConBlancos",
                      sentencia("11", "Distinto de...", {"--ids", " 1 ; 2 ;"}),
                      "(PACIENTE.SEXO  != 1 And PACIENTE.SEXO != 2)", "PACIENTE"},
        CasoFragmento{"MesNacimiento", sentencia("425", "Igual a...", {"--ids", "1;12"}),
                      " " + kFecha +
                          " != '12/30/1899' AND (EXTRACT (MONTH FROM PACIENTE.FECHA_NACIMIENTO)  = "
                          "1 Or EXTRACT (MONTH FROM PACIENTE.FECHA_NACIMIENTO) = 12)",
                      "PACIENTE"},
        CasoFragmento{"MemoConComilla", sentencia("23", "Igual a...", {"--valor1", "o'brien"}),
                      "PACIENTE.ID_PACIENTE = POBSERVACIONES.ID_PACIENTE And "
                      "UPPER(POBSERVACIONES.OBSERVACIONES)  like 'O''BRIEN__'",
                      "POBSERVACIONES, PACIENTE"},
        CasoFragmento{"NumeroEntre",
                      sentencia("0", "...Entre...", {"--valor1", "5", "--valor2", "10"}),
                      "PACIENTE.CODIGO  BETWEEN 5 AND 10", "PACIENTE"},
        CasoFragmento{"ComaDecimal", sentencia("17", "Menor que...", {"--valor1=1,5"}),
                      "PACIENTE.ULTIMO_DESCUENTO  < 1.5", "PACIENTE"},
        CasoFragmento{"ValorNegativoSeparado", sentencia("19", "Mayor que...", {"--valor1", "-3"}),
                      "PACIENTE.TOTAL_COMPRADO_M1  > -3", "PACIENTE"},
        // Record dates ignore the selected ids and leave the column to the listing.
        CasoFragmento{"FechaFicha",
                      sentencia("433", "Igual a...", {"--valor1", "01/02/2020", "--ids", "7"}),
                      " = '02/01/2020'", "PACIENTE"},
        CasoFragmento{"Profesionales", sentencia("51", "Igual a...", {"--ids", "3;5"}), "In (3,5)",
                      ""},
        CasoFragmento{"TextoHostilInofensivo",
                      sentencia("1", "Igual a...", {"--valor1", "1) OR (PACIENTE.LICENCIA <> 0"}),
                      "UPPER(PACIENTE.APELLIDOS)  = '1) OR (PACIENTE.LICENCIA <> 0'", "PACIENTE"},
        CasoFragmento{"SinEntrada", sentencia("3100", "Igual a...", {"--valor1", "1"}), "", ""},
        // The prescription type only chooses what is printed: no fragment, no table.
        CasoFragmento{"TipoPrescripcion", sentencia("463", "Igual a...", {"--valor1", "Óptica"}),
                      "", ""}),
    NombreCaso());

struct CasoRechazo {
    const char* nombre;
    QStringList args;
};

void PrintTo(const CasoRechazo& c, std::ostream* os) {
    *os << c.nombre;
}

class Rechazos : public ::testing::TestWithParam<CasoRechazo> {};

TEST_P(Rechazos, PrintNothingAndExitWithTwo) {
    const Salida s = ejecutar(GetParam().args);
    EXPECT_EQ(s.estado, 2);
    EXPECT_TRUE(s.out.isEmpty()) << qPrintable(s.out);
    EXPECT_TRUE(s.err.startsWith(quill::fragmentErrorMessage() + QLatin1Char('\n')))
        << qPrintable(s.err);
}

INSTANTIATE_TEST_SUITE_P(
    Sentencia, Rechazos,
    ::testing::Values(
        CasoRechazo{"NumeroConSql", sentencia("0", "Igual a...", {"--valor1", "1 OR 1=1"})},
        CasoRechazo{"NumeroQueCierraParentesis",
                    sentencia("0", "Igual a...", {"--valor1", "1) OR (PACIENTE.LICENCIA <> 0"})},
        CasoRechazo{"FechaImposible", sentencia("13", "Igual a...", {"--valor1", "31/02/2000"})},
        CasoRechazo{"IdNoEntero", sentencia("11", "Igual a...", {"--ids", "1;2.5"})},
        CasoRechazo{"IdConSql", sentencia("5", "Igual a...", {"--ids", "1) OR (1=1"})},
        CasoRechazo{"EdadNoNumerica", sentencia("24", "Igual a...", {"--valor1", "cuarenta"})}),
    NombreCaso());

struct CasoUso {
    const char* nombre;
    QStringList args;
    const char* enErrores;
};

void PrintTo(const CasoUso& c, std::ostream* os) {
    *os << c.nombre;
}

class Uso : public ::testing::TestWithParam<CasoUso> {};

TEST_P(Uso, IsRefusedWithOne) {
    const CasoUso& c = GetParam();
    const Salida s = ejecutar(c.args);
    EXPECT_EQ(s.estado, 1);
    EXPECT_TRUE(s.out.isEmpty());
    EXPECT_TRUE(s.err.contains(QString::fromUtf8(c.enErrores))) << qPrintable(s.err);
}

INSTANTIATE_TEST_SUITE_P(
    Sentencia, Uso,
    ::testing::Values(
        CasoUso{"SinArgumentos", {}, "Uso: listado"},
        CasoUso{"OrdenDesconocida", {"imprimir"}, "Orden desconocida: 'imprimir'"},
        CasoUso{"OpcionDesconocida", sentencia("2", "Vacío", {"--valor3", "x"}),
                "Opción desconocida: '--valor3'"},
        CasoUso{"OpcionRepetida", sentencia("2", "Vacío", {"--id", "3"}),
                "La opción '--id' aparece más de una vez"},
        CasoUso{"FaltaValor", sentencia("2", "Igual a...", {"--valor1"}),
                "Falta el valor de la opción '--valor1'"},
        CasoUso{"FaltaOperador",
                {"sentencia", "--id", "2"},
                "Falta la opción obligatoria '--condicion'"},
        CasoUso{"OperadorDesconocido", sentencia("2", "Igual", {"--valor1", "x"}),
                "Operador desconocido: 'Igual'"},
        CasoUso{"IdNoNumerico", sentencia("dos", "Vacío"), "debe ser un número: 'dos'"},
        CasoUso{"TipoListadoFueraDeRango", sentencia("501", "Vacío", {"--tipo-listado", "7"}),
                "'--tipo-listado'"},
        CasoUso{"CodigoPostalSinBase", sentencia("4", "Igual a...", {"--valor1", "28000"}),
                "indique '--db'"},
        CasoUso{"ProvinciaSinBase", sentencia("6", "Igual a...", {"--ids", "28"}),
                "indique '--db'"},
        CasoUso{"BaseInexistente", sentencia("2", "Vacío", {"--db", "/no/existe/tienda.fdb"}),
                "/no/existe/tienda.fdb"}),
    NombreCaso());

TEST(Ayuda, GeneralAndPerCommand) {
    Salida s = ejecutar({"--ayuda"});
    EXPECT_EQ(s.estado, 0);
    EXPECT_TRUE(s.out.startsWith(QStringLiteral("Uso: listado <orden>")));
    EXPECT_TRUE(s.out.contains(QStringLiteral("  sentencia   ")));

    s = ejecutar({"sentencia", "--ayuda"});
    EXPECT_EQ(s.estado, 0);
    for (const char* opcion : {"--id ID", "--condicion OPERADOR", "--valor1", "--valor2", "--ids",
                               "--db BASE", "--usuario", "--clave"})
        EXPECT_TRUE(s.out.contains(QString::fromUtf8(opcion))) << opcion;
}

// The program itself: what a script sees (bytes, UTF-8, exit status).
class Programa : public ::testing::Test {
protected:
    static QString programa() { return quilltest::buildDir() + QStringLiteral("/bin/listado"); }

    static std::tuple<int, QByteArray, QByteArray> correr(const QStringList& args) {
        QProcess p;
        p.start(programa(), args);
        if (!p.waitForFinished(30000)) return {-1, {}, {}};
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                p.readAllStandardOutput(), p.readAllStandardError()};
    }
};

TEST_F(Programa, WritesTheFragmentAsUtf8WithItsBlanks) {
    auto [estado, out, err] = correr(sentencia("1", "Igual a...", {"--valor1", "Núñez"}));
    EXPECT_EQ(estado, 0) << err.constData();
    EXPECT_EQ(out, QByteArray("UPPER(PACIENTE.APELLIDOS)  = 'N\xc3\x9a\xc3\x91"
                              "EZ'\nTablas: PACIENTE\n"));

    std::tie(estado, out, err) = correr(sentencia("2", "Vacío"));
    EXPECT_EQ(estado, 0);
    EXPECT_EQ(out, QByteArray("UPPER(PACIENTE.NOMBRE)   = ''\nTablas: PACIENTE\n"));
}

TEST_F(Programa, ExitStatusTellsRefusalFromMistake) {
    auto [estado, out, err] = correr(sentencia("0", "Igual a...", {"--valor1", "1 OR 1=1"}));
    EXPECT_EQ(estado, 2);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(QString::fromUtf8(err).trimmed(), quill::fragmentErrorMessage());

    std::tie(estado, out, err) = correr({"sentencia", "--id", "2"});
    EXPECT_EQ(estado, 1);
    EXPECT_TRUE(out.isEmpty());

    std::tie(estado, out, err) = correr({"--ayuda"});
    EXPECT_EQ(estado, 0);
    EXPECT_TRUE(out.startsWith("Uso: listado"));
}

} // namespace
