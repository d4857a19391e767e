#pragma once

// Data module of the General listing: turns the General condition rows into one statement
// (sentenciageneral.h), runs it on the host's connection and fills the result tables the
// outputs read: memPacientes (export grid, reports), memPacientesFecha (labels with the last
// visit) and memSMS (SMS).
//
// One run: AsignarParticion -> Tablas and the condition table set -> GenerarSQL (or
// GenerarSQLConteo + ContarPacientes) -> the consumer asks for a table -> CerrarListado.

#include "queries/listingmodule.h"
#include "queries/sentenciageneral.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QStringList>

#include <memory>

namespace quill {
class MemTable;
class TLstUtil;
} // namespace quill

class QSqlQuery;

class TdmGeneral : public quill::ListingModule {
    Q_OBJECT
public:
    explicit TdmGeneral(QObject* owner = nullptr);
    ~TdmGeneral() override;

    // Family codes of the record-type condition ("0" hearing aids ... "4" low vision).
    QStringList Familias;

    // Families of the record-type row (50).
    void AsignarParametros(const quill::ParametrosListado& parametros) override;

    // The statement a run would execute, without running it. Throws quill::Error when the
    // partition is not an integer.
    QString ConstruirSQL(qint16 orden, qint16 sentido, bool todas) override;
    QString ConstruirSQLConteo(bool todas);

    // Analyses the conditions, runs the statement and answers 0, -302 or -303 (kept in
    // Resultado). The three result tables are emptied first; with the last-visit condition
    // (Id 56) memPacientesFecha is filled after a run that found rows.
    qint16 GenerarSQL(qint16 orden, qint16 sentido, bool todas) override;
    // The count form: one column of patient ids.
    qint16 GenerarSQLConteo(bool todas) override;
    // Patients of the last count run that pass the lens and prescription filters.
    double ContarPacientes() override;

    // Fill the result tables from the last run, one row per patient (a patient listed twice by
    // the statement is added once), after the lens and prescription filters.
    void CrearTablaPaciente();
    // Only patients whose mobile number passes the mobile check.
    void TablaSMS();
    // With the patient's latest record date (BUSCAR_ULTIMA_FICHA) in Fecha.
    void CrearTablaPacientesFecha();

    // "Any" conditions with tables of their own run as EXISTS over those tables (see
    // sentenciageneral.h). Off only to compare with the one-FROM text.
    bool SepararCualquiera = true;

    // What the condition walk of the last run found.
    const quill::AnalisisGeneral& Analisis() const { return m_analisis; }

    quill::MemTable* memPacientes;
    quill::MemTable* memPacientesFecha;
    quill::MemTable* memSMS;

    // The listing utilities of the bound connection (localities, mobile check, record tests),
    // created on first use. Tests may give their own.
    quill::TLstUtil& Util();
    void setUtil(std::unique_ptr<quill::TLstUtil> util);

    // Up to this many patients the latest record dates come from BUSCAR_ULTIMA_FICHA, one call
    // per patient; above it from one grouped read per record table, which gives the same dates.
    int LimiteUltimaFichaPorPaciente = 2000;

    // The latest record date of each patient (the empty date 30/12/1899 when there is none).
    QHash<int, QDate> UltimasFichas(const QList<int>& pacientes);

private:
    struct Columnas;
    quill::DatosSentenciaGeneral datos();
    qint16 ejecutarRun(const QString& sentencia);
    // Walks the open result once, calling fila() for every patient that passes the filters.
    template <typename Fn> void recorrer(Fn fila);
    bool pasaFiltros(int idPaciente);
    void vaciarTablas();

    quill::AnalisisGeneral m_analisis;
    std::unique_ptr<quill::TLstUtil> m_util;
    QString m_utilConexion;
};
