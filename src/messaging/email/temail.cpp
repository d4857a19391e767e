#include "messaging/email/temail.h"

#include "messaging/email/configuracioncorreo.h"

#include <QDateTime>
#include <QLocale>
#include <QUuid>

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace quill {

namespace {

// Longest base64 text that keeps "=?UTF-8?B?" + text + "?=" within 75 characters, in bytes of
// UTF-8 it encodes.
constexpr int kBytesPorPalabra = 45;

bool esAsciiImprimible(const QString& t) {
    for (QChar c : t)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e) return false;
    return true;
}

// A header value never carries a line break of its own: it would start another header.
QString sinSaltos(QString t) {
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return t;
}

QByteArray palabra(const QByteArray& utf8) {
    return "=?UTF-8?B?" + utf8.toBase64() + "?=";
}

QByteArray fechaCabecera() {
    const QDateTime ahora = QDateTime::currentDateTime();
    const int minutos = ahora.offsetFromUtc() / 60;
    const QString zona = QString::asprintf("%c%02d%02d", minutos < 0 ? '-' : '+',
                                           std::abs(minutos) / 60, std::abs(minutos) % 60);
    return (QLocale::c().toString(ahora, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss ")) + zona)
        .toLatin1();
}

// The body as quoted-printable UTF-8: any text survives any server (8-bit bytes and long lines
// included), and a reader shows it as typed. Lines end in CRLF whatever the memo used.
QByteArray cuerpoQP(const QString& texto) {
    QString t = texto;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QByteArray salida;
    const QList<QByteArray> lineas = t.toUtf8().split('\n');
    for (const QByteArray& linea : lineas) {
        QByteArray actual;
        for (int i = 0; i < linea.size(); ++i) {
            const auto b = static_cast<unsigned char>(linea[i]);
            const bool ultimo = i == linea.size() - 1;
            QByteArray trozo;
            if ((b >= 33 && b <= 126 && b != '=') || ((b == ' ' || b == '\t') && !ultimo))
                trozo = QByteArray(1, char(b));
            else
                trozo =
                    QByteArray("=") + QByteArray::number(b, 16).toUpper().rightJustified(2, '0');
            // Soft break: encoded lines stay within 76 characters.
            if (actual.size() + trozo.size() > 75) {
                salida += actual + "=\r\n";
                actual.clear();
            }
            actual += trozo;
        }
        salida += actual + "\r\n";
    }
    return salida;
}

QByteArray direccionSobre(const QString& direccion) {
    return "<" + sinSaltos(direccion).toUtf8() + ">";
}

struct Lectura {
    QByteArray datos;
    qsizetype posicion = 0;
};

size_t leer(char* destino, size_t tam, size_t n, void* usuario) {
    auto* l = static_cast<Lectura*>(usuario);
    const size_t quedan = size_t(l->datos.size() - l->posicion);
    const size_t cuantos = std::min(quedan, tam * n);
    std::memcpy(destino, l->datos.constData() + l->posicion, cuantos);
    l->posicion += qsizetype(cuantos);
    return cuantos;
}

struct CurlBorrar {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct ListaBorrar {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// A host that would change the URL's meaning is refused before connecting.
bool servidorValido(const QString& servidor) {
    for (QChar c : servidor)
        if (c.isSpace() || c == QLatin1Char('/') || c == QLatin1Char('@') ||
            c == QLatin1Char('?') || c == QLatin1Char('#') || c == QLatin1Char('\\'))
            return false;
    return true;
}

} // namespace

QByteArray CodificarCabecera(const QString& texto) {
    const QString t = sinSaltos(texto);
    if (esAsciiImprimible(t)) return t.toLatin1();
    QList<QByteArray> palabras;
    QByteArray actual;
    for (qsizetype i = 0; i < t.size(); ++i) {
        // A surrogate pair is one character: never split between words.
        qsizetype largo = t[i].isHighSurrogate() && i + 1 < t.size() ? 2 : 1;
        const QByteArray caracter = t.mid(i, largo).toUtf8();
        i += largo - 1;
        if (actual.size() + caracter.size() > kBytesPorPalabra) {
            palabras << palabra(actual);
            actual.clear();
        }
        actual += caracter;
    }
    if (!actual.isEmpty()) palabras << palabra(actual);
    return palabras.join("\r\n ");
}

QByteArray DireccionCabecera(const QString& nombre, const QString& direccion) {
    const QByteArray dir = direccionSobre(direccion);
    const QString n = sinSaltos(nombre);
    if (n.trimmed().isEmpty()) return dir;
    if (!esAsciiImprimible(n)) return CodificarCabecera(n) + " " + dir;
    QString citado = n;
    citado.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    citado.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return "\"" + citado.toLatin1() + "\" " + dir;
}

QByteArray ComponerMensaje(const TEMail& correo, bool para) {
    const QByteArray remitente = DireccionCabecera(correo.OriNombre, correo.OriCorreo);
    QString dominio = correo.OriCorreo.section(QLatin1Char('@'), -1).trimmed();
    if (dominio.isEmpty() || !esAsciiImprimible(dominio) || !servidorValido(dominio))
        dominio = QStringLiteral("localhost");
    QByteArray m;
    m += "Date: " + fechaCabecera() + "\r\n";
    m += "From: " + remitente + "\r\n";
    // No Bcc header ever: the patients are only in the envelope.
    m += "To: " + (para ? remitente : QByteArray("undisclosed-recipients:;")) + "\r\n";
    m += "Subject: " + CodificarCabecera(correo.Asunto) + "\r\n";
    m += "Message-ID: <" + QUuid::createUuid().toString(QUuid::WithoutBraces).toLatin1() + "@" +
         dominio.toLatin1() + ">\r\n";
    m += "MIME-Version: 1.0\r\n";
    m += "Content-Type: text/plain; charset=UTF-8\r\n";
    m += "Content-Transfer-Encoding: quoted-printable\r\n";
    m += "\r\n";
    m += cuerpoQP(correo.Mensaje);
    return m;
}

void TEMail::Inicializar() {
    Direcciones.clear();
    Nombres.clear();
    AutClave.clear();
    AutUsuario.clear();
    AutRequerida = 0;
    OriCorreo.clear();
    OriNombre.clear();
    DesServidor.clear();
    DesPuerto = -1;
    DesSSL = 0;
}

qint32 TEMail::Validar() const {
    if (OriNombre.isEmpty()) return email::SinNombre;
    if (OriCorreo.isEmpty()) return email::SinCorreo;
    if (Asunto.isEmpty()) return email::SinAsunto;
    if (Mensaje.isEmpty()) return email::SinMensaje;
    if (DesServidor.isEmpty()) return email::SinServidor;
    if (AutRequerida == 1 && AutUsuario.isEmpty()) return email::SinUsuario;
    if (AutRequerida == 1 && AutClave.isEmpty()) return email::SinClave;
    if (DesPuerto < 1) return email::SinPuerto;
    return email::Correcto;
}

void TEMail::AsignarServidor(const ConfiguracionCorreo& c) {
    DesServidor = c.DesServidor;
    DesPuerto = c.DesPuerto;
    DesSSL = c.DesSSL;
    AutRequerida = c.AutRequerida;
    AutUsuario = c.AutUsuario;
    AutClave = c.AutClave;
    DestinatariosMensaje = c.DestinatariosMensaje;
    CertificadosCA = c.CertificadosCA;
}

int TEMail::NumeroMensajes() const {
    const int n = int(Direcciones.size());
    if (DestinatariosMensaje <= 0 || n == 0) return 1;
    return (n + DestinatariosMensaje - 1) / DestinatariosMensaje;
}

qint32 TEMail::Enviar() {
    MensajesEnviados = 0;
    DestinatariosAlcanzados = 0;
    DetalleError.clear();
    const qint32 validacion = Validar();
    if (validacion != email::Correcto) return validacion;
    if (!servidorValido(DesServidor)) {
        DetalleError = QStringLiteral("Servidor no válido: %1").arg(DesServidor);
        return email::FalloEnvio;
    }

    static const bool iniciado = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    std::unique_ptr<CURL, CurlBorrar> curl(iniciado ? curl_easy_init() : nullptr);
    if (!curl) {
        DetalleError = QStringLiteral("No se ha podido iniciar el cliente SMTP");
        return email::FalloEnvio;
    }

    QString host = DesServidor;
    if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('[')))
        host = QLatin1Char('[') + host + QLatin1Char(']');
    const QByteArray url = (QString::fromLatin1(DesSSL == 1 ? "smtps://" : "smtp://") + host +
                            QLatin1Char(':') + QString::number(quint16(DesPuerto)))
                               .toUtf8();
    const QByteArray desde = direccionSobre(OriCorreo);
    const QByteArray usuario = AutUsuario.toUtf8();
    const QByteArray clave = AutClave.toUtf8();
    const QByteArray ca = CertificadosCA.toLocal8Bit();
    char error[CURL_ERROR_SIZE] = {};

    const int total = int(Direcciones.size());
    const int porMensaje = DestinatariosMensaje > 0 ? DestinatariosMensaje : std::max(total, 1);
    const int mensajes = NumeroMensajes();
    for (int m = 0; m < mensajes; ++m) {
        // The sender's copy travels with the first message only.
        const bool para = OriCopia == 1 && m == 0;
        std::unique_ptr<curl_slist, ListaBorrar> rcpt;
        auto anadir = [&rcpt](const QByteArray& d) {
            curl_slist* l = curl_slist_append(rcpt.get(), d.constData());
            if (l) {
                (void)rcpt.release();
                rcpt.reset(l);
            }
        };
        if (para) anadir(desde);
        const int desdeIndice = m * porMensaje;
        const int hasta = std::min(total, desdeIndice + porMensaje);
        for (int i = desdeIndice; i < hasta; ++i)
            anadir(direccionSobre(Direcciones[i]));

        Lectura lectura{ComponerMensaje(*this, para), 0};
        CURL* c = curl.get();
        curl_easy_reset(c);
        curl_easy_setopt(c, CURLOPT_URL, url.constData());
        curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
        curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
        curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, 30L);
        // A server that stops answering fails the sending instead of blocking the window.
        curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, 60L);
        if (DesSSL != 1) curl_easy_setopt(c, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
        curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
        curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
        if (!ca.isEmpty()) curl_easy_setopt(c, CURLOPT_CAINFO, ca.constData());
        if (AutRequerida == 1) {
            curl_easy_setopt(c, CURLOPT_USERNAME, usuario.constData());
            curl_easy_setopt(c, CURLOPT_PASSWORD, clave.constData());
        }
        curl_easy_setopt(c, CURLOPT_MAIL_FROM, desde.constData());
        curl_easy_setopt(c, CURLOPT_MAIL_RCPT, rcpt.get());
        // An address the server refuses (a typing mistake in one patient's record) does not
        // stop the others; the sending fails only when no recipient is taken.
        curl_easy_setopt(c, CURLOPT_MAIL_RCPT_ALLLOWFAILS, 1L);
        curl_easy_setopt(c, CURLOPT_READFUNCTION, &leer);
        curl_easy_setopt(c, CURLOPT_READDATA, &lectura);
        curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
        error[0] = 0;
        const CURLcode r = curl_easy_perform(c);
        if (r != CURLE_OK) {
            DetalleError = QStringLiteral("%1 (%2)").arg(
                QString::fromUtf8(error[0] ? error : curl_easy_strerror(r)), QString::number(r));
            return email::FalloEnvio;
        }
        ++MensajesEnviados;
        DestinatariosAlcanzados += hasta - desdeIndice;
    }
    return email::Correcto;
}

} // namespace quill
