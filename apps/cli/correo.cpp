// `listado correo`: the listing's e-mail with the workstation's settings, as the window sends it
// (a scheduled birthday greeting, for example).

#include "correo.h"

#include "ejecucion.h"

#include "actions/correo.h"
#include "messaging/email/configuracioncorreo.h"
#include "messaging/email/temail.h"
#include "platform/guard.h"

#include <QFile>

namespace quill::cli {

namespace {

constexpr int kSinDestinatarios = 1;

// The address and name lines of --simular, the envelope's order: the sender's copy first.
void escribirDestinatarios(QTextStream& salida, const TEMail& m) {
    if (m.OriCopia == 1) salida << m.OriCorreo << ';' << m.OriNombre << '\n';
    for (qsizetype i = 0; i < m.Direcciones.size(); ++i)
        salida << m.Direcciones[i] << ';' << m.Nombres.value(i) << '\n';
}

int ejecutarCorreo(const Opciones& o, QTextStream& salida, QTextStream& errores) {
    const QString ficheroMensaje = o.valor(QStringLiteral("mensaje-fichero"));
    QFile f(ficheroMensaje);
    if (!f.open(QIODevice::ReadOnly)) {
        errores << QStringLiteral("No se puede leer el fichero del mensaje '%1': %2\n")
                       .arg(ficheroMensaje, f.errorString());
        return kSalidaUso;
    }
    const QString mensaje = QString::fromUtf8(f.readAll());
    const ConfiguracionCorreo config = LeerConfiguracionCorreo();
    const bool solo = o.tiene(QStringLiteral("solo-consentimiento")) || config.SoloConsentimiento;

    Sesion s;
    if (const int estado = preparar(o, errores, true, accion::Correo, s); estado >= 0)
        return estado;
    EjecutorListado& e = *s.ejecutor;
    const qint16 r = e.Ejecutar(0, 0, !o.tiene(QStringLiteral("cualquiera")));
    if (r != kListadoCorrecto) return informarResultado(r, e, errores);

    TEMail m;
    DestinatariosCorreo d;
    try {
        d = DestinatariosListado(e, solo);
    } catch (const std::exception& ex) {
        errores << MensajeErrorInterno() << '\n' << QString::fromUtf8(ex.what()) << '\n';
        return kSalidaRechazo;
    }
    e.Cerrar();
    if (d.sinConsentimiento > 0)
        errores << QStringLiteral("Pacientes que no aceptan correo, excluidos: %1\n")
                       .arg(d.sinConsentimiento);
    if (d.direcciones.isEmpty()) {
        errores << QStringLiteral("Ninguno de los registros contiene información en el campo "
                                  "Correo Eléctronico \n");
        return kSinDestinatarios;
    }
    AsignarDestinatarios(m, d);
    m.AsignarServidor(config);
    m.OriNombre = o.tiene(QStringLiteral("remitente")) ? o.valor(QStringLiteral("remitente"))
                                                       : config.OriNombre;
    m.OriCorreo =
        o.tiene(QStringLiteral("correo")) ? o.valor(QStringLiteral("correo")) : config.OriCorreo;
    m.OriCopia = o.tiene(QStringLiteral("copia")) ? 1 : 0;
    m.Asunto = o.valor(QStringLiteral("asunto"));
    m.Mensaje = mensaje;

    if (o.tiene(QStringLiteral("simular"))) {
        escribirDestinatarios(salida, m);
        return kSalidaCorrecta;
    }
    const qint32 resultado = m.Enviar();
    if (resultado == email::Correcto) {
        salida << QStringLiteral("Destinatarios: %1\nMensajes: %2\n")
                      .arg(m.DestinatariosAlcanzados + (m.OriCopia == 1 ? 1 : 0))
                      .arg(m.MensajesEnviados);
        return kSalidaCorrecta;
    }
    if (resultado == email::FalloEnvio) {
        errores << TextoResultadoCorreo(resultado, m) << '\n' << m.DetalleError << '\n';
    } else {
        errores << QStringLiteral("Código %1: %2\n")
                       .arg(resultado)
                       .arg(DescripcionCodigoCorreo(resultado));
    }
    return kSalidaRechazo;
}

} // namespace

Comando ComandoCorreo() {
    Comando c;
    c.nombre = QStringLiteral("correo");
    c.resumen = QStringLiteral("Envía un correo electrónico a los pacientes de un listado");
    c.descripcion = QStringLiteral(
        "Ejecuta el listado y envía un mensaje con cada paciente con dirección de correo en\n"
        "copia oculta, con el servidor y la autentificación de la configuración del puesto.\n"
        "Escribe el número de destinatarios y de mensajes. Con '--simular' no se conecta:\n"
        "escribe los destinatarios, uno por línea (dirección;nombre), en el orden de envío.\n"
        "Estado de salida: 0 enviado; 1 ningún destinatario (o ningún paciente cumple las\n"
        "condiciones, u opciones incorrectas); 2 código de validación o fallo de envío (-402),\n"
        "con su mensaje en la salida de errores, o condiciones rechazadas.");
    QList<DefinicionOpcion> opciones = opcionesListado(true);
    opciones += {
        {QStringLiteral("asunto"), QStringLiteral("TEXTO"), QStringLiteral("Asunto del mensaje"),
         true},
        {QStringLiteral("mensaje-fichero"), QStringLiteral("FICHERO.txt"),
         QStringLiteral("Texto del mensaje (UTF-8)"), true},
        {QStringLiteral("remitente"), QStringLiteral("NOMBRE"),
         QStringLiteral("Nombre del remitente; por omisión el de la configuración del puesto")},
        {QStringLiteral("correo"), QStringLiteral("DIRECCION"),
         QStringLiteral("Dirección del remitente; por omisión la de la configuración del puesto")},
        {QStringLiteral("copia"), QString(), QStringLiteral("Enviar una copia al remitente")},
        {QStringLiteral("solo-consentimiento"), QString(),
         QStringLiteral("Solo pacientes que aceptan correo")},
        {QStringLiteral("simular"), QString(),
         QStringLiteral("Escribe los destinatarios sin conectarse al servidor")},
    };
    opciones += OpcionesBaseDatos();
    opciones[opciones.size() - 3].obligatoria = true; // --db
    c.opciones = opciones;
    c.ejecutar = ejecutarCorreo;
    return c;
}

} // namespace quill::cli
