// A picture of the condition grid at work on a shop database: four conditions of different kinds
// and the catalogue drop-down open. Run by hand on a real display, e.g.
//
//   export QT_QPA_PLATFORM=xcb
//   xvfb-run -a -s "-screen 0 1280x800x24" build/bin/bench_captura_grid TIENDA.fdb grid.png
//
// Any writable copy of a shop database will do, e.g. one from build/test-databases.
// With a third argument "rechazo": a refused value marked in the grid instead, and beside the
// picture a second one (-dialogo.png) of Qt's file dialog as the window's users see it.

#include "../tests/listing/anfitrion.h"
#include "conditions/tdmlstpaciente.h"
#include "listing/abrirlistado.h"
#include "listing/gridcondiciones.h"
#include "listing/grideditores.h"
#include "listing/tfrmlistado.h"
#include "platform/memtable.h"
#include "platform/modal.h"
#include "sql/database.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QTreeView>

#include <cstdio>

namespace {

TfrmListado* w = nullptr;

void esperar(int ms) {
    QTest::qWait(ms);
    QApplication::processEvents();
}

QModelIndex celda(int fila, int columna) {
    return w->grdListado->model()->index(fila, columna);
}

// Focuses a cell and opens its editor with F2.
QWidget* editar(int fila, int columna) {
    QApplication::processEvents();
    w->grdListado->setFocus();
    w->grdListado->setCurrentIndex(celda(fila, columna));
    QTest::keyClick(w->grdListado, Qt::Key_F2);
    QApplication::processEvents();
    return w->grdListado->indexWidget(celda(fila, columna));
}

// Types the start of a field's caption in the catalogue drop-down and takes it with Enter.
void elegirCampo(int fila, const QString& busqueda) {
    editar(fila, 0);
    quill::CatalogoPopup* catalogo = w->PopupCatalogo();
    for (const QChar c : busqueda)
        QTest::sendKeyEvent(QTest::Click, catalogo->vista(), Qt::Key_unknown, QString(c), {});
    QTest::keyClick(catalogo->vista(), Qt::Key_Return);
    QApplication::processEvents();
}

void elegirOperador(int fila, const QString& operador) {
    auto* lista = qobject_cast<QComboBox*>(editar(fila, 1));
    if (!lista) return;
    lista->setCurrentIndex(lista->findText(operador));
    QTest::keyClick(lista, Qt::Key_Return);
    QApplication::processEvents();
}

void escribir(int fila, int columna, const QString& texto) {
    auto* linea = qobject_cast<QLineEdit*>(editar(fila, columna));
    if (!linea) return;
    QTest::keyClicks(linea, texto);
    QTest::keyClick(linea, Qt::Key_Return);
    QApplication::processEvents();
}

// Moving to a new row posts the one being edited.
void salirDeFila() {
    QApplication::processEvents();
    w->window()->activateWindow();
    w->grdListado->setFocus();
    QTest::keyClick(w->grdListado, Qt::Key_Insert);
}

void abrirDesplegable(int fila, int columna) {
    if (auto* editor = qobject_cast<quill::EditorDesplegable*>(editar(fila, columna)))
        QTest::keyClick(editor->linea(), Qt::Key_F4);
    esperar(50);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "uso: %s TIENDA.fdb SALIDA.png [rechazo]\n", argv[0]);
        return 1;
    }
    const QString conexion = QStringLiteral("captura");
    const QString error =
        quill::openDatabase(conexion, quill::DbParams(QString::fromLocal8Bit(argv[1])));
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    Anfitrion host(conexion);
    host.principal.setGeometry(0, 0, 1280, 800);
    host.principal.show();
    quill::ScriptedModal modal;
    quill::ScopedModal instalado{modal};
    w = AbrirListado(host.bloque.data());
    if (!w) return 1;
    if (auto* marco = qobject_cast<QMdiSubWindow*>(w->parentWidget()))
        marco->setGeometry(20, 10, 1000, 640);
    host.principal.activateWindow();
    if (!QTest::qWaitForWindowActive(&host.principal))
        std::fprintf(stderr, "ventana sin activar\n");
    esperar(100);

    if (argc == 4 && QByteArray(argv[3]) == "rechazo") {
        elegirCampo(0, QStringLiteral("cilindro od"));
        escribir(0, 2, QStringLiteral("abc"));
        salirDeFila();
        elegirCampo(1, QStringLiteral("apel"));
        escribir(1, 2, QStringLiteral("gar"));
        salirDeFila();
        w->grdListado->setCurrentIndex(celda(1, 2));
        w->EjecutarAccion(TfrmListado::AccionConteo);
        if (!modal.messages().isEmpty()) w->setTextoAyuda(modal.messages().last().text);
        QTest::mouseMove(w->grdListado->viewport(),
                         w->grdListado->visualRect(celda(0, 2)).center());
        esperar(1500);
        const QString salida = QString::fromLocal8Bit(argv[2]);
        bool bien = QGuiApplication::primaryScreen()->grabWindow(0).save(salida);
        QFileDialog dialogo(nullptr, QStringLiteral("Exportar"), QDir::homePath());
        dialogo.setOption(QFileDialog::DontUseNativeDialog);
        dialogo.setAcceptMode(QFileDialog::AcceptSave);
        dialogo.show();
        esperar(800);
        QString otra = salida;
        otra.replace(QStringLiteral(".png"), QStringLiteral("-dialogo.png"));
        bien = dialogo.grab().save(otra) && bien;
        for (const auto& m : modal.messages())
            std::printf("mensaje: %s\n", qPrintable(m.text));
        dialogo.close();
        w->CondicionesSinGuardar = false;
        modal.queueAnswer(true);
        w->Salir();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        quill::closeDatabase(conexion);
        return bien ? 0 : 1;
    }

    // A text, a date range, a multiple choice from the database and a number.
    elegirCampo(0, QStringLiteral("apel"));
    elegirOperador(0, QStringLiteral("Empieza por..."));
    escribir(0, 2, QStringLiteral("gar"));
    salirDeFila();

    elegirCampo(1, QStringLiteral("fecha nac"));
    elegirOperador(1, QStringLiteral("...Entre..."));
    for (int columna : {2, 3}) {
        abrirDesplegable(1, columna);
        if (quill::CalendarioPopup* cal = w->PopupCalendario()) {
            cal->calendario()->setSelectedDate(columna == 2 ? QDate(1950, 1, 1)
                                                            : QDate(1980, 12, 31));
            QTest::keyClick(cal->calendario()->findChild<QTableView*>(), Qt::Key_Return);
        }
        esperar(50);
    }
    salirDeFila();

    elegirCampo(2, QStringLiteral("locali"));
    abrirDesplegable(2, 2);
    if (quill::CheckListPopup* lista = w->PopupCheck()) {
        for (int i = 0; i < 2 && i < lista->lista()->count(); ++i) {
            lista->lista()->setCurrentRow(i);
            QTest::keyClick(lista->lista(), Qt::Key_Space);
        }
        lista->hide();
    }
    esperar(50);
    salirDeFila();

    elegirCampo(3, QStringLiteral("total c"));
    elegirOperador(3, QStringLiteral("Mayor que..."));
    escribir(3, 2, QStringLiteral("300"));
    salirDeFila();

    // The fifth row's Campo drop-down, searching, with the pointer resting on the field found.
    esperar(300);
    editar(4, 0);
    quill::CatalogoPopup* catalogo = w->PopupCatalogo();
    for (const QChar c : QStringLiteral("fecha n"))
        QTest::sendKeyEvent(QTest::Click, catalogo->vista(), Qt::Key_unknown, QString(c), {});
    QTest::mouseMove(catalogo->vista()->viewport(),
                     catalogo->vista()->visualRect(catalogo->vista()->currentIndex()).center());
    esperar(1500);

    const bool guardada =
        QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[2]));
    std::printf("%s %s\n", guardada ? "guardada" : "NO guardada", argv[2]);
    for (const auto& m : modal.messages())
        std::printf("mensaje: %s\n", qPrintable(m.text));
    QTest::keyClick(catalogo->vista(), Qt::Key_Escape);
    w->Salir();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    quill::closeDatabase(conexion);
    return guardada ? 0 : 1;
}
