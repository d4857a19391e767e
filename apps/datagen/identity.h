#pragma once

#include "random.h"

#include <QString>

namespace quill::datagen {

// Personal data as the shop's staff types it: NIF, telephones, e-mail addresses.

// Check letter of a DNI number (the NIE's X/Y/Z count as 0/1/2 in front of its digits).
QChar letraNif(quint32 numero);
// True for a DNI ("12345678Z") or NIE ("X1234567L") whose check letter is right.
bool nifValido(const QString& nif);
// A DNI, or now and then a foreigner's NIE, with its correct check letter.
QString nuevoNif(Random& rnd);

// The ways a mobile number reaches the patient file.
enum class FormatoMovil {
    Seguido,       // 612345678
    Grupos3,       // 612 345 678
    Grupos2,       // 612 34 56 78
    Prefijo,       // +34 612345678
    PrefijoGrupos, // +34 612 345 678
    PrefijoPegado, // +34612345678
    Puntos,        // 612.345.678
    Dos,           // 612345678/699112233 (two numbers in one field)
    Corto,         // one digit missing
};
// The nine digits of a Spanish mobile (6xx, or 7[1-4]x) written in the given format.
QString nuevoMovil(Random& rnd, FormatoMovil formato);
// A format drawn with the shares a real shop shows.
FormatoMovil formatoMovilHabitual(Random& rnd);
// A landline in the given province (its area prefix), written "91 234 56 78" or "912345678".
QString nuevoFijo(Random& rnd, int provincia);

// "maria.garcia73@example.com": lower case, no accents or blanks.
QString nuevoCorreo(Random& rnd, const QString& nombre, const QString& apellido);

// The text without Spanish accents ("GARCÍA" -> "GARCIA"), as many keyboards leave it; ñ stays.
QString sinAcentos(const QString& text);

} // namespace quill::datagen
