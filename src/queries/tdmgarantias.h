#pragma once

// Data module of the Warranties listing: runs the guarantee-line statement
// (sentenciagarantias.h), groups its lines into records and keeps the complete ones, one
// memDatos row per record; memSMS holds the listed records' mobile numbers.
//
// One run: AsignarParticion, AsignarParametros and the condition table set -> GenerarSQL (the
// count runs the same) -> the consumer reads memDatos or asks for TablaSMS.

#include "queries/listingmodule.h"
#include "queries/sentenciagarantias.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <memory>
#include <vector>

namespace quill {
class MemTable;
class TLstUtil;

// Groups guarantee lines into records by their key (family and record id), whatever order the
// lines come in, and tells which records are complete. Records keep the order of their first
// line.
class AgrupadorFichas {
public:
    // `ojos`: the eye values of the eye condition (empty: none).
    explicit AgrupadorFichas(QList<int> ojos = {});

    // Counts one line; answers the index of its record. Nueva() tells whether the line opened
    // a new record (its first line).
    int Linea(int familia, qint64 idCabecera, int ojo);
    bool Nueva() const { return m_nueva; }
    int Fichas() const { return int(m_fichas.size()); }

    // Whether record `i` is listed: complete by its family's rule and, with an eye condition,
    // its last line in eye order (the highest eye) on a ticked eye.
    bool Completa(int i) const;
    // The listed records, in order.
    QList<int> Completas() const;

private:
    struct Ficha {
        int familia;
        int lineas;
        int ojoMayor;
    };
    QList<int> m_ojos;
    QHash<quint64, int> m_indice;
    std::vector<Ficha> m_fichas;
    bool m_nueva = false;
};

} // namespace quill

class TdmGarantias : public quill::ListingModule {
    Q_OBJECT
public:
    explicit TdmGarantias(QObject* owner = nullptr);
    ~TdmGarantias() override;

    // Handed over by the window: the families ticked in the record-type condition (3001) and
    // the eyes of the eye condition (3003). A run uses them only while their row is there.
    QStringList Familias;
    QStringList Ojos;
    void AsignarParametros(const quill::ParametrosListado& parametros) override;

    // The statement a run would execute. The all/any choice does not apply to this kind.
    // Throws quill::Error on a partition that is not an integer, a refused record-type or eye
    // condition, or families without guarantee lines.
    QString ConstruirSQL(qint16 orden, qint16 sentido, bool todas) override;

    // Runs the statement and groups its lines: 0 when a record is complete, -302 when none is,
    // -303 when the statement cannot be built or run (the reason in ErrorSQL()).
    qint16 GenerarSQL(qint16 orden, qint16 sentido, bool todas) override;
    // The count runs the listing itself: what it counts are complete records.
    qint16 GenerarSQLConteo(bool todas) override;
    // The complete records of the last run (the rows of memDatos).
    double ContarPacientes() override;

    // The completeness rule of the last run's eye condition, for the report's summary band.
    bool FichaCompleta(int familia, int lineas) const;

    // One row per listed record whose mobile number passes the mobile check.
    // comprobar false: every non-empty mobile as stored, for the mass SMS, which checks them itself.
    void TablaSMS(bool comprobar = true);

    quill::MemTable* memDatos;
    quill::MemTable* memSMS;

    // The listing utilities of the bound connection (localities, mobile check), created on
    // first use. Tests may give their own.
    quill::TLstUtil& Util();
    void setUtil(std::unique_ptr<quill::TLstUtil> util);

private:
    qint16 agrupar();
    void vaciarTablas();

    quill::SeleccionGarantias m_seleccion;
    std::unique_ptr<quill::TLstUtil> m_util;
    QString m_utilConexion;
};
