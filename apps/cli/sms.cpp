#include "sms.h"

#include "listados.h"

#include "actions/ejecutor.h"
#include "actions/enviosms.h"
#include "queries/listingmodule.h"

#include <QFile>

namespace quill::cli {

namespace {

// The message file's text, without the line ends its last line may carry.
bool leerMensaje(const QString& fichero, QString& texto, QTextStream& errores) {
    QFile f(fichero);
    if (!f.open(QIODevice::ReadOnly)) {
        errores << QStringLiteral("No se puede leer el fichero del mensaje '%1': %2\n")
                       .arg(fichero, f.errorString());
        return false;
    }
    texto = QString::fromUtf8(f.readAll());
    while (texto.endsWith(QLatin1Char('\n')) || texto.endsWith(QLatin1Char('\r')))
        texto.chop(1);
    return true;
}

int ejecutarSMS(const Opciones& o, QTextStream& salida, QTextStream& errores) {
    QString mensaje;
    if (!leerMensaje(o.valor(QStringLiteral("mensaje-fichero")), mensaje, errores))
        return kSalidaUso;
    QDateTime programada;
    if (o.tiene(QStringLiteral("programar"))) {
        const QString texto = o.valor(QStringLiteral("programar")).simplified();
        programada = QDateTime::fromString(texto, QStringLiteral("dd/MM/yyyy HH:mm"));
        if (!programada.isValid()) {
            errores << QStringLiteral("La fecha de '--programar' debe escribirse dd/mm/aaaa hh:mm: "
                                      "'%1'\n")
                           .arg(texto);
            return kSalidaUso;
        }
    }
    // The dialog's fields take no more than this.
    if (o.valor(QStringLiteral("de")).size() > sms::LongitudRemitente ||
        mensaje.size() > sms::LongitudMensaje) {
        errores << QStringLiteral("El remitente admite hasta %1 caracteres y el mensaje hasta %2\n")
                       .arg(sms::LongitudRemitente)
                       .arg(sms::LongitudMensaje);
        return kSalidaUso;
    }
    const bool simular = o.tiene(QStringLiteral("simular"));
    return EjecutarListadoPara(
        o, accion::SMS, errores, [&](EjecutorListado& e, const QString& conexion) {
            const QStringList telefonos = TelefonosSMS(e.Descriptor(), *e.Modulo());
            if (telefonos.isEmpty()) {
                errores << MensajeSinRegistros() << QLatin1Char('\n');
                return kSalidaUso;
            }
            TSMS envio(conexion);
            envio.setDe(o.valor(QStringLiteral("de")));
            envio.setMensaje(mensaje);
            envio.setFechaEnvio(programada);
            envio.setIdOperacion(-1);
            envio.setTipoOperacion(0);
            envio.setProveedor(0);
            EncolarTelefonos(envio, telefonos);
            const int r = simular ? envio.Validar() : envio.Enviar();
            if (r != 0) {
                const QString texto = MensajeSMS(r);
                errores << (texto.isEmpty()
                                ? QStringLiteral(
                                      "El envío de los mensajes SMS ha fallado (código %1).")
                                      .arg(r)
                                : texto)
                        << QLatin1Char('\n');
                return kSalidaRechazo;
            }
            if (simular) {
                for (const TSMS::Telefono& t : envio.Telefonos)
                    salida << t.Prefijo << ';' << t.Telefono << ';'
                           << (TSMS::EsValido(t) ? "valido" : "omitido") << '\n';
                return kSalidaCorrecta;
            }
            salida << envio.TextoResultado() << QLatin1Char('\n');
            return kSalidaCorrecta;
        });
}

} // namespace

Comando ComandoSMS() {
    Comando c;
    c.nombre = QStringLiteral("sms");
    c.resumen = QStringLiteral("Envía un SMS a los pacientes de un listado y lo registra");
    c.descripcion = QStringLiteral(
        "Ejecuta el listado, pone en cola el móvil de cada paciente como la ventana, los\n"
        "comprueba, envía los válidos al proveedor de SMS de la configuración del puesto y\n"
        "registra el envío en la base de datos. Escribe el resultado del envío (coste,\n"
        "mensajes enviados y omitidos). Con '--simular' escribe una línea por número en\n"
        "cola, prefijo;cifras;valido|omitido, sin enviar nada ni escribir en la base de datos.\n"
        "Estado de salida: 0 enviado; 1 ningún número en cola (o ningún paciente), opciones\n"
        "incorrectas o base de datos inaccesible; 2 error del envío (su mensaje en la salida\n"
        "de errores), condiciones rechazadas o error interno.");
    c.opciones = {
        {QStringLiteral("tipo"), QStringLiteral("TIPO"),
         QStringLiteral("Tipo de listado: número o nombre (general, consumo, encargos, fechas, "
                        "reposiciones, garantias)"),
         true},
        {QStringLiteral("condiciones"), QStringLiteral("FICHERO.json"),
         QStringLiteral("Condiciones: lista JSON de filas con Id, Condicion, Condicion1, "
                        "Condicion2 y Condicion1Ids"),
         true},
        {QStringLiteral("particion"), QStringLiteral("N"),
         QStringLiteral("Partición de datos (licencia) de los pacientes"), true},
        {QStringLiteral("de"), QStringLiteral("NOMBRE"),
         QStringLiteral("Quién envía el mensaje (hasta 11 caracteres)"), true},
        {QStringLiteral("mensaje-fichero"), QStringLiteral("FICHERO.txt"),
         QStringLiteral("Texto del mensaje en UTF-8 (hasta 153 caracteres)"), true},
        {QStringLiteral("programar"), QStringLiteral("\"dd/mm/aaaa hh:mm\""),
         QStringLiteral("Enviar en ese día y hora (hasta un año después de ahora)")},
        {QStringLiteral("simular"), QString(),
         QStringLiteral("Sólo muestra los números en cola y si son válidos")},
        {QStringLiteral("cualquiera"), QString(),
         QStringLiteral("Basta con que se cumpla una condición (por omisión, todas)")},
        {QStringLiteral("paquetes"), QStringLiteral("CARPETA"),
         QStringLiteral("Carpeta del catálogo de filtros Filtros.xml")},
    };
    c.opciones += OpcionesBaseDatos();
    c.opciones[c.opciones.size() - 3].obligatoria = true; // --db
    c.ejecutar = ejecutarSMS;
    return c;
}

} // namespace quill::cli
