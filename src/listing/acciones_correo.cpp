// The listing window's e-mail: the kind's run behind the progress window, the recipients of the
// table the kind names (actions/correo.h), the compose dialog, the sending with the
// workstation's settings and the report of its result.

#include "actions/correo.h"
#include "actions/ejecutor.h"
#include "host/bloque.h"
#include "listing/tfrmcorreoelectronico.h"
#include "listing/tfrmerror.h"
#include "listing/tfrmlistado.h"
#include "messaging/email/configuracioncorreo.h"
#include "messaging/email/temail.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "platform/modal.h"
#include "queries/listingmodule.h"

#include <QApplication>
#include <QDialog>
#include <QRadioButton>

#include <memory>

namespace {

const QString kAviso = QStringLiteral("AVISO");

// The workstation's mail settings as the host handed them over (slot 6).
quill::ConfiguracionCorreo configuracion(const std::intptr_t* bloque) {
    quill::ConfiguracionCorreo c;
    const auto* p = quill::slotObject<quill::TConfPuesto>(bloque, quill::SlotSettings);
    if (!p) return c;
    c.AutRequerida = p->AutRequerida;
    c.AutUsuario = p->AutUsuario;
    c.AutClave = p->AutClave;
    c.OriNombre = p->OriNombre;
    c.OriCorreo = p->OriCorreo;
    c.OriCopia = p->OriCopia;
    c.DesServidor = p->DesServidor;
    c.DesPuerto = p->DesPuerto;
    c.DesSSL = p->DesSSL;
    c.DestinatariosMensaje = p->DestinatariosMensaje;
    c.SoloConsentimiento = p->SoloConsentimiento;
    c.CertificadosCA = p->CertificadosCA;
    return c;
}

// The e-mail lives only while GenerarEMail runs; the window's pointer goes back to null.
class CorreoEnCurso {
public:
    explicit CorreoEnCurso(quill::TEMail*& puntero) : puntero_(puntero) {
        puntero_ = correo_.get();
    }
    ~CorreoEnCurso() { puntero_ = nullptr; }
    CorreoEnCurso(const CorreoEnCurso&) = delete;
    CorreoEnCurso& operator=(const CorreoEnCurso&) = delete;

private:
    std::unique_ptr<quill::TEMail> correo_ = std::make_unique<quill::TEMail>();
    quill::TEMail*& puntero_;
};

} // namespace

qint16 TfrmListado::EMailListado() {
    const quill::DescriptorListado* d = quill::Listado(TipoListado);
    const QString motivo = d ? quill::MotivoAccionNoDisponible(*d, Accion) : QString();
    if (!motivo.isEmpty()) {
        quill::Modal::current().message(kAviso, motivo, quill::MessageIcon::Information);
        return Resultado = quill::kListadoCancelado;
    }
    quill::EjecutorListado* e = nullptr;
    {
        // The run behind the progress window, as every action's.
        struct Cierre {
            TfrmListado& w;
            ~Cierre() { w.CerrarProgreso(); }
        } cierre{*this};
        MostrarProgreso();
        e = &PrepararListado();
        Resultado = e->Ejecutar(Orden, Sentido, rbnTodas->isChecked());
        if (ProgresoCancelado() == quill::kListadoCancelado) Resultado = quill::kListadoCancelado;
    }
    if (Resultado == quill::kListadoCancelado) return Resultado;
    if (!MensajeResultado(Resultado)) return Resultado;
    const quill::TablaCorreo tabla = d->tablaCorreo(*e->Modulo());
    if (tabla.tabla)
        GenerarEMail(*tabla.tabla);
    else
        GenerarEMail(*e->Modulo());
    // The module's end-of-action clean-up.
    e->Cerrar();
    return Resultado;
}

void TfrmListado::GenerarEMail(const quill::MemTable& tabla) {
    Proteger(QStringLiteral("GenerarEMail"), [&] {
        CorreoEnCurso enCurso(EMail);
        const quill::ConfiguracionCorreo c = configuracion(m_bloque);
        const quill::DestinatariosCorreo d =
            quill::RecogerDestinatarios(tabla, c.SoloConsentimiento != 0);
        quill::AsignarDestinatarios(*EMail, d);
        EMailSinDireccion = d.sinDireccion;
        EMailSinConsentimiento = c.SoloConsentimiento ? d.sinConsentimiento : -1;
        EnviarEmail();
    });
}

void TfrmListado::GenerarEMail(quill::ListingModule& listado) {
    Proteger(QStringLiteral("GenerarEMail"), [&] {
        CorreoEnCurso enCurso(EMail);
        const quill::ConfiguracionCorreo c = configuracion(m_bloque);
        const quill::DestinatariosCorreo d =
            quill::RecogerDestinatarios(listado, c.SoloConsentimiento != 0);
        quill::AsignarDestinatarios(*EMail, d);
        EMailSinDireccion = d.sinDireccion;
        EMailSinConsentimiento = c.SoloConsentimiento ? d.sinConsentimiento : -1;
        EnviarEmail();
    });
}

void TfrmListado::EnviarEmail() {
    Proteger(QStringLiteral("EnviarEmail"), [&] {
        if (!EMail) return;
        quill::Modal& modal = quill::Modal::current();
        if (EMail->Direcciones.isEmpty()) {
            modal.message(kAviso,
                          QStringLiteral("Ninguno de los registros contiene información en el "
                                         "campo Correo Eléctronico "),
                          quill::MessageIcon::Stop);
            return;
        }
        // The defaults are read again from the workstation's settings every time.
        const quill::ConfiguracionCorreo c = configuracion(m_bloque);
        TfrmCorreoElectronico dialogo;
        dialogo.setNombre(c.OriNombre);
        dialogo.setCorreo(c.OriCorreo);
        dialogo.setAsunto(QString());
        dialogo.setMensaje(QString());
        dialogo.setCopia(c.OriCopia);
        dialogo.setDestinatarios(int(EMail->Direcciones.size()), EMailSinDireccion,
                                 EMailSinConsentimiento);
        dialogo.Cargar();
        if (modal.exec(&dialogo) != QDialog::Accepted) return;

        EMail->OriNombre = dialogo.Nombre;
        EMail->OriCorreo = dialogo.Correo;
        EMail->Asunto = dialogo.Asunto;
        EMail->Mensaje = dialogo.Mensaje;
        EMail->OriCopia = dialogo.Copia;
        EMail->AsignarServidor(c);
        // The conversation blocks the window until it ends.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const qint32 r = EMail->Enviar();
        QApplication::restoreOverrideCursor();
        const QString texto = quill::TextoResultadoCorreo(r, *EMail);
        if (texto.isEmpty()) return;
        modal.message(quill::TituloResultadoCorreo(r), texto,
                      r == quill::email::Correcto ? quill::MessageIcon::Information
                                                  : quill::MessageIcon::Stop);
    });
}

int TfrmListado::EnviarInformeError(const QString& destino, const TInformeError& informe) {
    const quill::ConfiguracionCorreo c = configuracion(m_bloque);
    quill::TEMail correo;
    correo.Inicializar();
    correo.AsignarServidor(c);
    // One recipient: no batching applies.
    correo.DestinatariosMensaje = 0;
    correo.OriNombre = c.OriNombre;
    correo.OriCorreo = c.OriCorreo;
    correo.Direcciones << destino;
    correo.Nombres << QString();
    correo.Asunto = QStringLiteral("Informe de error - %1").arg(informe.Pantalla);
    correo.Mensaje = QStringLiteral("Se ha producido un error\n\nFecha y hora del error: %1\n"
                                    "Pantalla: %2\nFunción: %3\nDescripción:\n%4\n")
                         .arg(TfrmError::TextoFecha(informe.Fecha), informe.Pantalla,
                              informe.Funcion, informe.Descripcion);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const qint32 r = correo.Enviar();
    QApplication::restoreOverrideCursor();
    return r;
}
