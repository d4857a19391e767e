#include "consultas.h"

#include <QSqlDatabase>
#include <QSqlError>

#include <atomic>

namespace quill {

namespace {
std::atomic<int> g_queryCount{0};
}

int masterQueryCount() {
    return g_queryCount.load();
}

QString runMasterSelect(const QString& connectionName, const QString& sql, const QString& what,
                        QSqlQuery& query) {
    if (!QSqlDatabase::contains(connectionName))
        return QStringLiteral("Error al leer %1: la conexión '%2' no existe")
            .arg(what, connectionName);
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!db.isOpen())
        return QStringLiteral("Error al leer %1: la base de datos no está abierta").arg(what);
    query = QSqlQuery(db);
    query.setForwardOnly(true);
    ++g_queryCount;
    if (!query.exec(sql))
        return QStringLiteral("Error al leer %1: %2").arg(what, query.lastError().text());
    return {};
}

} // namespace quill
