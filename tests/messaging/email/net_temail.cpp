// TEMail against a real SMTP server (aiosmtpd) on 127.0.0.1 with a certificate made here.

#include "messaging/email/temail.h"
#include "testsupport.h"

#include "servidorsmtp.h"

#include <QJsonArray>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using quill::TEMail;
namespace email = quill::email;
using servidorsmtp::certificado;
using servidorsmtp::puertoLibre;
using servidorsmtp::ServidorSmtp;

namespace {

QStringList texto(const QJsonValue& v) {
    QStringList r;
    for (const QJsonValue& x : v.toArray())
        r << x.toString();
    return r;
}

// A complete, valid e-mail for a server on 127.0.0.1 that trusts the test's certificate.
TEMail correo(int puerto, int ssl, bool login) {
    TEMail m;
    m.Inicializar();
    m.OriNombre = QStringLiteral("Óptica Peñalver");
    m.OriCorreo = QStringLiteral("tienda@optica.es");
    m.Asunto = QStringLiteral("Revisión anual: ¡le esperamos! — más de setenta y cinco caracteres "
                              "para que el asunto ocupe varias palabras codificadas");
    m.Mensaje = QStringLiteral("Hola,\n.línea que empieza por punto\n.\nAdiós, ") +
                QString(120, QLatin1Char('x'));
    m.DesServidor = QStringLiteral("127.0.0.1");
    m.DesPuerto = puerto;
    m.DesSSL = ssl;
    m.AutRequerida = login ? 1 : 0;
    m.AutUsuario = QStringLiteral("tienda");
    m.AutClave = QStringLiteral("clave");
    m.CertificadosCA = certificado().cert;
    return m;
}

void anadir(TEMail& m, const QStringList& direcciones) {
    for (const QString& d : direcciones) {
        m.Direcciones << d;
        m.Nombres << QStringLiteral("Paciente ") + d.section(QLatin1Char('@'), 0, 0);
    }
}

} // namespace

// Both TLS modes, with login, with and without the sender's copy: the envelope holds exactly
// the patients in order (duplicates kept), the sender is the To recipient only with the copy,
// and the headers and body decode back to what was typed.
TEST(TEMailNet, EnviaUnMensajeConLosPacientesEnCopiaOculta) {
    struct Caso {
        const char* modo;
        int ssl;
        int copia;
    };
    for (const Caso c : {Caso{"starttls", 0, 0}, Caso{"starttls", 2, 1}, Caso{"implicito", 1, 1},
                         Caso{"implicito", 1, 0}}) {
        SCOPED_TRACE(std::string(c.modo) + " copia " + std::to_string(c.copia));
        ServidorSmtp s(QString::fromLatin1(c.modo), QStringLiteral("tienda"),
                       QStringLiteral("clave"));
        ASSERT_TRUE(s.listo);
        TEMail m = correo(s.puerto, c.ssl, true);
        m.OriCopia = c.copia;
        const QStringList pacientes = {"ana@a.es", "jose@b.es", "ana@a.es", "luis@c.es"};
        anadir(m, pacientes);
        m.Nombres[1] = QStringLiteral("José Muñoz Ñúñez");
        ASSERT_EQ(m.Enviar(), email::Correcto) << m.DetalleError.toStdString();
        const QList<QJsonObject> r = s.mensajes();
        ASSERT_EQ(r.size(), 1);
        const QJsonObject& o = r[0];
        const QStringList esperados =
            (c.copia ? QStringList{m.OriCorreo} : QStringList{}) + pacientes;
        EXPECT_EQ(texto(o["destinatarios"]), esperados);
        EXPECT_EQ(o["desde"].toString(), m.OriCorreo);
        EXPECT_EQ(texto(o["para"]), c.copia ? QStringList{m.OriCorreo} : QStringList{});
        EXPECT_FALSE(o["bcc"].toBool());
        EXPECT_TRUE(o["ascii"].toBool());
        EXPECT_TRUE(o["crlf"].toBool());
        EXPECT_EQ(o["asunto"].toString(), m.Asunto);
        EXPECT_EQ(o["de_nombre"].toString(), m.OriNombre);
        EXPECT_EQ(o["cuerpo"].toString(), m.Mensaje + QLatin1Char('\n'));
        EXPECT_EQ(m.MensajesEnviados, 1);
        EXPECT_EQ(m.DestinatariosAlcanzados, 4);
    }
}

// Each validation code comes back before any connection: the server sees none.
TEST(TEMailNet, CadaCodigoDeValidacionVuelveSinConectar) {
    ServidorSmtp s(QStringLiteral("starttls"), QStringLiteral("tienda"), QStringLiteral("clave"));
    ASSERT_TRUE(s.listo);
    const std::pair<qint32, std::function<void(TEMail&)>> casos[] = {
        {email::SinNombre,
         [](TEMail& m) {
             m.OriNombre.clear();
             m.OriCorreo.clear();
         }},
        {email::SinCorreo,
         [](TEMail& m) {
             m.OriCorreo.clear();
             m.Asunto.clear();
         }},
        {email::SinAsunto,
         [](TEMail& m) {
             m.Asunto.clear();
             m.Mensaje.clear();
         }},
        {email::SinMensaje,
         [](TEMail& m) {
             m.Mensaje.clear();
             m.DesServidor.clear();
         }},
        {email::SinServidor,
         [](TEMail& m) {
             m.DesServidor.clear();
             m.AutUsuario.clear();
         }},
        {email::SinUsuario,
         [](TEMail& m) {
             m.AutUsuario.clear();
             m.AutClave.clear();
         }},
        {email::SinClave,
         [](TEMail& m) {
             m.AutClave.clear();
             m.DesPuerto = 0;
         }},
        {email::SinPuerto, [](TEMail& m) { m.DesPuerto = 0; }},
        {email::SinPuerto,
         [](TEMail& m) {
             m.Inicializar();
             m.OriNombre = "a";
             m.OriCorreo = "b";
             m.DesServidor = "127.0.0.1";
         }},
    };
    for (const auto& [codigo, cambio] : casos) {
        TEMail m = correo(s.puerto, 0, true);
        anadir(m, {"ana@a.es"});
        cambio(m);
        EXPECT_EQ(m.Enviar(), codigo);
    }
    // Without login, empty credentials are no fault.
    TEMail m = correo(s.puerto, 0, false);
    m.AutUsuario.clear();
    m.AutClave.clear();
    EXPECT_EQ(m.Validar(), email::Correcto);
    EXPECT_EQ(s.conexiones(), 0);
}

// A refused login, a closed port, a plain server under implicit TLS or STARTTLS, and a
// certificate the client does not trust: all -402, and nothing delivered.
TEST(TEMailNet, CualquierFalloDeConexionDa402) {
    struct Caso {
        const char* nombre;
        const char* modo;
        int ssl;
        std::function<void(TEMail&)> cambio;
    };
    const Caso casos[] = {
        {"login rechazado", "starttls", 0, [](TEMail& m) { m.AutClave = "mala"; }},
        {"login rechazado implícito", "implicito", 1, [](TEMail& m) { m.AutUsuario = "otro"; }},
        {"puerto cerrado", "starttls", 0, [](TEMail& m) { m.DesPuerto = puertoLibre(); }},
        {"servidor plano con TLS implícito", "plano", 1, nullptr},
        {"servidor plano sin STARTTLS", "plano", 0, nullptr},
        {"certificado no reconocido", "starttls", 0, [](TEMail& m) { m.CertificadosCA.clear(); }},
        {"certificado no reconocido implícito", "implicito", 1,
         [](TEMail& m) { m.CertificadosCA.clear(); }},
        {"servidor inexistente", "starttls", 0,
         [](TEMail& m) { m.DesServidor = "servidor-que-no-existe.invalid"; }},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nombre);
        ServidorSmtp s(QString::fromLatin1(c.modo), QStringLiteral("tienda"),
                       QStringLiteral("clave"));
        ASSERT_TRUE(s.listo);
        TEMail m = correo(s.puerto, c.ssl, true);
        anadir(m, {"ana@a.es", "luis@c.es"});
        if (c.cambio) c.cambio(m);
        EXPECT_EQ(m.Enviar(), email::FalloEnvio);
        EXPECT_FALSE(m.DetalleError.isEmpty());
        EXPECT_EQ(m.MensajesEnviados, 0);
        EXPECT_TRUE(s.mensajes().isEmpty());
    }
}

// With a limit per message the recipients go in ceil(n / limit) consecutive messages that
// together hold each of them once, in order; the sender's copy rides in the first one.
TEST(TEMailNet, ReparteLosDestinatariosEnVariosMensajes) {
    ServidorSmtp s(QStringLiteral("starttls"));
    ASSERT_TRUE(s.listo);
    for (const auto& [n, limite] : {std::pair{7, 3}, std::pair{6, 3}, std::pair{2, 5}}) {
        SCOPED_TRACE(std::to_string(n) + "/" + std::to_string(limite));
        const int antes = int(s.mensajes().size());
        TEMail m = correo(s.puerto, 0, false);
        m.DestinatariosMensaje = limite;
        m.OriCopia = 1;
        QStringList todos;
        for (int i = 0; i < n; ++i)
            todos << QStringLiteral("p%1@x.es").arg(i);
        anadir(m, todos);
        ASSERT_EQ(m.Enviar(), email::Correcto) << m.DetalleError.toStdString();
        const QList<QJsonObject> r = s.mensajes().mid(antes);
        ASSERT_EQ(r.size(), (n + limite - 1) / limite);
        QStringList recibidos;
        for (const QJsonObject& o : r) {
            const QStringList d = texto(o["destinatarios"]);
            EXPECT_LE(d.size() - (&o == &r[0] ? 1 : 0), limite);
            recibidos += d;
        }
        EXPECT_EQ(recibidos, QStringList{m.OriCorreo} + todos);
        EXPECT_EQ(m.MensajesEnviados, r.size());
        EXPECT_EQ(m.DestinatariosAlcanzados, n);
    }
}
