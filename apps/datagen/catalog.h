#pragma once

#include <span>

namespace quill::datagen {

// Made-up but realistic Spanish vocabulary for the demo shop. Texts are UTF-8.

struct Provincia {
    int codigo; // the two leading digits of its postal codes
    const char* nombre;
};

struct Localidad {
    const char* nombre;
    int codigoPostal; // whole number: 1001 is written "01001"
    int weight;       // relative share of patients living there
};

std::span<const Provincia> provincias();
std::span<const Localidad> localidades();

std::span<const char* const> nombresHombre();
std::span<const char* const> nombresMujer();
// Surnames in rough order of frequency; callers favour the first ones.
std::span<const char* const> apellidos();
std::span<const char* const> tiposVia();
std::span<const char* const> nombresVia();
std::span<const char* const> profesiones();
std::span<const char* const> vieneDe();
std::span<const char* const> dominiosCorreo();

// Free texts a shop's staff writes in the notes of each kind of record.
std::span<const char* const> notasPaciente();
std::span<const char* const> notasGraduacion();
std::span<const char* const> notasLentillas();
std::span<const char* const> notasAudifono();
std::span<const char* const> notasBajaVision();
std::span<const char* const> quejasOptometria();

} // namespace quill::datagen
