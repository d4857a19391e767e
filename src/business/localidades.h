#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <utility>

namespace quill {

struct Localidad {
    int id = 0;
    QString descripcion;
    int codigoPostal = 0;
    int idProvincia = 0;
    QString provincia;
};

struct Provincia {
    int id = 0;
    QString descripcion;
};

// Every locality of the shop database with its province, read once and kept in memory, so that
// listings resolve postal codes, names and provinces without one query per result row.
class LocalidadCache {
public:
    // Reads LOCALIDAD and PROVINCIA once (two SELECTs) and replaces the current contents.
    // Returns an empty text, or a Spanish message when the tables cannot be read (contents empty).
    QString load(const QString& connectionName);

    // Adds or replaces one locality (tests build in-memory caches with it; load uses it too).
    void add(const Localidad& localidad);
    // Adds or replaces one province; localities already added keep the province name they had.
    void addProvincia(const Provincia& provincia);

    // Null when the id is unknown. The pointer stays valid until the locality is replaced or the
    // cache is loaded again.
    const Localidad* byId(int id) const;
    // Localities whose name equals nombre, ignoring case and surrounding blanks; every match,
    // ordered by id. A shop database may hold one name under several provinces.
    QList<int> idsByName(const QString& nombre) const;
    // Localities whose postal code lies between the bounds, both inclusive; a bound of -1 (any
    // negative) leaves that side open. Ordered by id.
    QList<int> idsBetweenPostalCodes(int lower, int upper) const;
    // Every locality, ordered by id.
    QList<int> allIds() const { return idsBetweenPostalCodes(-1, -1); }
    // Localities of one province, ordered by id.
    QList<int> idsOfProvince(int idProvincia) const;

    // Provinces ordered by id; provinceName() is empty for an unknown id.
    QList<Provincia> provincias() const;
    QString provinceName(int idProvincia) const;

    int size() const { return static_cast<int>(m_byId.size()); }
    bool isLoaded() const { return m_loaded; }
    // The message of the last failed load(), empty otherwise.
    QString error() const { return m_error; }

    // The cache of a connection, loaded on the first call and kept for the rest of the run. When
    // the load fails the returned cache is empty, carries error(), and is not kept, so a later
    // call tries again.
    static std::shared_ptr<LocalidadCache> shared(const QString& connectionName);
    // Forgets the kept cache of a connection (a database replaced under the same name).
    static void dropShared(const QString& connectionName);

private:
    void removeFromIndexes(const Localidad& old);
    static QString nameKey(const QString& nombre);

    std::unordered_map<int, Localidad> m_byId;
    QHash<QString, QList<int>> m_byName;
    std::set<std::pair<int, int>> m_byPostalCode; // (postal code, id)
    QHash<int, QList<int>> m_byProvince;
    std::map<int, QString> m_provincias;
    bool m_loaded = false;
    QString m_error;
};

} // namespace quill
