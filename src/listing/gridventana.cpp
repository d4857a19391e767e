// The listing window's condition grid: adding and deleting rows, the catalogue drop-down, the
// operator list, the value editors, the pickers, clearing, and the saved-filter buttons.

#include "listing/tfrmlistado.h"

#include "conditions/catalogo.h"
#include "conditions/construir.h"
#include "conditions/filtros.h"
#include "conditions/tdmlstpaciente.h"
#include "conditions/tlstfiltros.h"
#include "host/bloque.h"
#include "listing/tbuscarpaciente.h"
#include "listing/tfltarticulo.h"
#include "listing/tfrmlstbuscarfiltros.h"
#include "listing/tfrmlstcrearfiltro.h"
#include "platform/memtable.h"
#include "platform/memtablemodel.h"
#include "platform/modal.h"
#include "sql/lstbasesentencia.h"
#include "sql/lstconfiguracion.h"
#include "sql/valores.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>

#include <cmath>

using quill::MemTable;
namespace operador = quill::operador;

namespace {

const QString& kId = quill::campo::Id;
const QString& kIdGrupo = quill::campo::IdGrupo;
const QString& kCampo = quill::campo::Campo;
const QString& kCondicion = quill::campo::Condicion;
const QString& kTipoCondicion = quill::campo::TipoCondicion;
const QString& kTipoObjeto = quill::campo::TipoObjeto;
const QString& kCondicion1 = quill::campo::Condicion1;
const QString& kCondicion2 = quill::campo::Condicion2;
const QString& kCondicion1Ids = quill::campo::Condicion1Ids;
const QString& kContador = quill::campo::Contador;

// Value-list code of the range-pickable code: the patient code, chosen with the patient picker.
constexpr qint16 kObjetoCodigoPaciente = 16;
// Value-list code of the localities: ticked names are resolved to every locality of that name.
constexpr qint16 kObjetoLocalidades = 1;

const QString kPreguntaLimpiar =
    QStringLiteral("¿Desea borrar todos los filtros del listado para comenzar de nuevo?");
const QString kAyudaInsertar =
    QStringLiteral("'INSERT' para añadir filtros de búsqueda al listado");

bool sinValor(const QString& condicion) {
    return condicion == operador::Vacio || condicion == operador::NoVacio;
}

// The empty date of the shop database never shows as a date.
bool esFechaVacia(const QDate& fecha) {
    return !fecha.isValid() || fecha == QDate(1899, 12, 30);
}

template <typename T> void liberar(QPointer<T>& p) {
    delete p.data();
    p = nullptr;
}

} // namespace

MemTable* TfrmListado::TablaCondiciones() const {
    return dmlstPaciente ? dmlstPaciente->TablaActual() : nullptr;
}

quill::CatalogoPopup* TfrmListado::PopupCatalogo() const {
    return qobject_cast<quill::CatalogoPopup*>(grdFiltro.data());
}

quill::CalendarioPopup* TfrmListado::PopupCalendario() const {
    return qobject_cast<quill::CalendarioPopup*>(Calendario.data());
}

quill::CheckListPopup* TfrmListado::PopupCheck() const {
    return qobject_cast<quill::CheckListPopup*>(CheckComboBox.data());
}

int TfrmListado::ColumnaActual() const {
    const QModelIndex actual = grdListado->currentIndex();
    return actual.isValid() ? actual.column() + 1 : 0;
}

// ---- Wiring ----

void TfrmListado::ConectarGrid() {
    auto* grid = grdListado;
    grid->setItemDelegate(new quill::CondicionDelegate(this, grid));
    grid->setAntesDeEditar([this](const QModelIndex& celda) { return EmpezarEdicion(celda); });

    connect(grid, &quill::GridCondiciones::celdaActual, this,
            [this](const QModelIndex& actual, const QModelIndex& anterior) {
                if (!actual.isValid()) return;
                // A kind switch focuses its table anew and keeps its own status text.
                if (anterior.isValid() && actual.column() != anterior.column())
                    setTextoAyuda(quill::TLstConfiguracion::Ayuda(qint16(actual.column() + 1)));
                if (anterior.isValid() && actual.row() == anterior.row()) return;
                if (!grdListado->porUsuario()) return;
                // Leaving a row posts it; an existing row keeps the operator it has.
                Proteger(QStringLiteral("grdListado -> FocusedRecordChanged"), [this, actual] {
                    MemTable* t = TablaCondiciones();
                    if (!t || !t->isOpen() || actual.row() >= t->recordCount()) return;
                    if (t->currentRow() != actual.row()) t->moveTo(actual.row());
                    if (t->state() != MemTable::State::Insert) OperadorCargado = true;
                });
            });
    connect(grid, &quill::GridCondiciones::borrarFila, this, [this] {
        Proteger(QStringLiteral("grdListado -> OnKeyDown"), [this] { BorrarFila(); });
    });
    connect(grid, &quill::GridCondiciones::finFilas, this, [this] {
        Proteger(QStringLiteral("grdListado -> OnKeyDown"), [this] {
            if (MemTable* t = TablaCondiciones()) t->post();
        });
    });

    connect(tbnLimpiar, &QPushButton::clicked, this,
            [this] { Proteger(QStringLiteral("tbnLimpiar -> OnClick"), [this] { Limpiar(); }); });
    connect(tbnGuardar, &QPushButton::clicked, this, [this] {
        Proteger(QStringLiteral("tbnGuardar -> OnClick"), [this] { GuardarFiltros(); });
    });
    connect(tbnCargar, &QPushButton::clicked, this, [this] {
        Proteger(QStringLiteral("tbnCargar -> OnClick"), [this] { CargarFiltros(); });
    });

    // Keys the window sees first, wherever the focus is inside it.
    auto* insertar = new QShortcut(QKeySequence(Qt::Key_Insert), this);
    insertar->setContext(Qt::WidgetWithChildrenShortcut);
    connect(insertar, &QShortcut::activated, this,
            [this] { Proteger(QStringLiteral("FormKeyDown"), [this] { AnadirCampo(); }); });
    auto* f7 = new QShortcut(QKeySequence(Qt::Key_F7), this);
    f7->setContext(Qt::WidgetWithChildrenShortcut);
    connect(f7, &QShortcut::activated, this,
            [this] { Proteger(QStringLiteral("tbnLimpiar -> OnClick"), [this] { Limpiar(); }); });
}

// ---- Rows ----

void TfrmListado::AnadirCampo() {
    MemTable* t = TablaCondiciones();
    if (!t || !t->isOpen()) return;
    grdListado->confirmarEditor();
    // Appending posts the row being left, which sets the flag: the new row starts without it.
    t->append();
    OperadorCargado = false;
    t->setValue(kContador, -1);
    t->setValue(kId, -1.0);
    setTextoAyuda(quill::TLstConfiguracion::Ayuda(1));
    if (QAbstractItemModel* m = grdListado->model()) {
        grdListado->setCurrentIndex(m->index(t->currentRow(), 0));
        grdListado->setFocus();
    }
}

void TfrmListado::BorrarFila() {
    MemTable* t = TablaCondiciones();
    const QModelIndex actual = grdListado->currentIndex();
    if (!t || !t->isOpen() || !actual.isValid() || actual.row() >= t->recordCount()) return;
    grdListado->cerrarEditor();
    // The row goes as it is: pending changes of the row itself are not posted first.
    if (t->currentRow() == actual.row()) {
        if (t->state() == MemTable::State::Edit) t->cancel();
    } else {
        t->moveTo(actual.row());
    }
    t->remove();
    if (QAbstractItemModel* m = grdListado->model(); m && t->recordCount() > 0)
        grdListado->setCurrentIndex(m->index(t->currentRow(), actual.column()));
}

// ---- Catalogue ----

qint16 TfrmListado::CrearGrid(qint16 tipo) {
    grdListado->cerrarEditor();
    liberar(grdFiltro);
    auto* catalogo = new quill::CatalogoPopup(this);
    grdFiltro = catalogo;
    if (!dmlstPaciente) return -1;
    const auto* puesto = quill::slotObject<quill::TConfPuesto>(m_bloque, quill::SlotSettings);
    const QString carpeta = puesto ? puesto->CarpetaPaquetes : QString();
    if (quill::CargarCatalogo(*dmlstPaciente->cdsFiltros, carpeta, tipo) != quill::kCatalogoCargado)
        return -1;
    catalogo->cargar(*dmlstPaciente->cdsFiltros);
    return 0;
}

void TfrmListado::EditarTabla(const quill::EntradaArbol& e) {
    MemTable* t = TablaCondiciones();
    if (!t || !t->isOpen()) return;
    t->edit();
    // Operator and values of another field mean nothing for this one.
    if (t->isNull(kId) || t->asDouble(kId) != e.id) {
        for (const QString& campo : {kCondicion, kCondicion1, kCondicion2, kCondicion1Ids})
            t->setValue(campo, QString());
    }
    t->setValue(kId, e.id);
    t->setValue(kIdGrupo, e.idGrupo);
    t->setValue(kCampo, e.campo);
    t->setValue(kTipoCondicion, e.tipoCampo);
    t->setValue(kTipoObjeto, e.tipoObjeto);
    OperadorCargado = false;
}

// ---- Editing ----

bool TfrmListado::EmpezarEdicion(const QModelIndex& celda) {
    bool permitido = false;
    Proteger(QStringLiteral("grdListado -> Editing"), [&] {
        MemTable* t = TablaCondiciones();
        if (!t || !t->isOpen() || celda.row() >= t->recordCount()) return;
        if (t->currentRow() != celda.row()) t->moveTo(celda.row());
        if (grdListado->currentIndex() != celda) grdListado->setCurrentIndex(celda);
        switch (celda.column() + 1) {
        case 1:
            permitido = true;
            break;
        case 2:
            CargarCondicion();
            permitido = true;
            break;
        case 3:
            CargarValor();
            permitido = true;
            break;
        case 4: {
            CargarValor();
            const QString condicion = t->asString(kCondicion);
            permitido = condicion == operador::Entre || condicion.isEmpty();
            break;
        }
        default:
            break;
        }
    });
    return permitido;
}

void TfrmListado::CargarCondicion() {
    MemTable* t = TablaCondiciones();
    if (!t || !LstConfiguracion) return;
    ListaCondiciones.clear();
    const qint16 tipo = qint16(t->asInt(kTipoCondicion));
    LstConfiguracion->setTipoCampo(tipo);
    // The reduced fields and the range-pickable text are the configuration's to know.
    if (LstConfiguracion->CargarOperadoresCampo(t->asDouble(kId), qint16(t->asInt(kTipoObjeto))) ==
        quill::TLstConfiguracion::Preparado)
        ListaCondiciones = LstConfiguracion->Operadores();
    if (!OperadorCargado) {
        const auto* usuario = quill::slotObject<quill::TUsuario>(m_bloque, quill::SlotUser);
        quill::TLstConfiguracion::PalabrasOperador palabras;
        if (usuario) {
            palabras.numero = usuario->OperadorNumero;
            palabras.texto = usuario->OperadorTexto;
            palabras.fecha = usuario->OperadorFecha;
        }
        const QString defecto = quill::TLstConfiguracion::OperadorPorDefecto(tipo, palabras);
        t->edit();
        t->setValue(kCondicion, defecto);
        OperadorCargado = true;
    }
}

void TfrmListado::CambiarCondicion() {
    MemTable* t = TablaCondiciones();
    if (!t || t->isEmpty()) return;
    if (t->asString(kCondicion) != operador::Entre && !t->asString(kCondicion2).isEmpty()) {
        t->edit();
        t->setValue(kCondicion2, QString());
    }
}

void TfrmListado::CargarValor() {
    MemTable* t = TablaCondiciones();
    if (!t) return;
    const qint16 tipo = qint16(t->asInt(kTipoCondicion));
    const qint16 objeto = qint16(t->asInt(kTipoObjeto));
    const QString condicion = t->asString(kCondicion);
    EditorCondicion = EditorValor::Texto;
    EditorSoloLectura = false;
    EditorPopup = nullptr;
    switch (tipo) {
    case 2:
        if (sinValor(condicion)) {
            EditorSoloLectura = true;
        } else {
            if (!Calendario) Calendario = new quill::CalendarioPopup(this);
            EditorCondicion = EditorValor::Popup;
            EditorPopup = Calendario;
        }
        break;
    case 3:
        CargarComboBox();
        EditorCondicion = EditorValor::ComboBox;
        break;
    case 4:
        CrearComboBox();
        CargarCheckComboBox();
        if (sinValor(condicion)) {
            EditorSoloLectura = true;
        } else {
            EditorCondicion = EditorValor::Popup;
            EditorPopup = CheckComboBox;
        }
        break;
    case 5:
        EditorCondicion = EditorValor::Boton;
        EditorSoloLectura = true;
        break;
    default: // 0 number, 1 text
        if (objeto == kObjetoCodigoPaciente && condicion == operador::Entre) {
            EditorCondicion = EditorValor::Boton;
            EditorSoloLectura = true;
        } else {
            EditorSoloLectura = sinValor(condicion);
        }
        break;
    }
}

namespace {

// Loads a value list into the window's copies; a list the database could not give is an error
// worth showing, an unknown code simply has no values.
void cargarValores(quill::TLstConfiguracion& configuracion, qint16 codigo, QStringList& nombres,
                   QStringList& ids) {
    nombres.clear();
    ids.clear();
    const int r = configuracion.CargarValores(codigo);
    if (r == quill::TLstConfiguracion::ErrorLectura) throw quill::Error(configuracion.Error());
    if (r != quill::TLstConfiguracion::Preparado) return;
    nombres = configuracion.Nombres();
    ids = configuracion.Ids();
}

} // namespace

void TfrmListado::CargarComboBox() {
    MemTable* t = TablaCondiciones();
    if (!t || !LstConfiguracion) return;
    cargarValores(*LstConfiguracion, qint16(t->asInt(kTipoObjeto)), ListaValores, IdsValores);
}

void TfrmListado::CrearComboBox() {
    if (!CheckComboBox) CheckComboBox = new quill::CheckListPopup(this);
}

void TfrmListado::CargarCheckComboBox() {
    MemTable* t = TablaCondiciones();
    quill::CheckListPopup* lista = PopupCheck();
    if (!t || !LstConfiguracion || !lista) return;
    const qint16 codigo = qint16(t->asInt(kTipoObjeto));
    cargarValores(*LstConfiguracion, codigo, ListaValores, IdsValores);
    lista->cargar(codigo, ListaValores);
}

void TfrmListado::ValidarComboBox(const QString& nombre) {
    MemTable* t = TablaCondiciones();
    if (!t || !Condiciones) return;
    Condiciones->Lista.clear();
    const qsizetype i = ListaValores.indexOf(nombre);
    const QString id = i >= 0 && i < IdsValores.size() ? IdsValores.at(i) : QString();
    if (!id.isEmpty()) Condiciones->Lista.append(id);
    t->edit();
    t->setValue(kCondicion1Ids, id);
    t->setValue(kCondicion1, nombre);
    if (ColumnaActual() == 4) t->setValue(kCondicion2, nombre);
}

void TfrmListado::MarcarCheckComboBox() {
    MemTable* t = TablaCondiciones();
    quill::CheckListPopup* marcas = PopupCheck();
    if (!t || !Condiciones || !marcas || !LstConfiguracion) return;
    const bool localidades = t->asInt(kTipoObjeto) == kObjetoLocalidades;
    Condiciones->Lista.clear();
    QStringList nombres;
    QStringList ids;
    for (int i : marcas->marcados()) {
        const QString nombre = marcas->lista()->item(i)->text();
        nombres << nombre;
        if (localidades) {
            // One name may stand for several localities: every one is taken.
            const QStringList encontrados = LstConfiguracion->IdsLocalidad(nombre);
            ids << encontrados;
            Condiciones->Lista << encontrados;
        } else if (i < IdsValores.size()) {
            ids << IdsValores.at(i);
            Condiciones->Lista.append(IdsValores.at(i));
        }
    }
    const int columna = ColumnaActual();
    t->edit();
    if (columna == 4) {
        t->setValue(kCondicion2, nombres.join(QStringLiteral("; ")));
    } else {
        t->setValue(kCondicion1, nombres.join(QStringLiteral("; ")));
        t->setValue(kCondicion1Ids, ids.join(QLatin1Char(';')));
    }
}

void TfrmListado::ElegirFecha(const QDate& fecha) {
    MemTable* t = TablaCondiciones();
    if (!t) return;
    const QString texto = esFechaVacia(fecha) ? QString() : quill::dateText(fecha);
    t->edit();
    t->setValue(ColumnaActual() == 4 ? kCondicion2 : kCondicion1, texto);
}

// ---- Pickers ----

void TfrmListado::PulsarBoton() {
    MemTable* t = TablaCondiciones();
    if (!t || t->isEmpty()) return;
    const int id = quill::IdEntero(t->asDouble(kId));
    if (id == 192 || id == 129 || id == 91)
        BuscarArticulo();
    else if (t->asInt(kTipoObjeto) == kObjetoCodigoPaciente)
        BuscarPaciente();
}

void TfrmListado::BuscarArticulo() {
    MemTable* t = TablaCondiciones();
    if (!t || !dmlstPaciente || !FltArticulo) return;
    int numero = t->isNull(kContador) ? -1 : t->asInt(kContador);
    MemTable* seleccion = numero == -1 ? nullptr : dmlstPaciente->Articulos(numero);
    if (!seleccion) {
        numero = ContadorArticulos++;
        seleccion = dmlstPaciente->CrearArticulos(numero);
        t->edit();
        t->setValue(kContador, numero);
    }
    const qint16 respuesta = FltArticulo->BuscarArticulos(
        m_bloque, seleccion, quill::TipoListadoArticulos(t->asDouble(kId)));
    t->edit();
    t->setValue(kCondicion1, TFltArticulo::TextoCondicion1(respuesta, seleccion));
    if (respuesta != TFltArticulo::Correcto && !FltArticulo->Error().isEmpty())
        setTextoAyuda(FltArticulo->Error());
}

void TfrmListado::BuscarPaciente() {
    MemTable* t = TablaCondiciones();
    if (!t || !BuscarPacienteObj) return;
    const int codigo = BuscarPacienteObj->Buscar(m_bloque);
    if (codigo > 0) {
        t->edit();
        t->setValue(ColumnaActual() == 3 ? kCondicion1 : kCondicion2, QString::number(codigo));
    } else if (!BuscarPacienteObj->Error().isEmpty()) {
        setTextoAyuda(BuscarPacienteObj->Error());
    }
}

// ---- Clearing ----

void TfrmListado::Limpiar() {
    if (!quill::Modal::current().question(QStringLiteral("AVISO"), kPreguntaLimpiar)) return;
    LimpiarCampos();
    CondicionesSinGuardar = false;
    pnlTitulo->setText(TituloListado());
}

void TfrmListado::LimpiarCampos() {
    grdListado->cerrarEditor();
    Etiqueta = false;
    liberar(Calendario);
    liberar(CheckComboBox);
    EditorPopup = nullptr;
    LiberarFilas();
    if (!dmlstPaciente) return;
    if (MemTable* t = TablaCondiciones()) {
        t->close();
        t->open();
    }
    dmlstPaciente->VaciarTablas();
    dmlstPaciente->AnadirFilaVacia();
    // Nothing chosen for a condition that is gone may shape a later listing.
    if (Condiciones) Condiciones->Limpiar();
    if (QAbstractItemModel* m = grdListado->model(); m && m->rowCount() > 0)
        grdListado->setCurrentIndex(m->index(0, 0));
    setTextoAyuda(kAyudaInsertar);
}

// ---- Saved filters ----

void TfrmListado::GuardarFiltros() {
    MemTable* t = TablaCondiciones();
    if (!t || !LstFiltros) return;
    grdListado->confirmarEditor();
    const QString carpeta = LstFiltros->CarpetaFiltros();
    const QString nombre =
        quill::PedirNombreFiltro(FiltroCargado, this, [carpeta](const QString& n) {
            return QFileInfo::exists(QDir(carpeta).filePath(n + QStringLiteral(".xml")));
        });
    if (nombre.isEmpty()) return;
    const quill::ResultadoFiltro r =
        quill::GuardarFiltro(*LstFiltros, *t, TipoListado, rbnTodas->isChecked(), nombre);
    if (r.codigo == 0) CondicionesSinGuardar = false;
}

void TfrmListado::CargarFiltros() {
    if (!LstFiltros || !dmlstPaciente) return;
    grdListado->confirmarEditor();
    const QString nombre = quill::ElegirFiltro(m_bloque, TipoListado, this);
    if (nombre.isEmpty()) return;
    // Conditions typed since the last save or load are not lost without a question.
    if (CondicionesSinGuardar && TieneCondiciones() &&
        !quill::Modal::current().question(
            QStringLiteral("AVISO"),
            QStringLiteral("Las condiciones actuales no se han guardado. ¿Desea reemplazarlas "
                           "por las del filtro «%1»?")
                .arg(nombre)))
        return;
    FiltroCargado = nombre;
    pnlTitulo->setText(TituloListado(nombre));
    quill::VentanaFiltro ventana;
    ventana.datos = dmlstPaciente;
    ventana.reconstruir = &ReconstruirSentencia;
    ventana.lista = Condiciones ? &Condiciones->Lista : nullptr;
    ventana.limpiarCampos = [this] { LimpiarCampos(); };
    const quill::ResultadoFiltro r = quill::MostrarFiltros(*LstFiltros, ventana, nombre);
    if (r.codigo == 0) (r.todas ? rbnTodas : rbnCualquiera)->setChecked(true);
    CondicionesSinGuardar = false;
    if (QAbstractItemModel* m = grdListado->model(); m && m->rowCount() > 0)
        grdListado->setCurrentIndex(m->index(0, 0));
}
