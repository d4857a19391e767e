// Listing kinds at work: each kind's catalogue in the Campo drop-down, its conditions kept while
// the user works on another kind, a missing catalogue, the status-bar hints.

#include "conditions/catalogo.h"
#include "gui_grid_apoyo.h"
#include "listing/navbar.h"
#include "testsupport.h"

#include <QCollator>
#include <QFile>
#include <QLabel>
#include <QSet>
#include <QStandardItemModel>

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
// group order, each group's fields in Spanish order (numbers by value), every group collapsed.
TEST_F(Kinds, EachKindOffersItsCatalogueGroupsInGroupOrderWithFieldsSorted) {
    QCollator orden(QLocale(QLocale::Spanish, QLocale::Spain));
    orden.setCaseSensitivity(Qt::CaseInsensitive);
    orden.setNumericMode(true);
    for (int tipo = 0; tipo <= 6; ++tipo) {
        SCOPED_TRACE(tipo);
        quill::NavItem* item = itemDe(w, tipo);
        ASSERT_TRUE(item);
        if (item->isEnabled()) QTest::mouseClick(item, Qt::LeftButton);
        ASSERT_EQ(w->TipoListado, tipo);
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
        for (int g = 0; g < popup->modelo()->rowCount(); ++g)
            EXPECT_FALSE(popup->vista()->isExpanded(popup->modelo()->index(g, 0)));
    }
}

TEST_F(Kinds, ConditionsStayWithTheirKindWhileTheUserWorksOnAnother) {
    elegirCampo(0, QStringLiteral("apel"), 1);
    escribir(0, 2, QStringLiteral("garcia"));
    ASSERT_EQ(texto(0, "Condicion1"), QStringLiteral("garcia"));

    QTest::mouseClick(itemDe(w, 3), Qt::LeftButton);
    EXPECT_EQ(w->pnlTitulo->text(), QStringLiteral("Condiciones Listado Por Fechas"));
    EXPECT_FALSE(itemDe(w, 3)->isEnabled());
    EXPECT_TRUE(itemDe(w, 0)->isEnabled());
    // One blank row in the empty table, focused on its first cell.
    ASSERT_EQ(tabla()->recordCount(), 1);
    EXPECT_EQ(valor(0, "Id").toDouble(), -1.0);
    EXPECT_EQ(valor(0, "Contador").toInt(), -1);
    EXPECT_EQ(grid()->currentIndex(), celda(0, 0));
    elegirCampo(0, QStringLiteral("fecha nac"), 13);
    EXPECT_EQ(texto(0, "Campo"), QStringLiteral("Fecha Nacimiento"));

    QTest::mouseClick(itemDe(w, 0), Qt::LeftButton);
    ASSERT_EQ(tabla(), w->dmlstPaciente->memGeneral);
    ASSERT_EQ(tabla()->recordCount(), 1) << "no second blank row";
    EXPECT_EQ(texto(0, "Campo"), QStringLiteral("Apellidos"));
    EXPECT_EQ(texto(0, "Condicion1"), QStringLiteral("garcia"));
    QTest::mouseClick(itemDe(w, 3), Qt::LeftButton);
    EXPECT_EQ(texto(0, "Campo"), QStringLiteral("Fecha Nacimiento"));
}

class KindsSinCatalogo : public VentanaGrid {
protected:
    void prepararAnfitrion(Anfitrion& h) override { h.conf.CarpetaPaquetes = vacia.path(); }
    QTemporaryDir vacia;
};

TEST_F(KindsSinCatalogo, AMissingCatalogueIsRememberedAsMinusOneAndTheGridStillWorks) {
    EXPECT_EQ(w->Resultado, -1);
    ASSERT_TRUE(w->grdFiltro);
    EXPECT_EQ(w->PopupCatalogo()->numeroCampos(), 0);
    // No message: the grid simply offers no fields.
    EXPECT_TRUE(modal.messages().isEmpty());
    QWidget* campo = editar(0, 0);
    ASSERT_TRUE(campo);
    QTest::keyClick(grid(), Qt::Key_Escape);
    escribir(0, 2, QStringLiteral("algo"));
    EXPECT_EQ(texto(0, "Condicion1"), QStringLiteral("algo"));
    QTest::keyClick(grid(), Qt::Key_Insert);
    EXPECT_EQ(tabla()->recordCount(), 2);
    QTest::mouseClick(itemDe(w, 6), Qt::LeftButton);
    EXPECT_EQ(w->Resultado, -1);
    EXPECT_EQ(tabla(), w->dmlstPaciente->memGarantias);
}

TEST_F(Kinds, TheStatusBarExplainsTheFocusedColumn) {
    const QString inicial = QStringLiteral("'INSERT' para añadir filtros de búsqueda al listado");
    EXPECT_EQ(w->textoAyuda(), inicial);
    grid()->setFocus();
    QStringList ayudas;
    for (int columna : {1, 2, 3, 0}) {
        grid()->setCurrentIndex(celda(0, columna));
        ayudas << w->textoAyuda();
    }
    EXPECT_TRUE(ayudas[3].startsWith(QStringLiteral("Campo de la base de datos")));
    EXPECT_TRUE(ayudas[0].startsWith(QStringLiteral("Condición que se va a usar")));
    EXPECT_EQ(QSet<QString>(ayudas.begin(), ayudas.end()).size(), 4) << "one hint per column";
    // Another kind starts over.
    QTest::mouseClick(itemDe(w, 1), Qt::LeftButton);
    EXPECT_EQ(w->textoAyuda(), inicial);
}
