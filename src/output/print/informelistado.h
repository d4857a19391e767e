#pragma once

// What every listing report form shares: the properties the window sets before printing
// (company data, print conditions, mode, order and currency texts), the form's own copy of the
// conditions (memCondiciones), the title band with its condition labels, the page footer with
// the shop's data, page number and date, and the listing utilities that format the values.
//
// A form builds its bands in Preparar() and prints through the engine (report.h) on any paged
// device. Failures inside band handlers never stop the print: the row shows "ERROR" where the
// form says so and the reason is kept in Errores() for the error window.

#include "business/empresa.h"
#include "output/print/report.h"
#include "platform/memtable.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace quill {
class TLstUtil;
struct FilaCondicion;
} // namespace quill

namespace quill::print {

// Fonts of the forms: "Verdana" falls back to the system's sans serif where it is missing.
QFont Fuente(qreal puntos, bool negrita = false, bool cursiva = false);

// A column of a listing band: left edge, width and caption.
struct Columna {
    qreal x;
    qreal ancho;
    QString titulo;
    int alineacion = Qt::AlignLeft | Qt::AlignVCenter;
};

// Text forms shared by the reports.
QString TextoCodigo(const QVariant& codigo); // whole number, empty for null
QString TextoFecha(const QVariant& fecha);   // dd/MM/yyyy; empty for null and the empty date
// The landline, or the mobile when there is no landline.
QString TextoTelefono(const QString& telefono, const QString& movil);

class InformeListado {
public:
    // `conexion`: the shop database the listing utilities and the shop record are read from.
    InformeListado(const QString& titulo, const QString& conexion);
    virtual ~InformeListado();
    InformeListado(const InformeListado&) = delete;
    InformeListado& operator=(const InformeListado&) = delete;

    // ---- Properties set before printing ----
    bool DatosEmpresa = true;
    bool ImprimirCondiciones = true;
    QString TextoModo;          // "Resumido" or "Detalle"
    QString TextoOrden;         // caption of the chosen order
    QString TextoMoneda;        // pending orders and consumption only
    bool SegundaMoneda = false; // their amounts in the second currency
    bool Observaciones = false; // the patient's notes (general detail)
    bool Numerar = false;       // each printed row numbered, from NOrden, left of the row
    qint32 NOrden = 1;
    bool Agrupar = true;        // replacements under a header per supplier
    bool ImprimirTitulo = true; // the report's title in the title band
    bool NumerarPaginas = true; // "Página N" in the page footer
    bool Fecha = true;          // the print date in the page footer
    // The conditions printed in the title band: Campo, TipoCondicion, Condicion1, Condicion2.
    MemTable memCondiciones;
    // Fills memCondiciones from a condition table of the window (RellenarTablaCondiciones).
    void RellenarCondiciones(const QList<FilaCondicion>& filas);

    // Reads the shop record and builds the bands; call once, after the properties are set.
    // Empty text, or why the form cannot print.
    QString Preparar();
    // Prints every page; the number of pages, or -1 when the device cannot be painted on.
    int Imprimir(QPagedPaintDevice& device);
    QString EscribirPdf(const QString& fichero, int* paginas = nullptr);

    const QString& Titulo() const { return m_titulo; }
    // Height the title band took (52 without printed conditions).
    qreal AlturaTitulo() const { return m_alturaTitulo; }
    // Failures met in band handlers during the last print, for the error window.
    const QStringList& Errores() const { return m_errores; }
    Report& report() { return m_report; }

    // The shop record, when a test gives its own (otherwise read at preparation).
    void setEmpresa(const quill::DatosEmpresa& empresa) {
        m_empresa = empresa;
        m_empresaDada = true;
    }
    // Today, for the footer's date and the ages (tests fix it).
    QDate Hoy = QDate::currentDate();

protected:
    // The form's bands and data: called by Preparar() before the title and footer are built.
    virtual void construir() = 0;
    // The column captions of the form, printed at the bottom of the title band and in the page
    // header (empty: neither).
    virtual QList<Columna> columnas() const { return {}; }
    // Text added to the subtitle after the order (the pending orders add the currency).
    virtual QString subtitulo() const;

    // The condition labels of the title band, one line per condition from the first row;
    // returns the band's new height.
    qreal CrearEtiquetasCondicion();

    // Runs a band handler; a failure is kept and, when given, `alFallar` marks the row.
    bool Proteger(const char* donde, const std::function<bool()>& fn,
                  const std::function<void()>& alFallar = {});

    TLstUtil& Util();
    const QString& Conexion() const { return m_conexion; }

    // Band helpers: a row of texts for the columns, returning the items in column order.
    QList<Item*> FilaTextos(Band& banda, const QList<Columna>& cols, qreal y, qreal alto,
                            const QFont& fuente);

    Report m_report;
    QStringList m_errores;

private:
    void construirTitulo();
    void construirPie();
    void construirNumeracion();

    QString m_titulo;
    QString m_conexion;
    std::unique_ptr<TLstUtil> m_util;
    quill::DatosEmpresa m_empresa;
    bool m_empresaDada = false;
    qreal m_alturaTitulo = 52;
    QList<Item*> m_etiquetasCondicion;
    QList<Item*> m_titulosColumna;
    qint64 m_numerados = 0; // rows numbered in this printing pass
};

} // namespace quill::print
