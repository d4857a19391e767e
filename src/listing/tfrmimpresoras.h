#pragma once

// The printer list: the installed printers and the built-in "PDF" printer (TImpresora), sorted,
// as small icons. With the preselect flag 0 the first printer whose name begins with the
// workstation's default printer of the document type is selected (none when that name is
// empty). "Aceptar" (or a double click) needs a selection; choosing "PDF" then asks for the
// file to write, and a cancelled file choice leaves the list open. "Cancelar" closes with Cancel.
//
// Callers use Elegir, which shows the list through the modal interface:
//
//     QString impresora, fichero;
//     if (TfrmImpresoras::Elegir(bloque, impresora, fichero, this, QStringLiteral("Etiqueta")))
//         ...  // impresora is the chosen name; fichero the PDF file when impresora is "PDF"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <cstdint>

class QLabel;
class QListWidget;
class QPushButton;

class TfrmImpresoras : public QDialog {
    Q_OBJECT
public:
    // bloque: the host parameter block (may be null: the registry gives the default printer);
    // preseleccion 0 selects the workstation printer of `documento` ("Listado", "Etiqueta"...).
    TfrmImpresoras(const std::intptr_t* bloque, int preseleccion, QWidget* owner = nullptr,
                   const QString& documento = QStringLiteral("Listado"));
    ~TfrmImpresoras() override;

    // Shows the list modally; true on OK with the chosen printer (and the PDF file) filled in.
    static bool Elegir(const std::intptr_t* bloque, QString& impresora, QString& fichero,
                       QWidget* owner = nullptr,
                       const QString& documento = QStringLiteral("Listado"), int preseleccion = 0);

    // Fills the list with these names, sorted, and applies the preselection. The constructor
    // calls it with TImpresora's list.
    void MostrarImpresoras(const QStringList& nombres);
    // The workstation's default printer the preselection looks for.
    QString ImpresoraPuesto() const { return m_impresoraPuesto; }

    // Valid after the dialog closed with OK.
    QString Impresora() const { return m_impresora; }
    QString Fichero() const { return m_fichero; }

    QLabel* lblCabecera;
    QLabel* lblDescripcion;
    QListWidget* lvwImpresoras;
    QPushButton* btnAceptar;
    QPushButton* btnCancelar;

public Q_SLOTS:
    void Aceptar();
    void Cancelar() { reject(); }

private:
    int m_preseleccion = 0;
    QString m_impresoraPuesto;
    QString m_impresora;
    QString m_fichero;
};
