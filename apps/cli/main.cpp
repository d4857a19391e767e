// listado: command-line runner of the patient listings (see comandos.h).

#include "comandos.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
#ifdef Q_OS_LINUX
    // While TZ is unset, glibc checks the time-zone file again on every local-time conversion,
    // and the database driver converts every timestamp it fetches: naming the same file once
    // keeps a long listing from spending most of its fetch there.
    if (qEnvironmentVariableIsEmpty("TZ")) qputenv("TZ", ":/etc/localtime");
#endif
    // Printing and labels paint text: only those commands need the graphical engine (offscreen
    // without a display); the others stay console programs.
    const bool pinta =
        argc > 1 && (qstrcmp(argv[1], "imprimir") == 0 || qstrcmp(argv[1], "etiquetas") == 0);
    std::unique_ptr<QCoreApplication> aplicacion;
    if (pinta) {
        if (qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        aplicacion = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        aplicacion = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication::setApplicationName(QStringLiteral("listado"));
    QTextStream salida(stdout);
    QTextStream errores(stderr);
    const int estado =
        quill::cli::EjecutarListado(QCoreApplication::arguments().mid(1), salida, errores);
    salida.flush();
    errores.flush();
    return estado;
}
