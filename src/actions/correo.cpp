#include "actions/correo.h"

#include "actions/ejecutor.h"
#include "messaging/email/configuracioncorreo.h"
#include "messaging/email/temail.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "queries/listingmodule.h"

#include <QSqlQuery>
#include <QSqlRecord>

namespace quill {

namespace {

int campoCorreo(const MemTable& t) {
    for (int i = 0; i < t.fieldCount(); ++i)
        if (t.fieldDef(i).name.compare(QLatin1String("E_MAIL"), Qt::CaseInsensitive) == 0) return i;
    return t.fieldIndex(QStringLiteral("EMail"));
}

// Anything but 1 means the patient did not accept mail.
bool aceptaCorreo(const QVariant& v) {
    return v.isNull() || v.toInt() == 1;
}

void anadir(DestinatariosCorreo& d, const QString& direccion, const QString& nombre, bool solo,
            const QVariant& consentimiento) {
    if (direccion.isEmpty()) {
        ++d.sinDireccion;
        return;
    }
    if (solo && !aceptaCorreo(consentimiento)) {
        ++d.sinConsentimiento;
        return;
    }
    d.nombres << nombre;
    d.direcciones << direccion;
}

} // namespace

DestinatariosCorreo RecogerDestinatarios(const MemTable& t, bool solo) {
    DestinatariosCorreo d;
    d.porPaciente = true;
    const int correo = campoCorreo(t);
    if (correo < 0)
        throw Error(
            QStringLiteral("La tabla %1 no tiene campo de correo electrónico").arg(t.name()));
    const int nombre = t.fieldIndex(QStringLiteral("NombreEMail"));
    const int consentimiento = t.fieldIndex(QStringLiteral("Correo"));
    for (int fila = 0; fila < t.recordCount(); ++fila)
        anadir(d, t.textAt(fila, correo), nombre < 0 ? QString() : t.textAt(fila, nombre), solo,
               consentimiento < 0 ? QVariant() : t.valueAt(fila, consentimiento));
    return d;
}

DestinatariosCorreo RecogerDestinatarios(ListingModule& m, bool solo) {
    DestinatariosCorreo d;
    if (!m.dstListado()) return d;
    if (!m.IrAlPrimero()) {
        if (!m.ErrorSQL().isEmpty()) throw Error(m.ErrorSQL());
        return d;
    }
    QSqlQuery& q = *m.dstListado();
    const QSqlRecord r = q.record();
    const int correo = r.indexOf(QStringLiteral("E_MAIL"));
    const int nombre = r.indexOf(QStringLiteral("NOMBRE"));
    const int apellidos = r.indexOf(QStringLiteral("APELLIDOS"));
    const int consentimiento = r.indexOf(QStringLiteral("CORREO"));
    if (correo < 0) throw Error(QStringLiteral("El listado no tiene la columna E_MAIL"));
    auto texto = [&q](int i) { return i < 0 ? QString() : q.value(i).toString(); };
    do {
        anadir(d, texto(correo), texto(nombre) + QLatin1Char(' ') + texto(apellidos), solo,
               consentimiento < 0 ? QVariant() : q.value(consentimiento));
    } while (q.next());
    return d;
}

DestinatariosCorreo DestinatariosListado(EjecutorListado& e, bool solo) {
    const DescriptorListado& desc = e.Descriptor();
    ListingModule* m = e.Modulo();
    if (!m || !desc.tablaCorreo)
        throw Error(QStringLiteral("El listado «%1» no tiene envío de correo electrónico")
                        .arg(desc.titulo));
    const TablaCorreo t = desc.tablaCorreo(*m);
    return t.tabla ? RecogerDestinatarios(*t.tabla, solo) : RecogerDestinatarios(*m, solo);
}

void AsignarDestinatarios(TEMail& correo, const DestinatariosCorreo& d) {
    if (d.porPaciente) correo.Inicializar();
    correo.Direcciones = d.direcciones;
    correo.Nombres = d.nombres;
}

QString TextoResultadoCorreo(qint32 resultado, const TEMail& c) {
    const bool porLotes = c.NumeroMensajes() > 1;
    if (resultado == email::FalloEnvio) {
        QString t = QStringLiteral("Fallo autentificación.") + QStringLiteral("\n\n") +
                    QStringLiteral("Los parametros de autentificación de la configuración de "
                                   "puesto no estan establecidos o son incorrectos. No se puede "
                                   "enviar el correo electrónico.");
        if (porLotes && c.MensajesEnviados > 0)
            t += QStringLiteral("\n\nAntes del fallo se enviaron %1 de %2 mensajes, con %3 "
                                "destinatarios.")
                     .arg(c.MensajesEnviados)
                     .arg(c.NumeroMensajes())
                     .arg(c.DestinatariosAlcanzados);
        return t;
    }
    if (resultado == email::Correcto) {
        QString t = QStringLiteral("Correos enviados correctamente.") + QStringLiteral("\n\n");
        if (porLotes)
            t += QStringLiteral("Se enviaron %1 mensajes a %2 destinatarios.")
                     .arg(c.MensajesEnviados)
                     .arg(c.DestinatariosAlcanzados);
        return t;
    }
    return QString();
}

QString TituloResultadoCorreo(qint32 resultado) {
    return resultado == email::FalloEnvio ? QStringLiteral("ERROR") : QString();
}

} // namespace quill

namespace quill {

QString DescripcionCodigoCorreo(qint32 codigo) {
    switch (codigo) {
    case email::SinNombre:
        return QStringLiteral("Falta el nombre del remitente.");
    case email::SinCorreo:
        return QStringLiteral("Falta la dirección de correo del remitente.");
    case email::SinAsunto:
        return QStringLiteral("Falta el asunto del mensaje.");
    case email::SinMensaje:
        return QStringLiteral("Falta el texto del mensaje.");
    case email::SinServidor:
        return QStringLiteral("La configuración del puesto no indica el servidor de correo.");
    case email::SinPuerto:
        return QStringLiteral("La configuración del puesto no indica un puerto válido del "
                              "servidor de correo.");
    case email::SinUsuario:
        return QStringLiteral("El servidor pide autentificación y la configuración del puesto "
                              "no indica el usuario.");
    case email::SinClave:
        return QStringLiteral("El servidor pide autentificación y la configuración del puesto "
                              "no indica la contraseña.");
    default:
        return QString();
    }
}

} // namespace quill
