// `listado sentencia` without a database: what a script sees for a built fragment, a refused
// value and a command-line mistake (exit status 0, 2 or 1), in-process and from the program.

#include "comandos.h"

#include "sql/valores.h"
#include "testsupport.h"

#include <QProcess>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

QStringList sentencia(const char* id, const char* operador, const QStringList& resto = {}) {
    return QStringList{"sentencia", "--id", id, "--condicion", operador} + resto;
}

TEST(Sentencia, PrintsTheFragmentOrSaysWhyNot) {
    const QString rechazo = QStringLiteral("«1 OR 1=1» no es un número válido\n");
    struct Caso {
        const char* nombre;
        QStringList args;
        int estado;
        QString out; // the whole standard output
        QString err; // in standard error
    };
    const Caso casos[] = {
        {"a second table, a quote", sentencia("23", "Igual a...", {"--valor1", "o'brien"}), 0,
         "PACIENTE.ID_PACIENTE = POBSERVACIONES.ID_PACIENTE And "
         "UPPER(POBSERVACIONES.OBSERVACIONES)  like 'O''BRIEN__'\nTablas: POBSERVACIONES, "
         "PACIENTE\n",
         ""},
        {"decimal comma in --opt=value", sentencia("17", "Menor que...", {"--valor1=1,5"}), 0,
         "PACIENTE.ULTIMO_DESCUENTO  < 1.5\nTablas: PACIENTE\n", ""},
        {"number with SQL", sentencia("0", "Igual a...", {"--valor1", "1 OR 1=1"}), 2, "", rechazo},
        {"no arguments", {}, 1, "", "Uso: listado"},
        {"missing operator",
         {"sentencia", "--id", "2"},
         1,
         "",
         "Falta la opción obligatoria '--condicion'"},
        {"postal code needs the database", sentencia("4", "Igual a...", {"--valor1", "28000"}), 1,
         "", "indique '--db'"},
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

// The program itself: UTF-8 bytes on stdout and the exit statuses a script tells apart.
TEST(Programa, WritesUtf8AndExitsWithTheRightStatus) {
    const auto correr = [](const QStringList& args) {
        QProcess p;
        p.start(quilltest::buildDir() + QStringLiteral("/bin/listado"), args);
        EXPECT_TRUE(p.waitForFinished(30000));
        return std::make_tuple(p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError());
    };
    auto [estado, out, err] = correr(sentencia("1", "Igual a...", {"--valor1", "Núñez"}));
    EXPECT_EQ(estado, 0) << err.constData();
    EXPECT_EQ(out, QByteArray("UPPER(PACIENTE.APELLIDOS)  = 'N\xc3\x9a\xc3\x91"
                              "EZ'\nTablas: PACIENTE\n"));

    std::tie(estado, out, err) = correr(sentencia("0", "Igual a...", {"--valor1", "1 OR 1=1"}));
    EXPECT_EQ(estado, 2);
    EXPECT_EQ(QString::fromUtf8(err).trimmed(),
              QStringLiteral("«1 OR 1=1» no es un número válido"));
}

} // namespace
