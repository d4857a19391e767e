// `listado sentencia` without a database: what a script sees for a built fragment, a refused
// value and a command-line mistake (exit status 0, 2 or 1), in-process and from the program.

#include "comandos.h"

#include "sql/valores.h"
#include "testsupport.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <gtest/gtest.h>

namespace {

struct Salida {
    int estado = -1;
    QString out;
    QString err;
};

Salida ejecutar(const QStringList& args) {
    Salida s;
    QTextStream out(&s.out);
    QTextStream err(&s.err);
    s.estado = quill::cli::EjecutarListado(args, out, err);
    out.flush();
    err.flush();
    return s;
}

QStringList sentencia(const QString& id, const QString& operador, const QStringList& resto = {}) {
    return QStringList{QStringLiteral("sentencia"), QStringLiteral("--id"), id,
                       QStringLiteral("--condicion"), operador} +
           resto;
}

TEST(Sentencia, PrintsTheFragmentOrSaysWhyNot) {
    const QString fecha = QStringLiteral("CAST(PACIENTE.FECHA_NACIMIENTO AS DATE)");
    const QString rechazo = quill::fragmentErrorMessage() + QLatin1Char('\n');
    struct Caso {
        const char* nombre;
        QStringList args;
        int estado;
        QString out; // the whole standard output
        QString err; // in standard error
    };
    const Caso casos[] = {
        {"date", sentencia("13", "Mayor que...", {"--valor1", "31/12/2009"}), 0,
         fecha + " != '12/30/1899' AND " + fecha + " > '12/31/2009'\nTablas: PACIENTE\n", ""},
        // The leading and trailing blanks of a fragment are part of it.
        {"empty text", sentencia("2", "Vacío"), 0,
         "UPPER(PACIENTE.NOMBRE)   = ''\nTablas: PACIENTE\n", ""},
        {"ids with blanks", sentencia("11", "Distinto de...", {"--ids", " 1 ; 2 ;"}), 0,
         "(PACIENTE.SEXO  != 1 And PACIENTE.SEXO != 2)\nTablas: PACIENTE\n", ""},
        {"a second table, a quote", sentencia("23", "Igual a...", {"--valor1", "o'brien"}), 0,
         "PACIENTE.ID_PACIENTE = POBSERVACIONES.ID_PACIENTE And "
         "UPPER(POBSERVACIONES.OBSERVACIONES)  like 'O''BRIEN__'\nTablas: POBSERVACIONES, "
         "PACIENTE\n",
         ""},
        {"decimal comma in --opt=value", sentencia("17", "Menor que...", {"--valor1=1,5"}), 0,
         "PACIENTE.ULTIMO_DESCUENTO  < 1.5\nTablas: PACIENTE\n", ""},
        {"no catalogue entry", sentencia("3100", "Igual a...", {"--valor1", "1"}), 0,
         "\nTablas: \n", ""},
        {"number with SQL", sentencia("0", "Igual a...", {"--valor1", "1 OR 1=1"}), 2, "", rechazo},
        {"id with SQL", sentencia("5", "Igual a...", {"--ids", "1) OR (1=1"}), 2, "", rechazo},
        {"no arguments", {}, 1, "", "Uso: listado"},
        {"unknown command", {"imprimir"}, 1, "", "Orden desconocida: 'imprimir'"},
        {"unknown option", sentencia("2", "Vacío", {"--valor3", "x"}), 1, "",
         "Opción desconocida: '--valor3'"},
        {"repeated option", sentencia("2", "Vacío", {"--id", "3"}), 1, "",
         "La opción '--id' aparece más de una vez"},
        {"missing operator", {"sentencia", "--id", "2"}, 1, "",
         "Falta la opción obligatoria '--condicion'"},
        {"postal code needs the database", sentencia("4", "Igual a...", {"--valor1", "28000"}), 1,
         "", "indique '--db'"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        const Salida s = ejecutar(c.args);
        EXPECT_EQ(s.estado, c.estado) << qPrintable(s.err);
        EXPECT_EQ(s.out, c.out);
        EXPECT_TRUE(s.err.contains(c.err)) << qPrintable(s.err);
    }
}

// The program itself: UTF-8 bytes on stdout and the exit statuses a script tells apart.
TEST(Programa, WritesUtf8AndExitsWithTheRightStatus) {
    const auto correr = [](const QStringList& args) {
        QProcess p;
        p.start(quilltest::buildDir() + QStringLiteral("/bin/listado"), args);
        EXPECT_TRUE(p.waitForFinished(30000));
        return std::make_tuple(p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                               p.readAllStandardOutput(), p.readAllStandardError());
    };
    auto [estado, out, err] = correr(sentencia("1", "Igual a...", {"--valor1", "Núñez"}));
    EXPECT_EQ(estado, 0) << err.constData();
    EXPECT_EQ(out, QByteArray("UPPER(PACIENTE.APELLIDOS)  = 'N\xc3\x9a\xc3\x91"
                              "EZ'\nTablas: PACIENTE\n"));

    std::tie(estado, out, err) = correr(sentencia("0", "Igual a...", {"--valor1", "1 OR 1=1"}));
    EXPECT_EQ(estado, 2);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(QString::fromUtf8(err).trimmed(), quill::fragmentErrorMessage());

    std::tie(estado, out, err) = correr({"sentencia", "--id", "2"});
    EXPECT_EQ(estado, 1);
    EXPECT_TRUE(out.isEmpty());
}

} // namespace
