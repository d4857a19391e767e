#pragma once

// The patient picker window, "Búsqueda de Pacientes": a search box over the shop's patients that
// searches as the user types and answers the chosen patient's code.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;

namespace quill {
class MemTable;
class MemTableModel;
} // namespace quill

namespace pickers {

// At most this many patients are shown; typing more narrows the list.
inline constexpr int kMaxPacientes = 200;
// Pause after the last key before searching, so typing a surname runs one query, not one per key.
inline constexpr int kEsperaBusquedaMs = 200;

// How a typed text is searched. Texts with a digit look for a code, NIF or mobile number; texts
// without one look for a surname, which keeps the search on the surname index. An empty text
// searches nothing: listing every patient in order would read the whole table on a big shop.
struct BusquedaPaciente {
    enum class Tipo { Ninguna, Apellidos, Numero };
    Tipo tipo = Tipo::Ninguna;
    QString texto; // trimmed and upper-cased: surname, code and NIF prefix
    QString movil; // digits and letters only: mobile prefix (mobiles are stored with dots, blanks)
};

BusquedaPaciente ClasificarBusqueda(const QString& texto);

// The statement of a search kind, with positional parameters: the partition, then for Apellidos
// the surname prefix, for Numero the code/NIF prefix twice and the mobile prefix. Empty for
// Ninguna.
QString SentenciaBusqueda(BusquedaPaciente::Tipo tipo);

class TfrmBuscarPaciente : public QDialog {
    Q_OBJECT
public:
    // conexion: Qt connection name of the shop database; particion: the host's data partition.
    TfrmBuscarPaciente(QWidget* parent, const QString& conexion, int particion);
    ~TfrmBuscarPaciente() override;

    // Code of the patient chosen (the focused row); 0 when there is none.
    int Codigo() const;
    // Runs the search of the box's text now (the typing pause is skipped). Returns the number of
    // patients shown (0 for an empty box), or -1 when the database could not be read (the window
    // says why).
    int Buscar();
    int NumPacientes() const;
    QString Estado() const;

    QLineEdit* edtBuscar = nullptr;
    QTableView* grdPacientes = nullptr;
    QLabel* lblEstado = nullptr;
    QPushButton* tbnAceptar = nullptr;
    QPushButton* tbnCancelar = nullptr;

public Q_SLOTS:
    void accept() override;

protected:
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void mostrarEstado(const QString& texto, bool error);
    void seleccionar(int fila);

    QString m_conexion;
    int m_particion;
    quill::MemTable* m_pacientes = nullptr;
    quill::MemTableModel* m_modelo = nullptr;
    QTimer* m_espera = nullptr;
};

} // namespace pickers
