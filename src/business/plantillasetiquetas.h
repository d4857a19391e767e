#pragma once

// Label sheets beyond the shipped formats: the label-template catalogue of the system (the XML
// files of Debian's glabels-data), read for the sheets of one paper size, and the writer of a
// standard sheet-label format with the standard address layout (name, address, postal code with
// locality, province), so a sheet chosen by its product code prints like a shipped format.

#include <QList>
#include <QString>

namespace quill {

// Geometry of a label sheet, in millimetres.
struct GeometriaHoja {
    double anchoPapel = 210, altoPapel = 297;
    double ancho = 0, alto = 0; // one label
    double x0 = 0, y0 = 0;      // first label's top-left corner
    double dx = 0, dy = 0;      // distance between label origins
    int columnas = 0, filas = 0;
};

struct PlantillaEtiqueta {
    QString marca;  // "Avery"
    QString codigo; // "L7160"
    QString descripcion;
    GeometriaHoja geometria;

    // The format name it gets in the formats folder: "Avery L7160".
    QString NombreFormato() const;
};

// Where Debian installs the catalogue.
QString CarpetaPlantillasSistema();

// The rectangular single-layout templates of one paper size ("A4") in every *-templates.xml
// file of the folder, sorted by brand and code; templates given as equivalent to another take
// its geometry. A missing folder gives an empty list.
QList<PlantillaEtiqueta> LeerPlantillasEtiquetas(const QString& carpeta = CarpetaPlantillasSistema(),
                                                 const QString& papel = QStringLiteral("A4"));

// A length of the catalogue ("70mm", "0.5in", "12pt", "1.2cm") in millimetres; -1 when unreadable.
double LongitudMilimetros(const QString& texto);

// Writes a standard sheet-label format (document type 34) with the standard address layout.
// Returns an empty text or why it could not be written (nothing is left behind then).
QString EscribirFormatoEstandar(const QString& fichero, const QString& nombre,
                                const GeometriaHoja& g);

} // namespace quill
