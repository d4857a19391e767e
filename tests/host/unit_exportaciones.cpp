// The module library as the host sees it: exactly two exported functions, and the host program's
// refusal of a database it cannot open.

#include "sql/database.h"
#include "testsupport.h"
#include "tiendaprueba.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>

#include <csignal>

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

TEST(Programa, OpensTheListingAndClosesCleanlyOnSigterm) {
    tiendaprueba::Tienda tienda;
    ASSERT_EQ(tienda.crear(QStringLiteral("programa")), QString());
    tienda.cerrar(); // the program opens the file itself
    auto carpeta = quilltest::scratch();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), carpeta->path());
    env.insert(QStringLiteral("XDG_DATA_HOME"), carpeta->path());
    const QString ini = carpeta->filePath(QStringLiteral("Quillmore.ini"));
    // What a first run writes there is checked in gui_anfitrion.cpp.

    QProcess p;
    p.setProcessEnvironment(env);
    p.start(programa(), {QStringLiteral("--db"), tienda.ruta(), QStringLiteral("--ini"), ini,
                         QStringLiteral("--particion"), QStringLiteral("2")});
    ASSERT_TRUE(p.waitForStarted(10000));
    // The signals are blocked from the first line of main: a TERM sent early waits for the loop.
    QThread::msleep(1500);
    ::kill(pid_t(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(60000)) << "quillmore did not end after SIGTERM";
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();

    // The listing window was open and wrote its entry when the program closed it.
    ASSERT_EQ(quill::openDatabase(QStringLiteral("programa-despues"), {tienda.ruta()}), QString());
    {
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("programa-despues")));
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT COUNT(*), MIN(VENTANA) FROM ACCESO")));
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(0).toInt(), 1);
        EXPECT_EQ(q.value(1).toInt(), 4013);
    }
    quill::closeDatabase(QStringLiteral("programa-despues"));
}
