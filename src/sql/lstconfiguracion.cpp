#include "lstconfiguracion.h"

#include "business/localidades.h"
#include "business/maestros.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <span>

namespace quill {

namespace {

const char* const kIgual = "Igual a...";
const char* const kDistinto = "Distinto de...";
const char* const kMayor = "Mayor que...";
const char* const kMenor = "Menor que...";
const char* const kEntre = "...Entre...";
const char* const kVacio = "Vacío";
const char* const kNoVacio = "No Vacío";
const char* const kEmpieza = "Empieza por...";
const char* const kTermina = "Termine en...";
const char* const kContiene = "...Contiene...";

QStringList texts(std::initializer_list<const char*> items) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(items.size()));
    for (const char* item : items)
        list.append(QString::fromUtf8(item));
    return list;
}

// Operator code to text; the position is the code.
const char* const kOperadoresPorCodigo[] = {kIgual, kDistinto, kMayor,   kMenor,
                                            kEntre, kEmpieza,  kTermina, kContiene};

struct Valor {
    const char* nombre;
    int id;
};

struct ListaFija {
    qint16 codigo;
    std::span<const Valor> valores;
};

// Fixed value lists, names in the order the user sees them, each with the id stored in the
// database column the condition tests.
constexpr Valor kSexo[] = {{"Hombre", 1}, {"Mujer", 2}, {"Vacio", 0}};
constexpr Valor kNoSi[] = {{"No", 0}, {"Si", 1}};
constexpr Valor kFamiliaFicha[] = {{"Audiometría", 0},
                                   {"Graduación", 1},
                                   {"Contactología", 2},
                                   {"Optometría", 3},
                                   {"Opt. Reducida", 4}};
constexpr Valor kPropiaAjena[] = {{"Ajena", 1}, {"Propia", 0}, {"Vacío", -1}};
constexpr Valor kTipoGraduacion[] = {{"Bifocal", 2}, {"Cerca", 1},      {"Lejos", 0},
                                     {"Media", 5},   {"Multifocal", 6}, {"Progresivo", 3},
                                     {"Sol", 4}};
constexpr Valor kOjo[] = {{"Derecho", 1}, {"Izquierdo", 2}};
constexpr Valor kFichaRevision[] = {{"Audiometría", 3}, {"Graduación", 1}, {"Contactología", 2}};
constexpr Valor kTipoRevision[] = {{"Limpieza", 0}, {"Reposición", 2}, {"Revisión", 1}};
constexpr Valor kTipoArticulo[] = {
    {"Audifono", 4}, {"Cristal", 1}, {"Generico", 0}, {"Lentilla", 3}, {"Montura", 2}};
constexpr Valor kIndividualTotal[] = {{"Individual", 0}, {"Total", 1}};
constexpr Valor kPedido[] = {
    {"No", 0}, {"Si", 1}, {"Pendiente Pedir", 2}, {"Pendiente Recibir", 3}};
constexpr Valor kAviso[] = {{"Avisado", 3}, {"No", 0}, {"Pendiente Avisar", 2}, {"Si", 1}};
constexpr Valor kMeses[] = {{"Enero", 1},    {"Febrero", 2},    {"Marzo", 3},
                            {"Abril", 4},    {"Mayo", 5},       {"Junio", 6},
                            {"Julio", 7},    {"Agosto", 8},     {"Septiembre", 9},
                            {"Octubre", 10}, {"Noviembre", 11}, {"Diciembre", 12}};
constexpr Valor kTodasUltima[] = {{"Todas", 0}, {"Última", 1}};
constexpr Valor kEstadoDocumento[] = {{"Encargo Borrado", 3},
                                      {"Encargo Pendiente", 2},
                                      {"Encargo Terminado", 1},
                                      {"Venta Directa", 0}};
constexpr Valor kPeriodo[] = {{"Anual", 0}, {"Mensual", 1}, {"Trimestral", 2}};
constexpr Valor kTrimestre[] = {
    {"1er. Trimestre", 0}, {"2º Trimestre", 1}, {"3er. Trimestre", 2}, {"4º Trimestre", 3}};
constexpr Valor kFechaCobro[] = {{"Fecha de Cobro", 1}, {"Fecha de Operación", 0}};
constexpr Valor kPvp[] = {{"Usa P.V.P 1", 0}, {"Usa P.V.P 2", 1}};
constexpr Valor kAlmacenes[] = {{"Por Almacén", 1}, {"Todos los Almacenes", 0}};
constexpr Valor kMovimiento[] = {{"Compra", 2}, {"Entrada", 1}, {"Salida", 3}, {"Venta", 4}};
constexpr Valor kComprasVentas[] = {{"Compras", 1}, {"Ventas", 0}};
constexpr Valor kClientePaciente[] = {{"Cliente", 1}, {"Paciente", 0}};
constexpr Valor kTipoDocumento[] = {{"Albarán", 1}, {"Factura", 0}, {"Presupuesto", 2}};
constexpr Valor kRegimen[] = {{"B", 0}, {"Exportación", 1}, {"Normal", 2}};
constexpr Valor kCobrosVentas[] = {{"Cobros", 0}, {"Ventas y Encargos", 1}};
constexpr Valor kAmbos[] = {{"Ambos", 2}, {"Compras", 1}, {"Ventas", 0}};
constexpr Valor kPrecio[] = {{"Mantener P.V.P", 0}, {"Mantener Porcentaje", 1}, {"Preguntar", 2}};
constexpr Valor kComision[] = {
    {"Comisión Fija", 0}, {"Comisión Variable", 1}, {"Comisión por Familias", 2}};
constexpr Valor kEstadoPedido[] = {{"Cancelado", 5}, {"Confirmado", 2}, {"Creado", 0},
                                   {"Enviado", 1},   {"Recibido", 3},   {"Terminado", 4}};

const ListaFija kListasFijas[] = {
    {3, kSexo},
    {4, kNoSi},
    {6, kFamiliaFicha},
    {9, kPropiaAjena},
    {11, kTipoGraduacion},
    {13, kOjo},
    {14, kFichaRevision},
    {15, kTipoRevision},
    {20, kTipoArticulo},
    {26, kIndividualTotal},
    {28, kPedido},
    {29, kAviso},
    {30, kMeses},
    {31, kTodasUltima},
    {34, kEstadoDocumento},
    {35, kPeriodo},
    {36, kTrimestre},
    {38, kFechaCobro},
    {39, kPvp},
    {40, kAlmacenes},
    {42, kMovimiento},
    {52, kComprasVentas},
    {54, kClientePaciente},
    {55, kTipoDocumento},
    {56, kRegimen},
    {58, kCobrosVentas},
    {60, kAmbos},
    {61, kPrecio},
    {64, kComision},
    {68, kEstadoPedido},
};

const ListaFija* listaFija(qint16 codigo) {
    for (const ListaFija& lista : kListasFijas)
        if (lista.codigo == codigo) return &lista;
    return nullptr;
}

struct ListaMaestra {
    qint16 codigo;
    const char* tabla;
    const char* clave;
    const char* descripcion[2]; // one or two columns; the second may be null
};

// Database-backed lists: the master each one reads, its key (the id stored in the columns the
// conditions test) and the columns that make the shown name. Codes 1 and 2 come from the
// locality cache.
const ListaMaestra kListasMaestras[] = {
    {5, "TIENDA", "ID_TIENDA", {"DESCRIPCION"}},
    {7, "DOCTOR", "ID_DOCTOR", {"NOMBRE", "APELLIDOS"}},
    {8, "AGENTE", "ID_AGENTE", {"NOMBRE", "APELLIDOS"}},
    {12, "TLENTILLA", "ID_TLENTILLA", {"DESCRIPCION"}},
    {17, "FAMILIA", "ID_FAMILIA", {"DESCRIPCION"}},
    {18, "IVA", "ID_IVA", {"DESCRIPCION"}},
    {19, "PROVEEDOR", "ID_PROVEEDOR", {"NOMBRE"}},
    {21, "TRATAMIENTO", "ID_TRATAMIENTO", {"DESCRIPCION"}},
    {22, "MARCA", "ID_MARCA", {"DESCRIPCION"}},
    {24, "TCRISTAL", "ID_TCRISTAL", {"DESCRIPCION"}},
    {25, "MARCA", "ID_MARCA", {"DESCRIPCION"}},
    {27, "ALMACEN", "ID_ALMACEN", {"DESCRIPCION"}},
    {32, "GRUPO", "ID_GRUPO", {"DESCRIPCION"}},
    {33, "FORMA_PAGO", "ID_FORMA_PAGO", {"DESCRIPCION"}},
};

const ListaMaestra* listaMaestra(qint16 codigo) {
    for (const ListaMaestra& lista : kListasMaestras)
        if (lista.codigo == codigo) return &lista;
    return nullptr;
}

MaestroDef definicion(const ListaMaestra& lista) {
    MaestroDef def;
    def.tabla = QString::fromUtf8(lista.tabla);
    def.clave = QString::fromUtf8(lista.clave);
    for (const char* column : lista.descripcion)
        if (column) def.descripcion.append(QString::fromUtf8(column));
    return def;
}

constexpr qint16 kListaLocalidades = 1;
constexpr qint16 kListaProvincias = 2;

const QCollator& spanishCollator() {
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Spanish, QLocale::Spain));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

struct Item {
    int id;
    QString nombre;
};

void ordenarPorNombre(QList<Item>& items) {
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        const int c = spanishCollator().compare(a.nombre, b.nombre);
        return c != 0 ? c < 0 : a.id < b.id;
    });
}

} // namespace

TLstConfiguracion::TLstConfiguracion(const QString& connectionName)
    : m_connectionName(connectionName) {}

int TLstConfiguracion::CargarOperadores() {
    switch (m_tipoCampo) {
    case 0:
    case 2:
        m_operadores = texts({kIgual, kDistinto, kMayor, kMenor, kEntre, kVacio, kNoVacio});
        return Preparado;
    case 1:
        m_operadores = texts({kIgual, kDistinto, kEmpieza, kTermina, kContiene, kVacio, kNoVacio});
        return Preparado;
    case 3:
    case 5:
    case 6:
        m_operadores = texts({kIgual});
        return Preparado;
    case 4:
        m_operadores = texts({kIgual, kDistinto, kVacio, kNoVacio});
        return Preparado;
    case 7:
        m_operadores = texts({kIgual, kMayor, kMenor, kEntre});
        return Preparado;
    default:
        return SinLista;
    }
}

int TLstConfiguracion::CargarOperadoresCampo(double id, qint16 tipoObjeto) {
    if (OperadoresReducidos(id)) {
        m_operadores = texts({kIgual});
        return Preparado;
    }
    const int result = CargarOperadores();
    if (result == Preparado && m_tipoCampo == 1 && tipoObjeto == 16)
        m_operadores.append(QString::fromUtf8(kEntre));
    return result;
}

bool TLstConfiguracion::OperadoresReducidos(double id) {
    const int entero = static_cast<int>(id);
    return entero == 76 || entero == 116 || entero == 160 || entero == 462;
}

QString TLstConfiguracion::TextoOperador(int codigo) {
    if (codigo < 0 || codigo >= static_cast<int>(std::size(kOperadoresPorCodigo)))
        return QString::fromUtf8(kIgual);
    return QString::fromUtf8(kOperadoresPorCodigo[codigo]);
}

int TLstConfiguracion::CodigoOperador(const QString& texto) {
    for (int codigo = 0; codigo < static_cast<int>(std::size(kOperadoresPorCodigo)); ++codigo)
        if (texto == QString::fromUtf8(kOperadoresPorCodigo[codigo])) return codigo;
    return -1;
}

QString TLstConfiguracion::OperadorPorDefecto(qint16 tipoCampo, const PalabrasOperador& palabras) {
    switch (tipoCampo) {
    case 0:
        return TextoOperador(palabras.numero);
    case 1:
        return TextoOperador(palabras.texto);
    case 2:
        return TextoOperador(palabras.fecha);
    case 3:
    case 4:
    case 5:
        return QString::fromUtf8(kIgual);
    default:
        return {};
    }
}

bool TLstConfiguracion::EsListaFija(qint16 codigoLista) {
    return listaFija(codigoLista) != nullptr;
}

bool TLstConfiguracion::EsListaBaseDatos(qint16 codigoLista) {
    return codigoLista == kListaLocalidades || codigoLista == kListaProvincias ||
           listaMaestra(codigoLista) != nullptr;
}

int TLstConfiguracion::CargarValores(qint16 codigoLista) {
    m_nombres.clear();
    m_ids.clear();
    m_error.clear();
    if (const ListaFija* lista = listaFija(codigoLista)) {
        for (const Valor& valor : lista->valores) {
            m_nombres.append(QString::fromUtf8(valor.nombre));
            m_ids.append(QString::number(valor.id));
        }
        return Preparado;
    }
    if (EsListaBaseDatos(codigoLista)) return cargarListaBaseDatos(codigoLista);
    return SinLista;
}

int TLstConfiguracion::cargarListaBaseDatos(qint16 codigoLista) {
    QList<Item> items;
    if (codigoLista == kListaLocalidades || codigoLista == kListaProvincias) {
        LocalidadCache* cache = localidades();
        if (!cache->error().isEmpty()) {
            m_error = cache->error();
            return ErrorLectura;
        }
        if (codigoLista == kListaProvincias) {
            for (const Provincia& p : cache->provincias())
                items.append({p.id, p.descripcion});
        } else {
            for (int id : cache->allIds())
                items.append({id, cache->byId(id)->descripcion});
        }
        ordenarPorNombre(items);
    } else {
        const auto maestro =
            MaestroCache::shared(m_connectionName, definicion(*listaMaestra(codigoLista)));
        if (!maestro->error().isEmpty()) {
            m_error = maestro->error();
            return ErrorLectura;
        }
        for (const ItemMaestro& item : maestro->items())
            items.append({item.id, item.descripcion});
    }
    for (const Item& item : items) {
        m_nombres.append(item.nombre);
        m_ids.append(QString::number(item.id));
    }
    return Preparado;
}

QString TLstConfiguracion::IdDeNombre(const QString& nombre) const {
    const qsizetype i = m_nombres.indexOf(nombre);
    return i < 0 || i >= m_ids.size() ? QString() : m_ids.at(i);
}

QStringList TLstConfiguracion::IdsLocalidad(const QString& nombre) {
    QStringList ids;
    for (int id : localidades()->idsByName(nombre))
        ids.append(QString::number(id));
    return ids;
}

LocalidadCache* TLstConfiguracion::localidades() {
    // A failed read is retried on the next request rather than kept.
    if (!m_localidades || (!m_localidades->isLoaded() && !m_localidades->error().isEmpty()))
        m_localidades = LocalidadCache::shared(m_connectionName);
    return m_localidades.get();
}

QString TLstConfiguracion::Ayuda(qint16 columna) {
    switch (columna) {
    case 1:
        return QStringLiteral(
            "Campo de la base de datos sobre el que hacer el filtro. Despliegue la "
            "lista para ver por que campos puede filtrar");
    case 2:
        return QStringLiteral("Condición que se va a usar para buscar. Desplegue la lista para ver "
                              "cual puede usar");
    case 3:
        return QStringLiteral("Introduzca el texto a buscar. Si ha seleccionado el filtro ENTRE "
                              "escriba aquí la condición inicial y en el siguiente campo la "
                              "condición final.");
    case 4:
        return QStringLiteral(
            "Este campo sólo se tendrá en cuenta en caso de haber seleccionado el "
            "filtro ENTRE. Si desea añadir más condiciones de filtro vuelva a "
            "pulsar 'INSERT', 'F6' o el Botón 'Añadir Filtro'");
    default:
        return {};
    }
}

bool TLstConfiguracion::setModo(int modo) {
    if (modo < 0 || modo > 15) return false;
    m_modo = modo;
    return true;
}

} // namespace quill
