#include "localidades.h"

#include "consultas.h"

#include <QMutex>
#include <QMutexLocker>
#include <QVariant>

#include <algorithm>
#include <limits>
#include <map>

namespace quill {

namespace {

void insertSorted(QList<int>& ids, int id) {
    auto it = std::lower_bound(ids.begin(), ids.end(), id);
    if (it == ids.end() || *it != id) ids.insert(it, id);
}

void removeSorted(QHash<QString, QList<int>>& index, const QString& key, int id) {
    auto it = index.find(key);
    if (it == index.end()) return;
    it->removeOne(id);
    if (it->isEmpty()) index.erase(it);
}

QMutex g_sharedMutex;
std::map<QString, std::shared_ptr<LocalidadCache>>& sharedCaches() {
    static std::map<QString, std::shared_ptr<LocalidadCache>> caches;
    return caches;
}

} // namespace

QString LocalidadCache::nameKey(const QString& nombre) {
    return nombre.trimmed().toCaseFolded();
}

QString LocalidadCache::load(const QString& connectionName) {
    m_byId.clear();
    m_byName.clear();
    m_byPostalCode.clear();
    m_byProvince.clear();
    m_provincias.clear();
    m_loaded = false;
    m_error.clear();

    QSqlQuery query;
    m_error = runMasterSelect(connectionName,
                              QStringLiteral("SELECT ID_PROVINCIA, DESCRIPCION FROM PROVINCIA"),
                              QStringLiteral("las provincias"), query);
    if (!m_error.isEmpty()) return m_error;
    while (query.next())
        addProvincia({query.value(0).toInt(), query.value(1).toString().trimmed()});

    m_error = runMasterSelect(connectionName,
                              QStringLiteral("SELECT ID_LOCALIDAD, DESCRIPCION, CODIGO_POSTAL, "
                                             "ID_PROVINCIA FROM LOCALIDAD ORDER BY ID_LOCALIDAD"),
                              QStringLiteral("las localidades"), query);
    if (!m_error.isEmpty()) {
        m_provincias.clear();
        return m_error;
    }
    while (query.next()) {
        Localidad l;
        l.id = query.value(0).toInt();
        l.descripcion = query.value(1).toString().trimmed();
        l.codigoPostal = query.value(2).toInt();
        l.idProvincia = query.value(3).toInt();
        l.provincia = provinceName(l.idProvincia);
        add(l);
    }
    m_loaded = true;
    return {};
}

void LocalidadCache::removeFromIndexes(const Localidad& old) {
    removeSorted(m_byName, nameKey(old.descripcion), old.id);
    m_byPostalCode.erase({old.codigoPostal, old.id});
    auto it = m_byProvince.find(old.idProvincia);
    if (it != m_byProvince.end()) {
        it->removeOne(old.id);
        if (it->isEmpty()) m_byProvince.erase(it);
    }
}

void LocalidadCache::add(const Localidad& localidad) {
    auto found = m_byId.find(localidad.id);
    if (found != m_byId.end()) {
        removeFromIndexes(found->second);
        found->second = localidad;
    } else {
        m_byId.emplace(localidad.id, localidad);
    }
    insertSorted(m_byName[nameKey(localidad.descripcion)], localidad.id);
    m_byPostalCode.emplace(localidad.codigoPostal, localidad.id);
    insertSorted(m_byProvince[localidad.idProvincia], localidad.id);
}

void LocalidadCache::addProvincia(const Provincia& provincia) {
    m_provincias[provincia.id] = provincia.descripcion;
}

const Localidad* LocalidadCache::byId(int id) const {
    auto it = m_byId.find(id);
    return it == m_byId.end() ? nullptr : &it->second;
}

QList<int> LocalidadCache::idsByName(const QString& nombre) const {
    return m_byName.value(nameKey(nombre));
}

QList<int> LocalidadCache::idsBetweenPostalCodes(int lower, int upper) const {
    QList<int> ids;
    if (lower >= 0 && upper >= 0 && lower > upper) return ids;
    auto first = lower < 0 ? m_byPostalCode.begin()
                           : m_byPostalCode.lower_bound({lower, std::numeric_limits<int>::min()});
    auto last = upper < 0 ? m_byPostalCode.end()
                          : m_byPostalCode.upper_bound({upper, std::numeric_limits<int>::max()});
    for (auto it = first; it != last; ++it)
        ids.append(it->second);
    std::sort(ids.begin(), ids.end());
    return ids;
}

QList<int> LocalidadCache::idsOfProvince(int idProvincia) const {
    return m_byProvince.value(idProvincia);
}

QList<Provincia> LocalidadCache::provincias() const {
    QList<Provincia> list;
    list.reserve(static_cast<qsizetype>(m_provincias.size()));
    for (const auto& [id, descripcion] : m_provincias)
        list.append({id, descripcion});
    return list;
}

QString LocalidadCache::provinceName(int idProvincia) const {
    auto it = m_provincias.find(idProvincia);
    return it == m_provincias.end() ? QString() : it->second;
}

std::shared_ptr<LocalidadCache> LocalidadCache::shared(const QString& connectionName) {
    QMutexLocker lock(&g_sharedMutex);
    auto& caches = sharedCaches();
    auto it = caches.find(connectionName);
    if (it != caches.end()) return it->second;
    auto cache = std::make_shared<LocalidadCache>();
    if (cache->load(connectionName).isEmpty()) caches.emplace(connectionName, cache);
    return cache;
}

void LocalidadCache::dropShared(const QString& connectionName) {
    QMutexLocker lock(&g_sharedMutex);
    sharedCaches().erase(connectionName);
}

} // namespace quill
