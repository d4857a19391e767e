#include "queries/tablas.h"

#include <initializer_list>
#include <span>

namespace quill {

namespace {

struct Campo {
    const char* nombre;
    FieldType tipo;
    int tam = 0;
};

constexpr FieldType F = FieldType::Float;
constexpr FieldType S = FieldType::String;
constexpr FieldType D = FieldType::Date;
constexpr FieldType DT = FieldType::DateTime;
constexpr FieldType I = FieldType::Integer;
constexpr FieldType SI = FieldType::SmallInt;
constexpr FieldType C = FieldType::Currency;
constexpr FieldType B = FieldType::Boolean;

void anadir(MemTable& t, std::span<const Campo> campos) {
    for (const Campo& c : campos)
        t.addField(QString::fromLatin1(c.nombre), c.tipo, c.tam);
}

void definir(MemTable& t, std::initializer_list<Campo> campos) {
    t.clearFields();
    anadir(t, std::span<const Campo>(campos.begin(), campos.size()));
}

// The 29 patient fields that General and Consumo share, from IdPaciente to Fotografia2.
const Campo camposPaciente[] = {
    {"IdPaciente", F},
    {"Codigo", F},
    {"Apellidos", S, 50},
    {"Nombre", S, 50},
    {"NombreCompleto", S, 100},
    {"Direccion", S, 50},
    {"CodigoPostal", S, 5},
    {"Localidad", S, 50},
    {"Provincia", S, 50},
    {"Telefono", S, 15},
    {"Movil", S, 15},
    {"Nif", S, 15},
    {"EMail", S, 255},
    {"IdLocalidad", F},
    {"VienePor", S, 50},
    {"Sexo", SI},
    {"FNacimiento", D},
    {"FUltVisita", D},
    {"FPriVisita", D},
    {"FCarnet", D},
    {"UltDescuento", F},
    {"TotalComprado", F},
    {"Web", S, 255},
    {"Fotografia", S, 50},
    {"Correo", SI},
    {"Profesion", S, 50},
    {"TotalCompradoM2", F},
    {"Tienda", SI},
    {"Fotografia2", S, 50},
};

} // namespace

void definirMemPacientes(MemTable& t) {
    t.clearFields();
    anadir(t, camposPaciente);
    for (const char* f : {"FechaFicha", "FechaRevision", "FechaGarantia"})
        t.addField(QString::fromLatin1(f), D);
}

void definirMemPacientesConsumo(MemTable& t) {
    t.clearFields();
    anadir(t, camposPaciente);
    t.addField(QStringLiteral("Consumo"), F);
    t.addField(QStringLiteral("NOperaciones"), F);
}

void definirMemPacientesFecha(MemTable& t, const QString& campoCorreo) {
    definir(t, {{"Nombre", S, 1000},
                {"Codigo", F},
                {"NombreCorto", S, 50},
                {"Apellidos", S, 50},
                {"Direccion", S, 100},
                {"Telefono", S, 20},
                {"TelefonoMovil", S, 20},
                {"CodigoPostal", S, 5},
                {"Localidad", S, 50},
                {"Provincia", S, 50}});
    t.addField(campoCorreo, S, 255);
    static const Campo resto[] = {
        {"IdLocalidad", F},     {"IdPaciente", F},     {"Profesion", S, 50},
        {"VienePor", S, 50},    {"Web", S, 255},       {"IdTienda", F},
        {"Correo", I},          {"Sexo", I},           {"Nif", S, 15},
        {"UltimaVisita", DT},   {"PrimeraVisita", DT}, {"Nacimiento", DT},
        {"Carnet", DT},         {"UltDto", F},         {"TotalCompradoM1", F},
        {"TotalCompradoM2", F}, {"Fecha", D},          {"FechaRevision", D},
        {"FechaLimpieza", D},   {"FechaCaducidad", D}, {"FechaReposicion", D},
        {"FechaGarantia", D},   {"FechaExMedico", D},  {"FechaExOptico", D},
        {"FechaAdaptacion", D}, {"FechaAerea", D},     {"FechaOsea", D},
        {"NombreEMail", S, 100}};
    anadir(t, resto);
}

void definirMemSMS(MemTable& t) {
    definir(t, {{"Nombre", S, 100}, {"Telefono", S, 15}});
}

void definirMemEncargosPendientes(MemTable& t) {
    definir(t, {{"IdPaciente", F},
                {"Codigo", F},
                {"Apellidos", S, 50},
                {"Nombre", S, 50},
                {"NombreCompleto", S, 100},
                {"Direccion", S, 50},
                {"IdLocalidad", F},
                {"CodigoPostal", S, 5},
                {"Localidad", S, 50},
                {"Provincia", S, 50},
                {"Nif", S, 15},
                {"VienePor", S, 50},
                {"Telefono", S, 15},
                {"Movil", S, 15},
                {"E_Mail", S, 50},
                {"Sexo", I},
                {"FechaNacimiento", D},
                {"Fecha1Visita", D},
                {"FechaUltVisita", D},
                {"FechaCarnet", D},
                {"UltimoDescuento", F},
                {"TotalCompradoM1", C},
                {"Web", S, 255},
                {"Fotografia", S, 255},
                {"Correo", SI},
                {"Profesion", S, 50},
                {"TotalCompradoM2", C},
                {"IdTienda", F},
                {"DeudaM1", F},
                {"DeudaM2", C},
                {"NombreEMail", S, 100}});
}

void definirMemDatosGarantias(MemTable& t) {
    definir(t, {{"Codigo", F},
                {"Apellidos", S, 50},
                {"Nombre", S, 50},
                {"Direccion", S, 50},
                {"CodigoPostal", S, 5},
                {"Localidad", S, 50},
                {"Provincia", S, 50},
                {"Nif", S, 15},
                {"Telefono", S, 15},
                {"Movil", S, 15},
                {"E_Mail", S, 100},
                {"Garantia", D},
                {"NombreCompleto", S, 100},
                {"IdLocalidad", F},
                {"Sexo", SI},
                {"VienePor", S, 50},
                {"FechaNacimiento", D},
                {"Fecha1Visita", D},
                {"FechaUltVisita", D},
                {"FechaCarnet", D},
                {"UltimoDescuento", F},
                {"Correo", SI},
                {"TotalCompradoM1", F},
                {"TotalCompradoM2", F},
                {"IdTienda", F},
                {"Fotografia", S, 100},
                {"Web", S, 100},
                {"NombreEMail", S, 100}});
}

void definirMemReposiciones(MemTable& t) {
    definir(t, {{"Codigo", F},
                {"Nombre", S, 50},
                {"Apellidos", S, 50},
                {"Direccion", S, 50},
                {"CodigoPostal", S, 5},
                {"Localidad", S, 50},
                {"Provincia", S, 50},
                {"Nif", S, 15},
                {"Telefono", S, 15},
                {"Movil", S, 15},
                {"EMail", S, 250},
                {"CodigoProveedor", F},
                {"NombrePaciente", S, 100},
                {"IdLocalidad", F},
                {"VienePor", S, 50},
                {"Sexo", I},
                {"FechaNacimiento", D},
                {"Fecha1Visita", D},
                {"FechaUltVisita", D},
                {"FechaCarnet", D},
                {"UltimoDescuento", C},
                {"TotalCompradoM1", C},
                {"Web", S, 255},
                {"Fotografia", S, 255},
                {"Correo", I},
                {"Profesion", S, 50},
                {"NombreProveedor", S, 50},
                {"Fecha", D},
                {"ArticuloOD", S, 50},
                {"ODRadio", S, 30},
                {"ODEsfera", F},
                {"ODCilindro", F},
                {"ODEje", F},
                {"ODDiametro", F},
                {"Ojo", S, 10},
                {"OIRadio", S, 30},
                {"OIEsfera", F},
                {"OICilindro", F},
                {"OIEje", F},
                {"OIDiametro", F},
                {"IdTienda", F},
                {"TotalCompradoM2", C},
                {"IdTLentillaOD", F},
                {"IdTLentillaOI", F},
                {"ArticuloOI", S, 50},
                {"Derecho", B},
                {"Izquierdo", B},
                {"IdMLentilla", F}});
}

} // namespace quill
