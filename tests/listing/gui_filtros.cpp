// The two saved-filter dialogs driven as a user would (offscreen, keys and clicks through QTest,
// questions answered by the scripted Modal).

#include "../platform/qtprint.h"
#include "conditions/catalogo.h"
#include "conditions/filtros.h"
#include "conditions/tdmlstpaciente.h"
#include "listing/tfrmlstbuscarfiltros.h"
#include "listing/tfrmlstcrearfiltro.h"
#include "conditions/tlstfiltros.h"
#include "host/bloque.h"
#include "platform/datapacket.h"
#include "platform/memtable.h"
#include "platform/modal.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using namespace quill;

namespace {

bool mostrar(QWidget* w) {
    w->show();
    return QTest::qWaitForWindowActive(w);
}

// Types text the way a keyboard would, accented letters included.
void teclear(QWidget* w, const QString& texto) {
    for (const QChar c : texto)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

class DialogosFiltro : public ::testing::Test {
protected:
    void SetUp() override {
        carpeta = quilltest::scratch();
        puesto.CarpetaFiltros = carpeta->filePath("filtros");
        puesto.CarpetaPaquetes = quilltest::dataDir();
        ASSERT_TRUE(QDir().mkpath(puesto.CarpetaFiltros));
        setSlot(bloque, SlotSettings, &puesto);
    }

    std::unique_ptr<QTemporaryDir> carpeta;
    TConfPuesto puesto;
    HostBlock bloque{};
    ScriptedModal modal;
    ScopedModal instalado{modal};
};

TEST_F(DialogosFiltro, CrearFiltroKeys) {
    TfrmlstCrearFiltro d;
    ASSERT_TRUE(mostrar(&d));
    d.edtNombre->setFocus();
    teclear(d.edtNombre, "Gafas ñ");
    // Enter moves on and accepts nothing, even from a button.
    QTest::keyClick(d.edtNombre, Qt::Key_Return);
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(d.tbnAceptar->hasFocus());
    QTest::keyClick(d.tbnAceptar, Qt::Key_Return);
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(d.tbnCancelar->hasFocus());
    // F5 accepts from wherever the focus is.
    QTest::keyClick(d.tbnCancelar, Qt::Key_F5);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Nombre(), "Gafas ñ");
    EXPECT_TRUE(modal.questions().isEmpty());

    TfrmlstCrearFiltro c;
    c.setNombre("algo");
    ASSERT_TRUE(mostrar(&c));
    QTest::keyClick(c.edtNombre, Qt::Key_F12);
    EXPECT_FALSE(c.isVisible());
    EXPECT_EQ(c.result(), QDialog::Rejected);
    EXPECT_TRUE(c.Nombre().isEmpty());
}

TEST_F(DialogosFiltro, CrearFiltroRefusesBadNamesAndStaysOpen) {
    const QList<std::pair<QString, QString>> casos = {
        {"", "Debe introducir una descripción para el Registro"},
        {"copia.xml", ComprobarNombreFiltro("copia.xml")},
    };
    TfrmlstCrearFiltro d;
    ASSERT_TRUE(mostrar(&d));
    for (const auto& [nombre, mensaje] : casos) {
        SCOPED_TRACE(qPrintable(nombre));
        modal.clear();
        d.edtNombre->setText(nombre);
        QTest::mouseClick(d.tbnAceptar, Qt::LeftButton);
        ASSERT_EQ(modal.messages().size(), 1);
        EXPECT_EQ(modal.messages()[0].caption, "ERROR");
        EXPECT_EQ(modal.messages()[0].text, mensaje);
        EXPECT_EQ(modal.messages()[0].icon, MessageIcon::Stop);
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(d.edtNombre->hasFocus());
        EXPECT_TRUE(d.Nombre().isEmpty());
    }
}

TEST_F(DialogosFiltro, CrearFiltroAsksOnlyBeforeReusingItsOwnName) {
    TfrmlstCrearFiltro d;
    d.setNombre("Revisiones");
    ASSERT_TRUE(mostrar(&d));
    modal.queueAnswers({false, true});
    QTest::keyClick(d.edtNombre, Qt::Key_F5);
    ASSERT_EQ(modal.questions().size(), 1);
    EXPECT_EQ(modal.questions()[0].caption, "AVISO");
    EXPECT_EQ(modal.questions()[0].text,
              "El Filtro Seleccionado ya existe, ¿Desea sobreescribirlo?");
    EXPECT_TRUE(d.isVisible()); // No keeps it open
    QTest::keyClick(d.edtNombre, Qt::Key_F5);
    EXPECT_EQ(modal.questions().size(), 2);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.Nombre(), "Revisiones");

    // Another name, even one that is a file already, is taken without a question.
    TfrmlstCrearFiltro otro;
    otro.setNombre("Revisiones");
    ASSERT_TRUE(mostrar(&otro));
    otro.edtNombre->setText("Revisiones 2");
    QTest::mouseClick(otro.tbnAceptar, Qt::LeftButton);
    EXPECT_EQ(modal.questions().size(), 2);
    EXPECT_EQ(otro.result(), QDialog::Accepted);
    EXPECT_EQ(otro.Nombre(), "Revisiones 2");
}

TEST_F(DialogosFiltro, BuscarFiltrosListsTheKindsFiltersAndNeedsAChoice) {
    TLstFiltros guardar;
    AsignarCarpetas(guardar, bloque.data());
    MemTable tabla;
    TdmlstPaciente::DefinirCampos(tabla, 0);
    tabla.open();
    tabla.appendRecord({2.0, 0.0, "Nombre", "Vacío", 1, 0});
    ASSERT_EQ(GuardarFiltro(guardar, tabla, 0, true, "Zeta").codigo, 0);
    ASSERT_EQ(GuardarFiltro(guardar, tabla, 0, true, "Alfa").codigo, 0);
    ASSERT_EQ(GuardarFiltro(guardar, tabla, 1, true, "Consumo").codigo, 0);

    TfrmlstBuscarFiltros d;
    d.setBloque(bloque.data());
    d.setTipoListado(0);
    EXPECT_EQ(d.CargarFiltros(), 2);
    ASSERT_EQ(d.lvwFiltros->count(), 2);
    EXPECT_EQ(d.lvwFiltros->item(0)->text(), "Alfa");
    EXPECT_EQ(d.lvwFiltros->item(1)->text(), "Zeta");

    ASSERT_TRUE(mostrar(&d));
    QTest::mouseClick(d.tbnAceptar, Qt::LeftButton);
    EXPECT_TRUE(d.isVisible()); // nothing chosen, nothing happens
    EXPECT_TRUE(d.Filtro().isEmpty());
    d.lvwFiltros->setCurrentRow(1);
    QTest::mouseClick(d.tbnAceptar, Qt::LeftButton);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Filtro(), "Zeta");

    d.setTipoListado(1);
    EXPECT_EQ(d.CargarFiltros(), 1);
    EXPECT_EQ(d.lvwFiltros->item(0)->text(), "Consumo");
}

} // namespace
