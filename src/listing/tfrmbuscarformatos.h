#pragma once

// The format browser "Búsqueda de formatos": every "*.fqm" of the workstation's formats folder,
// then the A4 label sheets of the system's label-template catalogue by brand and product code.
// Selecting one shows its type, paper, label size, columns and rows; accepting a catalogue sheet
// writes it into the formats folder as a standard format with the standard address layout, so
// it prints like any other. Returns the format name and the first column and row.

#include "business/plantillasetiquetas.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <cstdint>

class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QSpinBox;

class TfrmBuscarFormatos : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBuscarFormatos(QWidget* owner = nullptr);
    ~TfrmBuscarFormatos() override;

    // Where the catalogue is read from (the system's by default; tests give their own).
    void setCarpetaPlantillas(const QString& carpeta) { m_carpetaPlantillas = carpeta; }

    // Fills the list: 0, or -1 after the error box.
    qint16 Inicializar(const std::intptr_t* bloque, int contexto, int columna, int fila);

    // Shows the information of the selected entry.
    void MostrarInformacion();

    // Valid after OK.
    QString Formato() const { return m_formato; }
    int Columna() const { return m_columna; }
    int Fila() const { return m_fila; }

    // What is shown for the selected entry.
    QLabel* lblTipoValor;
    QLabel* lblPapelValor;
    QLabel* lblEtiquetaValor;
    QLabel* lblColumnasValor;
    QLabel* lblFilasValor;

    QLabel* lblCabecera;
    QLabel* lblDescripcion;
    QListWidget* lvwFormatos;
    QGroupBox* gbxInformacion;
    QGroupBox* gbxPosicion;
    QSpinBox* edtColumna;
    QSpinBox* edtFila;
    QPushButton* btnAceptar;
    QPushButton* btnCancelar;

public Q_SLOTS:
    void Aceptar();

private:
    // Runs a step; a failure shows "Pantalla: Búsqueda de formatos." with the step's name.
    template <typename Fn> bool Proteger(const QString& funcion, Fn&& fn);
    // The file of a list entry (empty for a catalogue sheet).
    QString rutaDe(const QListWidgetItem* item) const;
    const quill::PlantillaEtiqueta* plantillaDe(const QListWidgetItem* item) const;

    QString m_carpeta;
    QString m_carpetaPlantillas = quill::CarpetaPlantillasSistema();
    QList<quill::PlantillaEtiqueta> m_plantillas;
    QString m_formato;
    int m_columna = 1;
    int m_fila = 1;
};
