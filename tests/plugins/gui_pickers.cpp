// The picker libraries as the listing module meets them: each is loaded by its path from the
// build's library folder and its window is driven with the keyboard and mouse on a small shop
// database.

#include "tiendaprueba.h"
#include "listing/tbuscarpaciente.h"
#include "listing/tfltarticulo.h"
#include "pickers_api.h"
#include "puentes.h"

#include "conditions/tdmlstpaciente.h"
#include "platform/libreria.h"
#include "platform/memtable.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWidget>

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
        if (!nombre.isEmpty()) {
            EXPECT_EQ(d->objectName(), nombre);
        }
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

QList<int> codigos(QTableView* grid) {
    QList<int> r;
    for (int i = 0; i < grid->model()->rowCount(); ++i)
        r << grid->model()->index(i, 0).data().toInt();
    return r;
}

// ---- Patient picker ----

QStringList pacientes() {
    const auto p = [](int id, int codigo, int licencia, int borrado, const char* apellidos,
                      const char* nombre, const char* movil, const char* nif) {
        return QStringLiteral("INSERT INTO PACIENTE (ID_PACIENTE, CODIGO, LICENCIA, BORRADO, "
                              "APELLIDOS, NOMBRE, TELEFONO_MOVIL, NIF) VALUES (%1, %2, %3, %4, "
                              "'%5', '%6', '%7', '%8')")
            .arg(id)
            .arg(codigo)
            .arg(licencia)
            .arg(borrado)
            .arg(QString::fromUtf8(apellidos), QString::fromUtf8(nombre), QString::fromUtf8(movil),
                 QString::fromUtf8(nif));
    };
    return {
        p(0, 0, 1, 0, "VENTAS DE MOSTRADOR", "CLIENTE", "600000000", ""),
        p(1, 101, 1, 0, "García López", "Ana", "646.916.643", "12345678Z"),
        p(2, 102, 1, 0, "GARCÍA PÉREZ", "Luis", "", "25111222B"),
        p(3, 103, 1, 1, "Garcés Ruiz", "Eva", "646 111 222", ""),
        p(4, 104, 2, 0, "García Otro", "Pepe", "646.916.000", ""),
        p(5, 250, 1, 0, "Martínez Sol", "Juan", "600111222", "X1234567L"),
    };
}

class BuscadorPacientes : public ::testing::Test {
protected:
    void SetUp() override {
        const QString conexion =
            QStringLiteral("pickers_pacientes_") +
            QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
        ASSERT_EQ(tienda.crear(conexion, pacientes()), QString());
        bloque.setConexion(conexion);
        quill::setSlot(bloque.bloque, quill::SlotOwner, &principal);
        ASSERT_TRUE(libreria.load(puentes::carpetaLibrerias(),
                                  QString::fromLatin1(pickers::kLibreriaPaciente)))
            << libreria.errorString().toStdString();
        cargar = libreria.resolveAs<pickers::CargarPacienteFn>(pickers::kCargarDll);
        ASSERT_NE(cargar, nullptr);
    }

    int abrir(const std::function<void(QDialog*)>& pasos) {
        return conVentana(QStringLiteral("frmBuscarPaciente"), pasos,
                          [this] { return cargar(bloque.datos()); });
    }

    QWidget principal;
    tiendaprueba::Tienda tienda;
    puentes::Bloque bloque;
    quill::Library libreria;
    pickers::CargarPacienteFn cargar = nullptr;
};

TEST_F(BuscadorPacientes, ApellidosMientrasSeEscribeYEnterDevuelveElCodigo) {
    const int codigo = abrir([](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Búsqueda de Pacientes"));
        auto* buscar = hijo<QLineEdit>(d, "edtBuscar");
        auto* grid = hijo<QTableView>(d, "grdPacientes");
        auto* estado = hijo<QLabel>(d, "lblEstado");
        ASSERT_TRUE(buscar && grid && estado);
        // Nothing is read until something is typed.
        EXPECT_EQ(grid->model()->rowCount(), 0);
        EXPECT_EQ(estado->text(), QStringLiteral("Escriba el principio de los apellidos, el "
                                                 "código, el NIF o el móvil del paciente"));
        EXPECT_TRUE(buscar->hasFocus());
        // Patient 0, the counter-sale placeholder, is never offered.
        escribir(buscar, QStringLiteral("v"));
        EXPECT_TRUE(esperar([&] {
            return estado->text() == QStringLiteral("Ningún paciente cumple la búsqueda");
        }));
        buscar->clear();
        escribir(buscar, QStringLiteral("garcí"));
        ASSERT_TRUE(esperar([&] { return grid->model()->rowCount() == 2; }));
        // Live patients of partition 1, by surname.
        EXPECT_EQ(codigos(grid), (QList<int>{101, 102}));
        EXPECT_EQ(estado->text(), QStringLiteral("2 pacientes"));
        EXPECT_EQ(grid->model()->index(1, 1).data().toString(), QStringLiteral("GARCÍA PÉREZ"));
        EXPECT_EQ(grid->model()->index(0, 3).data().toString(), QStringLiteral("646.916.643"));
        EXPECT_EQ(grid->currentIndex().row(), 0);
        QTest::keyClick(buscar, Qt::Key_Down);
        EXPECT_EQ(grid->currentIndex().row(), 1);
        QTest::keyClick(buscar, Qt::Key_Return);
    });
    EXPECT_EQ(codigo, 102);
}

TEST_F(BuscadorPacientes, EscapeNoDevuelvePaciente) {
    const int codigo = abrir([](QDialog* d) {
        auto* buscar = hijo<QLineEdit>(d, "edtBuscar");
        ASSERT_TRUE(buscar);
        escribir(buscar, QStringLiteral("mar"));
        QTest::keyClick(buscar, Qt::Key_Escape);
    });
    EXPECT_EQ(codigo, 0);
}

TEST_F(BuscadorPacientes, CodigoNifYMovil) {
    const int codigo = abrir([](QDialog* d) {
        auto* buscar = hijo<QLineEdit>(d, "edtBuscar");
        auto* grid = hijo<QTableView>(d, "grdPacientes");
        auto* estado = hijo<QLabel>(d, "lblEstado");
        ASSERT_TRUE(buscar && grid && estado);
        const struct {
            const char* texto;
            QList<int> codigos;
        } casos[] = {
            {"10", {101, 102}}, // code prefix; 103 is deleted, 104 in another partition
            {"25", {102, 250}}, // NIF 25111222B, code 250
            {"6469", {101}},    // mobile stored as 646.916.643
            {"garcía 1", {}},   // a digit makes it a number search
        };
        for (const auto& c : casos) {
            buscar->clear();
            escribir(buscar, QString::fromUtf8(c.texto));
            EXPECT_TRUE(esperar([&] { return codigos(grid) == c.codigos; })) << c.texto;
        }
        EXPECT_EQ(estado->text(), QStringLiteral("Ningún paciente cumple la búsqueda"));
        // Enter right after typing takes a patient of what was typed, not of the old list.
        buscar->clear();
        escribir(buscar, QStringLiteral("250"));
        QTest::keyClick(buscar, Qt::Key_Return);
    });
    EXPECT_EQ(codigo, 250);
}

TEST_F(BuscadorPacientes, SinBaseDeDatosLoDiceYNoDevuelvePaciente) {
    bloque.db.connectionName = QStringLiteral("pickers_no_existe");
    const int codigo = abrir([](QDialog* d) {
        auto* estado = hijo<QLabel>(d, "lblEstado");
        auto* grid = hijo<QTableView>(d, "grdPacientes");
        auto* buscar = hijo<QLineEdit>(d, "edtBuscar");
        ASSERT_TRUE(estado && grid && buscar);
        escribir(buscar, QStringLiteral("gar"));
        EXPECT_TRUE(esperar([&] {
            return estado->text() == QStringLiteral("No se pueden buscar los pacientes: La base "
                                                    "de datos de la tienda no está abierta");
        })) << estado->text().toStdString();
        EXPECT_EQ(grid->model()->rowCount(), 0);
        // Nothing to take: Enter keeps the window open.
        QTest::keyClick(buscar, Qt::Key_Return);
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(estado->text(), QStringLiteral("No hay ningún paciente seleccionado"));
    });
    EXPECT_EQ(codigo, 0);
}

// ---- Article picker ----

class BuscadorArticulos : public ::testing::Test {
protected:
    void SetUp() override {
        const QString conexion =
            QStringLiteral("pickers_articulos_") +
            QString::fromLatin1(::testing::UnitTest::GetInstance()->current_test_info()->name());
        ASSERT_EQ(
            tienda.crear(conexion, {QStringLiteral("INSERT INTO FAMILIA (ID_FAMILIA, DESCRIPCION) "
                                                    "VALUES (1, 'Metal')"),
                                     QStringLiteral("INSERT INTO FAMILIA (ID_FAMILIA, DESCRIPCION) "
                                                    "VALUES (2, 'Pasta')"),
                                     QStringLiteral("INSERT INTO FAMILIA (ID_FAMILIA, DESCRIPCION) "
                                                    "VALUES (3, 'Sol')")}),
            QString());
        bloque.setConexion(conexion);
        quill::setSlot(bloque.bloque, quill::SlotOwner, &principal);
        bloque.puesto.CarpetaPaquetes = quilltest::dataDir();
        bloque.usuario.OperadorTexto = 5;  // "Empieza por..."
        bloque.usuario.OperadorNumero = 2; // "Mayor que..."
        seleccion = dm.CrearArticulos(1);
        ASSERT_TRUE(libreria.load(puentes::carpetaLibrerias(),
                                  QString::fromLatin1(pickers::kLibreriaArticulo)))
            << libreria.errorString().toStdString();
        cargar = libreria.resolveAs<pickers::CargarArticuloFn>(pickers::kCargarDll);
        liberar = libreria.resolveAs<pickers::LiberarArticuloFn>(pickers::kLiberarDll);
        ASSERT_TRUE(cargar && liberar);
    }
    void TearDown() override {
        if (liberar) {
            EXPECT_EQ(liberar(), 0);
        }
    }

    int abrir(int linea, const std::function<void(QDialog*)>& pasos) {
        return conVentana(QStringLiteral("frmSeleccionArticulos"), pasos,
                          [&] { return cargar(bloque.datos(), seleccion, linea); });
    }

    // Every stored value of the selection table, row by row.
    QList<QVariantList> contenido() const {
        QList<QVariantList> filas;
        for (int i = 0; i < seleccion->storedRowCount(); ++i) {
            QVariantList f;
            for (int c = 0; c < seleccion->fieldCount(); ++c)
                f << seleccion->storedValue(i, c);
            filas << f;
        }
        return filas;
    }

    QWidget principal;
    tiendaprueba::Tienda tienda;
    puentes::Bloque bloque;
    TdmlstPaciente dm;
    quill::MemTable* seleccion = nullptr;
    quill::Library libreria;
    pickers::CargarArticuloFn cargar = nullptr;
    pickers::LiberarArticuloFn liberar = nullptr;
};

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

QStringList elementos(QComboBox* combo) {
    QStringList r;
    for (int i = 0; i < combo->count(); ++i)
        r << combo->itemText(i);
    return r;
}

TEST_F(BuscadorArticulos, LasCondicionesAceptadasQuedanEnLaTabla) {
    const int r = abrir(2, [](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Selección de Artículos"));
        auto* grid = hijo<QTableView>(d, "grdCondiciones");
        auto* valores = hijo<QListWidget>(d, "lstValores");
        ASSERT_TRUE(grid && valores);
        EXPECT_EQ(hijo<QLabel>(d, "lblLinea")->text(),
                  QStringLiteral("Condiciones sobre los artículos de Gafas"));
        // A first row waits with its field list open: the spectacle fields only.
        ASSERT_EQ(grid->model()->rowCount(), 1);
        auto* campos = qobject_cast<QComboBox*>(grid->indexWidget(grid->model()->index(0, 0)));
        ASSERT_NE(campos, nullptr);
        EXPECT_EQ(campos->count(), 21);
        EXPECT_EQ(campos->currentIndex(), -1);
        EXPECT_FALSE(elementos(campos).contains(QStringLiteral("Tipo de Lentilla")));
        elegir(campos, QStringLiteral("Referencia"));
        EXPECT_EQ(celda(grid, 0, 1), QStringLiteral("Empieza por...")); // the user's default
        teclear(editor(grid, 0, 2), QStringLiteral("RB-"));

        QTest::mouseClick(hijo<QPushButton>(d, "tbnAnadir"), Qt::LeftButton);
        ASSERT_EQ(grid->model()->rowCount(), 2);
        elegir(grid->indexWidget(grid->model()->index(1, 0)), QStringLiteral("Importe"));
        EXPECT_EQ(celda(grid, 1, 1), QStringLiteral("Mayor que..."));
        auto* operadores = qobject_cast<QComboBox*>(editor(grid, 1, 1));
        ASSERT_NE(operadores, nullptr);
        EXPECT_EQ(elementos(operadores),
                  (QStringList{"Igual a...", "Distinto de...", "Mayor que...", "Menor que...",
                               "...Entre...", "Vacío", "No Vacío"}));
        elegir(operadores, QStringLiteral("...Entre..."));
        teclear(editor(grid, 1, 2), QStringLiteral("10"));
        teclear(editor(grid, 1, 3), QStringLiteral("20,5"));

        QTest::mouseClick(hijo<QPushButton>(d, "tbnAnadir"), Qt::LeftButton);
        elegir(grid->indexWidget(grid->model()->index(2, 0)), QStringLiteral("Familia"));
        EXPECT_EQ(celda(grid, 2, 1), QStringLiteral("Igual a..."));
        // List values are ticked beside the grid, not typed.
        EXPECT_EQ(editor(grid, 2, 2), nullptr);
        ASSERT_TRUE(valores->isEnabled());
        ASSERT_EQ(valores->count(), 3);
        EXPECT_EQ(valores->item(0)->text(), QStringLiteral("Metal"));
        valores->item(0)->setCheckState(Qt::Checked);
        valores->item(2)->setCheckState(Qt::Checked);
        EXPECT_EQ(celda(grid, 2, 2), QStringLiteral("Metal; Sol"));

        QTest::mouseClick(hijo<QPushButton>(d, "tbnAceptar"), Qt::LeftButton);
        EXPECT_FALSE(d->isVisible()) << hijo<QLabel>(d, "lblMensaje")->text().toStdString();
    });
    EXPECT_EQ(r, pickers::kArticuloAceptado);
    // Id, Campo, Condicion, TipoCondicion, Condicion1, Condicion2, IdsCondicion1, IdsCondicion2,
    // Sentencia, TipoObjeto
    const QList<QVariantList> esperado = {
        {501.0, "Referencia", "Empieza por...", 1, "RB-", QVariant(), QVariant(), QVariant(),
         QVariant(), 0},
        {513.0, "Importe", "...Entre...", 0, "10", "20,5", QVariant(), QVariant(), QVariant(), 0},
        {505.0, "Familia", "Igual a...", 4, "Metal; Sol", QVariant(), "1;3", QVariant(), QVariant(),
         17},
    };
    const QList<QVariantList> filas = contenido();
    ASSERT_EQ(filas.size(), esperado.size());
    for (qsizetype i = 0; i < filas.size(); ++i)
        for (qsizetype c = 0; c < esperado[i].size(); ++c)
            EXPECT_EQ(filas[i][c].toString(), esperado[i][c].toString()) << i << "," << c;
    EXPECT_EQ(seleccion->currentRow(), 0);
    EXPECT_EQ(TFltArticulo::TextoCondicion1(TFltArticulo::Correcto, seleccion),
              QStringLiteral("[Artículos Seleccionados]"));
}

TEST_F(BuscadorArticulos, CancelarYUnValorRechazadoDejanLaTablaComoEstaba) {
    seleccion->appendRecord({513.0, "Importe", "Menor que...", 0, "90", {}, {}, {}, {}, 0});
    const QList<QVariantList> antes = contenido();

    // The row's earlier conditions come back to be changed; Cancelar forgets the change.
    int r = abrir(3, [](QDialog* d) {
        auto* grid = hijo<QTableView>(d, "grdCondiciones");
        ASSERT_TRUE(grid);
        ASSERT_EQ(grid->model()->rowCount(), 1);
        EXPECT_EQ(celda(grid, 0, 0), QStringLiteral("Importe"));
        // The editor opens with the value selected: typing replaces it.
        teclear(editor(grid, 0, 2), QStringLiteral("5"));
        EXPECT_EQ(celda(grid, 0, 2), QStringLiteral("5"));
        QTest::mouseClick(hijo<QPushButton>(d, "tbnCancelar"), Qt::LeftButton);
    });
    EXPECT_EQ(r, pickers::kArticuloCancelado);
    EXPECT_EQ(contenido(), antes);

    r = abrir(3, [](QDialog* d) {
        auto* grid = hijo<QTableView>(d, "grdCondiciones");
        auto* mensaje = hijo<QLabel>(d, "lblMensaje");
        ASSERT_TRUE(grid && mensaje);
        QWidget* valor = editor(grid, 0, 2);
        ASSERT_NE(qobject_cast<QLineEdit*>(valor), nullptr);
        qobject_cast<QLineEdit*>(valor)->clear();
        teclear(valor, QStringLiteral("noventa"));
        QTest::mouseClick(hijo<QPushButton>(d, "tbnAceptar"), Qt::LeftButton);
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(mensaje->text(),
                  QStringLiteral("El valor 'noventa' del campo Importe no es un número"));
        QTest::keyClick(d, Qt::Key_Escape);
    });
    EXPECT_EQ(r, pickers::kArticuloCancelado);
    EXPECT_EQ(contenido(), antes);
}

TEST_F(BuscadorArticulos, UnaLineaSinArticulosSeExplica) {
    const QList<QVariantList> antes = contenido();
    const int r = conVentana(
        QString(),
        [](QDialog* d) {
            auto* aviso = qobject_cast<QMessageBox*>(d);
            ASSERT_NE(aviso, nullptr);
            EXPECT_EQ(aviso->windowTitle(), QStringLiteral("AVISO"));
            EXPECT_EQ(aviso->text(),
                      QStringLiteral("La línea de producto 1 no tiene artículos que seleccionar"));
            aviso->accept();
        },
        [&] { return cargar(bloque.datos(), seleccion, 1); });
    EXPECT_EQ(r, pickers::kArticuloCancelado);
    EXPECT_EQ(contenido(), antes);
}

} // namespace
