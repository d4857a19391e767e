// The module library as the host sees it: exactly two exported functions, and the host program's
// refusal of a database it cannot open.

#include "testsupport.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

namespace {

QString modulo() {
    return quilltest::buildDir() + QStringLiteral("/lib/liblistadopacientes.so");
}
QString programa() {
    return quilltest::buildDir() + QStringLiteral("/bin/quillmore");
}

struct Salida {
    int codigo = -1;
    QString out;
    QString err;
};

Salida ejecutar(const QString& prog, const QStringList& args,
                const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(prog, args);
    Salida s;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        s.err = QStringLiteral("no terminó");
        return s;
    }
    s.codigo = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    s.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    s.err = QString::fromLocal8Bit(p.readAllStandardError());
    return s;
}

} // namespace

TEST(Exportaciones, OnlyTheTwoEntryPointsAreExportedFunctions) {
    ASSERT_TRUE(QFileInfo::exists(modulo())) << modulo().toStdString();
    const Salida s = ejecutar(QStringLiteral("nm"),
                              {QStringLiteral("-D"), QStringLiteral("--defined-only"), modulo()});
    ASSERT_EQ(s.codigo, 0) << s.err.toStdString();
    QSet<QString> funciones;
    // "0000000000012345 T Cargar_Dll": T/t/W/w/i are code.
    static const QRegularExpression linea(QStringLiteral("^[0-9a-fA-F]+\\s+(\\S)\\s+(\\S+)$"));
    for (const QString& l : s.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const auto m = linea.match(l.trimmed());
        if (!m.hasMatch()) continue;
        if (QStringLiteral("TtWwi").contains(m.captured(1))) funciones.insert(m.captured(2));
    }
    EXPECT_EQ(funciones,
              (QSet<QString>{QStringLiteral("Cargar_Dll"), QStringLiteral("Liberar_Dll")}))
        << s.out.toStdString();
}

TEST(Programa, RefusesWhatItCannotOpenWithStatusOne) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    auto carpeta = quilltest::scratch();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), carpeta->path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), carpeta->path());
    struct Caso {
        QStringList args;
        const char* texto;
    };
    const Caso casos[] = {
        {{QStringLiteral("--db"), carpeta->filePath(QStringLiteral("no-existe.fdb"))},
         "no-existe.fdb"},
        {{}, "Falta la base de datos"},
        {{QStringLiteral("--db"), carpeta->filePath(QStringLiteral("x.fdb")),
          QStringLiteral("--particion"), QStringLiteral("uno")},
         "La partición debe ser un número entero"},
    };
    for (const Caso& c : casos) {
        const Salida s = ejecutar(programa(), c.args, env);
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        EXPECT_EQ(s.codigo, 1) << s.err.toStdString();
        EXPECT_TRUE(s.err.contains(QString::fromUtf8(c.texto))) << s.err.toStdString();
    }
}
