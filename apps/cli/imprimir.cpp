#include "imprimir.h"

#include "ejecucion.h"
#include "listados.h"

#include "actions/imprimir.h"
#include "business/moneda.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <limits>

namespace quill::cli {

namespace {

// The report type named on the command line: a number, or the type's name as the print options
// list it ("resumido", "detalle"), in any case. -1 when it is neither.
int tipoInforme(const DescriptorListado& d, const QString& texto) {
    const QString t = texto.trimmed();
    if (t.isEmpty()) return 0;
    bool ok = false;
    const int n = t.toInt(&ok);
    if (ok) return n >= 0 && n < std::max<qsizetype>(d.tiposInforme.size(), 2) ? n : -1;
    for (int i = 0; i < d.tiposInforme.size(); ++i)
        if (d.tiposInforme[i].compare(t, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int ejecutarImprimir(const Opciones& o, QTextStream& salida, QTextStream& errores) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        errores << QStringLiteral("No se puede imprimir sin el motor gráfico de la aplicación\n");
        return kSalidaUso;
    }
    qint16 orden = 3, sentido = 0;
    if (!leerEntero(o, QStringLiteral("orden"), 3, orden, errores) ||
        !leerEntero(o, QStringLiteral("sentido"), 0, sentido, errores))
        return kSalidaUso;
    const QString fichero = o.valor(QStringLiteral("fichero"));
    if (fichero.trimmed().isEmpty()) {
        errores << QStringLiteral("Debe indicar un nombre para el fichero\n");
        return kSalidaUso;
    }
    Sesion s;
    if (const int estado = preparar(o, errores, true, accion::Imprimir, s); estado >= 0)
        return estado;
    EjecutorListado& e = *s.ejecutor;
    const DescriptorListado& d = e.Descriptor();
    const QString motivo = MotivoAccionNoDisponible(d, accion::Imprimir);
    if (!motivo.isEmpty()) {
        errores << motivo << QLatin1Char('\n');
        return kSalidaRechazo;
    }
    const int tipo = tipoInforme(d, o.valor(QStringLiteral("informe")));
    if (tipo < 0) {
        errores << QStringLiteral("Informe desconocido: '%1'. Use %2\n")
                       .arg(o.valor(QStringLiteral("informe")),
                            d.tiposInforme.isEmpty()
                                ? QStringLiteral("0")
                                : d.tiposInforme.join(QStringLiteral(", ")).toLower());
        return kSalidaUso;
    }
    ConfiguracionImpresion opciones;
    opciones.Orden = orden;
    opciones.Sentido = sentido;
    opciones.Tipo = static_cast<qint16>(tipo);
    opciones.Formato = static_cast<qint16>(tipo);
    opciones.DatosEmpresa = !o.tiene(QStringLiteral("sin-empresa"));
    opciones.Condiciones = !o.tiene(QStringLiteral("sin-condiciones"));
    const QString moneda = o.valor(QStringLiteral("moneda")).trimmed();
    if (!moneda.isEmpty() && moneda != QLatin1String("1") && moneda != QLatin1String("2")) {
        errores << QStringLiteral("El valor de '--moneda' debe ser 1 o 2: '%1'\n").arg(moneda);
        return kSalidaUso;
    }
    opciones.Moneda = moneda == QLatin1String("2") ? 1 : 0;
    opciones.Observaciones = o.tiene(QStringLiteral("observaciones"));
    opciones.Agrupar = !o.tiene(QStringLiteral("sin-agrupar"));
    opciones.ImprimirTitulo = !o.tiene(QStringLiteral("sin-titulo"));
    opciones.NumerarPaginas = !o.tiene(QStringLiteral("sin-paginas"));
    opciones.Fecha = !o.tiene(QStringLiteral("sin-fecha"));
    if (o.tiene(QStringLiteral("numerar"))) {
        // The first number, a whole number from 0 as the print options take it.
        bool ok = false;
        const QString texto = o.valor(QStringLiteral("numerar")).trimmed();
        const qint64 n = texto.toLongLong(&ok);
        if (!ok || n < 0 || n > std::numeric_limits<qint32>::max()) {
            errores << QStringLiteral("El valor de '--numerar' debe ser un número entero no "
                                      "negativo: '%1'\n")
                           .arg(o.valor(QStringLiteral("numerar")));
            return kSalidaUso;
        }
        opciones.Numerar = true;
        opciones.NOrden = static_cast<qint32>(n);
    }
    const QString textoMoneda = opciones.Moneda == 1 ? QStringLiteral("Pts") : Moneda().simbolo;

    const qint16 r = e.Ejecutar(orden, sentido, !o.tiene(QStringLiteral("cualquiera")));
    if (r != kListadoCorrecto) return informarResultado(r, e, errores);
    QString error;
    int paginas = 0;
    QStringList avisos;
    {
        auto informe =
            PrepararInforme(d, *e.Modulo(), opciones, textoMoneda, e.Modulo()->LeerCondiciones(),
                            e.Modulo()->Conexion(), error);
        if (informe) {
            error = informe->EscribirPdf(fichero, &paginas);
            avisos = informe->Errores();
        }
    }
    e.Cerrar();
    for (const QString& a : avisos)
        errores << QStringLiteral("Listado - Pacientes: ") << a << QLatin1Char('\n');
    if (!error.isEmpty()) {
        errores << error << QLatin1Char('\n');
        return kSalidaRechazo;
    }
    salida << QStringLiteral("Páginas impresas: %1\n").arg(TextoConteo(paginas));
    return kSalidaCorrecta;
}

} // namespace

Comando ComandoImprimir() {
    Comando c;
    c.nombre = QStringLiteral("imprimir");
    c.resumen = QStringLiteral("Escribe el informe de un listado en PDF, sin la ventana");
    c.descripcion =
        QStringLiteral("Ejecuta el listado y escribe su informe impreso (el de la vista previa "
                       "de la ventana)\ncomo fichero PDF A4. Escribe en la salida el número de "
                       "páginas.\n") +
        QStringLiteral(
            "Estado de salida: 0 correcto; 1 ningún paciente cumple las condiciones, orden u "
            "opciones incorrectas, o base de datos inaccesible; 2 condiciones rechazadas, "
            "informe no disponible, error interno o fichero que no puede escribirse.");
    QList<DefinicionOpcion> opciones = opcionesListado(true);
    opciones += {
        {QStringLiteral("informe"), QStringLiteral("resumido|detalle|N"),
         QStringLiteral("Tipo de informe (o formato de las prescripciones); resumido por "
                        "omisión")},
        {QStringLiteral("fichero"), QStringLiteral("FICHERO.pdf"),
         QStringLiteral("Fichero PDF a escribir"), true},
        {QStringLiteral("sin-empresa"), QString(),
         QStringLiteral("No imprime los datos de la empresa al pie")},
        {QStringLiteral("sin-condiciones"), QString(),
         QStringLiteral("No imprime las condiciones del listado")},
        {QStringLiteral("moneda"), QStringLiteral("1|2"),
         QStringLiteral("Moneda de los importes (encargos pendientes y consumo): 1 (por "
                        "omisión) o 2")},
        {QStringLiteral("sin-titulo"), QString(),
         QStringLiteral("No imprime el título del listado")},
        {QStringLiteral("sin-paginas"), QString(), QStringLiteral("No numera las páginas")},
        {QStringLiteral("sin-fecha"), QString(),
         QStringLiteral("No imprime la fecha al pie de las páginas")},
        {QStringLiteral("numerar"), QStringLiteral("N"),
         QStringLiteral("Numera los registros impresos empezando por N")},
        {QStringLiteral("observaciones"), QString(),
         QStringLiteral("Imprime las observaciones de cada ficha (general, detalle)")},
        {QStringLiteral("sin-agrupar"), QString(),
         QStringLiteral("No agrupa las reposiciones por proveedor")},
    };
    opciones += opcionesOrden();
    opciones += OpcionesBaseDatos();
    opciones[opciones.size() - 3].obligatoria = true; // --db
    c.opciones = opciones;
    c.ejecutar = ejecutarImprimir;
    return c;
}

} // namespace quill::cli
