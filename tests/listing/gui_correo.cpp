// The window's e-mail on a generated shop and a real SMTP server on 127.0.0.1: the compose
// dialog as the user fills it, what reaches the server, the result boxes, Cancel, an empty
// message, and a listing without addresses.

#include "../messaging/email/servidorsmtp.h"
#include "actions/correo.h"
#include "actions/ejecutor.h"
#include "anfitrion.h"
#include "conditions/tdmlstpaciente.h"
#include "listing/abrirlistado.h"
#include "listing/navbar.h"
#include "listing/tfrmcorreoelectronico.h"
#include "listing/tfrmerror.h"
#include "listing/tfrmlistado.h"
#include "platform/memtable.h"
#include "platform/modal.h"
#include "tiendaprueba.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using quill::MemTable;
using quill::ScriptedModal;
using servidorsmtp::ServidorSmtp;

namespace {

const QString kConexion = QStringLiteral("gui_correo");
const QString kFallo = QStringLiteral(
    "Fallo autentificación.\n\nLos parametros de autentificación de la configuración de puesto "
    "no estan establecidos o son incorrectos. No se puede enviar el correo electrónico.");

struct Dialogo {
    bool visto = false;
    QString nombre, correo, asunto, destinatarios;
    bool copia = false;
    bool focoAsunto = false;
    QSize tamano;
};

class CorreoVentana : public ::testing::Test {
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
        host.conf.OriNombre = QStringLiteral("Óptica Peñalver");
        host.conf.OriCorreo = QStringLiteral("tienda@optica.es");
        host.conf.OriCopia = 1;
        host.conf.DesServidor = QStringLiteral("127.0.0.1");
        host.conf.DesSSL = 0;
        host.conf.AutRequerida = 1;
        host.conf.AutUsuario = QStringLiteral("tienda");
        host.conf.AutClave = QStringLiteral("clave");
        host.conf.CertificadosCA = servidorsmtp::certificado().cert;
        host.principal.show();
        modal.setDefaultDialog([this](QWidget* d) {
            if (auto* e = qobject_cast<TfrmError*>(d)) funciones << e->edtFuncion->text();
            return 0;
        });
        w = AbrirListado(host.bloque.data());
        ASSERT_TRUE(w);
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

    // The next compose dialog: notes what it shows, types the subject and the text, and
    // presses Aceptar (then Cancelar if the dialog is still open) or Cancelar.
    void escribir(const QString& asunto, const QString& mensaje, bool aceptar = true) {
        modal.queueDialog([=, this](QWidget* d) {
            auto* c = qobject_cast<TfrmCorreoElectronico*>(d);
            if (!c) return 0;
            dialogo = {true,
                       c->edtNombre->text(),
                       c->edtCorreo->text(),
                       c->edtAsunto->text(),
                       c->lblDestinatarios->text(),
                       c->chxCopia->isChecked(),
                       false,
                       c->size()};
            c->show();
            dialogo.focoAsunto = c->focusWidget() == c->edtAsunto;
            c->edtAsunto->setText(asunto);
            c->memMensaje->setPlainText(mensaje);
            (aceptar ? c->btnAceptar : c->btnCancelar)->click();
            if (c->result() != QDialog::Accepted) c->btnCancelar->click();
            c->hide();
            return c->result();
        });
    }

    // The recipients the runner gives for the General listing of the window's conditions.
    QStringList esperados() {
        quill::EjecutorListado& e = w->PrepararListado();
        EXPECT_EQ(e.Ejecutar(0, 0, true), 0);
        const quill::DestinatariosCorreo d = quill::DestinatariosListado(e, false);
        e.Cerrar();
        return d.direcciones;
    }

    static inline tiendaprueba::Tienda* tienda = nullptr;
    static inline QString error;
    Anfitrion host{kConexion};
    ScriptedModal modal;
    quill::ScopedModal instalado{modal};
    QPointer<TfrmListado> w;
    QStringList funciones;
    Dialogo dialogo;
};

QStringList texto(const QJsonValue& v) {
    QStringList r;
    for (const QJsonValue& x : v.toArray())
        r << x.toString();
    return r;
}

} // namespace

// Aceptar sends one message to the listed patients with an address, the sender first (copy
// ticked by the settings); a success box, and the dialog showed the settings' sender.
TEST_F(CorreoVentana, AceptarEnviaElMensajeYLoDice) {
    ServidorSmtp s(QStringLiteral("starttls"), QStringLiteral("tienda"), QStringLiteral("clave"));
    ASSERT_TRUE(s.listo);
    host.conf.DesPuerto = s.puerto;
    condicion(1, QStringLiteral("Apellidos"), QStringLiteral("Empieza por..."),
              QStringLiteral("G"));
    const QStringList pacientes = esperados();
    ASSERT_GT(pacientes.size(), 1);
    escribir(QStringLiteral("Revisión"), QStringLiteral("Hola,\nle esperamos."));
    w->nbrEmail->click();
    EXPECT_TRUE(funciones.isEmpty()) << qPrintable(funciones.join('\n'));
    ASSERT_TRUE(dialogo.visto);
    EXPECT_EQ(dialogo.nombre, host.conf.OriNombre);
    EXPECT_EQ(dialogo.correo, host.conf.OriCorreo);
    EXPECT_TRUE(dialogo.asunto.isEmpty());
    EXPECT_TRUE(dialogo.copia);
    EXPECT_TRUE(dialogo.focoAsunto);
    EXPECT_EQ(dialogo.tamano, QSize(500, 367));
    EXPECT_TRUE(dialogo.destinatarios.contains(
        QStringLiteral("Recibirán el mensaje %1 pacientes").arg(pacientes.size())));
    const QList<QJsonObject> m = s.mensajes();
    ASSERT_EQ(m.size(), 1);
    EXPECT_EQ(texto(m[0]["destinatarios"]), QStringList{host.conf.OriCorreo} + pacientes);
    EXPECT_EQ(m[0]["asunto"].toString(), QStringLiteral("Revisión"));
    ASSERT_EQ(modal.messages().size(), 1);
    EXPECT_EQ(modal.messages()[0].caption, QString());
    EXPECT_EQ(modal.messages()[0].text, QStringLiteral("Correos enviados correctamente.\n\n"));
    EXPECT_EQ(modal.messages()[0].icon, quill::MessageIcon::Information);
    EXPECT_EQ(w->EMail, nullptr);
}

// A refused login and a plain server under implicit TLS give the same failure box; Cancel, an
// empty subject (a validation code) and a listing without addresses send nothing; an empty
// text keeps the dialog open with its "Error" box.
TEST_F(CorreoVentana, FallosCancelarYSinDirecciones) {
    ServidorSmtp s(QStringLiteral("starttls"), QStringLiteral("tienda"), QStringLiteral("clave"));
    ServidorSmtp plano(QStringLiteral("plano"));
    ASSERT_TRUE(s.listo && plano.listo);
    condicion(1, QStringLiteral("Apellidos"), QStringLiteral("Empieza por..."),
              QStringLiteral("G"));
    struct Caso {
        const char* nombre;
        std::function<void()> preparar;
        QString asunto, mensaje;
        bool aceptar;
        QList<ScriptedModal::Message> mensajes;
    };
    const ScriptedModal::Message fallo{QStringLiteral("ERROR"), kFallo, quill::MessageIcon::Stop};
    const Caso casos[] = {
        {"login rechazado",
         [&] { host.conf.AutClave = QStringLiteral("mala"); },
         "a",
         "b",
         true,
         {fallo}},
        {"servidor plano con TLS implícito",
         [&] {
             host.conf.DesPuerto = plano.puerto;
             host.conf.DesSSL = 1;
         },
         "a",
         "b",
         true,
         {fallo}},
        {"cancelar", nullptr, "a", "b", false, {}},
        {"sin asunto", nullptr, "", "b", true, {}},
        {"sin texto",
         nullptr,
         "a",
         "",
         true,
         {{QStringLiteral("Error"),
           QStringLiteral("Debe escribir un mensaje para el envío de correo electrónico."),
           quill::MessageIcon::Stop}}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        host.conf.DesPuerto = s.puerto;
        host.conf.DesSSL = 0;
        host.conf.AutClave = QStringLiteral("clave");
        if (c.preparar) c.preparar();
        modal.clear();
        escribir(c.asunto, c.mensaje, c.aceptar);
        w->nbrEmail->click();
        EXPECT_TRUE(funciones.isEmpty()) << qPrintable(funciones.join('\n'));
        EXPECT_EQ(modal.dialogCount(), 1);
        ASSERT_EQ(modal.messages().size(), c.mensajes.size());
        for (int i = 0; i < c.mensajes.size(); ++i) {
            EXPECT_EQ(modal.messages()[i].caption, c.mensajes[i].caption);
            EXPECT_EQ(modal.messages()[i].text, c.mensajes[i].text);
            EXPECT_EQ(modal.messages()[i].icon, c.mensajes[i].icon);
        }
        EXPECT_TRUE(s.mensajes().isEmpty());
    }
    // Only the refused login reached the server; Cancel and the validation code never did.
    EXPECT_EQ(s.conexiones(), 1);

    // No listed patient has an address: the warning, and the dialog never opens.
    w->dmlstPaciente->TablaActual()->first();
    w->dmlstPaciente->TablaActual()->remove();
    condicion(20, QStringLiteral("E-Mail"), QStringLiteral("Vacío"), QString());
    modal.clear();
    w->nbrEmail->click();
    EXPECT_EQ(modal.dialogCount(), 0);
    ASSERT_EQ(modal.messages().size(), 1);
    EXPECT_EQ(modal.messages()[0].caption, QStringLiteral("AVISO"));
    EXPECT_EQ(modal.messages()[0].text,
              QStringLiteral("Ninguno de los registros contiene información en el campo Correo "
                             "Eléctronico "));
    EXPECT_EQ(modal.messages()[0].icon, quill::MessageIcon::Stop);
}

// The error window's E-Mail button sends the report to the support address with the
// workstation's settings; without a server it says it could not.
TEST_F(CorreoVentana, InformeDeErrorPorCorreo) {
    ServidorSmtp s(QStringLiteral("starttls"), QStringLiteral("tienda"), QStringLiteral("clave"));
    ASSERT_TRUE(s.listo);
    for (const bool conServidor : {true, false}) {
        SCOPED_TRACE(conServidor);
        host.conf.DesPuerto = conServidor ? s.puerto : servidorsmtp::puertoLibre();
        modal.clear();
        modal.queueDialog([](QWidget* d) {
            auto* e = qobject_cast<TfrmError*>(d);
            if (e) e->btnEMail->click();
            return 0;
        });
        w->MostrarError(QStringLiteral("tbnLimpiar -> OnClick"), QStringLiteral("Algo falló"));
        if (conServidor) {
            EXPECT_TRUE(modal.messages().isEmpty());
            const QList<QJsonObject> m = s.mensajes();
            ASSERT_EQ(m.size(), 1);
            EXPECT_EQ(texto(m[0]["destinatarios"]), QStringList{host.aplicacion.CorreoSoporte});
            EXPECT_EQ(m[0]["asunto"].toString(),
                      QStringLiteral("Informe de error - Listado - Pacientes"));
            EXPECT_TRUE(m[0]["cuerpo"].toString().contains(QStringLiteral("Algo falló")));
            EXPECT_TRUE(
                m[0]["cuerpo"].toString().contains(QStringLiteral("tbnLimpiar -> OnClick")));
        } else {
            ASSERT_EQ(modal.messages().size(), 1);
            EXPECT_EQ(modal.messages()[0].caption, QStringLiteral("ERROR"));
            EXPECT_EQ(modal.messages()[0].text,
                      QStringLiteral("No se ha podido enviar el correo, conectese a internet e "
                                     "intentelo mas tarde"));
        }
    }
}

// The sending options: the recipients split into messages of at most the limit, and only the
// patients that accept mail; the compose dialog counts them and the result box says how many
// messages went, or how far the sending got when the server refused one part-way.
TEST_F(CorreoVentana, LotesYConsentimiento) {
    condicion(1, QStringLiteral("Apellidos"), QStringLiteral("Empieza por..."),
              QStringLiteral("G"));
    host.conf.OriCopia = 0;
    quill::EjecutorListado& e = w->PrepararListado();
    ASSERT_EQ(e.Ejecutar(0, 0, true), 0);
    const quill::DestinatariosCorreo todos = quill::DestinatariosListado(e, false);
    const quill::DestinatariosCorreo solo = quill::DestinatariosListado(e, true);
    e.Cerrar();
    ASSERT_GT(todos.direcciones.size(), 4);
    ASSERT_GT(solo.sinConsentimiento, 0);
    const int n = int(todos.direcciones.size());
    const int mensajes = (n + 1) / 2;

    struct Caso {
        const char* nombre;
        int limite, solo, aceptar;
        QStringList esperados;
        QString texto;
        QString etiqueta;
    };
    const Caso casos[] = {
        {"lotes", 2, 0, -1, todos.direcciones,
         QStringLiteral("Correos enviados correctamente.\n\nSe enviaron %1 mensajes a %2 "
                        "destinatarios.")
             .arg(mensajes)
             .arg(n),
         QStringLiteral("Recibirán el mensaje %1 pacientes. Pacientes del listado sin correo "
                        "electrónico: %2.")
             .arg(n)
             .arg(todos.sinDireccion)},
        {"fallo a medias", 2, 0, 1, todos.direcciones.mid(0, 2),
         kFallo + QStringLiteral("\n\nAntes del fallo se enviaron 1 de %1 mensajes, con 2 "
                                 "destinatarios.")
                      .arg(mensajes),
         QString()},
        {"consentimiento", 0, 1, -1, solo.direcciones,
         QStringLiteral("Correos enviados correctamente.\n\n"),
         QStringLiteral("Recibirán el mensaje %1 pacientes. Pacientes del listado sin correo "
                        "electrónico: %2. No aceptan correo: %3.")
             .arg(solo.direcciones.size())
             .arg(solo.sinDireccion)
             .arg(solo.sinConsentimiento)},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        ServidorSmtp s(QStringLiteral("starttls"), QStringLiteral("tienda"),
                       QStringLiteral("clave"), c.aceptar);
        ASSERT_TRUE(s.listo);
        host.conf.DesPuerto = s.puerto;
        host.conf.DestinatariosMensaje = c.limite;
        host.conf.SoloConsentimiento = c.solo;
        modal.clear();
        escribir(QStringLiteral("Aviso"), QStringLiteral("Texto"));
        w->nbrEmail->click();
        EXPECT_TRUE(funciones.isEmpty()) << qPrintable(funciones.join('\n'));
        if (!c.etiqueta.isEmpty()) {
            EXPECT_EQ(dialogo.destinatarios, c.etiqueta);
        }
        QStringList recibidos;
        for (const QJsonObject& m : s.mensajes())
            recibidos += texto(m["destinatarios"]);
        EXPECT_EQ(recibidos, c.esperados);
        ASSERT_EQ(modal.messages().size(), 1);
        EXPECT_EQ(modal.messages()[0].text, c.texto);
    }
}
