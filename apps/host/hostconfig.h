#pragma once

// The host program's configuration: the workstation file Quillmore.ini (section RUTAS and a few
// values of its own) and the current user's mail settings, gathered into the objects the
// parameter block hands to the listing module.

#include "host/bloque.h"

#include <QString>

namespace quill {

// Folders of section RUTAS.
struct HostPaths {
    QString programa;  // PROGRAMA: libraries loaded by name (pickers), Quillmore.ini itself
    QString filtros;   // FILTROS: saved filters
    QString paquetes;  // PAQUETES: Filtros.xml, FilModelo.xml
    QString formatos;  // FORMATOS: label formats
    QString librerias; // LIBRERIAS: the label printing library
};

// Reads the workstation file; every missing value is written with its default first, so a first
// run leaves a complete file behind. Defaults: the library folder for PROGRAMA and LIBRERIAS,
// folders under the user's data directory for FILTROS and FORMATOS (created), the data folder
// shipped with the build for PAQUETES.
HostPaths loadWorkstationPaths(const QString& iniPath, const QString& libDir);

// The whole workstation object: folders, the workstation number and filter value (section
// PUESTO), the mail settings of "\Software\Quillmore\3.0\CorreoE" and the printers of
// "\Software\Quillmore\3.0\Impresoras".
TConfPuesto loadWorkstation(const QString& iniPath, const QString& libDir);

// The application object: name, version, label copies and the support contact (section SOPORTE).
TAplicacion loadApplication(const QString& iniPath);

} // namespace quill
