// The listing window's actions: validation of the conditions, the routing of each action through
// the kind registry, the progress window around the run, the result-code messages, the count and
// the export. Running a kind is the action runner's (actions/ejecutor.h); this file only shows.

#include "actions/ejecutor.h"
#include "conditions/control.h"
#include "conditions/tdmlstpaciente.h"
#include "host/bloque.h"
#include "listing/gridcondiciones.h"
#include "listing/navbar.h"
#include "listing/tfrmconteo.h"
#include "listing/tfrmlistado.h"
#include "listing/tfrmopcionesexportacion.h"
#include "listing/tfrmporcentajelistado.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "platform/modal.h"
#include "queries/listingmodule.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLocale>
#include <QRadioButton>

using quill::MemTable;

namespace {

const QString kAviso = QStringLiteral("AVISO");
const QString kSinObjetos = QStringLiteral(
    "No se han creado los objetos del listado: cierre la ventana y vuelva a abrirla");

void aviso(const QString& texto) {
    quill::Modal::current().message(kAviso, texto, quill::MessageIcon::Stop);
}

// Closes the progress window when an action method ends, however it ends.
class CierreProgreso {
public:
    explicit CierreProgreso(TfrmListado& w) : w_(w) {}
    ~CierreProgreso() { w_.CerrarProgreso(); }
    CierreProgreso(const CierreProgreso&) = delete;
    CierreProgreso& operator=(const CierreProgreso&) = delete;

private:
    TfrmListado& w_;
};

} // namespace

void TfrmListado::ConectarAcciones() {
    const std::pair<quill::NavItem*, qint16> items[] = {
        {nbiImprimir, AccionImprimir},     {nbiEtiqueta, AccionEtiqueta},
        {nbiExportar, AccionExportar},     {nbiConteo, AccionConteo},
        {nbrEmail, AccionCorreo},          {nbiSMS, AccionSMS},
        {nbiFicheroSMS, AccionFicheroSMS},
    };
    for (const auto& [item, accion] : items) {
        const QString funcion = item->objectName() + QStringLiteral(" -> OnClick");
        const qint16 codigo = accion;
        connect(item, &QToolButton::clicked, this,
                [this, funcion, codigo] { Proteger(funcion, [&] { EjecutarAccion(codigo); }); });
    }
}

QString TfrmListado::MetodoAccion(qint16 tipo, qint16 accion) {
    const quill::DescriptorListado* d = quill::Listado(tipo);
    return d ? d->Metodo(accion) : QString();
}

void TfrmListado::EjecutarAccion(qint16 accion) {
    if (AccionEnCurso) return;
    // A value still being typed in the grid counts: the open editor writes it first.
    grdListado->confirmarEditor();
    if (ValidarCondiciones() == -3) return;
    Accion = accion;
    const quill::DescriptorListado* d = quill::Listado(TipoListado);
    const QString metodo = d ? d->Metodo(accion) : QString();
    if (metodo.isEmpty()) return;
    const QString motivo = quill::MotivoAccionNoDisponible(*d, accion);
    if (!motivo.isEmpty()) {
        quill::Modal::current().message(kAviso, motivo, quill::MessageIcon::Information);
        return;
    }
    AccionEnCurso = true;
    Proteger(metodo, [this, accion] {
        switch (accion) {
        case AccionImprimir:
            ImprimirListado();
            break;
        case AccionEtiqueta:
            ImprimirEtiquetas();
            break;
        case AccionExportar:
        case AccionFicheroSMS:
            ExportarListado();
            break;
        case AccionConteo:
            ConteoListado();
            break;
        case AccionCorreo:
            EMailListado();
            break;
        case AccionSMS:
            SMSListado();
            break;
        default:
            break;
        }
    });
    AccionEnCurso = false;
}

qint16 TfrmListado::ValidarCondiciones() {
    MemTable* t = dmlstPaciente ? dmlstPaciente->TablaActual() : nullptr;
    if (!t) throw quill::Error(kSinObjetos);
    // Moving to the first row posts a row still being edited, so the check sees its values.
    t->first();
    if (!Condiciones) throw quill::Error(kSinObjetos);
    TdmlstPaciente* datos = dmlstPaciente;
    const QString mensaje =
        Condiciones->Validar(*t, [datos](int contador) { return datos->Articulos(contador); });
    if (mensaje.isEmpty()) return 0;
    aviso(mensaje);
    return -3;
}

QStringList TfrmListado::ReconstruirTablas() {
    if (!dmlstPaciente || !Condiciones) throw quill::Error(kSinObjetos);
    const MemTable* t = dmlstPaciente->TablaActual();
    if (!t) {
        Condiciones->Constructor.VaciarTablas();
        return {};
    }
    TdmlstPaciente* datos = dmlstPaciente;
    return Condiciones->Tablas(*t, [datos](int contador) { return datos->Articulos(contador); });
}

quill::EjecutorListado& TfrmListado::PrepararListado() {
    quill::EjecutorListado* e = Ejecutor(TipoListado);
    if (!e || !dmlstPaciente) throw quill::Error(kSinObjetos);
    e->Preparar(dmlstPaciente->TablaActual(), ReconstruirTablas(), Condiciones->Parametros,
                QString::asprintf("%i", quill::slotPartition(m_bloque)), Accion);
    return *e;
}

// ---- Progress ----

void TfrmListado::MostrarProgreso() {
    CerrarProgreso();
    frmPorcentajeListado = new TfrmPorcentajeListado(quill::slotOwner(m_bloque));
    frmPorcentajeListado->setCancelable(Accion != AccionExportar);
    frmPorcentajeListado->Mostrar();
    // The window takes no other click while its action runs; Cancel stays reachable.
    setEnabled(false);
    QApplication::processEvents();
}

qint16 TfrmListado::ProgresoCancelado() {
    QApplication::processEvents();
    // The window may have been closed meanwhile: nothing of the action is left to carry on with.
    if (!dmlstPaciente || !Ejecutor(TipoListado)) throw quill::Error(kSinObjetos);
    return frmPorcentajeListado && frmPorcentajeListado->Cancelado() ? quill::kListadoCancelado
                                                                     : qint16(0);
}

void TfrmListado::CerrarProgreso() {
    if (frmPorcentajeListado) {
        frmPorcentajeListado->close();
        delete frmPorcentajeListado.data();
    }
    frmPorcentajeListado = nullptr;
    setEnabled(true);
}

bool TfrmListado::MensajeResultado(qint16 resultado) {
    switch (resultado) {
    case quill::kListadoCorrecto:
        return true;
    case quill::kListadoErrorInterno:
        aviso(quill::MensajeErrorInterno());
        return false;
    case quill::kListadoSinRegistros:
        aviso(quill::MensajeSinRegistros());
        return false;
    default:
        return false;
    }
}

// ---- The actions of every kind ----

namespace {

// The frame every action shares: the run behind the progress window. Answers the result code;
// -301 after a Cancel, without a message. The progress window is still open.
qint16 ejecutar(TfrmListado& w, bool conteo) {
    w.MostrarProgreso();
    quill::EjecutorListado& e = w.PrepararListado();
    const bool todas = w.rbnTodas->isChecked();
    w.Resultado = conteo ? e.EjecutarConteo(todas) : e.Ejecutar(w.Orden, w.Sentido, todas);
    if (w.ProgresoCancelado() == quill::kListadoCancelado) w.Resultado = quill::kListadoCancelado;
    return w.Resultado;
}

} // namespace

qint16 TfrmListado::ConteoListado() {
    Orden = 0;
    Sentido = 0;
    CierreProgreso cierre(*this);
    const qint16 r = ejecutar(*this, true);
    if (r == quill::kListadoCancelado) return r;
    CerrarProgreso();
    NumeroPacientes = r == quill::kListadoCorrecto ? Ejecutor(TipoListado)->Contar() : 0;
    Conteo(r);
    return r;
}

void TfrmListado::Conteo(qint16 resultado) {
    if (resultado != quill::kListadoCorrecto) {
        // Anything but the internal error reads as "nothing found".
        aviso(resultado == quill::kListadoErrorInterno ? quill::MensajeErrorInterno()
                                                       : quill::MensajeSinRegistros());
        return;
    }
    TfrmConteo ventana(quill::slotOwner(m_bloque));
    ventana.setConteo(NumeroPacientes);
    quill::Modal::current().exec(&ventana);
}

qint16 TfrmListado::ExportarListado() {
    if (OpcionesExportacion() != 0) return quill::kListadoCancelado;
    Orden = 0;
    Sentido = 0;
    CierreProgreso cierre(*this);
    const qint16 r = ejecutar(*this, false);
    if (r == quill::kListadoCancelado) return r;
    if (r != quill::kListadoCorrecto) {
        CerrarProgreso();
        MensajeResultado(r);
        return r;
    }
    int filas = 0;
    const QString error =
        Ejecutor(TipoListado)
            ->Exportar(TipoExportacion, FicheroExportacion, Accion == AccionFicheroSMS,
                       quill::IdsCondiciones(*dmlstPaciente->TablaActual()), &filas);
    if (!error.isEmpty()) throw quill::Error(error);
    CerrarProgreso();
    // The user sees what was written and where, without opening the file.
    setTextoAyuda(QStringLiteral("Exportado%1 %2 %3 a %4")
                      .arg(filas == 1 ? QString() : QStringLiteral("s"),
                           QLocale(QLocale::Spanish, QLocale::Spain).toString(filas),
                           filas == 1 ? QStringLiteral("registro") : QStringLiteral("registros"),
                           QDir::toNativeSeparators(FicheroExportacion)));
    return r;
}

qint16 TfrmListado::OpcionesExportacion() {
    TfrmOpcionesExportacion dialogo(quill::slotOwner(m_bloque));
    dialogo.Inicializar(Accion == AccionFicheroSMS);
    if (quill::Modal::current().exec(&dialogo) != QDialog::Accepted)
        return quill::kListadoCancelado;
    TipoExportacion = dialogo.Tipo();
    FicheroExportacion = dialogo.Fichero();
    return 0;
}

// ---- Reports ----

void TfrmListado::RellenarTablaCondiciones(MemTable& tabla) {
    if (!dmlstPaciente || !dmlstPaciente->TablaActual()) throw quill::Error(kSinObjetos);
    const MemTable& t = *dmlstPaciente->TablaActual();
    tabla.close();
    tabla.open();
    for (int i = 0; i < t.recordCount(); ++i) {
        const quill::FilaCondicion f = quill::LeerFila(t, i);
        tabla.append();
        tabla.setValue(quill::campo::Campo, f.campo);
        tabla.setValue(quill::campo::TipoCondicion, f.condicion);
        tabla.setValue(quill::campo::Condicion1, f.condicion1);
        tabla.setValue(quill::campo::Condicion2, f.condicion2);
        tabla.post();
    }
}

QString TfrmListado::TextoOrden(qint16 orden) {
    // The reports name every order but the consumption one.
    return orden == 27 ? QString() : quill::NombreOrden(orden);
}
