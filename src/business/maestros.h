#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace quill {

// What a master table looks like to a value list: the table, its key column and the columns whose
// texts, joined by one blank, make the description. Only plain column names are accepted.
struct MaestroDef {
    QString tabla;
    QString clave;
    QStringList descripcion;
};

struct ItemMaestro {
    int id = 0;
    QString descripcion;
};

// The records of one master table as (id, description), read once and kept: value lists and
// report texts read it instead of querying per row. Items are ordered by description in Spanish
// collation, ignoring case, then by id.
class MaestroCache {
public:
    // Reads the whole table (one SELECT) and replaces the contents. Empty text, or a Spanish
    // message when the definition is not acceptable or the table cannot be read (contents empty).
    QString load(const QString& connectionName, const MaestroDef& def);

    // Adds or replaces one item, keeping the order.
    void add(int id, const QString& descripcion);

    const QList<ItemMaestro>& items() const { return m_items; }
    QStringList nombres() const;
    QStringList ids() const; // decimal integer texts, parallel to nombres()
    bool contains(int id) const;
    QString descripcion(int id) const; // empty for an unknown id
    // The id of the record a value list shows under this name: the first in list order whose
    // description is the name, else the first equal to it ignoring case, else ignoring accents
    // as well; none when no record has it. Surrounding blanks of the name do not count.
    std::optional<int> idDeNombre(const QString& nombre) const;

    bool isLoaded() const { return m_loaded; }
    QString error() const { return m_error; }

    // The cache of one table on one connection, read on the first call and kept for the run. A
    // failed read is returned (empty, with error()) but not kept, so a later call tries again.
    static std::shared_ptr<MaestroCache> shared(const QString& connectionName,
                                                const MaestroDef& def);
    // Forgets every kept master of a connection.
    static void dropShared(const QString& connectionName);

    // The SELECT that load() runs, or an empty text when the definition holds anything but plain
    // column and table names.
    static QString selectFor(const MaestroDef& def);

private:
    QList<ItemMaestro> m_items;
    QHash<int, QString> m_byId;
    bool m_loaded = false;
    QString m_error;
};

} // namespace quill
