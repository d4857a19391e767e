#include "business/acceso.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace quill {

int writeAccess(const OperationLog* log, int usuario, int ventana, int valor, QString* error) {
    auto fallo = [error](const QString& motivo) {
        if (error) *error = QStringLiteral("No se ha podido registrar el acceso: ") + motivo;
        return -1;
    };
    if (!log) return fallo(QStringLiteral("no hay registro de operaciones"));
    QSqlDatabase db = QSqlDatabase::database(log->connectionName, false);
    if (!db.isValid() || !db.isOpen())
        return fallo(QStringLiteral("la conexión \"%1\" no está abierta").arg(log->connectionName));

    // Outside a transaction opened by the host the driver commits the row at once.
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO ACCESO (ID_USUARIO, VENTANA, FECHA, VALOR) VALUES (?, ?, "
                             "CURRENT_TIMESTAMP, ?)"));
    q.addBindValue(usuario);
    q.addBindValue(ventana);
    q.addBindValue(valor);
    if (!q.exec()) return fallo(q.lastError().text());
    if (error) error->clear();
    return 0;
}

} // namespace quill
