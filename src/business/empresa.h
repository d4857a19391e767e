#pragma once

// The shop record (EMPRESA) that printed reports show in their footer, and the notes kept on a
// patient (POBSERVACIONES).

#include <QString>

namespace quill {

struct DatosEmpresa {
    QString nombre;
    QString nif;
    QString direccion;
    QString codigoPostal; // five digits
    QString localidad;
    QString provincia;
    QString telefono;
    QString fax;
    QString email;
};

// The shop's first record with its locality; empty text, or the reason in Spanish. A database
// without a shop record gives empty data and no error.
QString LeerDatosEmpresa(const QString& conexion, DatosEmpresa& datos);

// The patient's notes, several records joined by line breaks; empty text, or the reason.
QString LeerObservacionesPaciente(const QString& conexion, int idPaciente, QString& notas);

} // namespace quill
