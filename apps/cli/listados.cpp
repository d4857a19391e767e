#include "listados.h"
#include "ejecucion.h"

#include "condiciones.h"

#include "actions/ejecutor.h"
#include "business/localidades.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "sql/database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "quill_config.h"
#include <cmath>
#include <memory>

namespace quill::cli {

namespace {

const QString kConexion = QStringLiteral("listado-general");

QString nombresTipos() {
    QStringList n;
    for (const DescriptorListado& d : Listados())
        n.append(d.nombre);
    return n.join(QStringLiteral(", "));
}

} // namespace

Sesion::~Sesion() {
    ejecutor.reset();
    if (!m_abierta) return;
    LocalidadCache::dropShared(kConexion);
    closeDatabase(kConexion);
}

namespace {

// The data-packet folder of Filtros.xml: --paquetes, else data/ beside the program, else the
// source tree's.
QString carpetaCatalogo(const Opciones& o) {
    if (o.tiene(QStringLiteral("paquetes"))) return o.valor(QStringLiteral("paquetes"));
    const QString junto =
        QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../data"));
    if (QFileInfo::exists(junto + QStringLiteral("/Filtros.xml"))) return junto;
    return QStringLiteral(QUILL_SOURCE_DATA_DIR);
}

} // namespace

bool leerEntero(const Opciones& o, const QString& nombre, qint16 porDefecto, qint16& valor,
                QTextStream& errores) {
    valor = porDefecto;
    if (!o.tiene(nombre)) return true;
    bool ok = false;
    const int n = o.valor(nombre).trimmed().toInt(&ok);
    if (!ok || n < -32768 || n > 32767) {
        errores << QStringLiteral("El valor de '--%1' debe ser un número entero: '%2'\n")
                       .arg(nombre, o.valor(nombre));
        return false;
    }
    valor = static_cast<qint16>(n);
    return true;
}

// The common start of the three commands: kind, database, conditions and the kind's runner with
// partition, tables and the special fields' values, as the window hands them over. Returns -1
// to go on, or the exit status.
int preparar(const Opciones& o, QTextStream& errores, bool conBase, qint16 accionPropia,
             Sesion& s) {
    const int tipo = CodigoListado(o.valor(QStringLiteral("tipo")));
    if (tipo < 0) {
        errores << QStringLiteral("Tipo de listado desconocido: '%1'. Indique su número (0-6) o "
                                  "su nombre: %2\n")
                       .arg(o.valor(QStringLiteral("tipo")), nombresTipos());
        return kSalidaUso;
    }
    const DescriptorListado& descriptor = *Listado(tipo);
    // The statement alone needs only the data module; the count and the export ask as the window
    // does.
    const QString motivo =
        accionPropia == accion::Imprimir
            ? (descriptor.Disponible()
                   ? QString()
                   : QStringLiteral("El listado «%1» todavía no está disponible.")
                         .arg(descriptor.titulo))
            : MotivoAccionNoDisponible(descriptor, accionPropia);
    if (!motivo.isEmpty()) {
        errores << motivo << QLatin1Char('\n');
        return kSalidaRechazo;
    }
    const QString particion = o.tiene(QStringLiteral("particion"))
                                  ? o.valor(QStringLiteral("particion")).trimmed()
                                  : QStringLiteral("1");
    bool ok = false;
    particion.toInt(&ok);
    if (!ok) {
        errores << QStringLiteral("La partición de datos ('--particion') debe ser un número "
                                  "entero: '%1'\n")
                       .arg(particion);
        return kSalidaUso;
    }
    qint16 variante = accionPropia;
    if (!leerEntero(o, QStringLiteral("variante"), accionPropia, variante, errores))
        return kSalidaUso;
    if (conBase || o.tiene(QStringLiteral("db"))) {
        const QString error = AbrirBaseDatos(o, kConexion);
        if (!error.isEmpty()) {
            errores << error << QLatin1Char('\n');
            return kSalidaUso;
        }
        s.marcarAbierta();
    }
    const QString error =
        LeerCondiciones(o.valor(QStringLiteral("condiciones")), tipo, carpetaCatalogo(o),
                        s.abierta() ? kConexion : QString(), s.condiciones);
    if (!error.isEmpty()) {
        errores << error << QLatin1Char('\n');
        return kSalidaRechazo;
    }
    s.ejecutor = std::make_unique<EjecutorListado>(descriptor);
    if (s.abierta()) s.ejecutor->setConexion(kConexion);
    s.ejecutor->Preparar(s.condiciones.tabla.get(), s.condiciones.tablas, s.condiciones.parametros,
                         particion, variante);
    return -1;
}

// The messages of a run that found nothing or failed, as the window shows them.
int informarResultado(qint16 resultado, const EjecutorListado& e, QTextStream& errores) {
    if (resultado == kListadoSinRegistros) {
        errores << MensajeSinRegistros() << QLatin1Char('\n');
        return kSalidaUso;
    }
    errores << MensajeErrorInterno() << QLatin1Char('\n');
    if (!e.ErrorSQL().isEmpty()) errores << e.ErrorSQL() << QLatin1Char('\n');
    return kSalidaRechazo;
}

QList<DefinicionOpcion> opcionesListado(bool particionObligatoria) {
    return {
        {QStringLiteral("tipo"), QStringLiteral("TIPO"),
         QStringLiteral("Tipo de listado: número (0-6) o nombre (general, consumo, encargos, "
                        "fechas, prescripciones, reposiciones, garantias)"),
         true},
        {QStringLiteral("condiciones"), QStringLiteral("FICHERO.json"),
         QStringLiteral("Condiciones: lista JSON de filas con Id, Condicion, Condicion1, "
                        "Condicion2 y Condicion1Ids"),
         true},
        {QStringLiteral("particion"), QStringLiteral("N"),
         particionObligatoria ? QStringLiteral("Partición de datos (licencia) de los pacientes")
                              : QStringLiteral("Partición de datos (licencia); 1 por omisión"),
         particionObligatoria},
        {QStringLiteral("cualquiera"), QString(),
         QStringLiteral("Basta con que se cumpla una condición (por omisión, todas)")},
        {QStringLiteral("paquetes"), QStringLiteral("CARPETA"),
         QStringLiteral("Carpeta del catálogo de filtros Filtros.xml")},
        {QStringLiteral("variante"), QStringLiteral("N"),
         QStringLiteral("Acción para la que se ejecuta el listado (0 imprimir, 2 etiquetas, 3 "
                        "exportar, 4 conteo, 5 correo, 6 SMS); por omisión la de la orden")},
    };
}

QList<DefinicionOpcion> opcionesOrden() {
    return {
        {QStringLiteral("orden"), QStringLiteral("N"),
         QStringLiteral("Orden: 3 código, 18 apellidos, 21 dirección, 22 fecha de nacimiento, 23 "
                        "fecha 1ª visita, 24 fecha últ. visita, 26 fecha de garantía, 27 consumo "
                        "(según el listado); 0 por omisión")},
        {QStringLiteral("sentido"), QStringLiteral("N"),
         QStringLiteral("Sentido: 0 ascendente, 1 descendente; 0 por omisión")},
    };
}

namespace {

int ejecutarSql(const Opciones& o, QTextStream& salida, QTextStream& errores) {
    qint16 orden = 0, sentido = 0;
    if (!leerEntero(o, QStringLiteral("orden"), 0, orden, errores) ||
        !leerEntero(o, QStringLiteral("sentido"), 0, sentido, errores))
        return kSalidaUso;
    Sesion s;
    if (const int estado = preparar(o, errores, false, accion::Imprimir, s); estado >= 0)
        return estado;
    try {
        const QStringList sentencias =
            s.ejecutor->Sentencias(orden, sentido, !o.tiene(QStringLiteral("cualquiera")));
        for (const QString& sentencia : sentencias)
            salida << sentencia << QLatin1Char('\n');
    } catch (const Error& e) {
        errores << e.message() << QLatin1Char('\n');
        return kSalidaRechazo;
    }
    return kSalidaCorrecta;
}

int ejecutarConteo(const Opciones& o, QTextStream& salida, QTextStream& errores) {
    Sesion s;
    if (const int estado = preparar(o, errores, true, accion::Conteo, s); estado >= 0)
        return estado;
    EjecutorListado& e = *s.ejecutor;
    const qint16 r = e.EjecutarConteo(!o.tiene(QStringLiteral("cualquiera")));
    if (r != kListadoCorrecto) return informarResultado(r, e, errores);
    double cuenta = 0;
    try {
        cuenta = e.Contar();
    } catch (const std::exception& ex) {
        errores << MensajeErrorInterno() << QLatin1Char('\n') << QString::fromUtf8(ex.what())
                << QLatin1Char('\n');
        return kSalidaRechazo;
    }
    salida << TextoConteo(cuenta) << QLatin1Char('\n');
    return kSalidaCorrecta;
}

int ejecutarExportar(const Opciones& o, QTextStream& salida, QTextStream& errores) {
    qint16 orden = 0, sentido = 0;
    if (!leerEntero(o, QStringLiteral("orden"), 0, orden, errores) ||
        !leerEntero(o, QStringLiteral("sentido"), 0, sentido, errores))
        return kSalidaUso;
    const QString formato = o.valor(QStringLiteral("formato")).trimmed().toLower();
    const QStringList formatos = {QStringLiteral("xlsx"), QStringLiteral("html"),
                                  QStringLiteral("txt"), QStringLiteral("xml")};
    const int tipoExportacion = int(formatos.indexOf(formato));
    if (tipoExportacion < 0) {
        errores << QStringLiteral("Formato de exportación desconocido: '%1'. Use xlsx, html, txt "
                                  "o xml\n")
                       .arg(o.valor(QStringLiteral("formato")));
        return kSalidaUso;
    }
    const QString fichero = o.valor(QStringLiteral("fichero"));
    if (fichero.trimmed().isEmpty()) {
        errores << QStringLiteral("Debe indicar un nombre para el fichero\n");
        return kSalidaUso;
    }
    Sesion s;
    if (const int estado = preparar(o, errores, true, accion::Exportar, s); estado >= 0)
        return estado;
    EjecutorListado& e = *s.ejecutor;
    const qint16 r = e.Ejecutar(orden, sentido, !o.tiene(QStringLiteral("cualquiera")));
    if (r != kListadoCorrecto) return informarResultado(r, e, errores);
    QString error;
    int filas = 0;
    try {
        error = e.Exportar(tipoExportacion, fichero, false, IdsCondiciones(*s.condiciones.tabla),
                           &filas);
    } catch (const std::exception& ex) {
        error = QString::fromUtf8(ex.what());
    }
    if (!error.isEmpty()) {
        errores << error << QLatin1Char('\n');
        return kSalidaRechazo;
    }
    salida << QStringLiteral("Pacientes exportados: %1\n").arg(TextoConteo(filas));
    return kSalidaCorrecta;
}

const QString kSalidas = QStringLiteral(
    "Estado de salida: 0 correcto; 1 ningún paciente cumple las condiciones, orden u opciones "
    "incorrectas, o base de datos inaccesible; 2 condiciones rechazadas (fichero mal formado, "
    "campo desconocido, valor que no puede usarse), listado no disponible o error interno.");

} // namespace

QString TextoConteo(double cuenta) {
    const QString cifras = QString::number(std::llround(std::fabs(cuenta)));
    QString texto;
    for (qsizetype i = 0; i < cifras.size(); ++i) {
        if (i > 0 && (cifras.size() - i) % 3 == 0) texto += QLatin1Char('.');
        texto += cifras.at(i);
    }
    return cuenta < 0 && texto != QLatin1String("0") ? QLatin1Char('-') + texto : texto;
}

Comando ComandoSql() {
    Comando c;
    c.nombre = QStringLiteral("sql");
    c.resumen = QStringLiteral("Sentencias SQL completas de un listado, una por línea");
    c.descripcion =
        QStringLiteral("Construye cada condición del fichero como la ventana y escribe cada "
                       "sentencia que\nejecutaría el listado, una por línea y en el orden en que "
                       "las ejecuta, exactamente.\nNo necesita la base de datos salvo para códigos "
                       "postales y provincias ('--db').\n") +
        kSalidas;
    c.opciones = opcionesListado(false) + opcionesOrden() + OpcionesBaseDatos();
    c.ejecutar = ejecutarSql;
    return c;
}

Comando ComandoConteo() {
    Comando c;
    c.nombre = QStringLiteral("conteo");
    c.resumen = QStringLiteral("Número de pacientes de un listado, como la ventana de conteo");
    c.descripcion =
        QStringLiteral("Ejecuta el conteo del listado y escribe el número de pacientes con los "
                       "miles\nseparados por \".\". Si ninguno cumple las condiciones escribe el "
                       "aviso de la\nventana en la salida de errores.\n") +
        kSalidas;
    QList<DefinicionOpcion> opciones = opcionesListado(true);
    opciones += OpcionesBaseDatos();
    opciones[opciones.size() - 3].obligatoria = true; // --db
    c.opciones = opciones;
    c.ejecutar = ejecutarConteo;
    return c;
}

Comando ComandoExportar() {
    Comando c;
    c.nombre = QStringLiteral("exportar");
    c.resumen = QStringLiteral("Exporta un listado a xlsx, html, txt o xml");
    c.descripcion =
        QStringLiteral("Ejecuta el listado y escribe el fichero con las columnas de la "
                       "exportación de la\nventana (ordenado por apellidos). Escribe en la "
                       "salida el número de pacientes\nexportados.\n") +
        kSalidas;
    QList<DefinicionOpcion> opciones = opcionesListado(true);
    opciones += {
        {QStringLiteral("formato"), QStringLiteral("xlsx|html|txt|xml"),
         QStringLiteral("Formato del fichero"), true},
        {QStringLiteral("fichero"), QStringLiteral("FICHERO"), QStringLiteral("Fichero a escribir"),
         true},
    };
    opciones += opcionesOrden();
    opciones += OpcionesBaseDatos();
    opciones[opciones.size() - 3].obligatoria = true; // --db
    c.opciones = opciones;
    c.ejecutar = ejecutarExportar;
    return c;
}

int EjecutarListadoPara(const Opciones& o, qint16 accionPropia, QTextStream& errores,
                        const std::function<int(EjecutorListado&, const QString& conexion)>& paso) {
    qint16 orden = 0, sentido = 0;
    if (!leerEntero(o, QStringLiteral("orden"), 0, orden, errores) ||
        !leerEntero(o, QStringLiteral("sentido"), 0, sentido, errores))
        return kSalidaUso;
    Sesion s;
    if (const int estado = preparar(o, errores, true, accionPropia, s); estado >= 0) return estado;
    EjecutorListado& e = *s.ejecutor;
    const qint16 r = e.Ejecutar(orden, sentido, !o.tiene(QStringLiteral("cualquiera")));
    if (r != kListadoCorrecto) return informarResultado(r, e, errores);
    return paso(e, kConexion);
}

} // namespace quill::cli
