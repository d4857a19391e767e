#include "moneda.h"

#include <algorithm>
#include <cmath>

namespace quill {

QString formatNumber(double value, int decimals, bool grouped) {
    if (!std::isfinite(value)) return {};
    decimals = qBound(0, decimals, 15);
    const QString plain = QString::number(std::fabs(value), 'f', decimals);
    const qsizetype point = plain.indexOf(QLatin1Char('.'));
    QString integer = point < 0 ? plain : plain.left(point);
    const QString fraction = point < 0 ? QString() : plain.mid(point + 1);
    if (grouped)
        for (qsizetype i = integer.size() - 3; i > 0; i -= 3)
            integer.insert(i, QLatin1Char('.'));
    QString text = integer;
    if (!fraction.isEmpty()) text += QLatin1Char(',') + fraction;
    const bool allZero = std::none_of(plain.begin(), plain.end(), [](QChar c) {
        return c >= QLatin1Char('1') && c <= QLatin1Char('9');
    });
    if (value < 0 && !allZero) text.prepend(QLatin1Char('-'));
    return text;
}

QString textoMoneda(double importe, const Moneda& moneda) {
    const QString number = formatNumber(importe, moneda.decimales, true);
    if (number.isEmpty() || moneda.simbolo.isEmpty()) return number;
    return number + QLatin1Char(' ') + moneda.simbolo;
}

} // namespace quill
