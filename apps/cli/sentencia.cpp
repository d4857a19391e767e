#include "sentencia.h"

#include "business/localidades.h"
#include "conditions/construir.h"
#include "sql/database.h"
#include "sql/lstbasesentencia.h"
#include "sql/lstsentpaciente.h"

#include <memory>

namespace quill::cli {

namespace {

const QString kConexion = QStringLiteral("listado-sentencia");

// Closes the connection when the command ends, whatever path it takes.
class ConexionAbierta {
public:
    ConexionAbierta() = default;
    ~ConexionAbierta() {
        if (!m_abierta) return;
        // The next database opened under this name must not see this one's localities.
        LocalidadCache::dropShared(kConexion);
        closeDatabase(kConexion);
    }
    ConexionAbierta(const ConexionAbierta&) = delete;
    ConexionAbierta& operator=(const ConexionAbierta&) = delete;
    void marcar() { m_abierta = true; }
    bool abierta() const { return m_abierta; }

private:
    bool m_abierta = false;
};

int ejecutar(const Opciones& o, QTextStream& salida, QTextStream& errores) {
    bool ok = false;
    const QString textoId = o.valor(QStringLiteral("id")).trimmed();
    FilaCondicion fila;
    fila.id = QString(textoId).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok) {
        errores << QStringLiteral("El identificador del campo ('--id') debe ser un número: '%1'\n")
                       .arg(textoId);
        return kSalidaUso;
    }
    fila.condicion = o.valor(QStringLiteral("condicion"));
    if (!operador::Todos.contains(fila.condicion)) {
        errores << QStringLiteral("Operador desconocido: '%1'. Escríbalo como en la rejilla: %2\n")
                       .arg(fila.condicion, QLatin1Char('"') +
                                                operador::Todos.join(QStringLiteral("\", \"")) +
                                                QLatin1Char('"'));
        return kSalidaUso;
    }
    fila.condicion1 = o.valor(QStringLiteral("valor1"));
    fila.condicion2 = o.valor(QStringLiteral("valor2"));

    qint16 tipoListado = 0;
    if (o.tiene(QStringLiteral("tipo-listado"))) {
        const QString texto = o.valor(QStringLiteral("tipo-listado")).trimmed();
        tipoListado = static_cast<qint16>(texto.toInt(&ok));
        if (!ok || tipoListado < 2 || tipoListado > 4) {
            errores << QStringLiteral(
                           "El tipo de listado ('--tipo-listado') debe ser 2 (graduación), "
                           "3 (lentillas) o 4 (audífonos): '%1'\n")
                           .arg(texto);
            return kSalidaUso;
        }
    }

    const CampoEspecial especial = CampoEspecialDe(fila.id);
    const bool necesitaBase =
        especial == CampoEspecial::CodigoPostal || especial == CampoEspecial::Provincia;
    ConexionAbierta conexion;
    if (o.tiene(QStringLiteral("db"))) {
        const QString error = AbrirBaseDatos(o, kConexion);
        if (!error.isEmpty()) {
            errores << error << QLatin1Char('\n');
            return kSalidaUso;
        }
        conexion.marcar();
    } else if (necesitaBase) {
        errores << QStringLiteral("El campo %1 busca localidades en la base de datos de la tienda: "
                                  "indique '--db'\n")
                       .arg(textoId);
        return kSalidaUso;
    }

    QStringList ids;
    for (const QString& id :
         o.valor(QStringLiteral("ids")).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (!id.trimmed().isEmpty()) ids << id.trimmed();
    }

    ResultadoCondicion r;
    QStringList tablas;
    {
        // The builder goes before the connection it reads through is closed.
        auto constructor =
            std::make_unique<TLstSentPaciente>(conexion.abierta() ? kConexion : QString());
        if (tipoListado != 0) constructor->setTipoListado(tipoListado);
        r = ConstruirCondicion(*constructor, fila, ids);
        tablas = constructor->Tablas();
    }
    if (r.codigo != kCondicionConstruida) {
        errores << r.mensaje << QLatin1Char('\n');
        if (!r.detalle.isEmpty() && r.detalle != r.mensaje)
            errores << r.detalle << QLatin1Char('\n');
        return kSalidaRechazo;
    }
    switch (especial) {
    case CampoEspecial::TipoPrescripcion:
        errores << QStringLiteral("El campo %1 no construye fragmento: su valor elige el tipo de "
                                  "prescripción que se imprime\n")
                       .arg(textoId);
        break;
    case CampoEspecial::Deuda:
        errores << QStringLiteral("El campo %1 no construye fragmento: el listado de encargos "
                                  "pendientes aplica la deuda después de la consulta\n")
                       .arg(textoId);
        break;
    case CampoEspecial::Articulos:
        errores << QStringLiteral("El campo %1 toma sus condiciones del buscador de artículos: "
                                  "no construye fragmento por sí mismo\n")
                       .arg(textoId);
        break;
    default:
        break;
    }
    salida << (r.conSentencia ? r.sentencia : QString()) << QLatin1Char('\n');
    salida << QStringLiteral("Tablas: ") << tablas.join(QStringLiteral(", ")) << QLatin1Char('\n');
    return kSalidaCorrecta;
}

} // namespace

Comando ComandoSentencia() {
    Comando c;
    c.nombre = QStringLiteral("sentencia");
    c.resumen = QStringLiteral("Fragmento SQL de una condición, como lo construye la ventana");
    c.descripcion = QStringLiteral(
        "Construye la condición de una fila de la rejilla (campo del catálogo, operador y\n"
        "valores) igual que la ventana al guardar la fila, incluidos los campos especiales\n"
        "(código postal, provincia, fechas de ficha...).\n"
        "Escribe en la primera línea el fragmento tal como se construye (con sus espacios)\n"
        "y en la segunda \"Tablas: \" y las tablas que añade, separadas por \", \".\n"
        "Un valor rechazado escribe el mensaje de error en la salida de errores y termina\n"
        "con estado 2.");
    c.opciones = {
        {QStringLiteral("id"), QStringLiteral("ID"),
         QStringLiteral("Identificador del campo en el catálogo de filtros (Filtros.xml)"), true},
        {QStringLiteral("condicion"), QStringLiteral("OPERADOR"),
         QStringLiteral(
             "Operador como en la rejilla: \"Igual a...\", \"...Entre...\", \"Vacío\"..."),
         true},
        {QStringLiteral("valor1"), QStringLiteral("V"),
         QStringLiteral("Primer valor (el inicial con \"...Entre...\"); fechas dd/mm/aaaa")},
        {QStringLiteral("valor2"), QStringLiteral("V"),
         QStringLiteral("Segundo valor, sólo con \"...Entre...\"")},
        {QStringLiteral("ids"), QStringLiteral("\"ID;ID;...\""),
         QStringLiteral("Identificadores elegidos en la lista de valores del campo")},
        {QStringLiteral("tipo-listado"), QStringLiteral("N"),
         QStringLiteral("Campos de artículo: 2 graduación, 3 lentillas, 4 audífonos")},
    };
    c.opciones += OpcionesBaseDatos();
    c.ejecutar = ejecutar;
    return c;
}

} // namespace quill::cli
