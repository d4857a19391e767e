// The printer list and the print options dialog driven through their real widgets, the modal
// interface scripted.

#include "actions/registro.h"
#include "anfitrion.h"
#include "listing/tfrmimpresoras.h"
#include "listing/tfrmopcionesimprimir.h"
#include "output/print/impresoras.h"
#include "platform/modal.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <functional>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>

using quill::ScriptedModal;

namespace {

class Impresoras : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", dir->path().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir->path());
    }
    static QStringList seleccion(const TfrmImpresoras& d) {
        QStringList l;
        for (const QListWidgetItem* i : d.lvwImpresoras->selectedItems())
            l << i->text();
        return l;
    }

    static QStringList textos(const QComboBox* c) {
        QStringList l;
        for (int i = 0; i < c->count(); ++i)
            l << c->itemText(i);
        return l;
    }
    // Runs the options of a kind through Ejecutar; `guion` works the dialog before it closes.
    qint16 ejecutar(qint16 tipo, quill::ConfiguracionImpresion& opciones,
                    std::function<void(TfrmOpcionesImprimir&)> guion) {
        const quill::DescriptorListado* d = quill::Listado(tipo);
        modal.queueDialog([guion](QWidget* w) {
            auto& dialogo = *static_cast<TfrmOpcionesImprimir*>(w);
            guion(dialogo);
            return dialogo.result();
        });
        return TfrmOpcionesImprimir::Ejecutar(d && d->conMonedas, tipo, anfitrion.bloque.data(),
                                              opciones);
    }

    std::unique_ptr<QTemporaryDir> dir = quilltest::scratch();
    ScriptedModal modal;
    quill::ScopedModal instalado{modal};
    Anfitrion anfitrion;
};

bool visible(const QWidget* w) {
    return !w->isHidden();
}

} // namespace

TEST_F(Impresoras, PreselectsTheFirstSortedPrinterBeginningWithTheWorkstationOne) {
    const QStringList instaladas = {QStringLiteral("Oficina-2"), QStringLiteral("laser"),
                                    QStringLiteral("Oficina-1"), QStringLiteral("Etiquetas")};
    struct Caso {
        const char* puesto; // the workstation's printer of the document
        bool conBloque;     // false: read from the registry
        int preseleccion;   // 0 preselects
        const char* documento;
        const char* esperada; // empty: nothing selected
    };
    const Caso casos[] = {
        {"Oficina", true, 0, "Listado", "Oficina-1"},
        {"LASER", true, 0, "Listado", "laser"},
        {"Epson", true, 0, "Listado", ""},
        {"", true, 0, "Listado", ""},
        {"Oficina", true, 1, "Listado", ""},
        {"PD", true, 0, "Listado", "PDF"},
        {"Etiq", false, 0, "Etiqueta", "Etiquetas"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.puesto);
        const QString documento = QString::fromUtf8(c.documento);
        anfitrion.conf.Impresoras = {};
        if (c.conBloque)
            anfitrion.conf.Impresoras.Listado = QString::fromUtf8(c.puesto);
        else
            ASSERT_EQ(quill::EscribirImpresoraPuesto(documento, QString::fromUtf8(c.puesto)),
                      QString());
        TfrmImpresoras d(c.conBloque ? anfitrion.bloque.data() : nullptr, c.preseleccion, nullptr,
                         documento);
        d.MostrarImpresoras(instaladas + QStringList{quill::ImpresoraPDF()});
        EXPECT_EQ(d.lvwImpresoras->item(0)->text(), QStringLiteral("Etiquetas")) << "sorted";
        EXPECT_EQ(seleccion(d).join(QLatin1Char(',')), QString::fromUtf8(c.esperada));
    }
}

TEST_F(Impresoras, AceptarNeedsASelectionAndThePdfPrinterAFile) {
    anfitrion.conf.Impresoras.Listado = QStringLiteral("Epson");
    TfrmImpresoras d(anfitrion.bloque.data(), 0);
    // Whatever the machine has installed, "PDF" is there.
    ASSERT_FALSE(d.lvwImpresoras->findItems(QStringLiteral("PDF"), Qt::MatchExactly).isEmpty());
    d.show();
    d.btnAceptar->click();
    EXPECT_TRUE(d.isVisible());
    ASSERT_EQ(modal.messages().size(), 1);
    EXPECT_EQ(modal.messages().at(0).caption, QStringLiteral("Error"));
    EXPECT_EQ(modal.messages().at(0).text, QStringLiteral("Debe seleccionar una impresora"));
    EXPECT_EQ(modal.messages().at(0).icon, quill::MessageIcon::Stop);

    d.lvwImpresoras->findItems(QStringLiteral("PDF"), Qt::MatchExactly).first()->setSelected(true);
    modal.queueFileName(QString()); // the file chooser cancelled: the list stays
    d.btnAceptar->click();
    EXPECT_TRUE(d.isVisible());
    modal.queueFileName(QStringLiteral("/tmp/listado"));
    d.btnAceptar->click();
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Impresora(), QStringLiteral("PDF"));
    EXPECT_EQ(d.Fichero(), QStringLiteral("/tmp/listado.pdf"));
}

TEST_F(Impresoras, ElegirReturnsTheChoiceOnlyOnOk) {
    anfitrion.conf.Impresoras.Listado = QStringLiteral("PDF");
    QString impresora = QStringLiteral("antes"), fichero;
    modal.queueDialog([](QWidget* w) {
        auto* d = static_cast<TfrmImpresoras*>(w);
        d->btnCancelar->click();
        return d->result();
    });
    EXPECT_FALSE(TfrmImpresoras::Elegir(anfitrion.bloque.data(), impresora, fichero));
    EXPECT_EQ(impresora, QStringLiteral("antes"));

    modal.queueFileName(QStringLiteral("/tmp/x.PDF"));
    modal.queueDialog([](QWidget* w) {
        auto* d = static_cast<TfrmImpresoras*>(w);
        d->btnAceptar->click(); // "PDF" is preselected
        return d->result();
    });
    EXPECT_TRUE(TfrmImpresoras::Elegir(anfitrion.bloque.data(), impresora, fichero));
    EXPECT_EQ(impresora, QStringLiteral("PDF"));
    EXPECT_EQ(fichero, QStringLiteral("/tmp/x.PDF"));
}

TEST_F(Impresoras, OptionsOfEachKindAndTheOrderCodeOfTheChosenName) {
    anfitrion.monedas = {QStringLiteral("Euro"), QStringLiteral("Peseta")};
    anfitrion.conf.Impresoras.Listado = QStringLiteral("Oficina");
    struct Caso {
        qint16 tipo;
        qint16 tipoUsuario, ordenUsuario; // the user's stored preferences
        const char* tipos;                // the type row's items, "|" joined; empty: hidden
        const char* tipoInicial;
        int ordenes; // items of the order list; 0: order and direction hidden
        const char* ordenInicial;
        const char* monedas; // empty: the currency row hidden
        const char* formatos;
        bool observaciones, agrupar; // rows shown at the start
        const char* ordenElegido;
        qint16 codigo;
    };
    const Caso casos[] = {
        {0, 1, 3, "Resumido|Detalle", "Resumido", 3, "Código", "", "", false, false, "Direccion",
         21},
        {0, 2, 18, "Resumido|Detalle", "Detalle", 3, "Apellidos", "", "", true, false, "Código", 3},
        {1, 1, 3, "Resumido|Detalle", "Resumido", 4, "Código", "Euro|Peseta", "", false, false,
         "Consumo", 27},
        {2, 1, 99, "Resumido|Detalle", "Resumido", 3, "Código", "Euro|Peseta", "", false, false,
         "Apellidos", 18},
        {3, 2, 22, "", "", 6, "Fecha Nacimiento", "", "", false, false, "Fecha 1ª Visita", 23},
        {5, 1, 3, "", "", 3, "Código", "", "", false, true, "Apellidos", 18},
        {6, 1, 3, "", "", 4, "Código", "", "", false, false, "F. Garantía", 26},
        {10, 1, 3, "", "", 0, "", "", "Nacional|Castilla La Mancha", false, false, "", 0},
        {11, 1, 3, "", "", 0, "", "", "Corto|Completo", false, false, "", 0},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.tipo);
        anfitrion.usuario.TipoInforme = c.tipoUsuario;
        anfitrion.usuario.OrdenInforme = c.ordenUsuario;
        quill::ConfiguracionImpresion opciones;
        const qint16 codigo = ejecutar(c.tipo, opciones, [&](TfrmOpcionesImprimir& d) {
            const QString tipos = QString::fromUtf8(c.tipos);
            EXPECT_EQ(visible(d.cbxTipo), !tipos.isEmpty());
            EXPECT_EQ(textos(d.cbxTipo).join(QLatin1Char('|')), tipos);
            EXPECT_EQ(d.cbxTipo->currentText(), QString::fromUtf8(c.tipoInicial));
            EXPECT_EQ(visible(d.cbxOrden), c.ordenes > 0);
            EXPECT_EQ(visible(d.cbxSentido), c.ordenes > 0);
            EXPECT_EQ(d.cbxOrden->count(), c.ordenes);
            EXPECT_EQ(d.cbxOrden->currentText(), QString::fromUtf8(c.ordenInicial));
            EXPECT_EQ(d.cbxSentido->currentText(), QStringLiteral("Ascendente"));
            EXPECT_EQ(visible(d.cbxMoneda), *c.monedas != 0);
            EXPECT_EQ(textos(d.cbxMoneda).join(QLatin1Char('|')), QString::fromUtf8(c.monedas));
            EXPECT_EQ(visible(d.cbxFormato), *c.formatos != 0);
            EXPECT_EQ(textos(d.cbxFormato).join(QLatin1Char('|')), QString::fromUtf8(c.formatos));
            EXPECT_EQ(visible(d.chxObservaciones), c.observaciones);
            EXPECT_EQ(visible(d.chxAgrupar), c.agrupar);
            EXPECT_EQ(d.edtImpresora->text(), QStringLiteral("Oficina"));
            d.cbxOrden->setCurrentText(QString::fromUtf8(c.ordenElegido));
            d.cbxSentido->setCurrentIndex(1);
            d.btnImprimir->click();
        });
        ASSERT_EQ(codigo, 0);
        EXPECT_EQ(opciones.Orden, c.codigo);
        EXPECT_EQ(opciones.Sentido, c.ordenes > 0 ? 1 : 0);
        EXPECT_EQ(opciones.Impresora, QStringLiteral("Oficina"));
        EXPECT_TRUE(opciones.FicheroPDF.isEmpty());
        EXPECT_TRUE(modal.messages().isEmpty());
    }
}

TEST_F(Impresoras, AnEmptyPrinterStopsImprimirAndThePdfPrinterAsksForItsFile) {
    quill::ConfiguracionImpresion opciones;
    const qint16 codigo = ejecutar(0, opciones, [&](TfrmOpcionesImprimir& d) {
        EXPECT_TRUE(d.edtImpresora->text().isEmpty()) << "no workstation printer";
        d.btnImprimir->click();
        EXPECT_NE(d.result(), QDialog::Accepted);
        d.edtImpresora->setText(QStringLiteral("PDF"));
        modal.queueFileName(QString()); // no file chosen: stays open, no message
        d.btnImprimir->click();
        EXPECT_NE(d.result(), QDialog::Accepted);
        modal.queueFileName(QStringLiteral("/tmp/pacientes"));
        d.btnImprimir->click();
    });
    ASSERT_EQ(modal.messages().size(), 1);
    EXPECT_EQ(modal.messages().at(0).caption, QStringLiteral("AVISO"));
    EXPECT_EQ(modal.messages().at(0).text, QStringLiteral("Debe indicar una Impresora"));
    EXPECT_EQ(modal.messages().at(0).icon, quill::MessageIcon::Stop);
    ASSERT_EQ(codigo, 0);
    EXPECT_EQ(opciones.Impresora, QStringLiteral("PDF"));
    EXPECT_EQ(opciones.FicheroPDF, QStringLiteral("/tmp/pacientes.pdf"));
}

TEST_F(Impresoras, CancelThenNoKeepsTheChoicesAndYesEmptiesThem) {
    anfitrion.conf.Impresoras.Listado = QStringLiteral("Oficina");
    const QString pregunta = QStringLiteral("¿Está seguro de querer cancelar el listado?");
    auto elegir = [](TfrmOpcionesImprimir& d) {
        d.cbxTipo->setCurrentText(QStringLiteral("Detalle"));
        d.cbxOrden->setCurrentText(QStringLiteral("Apellidos"));
        d.cbxSentido->setCurrentIndex(1);
        d.chxDatosEmpresa->setChecked(false);
        d.chxObservaciones->setChecked(true);
        d.chxNumerar->setChecked(true);
        d.edtImpresora->setText(QStringLiteral("Otra"));
    };
    quill::ConfiguracionImpresion opciones;
    modal.queueAnswer(false);
    ASSERT_EQ(ejecutar(0, opciones,
                       [&](TfrmOpcionesImprimir& d) {
                           elegir(d);
                           EXPECT_TRUE(d.edtNOrden->isEnabled()) << "Numerar enables Nº Orden";
                           int cerrado = 0;
                           QObject::connect(&d, &QDialog::finished, [&] { ++cerrado; });
                           d.btnCancelar->click();
                           EXPECT_EQ(cerrado, 0) << "No leaves the dialog open";
                           d.btnImprimir->click();
                       }),
              0);
    ASSERT_EQ(modal.questions().size(), 1);
    EXPECT_EQ(modal.questions().at(0).caption, QStringLiteral("AVISO"));
    EXPECT_EQ(modal.questions().at(0).text, pregunta);
    EXPECT_EQ(opciones.Tipo, 1);
    EXPECT_EQ(opciones.Orden, 18);
    EXPECT_EQ(opciones.Sentido, 1);
    EXPECT_FALSE(opciones.DatosEmpresa);
    EXPECT_TRUE(opciones.Condiciones);
    EXPECT_TRUE(opciones.Observaciones);
    EXPECT_TRUE(opciones.Numerar);
    EXPECT_EQ(opciones.Impresora, QStringLiteral("Otra"));

    // On Yes the dialog's results are emptied and the caller's settings stay as they were.
    const quill::ConfiguracionImpresion antes = opciones;
    quill::ConfiguracionImpresion cancelado;
    modal.queueAnswer(true);
    EXPECT_EQ(ejecutar(0, opciones,
                       [&](TfrmOpcionesImprimir& d) {
                           elegir(d);
                           d.btnCancelar->click();
                           EXPECT_EQ(d.result(), QDialog::Rejected);
                           cancelado = d.Resultado();
                       }),
              -301);
    EXPECT_EQ(opciones.Impresora, antes.Impresora);
    EXPECT_EQ(opciones.Orden, antes.Orden);
    EXPECT_EQ(cancelado.Tipo, -1);
    EXPECT_EQ(cancelado.Orden, -1);
    EXPECT_EQ(cancelado.Moneda, -1);
    EXPECT_TRUE(cancelado.Impresora.isEmpty());
    EXPECT_FALSE(cancelado.DatosEmpresa);
    EXPECT_FALSE(cancelado.Condiciones);
}

TEST_F(Impresoras, F4OpensTheListWithNothingSelectedWhenNoPrinterMatchesTheWorkstation) {
    anfitrion.conf.Impresoras.Listado = QStringLiteral("Epson de la tienda");
    TfrmOpcionesImprimir d;
    d.setBloque(anfitrion.bloque.data());
    d.setListas(TfrmOpcionesImprimir::ListasDe(false, 0, anfitrion.bloque.data()));
    d.ValoresIniciales();
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    modal.queueDialog([&](QWidget* w) {
        auto& lista = *static_cast<TfrmImpresoras*>(w);
        EXPECT_EQ(lista.windowTitle(), QStringLiteral("Selección de impresora"));
        EXPECT_TRUE(lista.lvwImpresoras->selectedItems().isEmpty());
        lista.btnAceptar->click();
        EXPECT_NE(lista.result(), QDialog::Accepted);
        lista.lvwImpresoras->findItems(QStringLiteral("PDF"), Qt::MatchExactly)
            .first()
            ->setSelected(true);
        lista.btnAceptar->click();
        return lista.result();
    });
    modal.queueFileName(QStringLiteral("/tmp/lista.pdf"));
    d.edtImpresora->setFocus();
    QTest::keyClick(&d, Qt::Key_F4);
    EXPECT_EQ(modal.dialogCount(), 1);
    ASSERT_EQ(modal.messages().size(), 1);
    EXPECT_EQ(modal.messages().at(0).text, QStringLiteral("Debe seleccionar una impresora"));
    EXPECT_EQ(d.edtImpresora->text(), QStringLiteral("PDF"));
    EXPECT_TRUE(d.lblFichero->text().contains(QStringLiteral("/tmp/lista.pdf")));

    // Enter walks the edits, F5 prints with the file already chosen: nothing more is asked.
    d.cbxTipo->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), d.cbxOrden);
    QEvent entra(QEvent::Enter);
    QApplication::sendEvent(d.chxNumerar, &entra);
    EXPECT_EQ(d.sbrAyuda->currentMessage(),
              QStringLiteral("Muestra los datos de la empresa en el pie de cada página"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Resultado().FicheroPDF, QStringLiteral("/tmp/lista.pdf"));
    EXPECT_EQ(modal.pendingFileNames(), 0);
}
