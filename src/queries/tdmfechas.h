#pragma once

// Data module of the Dates listing: patients selected by dates (birthdays, visits, record,
// revision, cleaning, expiry, replacement, guarantee, examination, fitting and audiogram dates).
// Turns the Dates condition rows into one statement (sentenciafechas.h), runs it on the host's
// connection and fills the tables the outputs read: memPacientesFecha (export, labels), with the
// dates the conditions ask for, and memSMS (SMS).
//
// One run: the partition, the table list, the condition table and the variant (the action code)
// set -> GenerarSQL (or GenerarSQLConteo + ContarPacientes) -> the consumer asks for a table.
// The normal statement lists patients of every partition; the record-family paths keep to the
// host's.

#include "queries/modulopacientes.h"
#include "queries/sentenciafechas.h"

#include <QStringList>

namespace quill {
class MemTable;
} // namespace quill

class TdmFechas : public quill::ModuloPacientes {
    Q_OBJECT
public:
    explicit TdmFechas(QObject* owner = nullptr);
    ~TdmFechas() override;

    // Family codes of the record-type condition ("0" hearing aids ... "4" low vision).
    QStringList Familias;

    // Families of the record-type row (50).
    void AsignarParametros(const quill::ParametrosListado& parametros) override;

    // The statement a run would execute, without running it. Throws quill::Error when the
    // partition is not an integer.
    QString ConstruirSQL(qint16 orden, qint16 sentido, bool todas) override;
    QString ConstruirSQLConteo(bool todas);

    // Analyses the conditions, runs the statement and answers 0, -302 or -303 (kept in
    // Resultado). The result tables are emptied first; with the last-visit condition (Id 56)
    // memPacientesFecha is filled with the latest record dates after a run that found rows.
    qint16 GenerarSQL(qint16 orden, qint16 sentido, bool todas) override;
    // The count form: one column of patient ids (ContarPacientes counts them), the same
    // patients as the listing.
    qint16 GenerarSQLConteo(bool todas) override;

    // Fills memPacientesFecha from the last run, one row per patient (recognised by its id:
    // codes repeat across partitions), after the lens and prescription filters, with the date
    // of every condition that names one.
    void CrearTablaPaciente();
    // The last-visit table: the patient's latest record date (BUSCAR_ULTIMA_FICHA) in Fecha,
    // then the date columns the conditions added; the locality texts only for variant 3
    // (export).
    void CrearTablaPacientesFecha();

    // "Any" conditions with tables of their own run as EXISTS over those tables (see
    // sentenciageneral.h). Off only to compare with the one-FROM text.
    bool SepararCualquiera = true;

    // What the condition walk of the last run found.
    const quill::AnalisisFechas& Analisis() const { return m_analisis; }

    quill::MemTable* memPacientesFecha;

private:
    quill::DatosSentenciaGeneral datos();
    qint16 ejecutar(const QString& sentencia, bool tablaUltimaVisita);

    quill::AnalisisFechas m_analisis;
};
