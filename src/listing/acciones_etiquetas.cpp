// The window's label action: the label options, the kind's run behind the progress window, and
// the label step shared with `listado etiquetas` (actions/etiquetas.h).

#include "actions/ejecutor.h"
#include "actions/etiquetas.h"
#include "business/tdocumento.h"
#include "host/bloque.h"
#include "listing/tfrmlistado.h"
#include "listing/tfrmopcionesetiqueta.h"
#include "listing/tfrmporcentajelistado.h"
#include "output/labels/formatosetiqueta.h"
#include "output/print/impresoras.h"
#include "platform/guard.h"
#include "platform/modal.h"
#include "queries/listingmodule.h"

#include <QDialog>
#include <QRadioButton>

namespace {

const QString kAviso = QStringLiteral("AVISO");

// Closes the progress window when the action ends, however it ends.
class CierreProgreso {
public:
    explicit CierreProgreso(TfrmListado& w) : w_(w) {}
    ~CierreProgreso() { w_.CerrarProgreso(); }
    CierreProgreso(const CierreProgreso&) = delete;
    CierreProgreso& operator=(const CierreProgreso&) = delete;

private:
    TfrmListado& w_;
};

// The order code of an order name of the label options.
qint16 codigoOrden(const QString& nombre) {
    for (qint16 codigo : {qint16(3), qint16(18), qint16(21), qint16(22)})
        if (quill::NombreOrden(codigo) == nombre) return codigo;
    return 3;
}

} // namespace

qint16 TfrmListado::ImprimirEtiquetas() {
    const std::intptr_t* b = m_bloque;
    const auto* puesto = b ? quill::slotObject<quill::TConfPuesto>(b, quill::SlotSettings) : nullptr;
    const auto* aplicacion = b ? quill::slotObject<quill::TAplicacion>(b, quill::SlotApplication)
                               : nullptr;
    const auto* usuario = b ? quill::slotObject<quill::TUsuario>(b, quill::SlotUser) : nullptr;

    // 1. The options; nothing runs unless they are accepted.
    TfrmOpcionesEtiqueta opciones(quill::slotOwner(b));
    opciones.setBloque(b);
    opciones.setCopias(aplicacion ? aplicacion->CopiasEtiqueta : 1);
    opciones.setMostrarCopias(true);
    opciones.setFilaInicial(1);
    opciones.setColumnaInicial(1);
    opciones.setContexto(34);
    opciones.setFechaNacimiento(TipoListado == 3);
    opciones.setFormato(usuario ? usuario->FormatoEtiqueta : QString());
    opciones.setImpresora(quill::ImpresoraPuesto(b, QStringLiteral("Etiqueta")));
    if (opciones.Preparar() != 0) return Resultado = quill::kListadoCancelado;
    if (quill::Modal::current().exec(&opciones) != QDialog::Accepted)
        return Resultado = quill::kListadoCancelado;

    quill::TrabajoEtiquetas trabajo;
    quill::OpcionesEtiquetas& o = trabajo.opciones;
    o.formato = opciones.Formato();
    o.impresora = opciones.Impresora();
    o.fichero = opciones.Fichero();
    o.filaInicial = opciones.FilaInicial();
    o.columnaInicial = opciones.ColumnaInicial();
    o.copias = opciones.Copias();
    o.porDomicilio = opciones.PorDomicilio();
    trabajo.carpetaFormatos = quill::CarpetaFormatos(puesto);
    trabajo.carpetaLibrerias = quill::CarpetaLibrerias(puesto);
    trabajo.bloque = b;
    // The built-in PDF printer writes a file: asked for now, before anything runs. An EPL/2
    // format writes its printer commands there instead.
    const bool epl = !quill::TDocumento::EsDocumentoEstandar(
        quill::RutaFormato(trabajo.carpetaFormatos, o.formato));
    if (epl && o.fichero.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        o.fichero = o.fichero.chopped(4) + QStringLiteral(".epl");
    if (quill::EsImpresoraPDF(o.impresora) && o.fichero.isEmpty()) {
        quill::FileRequest peticion;
        peticion.caption = QStringLiteral("Guardar etiquetas como");
        peticion.filters = {epl ? QStringLiteral("Órdenes EPL/2 (*.epl)")
                                : QStringLiteral("Documento PDF (*.pdf)")};
        o.fichero = quill::Modal::current().saveFileName(peticion);
        if (o.fichero.isEmpty()) return Resultado = quill::kListadoCancelado;
    }
    Orden = codigoOrden(opciones.TextoOrden());
    Sentido = opciones.Sentido();

    // 2. The kind's run behind the progress window.
    CierreProgreso cierre(*this);
    MostrarProgreso();
    quill::EjecutorListado& e = PrepararListado();
    Resultado = e.Ejecutar(Orden, Sentido, rbnTodas->isChecked());
    if (ProgresoCancelado() == quill::kListadoCancelado) return Resultado = quill::kListadoCancelado;
    // 3. The labels; a failure there is reported under the label step's own name.
    qint16 r = quill::kListadoErrorInterno;
    Proteger(QStringLiteral("GenerarEtiquetas"), [&] { r = GenerarEtiquetas(Resultado, trabajo); });
    return r;
}

qint16 TfrmListado::GenerarEtiquetas(qint16 resultado, const quill::TrabajoEtiquetas& datos) {
    if (resultado != quill::kListadoCorrecto) {
        CerrarProgreso();
        MensajeResultado(resultado);
        return resultado;
    }
    if (!Documento) Documento = std::make_unique<quill::TDocumento>();
    auto* documento = qobject_cast<quill::TDocumento*>(Documento.get());
    quill::TrabajoEtiquetas trabajo = datos;
    trabajo.cancelado = [this] { return ProgresoCancelado() == quill::kListadoCancelado; };
    trabajo.antesDeImprimir = [this] { CerrarProgreso(); };
    QString mensaje;
    int etiquetas = 0;
    const qint16 r =
        quill::ImprimirEtiquetasListado(*Ejecutor(TipoListado), *documento, trabajo, &mensaje,
                                        &etiquetas);
    CerrarProgreso();
    Resultado = r == quill::kListadoCancelado ? r : qint16(0);
    if (r == 0) {
        setTextoAyuda(QStringLiteral("Impresa%1 %2 etiqueta%1")
                          .arg(etiquetas == 1 ? QString() : QStringLiteral("s"))
                          .arg(etiquetas));
    } else if (!mensaje.isEmpty()) {
        quill::Modal::current().message(QStringLiteral("ERROR"), mensaje,
                                        quill::MessageIcon::Stop);
    }
    return r;
}
