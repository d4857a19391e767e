#pragma once

// The article picker window, "Selección de Artículos": the user puts conditions on the article
// fields of one product line (spectacles, contact lenses, hearing aids); on Aceptar they replace
// the rows of the condition row's selection table, on Cancelar the table is left untouched.

#include "sql/lstconfiguracion.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTableView;

namespace quill {
class MemTable;
class MemTableModel;
} // namespace quill

namespace pickers {

// Product lines, as the consumption fields know them.
inline constexpr int kLineaGafas = 2;
inline constexpr int kLineaLentillas = 3;
inline constexpr int kLineaAudifonos = 4;

// The catalogue range of the article fields.
inline constexpr int kPrimerCampoArticulo = 501;
inline constexpr int kUltimoCampoArticulo = 523;

bool EsLineaProducto(int tipoListado);
// Name of a product line as the window shows it ("Gafas", ...); empty for any other code.
QString NombreLinea(int tipoListado);
// Whether an article field has a column in a product line: lens types (521) only for lenses and
// hearing aids, the hearing-aid brand (522) only for hearing aids, glass types (523) not for
// lenses.
bool CampoEnLinea(int id, int tipoListado);

// One article field of the catalogue.
struct CampoArticulo {
    double id = 0;
    QString campo;
    qint16 tipoCondicion = 0;
    qint16 tipoObjeto = 0;
    QString descripcion;
};

// The article fields of a line among the rows of a loaded catalogue table (every row, whatever
// its filter), sorted by caption.
QList<CampoArticulo> CamposArticulo(const quill::MemTable& catalogo, int tipoListado);

// Defines the fields of a selection table (the table must be closed): Id (double), Campo,
// Condicion, TipoCondicion (16-bit), Condicion1, Condicion2, IdsCondicion1, IdsCondicion2 (texts
// of 500), Sentencia (text), TipoObjeto (32-bit).
void DefinirCamposSeleccion(quill::MemTable& tabla);
// Empty when the table can take the picker's rows (open, with the fields it writes); otherwise
// what is wrong, for the user.
QString ComprobarTablaSeleccion(const quill::MemTable& tabla);

// One condition as the window edits it.
struct CondicionArticulo {
    double id = -1;
    QString campo;
    QString condicion;
    qint16 tipoCondicion = 0;
    qint32 tipoObjeto = 0;
    QString condicion1;
    QString condicion2;
    QString idsCondicion1;
};

// Why a condition cannot be accepted, in the user's words; empty when it can. A row without a
// field is not a condition (empty answer too: it is dropped).
QString ValidarCondicion(const CondicionArticulo& c);

class TfrmSeleccionArticulos : public QDialog {
    Q_OBJECT
public:
    // seleccion: the condition row's table (not owned; written only on Aceptar). carpetaPaquetes:
    // folder of Filtros.xml. conexion: Qt connection name the value lists are read from.
    TfrmSeleccionArticulos(QWidget* parent, quill::MemTable* seleccion, int tipoListado,
                           const QString& carpetaPaquetes, const QString& conexion,
                           const quill::TLstConfiguracion::PalabrasOperador& palabras);
    ~TfrmSeleccionArticulos() override;

    int TipoListado() const { return m_tipoListado; }
    const QList<CampoArticulo>& Campos() const { return m_campos; }
    // The conditions being edited (not yet written).
    quill::MemTable* memCondiciones() const { return m_condiciones; }
    int NumCondiciones() const;
    CondicionArticulo Condicion(int fila) const;
    QString Mensaje() const;

    // Editing, as the grid's editors do it. Each works on one row of memCondiciones.
    int AnadirCondicion();  // appends an empty row, focuses its field cell; returns the row
    void BorrarCondicion(); // deletes the focused row
    // Field by its catalogue id (one of Campos()): sets the field, its type, the default
    // operator; values are emptied. An id that is not one of the fields is refused.
    void AsignarCampo(int fila, double id);
    // Operators other than "...Entre..." empty the second value; "Vacío" and "No Vacío" both.
    void AsignarOperador(int fila, const QString& condicion);
    // columna 0 first value, 1 second value.
    void AsignarValor(int fila, int columna, const QString& valor);
    // List fields: the ticked names and ids (in list order).
    void AsignarLista(int fila, const QStringList& nombres, const QStringList& ids);
    // Operators the field of a row offers (empty for a row without field).
    QStringList Operadores(int fila);

    QTableView* grdCondiciones = nullptr;
    QListWidget* lstValores = nullptr;
    QLabel* lblLinea = nullptr;
    QLabel* lblValores = nullptr;
    QLabel* lblMensaje = nullptr;
    QPushButton* tbnAnadir = nullptr;
    QPushButton* tbnBorrar = nullptr;
    QPushButton* tbnAceptar = nullptr;
    QPushButton* tbnCancelar = nullptr;

public Q_SLOTS:
    // Validates every condition; writes them into the selection table and closes, or shows why
    // not and stays open.
    void accept() override;

protected:
    void showEvent(QShowEvent* evento) override;

private:
    void mostrarMensaje(const QString& texto, bool error);
    void cargarCatalogo(const QString& carpeta);
    void copiarDeSeleccion();
    bool escribirSeleccion(QString* error);
    void cargarValores(int fila);
    void valoresMarcados();
    void editarFila(int fila, const std::function<void(quill::MemTable&)>& cambios);
    const CampoArticulo* campo(double id) const;

    quill::MemTable* m_seleccion;
    int m_tipoListado;
    QString m_conexion;
    quill::TLstConfiguracion::PalabrasOperador m_palabras;
    quill::TLstConfiguracion m_config;
    QList<CampoArticulo> m_campos;
    quill::MemTable* m_condiciones = nullptr;
    quill::MemTableModel* m_modelo = nullptr;
    int m_filaValores = -1; // row whose values the check list shows
    bool m_llenandoValores = false;
};

} // namespace pickers
