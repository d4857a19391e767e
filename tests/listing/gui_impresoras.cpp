// The printer list and the print options dialog driven through their real widgets, the modal
// interface scripted.

#include "anfitrion.h"
#include "listing/tfrmimpresoras.h"
#include "output/print/impresoras.h"
#include "platform/modal.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QSettings>

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

    std::unique_ptr<QTemporaryDir> dir = quilltest::scratch();
    ScriptedModal modal;
    quill::ScopedModal instalado{modal};
    Anfitrion anfitrion;
};

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
