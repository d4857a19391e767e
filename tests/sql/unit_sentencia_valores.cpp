// Value checking: what may go into a fragment and what is refused.

#include "sql/valores.h"

#include <gtest/gtest.h>

using namespace quill;

namespace {

const QDate kHoy(2024, 3, 15);

// Runs f and expects the fragment-error refusal.
template <class F> void expectRefused(F&& f, const QString& what) {
    try {
        f();
        ADD_FAILURE() << "accepted: " << what.toStdString();
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), fragmentErrorMessage()) << what.toStdString();
    }
}

} // namespace

TEST(SentenciaValores, QuoteTextDoublesEverySingleQuote) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"GARCIA", "GARCIA"},
        {"O'BRIEN", "O''BRIEN"},
        {"''", "''''"},
        {"x' OR '1'='1", "x'' OR ''1''=''1"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(quoteText(QString::fromUtf8(c.in)).toStdString(), c.out) << c.in;
}

TEST(SentenciaValores, NumbersAfterTheDecimalCommaRule) {
    const struct {
        const char* in;
        const char* out;
    } accepted[] = {
        {"3", "3"},   {"-1,5", "-1.5"}, {"-1.5", "-1.5"}, {"+2", "+2"},     {",5", ".5"},
        {"5,", "5."}, {" 40 ", "40"},   {"007", "007"},   {"0,25", "0.25"},
    };
    for (const auto& c : accepted)
        EXPECT_EQ(checkedNumber(QString::fromUtf8(c.in)).toStdString(), c.out) << c.in;

    for (const char* in : {"", " ", "1 OR 1=1", "1) OR (PACIENTE.LICENCIA <> 0", "1,2,3", "1e5",
                           "abc", "--1", "1-", "0x10", "1;DROP TABLE PACIENTE", ".", "1 2"})
        expectRefused([&] { checkedNumber(QString::fromUtf8(in)); }, QString::fromUtf8(in));
}

TEST(SentenciaValores, IdsAreIntegers) {
    EXPECT_EQ(checkedId(QStringLiteral("12")).toStdString(), "12");
    EXPECT_EQ(checkedId(QStringLiteral("-1")).toStdString(), "-1");
    EXPECT_EQ(checkedId(QStringLiteral(" 7 ")).toStdString(), "7");
    for (const char* in :
         {"", "1.5", "1,5", "+3", "1 OR 1=1", "12) OR (1=1", "x", "99999999999999999999999"})
        expectRefused([&] { checkedId(QString::fromUtf8(in)); }, QString::fromUtf8(in));
}

TEST(SentenciaValores, WholeNumbers) {
    EXPECT_EQ(checkedWholeNumber(QStringLiteral("40")), 40);
    EXPECT_EQ(checkedWholeNumber(QStringLiteral(" 0 ")), 0);
    for (const char* in : {"", "-3", "4,5", "cuarenta", "40 OR 1=1", "99999999999"})
        expectRefused([&] { checkedWholeNumber(QString::fromUtf8(in)); }, QString::fromUtf8(in));
}

TEST(SentenciaValores, DatesReadDayFirst) {
    const struct {
        const char* in;
        QDate out;
    } accepted[] = {
        {"31/12/2009", QDate(2009, 12, 31)},
        {"1/2/2003", QDate(2003, 2, 1)},
        {"01/02/2003", QDate(2003, 2, 1)},
        {"29/02/2024", QDate(2024, 2, 29)},
        {"5/6/07", QDate(2007, 6, 5)},
        {"5/6/80", QDate(1980, 6, 5)},
        // Two-digit years fall in the hundred years from fifty years before today.
        {"1/1/73", QDate(2073, 1, 1)},
        {"1/1/74", QDate(1974, 1, 1)},
        {" 30/12/1899 ", QDate(1899, 12, 30)},
    };
    for (const auto& c : accepted)
        EXPECT_EQ(parseDate(QString::fromUtf8(c.in), kHoy), c.out) << c.in;

    for (const char* in :
         {"", "31/02/2000", "29/02/2023", "32/01/2000", "1/13/2000", "2000-01-01", "12/31/2009x",
          "1/1/2000' OR '1'='1", "1/1/200", "0/1/2000", "1/1/0000", "1.1.2000", "hoy"})
        expectRefused([&] { parseDate(QString::fromUtf8(in), kHoy); }, QString::fromUtf8(in));
}

TEST(SentenciaValores, DateTexts) {
    EXPECT_EQ(sqlDate(QDate(2009, 12, 31)).toStdString(), "12/31/2009");
    EXPECT_EQ(sqlDate(QDate(2003, 2, 1)).toStdString(), "02/01/2003");
    EXPECT_EQ(sqlDate(QDate()).toStdString(), "12/30/1899");
    EXPECT_EQ(dateText(QDate(2003, 2, 1)).toStdString(), "01/02/2003");
    EXPECT_EQ(parseDate(dateText(QDate(1920, 7, 9)), kHoy), QDate(1920, 7, 9));
}
