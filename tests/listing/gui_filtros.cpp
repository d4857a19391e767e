// The two saved-filter dialogs driven as a user would (offscreen, keys and clicks through QTest,
// questions answered by the scripted Modal), and a save-clear-load day through them.

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

const QString kDescripcionCrear =
    "Escriba el nombre con el cual quiere grabar el filtro seleccionado para el listado. Es "
    "aconsejable poner un nombre claro que le permita identificar facilmente el filtro a la hora "
    "de buscarlo.";

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

TEST_F(DialogosFiltro, CrearFiltroShowsItsTexts) {
    TfrmlstCrearFiltro d;
    d.setNombre("Revisiones");
    EXPECT_EQ(d.windowTitle(), "Crear Filtro Listados");
    EXPECT_TRUE(d.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(d.lblTitulo->text(), "Crear nuevo Filtro");
    EXPECT_EQ(d.lblDescripcion->text(), kDescripcionCrear);
    EXPECT_EQ(d.tbnAceptar->text(), "&Aceptar");
    EXPECT_EQ(d.tbnCancelar->text(), "&Cancelar");
    EXPECT_EQ(d.edtNombre->maxLength(), 150);
    EXPECT_EQ(d.edtNombre->text(), "Revisiones");
    EXPECT_TRUE(d.Nombre().isEmpty());
}

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
        {"   ", "Debe introducir una descripción para el Registro"},
        {"a/b", ComprobarNombreFiltro("a/b")},
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

TEST_F(DialogosFiltro, PedirNombreGoesThroughModal) {
    modal.queueDialog([](QWidget* w) {
        auto* d = qobject_cast<TfrmlstCrearFiltro*>(w);
        if (!d || !mostrar(d)) return 0;
        EXPECT_EQ(d->edtNombre->text(), "Anterior");
        d->edtNombre->selectAll();
        teclear(d->edtNombre, "Nuevo año");
        QTest::keyClick(d->edtNombre, Qt::Key_F5);
        return d->result();
    });
    EXPECT_EQ(PedirNombreFiltro("Anterior"), "Nuevo año");
    modal.queueDialog([](QWidget* w) {
        auto* d = qobject_cast<TfrmlstCrearFiltro*>(w);
        if (!d || !mostrar(d)) return 0;
        QTest::mouseClick(d->tbnCancelar, Qt::LeftButton);
        return d->result();
    });
    EXPECT_EQ(PedirNombreFiltro("Anterior"), "");
    EXPECT_EQ(modal.dialogCount(), 2);
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
    EXPECT_EQ(d.windowTitle(), "Búsqueda de Filtros");
    EXPECT_EQ(d.lblTitulo->text(), "Filtros Disponibles");
    EXPECT_EQ(d.lblDescripcion->text(), "En esta pantalla se le muestran todos los filtros "
                                        "disponible para el listado elegido.");
    EXPECT_EQ(d.tbnAceptar->text(), "&Aceptar");
    EXPECT_EQ(d.tbnCancelar->text(), "&Cancelar");
    EXPECT_EQ(d.lvwFiltros->objectName(), "lvwFiltros");
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

// A user's day: save the General conditions under a name, clear them, find the filter among the
// saved ones and load it back.
TEST_F(DialogosFiltro, SaveClearAndLoadThroughTheDialogs) {
    TdmlstPaciente dm;
    dm.AbrirTablas();
    ASSERT_EQ(CargarCatalogo(*dm.cdsFiltros, quilltest::dataDir(), 0), kCatalogoCargado);
    dm.setTablaActual(0);
    MemTable& t = *dm.memGeneral;
    t.appendRecord({11.0, 0.0, "Sexo", "Igual a...", 4, 3, "Mujer", QVariant(), "X", -1, "2"});
    t.appendRecord({1.0, 0.0, "Apellidos", "Empieza por...", 1, 0, "GAR", QVariant(), "Y", -1});
    TLstFiltros filtros;
    AsignarCarpetas(filtros, bloque.data());

    modal.queueDialog([](QWidget* w) {
        auto* d = qobject_cast<TfrmlstCrearFiltro*>(w);
        if (!d || !mostrar(d)) return 0;
        teclear(d->edtNombre, "Mujeres");
        QTest::keyClick(d->edtNombre, Qt::Key_F5);
        return d->result();
    });
    const QString nombre = PedirNombreFiltro(QString());
    ASSERT_EQ(nombre, "Mujeres");
    ASSERT_EQ(GuardarFiltro(filtros, t, 0, false, nombre).codigo, 0);
    dm.VaciarTablas();

    modal.queueDialog([](QWidget* w) {
        auto* d = qobject_cast<TfrmlstBuscarFiltros*>(w);
        if (!d || !mostrar(d) || d->lvwFiltros->count() != 1) return 0;
        d->lvwFiltros->setCurrentRow(0);
        QTest::mouseClick(d->tbnAceptar, Qt::LeftButton);
        return d->result();
    });
    const QString elegido = ElegirFiltro(bloque.data(), 0);
    ASSERT_EQ(elegido, "Mujeres");

    bool reconstruir = true;
    QStringList lista;
    QList<bool> flags;
    t.setBeforePost([&](MemTable&) { flags.append(reconstruir); });
    VentanaFiltro v;
    v.datos = &dm;
    v.reconstruir = &reconstruir;
    v.lista = &lista;
    const ResultadoFiltro r = MostrarFiltros(filtros, v, elegido);
    ASSERT_EQ(r.codigo, 0) << qPrintable(r.detalle);
    EXPECT_FALSE(r.todas);
    ASSERT_EQ(t.recordCount(), 2);
    EXPECT_EQ(t.valueAt(0, "Condicion1").toString(), "Mujer");
    EXPECT_EQ(t.valueAt(0, "Condicion1Ids").toString(), "2");
    EXPECT_EQ(t.valueAt(1, "Condicion").toString(), "Empieza por...");
    EXPECT_EQ(t.valueAt(1, "Condicion1").toString(), "");
    EXPECT_EQ(flags, QList<bool>({true, false}));
    EXPECT_EQ(lista, QStringList({"2"}));
    EXPECT_TRUE(modal.messages().isEmpty());
}

} // namespace
