#pragma once

// What every listing data module shares: the owner, the connection its queries run on, the
// condition table it reads, the table list handed over by the window, the joiner and FROM
// builder of its statement, running the statement with the listing result codes, and what the
// action runner asks of every kind.
//
// Assembling a statement is pure text work (testable without a database); Ejecutar() runs it
// on the bound connection and keeps the open result (dstListado) until the next run.

#include "conditions/condicion.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

class QSqlQuery;

namespace quill {

class MemTable;
struct ParametrosListado;

// Result codes of a listing action.
inline constexpr qint16 kListadoCorrecto = 0;
inline constexpr qint16 kListadoCancelado = -301;
inline constexpr qint16 kListadoSinRegistros = -302;
inline constexpr qint16 kListadoErrorInterno = -303;

// The window's messages for -302 and -303 (caption "AVISO").
QString MensajeSinRegistros();
QString MensajeErrorInterno();

class ListingModule : public QObject {
    Q_OBJECT
public:
    explicit ListingModule(QObject* owner = nullptr);
    ~ListingModule() override;

    // Binds the queries to a Qt connection and its transaction's connection (the host's
    // database and transaction; the same name when there is no separate transaction).
    void setConexion(const QString& conexion, const QString& transaccion = QString());
    QString Conexion() const { return m_conexion; }
    QString Transaccion() const { return m_transaccion; }

    // ---- What the action runner asks of every kind ----
    // The values the special condition fields hand to the kind (families, prescription type,
    // debt...); each kind keeps what it reads.
    virtual void AsignarParametros(const ParametrosListado& parametros);
    // The data partition of the host (slot 601 as text); it must read as an integer.
    virtual void AsignarParticion(const QString& valor) { m_particion = valor; }
    const QString& Particion() const { return m_particion; }
    // The action code the window runs the kind for (print 0, labels 2, export 3, count 4...):
    // some kinds fill more of their tables for some actions (the locality texts for export).
    virtual void AsignarVariante(qint16 variante) { m_variante = variante; }
    qint16 Variante() const { return m_variante; }
    // The statement a run would execute, without running it; throws quill::Error on a value
    // that cannot become SQL.
    virtual QString ConstruirSQL(qint16 orden, qint16 sentido, bool todas) = 0;
    // Every statement a run executes, in the order it runs them (a detail statement with its
    // parameter, one statement per record family...); the one of ConstruirSQL by default.
    virtual QStringList ConstruirSentencias(qint16 orden, qint16 sentido, bool todas) {
        return {ConstruirSQL(orden, sentido, todas)};
    }
    // Runs the listing: 0, -302 or -303 (also kept in Resultado).
    virtual qint16 GenerarSQL(qint16 orden, qint16 sentido, bool todas) = 0;
    // The count form of the run and the number of patients it found.
    virtual qint16 GenerarSQLConteo(bool todas) = 0;
    virtual double ContarPacientes() = 0;

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
    // Its two halves, for the kinds that add order codes of their own: the clause without
    // direction, and the direction ("ASC", "DesC", nothing for any other value).
    static QString OrdenBase(qint16 orden);
    static QString SentidoOrden(qint16 sentido);

    // Runs a statement on the bound connection, forward only, and keeps it open: 0 when its
    // first row has an ID_PACIENTE other than 0, -302 when there is no such row, -303 when the
    // database refuses it. Also stored in Resultado. `columnaPaciente`: the position of
    // ID_PACIENTE when the caller knows it (-1: found by name; the Firebird driver describes
    // the columns with one catalogue query per decimal column, slow on wide statements).
    qint16 Ejecutar(const QString& sentencia, int columnaPaciente = -1);
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

    QString m_particion;
    qint16 m_variante = 0;

private:
    QString m_conexion;
    QString m_transaccion;
    MemTable* m_condiciones = nullptr;
    std::unique_ptr<QSqlQuery> m_listado;
    bool m_enPrimeraFila = false;
    QString m_sentencia;
    QString m_error;
};

} // namespace quill
