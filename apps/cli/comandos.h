#pragma once

// The commands of `listado`, the runner of the patient listings for support staff and scripts.
// Each command is one entry of Comandos(): name, help and the function that runs it. Adding a
// command (sql, conteo, exportar...) means writing its function and listing it there.

#include "opciones.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

namespace quill::cli {

// Exit statuses of the program.
inline constexpr int kSalidaCorrecta = 0;
inline constexpr int kSalidaUso = 1;     // wrong command line, or the database cannot be used
inline constexpr int kSalidaRechazo = 2; // the condition was refused (a value that cannot be SQL)

struct Comando {
    QString nombre;
    QString resumen;     // one line for the general help
    QString descripcion; // what it prints, for the command's help
    QList<DefinicionOpcion> opciones;
    std::function<int(const Opciones&, QTextStream& salida, QTextStream& errores)> ejecutar;
};

// Every command, in the order the help lists them.
QList<Comando> Comandos();

// Runs `listado` with the arguments that follow the program name; returns the exit status.
// "--ayuda" (or no argument) prints the general help; "<orden> --ayuda" the command's.
int EjecutarListado(const QStringList& argumentos, QTextStream& salida, QTextStream& errores);

QString AyudaGeneral();
QString AyudaComando(const Comando& comando);

// The options that name the shop database, shared by the commands that read it.
QList<DefinicionOpcion> OpcionesBaseDatos();

// Opens the database named by --db (with --usuario and --clave on a server) under the Qt
// connection name. Returns an empty text, or the reason in Spanish.
QString AbrirBaseDatos(const Opciones& opciones, const QString& conexion);

} // namespace quill::cli
