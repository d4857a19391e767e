// The generator's building blocks that need no database: the random source, identity data,
// the command line and the schema's defaults.

#include "demodatabase.h"
#include "identity.h"
#include "random.h"
#include "schemainfo.h"

#include <gtest/gtest.h>

#include <QDateTime>

using namespace quill::datagen;

TEST(DatagenRandom, SameSeedSameSequenceAndForksAreIndependentOfDrawOrder) {
    Random a(42), b(42), c(43);
    bool differs = false;
    for (int i = 0; i < 100; ++i) {
        const auto x = a.next();
        EXPECT_EQ(x, b.next());
        differs |= x != c.next();
    }
    EXPECT_TRUE(differs);
    // A child depends on the seed and its salt only, not on what the parent drew before.
    Random p1(7), p2(7);
    p2.next();
    EXPECT_EQ(p1.fork(5).next(), p2.fork(5).next());
    EXPECT_NE(p1.fork(5).next(), p1.fork(6).next());
}

TEST(DatagenNif, CheckLettersAndValidation) {
    const struct {
        quint32 numero;
        char letra;
    } casos[] = {{0, 'T'}, {1, 'R'}, {22, 'E'}, {23, 'T'}, {12345678, 'Z'}, {99999999, 'R'}};
    for (const auto& c : casos)
        EXPECT_EQ(letraNif(c.numero), QLatin1Char(c.letra)) << c.numero;
    const struct {
        const char* nif;
        bool valido;
    } nifs[] = {
        {"12345678z", true},  {"12345678A", false}, {"X1234567L", true}, {"Z1234567R", true},
        {"X1234567T", false}, {"1234567Z", false},  {"", false},
    };
    for (const auto& c : nifs)
        EXPECT_EQ(nifValido(QString::fromLatin1(c.nif)), c.valido) << c.nif;
}

TEST(DatagenOpciones, CommandLinesAcceptedAndRefused) {
    const struct {
        QStringList args;
        const char* error; // empty: accepted
    } casos[] = {
        {{"--pacientes", "300", "--salida", "x.fdb"}, ""},
        {{"--resumen", "x.fdb"}, ""},
        {{"--pacientes", "-5", "--salida", "x.fdb"},
         "El número de pacientes debe ser un número entero entre 0 y 10000000: \"-5\" no lo es."},
        {{"--pacientes", "10"}, "Falta --salida FICHERO.fdb."},
        {{"--pacientes", "10", "--salida", "x.fdb", "--fecha", "15/03/2024"},
         "La fecha debe escribirse AAAA-MM-DD (por ejemplo 2024-03-15): \"15/03/2024\" no es "
         "válida."},
        {{}, "Indique --pacientes y --salida, o --resumen."},
    };
    for (const auto& c : casos) {
        QString error;
        parseArguments(c.args, &error);
        EXPECT_EQ(error, QString::fromUtf8(c.error)) << c.args.join(u' ').toStdString();
    }
    QString error;
    const Options o = parseArguments({"--pacientes", "25", "--salida", "t.fdb", "--semilla", "77",
                                      "--fecha", "2023-10-01", "--forzar"},
                                     &error);
    EXPECT_EQ(o.mode, Options::Mode::Generate);
    EXPECT_EQ(o.pacientes, 25);
    EXPECT_EQ(o.semilla, 77u);
    EXPECT_EQ(o.fecha, QDate(2023, 10, 1));
    EXPECT_TRUE(o.forzar);
}

TEST(DatagenEsquema, LiteralDefaultsBecomeTheValuesBound) {
    using K = ColumnInfo::Kind;
    const struct {
        const char* source;
        K kind;
        QVariant esperado; // invalid: no literal default
    } casos[] = {
        {"DEFAULT 98", K::Numeric, 98.0},
        {"DEFAULT -1", K::Integer, qlonglong(-1)},
        {"DEFAULT ''", K::Text, QStringLiteral("")},
        {"DEFAULT 'O''Donnell'", K::Text, QStringLiteral("O'Donnell")},
        {"DEFAULT '1899-12-30 00:00:00'", K::Timestamp,
         QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC)},
    };
    for (const auto& c : casos) {
        const QVariant v = parseDefault(QString::fromLatin1(c.source), c.kind);
        EXPECT_EQ(v.isValid(), c.esperado.isValid()) << c.source;
        if (c.esperado.isValid()) {
            EXPECT_EQ(v, c.esperado) << c.source;
        }
    }
    // An empty text default must stay a text, not turn into NULL when bound.
    EXPECT_FALSE(parseDefault(QStringLiteral("DEFAULT ''"), K::Text).toString().isNull());
}
