#include "listing/tfrmlistado.h"

#include "business/acceso.h"
#include "conditions/construir.h"
#include "conditions/tdmlstpaciente.h"
#include "conditions/tlstfiltros.h"
#include "host/bloque.h"
#include "listing/imagenes.h"
#include "listing/navbar.h"
#include "listing/tbuscarpaciente.h"
#include "listing/tfltarticulo.h"
#include "listing/tfrmerror.h"
#include "platform/memtable.h"
#include "platform/memtablemodel.h"
#include "platform/modal.h"
#include "queries/tdmconsumo.h"
#include "queries/tdmencargo.h"
#include "queries/tdmfechas.h"
#include "queries/tdmgarantias.h"
#include "queries/tdmgeneral.h"
#include "queries/tdmprescripciones.h"
#include "queries/tdmreposiciones.h"
#include "sql/lstbasesentencia.h"
#include "sql/lstconfiguracion.h"
#include "sql/lstsentpaciente.h"
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

const QString kSinObjetos = QStringLiteral(
    "No se han creado los objetos del listado: cierre la ventana y vuelva a abrirla");

// Titles above the grid, by kind code.
const char* const kTitulos[] = {
    "Condiciones Listado General",
    "Condiciones Listado Por Consumo",
    "Condiciones Listado Encargos Pendientes",
    "Condiciones Listado Por Fechas",
    "Condiciones Listado Prescripciones al CNOO",
    "Condiciones Listado Reposiciones",
    "Condiciones Listado Garantías",
};

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
    dmlstPaciente->setBloque(m_bloque);

    // The seven listing modules, in this order, each bound to slots 2 and 5.
    auto modulo = [this, owner](auto* m) {
        m->setBloque(m_bloque);
        return m;
    };
    dmGeneral = modulo(new TdmGeneral(owner));
    dmGarantias = modulo(new TdmGarantias(owner));
    dmPrescripciones = modulo(new TdmPrescripciones(owner));
    dmConsumo = modulo(new TdmConsumo(owner));
    dmFechas = modulo(new TdmFechas(owner));
    dmEncargo = modulo(new TdmEncargo(owner));
    dmReposiciones = modulo(new TdmReposiciones(owner));

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
    LstSentPaciente = std::make_unique<quill::TLstSentPaciente>(conexionDefecto);
    LstFiltros = new TLstFiltros(owner);
    LstFiltros->setBloque(m_bloque);

    Localidad.reset();
    Almacen.reset();
    Documento.reset();
    FormatoEtiqueta.reset();

    connect(dmlstPaciente, &TdmlstPaciente::tablaActualCambiada, this,
            [this](int) { EnlazarGrid(); });
    InstalarEventos();
    dmlstPaciente->AbrirTablas();

    Lista = std::make_unique<QStringList>();
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
    if (dmlstPaciente && dmlstPaciente->imlBotones.isEmpty())
        dmlstPaciente->imlBotones = quill::imagenesBotones();
    nbrListado->setSmallImages(dmlstPaciente ? dmlstPaciente->imlBotones
                                             : quill::imagenesBotones());
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
    TipoPrescripcion = QStringLiteral("Óptica");
    if (dmGarantias) {
        dmGarantias->Familias.clear();
        dmGarantias->Ojos.clear();
    }
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
    for (QWidget* w :
         std::initializer_list<QWidget*>{nbiImprimir, nbiExportar, nbiEtiqueta, nbiConteo, nbiSMS,
                                         nbrEmail, nbiFicheroSMS, rbnTodas, rbnCualquiera})
        w->setEnabled(true);
    switch (TipoListado) {
    case 4:
        for (QWidget* w : std::initializer_list<QWidget*>{nbiExportar, nbiEtiqueta, nbiConteo,
                                                          nbiSMS, nbrEmail, nbiFicheroSMS})
            w->setEnabled(false);
        break;
    case 5:
        nbrEmail->setEnabled(false);
        break;
    case 6:
        rbnTodas->setEnabled(false);
        rbnCualquiera->setEnabled(false);
        break;
    default:
        break;
    }
}

QString TfrmListado::TituloListado(qint16 tipo, const QString& filtro) {
    QString titulo = tipo >= 0 && tipo < 7 ? QString::fromUtf8(kTitulos[tipo]) : QString();
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

void TfrmListado::BeforePost(MemTable& tabla) {
    if (!ReconstruirSentencia) return;
    PrepararLista(tabla);
    if (CampoEspecial(tabla) == 0) ConstruirSentenciaSQL(tabla);
}

void TfrmListado::AfterPost(MemTable&) {
    OperadorCargado = true;
    ++NumObjetosFila;
}

void TfrmListado::BeforeDelete(MemTable& tabla) {
    const double id = tabla.asDouble(QStringLiteral("Id"));
    if (id == 50) {
        if (dmFechas && !dmFechas->Familias.isEmpty()) dmFechas->Familias.clear();
        if (dmGeneral && !dmGeneral->Familias.isEmpty()) dmGeneral->Familias.clear();
    } else if (id == 463) {
        TipoPrescripcion = QStringLiteral("Óptica");
    }
}

namespace {

// The values of a condition row the builder reads.
quill::CondicionFila filaDe(const MemTable& tabla) {
    quill::CondicionFila fila;
    fila.id = tabla.isNull(QStringLiteral("Id")) ? -1.0 : tabla.asDouble(QStringLiteral("Id"));
    fila.condicion = tabla.asString(QStringLiteral("Condicion"));
    fila.condicion1 = tabla.asString(QStringLiteral("Condicion1"));
    fila.condicion2 = tabla.asString(QStringLiteral("Condicion2"));
    return fila;
}

// A debt value of field 552 as a number; an empty value is 0 only where the operator needs none.
double numeroDeuda(const QString& texto, const QString& condicion) {
    if (texto.trimmed().isEmpty() &&
        (condicion == quill::operador::Vacio || condicion == quill::operador::NoVacio))
        return 0.0;
    return quill::checkedNumber(texto).toDouble();
}

} // namespace

int TfrmListado::CampoEspecial(MemTable& tabla) {
    if (!Lista || !LstSentPaciente || !dmlstPaciente) throw quill::Error(kSinObjetos);
    const quill::CondicionFila fila = filaDe(tabla);
    // A refused value leaves the row with the fragment it had, and says so.
    auto rehusar = [](const QString& mensaje) {
        quill::Modal::current().message(QStringLiteral("AVISO"), mensaje, quill::MessageIcon::Stop);
        return quill::kErrorCondicion;
    };
    switch (quill::CampoEspecialDe(fila.id)) {
    case quill::CampoEspecial::CodigoPostal:
    case quill::CampoEspecial::Provincia:
    case quill::CampoEspecial::FechaFicha: {
        const quill::ResultadoCondicion r =
            quill::ConstruirCondicion(*LstSentPaciente, fila, *Lista);
        if (r.codigo != quill::kCondicionConstruida) return rehusar(r.mensaje);
        tabla.setValue(QStringLiteral("Sentencia"), r.sentencia);
        return 1;
    }
    case quill::CampoEspecial::TipoPrescripcion:
        TipoPrescripcion = fila.condicion1;
        return 1;
    case quill::CampoEspecial::Deuda: {
        try {
            const double valor1 = numeroDeuda(fila.condicion1, fila.condicion);
            const bool unValor = fila.condicion == quill::operador::IgualA ||
                                 fila.condicion == quill::operador::DistintoDe ||
                                 fila.condicion == quill::operador::MayorQue ||
                                 fila.condicion == quill::operador::MenorQue;
            const double valor2 = unValor ? -1.0 : numeroDeuda(fila.condicion2, fila.condicion);
            EncargoValor1 = valor1;
            EncargoValor2 = valor2;
            EncargoOperador = fila.condicion;
        } catch (const quill::Error&) {
            return rehusar(quill::fragmentErrorMessage());
        }
        return 1;
    }
    case quill::CampoEspecial::Articulos: {
        // The row's own selection: its conditions, each in parentheses, joined by AND, restrict
        // the listing through the row's Sentencia.
        const int numero =
            tabla.isNull(QStringLiteral("Contador")) ? -1 : tabla.asInt(QStringLiteral("Contador"));
        const MemTable* seleccion = numero == -1 ? nullptr : dmlstPaciente->Articulos(numero);
        QString sentencia;
        if (seleccion) {
            try {
                sentencia = SentenciaArticulos(*LstSentPaciente,
                                               quill::TipoListadoArticulos(fila.id), *seleccion);
            } catch (const std::exception&) {
                return rehusar(quill::fragmentErrorMessage());
            }
        }
        CondicionesArticulos += sentencia;
        tabla.setValue(QStringLiteral("Sentencia"), sentencia);
        return 1;
    }
    case quill::CampoEspecial::TipoFicha:
        if (dmGeneral) dmGeneral->Familias = *Lista;
        if (dmFechas) dmFechas->Familias = *Lista;
        return 0;
    case quill::CampoEspecial::GarantiaTipoFicha:
        if (dmGarantias) dmGarantias->Familias = *Lista;
        return 0;
    case quill::CampoEspecial::GarantiaOjo:
        if (dmGarantias) dmGarantias->Ojos = QStringList{Lista->join(QLatin1Char('\n'))};
        return 0;
    case quill::CampoEspecial::Ninguno:
        break;
    }
    return 0;
}

int TfrmListado::ConstruirSentenciaSQL(MemTable& tabla) {
    if (!LstSentPaciente || !Lista) throw quill::Error(kSinObjetos);
    const quill::ResultadoCondicion r =
        quill::ConstruirCondicion(*LstSentPaciente, filaDe(tabla), *Lista);
    if (r.codigo != quill::kCondicionConstruida) {
        // The row keeps the fragment it had.
        quill::Modal::current().message(QStringLiteral("AVISO"), r.mensaje,
                                        quill::MessageIcon::Stop);
        return r.codigo;
    }
    if (r.conSentencia) tabla.setValue(QStringLiteral("Sentencia"), r.sentencia);
    return 0;
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
    liberar(dmGeneral);
    liberar(dmGarantias);
    liberar(dmPrescripciones);
    liberar(dmConsumo);
    liberar(dmFechas);
    liberar(dmEncargo);
    liberar(dmReposiciones);
    LstConfiguracion.reset();
    liberar(FltArticulo);
    liberar(LstFiltros);
    Localidad.reset();
    Almacen.reset();
    Documento.reset();
    FormatoEtiqueta.reset();
    liberar(BuscarPacienteObj);
    LstSentPaciente.reset();
    Lista.reset();
    liberar(grdFiltro);
}

void TfrmListado::LiberarFilas() {
    for (int i = int(ObjetosFila.size()) - 1; i >= 0; --i)
        delete ObjetosFila[i];
    ObjetosFila.clear();
    NumObjetosFila = 0;
}
