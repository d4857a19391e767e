#pragma once

// Data module of the Pending orders listing: patients with orders not yet delivered (sales
// documents of type 2) and what they still owe on them. The statement lists one row per order
// (sentenciaencargo.h); the run folds them into one memEncargosPendientes row per patient with
// the debt in both currencies, then applies the debt condition (552) to the folded rows.
//
// One run: AsignarParticion and AsignarParametros -> Tablas and the condition table set ->
// GenerarSQL (memEncargosPendientes filled) -> the consumer reads the table, CrearTablaSMS, or
// AbrirDetalle per patient for the detailed report.

#include "queries/listingmodule.h"
#include "queries/sentenciaencargo.h"

#include <QStringList>

#include <memory>

namespace quill {
class MemTable;
class TLstUtil;
} // namespace quill

class QSqlQuery;

class TdmEncargo : public quill::ListingModule {
    Q_OBJECT
public:
    explicit TdmEncargo(QObject* owner = nullptr);
    ~TdmEncargo() override;

    // The debt condition as the window set it when a row 552 was entered (cleared with the
    // grid). It applies only while the condition table holds a row 552.
    quill::CondicionDeuda Deuda;
    void AsignarParametros(const quill::ParametrosListado& parametros) override;

    // The orders statement, without running it. Throws quill::Error when the partition is not an
    // integer.
    QString ConstruirSQL(qint16 orden, qint16 sentido, bool todas) override;
    // The orders statement, then the detail statement (parameter :ID_PACIENTE).
    QStringList ConstruirSentencias(qint16 orden, qint16 sentido, bool todas) override;

    // Runs the statement and fills memEncargosPendientes: 0, -302 (no order, or no patient left
    // after the debt condition) or -303. memSMS is emptied.
    qint16 GenerarSQL(qint16 orden, qint16 sentido, bool todas) override;
    qint16 GenerarSQLEncargo(qint16 orden, qint16 sentido, bool todas) {
        return GenerarSQL(orden, sentido, todas);
    }
    // The count runs the listing itself (order 0, direction 0): the patients are what it folds.
    qint16 GenerarSQLConteo(bool todas) override;
    // Rows of memEncargosPendientes: one per patient.
    double ContarPacientes() override;

    // One memSMS row per patient of memEncargosPendientes whose mobile passes the mobile check.
    // comprobar false: every non-empty mobile as stored, for the mass SMS, which checks them itself.
    void CrearTablaSMS(bool comprobar = true);

    // The pending orders of one patient (the detail statement), run and ready to walk with
    // next(); null when the database refused it (dstDetalle()->lastError() says why).
    QSqlQuery* AbrirDetalle(int idPaciente);
    QSqlQuery* dstDetalle() const { return m_detalle.get(); }

    quill::MemTable* memEncargosPendientes;
    quill::MemTable* memSMS;

    // The listing utilities of the bound connection (localities, mobile check), made on first
    // use. Tests may give their own.
    quill::TLstUtil& Util();
    void setUtil(std::unique_ptr<quill::TLstUtil> util);

private:
    quill::DatosSentenciaEncargo datos() const;
    bool conDeuda() const;
    void plegar();

    std::unique_ptr<quill::TLstUtil> m_util;
    QString m_utilConexion;
    std::unique_ptr<QSqlQuery> m_detalle;
    QString m_detalleConexion;
    bool m_detallePreparado = false;
};
