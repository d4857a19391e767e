#pragma once

// What every listing data module shares: the owner, the host parameter block and the connection
// (slots 2 and 5) its queries run on, the condition table it reads, the table list handed over
// by the window, the joiner and FROM builder of its statement, and running the statement with
// the listing result codes.
//
// Assembling a statement is pure text work (testable without a database); Ejecutar() runs it
// on the bound connection and keeps the open result (dstListado) until the next run.

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>

class QSqlQuery;

namespace quill {

class MemTable;

// Result codes of a listing action.
inline constexpr qint16 kListadoCorrecto = 0;
inline constexpr qint16 kListadoCancelado = -301;
inline constexpr qint16 kListadoSinRegistros = -302;
inline constexpr qint16 kListadoErrorInterno = -303;

// The window's messages for -302 and -303 (caption "AVISO").
QString MensajeSinRegistros();
QString MensajeErrorInterno();

// One condition row as the data modules read it.
struct FilaCondicion {
    double id = -1;
    QString condicion;     // operator text
    QString condicion1;    // first value as shown
    QString condicion2;    // second value
    QString sentencia;     // fragment built by the sentence builder
    QString condicion1Ids; // ids behind a list value, joined by ";"

    // The catalogue identifier as the modules compare it (integer part; -1 when not finite).
    int idEntero() const;
};

class ListingModule : public QObject {
    Q_OBJECT
public:
    explicit ListingModule(QObject* owner = nullptr);
    ~ListingModule() override;

    // Keeps the block for the window's life and binds the queries to slots 2 and 5.
    void setBloque(const std::intptr_t* bloque);
    const std::intptr_t* Bloque() const { return m_bloque; }
    QString Conexion() const { return m_conexion; }
    QString Transaccion() const { return m_transaccion; }
    // Binds the queries to a Qt connection directly (callers without a host block).
    void setConexion(const QString& conexion);

    // Last result code: 0 rows found, -301 cancelled, -302 no row matched, -303 internal error.
    qint16 Resultado = 0;

    // The condition table the statement is built from (not owned; the window points it at the
    // current kind's table before every run). Null reads as no conditions.
    void setCondiciones(MemTable* tabla) { m_condiciones = tabla; }
    MemTable* Condiciones() const { return m_condiciones; }
    // The condition walk: every row of the condition table from the first, in table order,
    // a row being edited included. The table's cursor does not move.
    QList<FilaCondicion> LeerCondiciones() const;

    // Extra tables the conditions need in FROM, handed over by the window before each run.
    QStringList Tablas;

    // " WHERE " for an empty text, else " AND " when all conditions must hold, " OR " otherwise.
    static QString CondicionWhere(const QString& texto, bool todas);
    // The base followed by ", " + each listed table whose name does not occur in the base
    // (" FROM " + name while the result is still empty).
    static QString GenerarSQLFrom(const QString& base, const QStringList& tablas);
    QString GenerarSQLFrom(const QString& base) const { return GenerarSQLFrom(base, Tablas); }
    // The ORDER clause of the order codes shared by every kind: 3 code, 18 surname, 21 address,
    // anything else surname; "ASC" for direction 0, "DesC" for 1.
    static QString GenerarSQLOrder(qint16 orden, qint16 sentido);

    // Runs a statement on the bound connection, forward only, and keeps it open: 0 when its
    // first row has an ID_PACIENTE other than 0, -302 when there is no such row, -303 when the
    // database refuses it. Also stored in Resultado.
    qint16 Ejecutar(const QString& sentencia);
    // The statement of the last run, and why the database refused it (empty after a success).
    const QString& SentenciaSQL() const { return m_sentencia; }
    const QString& ErrorSQL() const { return m_error; }

    // The open result of the last run, null when there is none.
    QSqlQuery* dstListado() const { return m_listado.get(); }
    // Places the result on its first row, running the statement again when an earlier walk
    // moved past it (the result is read forward only). False when there is no row.
    bool IrAlPrimero();
    // Closes the result (after a report is printed).
    void CerrarListado();

protected:
    // A run that failed before reaching the database: no open result, the reason kept for
    // ErrorSQL(), -303.
    qint16 FalloInterno(const QString& motivo);

private:
    const std::intptr_t* m_bloque = nullptr;
    QString m_conexion;
    QString m_transaccion;
    MemTable* m_condiciones = nullptr;
    std::unique_ptr<QSqlQuery> m_listado;
    bool m_enPrimeraFila = false;
    QString m_sentencia;
    QString m_error;
};

} // namespace quill
