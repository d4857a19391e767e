// The listing window's actions: validation of the conditions, the routing of each action to the
// method of the current listing kind, the progress window around the query, the result-code
// messages, the count and the export of the General listing.

#include "conditions/construir.h"
#include "conditions/tdmlstpaciente.h"
#include "host/bloque.h"
#include "listing/gridcondiciones.h"
#include "listing/navbar.h"
#include "listing/tfrmconteo.h"
#include "listing/tfrmlistado.h"
#include "listing/tfrmopcionesexportacion.h"
#include "listing/tfrmporcentajelistado.h"
#include "output/export/columnas.h"
#include "output/export/exportwriters.h"
#include "platform/guard.h"
#include "platform/memtable.h"
#include "platform/modal.h"
#include "queries/tdmgeneral.h"
#include "sql/lstsentpaciente.h"

#include <QApplication>
#include <QDialog>
#include <QRadioButton>

#include <cmath>

using quill::MemTable;

// The hidden export grid: the result table to write and the kind's column set over it.
struct GridExportacion {
    const MemTable* tabla = nullptr;
    quill::ExportColumnSet columnas;
};

namespace {

const QString kAviso = QStringLiteral("AVISO");
const QString kSinObjetos = QStringLiteral(
    "No se han creado los objetos del listado: cierre la ventana y vuelva a abrirla");

const QString kCamposVacios =
    QStringLiteral("No pueden existir registros vacios. Por favor borre los filtros que no desee "
                   "mediante 'Control + Sup'");
const QString kSoloEspeciales =
    QStringLiteral("El filtro seleccionado no puede generar un listado por si mismo, debe "
                   "seleccionar algún filtro más");

// Routing of the actions by kind. A name without a method is a method whose listing query is
// not built yet: it answers with the internal-error message. No name: nothing for that kind.
using Metodo = qint16 (TfrmListado::*)();
struct Ruta {
    const char* nombre;
    Metodo metodo;
};

// Columns: Imprimir, Etiqueta, Exportar and Archivo envio SMS, Conteo, Correo Electrónico,
// Envio SMS. The SMS methods of every kind report failures as SMSListadoGeneral.
const Ruta kRutas[7][6] = {
    {{"ImprimirListadoGeneral", &TfrmListado::ImprimirListadoGeneral},
     {"ImprimirEtiquetasGeneral", &TfrmListado::ImprimirEtiquetasGeneral},
     {"ExportarListadoGeneral", &TfrmListado::ExportarListadoGeneral},
     {"ConteoListadoGeneral", &TfrmListado::ConteoListadoGeneral},
     {"EMailListadoGeneral", &TfrmListado::EMailListadoGeneral},
     {"SMSListadoGeneral", &TfrmListado::SMSListadoGeneral}},
    {{"ImprimirListadoConsumo", nullptr},
     {"ImprimirEtiquetasConsumo", nullptr},
     {"ExportarListadoConsumo", nullptr},
     {"ConteoListadoConsumo", nullptr},
     {"EMailListadoConsumo", nullptr},
     {"SMSListadoGeneral", nullptr}},
    {{"ImprimirListadoEncargo", nullptr},
     {"ImprimirEtiquetasEncargo", nullptr},
     {"ExportarListadoEncargo", nullptr},
     {"ConteoListadoEncargo", nullptr},
     {"EMailListadoEncargo", nullptr},
     {"SMSListadoGeneral", nullptr}},
    {{"ImprimirListadoFechas", nullptr},
     {"ImprimirEtiquetaFechas", nullptr},
     {"ExportarListadoFechas", nullptr},
     {"ConteoListadoFechas", nullptr},
     {"EMailListadoFechas", nullptr},
     {"SMSListadoGeneral", nullptr}},
    {{"ImprimirListadoPrescripciones", nullptr},
     {nullptr, nullptr},
     {nullptr, nullptr},
     {nullptr, nullptr},
     {nullptr, nullptr},
     {nullptr, nullptr}},
    {{"ImprimirListadoReposiciones", nullptr},
     {"ImprimirEtiquetaReposiciones", nullptr},
     {"ExportarListadoReposiciones", nullptr},
     {"ConteoListadoReposiciones", nullptr},
     {nullptr, nullptr},
     {"SMSListadoGeneral", nullptr}},
    {{"ImprimirListadoGarantias", nullptr},
     {"ImprimirEtiquetasGarantias", nullptr},
     {"ExportarListadoGarantias", nullptr},
     {"ConteoListadoGarantias", nullptr},
     {"EMailListadoGarantias", nullptr},
     {"SMSListadoGeneral", nullptr}},
};

const Ruta* ruta(qint16 tipo, qint16 accion) {
    int columna = -1;
    switch (accion) {
    case TfrmListado::AccionImprimir:
        columna = 0;
        break;
    case TfrmListado::AccionEtiqueta:
        columna = 1;
        break;
    case TfrmListado::AccionExportar:
    case TfrmListado::AccionFicheroSMS:
        columna = 2;
        break;
    case TfrmListado::AccionConteo:
        columna = 3;
        break;
    case TfrmListado::AccionCorreo:
        columna = 4;
        break;
    case TfrmListado::AccionSMS:
        columna = 5;
        break;
    default:
        return nullptr;
    }
    if (tipo < 0 || tipo > 6) return nullptr;
    const Ruta* r = &kRutas[tipo][columna];
    return r->nombre ? r : nullptr;
}

int idEntero(double id) {
    return std::isfinite(id) ? int(std::trunc(id)) : -1;
}

void aviso(const QString& texto) {
    quill::Modal::current().message(kAviso, texto, quill::MessageIcon::Stop);
}

// Closes the progress window when an action method ends, however it ends.
class CierreProgreso {
public:
    explicit CierreProgreso(TfrmListado& w) : w_(w) {}
    ~CierreProgreso() { w_.CerrarProgreso(); }
    CierreProgreso(const CierreProgreso&) = delete;
    CierreProgreso& operator=(const CierreProgreso&) = delete;

private:
    TfrmListado& w_;
};

} // namespace

void TfrmListado::ConectarAcciones() {
    const std::pair<quill::NavItem*, qint16> items[] = {
        {nbiImprimir, AccionImprimir},     {nbiEtiqueta, AccionEtiqueta},
        {nbiExportar, AccionExportar},     {nbiConteo, AccionConteo},
        {nbrEmail, AccionCorreo},          {nbiSMS, AccionSMS},
        {nbiFicheroSMS, AccionFicheroSMS},
    };
    for (const auto& [item, accion] : items) {
        const QString funcion = item->objectName() + QStringLiteral(" -> OnClick");
        const qint16 codigo = accion;
        connect(item, &QToolButton::clicked, this,
                [this, funcion, codigo] { Proteger(funcion, [&] { EjecutarAccion(codigo); }); });
    }
}

QString TfrmListado::MetodoAccion(qint16 tipo, qint16 accion) {
    const Ruta* r = ruta(tipo, accion);
    return r ? QString::fromLatin1(r->nombre) : QString();
}

void TfrmListado::EjecutarAccion(qint16 accion) {
    if (AccionEnCurso) return;
    // A value still being typed in the grid counts: the open editor writes it first.
    grdListado->confirmarEditor();
    if (ValidarCondiciones() == -3) return;
    Accion = accion;
    const Ruta* r = ruta(TipoListado, accion);
    if (!r) return;
    AccionEnCurso = true;
    Proteger(QString::fromLatin1(r->nombre), [this, r] {
        if (r->metodo) {
            (this->*(r->metodo))();
        } else {
            Resultado = quill::kListadoErrorInterno;
            aviso(quill::MensajeErrorInterno());
        }
    });
    AccionEnCurso = false;
}

qint16 TfrmListado::ValidarCondiciones() {
    MemTable* t = dmlstPaciente ? dmlstPaciente->TablaActual() : nullptr;
    if (!t) throw quill::Error(kSinObjetos);
    qint16 resultado = 0;
    bool todasEspeciales = true;
    // Moving to the first row posts a row still being edited, so the walk sees its values.
    for (t->first(); !t->eof(); t->next()) {
        const QString operador = t->asString(QStringLiteral("Condicion"));
        if (t->asString(QStringLiteral("Condicion1")).isEmpty() &&
            !t->asString(QStringLiteral("Campo")).isEmpty() &&
            operador != QStringLiteral("Vacío") && operador != QStringLiteral("No Vacío")) {
            aviso(kCamposVacios);
            resultado = -3;
            break;
        }
        const int id = idEntero(t->asDouble(QStringLiteral("Id")));
        if (id != 55 && id != 95) todasEspeciales = false;
    }
    // Fields 55 and 95 only narrow what other conditions select.
    if (t->recordCount() > 0 && resultado != -3 && todasEspeciales) {
        aviso(kSoloEspeciales);
        resultado = -3;
    }
    t->first();
    return resultado;
}

QStringList TfrmListado::ReconstruirTablas() {
    if (!dmlstPaciente || !LstSentPaciente) throw quill::Error(kSinObjetos);
    quill::TLstSentPaciente& constructor = *LstSentPaciente;
    constructor.VaciarTablas();
    const MemTable* t = dmlstPaciente->TablaActual();
    if (!t) return constructor.Tablas();
    auto fila = [](const MemTable& m, int i) {
        quill::CondicionFila f;
        f.id = m.valueAt(i, QStringLiteral("Id")).toDouble();
        f.condicion = m.valueAt(i, QStringLiteral("Condicion")).toString();
        f.condicion1 = m.valueAt(i, QStringLiteral("Condicion1")).toString();
        f.condicion2 = m.valueAt(i, QStringLiteral("Condicion2")).toString();
        return f;
    };
    for (int i = 0; i < t->recordCount(); ++i) {
        // A condition that restricts nothing brings no table, as when it was built.
        if (t->textAt(i, t->fieldIndex(QStringLiteral("Sentencia"))).trimmed().isEmpty()) continue;
        const quill::CondicionFila condicion = fila(*t, i);
        QList<quill::CondicionFila> articulos;
        if (quill::CampoEspecialDe(condicion.id) == quill::CampoEspecial::Articulos) {
            const int numero = t->valueAt(i, QStringLiteral("Contador")).toInt();
            if (const MemTable* sel = dmlstPaciente->Articulos(numero))
                for (int j = 0; j < sel->recordCount(); ++j)
                    articulos.append(fila(*sel, j));
        }
        // Built again from the row's own values and ids; the window's selected-ids list is
        // left alone. The fragment is not kept: the row's Sentencia stays as it was posted.
        QStringList ids = t->valueAt(i, QStringLiteral("Condicion1Ids"))
                              .toString()
                              .split(QLatin1Char(';'), Qt::SkipEmptyParts);
        quill::ConstruirCondicion(constructor, condicion, ids, articulos);
    }
    // The builder must not keep the local list: it reads the window's again.
    constructor.setLista(Lista.get());
    return constructor.Tablas();
}

void TfrmListado::PrepararListadoGeneral() {
    if (!dmGeneral || !dmlstPaciente) throw quill::Error(kSinObjetos);
    dmGeneral->setCondiciones(dmlstPaciente->TablaActual());
    dmGeneral->AsignarParticion(QString::asprintf("%i", quill::slotPartition(m_bloque)));
    dmGeneral->Tablas = ReconstruirTablas();
}

// ---- Progress ----

void TfrmListado::MostrarProgreso() {
    CerrarProgreso();
    frmPorcentajeListado = new TfrmPorcentajeListado(quill::slotOwner(m_bloque));
    frmPorcentajeListado->setCancelable(Accion != AccionExportar);
    frmPorcentajeListado->Mostrar();
    // The window takes no other click while its action runs; Cancel stays reachable.
    setEnabled(false);
    QApplication::processEvents();
}

qint16 TfrmListado::ProgresoCancelado() {
    QApplication::processEvents();
    // The window may have been closed meanwhile: nothing of the action is left to carry on with.
    if (!dmlstPaciente || !dmGeneral) throw quill::Error(kSinObjetos);
    return frmPorcentajeListado && frmPorcentajeListado->Cancelado() ? quill::kListadoCancelado
                                                                     : qint16(0);
}

void TfrmListado::CerrarProgreso() {
    if (frmPorcentajeListado) {
        frmPorcentajeListado->close();
        delete frmPorcentajeListado.data();
    }
    frmPorcentajeListado = nullptr;
    setEnabled(true);
}

bool TfrmListado::MensajeResultado(qint16 resultado) {
    switch (resultado) {
    case quill::kListadoCorrecto:
        return true;
    case quill::kListadoErrorInterno:
        aviso(quill::MensajeErrorInterno());
        return false;
    case quill::kListadoSinRegistros:
        aviso(quill::MensajeSinRegistros());
        return false;
    default:
        return false;
    }
}

// ---- General kind ----

namespace {

// The frame every General action shares: the query behind the progress window. Answers the
// result code; -301 after a Cancel, without a message. The progress window is still open.
qint16 ejecutarGeneral(TfrmListado& w, bool conteo) {
    w.MostrarProgreso();
    w.PrepararListadoGeneral();
    const bool todas = w.rbnTodas->isChecked();
    w.Resultado = conteo ? w.dmGeneral->GenerarSQLConteo(todas)
                         : w.dmGeneral->GenerarSQL(w.Orden, w.Sentido, todas);
    if (w.ProgresoCancelado() == quill::kListadoCancelado) w.Resultado = quill::kListadoCancelado;
    return w.Resultado;
}

// The outputs after the query that are not built yet (reports, labels, e-mail, mass SMS): the
// action ends with the internal-error message once the query has answered.
qint16 salidaNoDisponible(TfrmListado& w) {
    CierreProgreso cierre(w);
    const qint16 r = ejecutarGeneral(w, false);
    if (r == quill::kListadoCancelado) return r;
    w.CerrarProgreso();
    if (!w.MensajeResultado(r)) return r;
    w.dmGeneral->CerrarListado();
    aviso(quill::MensajeErrorInterno());
    return w.Resultado = quill::kListadoErrorInterno;
}

} // namespace

qint16 TfrmListado::ImprimirListadoGeneral() {
    return salidaNoDisponible(*this);
}

qint16 TfrmListado::ImprimirEtiquetasGeneral() {
    return salidaNoDisponible(*this);
}

qint16 TfrmListado::EMailListadoGeneral() {
    return salidaNoDisponible(*this);
}

qint16 TfrmListado::SMSListadoGeneral() {
    Orden = 0;
    Sentido = 0;
    return salidaNoDisponible(*this);
}

qint16 TfrmListado::ConteoListadoGeneral() {
    Orden = 0;
    Sentido = 0;
    CierreProgreso cierre(*this);
    const qint16 r = ejecutarGeneral(*this, true);
    if (r == quill::kListadoCancelado) return r;
    CerrarProgreso();
    NumeroPacientes = r == quill::kListadoCorrecto ? dmGeneral->ContarPacientes() : 0;
    Conteo(r);
    return r;
}

void TfrmListado::Conteo(qint16 resultado) {
    if (resultado != quill::kListadoCorrecto) {
        // Anything but the internal error reads as "nothing found".
        aviso(resultado == quill::kListadoErrorInterno ? quill::MensajeErrorInterno()
                                                       : quill::MensajeSinRegistros());
        return;
    }
    TfrmConteo ventana(quill::slotOwner(m_bloque));
    ventana.setConteo(NumeroPacientes);
    quill::Modal::current().exec(&ventana);
}

qint16 TfrmListado::ExportarListadoGeneral() {
    if (OpcionesExportacion() != 0) return quill::kListadoCancelado;
    Orden = 0;
    Sentido = 0;
    CierreProgreso cierre(*this);
    const qint16 r = ejecutarGeneral(*this, false);
    if (r == quill::kListadoCancelado) return r;
    if (r != quill::kListadoCorrecto) {
        CerrarProgreso();
        MensajeResultado(r);
        return r;
    }
    CrearGridExportacion();
    if (Accion == AccionFicheroSMS) {
        dmGeneral->TablaSMS();
        grdExportacion->tabla = dmGeneral->memSMS;
        grdExportacion->columnas = quill::ConfigurarGridSMSExpListGeneral(*dmGeneral->memSMS);
    } else if (dmGeneral->Analisis().tablaUltimaVisita) {
        // The query filled the last-visit table itself.
        grdExportacion->tabla = dmGeneral->memPacientesFecha;
        grdExportacion->columnas =
            quill::ConfigurarGridExpListGeneralUltimaVisita(*dmGeneral->memPacientesFecha);
    } else {
        dmGeneral->CrearTablaPaciente();
        QList<double> ids;
        const MemTable* t = dmlstPaciente->TablaActual();
        const int fId = t->fieldIndex(QStringLiteral("Id"));
        for (int i = 0; i < t->recordCount(); ++i)
            ids.append(t->valueAt(i, fId).toDouble());
        grdExportacion->tabla = dmGeneral->memPacientes;
        grdExportacion->columnas =
            quill::ConfigurarGridExpListGeneral(*dmGeneral->memPacientes, ids);
    }
    ExportarGrid();
    if (Accion == AccionFicheroSMS) {
        const QString error = quill::rewriteAsPlainText(FicheroExportacion);
        if (!error.isEmpty()) throw quill::Error(error);
    }
    CerrarProgreso();
    return r;
}

// ---- Export ----

qint16 TfrmListado::OpcionesExportacion() {
    TfrmOpcionesExportacion dialogo(quill::slotOwner(m_bloque));
    dialogo.Inicializar(Accion == AccionFicheroSMS);
    if (quill::Modal::current().exec(&dialogo) != QDialog::Accepted)
        return quill::kListadoCancelado;
    TipoExportacion = dialogo.Tipo();
    FicheroExportacion = dialogo.Fichero();
    return 0;
}

void TfrmListado::CrearGridExportacion() {
    grdExportacion = std::make_shared<GridExportacion>();
}

void TfrmListado::ExportarGrid() {
    if (!grdExportacion || !grdExportacion->tabla) throw quill::Error(kSinObjetos);
    const QString error = quill::writeExport(TipoExportacion, *grdExportacion->tabla,
                                             grdExportacion->columnas, FicheroExportacion);
    if (!error.isEmpty()) throw quill::Error(error);
}

// ---- Reports ----

void TfrmListado::RellenarTablaCondiciones(MemTable& tabla) {
    if (!dmlstPaciente || !dmlstPaciente->TablaActual()) throw quill::Error(kSinObjetos);
    const MemTable& t = *dmlstPaciente->TablaActual();
    tabla.close();
    tabla.open();
    const int fCampo = t.fieldIndex(QStringLiteral("Campo"));
    const int fCondicion = t.fieldIndex(QStringLiteral("Condicion"));
    const int fCondicion1 = t.fieldIndex(QStringLiteral("Condicion1"));
    const int fCondicion2 = t.fieldIndex(QStringLiteral("Condicion2"));
    for (int i = 0; i < t.recordCount(); ++i) {
        tabla.append();
        tabla.setValue(QStringLiteral("Campo"), t.textAt(i, fCampo));
        tabla.setValue(QStringLiteral("TipoCondicion"), t.textAt(i, fCondicion));
        tabla.setValue(QStringLiteral("Condicion1"), t.textAt(i, fCondicion1));
        tabla.setValue(QStringLiteral("Condicion2"), t.textAt(i, fCondicion2));
        tabla.post();
    }
}

QString TfrmListado::TextoOrden(qint16 orden) {
    switch (orden) {
    case 3:
        return QStringLiteral("Código");
    case 18:
        return QStringLiteral("Apellidos");
    case 21:
        return QStringLiteral("Direccion");
    case 22:
        return QStringLiteral("Fecha Nacimiento");
    case 23:
        return QStringLiteral("Fecha 1ª Visita");
    case 24:
        return QStringLiteral("Fecha Ult. Visita");
    case 26:
        return QStringLiteral("F. Garantía");
    default:
        return QString();
    }
}
