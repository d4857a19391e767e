#pragma once

// The statement of the Warranties listing, assembled from the condition rows without touching
// the database, and the rules that turn its rows into complete records.
//
// The statement is a UNION of one SELECT per record family over the guarantee lines (spectacle
// prescriptions, contact-lens fittings, hearing-aid fittings), each line with its record id and
// its eye (or ear). The "Acepta Correo" conditions (3000) restrict the patient inside the join;
// the guarantee-date conditions (3002) go in the member's WHERE, joined by AND (the all/any
// choice does not apply to this kind).

#include "conditions/condicion.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quill {

// Record families of a guarantee line, as the statement's first column numbers them.
namespace fichagarantia {
inline constexpr int Graduacion = 1;
inline constexpr int Lentillas = 2;
inline constexpr int Audifonos = 3;
} // namespace fichagarantia

struct DatosSentenciaGarantias {
    QList<FilaCondicion> filas;
    // Family codes ticked in the record-type condition (3001): "1" spectacles, "2" contact
    // lenses, "0" hearing aids; empty: the three families.
    QStringList familias;
    QString particion; // data partition, an integer inserted as given
};

// The families whose member the statement holds, in statement order (1, 2, 3). Codes of
// families without guarantee lines (optometry, low vision) add none.
QList<int> FamiliasGarantia(const QStringList& familias);

// The ORDER clause: 3 code, 18 full name, 21 address, 26 guarantee date, anything else code;
// then the record id and, for every order but 26, the guarantee date; the eye last.
QString OrdenGarantias(qint16 orden, qint16 sentido);

// The statement, on one line. Throws quill::Error when the partition is not an integer or no
// ticked family has guarantee lines.
QString GenerarSentenciaGarantias(const DatosSentenciaGarantias& datos, qint16 orden,
                                  qint16 sentido);

// Whether a record of `familia` with `lineas` guarantee lines is complete when `ojosElegidos`
// eyes were ticked in the eye condition (0: no eye condition). Spectacles are complete with
// both lenses and the frame (3 lines), or with at least as many lines as ticked eyes; lenses
// and hearing aids with both eyes, or with exactly the ticked eyes.
bool FichaCompleta(int familia, int lineas, int ojosElegidos);

// The eye values of the eye condition (3003) from the ids the window hands over: one entry per
// ticked value, whether the ids come one per item, or joined by line breaks or ";". Throws
// quill::Error on an id that is not a whole number.
QList<int> OjosGarantia(const QStringList& ids);

// What the record-type (3001) and eye (3003) conditions choose for a run.
struct SeleccionGarantias {
    QStringList familias; // empty: the three families
    QList<int> ojos;      // empty: no eye condition
};

// The families and eyes of the conditions present in `filas`: a condition that is not there
// chooses nothing, whatever was handed over for it earlier (its row may have been deleted). A
// row's own ids (Condicion1Ids) are used when it has them, else those the window handed over
// (`familias`, `ojos`); with several rows of one field, the last counts. Both fields choose
// the ticked values only: any operator but "Igual a..." is refused with quill::Error.
SeleccionGarantias LeerSeleccionGarantias(const QList<FilaCondicion>& filas,
                                          const QStringList& familias, const QStringList& ojos);

} // namespace quill
