#pragma once

// Data module of the Consumption listing: patients with the sum and the number of their sales
// and finished orders (sentenciaconsumo.h), chosen by conditions on the patient and on the
// amount and dates of the operations. It runs the main statement on the host's connection and
// fills the result tables the outputs read: memPacientes (export grid, reports) and memSMS
// (SMS). The detail statement (one patient's operations) is reopened per patient by the
// detailed report.
//
// One run: Tablas and the condition table set -> GenerarSQLConsumo (or GenerarSQLConteo +
// ContarPacientes) -> the consumer asks for a table or walks dstListado, reopening the detail
// with AbrirDetalle -> CerrarListado.

#include "queries/listingmodule.h"
#include "queries/sentenciaconsumo.h"

#include <memory>

namespace quill {
class MemTable;
class TLstUtil;
} // namespace quill

class QSqlQuery;

class TdmConsumo : public quill::ListingModule {
    Q_OBJECT
public:
    explicit TdmConsumo(QObject* owner = nullptr);
    ~TdmConsumo() override;

    // The main statement a run would execute, without running it.
    QString ConstruirSQL(qint16 orden, qint16 sentido, bool todas) override;
    // The main statement, then the detail statement with its :PACIENTE parameter.
    QStringList ConstruirSentencias(qint16 orden, qint16 sentido, bool todas) override;
    // The count form: the same patients, one column.
    QString ConstruirSQLConteo(bool todas);

    // Reads the consumption mode, runs the main statement and answers 0, -302 or -303 (kept in
    // Resultado); the detail statement is kept for AbrirDetalle. The result tables are emptied
    // first.
    qint16 GenerarSQLConsumo(qint16 orden, qint16 sentido, bool todas);
    qint16 GenerarSQL(qint16 orden, qint16 sentido, bool todas) override {
        return GenerarSQLConsumo(orden, sentido, todas);
    }
    qint16 GenerarSQLConteo(bool todas) override;
    // Patients of the last run (listing or count), each counted once by ID_PACIENTE: codes
    // repeat across data partitions.
    double ContarPacientes() override;

    // One memPacientes row per patient of the last run, with Consumo (the summed LIQUIDO_M1)
    // and NOperaciones.
    void CrearTablaPaciente();
    // One memSMS row per patient whose mobile number passes the kind's own check
    // (ComprobarMovilConsumo: a leading 6 only).
    // comprobar false: every non-empty mobile as stored, for the mass SMS, which checks them itself.
    void CrearTablaSMS(bool comprobar = true);

    // The consumption mode of the last run ("Total" or another text).
    const QString& Modo() const { return m_modo; }
    // The detail statement of the last run.
    const QString& SentenciaDetalle() const { return m_detalle; }
    // The operations of one patient (:PACIENTE = idPaciente), by date, positioned before the
    // first row; the same query reopened for each patient. Null before a run, or when the
    // database refuses it (the reason in ErrorDetalle).
    QSqlQuery* AbrirDetalle(int idPaciente);
    QSqlQuery* dstDetalle() const { return m_dstDetalle.get(); }
    const QString& ErrorDetalle() const { return m_errorDetalle; }
    void CerrarDetalle();

    quill::MemTable* memPacientes;
    quill::MemTable* memSMS;

    // The listing utilities of the bound connection (locality texts), created on first use.
    // Tests may give their own.
    quill::TLstUtil& Util();
    void setUtil(std::unique_ptr<quill::TLstUtil> util);

private:
    struct Columnas;
    template <typename Fn> void recorrer(Fn fila);
    void vaciarTablas();

    QString m_modo;
    QString m_detalle;
    QString m_detallePreparado;
    QString m_detalleConexion;
    QString m_errorDetalle;
    std::unique_ptr<QSqlQuery> m_dstDetalle;
    std::unique_ptr<quill::TLstUtil> m_util;
    QString m_utilConexion;
};
