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

