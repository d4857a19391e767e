#pragma once

// Field definitions of the listing result tables that the exports, labels, reports and SMS
// read. The data modules that fill the tables own them; the outputs read them by these names.
//
// Each function clears the table's fields and defines them again (the table must be closed).
// Sizes are characters; types and order are those the outputs rely on.

#include "platform/memtable.h"

namespace quill {

// General kind: one row per patient (`memPacientes`), 32 fields.
void definirMemPacientes(MemTable& t);

// Consumo kind: the first 29 fields of memPacientes (IdPaciente to Fotografia2), then Consumo
// and NOperaciones.
void definirMemPacientesConsumo(MemTable& t);

// One row per patient with dates (`memPacientesFecha`). The General kind names its e-mail
// field "EMail"; the Fechas kind passes "E_Mail".
void definirMemPacientesFecha(MemTable& t, const QString& campoCorreo = QStringLiteral("EMail"));

// Name and mobile number per patient, for SMS (`memSMS`).
void definirMemSMS(MemTable& t);

// Encargos Pendientes: one row per patient with the debt (`memEncargosPendientes`).
void definirMemEncargosPendientes(MemTable& t);

// Garantías: one row per listed record (`memDatos`).
void definirMemDatosGarantias(MemTable& t);

// Reposiciones: one row per contact-lens fitting (`memReposiciones`).
void definirMemReposiciones(MemTable& t);

} // namespace quill
