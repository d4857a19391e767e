#include "comandos.h"

#include "correo.h"
#include "imprimir.h"
#include "etiquetas.h"
#include "listados.h"
#include "sentencia.h"
#include "sms.h"

#include "sql/database.h"

namespace quill::cli {

namespace {

const QString kAyuda = QStringLiteral("--ayuda");

bool pideAyuda(const QStringList& argumentos) {
    return argumentos.contains(kAyuda) || argumentos.contains(QStringLiteral("-h")) ||
           argumentos.contains(QStringLiteral("--help"));
}

} // namespace

QList<Comando> Comandos() {
    return {ComandoSentencia(), ComandoSql(), ComandoConteo(),  ComandoExportar(),
            ComandoCorreo(),    ComandoSMS(), ComandoImprimir(), ComandoEtiquetas()};
}

QString AyudaGeneral() {
    QString texto = QStringLiteral(
        "Uso: listado <orden> [opciones]\n"
        "     listado <orden> --ayuda\n"
        "\n"
        "Herramienta del listado de pacientes para el soporte técnico y para guiones.\n"
        "\n"
        "Órdenes:\n");
    for (const Comando& c : Comandos())
        texto += QStringLiteral("  ") + c.nombre.leftJustified(12) + c.resumen + QLatin1Char('\n');
    texto +=
        QStringLiteral("\nEstado de salida: 0 correcto; 1 orden u opciones incorrectas, o base "
                       "de datos inaccesible; 2 condición rechazada.\n");
    return texto;
}

QString AyudaComando(const Comando& comando) {
    return QStringLiteral("Uso: listado %1 [opciones]\n\n%2\n\nOpciones:\n%3")
        .arg(comando.nombre, comando.descripcion, AyudaOpciones(comando.opciones));
}

int EjecutarListado(const QStringList& argumentos, QTextStream& salida, QTextStream& errores) {
    if (argumentos.isEmpty()) {
        errores << AyudaGeneral();
        return kSalidaUso;
    }
    const QString orden = argumentos.first();
    if (orden == kAyuda || orden == QLatin1String("-h") || orden == QLatin1String("--help")) {
        salida << AyudaGeneral();
        return kSalidaCorrecta;
    }
    for (const Comando& c : Comandos()) {
        if (c.nombre != orden) continue;
        const QStringList resto = argumentos.mid(1);
        if (pideAyuda(resto)) {
            salida << AyudaComando(c);
            return kSalidaCorrecta;
        }
        Opciones opciones;
        const QString error = AnalizarOpciones(resto, c.opciones, opciones);
        if (!error.isEmpty()) {
            errores << error << QStringLiteral("\nConsulte: listado %1 --ayuda\n").arg(c.nombre);
            return kSalidaUso;
        }
        return c.ejecutar(opciones, salida, errores);
    }
    errores << QStringLiteral("Orden desconocida: '%1'\n\n").arg(orden) << AyudaGeneral();
    return kSalidaUso;
}

QList<DefinicionOpcion> OpcionesBaseDatos() {
    return {
        {QStringLiteral("db"), QStringLiteral("BASE"),
         QStringLiteral("Base de datos de la tienda: ruta local (motor embebido) o servidor:ruta")},
        {QStringLiteral("usuario"), QStringLiteral("U"),
         QStringLiteral("Usuario del servidor (por defecto SYSDBA)")},
        {QStringLiteral("clave"), QStringLiteral("C"), QStringLiteral("Clave del usuario")},
    };
}

QString AbrirBaseDatos(const Opciones& opciones, const QString& conexion) {
    const QString base = opciones.valor(QStringLiteral("db")).trimmed();
    if (base.isEmpty()) return QStringLiteral("Falta el nombre de la base de datos ('--db')");
    DbParams params;
    params.database = base;
    if (opciones.tiene(QStringLiteral("usuario")))
        params.user = opciones.valor(QStringLiteral("usuario"));
    params.password = opciones.valor(QStringLiteral("clave"));
    return openDatabase(conexion, params);
}

} // namespace quill::cli
