#pragma once

// The patient listing window: the host block, every object the window owns, the start sequence
// (CrearObjetos, ConstruirArbol, Idioma, Recursos, ValoresIniciales), the listing kinds, the
// row events of the condition tables and the close that frees it all.

#include "listing/tfrmlstbase.h"

#include "listing/gridcondiciones.h"
#include "listing/grideditores.h"

#include "actions/registro.h"
#include "conditions/control.h"
#include "output/print/impresoras_opciones.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

class TdmlstPaciente;
class TFltArticulo;
class TBuscarPaciente;
class TLstFiltros;
class TfrmPorcentajeListado; // Actions
struct TInformeError;

namespace quill {
class EjecutorListado;
class ListingModule;
class TEMail;
class MemTable;
struct TrabajoEtiquetas;
class TLstConfiguracion;
class ControlCondiciones;
} // namespace quill

class TfrmListado : public TfrmlstBase {
    Q_OBJECT
public:
    // Window code of the listing in the host's operation log.
    static constexpr int CodigoVentana = 4013;
    static const QString NombrePantalla; // "Listado - Pacientes"

    // Creates the window with the host's owner (slot 1) and keeps the block (the host's, never
    // copied nor freed).
    explicit TfrmListado(const std::intptr_t* bloque);
    ~TfrmListado() override;

    const std::intptr_t* Bloque() const { return m_bloque; }

    // The start sequence, each step in its own guard: a failure is shown in the error window
    // with the step's name and the sequence goes on.
    void Iniciar();

    virtual void CrearObjetos();
    virtual void ConstruirArbol();
    virtual void Idioma();
    virtual void Recursos();
    virtual void ValoresIniciales();

    // Switches the window to a listing kind (0 General ... 6 Garantías).
    void CambiarListado(qint16 tipo);
    // Builds the catalogue drop-down of the Campo column for a kind and loads the catalogue:
    // 0, or -1 when the catalogue could not be loaded.
    virtual qint16 CrearGrid(qint16 tipo);
    void ActivarControles();
    // Title of the current kind, with " - " and the filter's name when one is given.
    QString TituloListado(const QString& filtro = QString()) const;
    static QString TituloListado(qint16 tipo, const QString& filtro);

    // Shows the error window for a failed method or handler.
    void MostrarError(const QString& funcion, const QString& mensaje);

    // Building the fragment of the row being posted (conditions/construir.h); a refused value
    // is shown and leaves the row with the fragment it had. 0 or -3002.
    int ConstruirSentenciaSQL(quill::MemTable& tabla);
    // Why the value of the condition row `fila` was refused when it was posted; empty when it
    // was not (or was changed since). Refused values are remembered with the row's field and
    // values, so a corrected value clears the mark by itself.
    QString MotivoRechazo(int fila) const;
    // The hint of a row's field cell: the caption with its group (two groups may offer the same
    // caption, "Cilindro OD" of spectacles and of lenses) and the catalogue's description.
    QString AyudaCampo(int fila) const;
    // Conditions were posted or deleted since the last save or load of a filter: loading
    // another filter asks before replacing them.
    bool CondicionesSinGuardar = false;
    // Whether some row of the current kind has a field chosen.
    bool TieneCondiciones() const;
    // F12 with conditions in the grid asks before closing.
    bool ConfirmarSalida() override;

    // Runs fn in the guard; a failure goes to this window's error window.
    template <typename Fn> bool Proteger(const QString& funcion, Fn&& fn);

    // ---- Owned objects (null once freed) ----
    QPointer<TdmlstPaciente> dmlstPaciente;
    // One runner per listing kind, with the kind's data module (kind-code order).
    std::vector<std::unique_ptr<quill::EjecutorListado>> Ejecutores;
    // The runner of a kind; null outside 0..6 or once freed.
    quill::EjecutorListado* Ejecutor(qint16 tipo) const;
    std::unique_ptr<quill::TLstConfiguracion> LstConfiguracion;
    QPointer<TFltArticulo> FltArticulo;
    QPointer<TBuscarPaciente> BuscarPacienteObj;
    // The condition-row controller: the sentence builder, the selected-ids list the value
    // editors fill, and what the special fields hand to the kinds.
    std::unique_ptr<quill::ControlCondiciones> Condiciones;
    QPointer<TLstFiltros> LstFiltros;
    // Business objects of the label output and the locality look-up, made on first need.
    std::unique_ptr<QObject> Localidad;
    std::unique_ptr<QObject> Almacen;
    std::unique_ptr<QObject> Documento;
    std::unique_ptr<QObject> FormatoEtiqueta;
    // Drop-downs of the condition grid (month calendar, check list), made on first need and freed
    // by "Limpiar Filtros".
    QPointer<QWidget> Calendario;    // a quill::CalendarioPopup
    QPointer<QWidget> CheckComboBox; // a quill::CheckListPopup
    // The catalogue drop-down of the Campo column (a quill::CatalogoPopup), built anew on every
    // kind switch.
    QPointer<QWidget> grdFiltro;
    // One object per inserted condition row.
    QList<QStringList*> ObjetosFila;
    int NumObjetosFila = 0;

    // ---- Window state ----
    qint16 TipoListado = 0;
    bool ReconstruirSentencia = true; // every posted row gets its fragment rebuilt
    bool OperadorCargado = false;     // the row's operator has been filled in
    bool Etiqueta = false;
    int ContadorArticulos = 1;
    // The listing configuration's filter value as computed at start.
    double FiltroConfiguracion = -1.0;
    qint16 Accion = 0;
    qint16 Orden = 0;
    qint16 Sentido = 0;
    qint16 TipoInforme = 0;
    qint16 Resultado = 0;

    // ---- Condition grid (gridventana.cpp) ----
    // The value editors CargarValor chooses between.
    enum class EditorValor { Texto, ComboBox, Boton, Popup };

    // INSERT: appends a condition row and focuses its first cell.
    void AnadirCampo();
    // Copies a catalogue entry into the current row and clears the operator-filled flag.
    void EditarTabla(const quill::EntradaArbol& entrada);
    // The operator list of the current row; its default operator on the first edit only.
    void CargarCondicion();
    // Chooses the editor of the focused value cell of the current row.
    void CargarValor();
    void CargarComboBox();
    void CrearComboBox();
    void CargarCheckComboBox();
    // The pickers of the button editor.
    void BuscarArticulo();
    void BuscarPaciente();
    // Empties the conditions of every kind and leaves one blank row in the current table.
    void LimpiarCampos();
    // "&Limpiar Filtros" and F7: asks first; on Yes LimpiarCampos and the plain kind title.
    void Limpiar();
    // Control + Supr: deletes the focused row without asking.
    void BorrarFila();
    // "&Guardar Filtros" and "&Cargar Filtros".
    void GuardarFiltros();
    void CargarFiltros();

    // Events of the grid and its editors (the grid's delegate calls them inside the guard).
    // The grid's editing event: prepares the cell's editor; false refuses the edit.
    bool EmpezarEdicion(const QModelIndex& celda);
    void CambiarCondicion();                     // gclCondicion -> Change
    void ValidarComboBox(const QString& nombre); // eriComboBox -> OnValidate
    void MarcarCheckComboBox();                  // a tick in the check list
    void ElegirFecha(const QDate& fecha);        // a day clicked in the calendar
    void PulsarBoton();                          // eriBoton -> ButtonClick

    quill::GridCondiciones* Grid() const { return grdListado; }
    // The three drop-downs as what they are (null until made).
    quill::CatalogoPopup* PopupCatalogo() const;
    quill::CalendarioPopup* PopupCalendario() const;
    quill::CheckListPopup* PopupCheck() const;
    // The current condition table (null before the objects exist).
    quill::MemTable* TablaCondiciones() const;
    // The focused column as the grid numbers it: 1 Campo, 2 Condicion, 3 and 4 the values.
    int ColumnaActual() const;

    EditorValor EditorCondicion = EditorValor::Texto;
    bool EditorSoloLectura = false;
    QPointer<QWidget> EditorPopup; // the calendar or the check list of eriPopup
    QStringList ListaCondiciones;  // the operator drop-down
    QStringList ListaValores;      // names of the value list loaded last
    QStringList IdsValores;        // and their ids, item by item
    QString FiltroCargado;         // the saved filter loaded last
    // End of Condition grid.

    // Actions (acciones.cpp): validation, routing through the kind registry, progress, count,
    // export. Action codes (quill::accion), stored in Accion before the routed method runs.
    static constexpr qint16 AccionImprimir = quill::accion::Imprimir;
    static constexpr qint16 AccionEtiqueta = quill::accion::Etiqueta;
    static constexpr qint16 AccionExportar = quill::accion::Exportar;
    static constexpr qint16 AccionConteo = quill::accion::Conteo;
    static constexpr qint16 AccionCorreo = quill::accion::Correo;
    static constexpr qint16 AccionSMS = quill::accion::SMS;
    static constexpr qint16 AccionFicheroSMS = quill::accion::FicheroSMS;
    // Connects the Tareas items to EjecutarAccion (called once, by the constructor).
    void ConectarAcciones();
    // What a click on an action item does: ValidarCondiciones, store the code, run the action
    // in a guard named after the kind's routed method. Nothing while another action runs.
    void EjecutarAccion(qint16 accion);
    // The routed method's name for a kind and action (empty: the action does nothing there).
    static QString MetodoAccion(qint16 tipo, qint16 accion);
    // 0, or -3 after showing why the conditions cannot run.
    qint16 ValidarCondiciones();
    // The table list of the current rows, rebuilt from each row's own values.
    QStringList ReconstruirTablas();
    // Hands the current kind's runner its conditions, tables, parameters and partition.
    quill::EjecutorListado& PrepararListado();
    void MostrarProgreso();
    qint16 ProgresoCancelado(); // -301 when Cancel was pressed, else 0
    void CerrarProgreso();
    // -303 and -302 messages; true for 0.
    bool MensajeResultado(qint16 resultado);
    // Shows the count window for 0, else the result's message.
    void Conteo(qint16 resultado);
    // The routed actions of the current kind.
    qint16 ImprimirListado();
    qint16 ImprimirEtiquetas();
    // Labels (acciones_etiquetas.cpp): after the run, the kind's label loop into the window's
    // document and the label library; the -302/-303 messages otherwise.
    qint16 GenerarEtiquetas(qint16 resultado, const quill::TrabajoEtiquetas& trabajo);
    qint16 ExportarListado();
    qint16 ConteoListado();
    qint16 EMailListado();
    qint16 SMSListado(); // acciones_sms.cpp
    // Queues the mobiles of the kind's last result, asks for confirmation and shows the SMS
    // dialog; its failures go to the error window as "EnvioSMSMasivo".
    void EnvioSMSMasivo(qint16 tipo);
    // The export dialog (SMS mode for action 9): 0 with TipoExportacion and FicheroExportacion
    // set, -301 when cancelled.
    qint16 OpcionesExportacion();
    // Copies the current conditions into a report's conditions table.
    void RellenarTablaCondiciones(quill::MemTable& tabla);
    QString TextoOrden() const { return TextoOrden(Orden); }
    static QString TextoOrden(qint16 orden);
    QPointer<TfrmPorcentajeListado> frmPorcentajeListado;
    double NumeroPacientes = 0;  // the last count
    qint16 TipoExportacion = -1; // 0 Excel, 1 HTML, 2 text, 3 XML
    QString FicheroExportacion;
    bool AccionEnCurso = false;
    // E-mail (acciones_correo.cpp): the recipients of the run's table, per-patient form or the
    // raw result of the kind's data module; the compose dialog, the sending and its report.
    void GenerarEMail(const quill::MemTable& tabla);
    void GenerarEMail(quill::ListingModule& listado);
    void EnviarEmail();
    quill::TEMail* EMail = nullptr; // only while GenerarEMail runs
    // The listed rows left out for having no address, and for not accepting mail (-1: the
    // consent filter is off), shown by the compose dialog.
    int EMailSinDireccion = 0;
    int EMailSinConsentimiento = -1;
    // The error window's E-Mail button: the report to the support address with the
    // workstation's mail settings; 0 when the server took it.
    int EnviarInformeError(const QString& destino, const TInformeError& informe);
    // End of Actions.

    // Printing (acciones_imprimir.cpp): the print options chosen last, and the dialog that sets
    // them: 0 to go on, -301 when cancelled.
    quill::ConfiguracionImpresion OpcionesImprimir;
    qint16 OpcionesImpresion();

Q_SIGNALS:
    // Sent by CambiarListado once the kind is switched.
    void listadoCambiado(qint16 tipo);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Close: frees every owned object once, in order, and writes the log entry.
    void FormClose();
    // Frees every owned object once, in the close order; freed pointers are null.
    void LiberarObjetos();
    // Frees the per-row objects, from the last to the first.
    void LiberarFilas();
    void InstalarEventos();
    void EnlazarGrid();
    // The grid's delegate, editing event, keys and focus moves (gridventana.cpp).
    void ConectarGrid();

    // Row events of the condition tables.
    void BeforeInsert(quill::MemTable& tabla);
    void BeforeEdit(quill::MemTable& tabla);
    void BeforePost(quill::MemTable& tabla);
    void AfterPost(quill::MemTable& tabla);
    void BeforeDelete(quill::MemTable& tabla);

    const std::intptr_t* m_bloque;
    bool m_cerrado = false;
    // Refused values: the row's field and values as one text -> the reason.
    QHash<QString, QString> m_rechazos;
};

#include "platform/guard.h"

template <typename Fn> bool TfrmListado::Proteger(const QString& funcion, Fn&& fn) {
    const quill::ErrorReporter previo =
        quill::setErrorReporter([this](const QString& f, const QString& m) { MostrarError(f, m); });
    const bool ok = quill::Guardar(funcion, std::forward<Fn>(fn));
    quill::setErrorReporter(previo);
    return ok;
}
