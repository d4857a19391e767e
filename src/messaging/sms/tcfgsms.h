#pragma once

// The workstation's SMS settings: the provider, the provider account's login parameters and an
// optional proxy, read from the current user's keys "\Software\Quillmore\3.0\SMS", "...\SMS\Proxy"
// and "...\SMS\P1". Strings under Proxy and P1 are stored scrambled by the workstation credential
// routine and held here as plain text. This module never edits them; the host's settings dialog
// does (GuardarCfgSMS).

#include <QString>

namespace quill {

class TCfgSMS {
public:
    static const QString kClave;      // "\Software\Quillmore\3.0\SMS"
    static const QString kClaveProxy; // "\Software\Quillmore\3.0\SMS\Proxy"
    static const QString kClaveP1;    // "\Software\Quillmore\3.0\SMS\P1"

    int Proveedor = 0;
    bool ProxyActivo = false;
    QString ProxyServidor;
    QString ProxyUsuario;
    QString ProxyClave;
    int ProxyPuerto = 0;
    QString Param1, Param2, Param3, Param4, Param5;

    // Everything but Proveedor back to empty, false and 0.
    void Reiniciar();
    // 0 when the three keys were read; -1 when one was missing (the missing keys are then
    // created with their defaults and the fields reset, Proveedor excepted).
    int Cargar();
    // Writes the defaults under the three keys, creating them: 0, or -1 when a key cannot be
    // written.
    int CrearValores();
};

// The provider's service address the provider library speaks to: value "Servidor" under the SMS
// key (plain text). There is no built-in address: until the shop enters the one its provider
// gave it, the provider library refuses to log in and the sending says so.
QString ServidorSMS();

// What the host's settings dialog writes: every field of `cfg` and the service address, strings
// of Proxy and P1 scrambled. Empty text, or why a value could not be written.
QString GuardarCfgSMS(const TCfgSMS& cfg, const QString& servidor);

} // namespace quill
