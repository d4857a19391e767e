#pragma once

// The label formats of the workstation: the formats folder and the label-library folder
// (Quillmore.ini, section RUTAS, FORMATOS and LIBRERIAS), a format's path from its name, and what
// the options dialog and the format browser ask of a format file.

#include <QString>

namespace quill {

struct TConfPuesto;

// The format name as it is stored: a name typed with a folder keeps only its file name.
QString NombreFormato(const QString& escrito);
// The folder + "/" + the name + ".fqm"; ".fqm" is appended even when the name ends in it.
QString RutaFormato(const QString& carpeta, const QString& nombre);

// The workstation's folders; "-999" (a missing value of the workstation file) when unknown.
QString CarpetaFormatos(const TConfPuesto* puesto);
QString CarpetaLibrerias(const TConfPuesto* puesto);

// Whether a format file can be printed: a standard document, or else a readable EPL/2 format.
bool FormatoValido(const QString& ruta);

// What the browser shows of a format file.
struct InformacionFormato {
    bool valido = false;
    QString tipo; // "Formato estandar", "Formato EPL/2" or "<Documento no válido>"
    QString papel, etiqueta, columnas, filas;
};
InformacionFormato LeerInformacionFormato(const QString& ruta);

// The formats shipped with the program, copied into a formats folder that has none yet, so a
// new workstation prints at once. Returns how many were copied.
int InstalarFormatosIniciales(const QString& carpeta, const QString& origen);

} // namespace quill
