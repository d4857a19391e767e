// Labels from the window: the options dialog's checks and results, the format browser, and the
// label action of the General kind on a generated shop, to a PDF, with Cancel printing nothing.

#include "anfitrion.h"
#include "business/tdocumento.h"
#include "conditions/tdmlstpaciente.h"
#include "listing/abrirlistado.h"
#include "listing/navbar.h"
#include "listing/tfrmbuscarformatos.h"
#include "listing/tfrmerror.h"
#include "listing/tfrmlistado.h"
#include "listing/tfrmopcionesetiqueta.h"
#include "listing/tfrmporcentajelistado.h"
#include "platform/memtable.h"
#include "platform/modal.h"
#include "testsupport.h"
#include "tiendaprueba.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSpinBox>
#include <QSqlQuery>
#include <QTimer>

using quill::ScriptedModal;

namespace {

const QString kConexion = QStringLiteral("gui_etiquetas");
const QString kFormatoInvalido = QStringLiteral("Debe indicar un Formato Válido");

// A formats folder of its own: the shipped formats and a corrupt one.
std::unique_ptr<QTemporaryDir> carpetaFormatos() {
    auto dir = quilltest::scratch();
    const QDir origen(quilltest::dataDir() + QStringLiteral("/formatos"));
    for (const QString& f : origen.entryList({QStringLiteral("*.fqm")}, QDir::Files))
        QFile::copy(origen.filePath(f), dir->filePath(f));
    QFile corrupto(dir->filePath(QStringLiteral("Corrupto.fqm")));
    if (corrupto.open(QIODevice::WriteOnly)) corrupto.write("\x89PNG\r\n\x1a\n no es un formato");
    return dir;
}

class OpcionesEtiqueta : public ::testing::Test {
protected:
    void SetUp() override {
        formatos = carpetaFormatos();
        host.conf.CarpetaFormatos = formatos->path();
    }
    ScriptedModal modal;
    quill::ScopedModal instalado{modal};
    Anfitrion host;
    std::unique_ptr<QTemporaryDir> formatos;
};

} // namespace

TEST_F(OpcionesEtiqueta, PrintRefusesMissingPrinterAndInvalidFormats) {
    const struct {
        const char* impresora;
        const char* formato;
        const char* mensaje; // empty: accepted
    } casos[] = {
        {"", "A4 3x8 70x37", "Debe indicar una Impresora"},
        {"PDF", "  ", "Debe indicar un Formato Válido"},
        {"PDF", "Corrupto", "Debe indicar un Formato Válido"},
        {"PDF", "No existe", "Debe indicar un Formato Válido"},
        {"PDF", "/otra/carpeta/A4 3x8 70x37", ""},
        {"EPL", "EPL2 rollo 4 pulgadas", ""},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.formato);
        modal.clear();
        TfrmOpcionesEtiqueta d;
        d.setBloque(host.bloque.data());
        d.setCopias(2);
        d.setContexto(34);
        d.setFechaNacimiento(true);
        ASSERT_EQ(d.Preparar(), 0);
        d.edtImpresora->setText(QString::fromUtf8(c.impresora));
        d.edtFormato->setText(QString::fromUtf8(c.formato));
        d.btnImprimir->click();
        if (*c.mensaje) {
            ASSERT_EQ(modal.messages().size(), 1);
            EXPECT_EQ(modal.messages()[0].caption, QStringLiteral("AVISO"));
            EXPECT_EQ(modal.messages()[0].icon, quill::MessageIcon::Stop);
            EXPECT_EQ(modal.messages()[0].text, QString::fromUtf8(c.mensaje));
            EXPECT_NE(d.result(), QDialog::Accepted);
        } else {
            EXPECT_TRUE(modal.messages().isEmpty());
            EXPECT_EQ(d.result(), QDialog::Accepted);
            EXPECT_EQ(d.Copias(), 2);
            EXPECT_EQ(d.Impresora(), QString::fromUtf8(c.impresora));
            EXPECT_FALSE(d.Formato().contains(QLatin1Char('/')));
        }
    }
    // The orders of the dates kind, and the default selection.
    TfrmOpcionesEtiqueta d;
    d.setBloque(host.bloque.data());
    d.setFechaNacimiento(true);
    ASSERT_EQ(d.Preparar(), 0);
    EXPECT_EQ(d.cbxOrden->count(), 4);
    EXPECT_EQ(d.cbxOrden->currentText(), QStringLiteral("Código"));
    EXPECT_EQ(d.cbxSentido->currentText(), QStringLiteral("Ascendente"));
    EXPECT_FALSE(d.chxPorDomicilio->isChecked());
}

TEST_F(OpcionesEtiqueta, WithoutTheBlockAndCancel) {
    TfrmOpcionesEtiqueta sinBloque;
    EXPECT_EQ(sinBloque.Preparar(), -1);
    ASSERT_EQ(modal.messages().size(), 1);
    EXPECT_EQ(modal.messages()[0].caption, QStringLiteral("ERROR"));
    EXPECT_EQ(modal.messages()[0].text, QStringLiteral("Paso no inicializado. Imposible continuar"));

    TfrmOpcionesEtiqueta d;
    d.setBloque(host.bloque.data());
    ASSERT_EQ(d.Preparar(), 0);
    d.show();
    modal.queueAnswers({false, true});
    d.btnCancelar->click();
    EXPECT_TRUE(d.isVisible()); // No: stays open
    d.btnCancelar->click();
    EXPECT_FALSE(d.isVisible());
    ASSERT_EQ(modal.questions().size(), 2);
    EXPECT_EQ(modal.questions()[0].text,
              QStringLiteral("¿Está seguro de querer cancelar la Impresión de Etiquetas?"));
}

TEST_F(OpcionesEtiqueta, BrowserShowsEachFormatAndRefusesAForeignFile) {
    // A catalogue of one sheet, so the list is known.
    auto catalogo = quilltest::scratch();
    QFile xml(catalogo->filePath(QStringLiteral("m-templates.xml")));
    ASSERT_TRUE(xml.open(QIODevice::WriteOnly));
    xml.write(R"(<Glabels-templates><Template brand="Apli" part="01277" size="A4" _description="Etiquetas">
      <Label-rectangle width="105mm" height="37mm"><Layout nx="2" ny="8" x0="0" y0="0.5mm" dx="105mm" dy="37mm"/>
      </Label-rectangle></Template></Glabels-templates>)");
    xml.close();

    TfrmBuscarFormatos b;
    b.setCarpetaPlantillas(catalogo->path());
    ASSERT_EQ(b.Inicializar(host.bloque.data(), 34, 2, 3), 0);
    QStringList nombres;
    for (int i = 0; i < b.lvwFormatos->count(); ++i)
        nombres << b.lvwFormatos->item(i)->text();
    EXPECT_EQ(nombres, (QStringList{"A4 2x7 99,1x38,1", "A4 3x11 70x25,4", "A4 3x8 70x37",
                                    "Corrupto", "EPL2 rollo 4 pulgadas", "Apli 01277 — Etiquetas"}));
    EXPECT_EQ(b.edtColumna->value(), 2);
    EXPECT_EQ(b.edtFila->value(), 3);
    const auto mostrar = [&](int fila) {
        b.lvwFormatos->setCurrentRow(fila);
        return QStringList{b.lblTipoValor->text(), b.lblPapelValor->text(),
                           b.lblEtiquetaValor->text(), b.lblColumnasValor->text(),
                           b.lblFilasValor->text()};
    };
    EXPECT_EQ(mostrar(2), (QStringList{"Formato estandar", "210 x 297 mm", "70 x 37 mm", "3", "8"}));
    EXPECT_EQ(mostrar(4),
              (QStringList{"Formato EPL/2", "101,6 x 50,8 mm", "101,6 x 50,8 mm", "1", "1"}));
    EXPECT_EQ(mostrar(3), (QStringList{"<Documento no válido>", "", "", "", ""}));
    b.btnAceptar->click();
    ASSERT_EQ(modal.messages().size(), 1);
    EXPECT_EQ(modal.messages()[0].text,
              QStringLiteral("El formato seleccionado no se ha podido reconocer. Seleccione otro "
                             "formato"));
    EXPECT_NE(b.result(), QDialog::Accepted);

    // A catalogue sheet becomes a format of the folder, printed with the address layout.
    EXPECT_EQ(mostrar(5), (QStringList{"Formato estandar", "210 x 297 mm", "105 x 37 mm", "2", "8"}));
    b.btnAceptar->click();
    EXPECT_EQ(b.result(), QDialog::Accepted);
    EXPECT_EQ(b.Formato(), QStringLiteral("Apli 01277"));
    quill::TDocumento d;
    d.setFichero(formatos->filePath(QStringLiteral("Apli 01277.fqm")));
    ASSERT_EQ(d.Leer(), 0);
    EXPECT_EQ(d.Columnas(), 2);
    EXPECT_EQ(d.Componentes.size(), 4);
}

namespace {

class EtiquetasVentana : public ::testing::Test {
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
        formatos = carpetaFormatos();
        host.conf.CarpetaFormatos = formatos->path();
        host.conf.CarpetaLibrerias = quilltest::buildDir() + QStringLiteral("/lib");
        host.aplicacion.CopiasEtiqueta = 1;
        host.principal.show();
        modal.setDefaultDialog([this](QWidget* d) {
            if (auto* e = qobject_cast<TfrmError*>(d)) funciones << e->edtFuncion->text();
            return 0;
        });
        w = AbrirListado(host.bloque.data());
        ASSERT_TRUE(w);
        salida = quilltest::scratch();
    }
    // A prescription field: the statement lists a patient once per matching prescription.
    void condicionCilindro() {
        quill::MemTable* t = w->dmlstPaciente->TablaActual();
        if (!(t->state() == quill::MemTable::State::Insert &&
              t->asString(QStringLiteral("Campo")).isEmpty()))
            t->append();
        t->setValue(QStringLiteral("Id"), 82.0);
        t->setValue(QStringLiteral("Campo"), QStringLiteral("Cilindro OD"));
        t->setValue(QStringLiteral("Condicion"), QStringLiteral("...Entre..."));
        t->setValue(QStringLiteral("Condicion1"), QStringLiteral("-1"));
        t->setValue(QStringLiteral("Condicion2"), QStringLiteral("-0,25"));
        t->post();
    }
    // The options as the user fills them, then "Imprimir"; the PDF file asked for afterwards.
    void etiquetas(int copias, const QString& pdf) {
        modal.queueDialog([copias](QWidget* d) {
            auto* o = qobject_cast<TfrmOpcionesEtiqueta*>(d);
            if (!o) return 0;
            o->edtFormato->setText(QStringLiteral("A4 3x8 70x37"));
            o->edtImpresora->setText(QStringLiteral("PDF"));
            o->edtNumeroCopias->setValue(copias);
            o->btnImprimir->click();
            return o->result();
        });
        modal.queueFileName(pdf);
        w->nbiEtiqueta->click();
    }
    int contar(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(kConexion));
        EXPECT_TRUE(q.exec(sql)) << qPrintable(sql);
        return q.next() ? q.value(0).toInt() : -1;
    }

    static inline QString error;
    static inline tiendaprueba::Tienda* tienda = nullptr;
    ScriptedModal modal;
    quill::ScopedModal instalado{modal};
    Anfitrion host{kConexion};
    QPointer<TfrmListado> w;
    QStringList funciones;
    std::unique_ptr<QTemporaryDir> formatos;
    std::unique_ptr<QTemporaryDir> salida;
};

const QString kCilindro =
    QStringLiteral("FROM PACIENTE P JOIN MGRADUACION M ON M.ID_PACIENTE = P.ID_PACIENTE WHERE "
                   "P.LICENCIA = 1 AND P.BORRADO = 0 AND P.ID_PACIENTE <> 0 "
                   "AND M.OD_CILINDRO BETWEEN -1 AND -0.25");

} // namespace

TEST_F(EtiquetasVentana, GeneralGivesOneSetPerPatientIntoThePdf) {
    w->CambiarListado(0);
    condicionCilindro();
    const int pacientes = contar(QStringLiteral("SELECT COUNT(DISTINCT P.ID_PACIENTE) ") + kCilindro);
    // The statement repeats patients: some have several such prescriptions.
    ASSERT_GT(contar(QStringLiteral("SELECT COUNT(*) ") + kCilindro), pacientes);
    ASSERT_GT(pacientes, 0);
    const QString pdf = salida->filePath(QStringLiteral("general.pdf"));
    etiquetas(2, pdf);
    EXPECT_TRUE(funciones.isEmpty()) << qPrintable(funciones.join('\n'));
    for (const auto& m : modal.messages())
        ADD_FAILURE() << qPrintable(m.text);
    EXPECT_EQ(w->Resultado, 0);
    ASSERT_TRUE(QFile::exists(pdf));
    auto* d = qobject_cast<quill::TDocumento*>(w->Documento.get());
    ASSERT_TRUE(d);
    ASSERT_EQ(d->NumeroEtiquetas(), 2 * pacientes);
    QSet<QString> codigos;
    const int codigo = quill::CampoPaciente(QStringLiteral("CODIGO"));
    for (int i = 0; i < d->NumeroEtiquetas(); i += 2) {
        EXPECT_EQ(d->Etiqueta(i), d->Etiqueta(i + 1)); // the copies in a row
        codigos.insert(d->Etiqueta(i).at(codigo));
    }
    EXPECT_EQ(codigos.size(), pacientes);
    EXPECT_EQ(w->textoAyuda(), QStringLiteral("Impresas %1 etiquetas").arg(2 * pacientes));
}

TEST_F(EtiquetasVentana, CancelInTheProgressWindowPrintsNothing) {
    w->CambiarListado(0);
    condicionCilindro();
    QTimer::singleShot(0, w.data(), [this] {
        if (TfrmPorcentajeListado* p = w->frmPorcentajeListado) p->tbnCancelar->click();
    });
    const QString pdf = salida->filePath(QStringLiteral("cancelado.pdf"));
    etiquetas(1, pdf);
    EXPECT_EQ(w->Resultado, -301);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_TRUE(modal.messages().isEmpty());
}

TEST_F(OpcionesEtiqueta, PrinterButtonOpensThePrinterListAndKeepsThePdfFile) {
    TfrmOpcionesEtiqueta d;
    d.setBloque(host.bloque.data());
    ASSERT_EQ(d.Preparar(), 0);
    modal.queueDialog([](QWidget* w) {
        auto* lista = w->findChild<QListWidget*>(QStringLiteral("lvwImpresoras"));
        if (!lista) return 0;
        const auto items = lista->findItems(QStringLiteral("PDF"), Qt::MatchExactly);
        if (items.isEmpty()) return 0;
        lista->setCurrentItem(items.first());
        QMetaObject::invokeMethod(w, "Aceptar");
        return qobject_cast<QDialog*>(w)->result();
    });
    modal.queueFileName(QStringLiteral("/tmp/etiquetas-de-marzo.pdf"));
    d.tbnImpresora->click();
    EXPECT_EQ(d.edtImpresora->text(), QStringLiteral("PDF"));
    d.edtFormato->setText(QStringLiteral("A4 3x8 70x37"));
    d.btnImprimir->click();
    ASSERT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.Fichero(), QStringLiteral("/tmp/etiquetas-de-marzo.pdf"));
}
