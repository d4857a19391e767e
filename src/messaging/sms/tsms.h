#pragma once

// The mass SMS: checks and normalises the queued numbers, sends the valid ones through the
// provider client and records the sending in sms_maestro (one row) and sms_detalle (one row per
// recipient) in a transaction of its own.

#include "messaging/sms/tcfgsms.h"
#include "messaging/sms/tmensario.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <memory>

namespace quill {

class TSMS {
public:
    // A queued number: the window leaves Prefijo at 0 (validation makes it 34).
    struct Telefono {
        int Prefijo = 0;
        QString Telefono;
    };

    // conexion: the shop database's connection (the records use an attachment of their own to
    // it); carpeta: where the provider's library is (empty: beside the running program).
    explicit TSMS(const QString& conexion, const QString& carpeta = QString());
    ~TSMS();

    void setDe(const QString& v) { De = v; }
    void setMensaje(const QString& v) { Mensaje = v; }
    // Null or invalid: send now.
    void setFechaEnvio(const QDateTime& v) { FechaEnvio = v; }
    void setIdOperacion(int v) { IdOperacion = v; }
    void setTipoOperacion(int v) { TipoOperacion = v; }
    // -1: the provider of the settings.
    void setProveedor(int v) { Proveedor = v; }

    // Rebuilds Validos and Omitidos from Telefonos (normalising each queued number in place):
    // 0, or the code of the first input error.
    int Validar();
    // Validation, sending and recording: 0 sent (even when recording failed), or the code.
    int Enviar();
    // The result box's text after a sending.
    QString TextoResultado() const;
    // Whether a country code is one the provider accepts.
    static bool PrefijoAceptado(int prefijo);
    // A queued number as validation leaves it (accepted prefix or 34, digits only), and whether
    // it is then sent: nine digits starting with 6 or 7.
    static void Normalizar(Telefono& t);
    static bool EsValido(const Telefono& t);
    // The key of the last master row written; -1 when none could be.
    int IdMaestro() const { return m_idMaestro; }

    TCfgSMS Configuracion;
    std::unique_ptr<TMensario> Cliente;
    int IdMensaje = -1;
    int IdOperacion = -1;
    int TipoOperacion = 0;
    int Coste = 0;
    int Proveedor = -1;
    QString De;
    QString Mensaje;
    QDateTime FechaEnvio;
    QList<Telefono> Telefonos;
    QList<Telefono> Validos;
    QList<Telefono> Omitidos;

private:
    void Registrar(int proveedor);

    QString m_conexion;
    int m_idMaestro = -1;
};

} // namespace quill
