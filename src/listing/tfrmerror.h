#pragma once

// The error window: what failed, where and when, with buttons to mail the report to support,
// print it as a one-page "Informe de error", or leave.

#include <QDateTime>
#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPagedPaintDevice;
class QPlainTextEdit;
class QPushButton;

// The shop as the report's heading shows it.
struct TDatosTienda {
    QString Nombre;
    QString Direccion;
    QString CodigoPostal;
    QString Localidad;
    QString Provincia;
    QString Telefono;
};

// The shop record (EMPRESA) of the database behind a connection; empty fields when it cannot be
// read, so an error report can always be printed.
TDatosTienda LeerDatosTienda(const QString& conexion);

// One error report.
struct TInformeError {
    QString Pantalla;
    QString Funcion;
    QString Descripcion;
    QDateTime Fecha;
};

class TfrmError : public QDialog {
    Q_OBJECT
public:
    // Sends a report to an address; returns 0 when the message was handed to the server.
    using EnviarCorreo = std::function<int(const QString& destino, const TInformeError& informe)>;

    explicit TfrmError(QWidget* owner = nullptr);

    void setPantalla(const QString& pantalla);
    void setFuncion(const QString& funcion);
    void setDescripcion(const QString& descripcion);
    void setFecha(const QDateTime& fecha);
    void setTienda(const TDatosTienda& tienda) { m_tienda = tienda; }
    void setSoporte(const QString& correo, const QString& telefono);
    // Until an e-mail sender is configured the E-Mail button reports that it cannot send.
    void setEnviarCorreo(EnviarCorreo enviar) { m_enviar = std::move(enviar); }

    TInformeError informe() const;
    const TDatosTienda& tienda() const { return m_tienda; }

    // Date and time of a failure as the window shows it, with Spanish day and month names:
    // "dddd',' d 'de' mmmm 'de' yyyy  hh:mm".
    static QString TextoFecha(const QDateTime& fecha);

    // Paints the one-page report on a printer or PDF writer; false when it cannot paint there.
    bool PintarInforme(QPagedPaintDevice& dispositivo) const;
    // Writes the report as a PDF file; false when the file cannot be written.
    bool GuardarPdf(const QString& fichero) const;

    QLineEdit* edtPantalla;
    QLineEdit* edtFuncion;
    QPlainTextEdit* memDescripcion;
    QLabel* lblFecha;
    QPushButton* btnEMail;
    QPushButton* btnImprimir;
    QPushButton* btnSalir;

private:
    void EMailClick();
    void ImprimirClick();

    QDateTime m_fecha;
    TDatosTienda m_tienda;
    QString m_correoSoporte;
    QString m_telefonoSoporte;
    EnviarCorreo m_enviar;
};
