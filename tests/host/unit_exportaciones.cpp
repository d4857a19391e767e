// The module library as the host sees it: exactly two exported functions, and the host program's
// refusal of what it cannot open and its clean end on SIGTERM.

#include "sql/database.h"
#include "tiendaprueba.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QThread>

#include <csignal>

namespace {

QString programa() {
    return quilltest::buildDir() + QStringLiteral("/bin/quillmore");
}

// Offscreen, with its settings in a scratch folder.
QProcessEnvironment entorno(const QString& carpeta) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), carpeta);
    env.insert(QStringLiteral("XDG_DATA_HOME"), carpeta);
    return env;
}

} // namespace

TEST(Exportaciones, OnlyTheTwoEntryPointsAreExportedFunctions) {
    const QString modulo = quilltest::buildDir() + QStringLiteral("/lib/liblistadopacientes.so");
    QProcess nm;
    nm.start(QStringLiteral("nm"), {QStringLiteral("-D"), QStringLiteral("--defined-only"), modulo});
    ASSERT_TRUE(nm.waitForFinished(60000));
    ASSERT_EQ(nm.exitCode(), 0) << modulo.toStdString();
    QSet<QString> funciones;
    // "0000000000012345 T Cargar_Dll": T/t/W/w/i are code.
    const QString salida = QString::fromLocal8Bit(nm.readAllStandardOutput());
    for (const QString& l : salida.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QStringList campos = l.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (campos.size() == 3 && QStringLiteral("TtWwi").contains(campos[1]))
            funciones.insert(campos[2]);
    }
    EXPECT_EQ(funciones,
              (QSet<QString>{QStringLiteral("Cargar_Dll"), QStringLiteral("Liberar_Dll")}))
        << salida.toStdString();
}

TEST(Programa, RefusesWhatItCannotOpenWithStatusOne) {
    auto carpeta = quilltest::scratch();
    const struct {
        QStringList args;
        const char* texto;
    } casos[] = {
        {{QStringLiteral("--db"), carpeta->filePath(QStringLiteral("no-existe.fdb"))},
         "no-existe.fdb"},
        {{QStringLiteral("--db"), carpeta->filePath(QStringLiteral("x.fdb")),
          QStringLiteral("--particion"), QStringLiteral("uno")},
         "La partición debe ser un número entero"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.args.join(QLatin1Char(' ')).toStdString());
        QProcess p;
        p.setProcessEnvironment(entorno(carpeta->path()));
        p.start(programa(), c.args);
        ASSERT_TRUE(p.waitForFinished(60000));
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        EXPECT_EQ(p.exitCode(), 1) << err.toStdString();
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.texto))) << err.toStdString();
    }
}

TEST(Programa, OpensTheListingAndClosesCleanlyOnSigterm) {
    tiendaprueba::Tienda tienda;
    ASSERT_EQ(tienda.crear(QStringLiteral("programa")), QString());
    tienda.cerrar(); // the program opens the file itself
    auto carpeta = quilltest::scratch();
    QProcess p;
    p.setProcessEnvironment(entorno(carpeta->path()));
    p.start(programa(), {QStringLiteral("--db"), tienda.ruta(), QStringLiteral("--ini"),
                         carpeta->filePath(QStringLiteral("Quillmore.ini")),
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
