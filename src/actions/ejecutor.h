#pragma once

// Runs a listing kind without a window: hands the conditions, the tables of FROM, the special
// fields' values and the partition to the kind's data module, runs its statement (or its count)
// and writes the outputs from its result tables. The window drives it behind its progress
// window; `listado` drives it directly.

#include "actions/registro.h"
#include "conditions/construir.h"
#include "queries/listingmodule.h" // result codes and their messages

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace quill {

class MemTable;

class EjecutorListado {
public:
    explicit EjecutorListado(const DescriptorListado& descriptor);
    ~EjecutorListado();
    EjecutorListado(const EjecutorListado&) = delete;
    EjecutorListado& operator=(const EjecutorListado&) = delete;

    const DescriptorListado& Descriptor() const { return m_descriptor; }
    // The kind's data module, made on first need; null while the kind has none.
    ListingModule* Modulo();

    // The shop database's connection and its transaction's (empty: the same).
    void setConexion(const QString& conexion, const QString& transaccion = QString());

    // What a run reads: the condition table (not owned), the tables of FROM, the special
    // fields' values, the data partition (as text; it must read as an integer) and the action
    // code the kind runs for (its variant).
    void Preparar(MemTable* condiciones, const QStringList& tablas,
                  const ParametrosListado& parametros, const QString& particion, qint16 variante);

    // Every statement a run would execute, in order; throws quill::Error when the kind has no
    // data module or a value cannot become SQL.
    QStringList Sentencias(qint16 orden, qint16 sentido, bool todas);
    // Runs the listing or its count: 0, -302 or -303 (-303 when the kind has no data module).
    qint16 Ejecutar(qint16 orden, qint16 sentido, bool todas);
    qint16 EjecutarConteo(bool todas);
    // The patients of the last count run.
    double Contar();
    // Why the database refused the last statement (empty when it did not).
    QString ErrorSQL() const;

    // After a run: writes the export table (the SMS-file table when `sms`) in `tipo` (0 Excel,
    // 1 HTML, 2 text, 3 XML; the SMS file is plain text) to `fichero`, after freeing the
    // engine's result. `ids`: the Id of every condition row. Empty text, or why not; `filas`
    // gets the rows written.
    QString Exportar(int tipo, const QString& fichero, bool sms, const QList<double>& ids,
                     int* filas = nullptr);

    // Closes the module's open result.
    void Cerrar();

private:
    const DescriptorListado& m_descriptor;
    std::unique_ptr<ListingModule> m_modulo;
    QString m_conexion;
    QString m_transaccion;
};

// The Id of every row of a condition table, in order.
QList<double> IdsCondiciones(const MemTable& condiciones);

} // namespace quill
