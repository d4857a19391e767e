#include "valores.h"

#include <QRegularExpression>

#include <limits>

namespace quill {

QString fragmentErrorMessage() {
    return QStringLiteral("Ha Ocurrido un error interno al intentar añadir este filtro al Listado. "
                          "Por Favor, borre el filtro y vuelva a seleccionarlo");
}

void refuseValue() {
    throw Error(fragmentErrorMessage());
}

ValorNoValido::ValorNoValido(const QString& valor, Tipo tipo)
    : Error(fragmentErrorMessage()), valor_(valor), tipo_(tipo) {}

QString ValorNoValido::Explicacion(const QString& campo) const {
    // Long pasted texts are cut: the message must fit a dialog.
    QString v = valor_.trimmed();
    if (v.size() > 40) v = v.left(40) + QStringLiteral("…");
    const QString para = campo.trimmed().isEmpty() ? QString() : QStringLiteral(" para ") + campo;
    switch (tipo_) {
    case Tipo::Numero:
        return QStringLiteral("«%1» no es un número válido%2").arg(v, para);
    case Tipo::Entero:
        return QStringLiteral("«%1» no es un número entero válido%2").arg(v, para);
    case Tipo::Fecha:
        return QStringLiteral("«%1» no es una fecha válida").arg(v);
    case Tipo::Codigo:
        break;
    }
    return QStringLiteral("«%1» no es un código válido%2").arg(v, para);
}

QString quoteText(const QString& value) {
    QString quoted = value;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return quoted;
}

QString checkedNumber(const QString& value) {
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)$"));
    QString text = value;
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    text = text.trimmed();
    if (!number.match(text).hasMatch()) throw ValorNoValido(value, ValorNoValido::Tipo::Numero);
    return text;
}

QString checkedId(const QString& value) {
    static const QRegularExpression id(QStringLiteral("^-?[0-9]+$"));
    const QString text = value.trimmed();
    // Beyond 64 bits no column holds it; refusing keeps the text a real integer.
    bool ok = false;
    if (id.match(text).hasMatch()) text.toLongLong(&ok);
    if (!ok) throw ValorNoValido(value, ValorNoValido::Tipo::Codigo);
    return text;
}

int checkedWholeNumber(const QString& value) {
    static const QRegularExpression whole(QStringLiteral("^[0-9]+$"));
    const QString text = value.trimmed();
    bool ok = false;
    const int n = whole.match(text).hasMatch() ? text.toInt(&ok) : 0;
    if (!ok) throw ValorNoValido(value, ValorNoValido::Tipo::Entero);
    return n;
}

QDate parseDate(const QString& value, const QDate& today) {
    static const QRegularExpression dmy(
        QStringLiteral("^([0-9]{1,2})/([0-9]{1,2})/([0-9]{2}|[0-9]{4})$"));
    const auto m = dmy.match(value.trimmed());
    if (!m.hasMatch()) throw ValorNoValido(value, ValorNoValido::Tipo::Fecha);
    const int day = m.captured(1).toInt();
    const int month = m.captured(2).toInt();
    int year = m.captured(3).toInt();
    if (m.captured(3).size() == 2) {
        const QDate base = today.isValid() ? today : QDate::currentDate();
        const int first = base.year() - 50;
        year += first / 100 * 100;
        if (year < first) year += 100;
    }
    const QDate date(year, month, day);
    if (!date.isValid()) throw ValorNoValido(value, ValorNoValido::Tipo::Fecha);
    return date;
}

QString dateText(const QDate& date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString sqlDate(const QDate& date) {
    if (date.isNull()) return QString::fromLatin1(kEmptySqlDate);
    return date.toString(QStringLiteral("MM/dd/yyyy"));
}

} // namespace quill
