#include "lstsentpaciente.h"

#include "business/localidades.h"
#include "business/maestros.h"
#include "catalogo.h"
#include "valores.h"

#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace quill {

namespace {

// Only the integer part of a catalogue id selects the entry.
std::optional<int> parteEntera(double id) {
    if (!std::isfinite(id)) return std::nullopt;
    const double t = std::trunc(id);
    if (t < std::numeric_limits<int>::min() || t > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(t);
}

// A postal code as typed: a number (decimal comma allowed), taken as a whole number.
int codigoPostal(const QString& valor) {
    const double n = checkedNumber(valor).toDouble();
    if (n < 0 || n > std::numeric_limits<int>::max()) refuseValue();
    return static_cast<int>(n);
}

int idEntero(const QString& valor) {
    bool ok = false;
    const int id = checkedId(valor).toInt(&ok);
    if (!ok) refuseValue();
    return id;
}

QStringList textos(const QList<int>& ids) {
    QStringList result;
    result.reserve(ids.size());
    for (int id : ids)
        result << QString::number(id);
    return result;
}

} // namespace

TLstSentPaciente::TLstSentPaciente(const QString& conexion) : TLstBaseSentencia(conexion) {}

TLstSentPaciente::~TLstSentPaciente() = default;

void TLstSentPaciente::AnadirTabla(const QString& tabla) {
    if (!m_tablas.contains(tabla, Qt::CaseSensitive)) m_tablas << tabla;
}

std::shared_ptr<LocalidadCache> TLstSentPaciente::localidades() {
    if (m_localidades) return m_localidades;
    auto cache = LocalidadCache::shared(conexion());
    // A cache that failed to load is not kept, so the next condition tries again.
    if (!cache->error().isEmpty()) throw Error(cache->error());
    m_localidades = cache;
    return cache;
}

std::shared_ptr<MaestroCache> TLstSentPaciente::maestro(const MaestroDef& def) {
    const QString clave = MaestroCache::selectFor(def);
    const auto it = m_maestros.find(clave);
    if (it != m_maestros.end()) return it->second;
    auto cache = MaestroCache::shared(conexion(), def);
    // A master that failed to load is not kept, so the next condition tries again.
    if (!cache->error().isEmpty()) throw Error(cache->error());
    m_maestros.emplace(clave, cache);
    return cache;
}

void TLstSentPaciente::setMaestro(const MaestroDef& def, std::shared_ptr<MaestroCache> cache) {
    m_maestros[MaestroCache::selectFor(def)] = std::move(cache);
}

void TLstSentPaciente::ResolverNombres(const MaestroDef& def) {
    QStringList ids;
    const QString& op = Condicion();
    // Emptiness tests read no names.
    if (op != operador::Vacio && op != operador::NoVacio) {
        const auto cache = maestro(def);
        for (const QString& nombre : Condicion1().split(QLatin1Char(';'))) {
            if (nombre.trimmed().isEmpty()) continue;
            if (const auto id = cache->idDeNombre(nombre)) ids << QString::number(*id);
        }
        if (ids.isEmpty() && (op == operador::IgualA || op == operador::DistintoDe))
            throw Error(QStringLiteral("Ninguno de los valores elegidos (%1) existe ya en la "
                                       "tabla %2")
                            .arg(Condicion1(), def.tabla));
    }
    if (!Lista()) setLista(&m_listaPropia);
    *Lista() = ids;
}

QString TLstSentPaciente::generar(bool consumo) {
    const auto id = parteEntera(Id());
    if (!id) return QString();
    const CatalogoSentencias& catalogo = CatalogoSentencias::instancia();
    const Familia* familia = catalogo.familia(*id);
    if (!familia) return QString();
    if (familia->porTipoListado != consumo) return consumo ? QString() : GenerarSentenciaConsumo();
    const EntradaCatalogo* entrada =
        catalogo.entrada(*id, familia->porTipoListado ? TipoListado() : qint16(0));
    if (!entrada) return QString();
    if (!entrada->nombres.tabla.isEmpty()) ResolverNombres(entrada->nombres);
    const QString fragmento = construirEntrada(*this, *entrada);
    // A condition that restricts nothing brings no table: a record table in FROM without its
    // join would multiply the patients, or drop them all when it is empty.
    if (fragmento.isEmpty()) return fragmento;
    for (const QString& tabla : entrada->tablas)
        AnadirTabla(tabla);
    return fragmento;
}

QString TLstSentPaciente::GenerarSentencia() {
    return generar(false);
}

QString TLstSentPaciente::GenerarSentenciaConsumo() {
    return generar(true);
}

QString TLstSentPaciente::CodigosPostales() {
    const QString op = Condicion();
    QString nuevo = operador::IgualA;
    int inferior = -1;
    int superior = -1;
    if (op == operador::IgualA || op == operador::DistintoDe) {
        inferior = superior = codigoPostal(Condicion1());
        nuevo = op;
    } else if (op == operador::MayorQue) {
        inferior = codigoPostal(Condicion1());
    } else if (op == operador::MenorQue) {
        superior = codigoPostal(Condicion1());
    } else if (op == operador::Entre) {
        inferior = codigoPostal(Condicion1());
        superior = codigoPostal(Condicion2());
    } else {
        // Vacío and No Vacío do not look at codes.
        return GenerarSentencia();
    }
    const QStringList ids = textos(localidades()->idsBetweenPostalCodes(inferior, superior));
    if (!Lista()) setLista(&m_listaPropia);
    *Lista() = ids;
    setCondicion(nuevo);
    return GenerarSentencia();
}

QString TLstSentPaciente::LocalidadesProvincia() {
    QList<int> provincias;
    for (const QString& item : itemsLista())
        provincias << idEntero(item);
    const auto cache = localidades();
    QList<int> ids;
    for (int provincia : std::as_const(provincias))
        ids << cache->idsOfProvince(provincia);
    if (!Lista()) setLista(&m_listaPropia);
    *Lista() = textos(ids);
    return GenerarSentencia();
}

QString TLstSentPaciente::SentenciaNumero(int centinela, const QString& columna) {
    // Users type decimal commas; the statement needs points.
    if (!Condicion1().isEmpty()) setCondicion1(QString(Condicion1()).replace(',', '.'));
    if (!Condicion2().isEmpty()) setCondicion2(QString(Condicion2()).replace(',', '.'));
    const QString& op = Condicion();
    QString result;
    if (op == operador::IgualA)
        result = QStringLiteral(" = ") + checkedNumber(Condicion1());
    else if (op == operador::DistintoDe)
        result = QStringLiteral(" != ") + checkedNumber(Condicion1());
    else if (op == operador::MayorQue)
        result = QStringLiteral(" > ") + checkedNumber(Condicion1());
    else if (op == operador::MenorQue)
        result = QStringLiteral(" < ") + checkedNumber(Condicion1());
    else if (op == operador::Entre)
        result = QStringLiteral(" BETWEEN ") + checkedNumber(Condicion1()) +
                 QStringLiteral(" AND ") + checkedNumber(Condicion2());
    else if (op == operador::Vacio)
        result = QStringLiteral(" = ") + QString::number(centinela);
    else if (op == operador::NoVacio)
        result = QStringLiteral(" != ") + QString::number(centinela);
    else
        return QString();
    // Rows holding the empty-value marker never match a comparison.
    if (centinela != 0 && !columna.isEmpty() && op != operador::Vacio)
        result +=
            QStringLiteral(" AND ") + columna + QStringLiteral(" != ") + QString::number(centinela);
    return result;
}

QString TLstSentPaciente::SentenciaFechaValor() {
    const QDate d1 = fecha1();
    const QDate d2 = fecha2();
    const QString vacia = QString::fromLatin1(kEmptySqlDate);
    if (Condicion() == operador::Vacio) return QStringLiteral(" = '") + vacia + "' ";
    if (Condicion() == operador::NoVacio) return QStringLiteral(" != '") + vacia + "'";
    return comparacionFecha(d1, d2);
}

QString TLstSentPaciente::SentenciaIn() {
    const QString& op = Condicion();
    // Emptiness does not depend on which patients were picked: the list is not used.
    if (op == operador::Vacio) return QStringLiteral("In (-1, 0)");
    if (op == operador::NoVacio) return QStringLiteral("Not In (-1, 0)");
    QString result;
    if (op == operador::IgualA)
        result = QStringLiteral("In (");
    else if (op == operador::DistintoDe)
        result = QStringLiteral("Not In (");
    const QStringList items = itemsLista();
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0) result += ',';
        result += checkedId(items.at(i));
    }
    return result + ')';
}

QString TLstSentPaciente::SentenciaListaSimple(const QString& columna) {
    return listaIds(columna, QStringLiteral(" != -1 "), QStringLiteral(" = -1 "));
}

QString TLstSentPaciente::ReemplazarTexto(const QString& texto, const QString& buscado,
                                          const QString& reemplazo) const {
    if (buscado.isEmpty()) return texto;
    return QString(texto).replace(buscado, reemplazo, Qt::CaseSensitive);
}

QString TLstSentPaciente::SentenciaEdad(const QString& columnaNacimiento) {
    QString op = Condicion();
    QString c1 = Condicion1();
    QString c2 = Condicion2();
    if (op == operador::IgualA) {
        op = operador::Entre;
        c2 = c1;
    }
    // The larger age gives the earlier birth date.
    if (!c1.isEmpty() && !c2.isEmpty()) std::swap(c1, c2);
    const QDate today = hoy();
    const auto nacimiento = [&today](QString& valor) {
        if (valor.isEmpty()) return;
        // addYears turns 29 February into 28 February in a year without it.
        const QDate fecha = today.addYears(-checkedWholeNumber(valor));
        if (!fecha.isValid() || fecha.year() < 1) refuseValue();
        valor = dateText(fecha);
    };
    nacimiento(c1);
    nacimiento(c2);
    // Someone is n years old from his n-th birthday until the day before the next one.
    const auto unAnoAntes = [&today](QString& valor) {
        valor = dateText(parseDate(valor, today).addDays(-364));
    };
    if (op == operador::MayorQue) {
        op = operador::MenorQue;
        unAnoAntes(c1);
    } else if (op == operador::MenorQue) {
        op = operador::MayorQue;
    } else if (op == operador::Entre) {
        unAnoAntes(c1);
    }
    setCondicion(op);
    setCondicion1(c1);
    setCondicion2(c2);
    return SentenciaFecha(columnaNacimiento);
}

} // namespace quill
