// Listing kinds at work: each kind's catalogue in the Campo drop-down, its conditions kept while
// the user works on another kind, a missing catalogue, the status-bar hints.

#include "gui_grid_apoyo.h"
#include "listing/navbar.h"
#include "testsupport.h"

#include <QCollator>
#include <QFile>
#include <QLabel>
#include <QSet>
#include <QStandardItemModel>
#include <QXmlStreamReader>

#include <map>
#include <set>

using gridprueba::VentanaGrid;

namespace {

// One catalogue entry as the file holds it.
struct Entrada {
    int grupo;
    QString tituloGrupo;
    QString campo;
};

// Reads Filtros.xml on its own, without the module's loader.
QList<Entrada> leerCatalogo() {
    QList<Entrada> r;
    QFile f(quilltest::dataDir() + QStringLiteral("/Filtros.xml"));
    if (!f.open(QIODevice::ReadOnly)) return r;
    QXmlStreamReader xml(&f);
    while (xml.readNextStartElement() || !xml.atEnd()) {
        if (xml.isStartElement() && xml.name() == QLatin1String("ROW")) {
            const auto a = xml.attributes();
            r.append({a.value(QLatin1String("IDGRUPO")).toInt(),
                      a.value(QLatin1String("GRUPO")).toString(),
                      a.value(QLatin1String("CAMPO")).toString()});
        }
        if (!xml.isStartElement()) xml.readNext();
    }
    return r;
}

quill::NavItem* itemDe(TfrmListado* w, int tipo) {
    for (quill::NavItem* i : w->nbgListados->links())
        if (i->tag() == tipo) return i;
    return nullptr;
}

} // namespace

class Kinds : public VentanaGrid {};

TEST_F(Kinds, EachKindOffersItsCatalogueGroupsInGroupOrderWithFieldsSorted) {
    const QList<Entrada> catalogo = leerCatalogo();
    ASSERT_GT(catalogo.size(), 400);
    // Groups shown by each kind.
    const std::map<int, std::set<int>> grupos = {{0, {0, 1, 2, 3, 4, 5, 6, 7, 14}},
                                                 {1, {0, 9, 14}},
                                                 {2, {0, 13, 14}},
                                                 {3, {0, 1, 2, 3, 4, 5, 6, 7, 8, 14}},
                                                 {4, {0, 10}},
                                                 {5, {0, 11}},
                                                 {6, {15}}};
    QCollator orden(QLocale(QLocale::Spanish, QLocale::Spain));
    orden.setCaseSensitivity(Qt::CaseInsensitive);
    orden.setNumericMode(true);

    for (const auto& [tipo, suyos] : grupos) {
        SCOPED_TRACE(tipo);
        quill::NavItem* item = itemDe(w, tipo);
        ASSERT_TRUE(item);
        if (item->isEnabled()) QTest::mouseClick(item, Qt::LeftButton);
        ASSERT_EQ(w->TipoListado, tipo);
        EXPECT_EQ(w->Resultado, 0);
        quill::CatalogoPopup* popup = w->PopupCatalogo();
        ASSERT_TRUE(popup);

        // Expected: the kind's groups by number, each with the fields the file gives it.
        std::map<int, QString> titulos;
        std::map<QString, QStringList> campos;
        int total = 0;
        for (const Entrada& e : catalogo) {
            if (!suyos.count(e.grupo)) continue;
            titulos.emplace(e.grupo, e.tituloGrupo);
            campos[e.tituloGrupo] << e.campo;
            ++total;
        }
        QStringList esperados;
        for (const auto& [numero, titulo] : titulos)
            if (!esperados.contains(titulo)) esperados << titulo;
        EXPECT_EQ(popup->grupos(), esperados);
        EXPECT_FALSE(popup->grupos().contains(QStringLiteral("Artículos"))) << "group 12";
        EXPECT_EQ(popup->numeroCampos(), total);
        for (const QString& g : esperados) {
            const QStringList vistos = popup->campos(g);
            QStringList ordenados = campos[g];
            std::stable_sort(
                ordenados.begin(), ordenados.end(),
                [&](const QString& a, const QString& b) { return orden.compare(a, b) < 0; });
            EXPECT_EQ(vistos, ordenados) << g.toStdString();
        }
        // Every group starts collapsed.
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
