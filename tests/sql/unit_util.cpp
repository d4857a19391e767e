#include "sql/lstutil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using quill::TLstUtil;

TEST(TLstUtil, SignedMeasurements) {
    struct Case {
        const char* guardado;
        const char* texto;
    };
    const Case cases[] = {
        {"1.5", "+1,50"}, {"1,5", "+1,50"},     {"-0.75", "-0,75"}, {"98", ""},  {"99", "Compen"},
        {"97", "Neutro"}, {"12.345", "+12,35"}, {"+2.25", "2,25"},  {"abc", ""},
    };
    TLstUtil util;
    for (const Case& c : cases) {
        EXPECT_EQ(util.Graduacion(QString::fromUtf8(c.guardado)), QString::fromUtf8(c.texto))
            << c.guardado;
        EXPECT_EQ(util.Resultado(), QString::fromUtf8(c.texto)) << c.guardado;
    }
}

TEST(TLstUtil, UnsignedAndFourHundredMeasurements) {
    struct Case {
        const char* guardado;
        const char* sinSigno;
        const char* con400;
    };
    const Case cases[] = {
        {"", "", ""},
        {"98", "", "98,00"},
        {"400", "400,00", ""},
        {"99", "Compen", "Compen"},
        {"97", "Neutro", "Neutro"},
        {"-1.25", "-1,25", "-1,25"},
        {"x", "", ""},
    };
    TLstUtil util;
    for (const Case& c : cases) {
        EXPECT_EQ(util.GraduacionSinSigno(QString::fromUtf8(c.guardado)),
                  QString::fromUtf8(c.sinSigno))
            << c.guardado;
        EXPECT_EQ(util.Graduacion400(QString::fromUtf8(c.guardado)), QString::fromUtf8(c.con400))
            << c.guardado;
    }
}

TEST(TLstUtil, NumbersAmountsAndPercentages) {
    TLstUtil util;
    struct Case {
        double valor;
        const char* numero;
        const char* porcentaje;
        const char* corto;
        const char* decimal;
        const char* decimal1;
        const char* importe;
    };
    const Case cases[] = {
        {1234.5, "1.234,50 ", "1.234,50 %", "1234,50 %", "1234,50", "1234,5", "1.234,50 €"},
        {-1234567.891, "-1.234.567,89 ", "-1.234.567,89 %", "-1234567,89 %", "-1234567,89",
         "-1234567,9", "-1.234.567,89 €"},
        {999.999, "1.000,00 ", "1.000,00 %", "1000,00 %", "1000,00", "1000,0", "1.000,00 €"},
        {-0.001, "0,00 ", "0,00 %", "0,00 %", "0,00", "0,0", "0,00 €"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(util.Numero(c.valor), QString::fromUtf8(c.numero)) << c.valor;
        EXPECT_EQ(util.Porcentaje(c.valor), QString::fromUtf8(c.porcentaje)) << c.valor;
        EXPECT_EQ(util.PorcentajeCorto(c.valor), QString::fromUtf8(c.corto)) << c.valor;
        EXPECT_EQ(util.Decimal(c.valor), QString::fromUtf8(c.decimal)) << c.valor;
        EXPECT_EQ(util.Decimal1(c.valor), QString::fromUtf8(c.decimal1)) << c.valor;
        EXPECT_EQ(util.Importe(c.valor), QString::fromUtf8(c.importe)) << c.valor;
    }
    EXPECT_EQ(util.Importe(1234.5, true), QStringLiteral("1.235 Pts"));
    util.setMonedas({QStringLiteral("EUR"), 2}, {QString(), 3});
    EXPECT_EQ(util.Importe(7.5), QStringLiteral("7,50 EUR"));
    EXPECT_EQ(util.Importe(7.5, true), QStringLiteral("7,500"));
    EXPECT_EQ(util.Numero(std::numeric_limits<double>::quiet_NaN()), QString());
}

// The SMS walk keeps only numbers a mobile can have.
TEST(TLstUtil, MobileCheck) {
    struct Case {
        const char* telefono;
        const char* movil;
    };
    const Case cases[] = {
        {"600123456", "600123456"},
        {"600 12 34 56", "600123456"}, // groups separated by blanks
        {"+34 600 123 456", ""},       // must begin with 6 or 7
        {"912345678", ""},             // landline
        {"6001234567", ""},            // ten digits
        {"600 123 45", ""},            // long enough, but eight digits
        {"60012345", ""},              // shorter than nine
        {"600123456 / 612345678", ""}, // two numbers: more than nine digits
    };
    TLstUtil util;
    for (const Case& c : cases)
        EXPECT_EQ(util.Movil(QString::fromUtf8(c.telefono)), QString::fromUtf8(c.movil))
            << c.telefono;
}
