// listado: command-line runner of the patient listings (see comandos.h).

#include "comandos.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    // Without TZ the C library reads the zone file again on every local-time conversion, which
    // every date of a result table makes: name the system's zone once instead.
    if (!std::getenv("TZ")) setenv("TZ", ":/etc/localtime", 1);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("listado"));
    QTextStream salida(stdout);
    QTextStream errores(stderr);
    const int estado = quill::cli::EjecutarListado(app.arguments().mid(1), salida, errores);
    salida.flush();
    errores.flush();
    return estado;
}
