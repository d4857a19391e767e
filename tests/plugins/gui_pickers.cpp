// The picker libraries as the listing module meets them: each is loaded by its path from the
// build's library folder and its window is driven with the keyboard and mouse on a small shop
// database.

#include "tiendaprueba.h"
#include "listing/tfltarticulo.h"
#include "pickers_api.h"
#include "puentes.h"

#include "conditions/tdmlstpaciente.h"
#include "platform/libreria.h"
#include "platform/memtable.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
namespace {

bool esperar(const std::function<bool()>& condicion, int ms = 5000) {
    for (int t = 0; t < ms; t += 20) {
        if (condicion()) return true;
        QTest::qWait(20);
    }
    return condicion();
}

// Calls `llamada`, which opens a modal window and waits; meanwhile `pasos` drive that window.
// A window the steps leave open is rejected, so a failed step never hangs the test.
int conVentana(const QString& nombre, const std::function<void(QDialog*)>& pasos,
               const std::function<int()>& llamada) {
    bool visto = false;
    QTimer::singleShot(0, [&] {
        QDialog* d = nullptr;
        esperar([&] {
            d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            return d != nullptr;
        });
        visto = d != nullptr;
        if (!d) return;
        EXPECT_EQ(d->objectName(), nombre);
        EXPECT_TRUE(QTest::qWaitForWindowActive(d));
        pasos(d);
        if (d->isVisible()) d->reject();
    });
    const int r = llamada();
    EXPECT_TRUE(visto) << "no window opened";
    return r;
}

template <typename T> T* hijo(QWidget* w, const char* nombre) {
    T* h = w->findChild<T*>(QString::fromLatin1(nombre));
    EXPECT_NE(h, nullptr) << nombre;
    return h;
}

// Types text that may hold characters QTest::keyClicks cannot send.
void escribir(QWidget* w, const QString& texto) {
    for (const QChar c : texto) {
        if (c.unicode() < 128)
            QTest::keyClick(w, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), {});
    }
}

// ---- Patient picker ----

// Only live patients of partition 1 other than the counter-sale placeholder (0) are offered.
QStringList pacientes() {
    const auto p = [](int id, int licencia, int borrado, const char* apellidos, const char* movil) {
        return QStringLiteral("INSERT INTO PACIENTE (ID_PACIENTE, CODIGO, LICENCIA, BORRADO, "
                              "APELLIDOS, TELEFONO_MOVIL) VALUES (%1, %2, %3, %4, '%5', '%6')")
            .arg(id)
            .arg(id == 0 ? 0 : 100 + id)
            .arg(licencia)
            .arg(borrado)
            .arg(QString::fromUtf8(apellidos), QString::fromUtf8(movil));
    };
    return {
        p(0, 1, 0, "GARCÍA MOSTRADOR", "600000000"),
        p(1, 1, 0, "García López", "646.916.643"),
        p(2, 1, 0, "GARCÍA PÉREZ", ""),
        p(3, 1, 1, "Garcés Ruiz", "646 111 222"),
        p(4, 2, 0, "García Otro", "646.916.000"),
    };
}

// The name of the running test, so each test gets its own connection.
QString conexionDelTest(const char* prefijo) {
    return QString::fromLatin1(prefijo) +
           QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
}

TEST(BuscadorPacientes, ApellidosMientrasSeEscribeYEnterDevuelveElCodigo) {
    QWidget principal;
    tiendaprueba::Tienda tienda;
    puentes::Bloque bloque;
    const QString conexion = conexionDelTest("pickers_pacientes_");
    ASSERT_EQ(tienda.crear(conexion, pacientes()), QString());
    bloque.setConexion(conexion);
    quill::setSlot(bloque.bloque, quill::SlotOwner, &principal);
    quill::Library libreria;
    ASSERT_TRUE(libreria.load(puentes::carpetaLibrerias(),
                              QString::fromLatin1(pickers::kLibreriaPaciente)))
        << libreria.errorString().toStdString();
    const auto cargar = libreria.resolveAs<pickers::CargarPacienteFn>(pickers::kCargarDll);
    ASSERT_NE(cargar, nullptr);

    const auto pasos = [](QDialog* d) {
        auto* buscar = hijo<QLineEdit>(d, "edtBuscar");
        auto* grid = hijo<QTableView>(d, "grdPacientes");
        auto* estado = hijo<QLabel>(d, "lblEstado");
        ASSERT_TRUE(buscar && grid && estado);
        // Nothing is read until something is typed.
        EXPECT_EQ(grid->model()->rowCount(), 0);
        escribir(buscar, QStringLiteral("garcí"));
        ASSERT_TRUE(esperar([&] { return grid->model()->rowCount() == 2; }));
        EXPECT_EQ(grid->model()->index(0, 0).data().toInt(), 101);
        EXPECT_EQ(grid->model()->index(1, 0).data().toInt(), 102);
        EXPECT_EQ(estado->text(), QStringLiteral("2 pacientes"));
        EXPECT_EQ(grid->model()->index(0, 3).data().toString(), QStringLiteral("646.916.643"));
        EXPECT_EQ(grid->currentIndex().row(), 0);
        QTest::keyClick(buscar, Qt::Key_Down);
        EXPECT_EQ(grid->currentIndex().row(), 1);
        QTest::keyClick(buscar, Qt::Key_Return);
    };
    EXPECT_EQ(conVentana(QStringLiteral("frmBuscarPaciente"), pasos,
                         [&] { return cargar(bloque.datos()); }),
              102);
}

// ---- Article picker ----

// Opens the editor of a cell (closing, and so writing, the one open).
QWidget* editor(QTableView* grid, int fila, int columna) {
    const QModelIndex i = grid->model()->index(fila, columna);
    grid->setCurrentIndex(i);
    grid->edit(i);
    return grid->indexWidget(i);
}

// Chooses an entry of a combo editor and leaves it with Tab, as a user does.
void elegir(QWidget* w, const QString& texto) {
    auto* combo = qobject_cast<QComboBox*>(w);
    ASSERT_NE(combo, nullptr);
    const int i = combo->findText(texto);
    ASSERT_GE(i, 0) << texto.toStdString();
    combo->setCurrentIndex(i);
    QTest::keyClick(combo, Qt::Key_Tab);
}

void teclear(QWidget* w, const QString& texto) {
    ASSERT_NE(qobject_cast<QLineEdit*>(w), nullptr);
    escribir(w, texto);
    QTest::keyClick(w, Qt::Key_Return);
    // The view writes the value once the editor has seen the key.
    QCoreApplication::processEvents();
}

QString celda(QTableView* grid, int fila, int columna) {
    return grid->model()->index(fila, columna).data().toString();
}

TEST(BuscadorArticulos, LasCondicionesAceptadasQuedanEnLaTabla) {
    QWidget principal;
    tiendaprueba::Tienda tienda;
    puentes::Bloque bloque;
    const QString conexion = conexionDelTest("pickers_articulos_");
    const QString familia =
        QStringLiteral("INSERT INTO FAMILIA (ID_FAMILIA, DESCRIPCION) VALUES (%1, '%2')");
    ASSERT_EQ(tienda.crear(conexion, {familia.arg(1).arg(QStringLiteral("Metal")),
                                      familia.arg(2).arg(QStringLiteral("Pasta")),
                                      familia.arg(3).arg(QStringLiteral("Sol"))}),
              QString());
    bloque.setConexion(conexion);
    quill::setSlot(bloque.bloque, quill::SlotOwner, &principal);
    bloque.puesto.CarpetaPaquetes = quilltest::dataDir();
    bloque.usuario.OperadorTexto = 5;  // "Empieza por..."
    bloque.usuario.OperadorNumero = 2; // "Mayor que..."
    TdmlstPaciente dm;
    quill::MemTable* seleccion = dm.CrearArticulos(1);
    quill::Library libreria;
    ASSERT_TRUE(libreria.load(puentes::carpetaLibrerias(),
                              QString::fromLatin1(pickers::kLibreriaArticulo)))
        << libreria.errorString().toStdString();
    const auto cargar = libreria.resolveAs<pickers::CargarArticuloFn>(pickers::kCargarDll);
    const auto liberar = libreria.resolveAs<pickers::LiberarArticuloFn>(pickers::kLiberarDll);
    ASSERT_TRUE(cargar && liberar);

    const auto pasos = [](QDialog* d) {
        auto* grid = hijo<QTableView>(d, "grdCondiciones");
        auto* valores = hijo<QListWidget>(d, "lstValores");
        ASSERT_TRUE(grid && valores);
        // A first row waits with its field list open: the spectacle fields only.
        ASSERT_EQ(grid->model()->rowCount(), 1);
        auto* campos = qobject_cast<QComboBox*>(grid->indexWidget(grid->model()->index(0, 0)));
        ASSERT_NE(campos, nullptr);
        EXPECT_EQ(campos->count(), 21);
        elegir(campos, QStringLiteral("Referencia"));
        EXPECT_EQ(celda(grid, 0, 1), QStringLiteral("Empieza por...")); // the user's default
        teclear(editor(grid, 0, 2), QStringLiteral("RB-"));

        QTest::mouseClick(hijo<QPushButton>(d, "tbnAnadir"), Qt::LeftButton);
        ASSERT_EQ(grid->model()->rowCount(), 2);
        elegir(grid->indexWidget(grid->model()->index(1, 0)), QStringLiteral("Importe"));
        EXPECT_EQ(celda(grid, 1, 1), QStringLiteral("Mayor que..."));
        elegir(editor(grid, 1, 1), QStringLiteral("...Entre..."));
        teclear(editor(grid, 1, 2), QStringLiteral("10"));
        teclear(editor(grid, 1, 3), QStringLiteral("20,5"));

        QTest::mouseClick(hijo<QPushButton>(d, "tbnAnadir"), Qt::LeftButton);
        elegir(grid->indexWidget(grid->model()->index(2, 0)), QStringLiteral("Familia"));
        EXPECT_EQ(celda(grid, 2, 1), QStringLiteral("Igual a..."));
        // List values are ticked beside the grid, not typed.
        EXPECT_EQ(editor(grid, 2, 2), nullptr);
        ASSERT_TRUE(valores->isEnabled());
        ASSERT_EQ(valores->count(), 3);
        valores->item(0)->setCheckState(Qt::Checked);
        valores->item(2)->setCheckState(Qt::Checked);
        EXPECT_EQ(celda(grid, 2, 2), QStringLiteral("Metal; Sol"));

        QTest::mouseClick(hijo<QPushButton>(d, "tbnAceptar"), Qt::LeftButton);
        EXPECT_FALSE(d->isVisible()) << hijo<QLabel>(d, "lblMensaje")->text().toStdString();
    };
    EXPECT_EQ(conVentana(QStringLiteral("frmSeleccionArticulos"), pasos,
                         [&] { return cargar(bloque.datos(), seleccion, 2); }),
              pickers::kArticuloAceptado);
    // Id, Campo, Condicion, TipoCondicion, Condicion1, Condicion2, IdsCondicion1, IdsCondicion2,
    // Sentencia, TipoObjeto
    QStringList filas;
    for (int i = 0; i < seleccion->storedRowCount(); ++i) {
        QStringList f;
        for (int c = 0; c < seleccion->fieldCount(); ++c)
            f << seleccion->storedValue(i, c).toString();
        filas << f.join(QLatin1Char('|'));
    }
    EXPECT_EQ(filas, (QStringList{"501|Referencia|Empieza por...|1|RB-|||||0",
                                  "513|Importe|...Entre...|0|10|20,5||||0",
                                  "505|Familia|Igual a...|4|Metal; Sol||1;3|||17"}));
    EXPECT_EQ(TFltArticulo::TextoCondicion1(TFltArticulo::Correcto, seleccion),
              QStringLiteral("[Artículos Seleccionados]"));
    EXPECT_EQ(liberar(), 0);
}

} // namespace
