#pragma once

#include <QSqlQuery>
#include <QString>

namespace quill {

// Number of SELECT statements the business caches have run in this process. Caches promise one
// load per run; tests read this before and after a second request to see that nothing was re-read.
int masterQueryCount();

// Runs a fixed SELECT on the named connection and counts it. Returns an empty text on success,
// otherwise a Spanish message naming what was being read and the reason ("Error al leer las
// localidades: ...").
QString runMasterSelect(const QString& connectionName, const QString& sql, const QString& what,
                        QSqlQuery& query);

} // namespace quill
