#pragma once

// What the condition-grid tests share: a listing window in a host, the scripted modal double,
// the error windows it showed, and the moves of a user on the grid (open a cell, choose a field
// from the catalogue drop-down, choose an operator, type a value).

#include "anfitrion.h"
#include "conditions/tdmlstpaciente.h"
#include "listing/abrirlistado.h"
#include "listing/gridcondiciones.h"
#include "listing/grideditores.h"
#include "listing/tfrmerror.h"
#include "listing/tfrmlistado.h"
#include "platform/memtable.h"
#include "platform/memtablemodel.h"
#include "platform/modal.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTreeView>

namespace gridprueba {

class VentanaGrid : public ::testing::Test {
protected:
    void SetUp() override {
        prepararAnfitrion(host);
        host.principal.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.principal));
        modal.setDefaultDialog([this](QWidget* d) {
            if (auto* e = qobject_cast<TfrmError*>(d))
                errores << e->edtFuncion->text() + QStringLiteral(": ") +
                               e->memDescripcion->toPlainText();
            return 0;
        });
        w = AbrirListado(host.bloque.data());
        ASSERT_TRUE(w);
        host.principal.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host.principal));
    }

    void TearDown() override {
        EXPECT_TRUE(errores.isEmpty()) << errores.value(0).toStdString();
        // Without a shop database the close cannot log the access; that is not under test.
        if (w) w->Salir();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Tests change the host before the window opens by overriding this.
    virtual void prepararAnfitrion(Anfitrion&) {}

    quill::MemTable* tabla() const { return w->dmlstPaciente->TablaActual(); }
    quill::GridCondiciones* grid() const { return w->grdListado; }
    QModelIndex celda(int fila, int columna) const { return grid()->model()->index(fila, columna); }
    QVariant valor(int fila, const char* campo) const {
        return tabla()->valueAt(fila, QString::fromLatin1(campo));
    }
    QString texto(int fila, const char* campo) const { return valor(fila, campo).toString(); }

    // Focuses a cell and starts editing it with F2; the cell's editor, or null when refused.
    QWidget* editar(int fila, int columna) {
        // Whatever a closed drop-down left pending (focus, activation) settles first, as it
        // does between two moves of a user.
        QApplication::processEvents();
        grid()->setFocus();
        grid()->setCurrentIndex(celda(fila, columna));
        QTest::keyClick(grid(), Qt::Key_F2);
        QApplication::processEvents();
        return grid()->indexWidget(celda(fila, columna));
    }

    // Chooses a catalogue field in the Campo drop-down: types the start of its caption (the
    // incremental search) and presses Enter.
    void elegirCampo(int fila, const QString& busqueda, double idEsperado) {
        ASSERT_TRUE(editar(fila, 0)) << "the Campo cell did not open";
        quill::CatalogoPopup* catalogo = w->PopupCatalogo();
        ASSERT_TRUE(catalogo && catalogo->isVisible()) << "the drop-down opens with the cell";
        for (const QChar c : busqueda)
            QTest::sendKeyEvent(QTest::Click, catalogo->vista(), Qt::Key_unknown, QString(c), {});
        quill::EntradaArbol e;
        ASSERT_TRUE(catalogo->entradaActual(&e)) << busqueda.toStdString();
        ASSERT_EQ(e.id, idEsperado) << e.campo.toStdString();
        QTest::keyClick(catalogo->vista(), Qt::Key_Return);
        QApplication::processEvents();
    }

    // Opens the operator cell and moves through the list with the arrow keys, as a user does,
    // until the operator is shown (each move is written into the row at once).
    void elegirOperador(int fila, const QString& operador) {
        auto* lista = qobject_cast<QComboBox*>(editar(fila, 1));
        ASSERT_TRUE(lista) << "no operator list at row " << fila;
        const int destino = lista->findText(operador);
        ASSERT_GE(destino, 0) << operador.toStdString();
        for (int i = 0; i < 12 && lista->currentIndex() != destino; ++i)
            QTest::keyClick(lista, lista->currentIndex() < destino ? Qt::Key_Down : Qt::Key_Up);
        QTest::keyClick(lista, Qt::Key_Return);
        QApplication::processEvents();
    }

    // Types a value into a text cell and presses Enter.
    void escribir(int fila, int columna, const QString& texto) {
        auto* linea = qobject_cast<QLineEdit*>(editar(fila, columna));
        ASSERT_TRUE(linea) << "no text editor at " << fila << "," << columna;
        linea->selectAll();
        QTest::keyClicks(linea, texto);
        QTest::keyClick(linea, Qt::Key_Return);
        QApplication::processEvents();
    }

    // Moving to another row posts the row, as the grid does.
    void salirDeFila(int fila) {
        // The window's keys need it active again after a dialog or drop-down closed.
        QApplication::processEvents();
        if (!host.principal.isActiveWindow()) {
            host.principal.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&host.principal));
        }
        grid()->setFocus();
        QTest::keyClick(grid(), Qt::Key_Insert);
        ASSERT_NE(tabla()->currentRow(), fila);
    }

    Anfitrion host;
    quill::ScriptedModal modal;
    quill::ScopedModal instalado{modal};
    QStringList errores; // "function: description" of each error window
    QPointer<TfrmListado> w;
};

} // namespace gridprueba
