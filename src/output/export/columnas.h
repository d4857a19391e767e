#pragma once

// Export column sets: which fields of a result table a file shows, with which captions, and in
// which order its rows are written. One function per listing kind, named as the listing window
// names its steps; the window hands the result to the writers (exportwriters.h).
//
// A set's columns always come in the table's field order, whatever order they are asked in:
// the kinds' layouts are defined by their tables. Asking for a field the table lacks is a
// programming error and throws quill::Error.

#include "platform/memtable.h"

#include <QList>
#include <QString>

namespace quill {

struct ExportColumnSet {
    ColumnSet columns; // visible columns, in the table's field order
    QString sortField; // rows are written in ascending order of this field; empty: table order
};

// Keeps the asked columns in the table's field order (a field asked twice appears once, with
// its first caption) and checks that they and the sort field exist.
ExportColumnSet makeColumnSet(const MemTable& table, const ColumnSet& shown,
                              const QString& sortField);

// Condition ids are the `Id` values of the current condition table, read by the caller.

// General kind over `memPacientes`: the patient columns, plus birth date (13), last visit (15),
// first visit (14) and total bought (19) when a condition asks for them. Sorted by Apellidos.
ExportColumnSet ConfigurarGridExpListGeneral(const MemTable& memPacientes,
                                             const QList<double>& idsCondiciones);
// General kind over `memPacientesFecha`, when the listing asked for the last-visit table.
ExportColumnSet ConfigurarGridExpListGeneralUltimaVisita(const MemTable& memPacientesFecha);

ExportColumnSet ConfigurarGridExpListConsumo(const MemTable& memPacientes);
ExportColumnSet ConfigurarGridExpListEncargo(const MemTable& memEncargosPendientes);
// Fechas kind over its `memPacientesFecha` (e-mail field "E_Mail"): the patient columns, then
// each date a condition asks for.
ExportColumnSet ConfigurarGridExpListFechas(const MemTable& memPacientesFecha,
                                            const QList<double>& idsCondiciones);
ExportColumnSet ConfigurarGridExpListReposicion(const MemTable& memReposiciones);
ExportColumnSet ConfigurarGridExpListGarantias(const MemTable& memDatos);

// The SMS file of every kind: full name and mobile number of `memSMS`, sorted by Nombre.
ExportColumnSet ConfigurarGridSMSExpList(const MemTable& memSMS);
inline ExportColumnSet ConfigurarGridSMSExpListGeneral(const MemTable& t) {
    return ConfigurarGridSMSExpList(t);
}
inline ExportColumnSet ConfigurarGridSMSExpListConsumo(const MemTable& t) {
    return ConfigurarGridSMSExpList(t);
}
inline ExportColumnSet ConfigurarGridSMSExpListEncargo(const MemTable& t) {
    return ConfigurarGridSMSExpList(t);
}
inline ExportColumnSet ConfigurarGridSMSExpListFechas(const MemTable& t) {
    return ConfigurarGridSMSExpList(t);
}
inline ExportColumnSet ConfigurarGridSMSExpListReposicion(const MemTable& t) {
    return ConfigurarGridSMSExpList(t);
}
inline ExportColumnSet ConfigurarGridSMSExpListGarantias(const MemTable& t) {
    return ConfigurarGridSMSExpList(t);
}

} // namespace quill
