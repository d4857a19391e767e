// listado: command-line runner of the patient listings (see comandos.h).

#include "comandos.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[]) {
#ifdef Q_OS_LINUX
    // While TZ is unset, glibc checks the time-zone file again on every local-time conversion,
    // and the database driver converts every timestamp it fetches: naming the same file once
    // keeps a long listing from spending most of its fetch there.
    if (qEnvironmentVariableIsEmpty("TZ")) qputenv("TZ", ":/etc/localtime");
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("listado"));
    QTextStream salida(stdout);
    QTextStream errores(stderr);
    const int estado = quill::cli::EjecutarListado(app.arguments().mid(1), salida, errores);
    salida.flush();
    errores.flush();
    return estado;
}
