// The patient code's range chosen with the real patient picker of the program folder, on a
// small shop database.

#include "gui_grid_apoyo.h"
#include "testsupport.h"
#include "tiendaprueba.h"

#include <QDialog>
#include <QFile>
#include <QTimer>

#include <functional>

using gridprueba::VentanaGrid;

namespace {

const QString kConexion = QStringLiteral("grid_pacientes");

QString carpetaBuscadores() {
    return quilltest::buildDir() + QStringLiteral("/lib");
}

QString paciente(int id, int codigo, int borrado, const char* apellidos) {
    return QStringLiteral("INSERT INTO PACIENTE (ID_PACIENTE, CODIGO, LICENCIA, BORRADO, "
                          "APELLIDOS, NOMBRE) VALUES (%1, %2, 1, %3, '%4', 'Ana')")
        .arg(id)
        .arg(codigo)
        .arg(borrado)
        .arg(QString::fromUtf8(apellidos));
}

bool esperar(const std::function<bool()>& condicion) {
    for (int t = 0; t < 5000 && !condicion(); t += 20)
        QTest::qWait(20);
    return condicion();
}

} // namespace

class GridPacientes : public VentanaGrid {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFile::exists(carpetaBuscadores() + QStringLiteral("/libbcrPaciente.so")))
            << "construya el buscador de pacientes (plugins/pickers)";
        ASSERT_EQ(tienda.crear(kConexion, {paciente(1, 101, 0, "Garrido Sanz"),
                                           paciente(2, 250, 0, "Martín Gil"),
                                           paciente(3, 300, 1, "Garrido Borrado")}),
                  QString());
        VentanaGrid::SetUp();
    }
    void prepararAnfitrion(Anfitrion& h) override {
        h.db.connectionName = kConexion;
        h.tr.connectionName = kConexion;
        h.log.connectionName = kConexion;
        h.conf.CarpetaPrograma = carpetaBuscadores();
    }

    // Presses the button of a value cell; the picker's window, modal, is searched with `texto`
    // and closed with Enter (or Escape when `texto` is empty).
    void buscar(int columna, const QString& texto) {
        auto* boton = qobject_cast<quill::EditorBoton*>(editar(0, columna));
        ASSERT_TRUE(boton);
        bool visto = false;
        QTimer::singleShot(0, [&] {
            QDialog* d = nullptr;
            esperar(
                [&] { return (d = qobject_cast<QDialog*>(QApplication::activeModalWidget())); });
            if (!d) return;
            visto = true;
            auto* edt = d->findChild<QLineEdit*>(QStringLiteral("edtBuscar"));
            auto* grid = d->findChild<QTableView*>(QStringLiteral("grdPacientes"));
            if (edt && grid && !texto.isEmpty()) {
                for (const QChar c : texto)
                    QTest::sendKeyEvent(QTest::Click, edt, Qt::Key_unknown, QString(c), {});
                EXPECT_TRUE(esperar([&] { return grid->model()->rowCount() == 1; }));
                QTest::keyClick(edt, Qt::Key_Return);
            } else if (edt) {
                QTest::keyClick(edt, Qt::Key_Escape);
            }
            if (d->isVisible()) d->reject();
        });
        QTest::keyClick(boton->linea(), Qt::Key_F4);
        EXPECT_TRUE(visto) << "the patient picker did not open";
        QApplication::processEvents();
    }

    tiendaprueba::Tienda tienda;
};

TEST_F(GridPacientes, ThePatientPickerChoosesBothEndsOfTheCodeRange) {
    elegirCampo(0, QStringLiteral("cód"), 0);
    elegirOperador(0, QStringLiteral("...Entre..."));
    buscar(2, QStringLiteral("garr"));
    EXPECT_EQ(texto(0, "Condicion1"), QStringLiteral("101"));
    buscar(3, QStringLiteral("mart"));
    EXPECT_EQ(texto(0, "Condicion2"), QStringLiteral("250"));
    // Closing the picker without a patient leaves the value as it was.
    buscar(3, QString());
    EXPECT_EQ(texto(0, "Condicion2"), QStringLiteral("250"));
    salirDeFila(0);
    EXPECT_EQ(texto(0, "Sentencia"), QStringLiteral("PACIENTE.CODIGO  BETWEEN 101 AND 250"));
}
