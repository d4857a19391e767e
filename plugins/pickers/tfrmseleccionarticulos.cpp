#include "tfrmseleccionarticulos.h"

#include "conditions/catalogo.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "platform/memtablemodel.h"
#include "sql/lstbasesentencia.h"
#include "sql/valores.h"

#include <QAction>
#include <QCollator>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace pickers {

using quill::FieldType;
using quill::MemTable;
namespace operador = quill::operador;

namespace {

const QString kId = QStringLiteral("Id");
const QString kCampo = QStringLiteral("Campo");
const QString kCondicion = QStringLiteral("Condicion");
const QString kTipoCondicion = QStringLiteral("TipoCondicion");
const QString kTipoObjeto = QStringLiteral("TipoObjeto");
const QString kCondicion1 = QStringLiteral("Condicion1");
const QString kCondicion2 = QStringLiteral("Condicion2");
const QString kIdsCondicion1 = QStringLiteral("IdsCondicion1");
const QString kIdsCondicion2 = QStringLiteral("IdsCondicion2");
const QString kSentencia = QStringLiteral("Sentencia");

// Field types of the catalogue.
constexpr qint16 kTipoNumero = 0;
constexpr qint16 kTipoLista = 4;

// Grid columns.
enum Columna { ColCampo = 0, ColCondicion = 1, ColCondicion1 = 2, ColCondicion2 = 3 };

bool sinValor(const QString& condicion) {
    return condicion == operador::Vacio || condicion == operador::NoVacio;
}

bool idValido(double id) {
    return std::isfinite(id) && id >= 0;
}

// Each column's editor, chosen by the row's field and operator. The editors write through the
// window's Asignar* operations, so a cell edited in the grid and one set by code end the same.
class DelegadoCondicion : public QStyledItemDelegate {
public:
    explicit DelegadoCondicion(TfrmSeleccionArticulos* ventana)
        : QStyledItemDelegate(ventana), m_ventana(ventana) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        const CondicionArticulo c = m_ventana->Condicion(index.row());
        switch (index.column()) {
        case ColCampo: {
            auto* combo = nuevoCombo(parent);
            for (const CampoArticulo& campo : m_ventana->Campos())
                combo->addItem(campo.campo, campo.id);
            return combo;
        }
        case ColCondicion: {
            if (!idValido(c.id)) return nullptr;
            auto* combo = nuevoCombo(parent);
            combo->addItems(m_ventana->Operadores(index.row()));
            return combo;
        }
        case ColCondicion1:
            // List values are ticked in the list beside the grid.
            if (!idValido(c.id) || c.condicion.isEmpty() || sinValor(c.condicion) ||
                c.tipoCondicion == kTipoLista)
                return nullptr;
            return QStyledItemDelegate::createEditor(parent, option, index);
        case ColCondicion2:
            if (!idValido(c.id) || c.condicion != operador::Entre || c.tipoCondicion == kTipoLista)
                return nullptr;
            return QStyledItemDelegate::createEditor(parent, option, index);
        default:
            return nullptr;
        }
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            // A new row's field list starts with nothing chosen: leaving it chooses nothing.
            combo->setCurrentIndex(combo->findText(index.data(Qt::EditRole).toString()));
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel*,
                      const QModelIndex& index) const override {
        const int fila = index.row();
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            if (combo->currentIndex() < 0) return;
            if (index.column() == ColCampo) {
                const double id = combo->currentData().toDouble();
                // Choosing the same field again keeps the operator and values.
                if (m_ventana->Condicion(fila).id != id) m_ventana->AsignarCampo(fila, id);
            } else {
                m_ventana->AsignarOperador(fila, combo->currentText());
            }
            return;
        }
        if (auto* linea = qobject_cast<QLineEdit*>(editor))
            m_ventana->AsignarValor(fila, index.column() == ColCondicion1 ? 0 : 1, linea->text());
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override {
        editor->setGeometry(option.rect);
    }

private:
    // A fixed list, written as soon as an entry is chosen.
    QComboBox* nuevoCombo(QWidget* parent) const {
        auto* combo = new QComboBox(parent);
        combo->setEditable(false);
        auto* self = const_cast<DelegadoCondicion*>(this);
        QObject::connect(combo, &QComboBox::activated, self, [self, combo] {
            Q_EMIT self->commitData(combo);
            Q_EMIT self->closeEditor(combo, QAbstractItemDelegate::EditNextItem);
        });
        return combo;
    }

    TfrmSeleccionArticulos* m_ventana;
};

} // namespace

bool EsLineaProducto(int tipoListado) {
    return tipoListado == kLineaGafas || tipoListado == kLineaLentillas ||
           tipoListado == kLineaAudifonos;
}

QString NombreLinea(int tipoListado) {
    switch (tipoListado) {
    case kLineaGafas:
        return QStringLiteral("Gafas");
    case kLineaLentillas:
        return QStringLiteral("Lentes de Contacto");
    case kLineaAudifonos:
        return QStringLiteral("Audífonos");
    default:
        return QString();
    }
}

bool CampoEnLinea(int id, int tipoListado) {
    if (!EsLineaProducto(tipoListado)) return false;
    if (id < kPrimerCampoArticulo || id > kUltimoCampoArticulo) return false;
    switch (id) {
    case 521:
        return tipoListado != kLineaGafas;
    case 522:
        return tipoListado == kLineaAudifonos;
    case 523:
        return tipoListado != kLineaLentillas;
    default:
        return true;
    }
}

QList<CampoArticulo> CamposArticulo(const MemTable& catalogo, int tipoListado) {
    QList<CampoArticulo> campos;
    const int fId = catalogo.fieldIndex(QStringLiteral("ID"));
    const int fCampo = catalogo.fieldIndex(QStringLiteral("CAMPO"));
    const int fTipo = catalogo.fieldIndex(QStringLiteral("TIPOCAMPO"));
    const int fObjeto = catalogo.fieldIndex(QStringLiteral("TIPOOBJETO"));
    const int fDescripcion = catalogo.fieldIndex(QStringLiteral("DESCRIPCION"));
    if (fId < 0 || fCampo < 0 || fTipo < 0 || fObjeto < 0) return campos;
    for (int i = 0; i < catalogo.storedRowCount(); ++i) {
        const double id = catalogo.storedValue(i, fId).toDouble();
        // Only whole identifiers name a field.
        if (id != std::trunc(id) || !CampoEnLinea(static_cast<int>(id), tipoListado)) continue;
        CampoArticulo c;
        c.id = id;
        c.campo = catalogo.storedValue(i, fCampo).toString();
        c.tipoCondicion = static_cast<qint16>(catalogo.storedValue(i, fTipo).toInt());
        c.tipoObjeto = static_cast<qint16>(catalogo.storedValue(i, fObjeto).toInt());
        if (fDescripcion >= 0) c.descripcion = catalogo.storedValue(i, fDescripcion).toString();
        campos.append(c);
    }
    QCollator orden(QLocale(QLocale::Spanish, QLocale::Spain));
    orden.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(campos.begin(), campos.end(),
                     [&orden](const CampoArticulo& a, const CampoArticulo& b) {
                         return orden.compare(a.campo, b.campo) < 0;
                     });
    return campos;
}

void DefinirCamposSeleccion(MemTable& tabla) {
    tabla.addField(kId, FieldType::Float);
    tabla.addField(kCampo, FieldType::String, 50);
    tabla.addField(kCondicion, FieldType::String, 25);
    tabla.addField(kTipoCondicion, FieldType::SmallInt);
    for (const QString& campo : {kCondicion1, kCondicion2, kIdsCondicion1, kIdsCondicion2})
        tabla.addField(campo, FieldType::String, 500);
    tabla.addField(kSentencia, FieldType::Memo);
    tabla.addField(kTipoObjeto, FieldType::Integer);
}

QString ComprobarTablaSeleccion(const MemTable& tabla) {
    if (!tabla.isOpen())
        return QStringLiteral("La tabla de artículos seleccionados no está abierta");
    QStringList faltan;
    for (const QString& campo : {kId, kCampo, kCondicion, kTipoCondicion, kTipoObjeto, kCondicion1,
                                 kCondicion2, kIdsCondicion1})
        if (!tabla.hasField(campo)) faltan << campo;
    if (faltan.isEmpty()) return QString();
    return QStringLiteral("A la tabla de artículos seleccionados le faltan los campos: ") +
           faltan.join(QStringLiteral(", "));
}

QString ValidarCondicion(const CondicionArticulo& c) {
    if (!idValido(c.id)) return QString();
    if (c.condicion.isEmpty())
        return QStringLiteral("Elija la condición del campo %1").arg(c.campo);
    if (sinValor(c.condicion)) return QString();
    if (c.condicion1.trimmed().isEmpty())
        return c.tipoCondicion == kTipoLista
                   ? QStringLiteral("Marque en la lista algún valor del campo %1").arg(c.campo)
                   : QStringLiteral("Escriba el valor del campo %1").arg(c.campo);
    const bool entre = c.condicion == operador::Entre;
    if (entre && c.condicion2.trimmed().isEmpty())
        return QStringLiteral("Escriba el valor final del campo %1").arg(c.campo);
    if (c.tipoCondicion == kTipoNumero) {
        for (const QString& valor :
             entre ? QStringList{c.condicion1, c.condicion2} : QStringList{c.condicion1}) {
            try {
                quill::checkedNumber(valor);
            } catch (const quill::Error&) {
                return QStringLiteral("El valor '%1' del campo %2 no es un número")
                    .arg(valor, c.campo);
            }
        }
    }
    if (c.tipoCondicion == kTipoLista && c.idsCondicion1.trimmed().isEmpty())
        return QStringLiteral("Marque en la lista algún valor del campo %1").arg(c.campo);
    return QString();
}

// ---- Window ----

TfrmSeleccionArticulos::TfrmSeleccionArticulos(
    QWidget* parent, MemTable* seleccion, int tipoListado, const QString& carpetaPaquetes,
    const QString& conexion, const quill::TLstConfiguracion::PalabrasOperador& palabras)
    : QDialog(parent), m_seleccion(seleccion), m_tipoListado(tipoListado), m_conexion(conexion),
      m_palabras(palabras), m_config(conexion) {
    setObjectName(QStringLiteral("frmSeleccionArticulos"));
    setWindowTitle(QStringLiteral("Selección de Artículos"));
    setModal(true);
    resize(860, 420);

    m_condiciones = new MemTable(QStringLiteral("memCondiciones"), this);
    DefinirCamposSeleccion(*m_condiciones);
    m_condiciones->open();
    m_modelo = new quill::MemTableModel(m_condiciones,
                                        {{kCampo, QStringLiteral("Campo")},
                                         {kCondicion, QStringLiteral("Condición")},
                                         {kCondicion1, QStringLiteral("Condición Inicial")},
                                         {kCondicion2, QStringLiteral("Condición Final")}},
                                        this);
    // Editors write through the window; the model only has to let the grid open them.
    m_modelo->setEditable(true);

    lblLinea = new QLabel(this);
    lblLinea->setObjectName(QStringLiteral("lblLinea"));
    lblLinea->setText(
        QStringLiteral("Condiciones sobre los artículos de %1").arg(NombreLinea(tipoListado)));

    grdCondiciones = new QTableView(this);
    grdCondiciones->setObjectName(QStringLiteral("grdCondiciones"));
    grdCondiciones->setModel(m_modelo);
    grdCondiciones->setItemDelegate(new DelegadoCondicion(this));
    grdCondiciones->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdCondiciones->setSelectionMode(QAbstractItemView::SingleSelection);
    grdCondiciones->setEditTriggers(
        QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
        QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    grdCondiciones->verticalHeader()->hide();
    grdCondiciones->verticalHeader()->setDefaultSectionSize(24);
    grdCondiciones->setColumnWidth(ColCampo, 170);
    grdCondiciones->setColumnWidth(ColCondicion, 120);
    grdCondiciones->setColumnWidth(ColCondicion1, 180);
    grdCondiciones->horizontalHeader()->setStretchLastSection(true);

    lblValores = new QLabel(QStringLiteral("Valores de la lista"), this);
    lstValores = new QListWidget(this);
    lstValores->setObjectName(QStringLiteral("lstValores"));
    lstValores->setMinimumWidth(200);
    lstValores->setEnabled(false);

    lblMensaje = new QLabel(this);
    lblMensaje->setObjectName(QStringLiteral("lblMensaje"));
    lblMensaje->setWordWrap(true);

    tbnAnadir = new QPushButton(QStringLiteral("&Añadir"), this);
    tbnAnadir->setObjectName(QStringLiteral("tbnAnadir"));
    tbnAnadir->setAutoDefault(false);
    tbnAnadir->setToolTip(QStringLiteral("Añade una condición (Insert)"));
    tbnBorrar = new QPushButton(QStringLiteral("&Borrar"), this);
    tbnBorrar->setObjectName(QStringLiteral("tbnBorrar"));
    tbnBorrar->setAutoDefault(false);
    tbnBorrar->setToolTip(QStringLiteral("Borra la condición seleccionada (Ctrl+Supr)"));
    tbnAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    tbnAceptar->setObjectName(QStringLiteral("tbnAceptar"));
    tbnAceptar->setAutoDefault(false);
    tbnCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    tbnCancelar->setObjectName(QStringLiteral("tbnCancelar"));
    tbnCancelar->setAutoDefault(false);

    auto* derecha = new QVBoxLayout;
    derecha->addWidget(lblValores);
    derecha->addWidget(lstValores, 1);
    auto* centro = new QHBoxLayout;
    centro->addWidget(grdCondiciones, 3);
    centro->addLayout(derecha, 1);
    auto* botones = new QHBoxLayout;
    botones->addWidget(tbnAnadir);
    botones->addWidget(tbnBorrar);
    botones->addStretch(1);
    botones->addWidget(tbnAceptar);
    botones->addWidget(tbnCancelar);
    auto* todo = new QVBoxLayout(this);
    todo->addWidget(lblLinea);
    todo->addLayout(centro, 1);
    todo->addWidget(lblMensaje);
    todo->addLayout(botones);

    auto* anadir = new QAction(this);
    anadir->setShortcut(QKeySequence(Qt::Key_Insert));
    connect(anadir, &QAction::triggered, this, [this] { AnadirCondicion(); });
    addAction(anadir);
    auto* borrar = new QAction(this);
    borrar->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    connect(borrar, &QAction::triggered, this, [this] { BorrarCondicion(); });
    addAction(borrar);

    connect(tbnAnadir, &QPushButton::clicked, this, [this] { AnadirCondicion(); });
    connect(tbnBorrar, &QPushButton::clicked, this, [this] { BorrarCondicion(); });
    connect(tbnAceptar, &QPushButton::clicked, this, &TfrmSeleccionArticulos::accept);
    connect(tbnCancelar, &QPushButton::clicked, this, &TfrmSeleccionArticulos::reject);
    connect(
        grdCondiciones->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& actual) { cargarValores(actual.isValid() ? actual.row() : -1); });
    connect(lstValores, &QListWidget::itemChanged, this, [this] { valoresMarcados(); });

    cargarCatalogo(carpetaPaquetes);
    copiarDeSeleccion();
    if (m_condiciones->isEmpty() && !m_campos.isEmpty()) AnadirCondicion();
}

TfrmSeleccionArticulos::~TfrmSeleccionArticulos() = default;

void TfrmSeleccionArticulos::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    // A new row starts with the field list open.
    const QModelIndex actual = grdCondiciones->currentIndex();
    if (actual.isValid() && !idValido(Condicion(actual.row()).id)) {
        const QModelIndex indice = m_modelo->index(actual.row(), ColCampo);
        grdCondiciones->setCurrentIndex(indice);
        grdCondiciones->edit(indice);
    }
}

void TfrmSeleccionArticulos::mostrarMensaje(const QString& texto, bool error) {
    lblMensaje->setText(texto);
    lblMensaje->setStyleSheet(error ? QStringLiteral("color: #b00000;") : QString());
}

QString TfrmSeleccionArticulos::Mensaje() const {
    return lblMensaje->text();
}

void TfrmSeleccionArticulos::cargarCatalogo(const QString& carpeta) {
    MemTable catalogo(QStringLiteral("cdsFiltros"));
    QString motivo;
    // Article fields belong to no listing kind's groups: read the whole catalogue.
    if (quill::CargarCatalogo(catalogo, carpeta, -1, &motivo) != quill::kCatalogoCargado) {
        mostrarMensaje(QStringLiteral("No se puede leer el catálogo de filtros: ") + motivo, true);
        tbnAnadir->setEnabled(false);
        return;
    }
    m_campos = CamposArticulo(catalogo, m_tipoListado);
    if (m_campos.isEmpty()) {
        mostrarMensaje(QStringLiteral("El catálogo de filtros no tiene campos de artículo para %1")
                           .arg(NombreLinea(m_tipoListado)),
                       true);
        tbnAnadir->setEnabled(false);
    }
}

void TfrmSeleccionArticulos::copiarDeSeleccion() {
    // The conditions picked last time on this row come back to be changed.
    const QStringList campos = {kId,         kCampo,      kCondicion,     kTipoCondicion,
                                kCondicion1, kCondicion2, kIdsCondicion1, kTipoObjeto};
    QList<int> origen;
    for (const QString& c : campos)
        origen << m_seleccion->fieldIndex(c);
    for (int i = 0; i < m_seleccion->storedRowCount(); ++i) {
        m_condiciones->append();
        for (qsizetype k = 0; k < campos.size(); ++k)
            if (origen[k] >= 0)
                m_condiciones->setValue(campos[k], m_seleccion->storedValue(i, origen[k]));
        m_condiciones->post();
    }
    m_condiciones->first();
    if (!m_condiciones->isEmpty()) grdCondiciones->setCurrentIndex(m_modelo->index(0, ColCampo));
}

int TfrmSeleccionArticulos::NumCondiciones() const {
    return m_condiciones->recordCount();
}

CondicionArticulo TfrmSeleccionArticulos::Condicion(int fila) const {
    CondicionArticulo c;
    if (fila < 0 || fila >= m_condiciones->recordCount()) return c;
    const QVariant id = m_condiciones->valueAt(fila, kId);
    c.id = id.isNull() ? -1 : id.toDouble();
    c.campo = m_condiciones->valueAt(fila, kCampo).toString();
    c.condicion = m_condiciones->valueAt(fila, kCondicion).toString();
    c.tipoCondicion = static_cast<qint16>(m_condiciones->valueAt(fila, kTipoCondicion).toInt());
    c.tipoObjeto = m_condiciones->valueAt(fila, kTipoObjeto).toInt();
    c.condicion1 = m_condiciones->valueAt(fila, kCondicion1).toString();
    c.condicion2 = m_condiciones->valueAt(fila, kCondicion2).toString();
    c.idsCondicion1 = m_condiciones->valueAt(fila, kIdsCondicion1).toString();
    return c;
}

const CampoArticulo* TfrmSeleccionArticulos::campo(double id) const {
    for (const CampoArticulo& c : m_campos)
        if (c.id == id) return &c;
    return nullptr;
}

void TfrmSeleccionArticulos::editarFila(int fila, const std::function<void(MemTable&)>& cambios) {
    if (fila < 0 || fila >= m_condiciones->recordCount()) return;
    m_condiciones->moveTo(fila);
    m_condiciones->edit();
    try {
        cambios(*m_condiciones);
        m_condiciones->post();
    } catch (...) {
        m_condiciones->cancel();
        throw;
    }
}

int TfrmSeleccionArticulos::AnadirCondicion() {
    if (m_campos.isEmpty()) return -1;
    m_condiciones->append();
    m_condiciones->post();
    const int fila = m_condiciones->currentRow();
    const QModelIndex indice = m_modelo->index(fila, ColCampo);
    grdCondiciones->setFocus();
    grdCondiciones->setCurrentIndex(indice);
    // Before the window shows, showEvent opens the editor.
    if (isVisible()) grdCondiciones->edit(indice);
    mostrarMensaje(QStringLiteral("Elija el campo del artículo y después la condición y el valor"),
                   false);
    return fila;
}

void TfrmSeleccionArticulos::BorrarCondicion() {
    const QModelIndex actual = grdCondiciones->currentIndex();
    if (!actual.isValid()) return;
    m_condiciones->moveTo(actual.row());
    m_condiciones->remove();
    cargarValores(grdCondiciones->currentIndex().isValid() ? grdCondiciones->currentIndex().row()
                                                           : -1);
}

void TfrmSeleccionArticulos::AsignarCampo(int fila, double id) {
    const CampoArticulo* c = campo(id);
    if (!c) {
        mostrarMensaje(QStringLiteral("El campo %1 no es un campo de artículo de %2")
                           .arg(id)
                           .arg(NombreLinea(m_tipoListado)),
                       true);
        return;
    }
    const QString defecto =
        quill::TLstConfiguracion::OperadorPorDefecto(c->tipoCondicion, m_palabras);
    editarFila(fila, [&](MemTable& t) {
        t.setValue(kId, c->id);
        t.setValue(kCampo, c->campo);
        t.setValue(kTipoCondicion, c->tipoCondicion);
        t.setValue(kTipoObjeto, c->tipoObjeto);
        t.setValue(kCondicion, defecto);
        for (const QString& f : {kCondicion1, kCondicion2, kIdsCondicion1, kIdsCondicion2})
            t.setNull(f);
    });
    mostrarMensaje(c->descripcion, false);
    cargarValores(fila);
}

QStringList TfrmSeleccionArticulos::Operadores(int fila) {
    const CondicionArticulo c = Condicion(fila);
    if (!idValido(c.id)) return {};
    m_config.setTipoCampo(c.tipoCondicion);
    if (m_config.CargarOperadoresCampo(c.id, static_cast<qint16>(c.tipoObjeto)) !=
        quill::TLstConfiguracion::Preparado)
        return {};
    return m_config.Operadores();
}

void TfrmSeleccionArticulos::AsignarOperador(int fila, const QString& condicion) {
    if (!Operadores(fila).contains(condicion)) return;
    editarFila(fila, [&](MemTable& t) {
        t.setValue(kCondicion, condicion);
        if (condicion != operador::Entre) t.setNull(kCondicion2);
        if (sinValor(condicion)) {
            t.setNull(kCondicion1);
            t.setNull(kIdsCondicion1);
        }
    });
    cargarValores(fila);
}

void TfrmSeleccionArticulos::AsignarValor(int fila, int columna, const QString& valor) {
    editarFila(fila,
               [&](MemTable& t) { t.setValue(columna == 0 ? kCondicion1 : kCondicion2, valor); });
}

void TfrmSeleccionArticulos::AsignarLista(int fila, const QStringList& nombres,
                                          const QStringList& ids) {
    editarFila(fila, [&](MemTable& t) {
        t.setValue(kCondicion1, nombres.join(QStringLiteral("; ")));
        t.setValue(kIdsCondicion1, ids.join(QLatin1Char(';')));
    });
}

void TfrmSeleccionArticulos::cargarValores(int fila) {
    m_llenandoValores = true;
    lstValores->clear();
    m_filaValores = -1;
    const CondicionArticulo c = Condicion(fila);
    const bool lista = idValido(c.id) && c.tipoCondicion == kTipoLista && !c.condicion.isEmpty() &&
                       !sinValor(c.condicion);
    if (lista) {
        const int r = m_config.CargarValores(static_cast<qint16>(c.tipoObjeto));
        if (r == quill::TLstConfiguracion::ErrorLectura) {
            mostrarMensaje(m_config.Error(), true);
        } else {
            const QStringList marcados =
                c.idsCondicion1.split(QLatin1Char(';'), Qt::SkipEmptyParts);
            const QStringList& nombres = m_config.Nombres();
            const QStringList& ids = m_config.Ids();
            for (qsizetype i = 0; i < nombres.size() && i < ids.size(); ++i) {
                auto* item = new QListWidgetItem(nombres[i], lstValores);
                item->setData(Qt::UserRole, ids[i]);
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
                item->setCheckState(marcados.contains(ids[i]) ? Qt::Checked : Qt::Unchecked);
            }
            m_filaValores = fila;
        }
        lblValores->setText(QStringLiteral("Valores de %1").arg(c.campo));
    } else {
        lblValores->setText(QStringLiteral("Valores de la lista"));
    }
    lstValores->setEnabled(m_filaValores >= 0);
    m_llenandoValores = false;
}

void TfrmSeleccionArticulos::valoresMarcados() {
    if (m_llenandoValores || m_filaValores < 0) return;
    QStringList nombres;
    QStringList ids;
    for (int i = 0; i < lstValores->count(); ++i) {
        const QListWidgetItem* item = lstValores->item(i);
        if (item->checkState() != Qt::Checked) continue;
        nombres << item->text();
        ids << item->data(Qt::UserRole).toString();
    }
    AsignarLista(m_filaValores, nombres, ids);
}

bool TfrmSeleccionArticulos::escribirSeleccion(QString* error) {
    QList<QVariantList> anteriores;
    for (int i = 0; i < m_seleccion->storedRowCount(); ++i) {
        QVariantList fila;
        for (int f = 0; f < m_seleccion->fieldCount(); ++f)
            fila << m_seleccion->storedValue(i, f);
        anteriores << fila;
    }
    QList<CondicionArticulo> nuevas;
    for (int i = 0; i < m_condiciones->recordCount(); ++i) {
        const CondicionArticulo c = Condicion(i);
        if (idValido(c.id)) nuevas << c;
    }
    try {
        m_seleccion->close();
        m_seleccion->open();
        for (const CondicionArticulo& c : std::as_const(nuevas)) {
            m_seleccion->append();
            m_seleccion->setValue(kId, c.id);
            m_seleccion->setValue(kCampo, c.campo);
            m_seleccion->setValue(kCondicion, c.condicion);
            m_seleccion->setValue(kTipoCondicion, c.tipoCondicion);
            m_seleccion->setValue(kTipoObjeto, c.tipoObjeto);
            m_seleccion->setValue(kCondicion1, c.condicion1);
            m_seleccion->setValue(kCondicion2, c.condicion2);
            m_seleccion->setValue(kIdsCondicion1, c.idsCondicion1);
            m_seleccion->post();
        }
        m_seleccion->first();
        return true;
    } catch (const std::exception& e) {
        *error = QString::fromUtf8(e.what());
    } catch (...) {
        *error = quill::unknownErrorText();
    }
    // Nothing half-written stays: the table gets back the rows it had.
    try {
        m_seleccion->close();
        m_seleccion->open();
        for (const QVariantList& fila : std::as_const(anteriores))
            m_seleccion->appendStored(fila);
        m_seleccion->first();
    } catch (...) {
    }
    return false;
}

void TfrmSeleccionArticulos::accept() {
    // A value still being typed belongs to its row (Alt+A leaves the editor focused).
    const QModelIndex actual = grdCondiciones->currentIndex();
    if (QWidget* editor = actual.isValid() ? grdCondiciones->indexWidget(actual) : nullptr)
        grdCondiciones->itemDelegate()->setModelData(editor, m_modelo, actual);
    for (int i = 0; i < m_condiciones->recordCount(); ++i) {
        const QString motivo = ValidarCondicion(Condicion(i));
        if (motivo.isEmpty()) continue;
        mostrarMensaje(motivo, true);
        grdCondiciones->setCurrentIndex(m_modelo->index(i, ColCondicion1));
        return;
    }
    QString error;
    if (!escribirSeleccion(&error)) {
        mostrarMensaje(QStringLiteral("No se han podido guardar las condiciones: ") + error, true);
        return;
    }
    QDialog::accept();
}

} // namespace pickers
