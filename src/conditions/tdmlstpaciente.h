#pragma once

// The condition data module: one condition table per listing kind, the current one shown by the
// grid, the filter catalogue, and the article-selection tables of the condition rows.

#include <QList>
#include <QObject>
#include <QStringList>

#include <array>
#include <map>
#include <memory>

namespace quill {
class MemTable;
class MemTableModel;
} // namespace quill

class TdmlstPaciente : public QObject {
    Q_OBJECT
public:
    static constexpr int NumTablas = 7;

    explicit TdmlstPaciente(QObject* owner = nullptr);
    ~TdmlstPaciente() override;

    // The condition tables, one per listing kind (0 General ... 6 Garantías).
    quill::MemTable* memGeneral;
    quill::MemTable* memConsumo;
    quill::MemTable* memEncargo;
    quill::MemTable* memFechas;
    quill::MemTable* memPrescripcion;
    quill::MemTable* memReposicion;
    quill::MemTable* memGarantias;
    // The filter catalogue (Filtros.xml).
    quill::MemTable* cdsFiltros;

    // The table of a kind code; null outside 0..6.
    quill::MemTable* Tabla(int tipoListado) const;
    // The seven tables in kind-code order.
    QList<quill::MemTable*> Tablas() const;
    quill::MemTable* TablaActual() const { return m_actual; }
    int TipoActual() const { return m_tipoActual; }
    // Makes a kind's table the current one and binds dtsDatos to it; the others keep their rows.
    void setTablaActual(int tipoListado);
    // The data source of the grid: the model of the current table (null before the first kind
    // switch). Each table has its own model, so switching keeps every table's rows and columns.
    quill::MemTableModel* dtsDatos() const;
    quill::MemTableModel* Modelo(int tipoListado) const;

    void AbrirTablas();
    // Closes every table and opens it again, which empties it.
    void VaciarTablas();
    // Blank-row rule: when the current table has no rows, appends one with Contador -1, Id -1 and
    // an empty Sentencia and leaves it being inserted. Returns whether a row was added.
    bool AnadirFilaVacia();

    // Article-selection tables, numbered by the window's article-selection counter; a row's
    // Contador holds its table's number. Null when the slot holds no table.
    quill::MemTable* Articulos(int numero) const;
    // Creates (or replaces) the table of a slot with the selection fields, open and empty.
    quill::MemTable* CrearArticulos(int numero);
    void LiberarArticulos(int numero);
    int NumeroArticulos() const { return int(m_articulos.size()); }

    // Result of the last catalogue look-up: 0 found, -5 not found.
    qint16 Resultado = 0;
    // A string list the module owns.
    QStringList Lista;

    // Defines the fields of a kind's condition table (the table must be closed).
    static void DefinirCampos(quill::MemTable& tabla, int tipoListado);

Q_SIGNALS:
    // The current table changed: the grid binds to dtsDatos() again.
    void tablaActualCambiada(int tipoListado);

private:
    quill::MemTable* m_actual = nullptr;
    int m_tipoActual = -1;
    std::array<std::unique_ptr<quill::MemTableModel>, NumTablas> m_modelos;
    std::map<int, std::unique_ptr<quill::MemTable>> m_articulos;
};
