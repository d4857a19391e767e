// The window's print action on a generated shop: the print options (the PDF printer and its
// file), the run, the preview with the report's pages (twice the same), the file written from
// the preview with the options' choices in it, and the result closed afterwards; Cancel in the
// options runs nothing.

#include "actions/ejecutor.h"
#include "anfitrion.h"
#include "conditions/tdmlstpaciente.h"
#include "listing/abrirlistado.h"
#include "listing/navbar.h"
#include "listing/tfrmerror.h"
#include "listing/tfrmlistado.h"
#include "listing/tfrmopcionesimprimir.h"
#include "platform/memtable.h"
#include "platform/modal.h"
#include "queries/listingmodule.h"
#include "testsupport.h"
#include "tiendaprueba.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>

using quill::MemTable;
using quill::ScriptedModal;

namespace {

const QString kConexion = QStringLiteral("gui_imprimir");

class ImprimirVentana : public ::testing::Test {
public:
    static void SetUpTestSuite() {
        tienda = new tiendaprueba::Tienda;
        error = tienda->crear(kConexion, {}, tiendaprueba::plantillaGenerada);
    }
    static void TearDownTestSuite() {
        delete tienda;
        tienda = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(error.isEmpty()) << qPrintable(error);
        host.principal.show();
        modal.setDefaultDialog([this](QWidget* d) {
            if (auto* e = qobject_cast<TfrmError*>(d)) funciones << e->edtFuncion->text();
            return 0;
        });
        w = AbrirListado(host.bloque.data());
        ASSERT_TRUE(w);
        salida = quilltest::scratch();
    }
    void condicion(double id, const QString& campo, const QString& operador,
                   const QString& valor1) {
        MemTable* t = w->dmlstPaciente->TablaActual();
        const bool enBlanco =
            t->state() == MemTable::State::Insert && t->asString(QStringLiteral("Campo")).isEmpty();
        if (!enBlanco) t->append();
        t->setValue(QStringLiteral("Id"), id);
        t->setValue(QStringLiteral("Campo"), campo);
        t->setValue(QStringLiteral("Condicion"), operador);
        t->setValue(QStringLiteral("Condicion1"), valor1);
        t->post();
    }

    static inline tiendaprueba::Tienda* tienda = nullptr;
    static inline QString error;
    Anfitrion host{kConexion};
    ScriptedModal modal;
    quill::ScopedModal instalado{modal};
    QPointer<TfrmListado> w;
    QStringList funciones;
    std::unique_ptr<QTemporaryDir> salida;
};

TEST_F(ImprimirVentana, OpcionesConsultaVistaPreviaYFicheroPdf) {
    condicion(1, QStringLiteral("Apellidos"), QStringLiteral("Empieza por..."),
              QStringLiteral("G"));
    const QString pdf = salida->filePath(QStringLiteral("general.pdf"));
    // The options: the PDF printer, whose file is asked for when "Imprimir" is pressed.
    modal.queueDialog([&](QWidget* d) {
        auto* o = qobject_cast<TfrmOpcionesImprimir*>(d);
        if (!o) return 0;
        o->cbxOrden->setCurrentIndex(o->cbxOrden->findText(QStringLiteral("Apellidos")));
        o->edtImpresora->setText(QStringLiteral("PDF"));
        // The choices reach the report: rows numbered from 7, no page numbers.
        o->chxNumerar->setChecked(true);
        o->edtNOrden->setValue(7);
        o->chxNumerarPagina->setChecked(false);
        modal.queueFileName(pdf);
        o->btnImprimir->click();
        return o->result();
    });
    // The preview: its pages counted twice, then printed to the file.
    int paginas[2] = {-1, -1};
    bool vista = false;
    modal.queueDialog([&](QWidget* d) {
        auto* v = qobject_cast<QPrintPreviewDialog*>(d);
        if (!v) return 0;
        vista = true;
        auto* p = v->findChild<QPrintPreviewWidget*>();
        if (!p) return 0;
        for (int& n : paginas) {
            p->updatePreview();
            n = p->pageCount();
        }
        p->print();
        return 1;
    });
    w->nbiImprimir->click();
    EXPECT_TRUE(funciones.isEmpty()) << qPrintable(funciones.join(QLatin1Char('\n')));
    ASSERT_TRUE(vista);
    EXPECT_GT(paginas[0], 0);
    EXPECT_EQ(paginas[0], paginas[1]) << "previewing again gives the same pages";
    EXPECT_EQ(w->Orden, 18);
    EXPECT_EQ(w->Resultado, quill::kListadoCorrecto);
    EXPECT_EQ(w->Ejecutor(0)->Modulo()->dstListado(), nullptr) << "the result is closed";

    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString texto = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(texto.contains(QStringLiteral("Listado de Pacientes General")));
    EXPECT_TRUE(texto.contains(QStringLiteral("Resumido. Ordenador Por Apellidos")));
    EXPECT_TRUE(texto.contains(QStringLiteral("Apellidos Empieza por... 'G'")));
    EXPECT_EQ(texto.count(QLatin1Char('\f')), paginas[0]);
    EXPECT_FALSE(texto.contains(QStringLiteral("Página")));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\s*7\\s+\\d+\\s+G"),
                                   QRegularExpression::MultilineOption)
                    .match(texto)
                    .hasMatch())
        << qPrintable(texto.left(2000));

    // Cancel in the options (answered Yes): nothing runs, nothing is shown.
    modal.clear();
    modal.queueDialog([&](QWidget* d) {
        auto* o = qobject_cast<TfrmOpcionesImprimir*>(d);
        if (!o) return 0;
        modal.queueAnswer(true);
        o->btnCancelar->click();
        return o->result();
    });
    w->nbiImprimir->click();
    EXPECT_EQ(modal.dialogCount(), 1);
    EXPECT_EQ(w->Resultado, quill::kListadoCancelado);
}

} // namespace
