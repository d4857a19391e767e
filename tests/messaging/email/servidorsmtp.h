#pragma once

// A real SMTP server for the e-mail tests: aiosmtpd (servidor_smtp.py) on 127.0.0.1 with a
// certificate made here by openssl, which is also the authority the client is told to trust.
// It records every connection and every message it receives.

#include "testsupport.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

namespace servidorsmtp {

inline int puertoLibre() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t n = sizeof a;
    ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
    ::close(s);
    return ntohs(a.sin_port);
}

// The certificate of the test servers, made once per program; it is also the authority the
// client is told to trust.
struct Certificado {
    std::unique_ptr<QTemporaryDir> dir = quilltest::scratch();
    QString cert = dir->filePath(QStringLiteral("cert.pem"));
    QString clave = dir->filePath(QStringLiteral("key.pem"));
    Certificado() {
        QProcess p;
        p.start(QStringLiteral("openssl"),
                {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", clave, "-out", cert,
                 "-days", "2", "-subj", "/CN=localhost", "-addext",
                 "subjectAltName=DNS:localhost,IP:127.0.0.1"});
        p.waitForFinished(60000);
    }
};

inline const Certificado& certificado() {
    static const Certificado c;
    return c;
}

class ServidorSmtp {
public:
    // modo: "starttls", "implicito" or "plano"; with a user the server asks for login.
    // aceptar: messages the server takes before it refuses every further one (-1: all).
    ServidorSmtp(const QString& modo, const QString& usuario = QString(),
                 const QString& contrasena = QString(), int aceptar = -1)
        : puerto(puertoLibre()), registro_(dir_->filePath(QStringLiteral("registro.jsonl"))) {
        QStringList args = {quilltest::dataDir() +
                                QStringLiteral("/../tests/messaging/email/servidor_smtp.py"),
                            "--puerto",
                            QString::number(puerto),
                            "--registro",
                            registro_,
                            "--modo",
                            modo,
                            "--cert",
                            certificado().cert,
                            "--clave",
                            certificado().clave};
        if (!usuario.isEmpty()) args << "--usuario" << usuario << "--contrasena" << contrasena;
        args << "--aceptar" << QString::number(aceptar);
        proceso_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proceso_.start(QStringLiteral("/usr/bin/python3"), args);
        while (proceso_.waitForReadyRead(20000))
            if (proceso_.readAll().contains("LISTO")) {
                listo = true;
                break;
            }
    }
    ~ServidorSmtp() {
        proceso_.kill();
        proceso_.waitForFinished(5000);
    }

    QList<QJsonObject> mensajes() const { return leer(false); }
    int conexiones() const { return int(leer(true).size()); }

    const int puerto;
    bool listo = false;

private:
    QList<QJsonObject> leer(bool conexion) const {
        QFile f(registro_);
        QList<QJsonObject> r;
        if (!f.open(QIODevice::ReadOnly)) return r;
        for (const QByteArray& l : f.readAll().split('\n')) {
            if (l.isEmpty()) continue;
            const QJsonObject o = QJsonDocument::fromJson(l).object();
            if (o.contains(QStringLiteral("conexion")) == conexion) r << o;
        }
        return r;
    }

    std::unique_ptr<QTemporaryDir> dir_ = quilltest::scratch();
    QString registro_;
    QProcess proceso_;
};

} // namespace servidorsmtp
