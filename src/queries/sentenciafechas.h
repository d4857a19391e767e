#pragma once

// The statement of the Dates listing, assembled from the condition rows without touching the
// database. It is the General statement (sentenciageneral.h) with its own patient columns (the
// day and month of the birth, first-visit and last-visit dates at positions 9 to 14), the date
// columns that the conditions ask for, no partition filter on the normal path (the record-family
// paths keep to the host's partition), and its own orders by date.

#include "queries/sentenciageneral.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quill {

// A date a condition row names: the result column that holds it and the memPacientesFecha
// field it is copied to.
struct FechaCondicion {
    QString columna; // FECHA, FECHA_REVISION, ...
    QString campo;   // Fecha, FechaRevision, ...
};

// What the condition walk of a Dates run learns from the rows.
struct AnalisisFechas {
    AnalisisGeneral general;
    // A day-and-month condition on the date (424/425, 421/422, 427/428): orders 22, 23 and 24
    // then sort by day, then month.
    bool diaMesNacimiento = false;
    bool diaMesPrimeraVisita = false;
    bool diaMesUltimaVisita = false;
    // The dates whose column a condition adds (the date-present flags), each field once, in the
    // order first met.
    QList<FechaCondicion> fechasPresentes;
};

// Walks the rows in order (rows without a fragment take no part). `familiasTipoFicha` as for
// AnalizarCondicionesGeneral.
AnalisisFechas AnalizarCondicionesFechas(const QList<FilaCondicion>& filas,
                                         const QStringList& familiasTipoFicha);

// The date of a condition `Id`; empty texts for a row that names none. Besides the rows that add
// a date column, the record dates 433, 434 and 435 name the record-family columns.
FechaCondicion FechaDeCondicion(int id);

// The date column a condition `Id` adds to the normal path (empty for other rows).
ColumnaCondicion ColumnaFechaCondicion(int id);

// The Dates profile of the shared assembly; the day-and-month flags choose the orders.
class PerfilFechas final : public PerfilSentencia {
public:
    explicit PerfilFechas(const AnalisisFechas& analisis) : m_a(analisis) {}
    QString Select() const override;
    QString SelectDistinto() const override;
    QString GroupBy() const override;
    bool ParticionNormal() const override { return false; }
    ColumnaCondicion Columna(const FilaCondicion& fila) const override;
    // Each family's dates under their own names, at one place in every member: the columns
    // are read by name, and a member without a date gets an empty one.
    QList<ColumnasMiembro> ColumnasUnion(const QList<MiembroUnion>& miembros) const override;
    QString Orden(qint16 orden, qint16 sentido, FormaOrden forma) const override;

private:
    const AnalisisFechas& m_a;
};

// The statement, on one line (datos.analisis is analisis.general). Throws quill::Error when the
// partition is not an integer.
QString GenerarSentenciaFechas(const DatosSentenciaGeneral& datos, const AnalisisFechas& analisis,
                               FormaSentencia forma, qint16 orden, qint16 sentido, bool todas);

} // namespace quill
