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
        EXPECT_EQ(modal.messages()[0].text, mensaje);
        EXPECT_TRUE(d.isVisible());
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
    EXPECT_EQ(modal.questions()[0].text,
              "El Filtro Seleccionado ya existe, ¿Desea sobreescribirlo?");
    EXPECT_TRUE(d.isVisible()); // No keeps it open
    QTest::keyClick(d.edtNombre, Qt::Key_F5);
    EXPECT_EQ(modal.questions().size(), 2);
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.Nombre(), "Revisiones");
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
    EXPECT_EQ(d.Filtro(), "Zeta");
}

} // namespace
