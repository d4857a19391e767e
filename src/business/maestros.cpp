#include "maestros.h"

#include "consultas.h"

#include <QCollator>
#include <QLocale>
#include <QMutex>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QVariant>

#include <algorithm>
#include <map>

namespace quill {

namespace {

bool isPlainName(const QString& name) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,62}$"));
    return re.match(name).hasMatch();
}

const QCollator& spanishCollator() {
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Spanish, QLocale::Spain));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

bool itemLess(const ItemMaestro& a, const ItemMaestro& b) {
    const int byName = spanishCollator().compare(a.descripcion, b.descripcion);
    return byName != 0 ? byName < 0 : a.id < b.id;
}

QString sinAcentos(const QString& texto) {
    QString llano;
    for (const QChar c : texto.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing) llano += c;
    return llano;
}

QString sharedKey(const QString& connectionName, const MaestroDef& def) {
    return connectionName + QLatin1Char('\n') + MaestroCache::selectFor(def);
}

QMutex g_sharedMutex;
std::map<QString, std::shared_ptr<MaestroCache>>& sharedMasters() {
    static std::map<QString, std::shared_ptr<MaestroCache>> masters;
    return masters;
}

} // namespace

QString MaestroCache::selectFor(const MaestroDef& def) {
    if (!isPlainName(def.tabla) || !isPlainName(def.clave) || def.descripcion.isEmpty()) return {};
    for (const QString& column : def.descripcion)
        if (!isPlainName(column)) return {};
    return QStringLiteral("SELECT %1, %2 FROM %3")
        .arg(def.clave, def.descripcion.join(QStringLiteral(", ")), def.tabla);
}

QString MaestroCache::load(const QString& connectionName, const MaestroDef& def) {
    m_items.clear();
    m_byId.clear();
    m_loaded = false;
    const QString sql = selectFor(def);
    if (sql.isEmpty()) {
        m_error = QStringLiteral("La tabla maestra '%1' no está bien definida").arg(def.tabla);
        return m_error;
    }
    QSqlQuery query;
    m_error =
        runMasterSelect(connectionName, sql, QStringLiteral("la tabla %1").arg(def.tabla), query);
    if (!m_error.isEmpty()) return m_error;
    const int columns = 1 + static_cast<int>(def.descripcion.size());
    while (query.next()) {
        QStringList parts;
        for (int c = 1; c < columns; ++c) {
            const QString part = query.value(c).toString().trimmed();
            if (!part.isEmpty()) parts.append(part);
        }
        const ItemMaestro item{query.value(0).toInt(), parts.join(QLatin1Char(' '))};
        if (m_byId.contains(item.id)) continue; // a key read twice keeps its first description
        m_byId.insert(item.id, item.descripcion);
        m_items.append(item);
    }
    std::stable_sort(m_items.begin(), m_items.end(), itemLess);
    m_loaded = true;
    return {};
}

void MaestroCache::add(int id, const QString& descripcion) {
    m_items.removeIf([id](const ItemMaestro& item) { return item.id == id; });
    const ItemMaestro item{id, descripcion};
    m_byId.insert(id, descripcion);
    m_items.insert(std::upper_bound(m_items.begin(), m_items.end(), item, itemLess), item);
}

QStringList MaestroCache::nombres() const {
    QStringList list;
    list.reserve(m_items.size());
    for (const ItemMaestro& item : m_items)
        list.append(item.descripcion);
    return list;
}

QStringList MaestroCache::ids() const {
    QStringList list;
    list.reserve(m_items.size());
    for (const ItemMaestro& item : m_items)
        list.append(QString::number(item.id));
    return list;
}

bool MaestroCache::contains(int id) const {
    return m_byId.contains(id);
}

QString MaestroCache::descripcion(int id) const {
    return m_byId.value(id);
}

std::optional<int> MaestroCache::idDeNombre(const QString& nombre) const {
    const QString buscado = nombre.trimmed();
    for (const ItemMaestro& item : m_items)
        if (item.descripcion == buscado) return item.id;
    for (const ItemMaestro& item : m_items)
        if (item.descripcion.compare(buscado, Qt::CaseInsensitive) == 0) return item.id;
    // Fixed value lists write some names without their accents ("Audifono").
    const QString llano = sinAcentos(buscado);
    for (const ItemMaestro& item : m_items)
        if (sinAcentos(item.descripcion).compare(llano, Qt::CaseInsensitive) == 0) return item.id;
    return std::nullopt;
}

std::shared_ptr<MaestroCache> MaestroCache::shared(const QString& connectionName,
                                                   const MaestroDef& def) {
    QMutexLocker lock(&g_sharedMutex);
    auto& masters = sharedMasters();
    const QString key = sharedKey(connectionName, def);
    auto it = masters.find(key);
    if (it != masters.end()) return it->second;
    auto cache = std::make_shared<MaestroCache>();
    if (cache->load(connectionName, def).isEmpty()) masters.emplace(key, cache);
    return cache;
}

void MaestroCache::dropShared(const QString& connectionName) {
    QMutexLocker lock(&g_sharedMutex);
    auto& masters = sharedMasters();
    const QString prefix = connectionName + QLatin1Char('\n');
    for (auto it = masters.begin(); it != masters.end();)
        it = it->first.startsWith(prefix) ? masters.erase(it) : std::next(it);
}

} // namespace quill
