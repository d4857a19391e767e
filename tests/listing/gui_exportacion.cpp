// The export options dialog on its own: the save dialog's filter and the extension a picked
// name gets, the refusals and the cancel question.

#include "listing/tfrmopcionesexportacion.h"
#include "platform/modal.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using quill::ScriptedModal;

namespace {

class OpcionesExportacion : public ::testing::Test {
protected:
    // A dialog set up in a mode, shown so that keys reach it.
    TfrmOpcionesExportacion& dialogo(bool sms) {
        d = std::make_unique<TfrmOpcionesExportacion>();
        d->Inicializar(sms);
        d->show();
        return *d;
    }
    // The name the file button leaves in the box for a picked path and the type at `tipo`.
    QString elegido(int tipo, const QString& ruta) {
        d->cbxTipo->setCurrentIndex(tipo);
        modal.queueFileName(ruta);
        d->tbnFichero->click();
        return d->edtFichero->text();
    }

    ScriptedModal modal;
    quill::ScopedModal instalado{modal};
    std::unique_ptr<TfrmOpcionesExportacion> d;
};

} // namespace

TEST_F(OpcionesExportacion, FileButtonOffersTheTypesFilterAndAddsItsExtension) {
    struct Caso {
        bool sms;
        int tipo;
        const char* ruta;
        const char* esperado;
        const char* filtro;
    };
    const Caso casos[] = {
        {false, 0, "/tmp/lista", "/tmp/lista.xlsx", "Libro de Microsoft Excel (*.xlsx)"},
        {false, 0, "/tmp/lista.xls", "/tmp/lista.xls.xlsx", "Libro de Microsoft Excel (*.xlsx)"},
        {false, 1, "/tmp/lista.HTML", "/tmp/lista.HTML", "Documento HTML (*.html)"},
        {false, 3, "/tmp/listaxml", "/tmp/listaxml.xml", "Documento XML (*.xml)"},
        // SMS mode is text whatever the combo holds.
        {true, 0, "/tmp/moviles.xlsx", "/tmp/moviles.xlsx.txt", "Documento de Texto (*.txt)"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.ruta);
        modal.clear();
        dialogo(c.sms);
        EXPECT_EQ(elegido(c.tipo, QString::fromUtf8(c.ruta)), QString::fromUtf8(c.esperado));
        ASSERT_EQ(modal.fileChoices().size(), 1);
        const quill::ScriptedModal::FileChoice& f = modal.fileChoices().first();
        EXPECT_TRUE(f.save);
        EXPECT_EQ(f.request.filters, QStringList{QString::fromUtf8(c.filtro)});
        EXPECT_EQ(f.request.filterIndex, 0);
    }
}

TEST_F(OpcionesExportacion, ExportarRefusesAMissingNameOrType) {
    struct Caso {
        const char* fichero;
        int tipo;
        const char* mensaje;
    };
    const Caso casos[] = {
        {"", 0, "Debe indicar un nombre para el fichero"},
        {"/tmp/x.xlsx", -1, "Debe indicar un Tipo de Exportación válido"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.mensaje);
        modal.clear();
        dialogo(false);
        d->cbxTipo->setCurrentIndex(c.tipo);
        d->edtFichero->setText(QString::fromUtf8(c.fichero));
        d->tbnExportar->click();
        EXPECT_TRUE(d->isVisible()) << "the dialog stays open";
        EXPECT_NE(d->result(), QDialog::Accepted);
        EXPECT_EQ(d->Tipo(), -1);
        ASSERT_FALSE(modal.messages().isEmpty());
        EXPECT_EQ(modal.messages().at(0).text, QString::fromUtf8(c.mensaje));
    }
}

TEST_F(OpcionesExportacion, CancelAsksAndOnlyYesCloses) {
    const QString pregunta = QStringLiteral("¿Está seguro de querer cancelar la Exportación?");
    dialogo(false);
    d->edtFichero->setText(QStringLiteral("/tmp/x.xlsx"));
    modal.queueAnswer(false);
    d->tbnCancelar->click();
    EXPECT_TRUE(d->isVisible());
    ASSERT_EQ(modal.questions().size(), 1);
    EXPECT_EQ(modal.questions().at(0).text, pregunta);

    modal.queueAnswer(true);
    d->tbnCancelar->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(d->Tipo(), -1);
}
