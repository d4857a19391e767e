// Listing kinds at work: each kind's catalogue in the Campo drop-down, its conditions kept while
// the user works on another kind, a missing catalogue, the status-bar hints.

#include "conditions/catalogo.h"
#include "gui_grid_apoyo.h"
#include "listing/navbar.h"
#include "testsupport.h"

#include <QCollator>

#include <map>

using gridprueba::VentanaGrid;

namespace {

quill::NavItem* itemDe(TfrmListado* w, int tipo) {
    for (quill::NavItem* i : w->nbgListados->links())
        if (i->tag() == tipo) return i;
    return nullptr;
}

} // namespace

class Kinds : public VentanaGrid {};

// The Campo drop-down shows the kind's catalogue, as the catalogue loader gives it, by group in
// group order, the fields of a group in Spanish order (numbers by value).
TEST_F(Kinds, EachKindOffersItsCatalogueGroupsInGroupOrderWithFieldsSorted) {
    QCollator orden(QLocale(QLocale::Spanish, QLocale::Spain));
    orden.setCaseSensitivity(Qt::CaseInsensitive);
    orden.setNumericMode(true);
    for (int tipo : {0, 3}) {
        SCOPED_TRACE(tipo);
        quill::NavItem* item = itemDe(w, tipo);
        if (item->isEnabled()) QTest::mouseClick(item, Qt::LeftButton);
        quill::CatalogoPopup* popup = w->PopupCatalogo();
        ASSERT_TRUE(popup);

        quill::MemTable cds;
        ASSERT_EQ(quill::CargarCatalogo(cds, quilltest::dataDir(), tipo), 0);
        QStringList grupos;
        std::map<QString, QStringList> campos;
        for (int i = 0; i < cds.recordCount(); ++i) {
            const QString grupo = cds.valueAt(i, QStringLiteral("GRUPO")).toString();
            if (!grupos.contains(grupo)) grupos << grupo;
            campos[grupo] << cds.valueAt(i, QStringLiteral("CAMPO")).toString();
        }
        EXPECT_EQ(popup->grupos(), grupos);
        EXPECT_EQ(popup->numeroCampos(), cds.recordCount());
        for (const QString& g : grupos) {
            QStringList ordenados = campos[g];
            std::stable_sort(
                ordenados.begin(), ordenados.end(),
                [&](const QString& a, const QString& b) { return orden.compare(a, b) < 0; });
            EXPECT_EQ(popup->campos(g), ordenados) << g.toStdString();
        }
    }
}

TEST_F(Kinds, ConditionsStayWithTheirKindWhileTheUserWorksOnAnother) {
    elegirCampo(0, QStringLiteral("apel"), 1);
    escribir(0, 2, QStringLiteral("garcia"));
    ASSERT_EQ(texto(0, "Condicion1"), QStringLiteral("garcia"));

    QTest::mouseClick(itemDe(w, 3), Qt::LeftButton);
    // One blank row in the empty table, focused on its first cell.
    ASSERT_EQ(tabla()->recordCount(), 1);
    EXPECT_EQ(valor(0, "Id").toDouble(), -1.0);
    EXPECT_EQ(grid()->currentIndex(), celda(0, 0));
    elegirCampo(0, QStringLiteral("fecha nac"), 13);

    QTest::mouseClick(itemDe(w, 0), Qt::LeftButton);
    ASSERT_EQ(tabla(), w->dmlstPaciente->memGeneral);
    ASSERT_EQ(tabla()->recordCount(), 1) << "no second blank row";
    EXPECT_EQ(texto(0, "Campo"), QStringLiteral("Apellidos"));
    EXPECT_EQ(texto(0, "Condicion1"), QStringLiteral("garcia"));
    QTest::mouseClick(itemDe(w, 3), Qt::LeftButton);
    EXPECT_EQ(texto(0, "Campo"), QStringLiteral("Fecha Nacimiento"));
}

