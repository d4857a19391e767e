// The window's print action: the print options, the kind's run behind the progress window, the
// report previewed on the chosen printer (or the PDF file), the result closed afterwards. The
// report itself is the headless print step's (actions/imprimir.h), shared with `listado`.

#include "actions/ejecutor.h"
#include "actions/imprimir.h"
#include "business/moneda.h"
#include "host/bloque.h"
#include "listing/tfrmlistado.h"
#include "listing/tfrmopcionesimprimir.h"
#include "output/print/impresoras.h"
#include "platform/guard.h"
#include "platform/modal.h"
#include "queries/listingmodule.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRadioButton>

namespace {

const QString kSinObjetos = QStringLiteral(
    "No se han creado los objetos del listado: cierre la ventana y vuelva a abrirla");

// The currency name the options chose, as the host names its currencies.
QString nombreMoneda(const std::intptr_t* bloque, qint16 moneda) {
    const auto* m =
        bloque ? quill::slotObject<quill::TMonedas>(bloque, quill::SlotCurrencies) : nullptr;
    if (m) return moneda == 1 ? m->Moneda2 : m->Moneda1;
    return moneda == 1 ? QStringLiteral("Pts") : quill::Moneda().simbolo;
}

} // namespace

qint16 TfrmListado::OpcionesImpresion() {
    const quill::DescriptorListado* d = quill::Listado(TipoListado);
    if (!d) throw quill::Error(kSinObjetos);
    // The prescriptions offer the glasses' or the hearing aids' formats by prescription type.
    qint16 tipo = TipoListado;
    if (TipoListado == 4)
        tipo = Condiciones && Condiciones->Parametros.tipoPrescripcion != QStringLiteral("Óptica")
                   ? 11
                   : 10;
    return TfrmOpcionesImprimir::Ejecutar(d->conMonedas, tipo, m_bloque, OpcionesImprimir, this);
}

qint16 TfrmListado::ImprimirListado() {
    const quill::DescriptorListado* d = quill::Listado(TipoListado);
    if (!d) throw quill::Error(kSinObjetos);
    if (OpcionesImpresion() != 0) return Resultado = quill::kListadoCancelado;
    Orden = OpcionesImprimir.Orden;
    Sentido = OpcionesImprimir.Sentido;

    // The run behind the progress window; Cancel stops without a message.
    MostrarProgreso();
    quill::EjecutorListado& e = PrepararListado();
    Resultado = e.Ejecutar(Orden, Sentido, rbnTodas->isChecked());
    if (ProgresoCancelado() == quill::kListadoCancelado) {
        CerrarProgreso();
        e.Cerrar();
        return Resultado = quill::kListadoCancelado;
    }
    CerrarProgreso();
    if (!MensajeResultado(Resultado)) return Resultado;

    // The result is closed whatever happens to the preview.
    struct Cierre {
        quill::EjecutorListado& e;
        ~Cierre() { e.Cerrar(); }
    } cierre{e};
    QString error;
    auto informe = quill::PrepararInforme(
        *d, *e.Modulo(), OpcionesImprimir, nombreMoneda(m_bloque, OpcionesImprimir.Moneda),
        e.Modulo()->LeerCondiciones(), e.Modulo()->Conexion(), error);
    if (!informe) throw quill::Error(error);

    QPrinter impresora(QPrinter::HighResolution);
    if (quill::EsImpresoraPDF(OpcionesImprimir.Impresora)) {
        impresora.setOutputFormat(QPrinter::PdfFormat);
        impresora.setOutputFileName(OpcionesImprimir.FicheroPDF);
    } else {
        impresora.setPrinterName(OpcionesImprimir.Impresora);
    }
    impresora.setDocName(informe->Titulo());
    impresora.setFullPage(true);
    QPrintPreviewDialog vista(&impresora, this);
    vista.setWindowTitle(informe->Titulo());
    quill::print::InformeListado* r = informe.get();
    connect(&vista, &QPrintPreviewDialog::paintRequested, &vista, [r](QPrinter* p) {
        if (r->Imprimir(*p) < 0)
            quill::reportError(
                QStringLiteral("qrpReport -> Print"),
                QStringLiteral("No se puede imprimir en '%1'").arg(p->printerName()));
        // Failures of a row are reported and printing goes on.
        for (const QString& fallo : r->Errores())
            quill::reportError(QStringLiteral("qrpReport -> Print"), fallo);
    });
    quill::Modal::current().exec(&vista);
    return Resultado;
}
