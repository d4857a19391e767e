// The window's mass SMS: the queue from a General listing, the confirmation, and the dialog
// sending to the provider service on 127.0.0.1.

#include "../../listing/anfitrion.h"
#include "listing/abrirlistado.h"
#include "listing/tfrmerror.h"
#include "listing/tfrmlistado.h"
#include "listing/tfrmsmsmasivo.h"
#include "platform/modal.h"
#include "proveedorprueba.h"
#include "tiendaprueba.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

using quill::ScriptedModal;

namespace {

const QString kConexion = QStringLiteral("gui_sms");

struct SMSVentana : ::testing::Test {
    static inline proveedorprueba::Servicio* servicio = nullptr;
    static void SetUpTestSuite() {
        servicio = new proveedorprueba::Servicio;
        ASSERT_EQ(servicio->arrancar(), QString());
    }
    static void TearDownTestSuite() {
        delete servicio;
        servicio = nullptr;
    }

    std::unique_ptr<proveedorprueba::Ajustes> ajustes;
    tiendaprueba::Tienda tienda;
    std::unique_ptr<Anfitrion> host;
    ScriptedModal modal;
    std::unique_ptr<quill::ScopedModal> instalado;
    QStringList errores;
    TfrmListado* w = nullptr;

    void abrir(const QStringList& moviles) {
        ajustes = std::make_unique<proveedorprueba::Ajustes>(servicio->direccion());
        QStringList filas;
        for (int i = 0; i < moviles.size(); ++i)
            filas << QStringLiteral("INSERT INTO PACIENTE (ID_PACIENTE, CODIGO, LICENCIA, BORRADO, "
                                    "APELLIDOS, NOMBRE, NOMBRE_COMPLETO, TELEFONO_MOVIL) VALUES "
                                    "(%1, %1, 1, 0, 'P%1', 'Ana', 'P%1, Ana', '%2')")
                         .arg(i + 1)
                         .arg(moviles.at(i));
        ASSERT_EQ(tienda.crear(kConexion, filas), QString());
        host = std::make_unique<Anfitrion>(kConexion);
        host->conf.CarpetaPrograma = quilltest::buildDir() + QStringLiteral("/lib");
        host->principal.show();
        instalado = std::make_unique<quill::ScopedModal>(modal);
        modal.setDefaultDialog([this](QWidget* d) {
            if (auto* e = qobject_cast<TfrmError*>(d)) errores << e->edtFuncion->text();
            return 0;
        });
        w = AbrirListado(host->bloque.data());
        ASSERT_TRUE(w);
    }
    void TearDown() override {
        host.reset();
        instalado.reset();
    }
};

TEST_F(SMSVentana, AListingWithoutMobilesSaysSoAndNeverOpensTheDialog) {
    abrir({"", " ", ""});
    w->EjecutarAccion(TfrmListado::AccionSMS);
    ASSERT_EQ(modal.messages().size(), 1);
    EXPECT_EQ(modal.messages()[0].caption, "AVISO");
    EXPECT_EQ(modal.messages()[0].text,
              "No se ha encontrado ningún registro que cumpla las condiciones");
    EXPECT_TRUE(modal.questions().isEmpty());
    EXPECT_EQ(modal.dialogCount(), 0);
    EXPECT_TRUE(errores.isEmpty());
}

TEST_F(SMSVentana, TheDialogShowsTheServiceRefusalStaysOpenAndThenSends) {
    abrir({"600 111 222", "+34 600 111 222", "611222333", "912345678", "722333444", ""});
    modal.queueAnswer(true);
    QStringList contadores;
    QList<quill::ScriptedModal::Message> tras;
    int resultadoTrasRechazo = -1;
    modal.queueDialog([&](QWidget* d) {
        auto* f = qobject_cast<TfrmSMSMasivo*>(d);
        if (!f) return 0;
        EXPECT_EQ(f->windowTitle(), "Envío de mensajes SMS");
        EXPECT_EQ(f->size(), QSize(479, 443));
        EXPECT_FALSE(f->edtFecha->isEnabled());
        f->chxFecha->setChecked(true);
        EXPECT_TRUE(f->edtFecha->isEnabled());
        f->chxFecha->setChecked(false);
        contadores << f->txtEspacio->text();
        f->edtDe->setText("Óptica Sol con nombre largo");
        f->memMensaje->setPlainText(QString(200, QLatin1Char('x')));
        contadores << f->txtEspacio->text();
        f->memMensaje->setPlainText("KO-EXC-AMNT prueba");
        contadores << f->txtEspacio->text();
        f->tbnAceptar->click();
        tras = modal.messages();
        resultadoTrasRechazo = f->result();
        f->memMensaje->setPlainText("Su revisión le espera");
        f->tbnAceptar->click();
        return f->result();
    });
    w->EjecutarAccion(TfrmListado::AccionSMS);
    EXPECT_TRUE(errores.isEmpty()) << qPrintable(errores.join('\n'));

    ASSERT_EQ(modal.questions().size(), 1);
    EXPECT_EQ(modal.questions()[0].caption, "AVISO");
    EXPECT_EQ(modal.questions()[0].text,
              "Se generarán 5 mensajes SMS. ¿Está seguro de querer continuar?\n\n"
              "2 de ellos no se enviarán por no ser un número de móvil correcto.");
    EXPECT_EQ(contadores, QStringList({"Caracteres disponibles: 153", "Caracteres disponibles: 0",
                                       "Caracteres disponibles: 135"}));
    ASSERT_EQ(tras.size(), 1);
    EXPECT_EQ(tras[0].caption, "Mensaje");
    EXPECT_EQ(tras[0].text, "No dispone de saldo suficiente.");
    EXPECT_EQ(resultadoTrasRechazo, 0) << "the dialog stays open after a refusal";

    ASSERT_EQ(modal.messages().size(), 2);
    EXPECT_EQ(modal.messages()[1].caption, "Resultado");
    EXPECT_EQ(modal.messages()[1].icon, quill::MessageIcon::Information);
    EXPECT_EQ(modal.messages()[1].text,
              "El coste del envío ha sido de 3\n\nSe ha enviado un total de 3 mensaje(s).\n\n"
              "Se ha omitido un total de  2 mensaje(s) por no ser un número correcto.");
    const QJsonObject p = servicio->peticiones().last();
    EXPECT_EQ(p["remitente"].toString(), "Óptica Sol ") << "the sender field holds 11 characters";
    EXPECT_EQ(tienda.valor("SELECT COUNT(*) FROM SMS_DETALLE").toInt(), 3);
    EXPECT_EQ(tienda.valor("SELECT MENSAJE FROM SMS_MAESTRO").toString(), "Su revisión le espera");
}

} // namespace
