#include "lstutil.h"

#include "business/consultas.h"
#include "business/localidades.h"
#include "business/maestros.h"

#include <QSqlQuery>
#include <QVariant>

#include <cmath>

namespace quill {

namespace {

const QString kFechaVacia = QStringLiteral("30/12/1899");
const QString kFechaAbierta = QStringLiteral("30/05/2079");

// A stored measurement as a number; users and older data write decimal commas.
std::optional<double> leerNumero(const QString& texto) {
    QString limpio = texto.trimmed();
    limpio.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double valor = limpio.toDouble(&ok);
    if (!ok || !std::isfinite(valor)) return std::nullopt;
    return valor;
}

// The marker texts shared by the three measurement forms; nullopt when v is a plain value.
std::optional<QString> marcador(double valor, double vacio) {
    if (valor == vacio) return QString();
    if (valor == 99) return QStringLiteral("Compen");
    if (valor == 97) return QStringLiteral("Neutro");
    return std::nullopt;
}

QString codigo(int valor, std::initializer_list<const char*> textos) {
    if (valor < 0 || valor >= static_cast<int>(textos.size())) return {};
    return QString::fromUtf8(textos.begin()[valor]);
}

} // namespace

TLstUtil::TLstUtil(const QString& connectionName)
    : m_connectionName(connectionName), m_segunda{QStringLiteral("Pts"), 0} {}

TLstUtil::~TLstUtil() = default;

const QString& TLstUtil::devolver(QString texto) {
    m_resultado = std::move(texto);
    return m_resultado;
}

QString TLstUtil::Fecha(const QString& fecha) {
    return devolver(fecha == kFechaVacia || fecha == kFechaAbierta ? QString() : fecha);
}

QString TLstUtil::Importe(double importe, bool segundaMoneda) {
    return devolver(textoMoneda(importe, segundaMoneda ? m_segunda : m_primera));
}

QString TLstUtil::Numero(double valor) {
    const QString texto = formatNumber(valor, 2, true);
    return devolver(texto.isEmpty() ? texto : texto + QLatin1Char(' '));
}

QString TLstUtil::Porcentaje(double valor) {
    const QString texto = formatNumber(valor, 2, true);
    return devolver(texto.isEmpty() ? texto : texto + QStringLiteral(" %"));
}

QString TLstUtil::PorcentajeCorto(double valor) {
    const QString texto = formatNumber(valor, 2, false);
    return devolver(texto.isEmpty() ? texto : texto + QStringLiteral(" %"));
}

QString TLstUtil::Par(const QString& primero, const QString& segundo) {
    return devolver(primero + QStringLiteral(" / ") + segundo);
}

QString TLstUtil::SiNo(int valor) {
    return devolver(codigo(valor, {"No", "Si"}));
}

QString TLstUtil::Sexo(int valor) {
    return devolver(codigo(valor, {"", "Hombre", "Mujer"}));
}

QString TLstUtil::EstadoDocumento(int valor) {
    return devolver(codigo(valor, {"Venta", "E.Terminado", "E.Pendiente", "E.Borrado"}));
}

QString TLstUtil::EstadoPedido(int valor) {
    return devolver(codigo(valor, {"No", "Si", "PP", "PR"}));
}

QString TLstUtil::EstadoAviso(int valor) {
    return devolver(codigo(valor, {"No", "Si", "PA", "AV"}));
}

QString TLstUtil::Decimal(double valor) {
    return devolver(formatNumber(valor, 2, false));
}

QString TLstUtil::Decimal1(double valor) {
    return devolver(formatNumber(valor, 1, false));
}

QString TLstUtil::Graduacion(const QString& valor) {
    const auto numero = leerNumero(valor);
    if (!numero) return devolver({});
    if (const auto texto = marcador(*numero, 98)) return devolver(*texto);
    const QString cifra = formatNumber(*numero, 2, false);
    const QString guardado = valor.trimmed();
    const bool conSigno =
        guardado.startsWith(QLatin1Char('+')) || guardado.startsWith(QLatin1Char('-'));
    return devolver(conSigno ? cifra : QLatin1Char('+') + cifra);
}

QString TLstUtil::Graduacion400(const QString& valor) {
    const auto numero = leerNumero(valor);
    if (!numero) return devolver({});
    if (const auto texto = marcador(*numero, 400)) return devolver(*texto);
    return devolver(formatNumber(*numero, 2, false));
}

QString TLstUtil::GraduacionSinSigno(const QString& valor) {
    const auto numero = leerNumero(valor);
    if (!numero) return devolver({});
    if (const auto texto = marcador(*numero, 98)) return devolver(*texto);
    return devolver(formatNumber(*numero, 2, false));
}

const LocalidadCache* TLstUtil::localidades() {
    if (!m_localidadesLeidas) {
        m_localidadesLeidas = true;
        if (!m_localidades) {
            auto cache = LocalidadCache::shared(m_connectionName);
            if (cache->isLoaded())
                m_localidades = std::move(cache);
            else
                m_error = cache->error();
        }
    }
    return m_localidades.get();
}

QString TLstUtil::Localidad(int idLocalidad) {
    const LocalidadCache* cache = idLocalidad == 0 ? nullptr : localidades();
    if (!cache) return devolver(QStringLiteral("[No definida]"));
    const quill::Localidad* l = cache->byId(idLocalidad);
    if (!l) return devolver(QStringLiteral("[No Definida]"));
    return devolver(QStringLiteral("%1 - %2 (%3)")
                        .arg(l->codigoPostal, 5, 10, QLatin1Char('0'))
                        .arg(l->descripcion, l->provincia));
}

QString TLstUtil::NombreLocalidad(int idLocalidad) {
    const LocalidadCache* cache = idLocalidad == 0 ? nullptr : localidades();
    const quill::Localidad* l = cache ? cache->byId(idLocalidad) : nullptr;
    return devolver(l ? l->descripcion : QStringLiteral("[No Definida]"));
}

QString TLstUtil::NombreProvincia(int idLocalidad) {
    const LocalidadCache* cache = idLocalidad == 0 ? nullptr : localidades();
    const quill::Localidad* l = cache ? cache->byId(idLocalidad) : nullptr;
    return devolver(l ? l->provincia : QStringLiteral("[No Definida]"));
}

QString TLstUtil::CodigoPostal(int idLocalidad) {
    const LocalidadCache* cache = idLocalidad == 0 ? nullptr : localidades();
    const quill::Localidad* l = cache ? cache->byId(idLocalidad) : nullptr;
    return devolver(l ? QStringLiteral("%1").arg(l->codigoPostal, 5, 10, QLatin1Char('0'))
                      : QStringLiteral("99999"));
}

QString TLstUtil::Edad(const QString& fecha) {
    const QString texto = fecha.trimmed().section(QLatin1Char(' '), 0, 0);
    if (texto == kFechaVacia) return devolver({});
    QDate nacimiento = QDate::fromString(texto, QStringLiteral("d/M/yyyy"));
    if (!nacimiento.isValid()) return devolver({});
    const QDate hoy = m_hoy.isValid() ? m_hoy : QDate::currentDate();
    // Whole years as the shop program has always counted them: days apart over 365.25.
    const qint64 dias = std::llabs(nacimiento.daysTo(hoy));
    return devolver(QString::number(static_cast<qint64>(static_cast<double>(dias) / 365.25)));
}

QString TLstUtil::Movil(const QString& telefono) {
    if (telefono.size() < 9) return devolver({});
    const QChar primero = telefono.at(0);
    if (primero != QLatin1Char('6') && primero != QLatin1Char('7')) return devolver({});
    QString cifras;
    for (QChar c : telefono) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) continue;
        cifras.append(c);
        if (cifras.size() > 9) return devolver({});
    }
    return devolver(cifras.size() == 9 ? cifras : QString());
}

bool TLstUtil::tieneFicha(std::optional<QSet<int>>& pacientes, const char* sql, int idPaciente) {
    if (!pacientes) {
        QSqlQuery query;
        const QString error = runMasterSelect(m_connectionName, QString::fromUtf8(sql),
                                              QStringLiteral("las fichas de los pacientes"), query);
        if (!error.isEmpty()) {
            m_error = error;
            return false; // not kept: the next test tries again
        }
        QSet<int> leidos;
        while (query.next())
            leidos.insert(query.value(0).toInt());
        pacientes = std::move(leidos);
    }
    return pacientes->contains(idPaciente);
}

bool TLstUtil::TieneLentillas(int idPaciente) {
    return tieneFicha(m_conLentillas,
                      "SELECT DISTINCT ID_PACIENTE FROM MLENTILLA WHERE ID_MLENTILLA <> 0",
                      idPaciente);
}

bool TLstUtil::TieneGraduacion(int idPaciente) {
    return tieneFicha(m_conGraduacion,
                      "SELECT DISTINCT ID_PACIENTE FROM MGRADUACION WHERE ID_MGRADUACION <> 0",
                      idPaciente);
}

void TLstUtil::OlvidarFichas() {
    m_conLentillas.reset();
    m_conGraduacion.reset();
    if (!m_localidades) m_localidadesLeidas = false; // a locality read that failed is tried again
}

QString TLstUtil::DescripcionTLentilla(int idTLentilla) {
    if (!m_tiposLentilla) {
        auto cache = MaestroCache::shared(m_connectionName, {QStringLiteral("TLENTILLA"),
                                                             QStringLiteral("ID_TLENTILLA"),
                                                             {QStringLiteral("DESCRIPCION")}});
        if (!cache->isLoaded()) {
            m_error = cache->error();
            return devolver({});
        }
        m_tiposLentilla = std::move(cache);
    }
    return devolver(m_tiposLentilla->descripcion(idTLentilla));
}

void TLstUtil::setMonedas(const Moneda& primera, const Moneda& segunda) {
    m_primera = primera;
    m_segunda = segunda;
}

void TLstUtil::setLocalidades(std::shared_ptr<LocalidadCache> cache) {
    m_localidades = std::move(cache);
    m_localidadesLeidas = m_localidades != nullptr;
}

void TLstUtil::setTiposLentilla(std::shared_ptr<MaestroCache> cache) {
    m_tiposLentilla = std::move(cache);
}

void TLstUtil::setFichas(const QSet<int>& pacientesConLentillas,
                         const QSet<int>& pacientesConGraduacion) {
    m_conLentillas = pacientesConLentillas;
    m_conGraduacion = pacientesConGraduacion;
}

} // namespace quill
