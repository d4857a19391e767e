#include "actions/registro_p.h"

#include "queries/tdmgeneral.h"

namespace quill {

namespace registro {

const QStringList kResumidoDetalle = {QStringLiteral("Resumido"), QStringLiteral("Detalle")};
const QList<qint16> kOrdenesBase = {3, 18, 21};

DescriptorListado General() {
    DescriptorListado d;
    d.codigo = 0;
    d.nombre = QStringLiteral("general");
    d.titulo = QStringLiteral("General");
    d.tituloCondiciones = QStringLiteral("Condiciones Listado General");
    d.metodos = {
        QStringLiteral("ImprimirListadoGeneral"), QStringLiteral("ImprimirEtiquetasGeneral"),
        QStringLiteral("ExportarListadoGeneral"), QStringLiteral("ConteoListadoGeneral"),
        QStringLiteral("EMailListadoGeneral"),    QStringLiteral("SMSListadoGeneral")};
    d.tiposInforme = kResumidoDetalle;
    d.ordenes = kOrdenesBase;
    d.informes = {QStringLiteral("ReportGeneralResumido"),
                  QStringLiteral("ReportGeneralDetallado")};
    d.crearModulo = [] { return std::make_unique<TdmGeneral>(); };
    d.exportacion = [](ListingModule& m, const QList<double>& ids) {
        auto& g = static_cast<TdmGeneral&>(m);
        // With the last-visit condition the run filled the last-visit table itself.
        if (g.Analisis().tablaUltimaVisita)
            return TablaSalida{g.memPacientesFecha,
                               ConfigurarGridExpListGeneralUltimaVisita(*g.memPacientesFecha)};
        g.CrearTablaPaciente();
        return TablaSalida{g.memPacientes, ConfigurarGridExpListGeneral(*g.memPacientes, ids)};
    };
    d.tablaSMS = [](ListingModule& m) {
        auto& g = static_cast<TdmGeneral&>(m);
        g.TablaSMS();
        return TablaSalida{g.memSMS, ConfigurarGridSMSExpListGeneral(*g.memSMS)};
    };
    // With the last-visit condition the per-patient table, otherwise the raw result.
    d.tablaCorreo = [](ListingModule& m) {
        auto& g = static_cast<TdmGeneral&>(m);
        return TablaCorreo{g.Analisis().tablaUltimaVisita ? g.memPacientesFecha : nullptr};
    };
    d.etiquetas = [](ListingModule& m) {
        auto& g = static_cast<TdmGeneral&>(m);
        if (g.Analisis().tablaUltimaVisita) return FuenteEtiquetas{g.memPacientesFecha, true};
        g.CrearTablaPaciente();
        return FuenteEtiquetas{g.memPacientes, true};
    };
    return d;
}

// A kind's routing and titles; the kind's own file adds the rest.
DescriptorListado DescriptorBase(qint16 codigo, const char* nombre, const char* titulo,
                                 const char* tituloCondiciones,
                                 std::array<const char*, 6> metodos) {
    DescriptorListado d;
    d.codigo = codigo;
    d.nombre = QString::fromLatin1(nombre);
    d.titulo = QString::fromUtf8(titulo);
    d.tituloCondiciones = QString::fromUtf8(tituloCondiciones);
    for (size_t i = 0; i < metodos.size(); ++i)
        d.metodos[i] = metodos[i] ? QString::fromLatin1(metodos[i]) : QString();
    return d;
}

} // namespace registro

namespace {

// Every kind's SMS goes through the General SMS method, which reports its failures.
QList<DescriptorListado> crear() {
    using namespace registro;
    QList<DescriptorListado> l = {General(),        Consumo(),      Encargos(), Fechas(),
                                  Prescripciones(), Reposiciones(), Garantias()};
    for (DescriptorListado& d : l)
        AnadirEnvioSMS(d);
    AnadirInformes(l);
    return l;
}

} // namespace

QString DescriptorListado::Metodo(qint16 codigoAccion) const {
    switch (codigoAccion) {
    case accion::Imprimir:
        return metodos[0];
    case accion::Etiqueta:
        return metodos[1];
    case accion::Exportar:
    case accion::FicheroSMS:
        return metodos[2];
    case accion::Conteo:
        return metodos[3];
    case accion::Correo:
        return metodos[4];
    case accion::SMS:
        return metodos[5];
    default:
        return QString();
    }
}

const QList<DescriptorListado>& Listados() {
    static const QList<DescriptorListado> listados = crear();
    return listados;
}

const DescriptorListado* Listado(int codigo) {
    const auto& l = Listados();
    return codigo >= 0 && codigo < l.size() ? &l[codigo] : nullptr;
}

int CodigoListado(const QString& texto) {
    const QString t = texto.trimmed();
    bool ok = false;
    const int n = t.toInt(&ok);
    if (ok) return Listado(n) ? n : -1;
    for (const DescriptorListado& d : Listados())
        if (t == d.nombre) return d.codigo;
    return -1;
}

QString NombreAccion(qint16 codigoAccion) {
    switch (codigoAccion) {
    case accion::Imprimir:
        return QStringLiteral("Imprimir");
    case accion::Etiqueta:
        return QStringLiteral("Etiqueta");
    case accion::Exportar:
        return QStringLiteral("Exportar");
    case accion::Conteo:
        return QStringLiteral("Conteo");
    case accion::Correo:
        return QStringLiteral("Correo Electrónico");
    case accion::SMS:
        return QStringLiteral("Envio SMS");
    case accion::FicheroSMS:
        return QStringLiteral("Fichero SMS");
    default:
        return QString();
    }
}

QString MotivoAccionNoDisponible(const DescriptorListado& d, qint16 codigoAccion) {
    const QString nombre = NombreAccion(codigoAccion);
    if (!d.Admite(codigoAccion))
        return QStringLiteral("El listado «%1» no tiene la acción «%2».")
            .arg(d.titulo, nombre.isEmpty() ? QString::number(codigoAccion) : nombre);
    bool construida = d.Disponible();
    switch (codigoAccion) {
    case accion::Exportar:
        construida = construida && bool(d.exportacion);
        break;
    case accion::FicheroSMS:
        construida = construida && bool(d.tablaSMS);
        break;
    case accion::Conteo:
        break;
    case accion::SMS:
        construida = construida && bool(d.telefonosSMS);
        break;
    case accion::Correo:
        construida = construida && bool(d.tablaCorreo);
        break;
    case accion::Imprimir:
        construida = construida && bool(d.crearInforme);
        break;
    case accion::Etiqueta:
        construida = construida && bool(d.etiquetas);
        break;
    default:
        construida = false;
    }
    if (construida) return QString();
    return QStringLiteral("La acción «%1» todavía no está disponible para el listado «%2».")
        .arg(nombre, d.titulo);
}

QString NombreOrden(qint16 orden) {
    switch (orden) {
    case 3:
        return QStringLiteral("Código");
    case 18:
        return QStringLiteral("Apellidos");
    case 21:
        return QStringLiteral("Direccion");
    case 22:
        return QStringLiteral("Fecha Nacimiento");
    case 23:
        return QStringLiteral("Fecha 1ª Visita");
    case 24:
        return QStringLiteral("Fecha Ult. Visita");
    case 26:
        return QStringLiteral("F. Garantía");
    case 27:
        return QStringLiteral("Consumo");
    default:
        return QString();
    }
}

} // namespace quill
