#pragma once

// The provider service of the SMS tests, started on 127.0.0.1 with a test authority made by
// openssl, and the workstation settings that point the provider's library at it.

#include "messaging/sms/tcfgsms.h"
#include "testsupport.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>

#include <gtest/gtest.h>

namespace proveedorprueba {

class Servicio {
public:
    // Empty text, or what went wrong.
    QString arrancar() {
        m_dir = quilltest::scratch();
        const QString cert = m_dir->filePath(QStringLiteral("cert.pem"));
        const QString key = m_dir->filePath(QStringLiteral("key.pem"));
        QProcess ssl;
        ssl.start(QStringLiteral("openssl"),
                  {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert,
                   "-days", "2", "-subj", "/CN=localhost", "-addext",
                   "subjectAltName=DNS:localhost,IP:127.0.0.1"});
        if (!ssl.waitForFinished(60000) || ssl.exitCode() != 0)
            return QStringLiteral("openssl: ") + QString::fromLocal8Bit(ssl.readAllStandardError());
        m_log = m_dir->filePath(QStringLiteral("peticiones.jsonl"));
        m_servicio.start(
            QStringLiteral("/usr/bin/python3"),
            {quilltest::dataDir() + QStringLiteral("/../tests/messaging/sms/proveedor_sms.py"),
             cert, key, m_log});
        if (!m_servicio.waitForReadyRead(20000))
            return QStringLiteral("the provider service did not start: ") +
                   QString::fromLocal8Bit(m_servicio.readAllStandardError());
        m_puerto = m_servicio.readLine().trimmed().toInt();
        qputenv("CURL_CA_BUNDLE", cert.toUtf8());
        return m_puerto > 0 ? QString() : QStringLiteral("no port");
    }
    ~Servicio() {
        if (m_servicio.state() != QProcess::NotRunning) {
            m_servicio.kill();
            m_servicio.waitForFinished(5000);
        }
    }
    QString direccion() const { return QStringLiteral("https://127.0.0.1:%1").arg(m_puerto); }
    // Every request the service received so far, in order.
    QList<QJsonObject> peticiones() const {
        QList<QJsonObject> l;
        QFile f(m_log);
        if (!f.open(QIODevice::ReadOnly)) return l;
        while (!f.atEnd()) {
            const QByteArray linea = f.readLine().trimmed();
            if (!linea.isEmpty()) l.append(QJsonDocument::fromJson(linea).object());
        }
        return l;
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QProcess m_servicio;
    QString m_log;
    int m_puerto = 0;
};

// A scratch settings folder with a provider account that speaks to `direccion`.
struct Ajustes {
    std::unique_ptr<QTemporaryDir> dir = quilltest::scratch();
    explicit Ajustes(const QString& direccion) {
        qputenv("XDG_CONFIG_HOME", dir->path().toUtf8());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir->path());
        quill::TCfgSMS c;
        c.Param1 = QStringLiteral("cuenta-7");
        c.Param2 = QStringLiteral("óptica");
        c.Param3 = QStringLiteral("clave secreta");
        EXPECT_EQ(quill::GuardarCfgSMS(c, direccion), QString());
    }
};

} // namespace proveedorprueba
