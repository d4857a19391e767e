#pragma once

// Saved filters: one data-packet file per filter in the filters folder, one record per condition.
// This class holds the record being read or written and the dataset bound to the file.
//
// A file is made by copying the template FilModelo.xml of the data-packet folder, so its fields
// are the template's: TipoListado, IdCampo1, IdCampo2, TipoCondicion, TipoUnion (integers),
// Condicion, CondicionIds (texts), TipoObjeto (integer) and the typed values Valor1, Valor2
// (texts; a filter written without them still loads). The packet is read whole into memory
// when opened and written back in one step when closed after a change, so a failed write never
// leaves a half-written filter behind.

#include <QObject>
#include <QString>

namespace quill {
class MemTable;
}

class TLstFiltros : public QObject {
    Q_OBJECT
public:
    // Result codes.
    static constexpr qint16 Correcto = 0;
    // AbrirExistente: no name, a file that cannot be read as a filter, or a filter of another
    // listing kind.
    static constexpr qint16 OtroListado = -3;
    // AbrirFichero: the template could not be copied to the filter's path; nothing is opened.
    static constexpr qint16 ErrorPlantilla = -2900;
    // The filter's file exists but cannot be read as a saved filter, or it cannot be written back.
    static constexpr qint16 ErrorFichero = -2901;

    explicit TLstFiltros(QObject* owner = nullptr);
    ~TLstFiltros() override;

    // Set-up: the filters and data-packet folders, as the workstation's settings give them.
    void setCarpetas(const QString& filtros, const QString& paquetes) {
        m_carpetaFiltros = filtros;
        m_carpetaPaquetes = paquetes;
    }
    QString CarpetaFiltros() const { return m_carpetaFiltros; }
    QString CarpetaPaquetes() const { return m_carpetaPaquetes; }

    // ---- The record's values ----
    void setNombreFichero(const QString& nombre) { m_nombreFichero = nombre; }
    QString NombreFichero() const { return m_nombreFichero; }
    void setTipoListado(qint16 tipo) { m_tipoListado = tipo; }
    qint16 TipoListado() const { return m_tipoListado; }
    void setIdCampo1(int id) { m_idCampo1 = id; }
    int IdCampo1() const { return m_idCampo1; }
    void setIdCampo2(int id) { m_idCampo2 = id; }
    int IdCampo2() const { return m_idCampo2; }
    // The operator text; AnadirRegistro writes its code (CodigoOperador).
    void setOperador(const QString& texto) { m_operador = texto; }
    QString Operador() const { return m_operador; }
    void setCodigoOperador(int codigo) { m_codigoOperador = codigo; }
    int CodigoOperador() const { return m_codigoOperador; }
    void setTipoUnion(int tipo) { m_tipoUnion = tipo; }
    int TipoUnion() const { return m_tipoUnion; }
    void setTipoObjeto(int tipo) { m_tipoObjeto = tipo; }
    int TipoObjeto() const { return m_tipoObjeto; }
    void setCondicion(const QString& texto) { m_condicion = texto; }
    QString Condicion() const { return m_condicion; }
    void setCondicionIds(const QString& texto) { m_condicionIds = texto; }
    QString CondicionIds() const { return m_condicionIds; }
    // The values typed into a free-value row (number, text, date; the second one for a range).
    // Files written before these fields existed read as empty values.
    void setValor1(const QString& texto) { m_valor1 = texto; }
    QString Valor1() const { return m_valor1; }
    void setValor2(const QString& texto) { m_valor2 = texto; }
    QString Valor2() const { return m_valor2; }

    // Result of the last operation, and why it failed (Spanish, for logs and support).
    qint16 Resultado() const { return m_resultado; }
    QString Error() const { return m_error; }

    // The file of NombreFichero in the filters folder: the folder text unchanged, the platform's
    // separator, the name and ".xml".
    QString Ruta() const;
    // Opens Ruta(). A missing file is first made from the data-packet folder's FilModelo.xml;
    // when that fails (no folder, no template, a template without the filter fields, a folder
    // that cannot be written) the result is ErrorPlantilla and nothing is opened. A file that
    // cannot be read as a filter gives ErrorFichero. Otherwise the dataset holds the file's
    // records, the cursor on the first, and the result is 0.
    qint16 AbrirFichero();
    // Opens NombreFichero taken as a full path: 0 when its first record's TipoListado equals
    // TipoListado(), OtroListado otherwise (no name, no such file, not a filter, no records).
    qint16 AbrirExistente();
    // Whether AbrirFichero made the file from the template.
    bool FicheroCreado() const { return m_creado; }

    void BorrarRegistros();
    // Appends a record with the values in field order (the operator code is computed from the
    // operator text now) and posts it.
    void AnadirRegistro();
    // Reads the current record into the values (all but TipoListado, which stays the caller's);
    // numbers are truncated to integers and a record without IdCampo1 reads as -1 (no field).
    void LeerRegistro();
    void Siguiente();
    bool FinFichero() const;
    int NumeroRegistros() const;
    // Closes the dataset; after a change the packet is written back to its file in one step.
    // 0, or ErrorFichero when writing failed (the file keeps what it had).
    qint16 Cerrar();
    // Closes the dataset without writing anything back.
    void Descartar();
    bool Abierto() const;

    // The dataset bound to the filter file.
    quill::MemTable* Datos() const { return m_datos; }

    // Saved operator code of an operator text: "Igual a..." 0 ... "...Contiene..." 7 as the
    // listing configuration numbers them, "Vacío" 8, "No Vacío" 9; -1 for any other text.
    static int CodigoDeOperador(const QString& texto);
    // And back: 8 and 9 give "Vacío" and "No Vacío", any other code the configuration's text.
    static QString TextoDeOperador(int codigo);

    // Checks a packet already read into a table: empty when it has the eight filter fields with
    // number and text types, otherwise why not.
    static QString ComprobarCampos(const quill::MemTable& tabla);

private:
    qint16 fallo(qint16 codigo, const QString& motivo);
    qint16 crearDesdePlantilla(const QString& ruta);
    qint16 leer(const QString& ruta);

    QString m_carpetaFiltros;
    QString m_carpetaPaquetes;
    quill::MemTable* m_datos;
    QString m_ruta; // file the dataset is bound to
    bool m_cambiado = false;
    bool m_creado = false;

    QString m_nombreFichero;
    qint16 m_tipoListado = 0;
    int m_idCampo1 = -1;
    int m_idCampo2 = -1;
    QString m_operador;
    int m_codigoOperador = -1;
    int m_tipoUnion = 1;
    int m_tipoObjeto = 0;
    QString m_condicion;
    QString m_condicionIds;
    QString m_valor1;
    QString m_valor2;
    qint16 m_resultado = 0;
    QString m_error;
};
