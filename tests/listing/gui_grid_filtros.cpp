// The grid's buttons beyond editing: saving the conditions under a name and loading them back,
// and the picker button of article fields.

#include "conditions/filtros.h"
#include "gui_grid_apoyo.h"
#include "listing/navbar.h"
#include "listing/tfrmlstbuscarfiltros.h"
#include "listing/tfrmlstcrearfiltro.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

using gridprueba::VentanaGrid;

class GridFiltros : public VentanaGrid {
protected:
    void prepararAnfitrion(Anfitrion& h) override { h.conf.CarpetaFiltros = carpeta.path(); }

    // Ticks entries of the check list of a row's first value.
    void marcarLista(int fila, std::initializer_list<int> entradas) {
        auto* editor = qobject_cast<quill::EditorDesplegable*>(editar(fila, 2));
        ASSERT_TRUE(editor);
        QTest::keyClick(editor->linea(), Qt::Key_F4);
        QApplication::processEvents();
        quill::CheckListPopup* lista = w->PopupCheck();
        ASSERT_TRUE(lista && lista->isVisible());
        for (int e : entradas) {
            lista->lista()->setCurrentRow(e);
            QTest::keyClick(lista->lista(), Qt::Key_Space);
        }
        lista->hide();
        QApplication::processEvents();
    }

    QTemporaryDir carpeta;
};

TEST_F(GridFiltros, SavedConditionsComeBackWithTheirValuesAndRebuiltFragments) {
    elegirCampo(0, QStringLiteral("sexo"), 11);
    marcarLista(0, {0, 1});
    salirDeFila(0);
    elegirCampo(1, QStringLiteral("apel"), 1);
    escribir(1, 2, QStringLiteral("garcia"));
    salirDeFila(1);
    QTest::keyClick(grid(), Qt::Key_Delete, Qt::ControlModifier); // the blank third row
    ASSERT_EQ(tabla()->recordCount(), 2);
    w->rbnCualquiera->setChecked(true);

    QString propuesto = QStringLiteral("(sin abrir)");
    modal.queueDialog([&propuesto](QWidget* d) {
        auto* dialogo = qobject_cast<TfrmlstCrearFiltro*>(d);
        if (!dialogo) return 0;
        propuesto = dialogo->edtNombre->text();
        dialogo->edtNombre->setText(QStringLiteral("Mis pacientes"));
        dialogo->Aceptar();
        return dialogo->result();
    });
    QTest::mouseClick(w->tbnGuardar, Qt::LeftButton);
    EXPECT_EQ(propuesto, QString());
    EXPECT_TRUE(QFile::exists(QDir(carpeta.path()).filePath(QStringLiteral("Mis pacientes.xml"))));

    modal.queueAnswer(true);
    QTest::keyClick(grid(), Qt::Key_F7);
    ASSERT_EQ(tabla()->recordCount(), 1);
    w->rbnTodas->setChecked(true);

    QStringList ofrecidos;
    modal.queueDialog([&ofrecidos](QWidget* d) {
        auto* dialogo = qobject_cast<TfrmlstBuscarFiltros*>(d);
        if (!dialogo) return 0;
        for (int i = 0; i < dialogo->lvwFiltros->count(); ++i)
            ofrecidos << dialogo->lvwFiltros->item(i)->text();
        dialogo->lvwFiltros->setCurrentRow(0);
        dialogo->Aceptar();
        return dialogo->result();
    });
    QTest::mouseClick(w->tbnCargar, Qt::LeftButton);
    EXPECT_EQ(ofrecidos, QStringList{QStringLiteral("Mis pacientes")});
    EXPECT_EQ(w->pnlTitulo->text(), QStringLiteral("Condiciones Listado General - Mis pacientes"));
    EXPECT_EQ(w->FiltroCargado, QStringLiteral("Mis pacientes"));
    EXPECT_TRUE(w->rbnCualquiera->isChecked());
    ASSERT_EQ(tabla()->recordCount(), 2);
    // List and typed values come back with their fragments: the loaded filter runs at once.
    EXPECT_EQ(texto(0, "Condicion1"), QStringLiteral("Hombre; Mujer"));
    EXPECT_EQ(texto(0, "Condicion1Ids"), QStringLiteral("1;2"));
    EXPECT_EQ(texto(0, "Sentencia"), QStringLiteral("(PACIENTE.SEXO  = 1 Or PACIENTE.SEXO = 2)"));
    EXPECT_EQ(texto(1, "Campo"), QStringLiteral("Apellidos"));
    EXPECT_EQ(texto(1, "Condicion1"), QStringLiteral("garcia"));
    EXPECT_TRUE(texto(1, "Sentencia").contains(QStringLiteral("GARCIA")))
        << qPrintable(texto(1, "Sentencia"));
    EXPECT_EQ(w->ValidarCondiciones(), 0);

    // Cancelling the list of filters changes nothing.
    QTest::mouseClick(w->tbnCargar, Qt::LeftButton);
    EXPECT_EQ(tabla()->recordCount(), 2);
}

TEST_F(GridFiltros, TheArticleButtonKeepsOneSelectionTablePerRow) {
    for (quill::NavItem* i : w->nbgListados->links())
        if (i->tag() == 1) QTest::mouseClick(i, Qt::LeftButton);
    ASSERT_EQ(w->TipoListado, 1);
    elegirCampo(0, QStringLiteral("artículos de g"), 91);
    auto* boton = qobject_cast<quill::EditorBoton*>(editar(0, 2));
    ASSERT_TRUE(boton);
    EXPECT_TRUE(boton->linea()->isReadOnly());
    tabla()->edit();
    tabla()->setValue(QStringLiteral("Condicion1"), QStringLiteral("algo"));

    // The host names no program folder here: the picker cannot be loaded, the value is emptied
    // and the status bar says why.
    QTest::keyClick(boton->linea(), Qt::Key_F4);
    EXPECT_EQ(texto(0, "Condicion1"), QString());
    EXPECT_EQ(valor(0, "Contador").toInt(), 1);
    EXPECT_FALSE(w->textoAyuda().isEmpty());
    // Pressing again reuses the row's table.
    QTest::keyClick(boton->linea(), Qt::Key_F4);
    // A second article row gets a table of its own.
    salirDeFila(0);
    elegirCampo(1, QStringLiteral("artículos de c"), 129);
    auto* otro = qobject_cast<quill::EditorBoton*>(editar(1, 2));
    ASSERT_TRUE(otro);
    QTest::keyClick(otro->linea(), Qt::Key_F4);
    EXPECT_EQ(valor(1, "Contador").toInt(), 2);
    EXPECT_EQ(w->dmlstPaciente->NumeroArticulos(), 2);
}

// Saving over another saved filter and loading over conditions not saved both ask first; No
// leaves everything as it was.
TEST_F(GridFiltros, OverwritingAnotherFilterOrUnsavedConditionsAsksFirst) {
    const auto guardarComo = [this](const QString& nombre) {
        modal.queueDialog([nombre](QWidget* d) {
            auto* dialogo = qobject_cast<TfrmlstCrearFiltro*>(d);
            if (!dialogo) return 0;
            dialogo->edtNombre->setText(nombre);
            dialogo->Aceptar();
            return dialogo->result();
        });
        QTest::mouseClick(w->tbnGuardar, Qt::LeftButton);
    };
    const QString uno = QDir(carpeta.path()).filePath(QStringLiteral("Uno.xml"));
    elegirCampo(0, QStringLiteral("apel"), 1);
    escribir(0, 2, QStringLiteral("garcia"));
    salirDeFila(0);
    EXPECT_TRUE(w->CondicionesSinGuardar);
    guardarComo(QStringLiteral("Uno"));
    ASSERT_TRUE(QFile::exists(uno));
    EXPECT_TRUE(modal.questions().isEmpty()) << "a new name asks nothing";
    EXPECT_FALSE(w->CondicionesSinGuardar);

    // Another filter's name, answered No: the file stays as it was.
    elegirCampo(1, QStringLiteral("nom"), 2);
    escribir(1, 2, QStringLiteral("ana"));
    salirDeFila(1);
    QFile antes(uno);
    ASSERT_TRUE(antes.open(QIODevice::ReadOnly));
    const QByteArray contenido = antes.readAll();
    antes.close();
    modal.queueAnswer(false);
    guardarComo(QStringLiteral("Uno"));
    ASSERT_EQ(modal.questions().size(), 1);
    EXPECT_EQ(modal.questions().first().text, quill::PreguntaSobreescribir());
    QFile despues(uno);
    ASSERT_TRUE(despues.open(QIODevice::ReadOnly));
    EXPECT_EQ(despues.readAll(), contenido);
    EXPECT_TRUE(w->CondicionesSinGuardar);

    // Loading over the unsaved conditions: No keeps them; Yes replaces them.
    const auto cargarPrimero = [this] {
        modal.queueDialog([](QWidget* d) {
            auto* dialogo = qobject_cast<TfrmlstBuscarFiltros*>(d);
            if (!dialogo) return 0;
            dialogo->lvwFiltros->setCurrentRow(0);
            dialogo->Aceptar();
            return dialogo->result();
        });
        QTest::mouseClick(w->tbnCargar, Qt::LeftButton);
    };
    const int filas = tabla()->recordCount();
    modal.clear();
    modal.queueAnswer(false);
    cargarPrimero();
    ASSERT_EQ(modal.questions().size(), 1);
    EXPECT_EQ(modal.questions().first().text,
              QStringLiteral("Las condiciones actuales no se han guardado. ¿Desea reemplazarlas "
                             "por las del filtro «Uno»?"));
    EXPECT_EQ(tabla()->recordCount(), filas);
    modal.clear();
    modal.queueAnswer(true);
    cargarPrimero();
    EXPECT_EQ(modal.questions().size(), 1);
    EXPECT_EQ(tabla()->recordCount(), 1);
    EXPECT_FALSE(w->CondicionesSinGuardar);
}
