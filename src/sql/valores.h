#pragma once

// Checking of the values a user types into a condition before they go into a SQL fragment.
// Every value is checked when its fragment is built: texts get their single quotes doubled,
// numbers, dates and ids must read as such. A value that does not is refused with the listing's
// fragment-error message, so no statement is ever shaped by what the user typed.

#include "platform/guard.h"

#include <QDate>
#include <QString>

namespace quill {

// What the window shows when a condition cannot become a fragment.
QString fragmentErrorMessage();

// Throws quill::Error with fragmentErrorMessage().
[[noreturn]] void refuseValue();

// A typed value that is not what its field holds. Its message stays the fragment-error message;
// Explicacion() says what is wrong in the user's terms.
class ValorNoValido : public Error {
public:
    enum class Tipo { Numero, Entero, Fecha, Codigo };
    ValorNoValido(const QString& valor, Tipo tipo);
    const QString& valor() const noexcept { return valor_; }
    Tipo tipo() const noexcept { return tipo_; }
    // "«abc» no es un número válido para Cilindro OD", "«31/02/2020» no es una fecha válida".
    QString Explicacion(const QString& campo) const;

private:
    QString valor_;
    Tipo tipo_;
};

// The text as a SQL string body: every single quote doubled (the caller adds the outer quotes).
QString quoteText(const QString& value);

// The value as a SQL number: every "," becomes "." (users type decimal commas), surrounding
// blanks are dropped, and what is left must be a plain decimal number with an optional sign.
QString checkedNumber(const QString& value);

// The value as an integer id (optionally negative), surrounding blanks dropped.
QString checkedId(const QString& value);

// A non-negative whole number (ages, postal codes), surrounding blanks dropped.
int checkedWholeNumber(const QString& value);

// Reads a day/month/year date: d/m/yyyy, dd/mm/yyyy, or a two-digit year, which falls in the
// hundred years starting fifty years before today. Impossible dates (31/02/2000) are refused.
QDate parseDate(const QString& value, const QDate& today);

// The day/month/year text of a date, as the grid stores dates.
QString dateText(const QDate& date);

// A date as the database reads it in statements: mm/dd/yyyy. A null date is the shop database's
// empty date, 30 December 1899.
QString sqlDate(const QDate& date);

// The empty date of the shop database as a statement writes it, without quotes.
inline constexpr char kEmptySqlDate[] = "12/30/1899";

} // namespace quill
