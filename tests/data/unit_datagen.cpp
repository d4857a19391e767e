// The generator's building blocks that need no database: the random source, identity data,
// the place catalogue and the command line.

#include "catalog.h"
#include "demodatabase.h"
#include "identity.h"
#include "random.h"
#include "schemainfo.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QRegularExpression>
#include <QSet>

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

TEST(DatagenRandom, DrawsStayInsideTheirBoundsAndReachThem) {
    Random r(1);
    QSet<qint64> seen;
    for (int i = 0; i < 2000; ++i) {
        const auto v = r.between(-2, 3);
        ASSERT_GE(v, -2);
        ASSERT_LE(v, 3);
        seen.insert(v);
        const double s = r.stepped(0.25, 1.0, 0.25);
        ASSERT_TRUE(s == 0.25 || s == 0.5 || s == 0.75 || s == 1.0) << s;
        const QDate d = r.date(QDate(2020, 2, 27), QDate(2020, 3, 1));
        ASSERT_TRUE(d >= QDate(2020, 2, 27) && d <= QDate(2020, 3, 1));
    }
    EXPECT_EQ(seen.size(), 6);
    EXPECT_EQ(r.between(5, 5), 5);
    int counts[3] = {};
    for (int i = 0; i < 3000; ++i)
        ++counts[r.weighted({1, 0, 3})];
    EXPECT_EQ(counts[1], 0);
    EXPECT_GT(counts[2], counts[0] * 2);
}

TEST(DatagenNif, CheckLetterOfKnownNumbers) {
    const struct {
        quint32 numero;
        char letra;
    } casos[] = {{0, 'T'}, {1, 'R'}, {22, 'E'}, {23, 'T'}, {12345678, 'Z'}, {99999999, 'R'}};
    for (const auto& c : casos)
        EXPECT_EQ(letraNif(c.numero), QLatin1Char(c.letra)) << c.numero;
}

TEST(DatagenNif, ValidationAcceptsRightLettersOnly) {
    const struct {
        const char* nif;
        bool valido;
    } casos[] = {
        {"12345678Z", true},  {"12345678z", true}, {"12345678A", false}, {"X1234567L", true},
        {"Y1234567X", true},  {"Z1234567R", true}, {"X1234567T", false}, {"1234567Z", false},
        {"1234567AZ", false}, {"", false},         {"12 45678Z", false},
    };
    for (const auto& c : casos)
        EXPECT_EQ(nifValido(QString::fromLatin1(c.nif)), c.valido) << c.nif;
}

TEST(DatagenNif, GeneratedOnesAreValidAndSomeAreForeign) {
    Random r(3);
    int nie = 0;
    for (int i = 0; i < 2000; ++i) {
        const QString n = nuevoNif(r);
        ASSERT_TRUE(nifValido(n)) << n.toStdString();
        nie += n.at(0).isLetter();
    }
    EXPECT_GT(nie, 0);
    EXPECT_LT(nie, 300);
}

TEST(DatagenTelefonos, EachMobileFormatLooksAsTyped) {
    const struct {
        FormatoMovil formato;
        const char* patron;
        int digitos;
    } casos[] = {
        {FormatoMovil::Seguido, "^[67]\\d{8}$", 9},
        {FormatoMovil::Grupos3, "^[67]\\d\\d \\d{3} \\d{3}$", 9},
        {FormatoMovil::Grupos2, "^[67]\\d\\d \\d\\d \\d\\d \\d\\d$", 9},
        {FormatoMovil::Prefijo, "^\\+34 [67]\\d{8}$", 11},
        {FormatoMovil::PrefijoGrupos, "^\\+34 [67]\\d\\d \\d{3} \\d{3}$", 11},
        {FormatoMovil::PrefijoPegado, "^\\+34[67]\\d{8}$", 11},
        {FormatoMovil::Puntos, "^[67]\\d\\d\\.\\d{3}\\.\\d{3}$", 9},
        {FormatoMovil::Dos, "^[67]\\d{8}/6\\d{8}$", 18},
        {FormatoMovil::Corto, "^[67]\\d{7}$", 8},
    };
    Random r(11);
    for (const auto& c : casos) {
        const QRegularExpression re(QString::fromLatin1(c.patron));
        for (int i = 0; i < 50; ++i) {
            const QString m = nuevoMovil(r, c.formato);
            EXPECT_TRUE(re.match(m).hasMatch()) << m.toStdString();
            EXPECT_EQ(m.count(QRegularExpression(QStringLiteral("\\d"))), c.digitos);
            EXPECT_LE(m.size(), 20) << "TELEFONO_MOVIL is VARCHAR(20)";
        }
    }
}

TEST(DatagenTelefonos, LandlinesCarryTheProvincePrefix) {
    Random r(5);
    for (int i = 0; i < 50; ++i) {
        const QString madrid = nuevoFijo(r, 28);
        EXPECT_TRUE(madrid.startsWith(QLatin1String("91"))) << madrid.toStdString();
        const QString toledo = nuevoFijo(r, 45);
        EXPECT_TRUE(toledo.startsWith(QLatin1String("925"))) << toledo.toStdString();
        EXPECT_EQ(QString(toledo).remove(u' ').size(), 9);
    }
}

TEST(DatagenCorreo, AddressesAreLowerCaseWithoutAccentsOnReservedDomains) {
    Random r(8);
    const QRegularExpression re(QStringLiteral("^[a-z0-9._]+@[a-z.]*example(\\.[a-z]+)?$"));
    for (int i = 0; i < 100; ++i) {
        const QString c = nuevoCorreo(r, QStringLiteral("MARÍA ÁNGELES"), QStringLiteral("PEÑA"));
        EXPECT_TRUE(re.match(c).hasMatch()) << c.toStdString();
    }
    EXPECT_EQ(sinAcentos(QStringLiteral("ÁLVAREZ MUÑOZ Güell")),
              QStringLiteral("ALVAREZ MUÑOZ Guell"));
}

TEST(DatagenCatalogo, LocalitiesLieInTheirProvinceAndSomeCodesHaveALeadingZero) {
    QSet<int> provincias;
    for (const Provincia& p : quill::datagen::provincias())
        provincias.insert(p.codigo);
    EXPECT_EQ(provincias.size(), 52);
    QSet<QPair<QString, int>> vistas;
    int ceroDelante = 0;
    for (const Localidad& l : localidades()) {
        EXPECT_TRUE(provincias.contains(l.codigoPostal / 1000)) << l.nombre;
        EXPECT_GE(l.codigoPostal % 1000, 1) << l.nombre;
        EXPECT_GT(l.weight, 0);
        EXPECT_FALSE(vistas.contains({QString::fromUtf8(l.nombre), l.codigoPostal})) << l.nombre;
        vistas.insert({QString::fromUtf8(l.nombre), l.codigoPostal});
        ceroDelante += l.codigoPostal < 10000;
    }
    EXPECT_GE(vistas.size(), 300);
    EXPECT_GE(ceroDelante, 20);
}

TEST(DatagenOpciones, CommandLinesAcceptedAndRefused) {
    const struct {
        QStringList args;
        const char* error; // empty: accepted
    } casos[] = {
        {{"--pacientes", "300", "--salida", "x.fdb"}, ""},
        {{"--pacientes", "0", "--salida", "x.fdb", "--semilla", "9", "--forzar"}, ""},
        {{"--salida", "x.fdb", "--pacientes", "10", "--fecha", "2024-02-29"}, ""},
        {{"--resumen", "x.fdb"}, ""},
        {{"--pacientes", "-5", "--salida", "x.fdb"},
         "El número de pacientes debe ser un número entero entre 0 y 10000000: \"-5\" no lo es."},
        {{"--pacientes", "mil", "--salida", "x.fdb"},
         "El número de pacientes debe ser un número entero entre 0 y 10000000: \"mil\" no lo es."},
        {{"--pacientes", "10"}, "Falta --salida FICHERO.fdb."},
        {{"--salida", "x.fdb"}, "Falta --pacientes N."},
        {{"--pacientes", "10", "--salida"}, "Falta el valor de --salida."},
        {{"--pacientes", "10", "--salida", "x.fdb", "--semilla", "-1"},
         "La semilla debe ser un número entero no negativo: \"-1\" no lo es."},
        {{"--pacientes", "10", "--salida", "x.fdb", "--fecha", "15/03/2024"},
         "La fecha debe escribirse AAAA-MM-DD (por ejemplo 2024-03-15): \"15/03/2024\" no es "
         "válida."},
        {{"--pacientes", "10", "--salida", "x.fdb", "--rapido"},
         "Opción desconocida: \"--rapido\"."},
        {{"--resumen", "x.fdb", "--pacientes", "3"},
         "--resumen no se combina con --pacientes ni --salida."},
        {{}, "Indique --pacientes y --salida, o --resumen."},
    };
    for (const auto& c : casos) {
        QString error;
        const Options o = parseArguments(c.args, &error);
        EXPECT_EQ(error, QString::fromUtf8(c.error)) << c.args.join(u' ').toStdString();
        if (error.isEmpty() && o.mode == Options::Mode::Generate) {
            EXPECT_GE(o.pacientes, 0);
            EXPECT_FALSE(o.salida.isEmpty());
        }
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
        {"  default 400", K::Numeric, 400.0},
        {"DEFAULT ''", K::Text, QStringLiteral("")},
        {"DEFAULT 'O''Donnell'", K::Text, QStringLiteral("O'Donnell")},
        {"DEFAULT '1899-12-30 00:00:00'", K::Timestamp,
         QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC)},
        {"DEFAULT CURRENT_TIMESTAMP", K::Timestamp, QVariant()},
        {"DEFAULT NULL", K::Integer, QVariant()},
        {"", K::Text, QVariant()},
        {"DEFAULT 'x'", K::Integer, QVariant()},
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
