#pragma once

// The document engine of label formats. A format file (".fqm") is one of two kinds:
//
// - A standard document, our sheet-label format: an INI text with
//     [DOCUMENTO]  TIPO (document type code, 34 patient labels), NOMBRE
//     [PAPEL]      ANCHO, ALTO, MARGEN_SUPERIOR, MARGEN_IZQUIERDO            (millimetres)
//     [ETIQUETA]   ANCHO, ALTO, ESPACIO_HORIZONTAL, ESPACIO_VERTICAL, COLUMNAS, FILAS
//     [COMPONENTES] TOTAL, and one section COMPONENTE_n per component.
// - An EPL/2 label-printer format (tfqmformato.h): one label per print command on a roll.
//
// Components share their keys in both kinds: TIPO (0 fixed text TEXTO, 1 patient field, 2 rule,
// 3 image IMAGEN, 4 barcode of a field: Code 128 on EPL/2 printers, its value as text on sheets), BD_CAMPO (one or more patient field names separated by
// ";"), BD_MASCARA (a text in which %1, %2... stand for those fields' values; without a mask
// the values are joined by a space), IZQUIERDA, SUPERIOR, ANCHO, ALTO (millimetres inside the
// label), COLOR_FONDO, FNT_NOMBRE, FNT_TAMANO (points), FNT_COLOR, FNT_ALINEACION (0 left,
// 1 right, 2 centre), FNT_NEGRITA, FNT_ITALICA, FNT_SUBRAYADO, FNT_TACHADO.
//
// The window fills a document with one label per patient (AnadirEtiqueta) and hands it to the
// label printing library, which paints it or writes its printer commands.

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <vector>

namespace quill {

class IniFile;

// The patient data a label can show, by the result-table column names of the listings, plus
// the locality texts resolved from ID_LOCALIDAD.
const QStringList& CamposPaciente();
// Position of a field in CamposPaciente(), -1 when unknown (case ignored).
int CampoPaciente(const QString& nombre);

struct ComponenteEtiqueta {
    enum Tipo { Texto = 0, Campo = 1, Regla = 2, Imagen = 3, CodigoBarras = 4 };
    int tipo = Texto;
    QString texto;
    QList<int> campos; // positions in CamposPaciente()
    QString mascara;
    QString imagen; // absolute path once loaded
    double izquierda = 0, superior = 0, ancho = 0, alto = 0;
    QString colorFondo;
    QString fuente = QStringLiteral("DejaVu Sans");
    double tamano = 10;
    QString colorFuente;
    int alineacion = 0;
    bool negrita = false, italica = false, subrayado = false, tachado = false;

    // What the component shows for one label's values.
    QString Valor(const QStringList& valores) const;
};

// Where a label falls: sheet (0-based), row and column (0-based), and its top-left corner on
// the sheet in millimetres.
struct PosicionEtiqueta {
    int hoja = 0;
    int fila = 0;
    int columna = 0;
    double x = 0;
    double y = 0;
};

class TDocumento : public QObject {
    Q_OBJECT
public:
    explicit TDocumento(QObject* owner = nullptr);
    ~TDocumento() override;

    // Load codes and their messages (shown with caption "ERROR" by Cargar).
    static constexpr qint16 kSinFichero = -1;
    static constexpr qint16 kNoEncontrado = -2;
    static constexpr qint16 kNoValido = -3;
    static QString MensajeCarga(qint16 codigo);

    // Back to an empty document: no file, no format, no labels, first row and column 1.
    void Reiniciar();
    void setFichero(const QString& fichero) { m_fichero = fichero; }
    const QString& Fichero() const { return m_fichero; }

    // Whether a file is a standard document (read without messages).
    static bool EsDocumentoEstandar(const QString& fichero);
    bool EsDocumentoEstandar() const { return EsDocumentoEstandar(m_fichero); }

    // Reads the format of Fichero(), a standard document or an EPL/2 format: 0, or one of the
    // codes above after showing its message.
    qint16 Cargar();
    // The same without messages (the browser and the checks use it).
    qint16 Leer();
    bool Cargado() const { return m_cargado; }
    bool EsEPL2() const { return m_epl2; }

    // First label position on the first sheet, 1-based; values outside the sheet read as 1.
    void setColumnaInicial(int columna) { m_columnaInicial = columna; }
    void setFilaInicial(int fila) { m_filaInicial = fila; }
    int ColumnaInicial() const;
    int FilaInicial() const;

    // Opens the document for adding labels (removes the labels of a previous run).
    void Abrir();
    // The current patient's data: cleared by AnadirEtiqueta.
    void setDato(int campo, const QString& valor);
    void setDato(const QString& campo, const QString& valor);
    const QStringList& DatosPaciente() const { return m_datos; }
    void LimpiarDatos() { m_datos = QStringList(CamposPaciente().size()); }
    // Adds one label with the current patient's data.
    void AnadirEtiqueta();
    int NumeroEtiquetas() const { return int(m_etiquetas.size()); }
    const QStringList& Etiqueta(int n) const { return m_etiquetas[size_t(n)]; }
    // Where label n goes, counting the free positions before the first row and column.
    PosicionEtiqueta Posicion(int n) const;
    int NumeroHojas() const;

    // ---- The format, as the browser reports it ----
    int TipoDocumento() const { return m_tipo; }
    // The document type's name ("Etiqueta de paciente" for 34...); empty for an unknown code.
    static QString NombreTipoDocumento(int tipo);
    QString Nombre() const { return m_nombre; }
    QString Papel() const;     // "210 x 297 mm"
    QString Etiqueta() const;  // "70 x 37 mm"
    int Columnas() const { return m_columnas; }
    int Filas() const { return m_filas; }

    double AnchoPapel = 0, AltoPapel = 0, MargenSuperior = 0, MargenIzquierdo = 0;
    double AnchoEtiqueta = 0, AltoEtiqueta = 0, EspacioHorizontal = 0, EspacioVertical = 0;
    // EPL/2 only: rotation (0-3) and right margin.
    int Rotar = 0;
    double MargenDerecho = 0;
    QList<ComponenteEtiqueta> Componentes;

    // ---- Output, set by the caller for the label printing library ----
    QString Impresora;     // printer or raw queue; "PDF" writes FicheroSalida
    QString FicheroSalida; // PDF (sheet labels) or EPL/2 command file; when set, wins
    // The library's account of a failure (empty after a success).
    QString MensajeError;

private:
    bool leerEstandar();
    bool leerEPL2();
    void leerComponentes(const IniFile& ini, int total);

    QString m_fichero;
    bool m_cargado = false;
    bool m_epl2 = false;
    int m_tipo = -1;
    QString m_nombre;
    int m_columnas = 0;
    int m_filas = 0;
    int m_columnaInicial = 1;
    int m_filaInicial = 1;
    QStringList m_datos;
    std::vector<QStringList> m_etiquetas;
};

} // namespace quill
