#include "business/localidades.h"
#include "sql/lstconfiguracion.h"

#include <gtest/gtest.h>

using quill::TLstConfiguracion;

namespace {

QStringList u8(std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items)
        list.append(QString::fromUtf8(item));
    return list;
}

} // namespace

TEST(TLstConfiguracion, OperatorsPerFieldType) {
    struct Case {
        qint16 tipo;
        QStringList operadores;
    };
    const QStringList numero = u8({"Igual a...", "Distinto de...", "Mayor que...", "Menor que...",
                                   "...Entre...", "Vacío", "No Vacío"});
    const Case cases[] = {
        {0, numero},
        {1, u8({"Igual a...", "Distinto de...", "Empieza por...", "Termine en...", "...Contiene...",
                "Vacío", "No Vacío"})},
        {2, numero},
        {3, u8({"Igual a..."})},
        {4, u8({"Igual a...", "Distinto de...", "Vacío", "No Vacío"})},
        {5, u8({"Igual a..."})},
        {6, u8({"Igual a..."})},
        {7, u8({"Igual a...", "Mayor que...", "Menor que...", "...Entre..."})},
    };
    TLstConfiguracion config;
    for (const Case& c : cases) {
        config.setTipoCampo(c.tipo);
        EXPECT_EQ(config.CargarOperadores(), TLstConfiguracion::Preparado) << c.tipo;
        EXPECT_EQ(config.Operadores(), c.operadores) << "tipo " << c.tipo;
    }
    // A type outside 0..7 leaves whatever list was there.
    for (qint16 tipo : {qint16(8), qint16(-1)}) {
        config.setTipoCampo(tipo);
        EXPECT_EQ(config.CargarOperadores(), TLstConfiguracion::SinLista);
        EXPECT_EQ(config.Operadores(), cases[7].operadores) << tipo;
    }
}

TEST(TLstConfiguracion, OperatorsOfCatalogueFields) {
    struct Case {
        double id;
        qint16 tipo;
        qint16 tipoObjeto;
        int cuantos;
        const char* ultimo;
    };
    const Case cases[] =
        {
            {76, 0, 0, 1, "Igual a..."},  {462.0, 4, 3, 1, "Igual a..."},
            {1, 1, 16, 8, "...Entre..."}, // the patient code, a text with range picking
            {1, 0, 16, 7, "No Vacío"},    // numbers have "...Entre..." already, not twice
            {2, 1, 0, 7, "No Vacío"},
        };
    TLstConfiguracion config;
    for (const Case& c : cases) {
        config.setTipoCampo(c.tipo);
        EXPECT_EQ(config.CargarOperadoresCampo(c.id, c.tipoObjeto), TLstConfiguracion::Preparado);
        ASSERT_EQ(config.Operadores().size(), c.cuantos) << "Id " << c.id;
        EXPECT_EQ(config.Operadores().last(), QString::fromUtf8(c.ultimo)) << "Id " << c.id;
        EXPECT_LE(config.Operadores().count(QStringLiteral("...Entre...")), 1);
    }
}

TEST(TLstConfiguracion, OperatorCodesAndDefaultWords) {
    const QStringList porCodigo =
        u8({"Igual a...", "Distinto de...", "Mayor que...", "Menor que...", "...Entre...",
            "Empieza por...", "Termine en...", "...Contiene..."});
    for (int codigo = 0; codigo < porCodigo.size(); ++codigo) {
        EXPECT_EQ(TLstConfiguracion::TextoOperador(codigo), porCodigo[codigo]);
        EXPECT_EQ(TLstConfiguracion::CodigoOperador(porCodigo[codigo]), codigo);
    }
    for (int codigo : {-1, 8})
        EXPECT_EQ(TLstConfiguracion::TextoOperador(codigo), QStringLiteral("Igual a...")) << codigo;
    EXPECT_EQ(TLstConfiguracion::CodigoOperador(QStringLiteral("Vacío")), -1);
    EXPECT_EQ(TLstConfiguracion::CodigoOperador(QStringLiteral("igual a...")), -1);

    // Each field type takes its own word: number 2, text 7, date 4.
    const TLstConfiguracion::PalabrasOperador palabras{2, 7, 4};
    struct Case {
        qint16 tipo;
        const char* esperado;
    };
    const Case cases[] = {{0, "Mayor que..."},
                          {1, "...Contiene..."},
                          {2, "...Entre..."},
                          {3, "Igual a..."},
                          {6, ""},
                          {9, ""}};
    for (const Case& c : cases)
        EXPECT_EQ(TLstConfiguracion::OperadorPorDefecto(c.tipo, palabras),
                  QString::fromUtf8(c.esperado))
            << c.tipo;
    // A word without operator falls back to "Igual a...".
    EXPECT_EQ(TLstConfiguracion::OperadorPorDefecto(1, {0, 12, 0}), QStringLiteral("Igual a..."));
}

// Every fixed list loads names and ids pairwise with no id twice; no code is both a fixed and a
// database list.
TEST(TLstConfiguracion, FixedValueListsAreConsistent) {
    TLstConfiguracion config;
    int fixed = 0;
    for (qint16 codigo = -1; codigo < 80; ++codigo) {
        EXPECT_FALSE(TLstConfiguracion::EsListaFija(codigo) &&
                     TLstConfiguracion::EsListaBaseDatos(codigo))
            << codigo;
        if (!TLstConfiguracion::EsListaFija(codigo)) continue;
        ++fixed;
        ASSERT_EQ(config.CargarValores(codigo), TLstConfiguracion::Preparado) << codigo;
        EXPECT_FALSE(config.Nombres().isEmpty()) << codigo;
        EXPECT_EQ(config.Nombres().size(), config.Ids().size()) << codigo;
        QStringList ids = config.Ids();
        EXPECT_EQ(ids.removeDuplicates(), 0) << "ids repeated in list " << codigo;
        EXPECT_EQ(config.IdDeNombre(config.Nombres().last()), config.Ids().last()) << codigo;
    }
    EXPECT_GE(fixed, 25);
}

// Localities and provinces from a cache given by the caller: names in Spanish order, and every
// locality of a name for the multiple choice.
TEST(TLstConfiguracion, LocalityListsFromCache) {
    auto cache = std::make_shared<quill::LocalidadCache>();
    cache->addProvincia({46, QStringLiteral("Valencia")});
    cache->addProvincia({5, QStringLiteral("Ávila")});
    cache->addProvincia({28, QStringLiteral("Madrid")});
    cache->add({10, QStringLiteral("Villanueva"), 46100, 46, {}});
    cache->add({4, QStringLiteral("Ávila"), 5001, 5, {}});
    cache->add({8, QStringLiteral("Villanueva"), 28000, 28, {}});
    cache->add({2, QStringLiteral("Madrid"), 28001, 28, {}});

    TLstConfiguracion config;
    config.setLocalidades(cache);
    ASSERT_EQ(config.CargarValores(1), TLstConfiguracion::Preparado);
    EXPECT_EQ(config.Nombres(), u8({"Ávila", "Madrid", "Villanueva", "Villanueva"}));
    EXPECT_EQ(config.Ids(), (QStringList{"4", "2", "8", "10"}));
    ASSERT_EQ(config.CargarValores(2), TLstConfiguracion::Preparado);
    EXPECT_EQ(config.Nombres(), u8({"Ávila", "Madrid", "Valencia"}));
    EXPECT_EQ(config.Ids(), (QStringList{"5", "28", "46"}));
    EXPECT_EQ(config.IdsLocalidad(QStringLiteral("villanueva")), (QStringList{"8", "10"}));
    EXPECT_EQ(config.IdsLocalidad(QStringLiteral("Toledo")), QStringList{});
}
