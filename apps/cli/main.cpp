// listado: command-line runner of the patient listings (see comandos.h).

#include "comandos.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("listado"));
    QTextStream salida(stdout);
    QTextStream errores(stderr);
    const int estado = quill::cli::EjecutarListado(app.arguments().mid(1), salida, errores);
    salida.flush();
    errores.flush();
    return estado;
}
