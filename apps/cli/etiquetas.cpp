#include "etiquetas.h"

#include "ejecucion.h"
#include "listados.h"

#include "actions/ejecutor.h"
#include "actions/etiquetas.h"
#include "business/tdocumento.h"
#include "host/bloque.h"
#include "output/labels/formatosetiqueta.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "quill_config.h"

namespace quill::cli {

namespace {

// The shipped formats beside the program, else the source tree's.
QString carpetaFormatos(const Opciones& o) {
    if (o.tiene(QStringLiteral("formatos"))) return o.valor(QStringLiteral("formatos"));
    const QString junto = QDir(QCoreApplication::applicationDirPath())
                              .absoluteFilePath(QStringLiteral("../data/formatos"));
    if (QFileInfo(junto).isDir()) return junto;
    return QStringLiteral(QUILL_SOURCE_DATA_DIR "/formatos");
}

// The label library is built beside the module, in ../lib of the program.
QString carpetaLibrerias(const Opciones& o) {
    if (o.tiene(QStringLiteral("librerias"))) return o.valor(QStringLiteral("librerias"));
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../lib"));
}

bool leerNumero(const Opciones& o, const QString& nombre, int minimo, int& valor,
                QTextStream& errores) {
    if (!o.tiene(nombre)) return true;
    bool ok = false;
    const int n = o.valor(nombre).trimmed().toInt(&ok);
    if (!ok || n < minimo || n > 32767) {
        errores << QStringLiteral("El valor de '--%1' debe ser un número entero desde %2: '%3'\n")
                       .arg(nombre)
                       .arg(minimo)
                       .arg(o.valor(nombre));
        return false;
    }
    valor = n;
    return true;
}

int ejecutarEtiquetas(const Opciones& o, QTextStream& salida, QTextStream& errores) {
    TrabajoEtiquetas trabajo;
    OpcionesEtiquetas& op = trabajo.opciones;
    op.formato = NombreFormato(o.valor(QStringLiteral("formato")));
    op.fichero = o.valor(QStringLiteral("fichero")).trimmed();
    op.impresora = QStringLiteral("PDF");
    op.porDomicilio = o.tiene(QStringLiteral("por-domicilio"));
    if (!leerNumero(o, QStringLiteral("copias"), 1, op.copias, errores) ||
        !leerNumero(o, QStringLiteral("fila"), 1, op.filaInicial, errores) ||
        !leerNumero(o, QStringLiteral("columna"), 1, op.columnaInicial, errores))
        return kSalidaUso;
    trabajo.carpetaFormatos = carpetaFormatos(o);
    trabajo.carpetaLibrerias = carpetaLibrerias(o);
    // As the options dialog: an empty name is refused before any file is looked at.
    const QString invalido = QStringLiteral("Debe indicar un Formato Válido");
    if (op.formato.isEmpty()) {
        errores << invalido << QLatin1Char('\n');
        return kSalidaUso;
    }
    TDocumento formato;
    formato.setFichero(RutaFormato(trabajo.carpetaFormatos, op.formato));
    if (formato.Leer() != 0) {
        errores << invalido << QStringLiteral(": '%1'\n").arg(formato.Fichero());
        return kSalidaUso;
    }
    if (op.fichero.isEmpty()) {
        errores << QStringLiteral("Debe indicar un nombre para el fichero\n");
        return kSalidaUso;
    }
    const QString extension = formato.EsEPL2() ? QStringLiteral(".epl") : QStringLiteral(".pdf");
    if (!op.fichero.endsWith(extension, Qt::CaseInsensitive)) {
        errores << QStringLiteral("El formato '%1' es %2: el fichero debe terminar en '%3'\n")
                       .arg(op.formato,
                            formato.EsEPL2() ? QStringLiteral("EPL/2")
                                             : QStringLiteral("de hojas de etiquetas"),
                            extension);
        return kSalidaUso;
    }
    // The printing object asks for a host block; this program has no host.
    HostBlock bloque{};
    trabajo.bloque = bloque.data();
    return EjecutarListadoPara(
        o, accion::Etiqueta, errores, [&](EjecutorListado& e, const QString&) {
            TDocumento documento;
            QString mensaje;
            int etiquetas = 0;
            const qint16 r = ImprimirEtiquetasListado(e, documento, trabajo, &mensaje, &etiquetas);
            if (r != 0) {
                if (!mensaje.isEmpty()) errores << mensaje << QLatin1Char('\n');
                return kSalidaRechazo;
            }
            salida << QStringLiteral("Etiquetas escritas: %1\n").arg(TextoConteo(etiquetas));
            return kSalidaCorrecta;
        });
}

} // namespace

Comando ComandoEtiquetas() {
    Comando c;
    c.nombre = QStringLiteral("etiquetas");
    c.resumen = QStringLiteral("Etiquetas de un listado en PDF o en órdenes EPL/2");
    c.descripcion = QStringLiteral(
        "Ejecuta el listado e imprime una etiqueta por paciente con el formato indicado: las\n"
        "hojas de etiquetas en un PDF y los formatos EPL/2 como órdenes de la impresora de\n"
        "etiquetas en un fichero. Escribe en la salida el número de etiquetas.\n"
        "Estado de salida: 0 correcto; 1 ningún paciente cumple las condiciones, formato u\n"
        "opciones incorrectos, o base de datos inaccesible; 2 condiciones rechazadas o error\n"
        "al imprimir.");
    QList<DefinicionOpcion> opciones = opcionesListado(true);
    opciones += {
        {QStringLiteral("formato"), QStringLiteral("NOMBRE"),
         QStringLiteral("Formato de etiqueta: nombre del fichero .fqm de la carpeta de formatos"),
         true},
        {QStringLiteral("fichero"), QStringLiteral("FICHERO.pdf|FICHERO.epl"),
         QStringLiteral("Fichero a escribir: .pdf para hojas de etiquetas, .epl para EPL/2"), true},
        {QStringLiteral("copias"), QStringLiteral("N"),
         QStringLiteral("Copias de cada etiqueta; 1 por omisión")},
        {QStringLiteral("fila"), QStringLiteral("N"),
         QStringLiteral("Fila de la primera etiqueta en la primera hoja; 1 por omisión")},
        {QStringLiteral("columna"), QStringLiteral("N"),
         QStringLiteral("Columna de la primera etiqueta en la primera hoja; 1 por omisión")},
        {QStringLiteral("por-domicilio"), QString(),
         QStringLiteral("Una etiqueta por domicilio (misma dirección, código postal y localidad)")},
        {QStringLiteral("formatos"), QStringLiteral("CARPETA"),
         QStringLiteral("Carpeta de los formatos; por omisión los que acompañan al programa")},
        {QStringLiteral("librerias"), QStringLiteral("CARPETA"),
         QStringLiteral("Carpeta de la librería de etiquetas; por omisión ../lib del programa")},
    };
    opciones += opcionesOrden();
    opciones += OpcionesBaseDatos();
    opciones[opciones.size() - 3].obligatoria = true; // --db
    c.opciones = opciones;
    c.ejecutar = ejecutarEtiquetas;
    return c;
}

} // namespace quill::cli
