#pragma once

// The statement of the General listing, assembled from the condition rows without touching the
// database: the condition analysis (record families, last-record mode, last-visit table, lens
// and prescription filters) and the statement texts of the normal path, the last-record (group)
// mode, the record-family paths and the count.
//
// "Any" (OR) conditions that need tables beyond the base of their statement are not joined in
// one FROM: that would multiply every patient by the rows of each table and list nobody when
// one table is empty. Each such condition becomes EXISTS (SELECT 1 FROM <its own tables> WHERE
// <its fragment>), OR'ed with the others inside the fixed filters, in one statement.

#include "queries/listingmodule.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace quill {

// Record family codes, as the record-type condition (Id 50) ticks them.
namespace familia {
inline const QString Audifonos = QStringLiteral("0");
inline const QString Graduaciones = QStringLiteral("1");
inline const QString Lentillas = QStringLiteral("2");
inline const QString Optometria = QStringLiteral("3");
inline const QString BajaVision = QStringLiteral("4");
} // namespace familia

// What the condition walk at the start of every run learns from the rows.
struct AnalisisGeneral {
    bool modoGrupo = false;         // 55 other than "Todas": only each patient's latest record
    bool tablaUltimaVisita = false; // 56: the last-visit table is filled after the run
    bool tipoFichaVisto = false;    // 50 met
    bool filtroLentillas = true;    // 95 "No": only patients without contact-lens records
    bool filtroGraduacion = true;   // 134 "No": only patients without prescriptions
    bool reiniciaResultado = false; // 55 met: the last result code goes back to 0
    QString operadorTipoFicha;      // operator of 50, or "Igual a..." set by a record condition
    QStringList familias;           // the record families of this run (empty: normal path)
};

// Walks the rows in order. `familiasTipoFicha` are the families ticked for the record-type
// condition (the window hands them over when that row is added); they become the run's families
// when a row 50 is met. A record date, guarantee, professional or agent condition met before
// any row 50 sets its own families instead.
AnalisisGeneral AnalizarCondicionesGeneral(const QList<FilaCondicion>& filas,
                                           const QStringList& familiasTipoFicha);

enum class FormaSentencia {
    Listado, // the patient columns, ordered by the order code
    Conteo,  // one column, ID_PACIENTE, ordered by it
};

struct DatosSentenciaGeneral {
    QList<FilaCondicion> filas;
    QStringList tablas; // the table list handed over by the window
    QString particion;  // data partition, an integer inserted as given
    AnalisisGeneral analisis;
    // "Any" conditions with tables of their own become EXISTS; off, the one-FROM text is kept
    // (to compare both on a database).
    bool separarCualquiera = true;
};

// The statement, on one line. Throws quill::Error when the partition is not an integer.
QString GenerarSentenciaGeneral(const DatosSentenciaGeneral& datos, FormaSentencia forma,
                                qint16 orden, qint16 sentido, bool todas);

// ---- Listings built on the General statement ----
//
// Another patient listing (the Dates kind) shares the General assembly: the condition walk, the
// joiner with its EXISTS for "any", the last-record slots and the record-family paths. What it
// sets on its own is given by a profile.

// A column a condition row adds after the patient columns (normal path only).
struct ColumnaCondicion {
    QString select;    // as appended to SELECT
    QString groupBy;   // as appended to GROUP BY in last-record mode
    QString expresion; // the value alone, e.g. CAST(MLENTILLA.FECHA AS DATE)
    QString nombre;    // its name in the result
    bool vacia() const { return select.isEmpty(); }
};

// One member of the record-family UNION: the family code and whether the guarantee detail
// table is joined.
struct MiembroUnion {
    QString codigo;
    bool garantia = false;
};

// The family columns of one UNION member, and their GROUP BY form in last-record mode.
struct ColumnasMiembro {
    QString select;
    QString groupBy;
};

// Where an ORDER clause goes: a plain SELECT, one grouped in last-record mode, or a UNION (which
// sorts only by column numbers).
enum class FormaOrden { Normal, Grupo, Union };

class PerfilSentencia {
public:
    virtual ~PerfilSentencia() = default;
    // The patient columns of the listing form, and of the patients without records.
    virtual QString Select() const = 0;
    virtual QString SelectDistinto() const = 0;
    // GROUP BY of the patient columns (last-record mode).
    virtual QString GroupBy() const = 0;
    // Whether the normal path keeps to the host's partition (the record-family paths always do).
    virtual bool ParticionNormal() const { return true; }
    // The column a condition row adds; empty for most rows.
    virtual ColumnaCondicion Columna(const FilaCondicion&) const { return {}; }
    // The family columns of each member, in member order; every member gets the same number of
    // columns of the same types.
    virtual QList<ColumnasMiembro> ColumnasUnion(const QList<MiembroUnion>& miembros) const = 0;
    virtual QString Orden(qint16 orden, qint16 sentido, FormaOrden forma) const;
};

// The General profile.
const PerfilSentencia& PerfilGeneral();

// The statement of a listing by its profile. Throws quill::Error when the partition is not an
// integer.
QString GenerarSentenciaPacientes(const PerfilSentencia& perfil, const DatosSentenciaGeneral& datos,
                                  FormaSentencia forma, qint16 orden, qint16 sentido, bool todas);

// The tables of `tablas` a fragment names (as "TABLA." after a character that cannot be part of
// a name), in list order.
QStringList TablasDeSentencia(const QString& sentencia, const QStringList& tablas);

} // namespace quill
