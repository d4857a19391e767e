// A picture of the condition grid at work on a generated shop database: four conditions of
// different kinds and the catalogue drop-down open. Runs only when asked, on a real display:
//
//   QUILL_CAPTURA=/tmp/grid.png QUILL_CAPTURA_DB=/tmp/tienda.fdb QT_QPA_PLATFORM=xcb
//   xvfb-run -a -s "-screen 0 1280x800x24" build/bin/listing_gui --gtest_filter='GridCaptura.*'

#include "gui_grid_apoyo.h"
#include "sql/database.h"

#include <QCalendarWidget>
#include <QGuiApplication>
#include <QImage>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPixmap>
#include <QScreen>
#include <QTableView>

using gridprueba::VentanaGrid;

namespace {
const QString kConexion = QStringLiteral("captura");
}

class GridCaptura : public VentanaGrid {
protected:
    void SetUp() override {
        salida = qEnvironmentVariable("QUILL_CAPTURA");
        base = qEnvironmentVariable("QUILL_CAPTURA_DB");
        if (salida.isEmpty() || base.isEmpty())
            GTEST_SKIP() << "QUILL_CAPTURA and QUILL_CAPTURA_DB name the picture and the database";
        const QString error = quill::openDatabase(kConexion, quill::DbParams(base));
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        VentanaGrid::SetUp();
    }
    void TearDown() override {
        if (salida.isEmpty() || base.isEmpty()) return;
        VentanaGrid::TearDown();
        quill::closeDatabase(kConexion);
    }
    void prepararAnfitrion(Anfitrion& h) override {
        h.db.connectionName = kConexion;
        h.tr.connectionName = kConexion;
        h.log.connectionName = kConexion;
        h.principal.setGeometry(0, 0, 1280, 800);
    }
    void esperar(int ms) {
        QTest::qWait(ms);
        QApplication::processEvents();
    }

    QString salida;
    QString base;
};

TEST_F(GridCaptura, FourConditionsAndTheCatalogueDropDown) {
    if (auto* marco = qobject_cast<QMdiSubWindow*>(w->parentWidget()))
        marco->setGeometry(20, 10, 1000, 640);
    esperar(100);

    // A text, a date range, a multiple choice from the database and a number.
    elegirCampo(0, QStringLiteral("apel"), 1);
    elegirOperador(0, QStringLiteral("Empieza por..."));
    escribir(0, 2, QStringLiteral("gar"));
    salirDeFila(0);

    elegirCampo(1, QStringLiteral("fecha nac"), 13);
    elegirOperador(1, QStringLiteral("...Entre..."));
    for (int columna : {2, 3}) {
        auto* editor = qobject_cast<quill::EditorDesplegable*>(editar(1, columna));
        ASSERT_TRUE(editor);
        QTest::keyClick(editor->linea(), Qt::Key_F4);
        esperar(50);
        quill::CalendarioPopup* cal = w->PopupCalendario();
        ASSERT_TRUE(cal);
        cal->calendario()->setSelectedDate(columna == 2 ? QDate(1950, 1, 1) : QDate(1980, 12, 31));
        QTest::keyClick(cal->calendario()->findChild<QTableView*>(), Qt::Key_Return);
        esperar(50);
    }
    salirDeFila(1);

    elegirCampo(2, QStringLiteral("locali"), 5);
    auto* editor = qobject_cast<quill::EditorDesplegable*>(editar(2, 2));
    ASSERT_TRUE(editor);
    QTest::keyClick(editor->linea(), Qt::Key_F4);
    esperar(50);
    quill::CheckListPopup* lista = w->PopupCheck();
    ASSERT_TRUE(lista && lista->lista()->count() >= 2);
    for (int i : {0, 1}) {
        lista->lista()->setCurrentRow(i);
        QTest::keyClick(lista->lista(), Qt::Key_Space);
    }
    lista->hide();
    esperar(50);
    salirDeFila(2);

    elegirCampo(3, QStringLiteral("total c"), 19);
    elegirOperador(3, QStringLiteral("Mayor que..."));
    escribir(3, 2, QStringLiteral("300"));
    salirDeFila(3);
    for (int fila = 0; fila < 4; ++fila)
        EXPECT_FALSE(texto(fila, "Sentencia").isEmpty()) << fila;
    EXPECT_TRUE(modal.messages().isEmpty());

    // The fifth row's Campo drop-down, searching, with the pointer resting on the field found.
    // The drop-downs used above hand the window's activation back first.
    esperar(300);
    QWidget* campo = editar(4, 0);
    ASSERT_TRUE(campo);
    quill::CatalogoPopup* catalogo = w->PopupCatalogo();
    ASSERT_TRUE(catalogo && catalogo->isVisible());
    for (const QChar c : QStringLiteral("fecha n"))
        QTest::sendKeyEvent(QTest::Click, catalogo->vista(), Qt::Key_unknown, QString(c), {});
    const QModelIndex encontrado = catalogo->vista()->currentIndex();
    EXPECT_EQ(encontrado.data().toString(), QStringLiteral("Fecha Nacimiento"));
    QTest::mouseMove(catalogo->vista()->viewport(),
                     catalogo->vista()->visualRect(encontrado).center());
    esperar(1500);
    ASSERT_TRUE(catalogo->isVisible());

    const QPixmap foto = QGuiApplication::primaryScreen()->grabWindow(0);
    ASSERT_FALSE(foto.isNull());
    EXPECT_TRUE(foto.save(salida));
    QTest::keyClick(catalogo->vista(), Qt::Key_Escape);
}
