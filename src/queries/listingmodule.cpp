#include "queries/listingmodule.h"

#include "conditions/construir.h"
#include "platform/memtable.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace quill {

QString MensajeSinRegistros() {
    return QStringLiteral("No se ha encontrado ningún registro que cumpla las condiciones");
}

QString MensajeErrorInterno() {
    return QStringLiteral(
        "Ha Ocurrido un Error Interno al Generar el Listado y no Puede mostrarse");
}

ListingModule::ListingModule(QObject* owner) : QObject(owner) {}

ListingModule::~ListingModule() = default;

void ListingModule::setConexion(const QString& conexion, const QString& transaccion) {
    CerrarListado();
    m_conexion = conexion;
    m_transaccion = transaccion.isEmpty() ? conexion : transaccion;
}

void ListingModule::AsignarParametros(const ParametrosListado&) {}

QList<FilaCondicion> ListingModule::LeerCondiciones() const {
    QList<FilaCondicion> filas;
    if (!m_condiciones || !m_condiciones->isOpen()) return filas;
    // Rows are read by index: the grid's cursor and a row being edited stay as they are.
    for (int i = 0; i < m_condiciones->recordCount(); ++i)
        filas.append(LeerFila(*m_condiciones, i));
    return filas;
}

QString ListingModule::CondicionWhere(const QString& texto, bool todas) {
    if (texto.isEmpty()) return QStringLiteral(" WHERE ");
    return todas ? QStringLiteral(" AND ") : QStringLiteral(" OR ");
}

QString ListingModule::GenerarSQLFrom(const QString& base, const QStringList& tablas) {
    QString from = base;
    for (const QString& tabla : tablas) {
        if (tabla.isEmpty() || base.contains(tabla)) continue;
        from += from.isEmpty() ? QStringLiteral(" FROM ") + tabla : QStringLiteral(", ") + tabla;
    }
    return from;
}

QString ListingModule::GenerarSQLOrder(qint16 orden, qint16 sentido) {
    return OrdenBase(orden) + SentidoOrden(sentido);
}

QString ListingModule::OrdenBase(qint16 orden) {
    switch (orden) {
    case 3:
        return QStringLiteral(" Order BY 2 ");
    case 21:
        return QStringLiteral(" ORDER BY 7 ");
    default: // 18 and every other code: surname
        return QStringLiteral(" Order BY 3 ");
    }
}

QString ListingModule::SentidoOrden(qint16 sentido) {
    if (sentido == 0) return QStringLiteral("ASC");
    if (sentido == 1) return QStringLiteral("DesC");
    return QString();
}

qint16 ListingModule::Ejecutar(const QString& sentencia, int columnaPaciente) {
    CerrarListado();
    m_sentencia = sentencia;
    m_error.clear();
    QSqlDatabase db = QSqlDatabase::database(m_conexion, false);
    if (!db.isValid() || !db.isOpen()) {
        m_error =
            QStringLiteral("La conexión '%1' con la base de datos no está abierta").arg(m_conexion);
        return Resultado = kListadoErrorInterno;
    }
    auto q = std::make_unique<QSqlQuery>(db);
    // The result is walked once from the first row: no scrollable cursor, no row cache.
    q->setForwardOnly(true);
    if (!q->prepare(sentencia) || !q->exec()) {
        m_error = q->lastError().text();
        return Resultado = kListadoErrorInterno;
    }
    m_listado = std::move(q);
    m_enPrimeraFila = m_listado->next();
    if (!m_enPrimeraFila) {
        if (m_listado->lastError().isValid()) {
            m_error = m_listado->lastError().text();
            return Resultado = kListadoErrorInterno;
        }
        return Resultado = kListadoSinRegistros;
    }
    const int campo = columnaPaciente >= 0
                          ? columnaPaciente
                          : m_listado->record().indexOf(QStringLiteral("ID_PACIENTE"));
    const qint64 id = campo < 0 ? 0 : m_listado->value(campo).toLongLong();
    return Resultado = id == 0 ? kListadoSinRegistros : kListadoCorrecto;
}

bool ListingModule::IrAlPrimero() {
    if (!m_listado) return false;
    if (m_enPrimeraFila) {
        // The caller walks on from here: the next call must start over.
        m_enPrimeraFila = false;
        return true;
    }
    if (!m_listado->exec()) {
        m_error = m_listado->lastError().text();
        return false;
    }
    return m_listado->next();
}

qint16 ListingModule::FalloInterno(const QString& motivo) {
    CerrarListado();
    m_sentencia.clear();
    m_error = motivo;
    return Resultado = kListadoErrorInterno;
}

void ListingModule::CerrarListado() {
    if (m_listado) {
        m_listado->finish();
        m_listado.reset();
    }
    m_enPrimeraFila = false;
}

} // namespace quill
