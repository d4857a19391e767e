// quillmore: the host program. Opens the shop database, shows the main window and opens the
// patient listing of the listing module inside it.
//
//   quillmore --db DATABASE [--usuario U --clave C] [--particion N] [--ini FILE]

#include "hostwindow.h"

#include "sql/database.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <csignal>
#include <cstdio>
#include <memory>

#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

// SIGTERM and SIGINT close the main window as the user would, so every open listing writes its
// log entry and the database is detached cleanly. Both signals are blocked in every thread
// (the database engine's threads must not be interrupted: a detach after that never ends) and
// read from a signal descriptor by the event loop.
int bloquearSenales() {
    sigset_t senales;
    sigemptyset(&senales);
    sigaddset(&senales, SIGTERM);
    sigaddset(&senales, SIGINT);
    if (pthread_sigmask(SIG_BLOCK, &senales, nullptr) != 0) return -1;
    return signalfd(-1, &senales, SFD_CLOEXEC | SFD_NONBLOCK);
}

bool hayPantalla() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// A message box when someone can see it, stderr otherwise.
void avisar(const QString& texto) {
    const QString plataforma = QGuiApplication::platformName();
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) &&
        plataforma != QLatin1String("offscreen") && plataforma != QLatin1String("minimal"))
        QMessageBox::critical(nullptr, QStringLiteral("ERROR"), texto);
    std::fprintf(stderr, "quillmore: %s\n", texto.toLocal8Bit().constData());
}

} // namespace

// The workstation file of this user: in the user's configuration folder, created on first use,
// never in the program's own (shared, maybe read-only) folders.
static QString ficheroPuestoPorDefecto() {
    const QString carpeta = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(carpeta);
    return QDir(carpeta).filePath(QStringLiteral("Quillmore.ini"));
}

int main(int argc, char** argv) {
#ifdef Q_OS_LINUX
    // While TZ is unset, glibc checks the time-zone file again on every local-time conversion,
    // and the database driver converts every timestamp it fetches: naming the same file once
    // keeps a long listing from spending most of its fetch there.
    if (qEnvironmentVariableIsEmpty("TZ")) qputenv("TZ", ":/etc/localtime");
#endif
    const bool pantalla = hayPantalla();
    // Before any thread exists, so that all of them inherit the mask.
    const int senales = pantalla ? bloquearSenales() : -1;
    std::unique_ptr<QCoreApplication> app;
    if (pantalla)
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quillmore"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillmore"));
    QCoreApplication::setApplicationVersion(QStringLiteral("3.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Quillmore: listados de pacientes"));
    parser.addHelpOption();
    const QCommandLineOption optDb(QStringLiteral("db"),
                                   QStringLiteral("Base de datos (ruta local o servidor:ruta)."),
                                   QStringLiteral("BASE"));
    const QCommandLineOption optUsuario(QStringLiteral("usuario"),
                                        QStringLiteral("Usuario de la base de datos."),
                                        QStringLiteral("U"), QStringLiteral("SYSDBA"));
    const QCommandLineOption optClave(QStringLiteral("clave"), QStringLiteral("Clave del usuario."),
                                      QStringLiteral("C"));
    const QCommandLineOption optParticion(QStringLiteral("particion"),
                                          QStringLiteral("Partición de datos de la tienda."),
                                          QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption optIni(
        QStringLiteral("ini"),
        QStringLiteral(
            "Fichero del puesto (por defecto Quillmore.ini en la carpeta de configuración del "
            "usuario)."),
        QStringLiteral("FICHERO"));
    parser.addOptions({optDb, optUsuario, optClave, optParticion, optIni});
    parser.process(*app);

    if (!parser.isSet(optDb)) {
        avisar(QStringLiteral("Falta la base de datos: quillmore --db BASE [--usuario U --clave C] "
                              "[--particion N]"));
        return 1;
    }
    bool particionValida = false;
    const int particion = parser.value(optParticion).toInt(&particionValida);
    if (!particionValida) {
        avisar(QStringLiteral("La partición debe ser un número entero: %1")
                   .arg(parser.value(optParticion)));
        return 1;
    }

    const QString conexion = QStringLiteral("quillmore");
    quill::DbParams params;
    params.database = parser.value(optDb);
    params.user = parser.value(optUsuario);
    params.password = parser.value(optClave);
    const QString error = quill::openDatabase(conexion, params);
    if (!error.isEmpty()) {
        avisar(error);
        return 1;
    }
    if (!pantalla) {
        avisar(QStringLiteral("No hay pantalla (DISPLAY vacío): no se puede mostrar la ventana."));
        quill::closeDatabase(conexion);
        return 1;
    }

    const QString carpetaLib =
        QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../lib")).absolutePath();
    quill::HostOptions opciones;
    opciones.connectionName = conexion;
    opciones.partition = particion;
    opciones.libDir = carpetaLib;
    opciones.iniPath = parser.isSet(optIni) ? QFileInfo(parser.value(optIni)).absoluteFilePath()
                                            : ficheroPuestoPorDefecto();

    int salida = 0;
    {
        quill::HostWindow ventana(opciones);
        if (senales >= 0) {
            auto* aviso = new QSocketNotifier(senales, QSocketNotifier::Read, &ventana);
            QObject::connect(aviso, &QSocketNotifier::activated, &ventana, [&ventana, senales] {
                signalfd_siginfo info{};
                [[maybe_unused]] const ssize_t n = ::read(senales, &info, sizeof info);
                ventana.close();
            });
        }
        if (QScreen* s = QGuiApplication::primaryScreen())
            ventana.setGeometry(s->availableGeometry());
        ventana.show();
        const QString fallo = ventana.loadModule();
        if (!fallo.isEmpty())
            avisar(fallo);
        else if (ventana.openListing() != 0)
            avisar(QStringLiteral("No se ha podido abrir el listado de pacientes."));
        salida = app->exec();
    }
    quill::closeDatabase(conexion);
    return salida;
}
