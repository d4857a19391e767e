#include "listing/tfrmlistado.h"

#include "actions/ejecutor.h"
#include "business/acceso.h"
#include "conditions/tdmlstpaciente.h"
#include "conditions/tlstfiltros.h"
#include "host/bloque.h"
#include "listing/imagenes.h"
#include "listing/navbar.h"
#include "listing/tbuscarpaciente.h"
#include "listing/tfltarticulo.h"
#include "listing/tfrmerror.h"
#include "listing/tfrmlstbuscarfiltros.h"
#include "platform/memtable.h"
#include "platform/memtablemodel.h"
#include "platform/modal.h"
#include "sql/lstbasesentencia.h"
#include "sql/lstconfiguracion.h"
#include "sql/valores.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTableView>

using quill::MemTable;

const QString TfrmListado::NombrePantalla = QStringLiteral("Listado - Pacientes");

namespace {

// A condition row's field and values as one text: what a refusal is remembered by.
QString claveRechazo(const quill::FilaCondicion& f) {
    return QStringList{QString::number(f.id, 'g', 15), f.condicion, f.condicion1, f.condicion2,
                       f.condicion1Ids}
        .join(QChar(0x1f));
}

const QString kSinObjetos = QStringLiteral(
    "No se han creado los objetos del listado: cierre la ventana y vuelva a abrirla");

// Frees an owned QObject now and leaves the pointer null.
template <typename T> void liberar(QPointer<T>& p) {
    delete p.data();
    p = nullptr;
}

} // namespace

TfrmListado::TfrmListado(const std::intptr_t* bloque)
    : TfrmlstBase(quill::slotOwner(bloque)), m_bloque(bloque) {
    setObjectName(QStringLiteral("frmListado"));
    setWindowTitle(QStringLiteral("Listado de Pacientes"));
    // A child of the host's window, but a window of its own until the host's area takes it.
    setWindowFlags(Qt::Window);
    // The window frees itself once closed (FormClose).
    setAttribute(Qt::WA_DeleteOnClose);

    connect(nbiSalir, &QToolButton::clicked, this,
            [this] { Proteger(QStringLiteral("nbiSalir -> OnClick"), [this] { Salir(); }); });
    // The condition grid: its delegate, editing event, keys and buttons (gridventana.cpp).
    ConectarGrid();
    // Actions: the other Tareas items run their actions (acciones.cpp).
    ConectarAcciones();
}

TfrmListado::~TfrmListado() {
    LiberarObjetos();
    LiberarFilas();
}

quill::EjecutorListado* TfrmListado::Ejecutor(qint16 tipo) const {
    return tipo >= 0 && tipo < qint16(Ejecutores.size()) ? Ejecutores[size_t(tipo)].get() : nullptr;
}

void TfrmListado::Iniciar() {
    Proteger(QStringLiteral("CrearObjetos"), [this] { CrearObjetos(); });
    Proteger(QStringLiteral("ConstruirArbol"), [this] { ConstruirArbol(); });
    Proteger(QStringLiteral("Idioma"), [this] { Idioma(); });
    Proteger(QStringLiteral("Recursos"), [this] { Recursos(); });
    Proteger(QStringLiteral("ValoresIniciales"), [this] { ValoresIniciales(); });
}

void TfrmListado::CrearObjetos() {
    QWidget* owner = quill::slotOwner(m_bloque);
    const auto* db = quill::slotObject<quill::HostConnection>(m_bloque, quill::SlotDatabase);
    const auto* dbDefecto =
        quill::slotObject<quill::HostConnection>(m_bloque, quill::SlotDefaultDatabase);
    const QString conexion = db ? db->connectionName : QString();
    const QString conexionDefecto = dbDefecto ? dbDefecto->connectionName : QString();

    dmlstPaciente = new TdmlstPaciente(owner);

    // One runner per kind of the registry; its data module runs on the host's connection and
    // transaction (slots 2 and 5).
    const auto* tr = quill::slotObject<quill::HostTransaction>(m_bloque, quill::SlotTransaction);
    Ejecutores.clear();
    for (const quill::DescriptorListado& d : quill::Listados()) {
        Ejecutores.push_back(std::make_unique<quill::EjecutorListado>(d));
        Ejecutores.back()->setConexion(conexion, tr ? tr->connectionName : QString());
    }

    LstConfiguracion = std::make_unique<quill::TLstConfiguracion>(conexionDefecto);
    // No filter value unless the user's flag word asks for one.
    const auto* usuario = quill::slotObject<quill::TUsuario>(m_bloque, quill::SlotUser);
    const auto* puesto = quill::slotObject<quill::TConfPuesto>(m_bloque, quill::SlotSettings);
    FiltroConfiguracion = (usuario && usuario->Filtrar != 0 && puesto)
                              ? static_cast<double>(puesto->ValorFiltro)
                              : -1.0;
    LstConfiguracion->setFiltroConfiguracion(FiltroConfiguracion);

    FltArticulo = new TFltArticulo(owner, conexion, conexionDefecto);
    BuscarPacienteObj = new TBuscarPaciente(owner, conexion, conexionDefecto);
    Condiciones = std::make_unique<quill::ControlCondiciones>(conexionDefecto);
    LstFiltros = new TLstFiltros(owner);
    quill::AsignarCarpetas(*LstFiltros, m_bloque);

    Localidad.reset();
    Almacen.reset();
    Documento.reset();
    FormatoEtiqueta.reset();

    connect(dmlstPaciente, &TdmlstPaciente::tablaActualCambiada, this,
            [this](int) { EnlazarGrid(); });
    InstalarEventos();
    dmlstPaciente->AbrirTablas();

    dmlstPaciente->LiberarArticulos(0);
}

void TfrmListado::InstalarEventos() {
    for (MemTable* t : dmlstPaciente->Tablas()) {
        t->setBeforeInsert([this](MemTable& m) { BeforeInsert(m); });
        t->setBeforeEdit([this](MemTable& m) { BeforeEdit(m); });
        t->setBeforePost([this](MemTable& m) { BeforePost(m); });
        t->setAfterPost([this](MemTable& m) { AfterPost(m); });
        t->setBeforeDelete([this](MemTable& m) { BeforeDelete(m); });
    }
}

void TfrmListado::EnlazarGrid() {
    if (!dmlstPaciente) return;
    grdListado->setModel(dmlstPaciente->dtsDatos());
    QHeaderView* cabecera = grdListado->horizontalHeader();
    cabecera->resizeSection(0, 115);
    cabecera->resizeSection(1, 108);
    cabecera->resizeSection(2, 180);
    cabecera->setStretchLastSection(true);
}

void TfrmListado::ConstruirArbol() {
    struct Elemento {
        const char* nombre;
        const char* titulo;
        qint16 tipo;
    };
    // Display order differs from code order.
    static const Elemento elementos[] = {
        {"nbiGeneral", "General", 0},
        {"nbiConsumo", "Consumo", 1},
        {"nbiEncargos", "Encargos Pendientes", 2},
        {"nbiFechas", "Fechas", 3},
        {"nbiGarantias", "Garantías", 6},
        {"nbiPrescripciones", "Prescripciones al CNOO", 4},
        {"nbiReposiciones", "Reposiciones", 5},
    };
    for (const Elemento& e : elementos) {
        quill::NavItem* item =
            nbgListados->addItem(QString::fromLatin1(e.nombre), QString::fromUtf8(e.titulo));
        item->setTag(e.tipo);
        item->setImageIndex(quill::ImgListado);
        const QString funcion = QString::fromLatin1(e.nombre) + QStringLiteral(" -> OnClick");
        connect(item, &QToolButton::clicked, this, [this, item, funcion] {
            Proteger(funcion, [this, item] { CambiarListado(qint16(item->tag())); });
        });
    }
}

void TfrmListado::Idioma() {
    nbiImprimir->setText(QStringLiteral("Imprimir"));
    nbiExportar->setText(QStringLiteral("Exportar"));
    nbiEtiqueta->setText(QStringLiteral("Etiqueta"));
    nbiConteo->setText(QStringLiteral("Conteo"));
    nbiSalir->setText(QStringLiteral("Salir"));
    nbiSMS->setText(QStringLiteral("Envio SMS"));
    pnlTitulo->setText(QStringLiteral(" Condiciones del listado"));
    rbnTodas->setText(QStringLiteral("Que cumplan Todas las Condiciones"));
    rbnCualquiera->setText(QStringLiteral("Que cumpla Cualquiera de las Condiciones"));
}

void TfrmListado::Recursos() {
    nbrListado->setSmallImages(quill::imagenesBotones());
    nbiSalir->setImageIndex(quill::ImgSalir);
    nbiImprimir->setImageIndex(quill::ImgImprimir);
    nbiExportar->setImageIndex(quill::ImgExportar);
    nbiEtiqueta->setImageIndex(quill::ImgEtiqueta);
    nbiConteo->setImageIndex(quill::ImgConteo);
    nbrEmail->setImageIndex(quill::ImgCorreo);
    nbiFicheroSMS->setImageIndex(quill::ImgFicheroSMS);
    nbiSMS->setImageIndex(quill::ImgSMS);
}

void TfrmListado::ValoresIniciales() {
    CambiarListado(0);
    NumObjetosFila = 0;
    ContadorArticulos = 1;
    ReconstruirSentencia = true;
    Etiqueta = false;
    for (quill::NavItem* i :
         {nbiImprimir, nbiConteo, nbiSalir, nbiExportar, nbiEtiqueta, nbiSMS, nbiFicheroSMS})
        i->setVisible(true);
    for (quill::NavItem* i : {nbiGrafico, nbiTicket, nbiVisualizar})
        i->setVisible(false);
    rbnTodas->setChecked(true);
    if (Condiciones) Condiciones->Parametros.Limpiar();
}

void TfrmListado::CambiarListado(qint16 tipo) {
    if (!dmlstPaciente) throw quill::Error(kSinObjetos);
    grdListado->cerrarEditor();
    tshListado->show();
    TipoListado = tipo;
    Resultado = CrearGrid(tipo);
    dmlstPaciente->setTablaActual(tipo);
    pnlTitulo->setText(TituloListado());
    ActivarControles();
    setTextoAyuda(QStringLiteral("'INSERT' para añadir filtros de búsqueda al listado"));
    const auto& items = nbgListados->links();
    for (int i = 0; i < items.size() && i < 7; ++i)
        items[i]->setEnabled(items[i]->tag() != tipo);
    dmlstPaciente->AnadirFilaVacia();
    // The focus goes to the current row of the kind's table, first cell.
    if (MemTable* t = dmlstPaciente->TablaActual(); t && !t->isEmpty())
        grdListado->setCurrentIndex(dmlstPaciente->dtsDatos()->index(t->currentRow(), 0));
    Q_EMIT listadoCambiado(tipo);
}

void TfrmListado::ActivarControles() {
    // An action item is there for the kinds the registry routes it for.
    const quill::DescriptorListado* d = quill::Listado(TipoListado);
    const std::pair<QWidget*, qint16> items[] = {
        {nbiImprimir, AccionImprimir},
        {nbiExportar, AccionExportar},
        {nbiEtiqueta, AccionEtiqueta},
        {nbiConteo, AccionConteo},
        {nbiSMS, AccionSMS},
        {nbrEmail, AccionCorreo},
        {nbiFicheroSMS, AccionFicheroSMS},
    };
    for (const auto& [w, accion] : items)
        w->setEnabled(d && d->Admite(accion));
    for (QWidget* w : {static_cast<QWidget*>(rbnTodas), static_cast<QWidget*>(rbnCualquiera)})
        w->setEnabled(d && d->todasOCualquiera);
}

QString TfrmListado::TituloListado(qint16 tipo, const QString& filtro) {
    const quill::DescriptorListado* d = quill::Listado(tipo);
    QString titulo = d ? d->tituloCondiciones : QString();
    if (!filtro.isEmpty()) titulo += QStringLiteral(" - ") + filtro;
    return titulo;
}

QString TfrmListado::TituloListado(const QString& filtro) const {
    return TituloListado(TipoListado, filtro);
}

// ---- Row events ----

void TfrmListado::BeforeInsert(MemTable&) {
    // The slot of the current count is reused when a row was abandoned before being posted.
    while (ObjetosFila.size() <= NumObjetosFila)
        ObjetosFila.append(nullptr);
    delete ObjetosFila[NumObjetosFila];
    ObjetosFila[NumObjetosFila] = new QStringList;
}

void TfrmListado::BeforeEdit(MemTable&) {
    OperadorCargado = true;
}

void TfrmListado::AfterPost(MemTable&) {
    OperadorCargado = true;
    CondicionesSinGuardar = true;
    ++NumObjetosFila;
}

void TfrmListado::BeforeDelete(MemTable& tabla) {
    CondicionesSinGuardar = true;
    if (Condiciones) Condiciones->AlBorrar(tabla);
}

void TfrmListado::BeforePost(MemTable& tabla) {
    if (!ReconstruirSentencia) return;
    ConstruirSentenciaSQL(tabla);
}

int TfrmListado::ConstruirSentenciaSQL(MemTable& tabla) {
    if (!Condiciones || !dmlstPaciente) throw quill::Error(kSinObjetos);
    const MemTable* seleccion = nullptr;
    if (quill::CampoEspecialDe(tabla.asDouble(quill::campo::Id)) ==
            quill::CampoEspecial::Articulos &&
        !tabla.isNull(quill::campo::Contador))
        seleccion = dmlstPaciente->Articulos(tabla.asInt(quill::campo::Contador));
    const quill::ResultadoCondicion r = Condiciones->AntesDePostear(tabla, seleccion);
    if (r.codigo != quill::kCondicionConstruida) {
        // The row keeps the fragment it had; it stays marked, and every action refuses to run
        // while it is there (ValidarCondiciones builds every row again).
        m_rechazos.insert(claveRechazo(quill::FilaActual(tabla)), r.mensaje);
        quill::Modal::current().message(QStringLiteral("AVISO"), r.mensaje,
                                        quill::MessageIcon::Stop);
        return r.codigo;
    }
    return 0;
}

bool TfrmListado::TieneCondiciones() const {
    const MemTable* t = TablaCondiciones();
    for (int i = 0; t && i < t->recordCount(); ++i)
        if (!quill::LeerFila(*t, i).campo.isEmpty()) return true;
    return false;
}

bool TfrmListado::ConfirmarSalida() {
    return !TieneCondiciones() ||
           quill::Modal::current().question(
               QStringLiteral("AVISO"),
               QStringLiteral("¿Desea cerrar el listado? Se perderán las condiciones que no "
                              "haya guardado."));
}

QString TfrmListado::MotivoRechazo(int fila) const {
    const MemTable* t = TablaCondiciones();
    if (m_rechazos.isEmpty() || !t || fila < 0 || fila >= t->recordCount()) return QString();
    return m_rechazos.value(claveRechazo(quill::LeerFila(*t, fila)));
}

QString TfrmListado::AyudaCampo(int fila) const {
    const MemTable* t = TablaCondiciones();
    const MemTable* catalogo = dmlstPaciente ? dmlstPaciente->cdsFiltros : nullptr;
    if (!t || !catalogo || !catalogo->isOpen() || fila < 0 || fila >= t->recordCount())
        return QString();
    const quill::FilaCondicion f = quill::LeerFila(*t, fila);
    if (f.campo.isEmpty()) return QString();
    // Read by index: the catalogue's cursor belongs to the drop-down.
    const int fId = catalogo->fieldIndex(QStringLiteral("ID"));
    const int fGrupo = catalogo->fieldIndex(QStringLiteral("GRUPO"));
    const int fDescripcion = catalogo->fieldIndex(QStringLiteral("DESCRIPCION"));
    if (fId < 0 || fGrupo < 0) return QString();
    for (int r = 0; r < catalogo->recordCount(); ++r) {
        if (catalogo->valueAt(r, fId).toDouble() != f.id) continue;
        QString texto = QStringLiteral("<b>%1</b> (%2)").arg(f.campo.toHtmlEscaped(),
                                                            catalogo->textAt(r, fGrupo).toHtmlEscaped());
        if (fDescripcion >= 0 && !catalogo->textAt(r, fDescripcion).isEmpty())
            texto += QStringLiteral("<p>%1</p>").arg(catalogo->textAt(r, fDescripcion).toHtmlEscaped());
        return texto;
    }
    return QString();
}

// ---- Errors ----

void TfrmListado::MostrarError(const QString& funcion, const QString& mensaje) {
    TfrmError error(this);
    error.setPantalla(NombrePantalla);
    error.setFuncion(funcion);
    error.setDescripcion(mensaje);
    if (const auto* app = quill::slotObject<quill::TAplicacion>(m_bloque, quill::SlotApplication))
        error.setSoporte(app->CorreoSoporte, app->TelefonoSoporte);
    if (const auto* db = quill::slotObject<quill::HostConnection>(m_bloque, quill::SlotDatabase))
        error.setTienda(LeerDatosTienda(db->connectionName));
    error.setEnviarCorreo(
        [this](const QString& d, const TInformeError& i) { return EnviarInformeError(d, i); });
    quill::Modal::current().exec(&error);
}

// ---- Close ----

void TfrmListado::closeEvent(QCloseEvent* event) {
    if (!m_cerrado) Proteger(QStringLiteral("FormClose"), [this] { FormClose(); });
    m_cerrado = true;
    event->accept();
}

void TfrmListado::FormClose() {
    LiberarObjetos();

    const auto* log = quill::slotObject<quill::OperationLog>(m_bloque, quill::SlotLog);
    const auto* usuario = quill::slotObject<quill::TUsuario>(m_bloque, quill::SlotUser);
    const auto* puesto = quill::slotObject<quill::TConfPuesto>(m_bloque, quill::SlotSettings);
    QString error;
    const int r = quill::writeAccess(log, usuario ? int(usuario->Numero) : 0, CodigoVentana,
                                     puesto ? puesto->Puesto : 0, &error);
    LiberarFilas();
    if (r != 0) throw quill::Error(error);
}

void TfrmListado::LiberarObjetos() {
    liberar(Calendario);
    liberar(CheckComboBox);
    liberar(dmlstPaciente);
    Ejecutores.clear();
    LstConfiguracion.reset();
    liberar(FltArticulo);
    liberar(LstFiltros);
    Localidad.reset();
    Almacen.reset();
    Documento.reset();
    FormatoEtiqueta.reset();
    liberar(BuscarPacienteObj);
    Condiciones.reset();
    liberar(grdFiltro);
}

void TfrmListado::LiberarFilas() {
    for (int i = int(ObjetosFila.size()) - 1; i >= 0; --i)
        delete ObjetosFila[i];
    ObjetosFila.clear();
    NumObjetosFila = 0;
}
