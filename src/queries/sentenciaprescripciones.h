#pragma once

// The statements of the prescription sheets, assembled from the condition rows without touching
// the database: one per record family (spectacle prescriptions, contact-lens fittings,
// hearing-aid fittings), each over PACIENTE and the family's record table aliased TABLA, with
// the deleted-patient filter, the join, the conditions and the record date as order. Patients
// of every data partition are listed. The all/any choice does not apply to this kind: every
// condition must hold.
//
// Also the two reads of a hearing-aid fitting's details (first note, devices per ear) and the
// names of the 66 audiogram columns.

#include "conditions/condicion.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace quill {

// The three families of prescription sheets, in the order a run builds them.
enum class FamiliaPrescripcion {
    Graduacion = 0, // spectacle prescriptions, MGRADUACION
    Lentilla = 1,   // contact-lens fittings, MLENTILLA
    Audifono = 2,   // hearing-aid fittings with their audiograms, MAUDIFONO
};
inline constexpr std::array<FamiliaPrescripcion, 3> kFamiliasPrescripcion = {
    FamiliaPrescripcion::Graduacion, FamiliaPrescripcion::Lentilla, FamiliaPrescripcion::Audifono};

struct DatosSentenciaPrescripciones {
    QList<FilaCondicion> filas;
    QStringList tablas; // the table list handed over by the window
};

// The statement of one family, on one line.
QString GenerarSentenciaPrescripciones(const DatosSentenciaPrescripciones& datos,
                                       FamiliaPrescripcion familia);
// The three, in family order.
QStringList GenerarSentenciasPrescripciones(const DatosSentenciaPrescripciones& datos);

// The result column names of a statement of this kind, in order: between SELECT and its FROM,
// each top-level item's alias, or its column name without the table. The sheets read their
// rows by these positions: asking the driver for the columns costs a catalogue query per
// decimal column.
QStringList NombresColumnas(const QString& sentencia);

// The record key column each family statement selects (ID_MGRADUACION, ID_MLENTILLA,
// ID_MAUDIFONO): a condition on a joined table (patient notes) may repeat a record.
QString ColumnaFicha(FamiliaPrescripcion familia);

// The notes and devices of hearing-aid fittings, with their own ids (the first of each
// fitting is the one with the lowest id). `fichas` says which fittings: a list of fitting ids
// (FichasPorId, ids read from the database, never user text) or the listing's own fittings
// (FichasDelListado), which the database finds without a list.
QString FichasPorId(const QList<qint64>& ids);
QString FichasDelListado(const DatosSentenciaPrescripciones& datos);
QString SentenciaObservacionesAudifono(const QString& fichas);
QString SentenciaAparatosAudifono(const QString& fichas);

// Ear codes of DAUDIFONO.OIDO and DLENTILLA.OJO.
inline constexpr int kOjoDerecho = 1;
inline constexpr int kOjoIzquierdo = 2;

// One audiogram value: the column of MAUDIFONO and the field of the hearing-aid sheet table.
struct ColumnaAudiograma {
    QString columna; // OD_AEREA_125 ...
    QString campo;   // ODAerea125 ...
};
// The 66 values in the field order of the sheet table: air, bone, threshold, each for the right
// ear then the left, each ear for 125 ... 8000 Hz.
const QList<ColumnaAudiograma>& ColumnasAudiograma();

} // namespace quill
