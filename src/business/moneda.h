#pragma once

#include <QString>

namespace quill {

// Number text as the shop's documents show it: Spanish separators ("," for decimals, "." between
// thousands when grouped), rounded to the given decimals. A value that rounds to zero never shows
// a minus sign. Not-a-number and infinities give an empty text.
QString formatNumber(double value, int decimals, bool grouped);

// A currency of the shop: the symbol written after the amount and its decimals.
struct Moneda {
    QString simbolo = QStringLiteral("€");
    int decimales = 2;
};

// "1.234,50 €": grouped amount, a blank, the symbol (no blank nor symbol when it is empty).
QString textoMoneda(double importe, const Moneda& moneda);

} // namespace quill
