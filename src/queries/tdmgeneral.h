#pragma once

// Data module of the General listing: turns the General condition rows into one statement
// (sentenciageneral.h), runs it on the host's connection and fills the result tables the
// outputs read: memPacientes (export grid, reports), memPacientesFecha (labels with the last
// visit) and memSMS (SMS).
//
// One run: AsignarParticion -> Tablas and the condition table set -> GenerarSQL (or
// GenerarSQLConteo + ContarPacientes) -> the consumer asks for a table -> CerrarListado.

#include "queries/modulopacientes.h"
#include "queries/sentenciageneral.h"

#include <QStringList>

namespace quill {
class MemTable;
} // namespace quill

class TdmGeneral : public quill::ModuloPacientes {
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
    // The count form: one column of patient ids (ContarPacientes counts them).
    qint16 GenerarSQLConteo(bool todas) override;

    // Fill the result tables from the last run, one row per patient (a patient listed twice by
    // the statement is added once), after the lens and prescription filters; TablaSMS (the
    // base's) takes only patients whose mobile number passes the mobile check.
    void CrearTablaPaciente();
    // With the patient's latest record date (BUSCAR_ULTIMA_FICHA) in Fecha.
    void CrearTablaPacientesFecha();

    // "Any" conditions with tables of their own run as EXISTS over those tables (see
    // sentenciageneral.h). Off only to compare with the one-FROM text.
    bool SepararCualquiera = true;

    // What the condition walk of the last run found.
    const quill::AnalisisGeneral& Analisis() const { return m_analisis; }

    quill::MemTable* memPacientes;
    quill::MemTable* memPacientesFecha;

private:
    quill::DatosSentenciaGeneral datos();
    void vaciarTablas();

    quill::AnalisisGeneral m_analisis;
};
