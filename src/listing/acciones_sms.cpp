// The window's mass SMS: the kind's run behind the progress window, then the queue of mobiles,
// the confirmation and the SMS dialog. Queueing and checking are the headless mass SMS's
// (actions/enviosms.h), shared with `listado sms`.

#include "actions/ejecutor.h"
#include "actions/enviosms.h"
#include "host/bloque.h"
#include "listing/tfrmlistado.h"
#include "listing/tfrmsmsmasivo.h"
#include "platform/guard.h"
#include "platform/modal.h"
#include "queries/listingmodule.h"

#include <QRadioButton>

qint16 TfrmListado::SMSListado() {
    Orden = 0;
    Sentido = 0;
    {
        struct Cierre {
            TfrmListado& w;
            ~Cierre() { w.CerrarProgreso(); }
        } cierre{*this};
        MostrarProgreso();
        quill::EjecutorListado& e = PrepararListado();
        Resultado = e.Ejecutar(Orden, Sentido, rbnTodas->isChecked());
        if (ProgresoCancelado() == quill::kListadoCancelado) Resultado = quill::kListadoCancelado;
    }
    if (!MensajeResultado(Resultado)) return Resultado;
    EnvioSMSMasivo(TipoListado);
    return Resultado;
}

void TfrmListado::EnvioSMSMasivo(qint16 tipo) {
    Proteger(QStringLiteral("EnvioSMSMasivo"), [this, tipo] {
        const quill::DescriptorListado* d = quill::Listado(tipo);
        quill::EjecutorListado* e = Ejecutor(tipo);
        if (!d || !e || !e->Modulo()) return;
        TfrmSMSMasivo dialogo(quill::slotOwner(m_bloque));
        dialogo.Inicializar(m_bloque, 0, -1);
        const QStringList telefonos = quill::TelefonosSMS(*d, *e->Modulo());
        quill::EncolarTelefonos(*dialogo.SMS(), telefonos);
        if (telefonos.isEmpty()) {
            quill::Modal::current().message(QStringLiteral("AVISO"), quill::MensajeSinRegistros(),
                                            quill::MessageIcon::Stop);
            return;
        }
        if (!quill::Modal::current().question(
                QStringLiteral("AVISO"),
                quill::PreguntaEnvioSMS(int(telefonos.size()), quill::OmitidosSMS(telefonos))))
            return;
        quill::Modal::current().exec(&dialogo);
    });
}
