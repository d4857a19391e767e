#include "tfrmbuscarpaciente.h"

#include "platform/memtable.h"
#include "platform/memtablemodel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace pickers {

namespace {

// Live patients of the partition; patient 0 is the counter-sale placeholder. BORRADO and LICENCIA
// are compared as "+ 0" so Firebird does not walk their indexes: each holds nearly every row and
// merging them costs more than it saves, and it would stop an index on the sort column from
// giving the order (then every match must be read and sorted before the first 200 are known).
const QString kSelect = QStringLiteral(
    "SELECT PACIENTE.CODIGO, PACIENTE.APELLIDOS, PACIENTE.NOMBRE, PACIENTE.TELEFONO_MOVIL, "
    "PACIENTE.NIF FROM PACIENTE WHERE PACIENTE.ID_PACIENTE != 0 AND PACIENTE.BORRADO + 0 = 0 AND "
    "PACIENTE.LICENCIA + 0 = ?");
// The prefix is cast to the widest column it is compared with: a longer bound text would be cut
// to the column's size by the driver and then match more than was typed.
const QString kPorApellidos =
    QStringLiteral(" AND UPPER(PACIENTE.APELLIDOS) STARTING WITH CAST(? AS VARCHAR(50))");
const QString kPorNumero = QStringLiteral(
    " AND (CAST(PACIENTE.CODIGO AS VARCHAR(11)) STARTING WITH CAST(? AS VARCHAR(50)) OR "
    "UPPER(PACIENTE.NIF) STARTING WITH CAST(? AS VARCHAR(50)) OR "
    "REPLACE(REPLACE(REPLACE(PACIENTE.TELEFONO_MOVIL, '.', ''), ' ', ''), '-', '') STARTING WITH "
    "CAST(? AS VARCHAR(50)))");
const QString kOrdenApellidos = QStringLiteral(" ORDER BY UPPER(PACIENTE.APELLIDOS) ROWS 200");
const QString kOrdenCodigo = QStringLiteral(" ORDER BY PACIENTE.CODIGO ROWS 200");

const QString kAyuda = QStringLiteral(
    "Escriba el principio de los apellidos, el código, el NIF o el móvil del paciente");

} // namespace

BusquedaPaciente ClasificarBusqueda(const QString& texto) {
    BusquedaPaciente b;
    b.texto = texto.trimmed().toUpper();
    if (b.texto.isEmpty()) return b;
    bool digito = false;
    for (const QChar c : std::as_const(b.texto)) {
        if (c.isDigit()) digito = true;
        if (c.isLetterOrNumber()) b.movil += c;
    }
    b.tipo = digito ? BusquedaPaciente::Tipo::Numero : BusquedaPaciente::Tipo::Apellidos;
    if (!digito) b.movil.clear();
    return b;
}

QString SentenciaBusqueda(BusquedaPaciente::Tipo tipo) {
    switch (tipo) {
    case BusquedaPaciente::Tipo::Ninguna:
        return QString();
    case BusquedaPaciente::Tipo::Apellidos:
        return kSelect + kPorApellidos + kOrdenApellidos;
    case BusquedaPaciente::Tipo::Numero:
        return kSelect + kPorNumero + kOrdenCodigo;
    }
    return QString();
}

TfrmBuscarPaciente::TfrmBuscarPaciente(QWidget* parent, const QString& conexion, int particion)
    : QDialog(parent), m_conexion(conexion), m_particion(particion) {
    setObjectName(QStringLiteral("frmBuscarPaciente"));
    setWindowTitle(QStringLiteral("Búsqueda de Pacientes"));
    setModal(true);
    resize(720, 480);

    m_pacientes = new quill::MemTable(QStringLiteral("memPacientes"), this);
    m_pacientes->addField(QStringLiteral("Codigo"), quill::FieldType::Integer);
    m_pacientes->addField(QStringLiteral("Apellidos"), quill::FieldType::String, 50);
    m_pacientes->addField(QStringLiteral("Nombre"), quill::FieldType::String, 50);
    m_pacientes->addField(QStringLiteral("Movil"), quill::FieldType::String, 20);
    m_pacientes->addField(QStringLiteral("NIF"), quill::FieldType::String, 15);
    m_pacientes->open();
    m_modelo = new quill::MemTableModel(m_pacientes,
                                        {{QStringLiteral("Codigo"), QStringLiteral("Código")},
                                         {QStringLiteral("Apellidos"), QStringLiteral("Apellidos")},
                                         {QStringLiteral("Nombre"), QStringLiteral("Nombre")},
                                         {QStringLiteral("Movil"), QStringLiteral("Móvil")},
                                         {QStringLiteral("NIF"), QStringLiteral("NIF")}},
                                        this);

    auto* etiqueta = new QLabel(QStringLiteral("&Buscar:"), this);
    edtBuscar = new QLineEdit(this);
    edtBuscar->setObjectName(QStringLiteral("edtBuscar"));
    edtBuscar->setMaxLength(50);
    edtBuscar->setPlaceholderText(QStringLiteral("Apellidos, código, NIF o teléfono móvil"));
    edtBuscar->setClearButtonEnabled(true);
    etiqueta->setBuddy(edtBuscar);
    edtBuscar->installEventFilter(this);

    grdPacientes = new QTableView(this);
    grdPacientes->setObjectName(QStringLiteral("grdPacientes"));
    grdPacientes->setModel(m_modelo);
    grdPacientes->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdPacientes->setSelectionMode(QAbstractItemView::SingleSelection);
    grdPacientes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdPacientes->setAlternatingRowColors(true);
    grdPacientes->verticalHeader()->hide();
    grdPacientes->verticalHeader()->setDefaultSectionSize(22);
    grdPacientes->horizontalHeader()->setStretchLastSection(true);
    grdPacientes->setColumnWidth(0, 70);
    grdPacientes->setColumnWidth(1, 220);
    grdPacientes->setColumnWidth(2, 150);
    grdPacientes->setColumnWidth(3, 110);
    grdPacientes->installEventFilter(this);

    lblEstado = new QLabel(this);
    lblEstado->setObjectName(QStringLiteral("lblEstado"));
    lblEstado->setWordWrap(true);

    tbnAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    tbnAceptar->setObjectName(QStringLiteral("tbnAceptar"));
    tbnAceptar->setDefault(true);
    tbnCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    tbnCancelar->setObjectName(QStringLiteral("tbnCancelar"));
    tbnCancelar->setAutoDefault(false);

    auto* arriba = new QHBoxLayout;
    arriba->addWidget(etiqueta);
    arriba->addWidget(edtBuscar, 1);
    auto* abajo = new QHBoxLayout;
    abajo->addWidget(lblEstado, 1);
    abajo->addWidget(tbnAceptar);
    abajo->addWidget(tbnCancelar);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(arriba);
    todo->addWidget(grdPacientes, 1);
    todo->addLayout(abajo);

    m_espera = new QTimer(this);
    m_espera->setSingleShot(true);
    m_espera->setInterval(kEsperaBusquedaMs);
    connect(m_espera, &QTimer::timeout, this, [this] { Buscar(); });
    connect(edtBuscar, &QLineEdit::textChanged, m_espera, qOverload<>(&QTimer::start));
    connect(grdPacientes, &QTableView::doubleClicked, this, &TfrmBuscarPaciente::accept);
    connect(tbnAceptar, &QPushButton::clicked, this, &TfrmBuscarPaciente::accept);
    connect(tbnCancelar, &QPushButton::clicked, this, &TfrmBuscarPaciente::reject);

    mostrarEstado(kAyuda, false);
    edtBuscar->setFocus();
}

TfrmBuscarPaciente::~TfrmBuscarPaciente() = default;

int TfrmBuscarPaciente::NumPacientes() const {
    return m_pacientes->recordCount();
}

QString TfrmBuscarPaciente::Estado() const {
    return lblEstado->text();
}

void TfrmBuscarPaciente::mostrarEstado(const QString& texto, bool error) {
    lblEstado->setText(texto);
    lblEstado->setStyleSheet(error ? QStringLiteral("color: #b00000;") : QString());
}

int TfrmBuscarPaciente::Buscar() {
    m_espera->stop();
    const BusquedaPaciente b = ClasificarBusqueda(edtBuscar->text());
    QList<QVariantList> filas;
    QString error;
    if (b.tipo != BusquedaPaciente::Tipo::Ninguna) {
        QSqlDatabase db = QSqlDatabase::database(m_conexion, false);
        if (!db.isValid() || !db.isOpen()) {
            error = QStringLiteral("La base de datos de la tienda no está abierta");
        } else {
            QSqlQuery q(db);
            q.setForwardOnly(true);
            if (!q.prepare(SentenciaBusqueda(b.tipo))) {
                error = q.lastError().text();
            } else {
                q.addBindValue(m_particion);
                if (b.tipo == BusquedaPaciente::Tipo::Apellidos) {
                    q.addBindValue(b.texto);
                } else if (b.tipo == BusquedaPaciente::Tipo::Numero) {
                    q.addBindValue(b.texto);
                    q.addBindValue(b.texto);
                    q.addBindValue(b.movil);
                }
                if (!q.exec()) {
                    error = q.lastError().text();
                } else {
                    while (q.next())
                        filas.append({q.value(0), q.value(1).toString().trimmed(),
                                      q.value(2).toString().trimmed(),
                                      q.value(3).toString().trimmed(),
                                      q.value(4).toString().trimmed()});
                }
            }
        }
    }

    {
        quill::MemTable::ControlsDisabled sinAvisos(*m_pacientes);
        m_pacientes->close();
        m_pacientes->open();
        for (const QVariantList& fila : std::as_const(filas))
            m_pacientes->appendStored(fila);
        m_pacientes->first();
    }
    if (!error.isEmpty()) {
        mostrarEstado(QStringLiteral("No se pueden buscar los pacientes: ") + error, true);
        return -1;
    }
    if (b.tipo == BusquedaPaciente::Tipo::Ninguna)
        mostrarEstado(kAyuda, false);
    else if (filas.isEmpty())
        mostrarEstado(QStringLiteral("Ningún paciente cumple la búsqueda"), false);
    else if (filas.size() >= kMaxPacientes)
        mostrarEstado(QStringLiteral("Se muestran los %1 primeros pacientes; escriba más para "
                                     "afinar la búsqueda")
                          .arg(kMaxPacientes),
                      false);
    else if (filas.size() == 1)
        mostrarEstado(QStringLiteral("1 paciente"), false);
    else
        mostrarEstado(QStringLiteral("%1 pacientes").arg(filas.size()), false);
    if (!filas.isEmpty()) seleccionar(0);
    return int(filas.size());
}

void TfrmBuscarPaciente::seleccionar(int fila) {
    const QModelIndex indice = m_modelo->index(fila, 0);
    grdPacientes->setCurrentIndex(indice);
    grdPacientes->scrollTo(indice);
}

int TfrmBuscarPaciente::Codigo() const {
    const QModelIndex actual = grdPacientes->currentIndex();
    if (!actual.isValid() || actual.row() >= m_pacientes->recordCount()) return 0;
    return m_pacientes->valueAt(actual.row(), QStringLiteral("Codigo")).toInt();
}

void TfrmBuscarPaciente::accept() {
    // Enter right after typing: the list must show what was typed before a row is taken.
    if (m_espera->isActive()) Buscar();
    if (Codigo() <= 0) {
        mostrarEstado(QStringLiteral("No hay ningún paciente seleccionado"), true);
        return;
    }
    QDialog::accept();
}

bool TfrmBuscarPaciente::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() != QEvent::KeyPress) return QDialog::eventFilter(objeto, evento);
    const int tecla = static_cast<QKeyEvent*>(evento)->key();
    if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
        accept();
        return true;
    }
    // The arrows move through the list without leaving the search box.
    if (objeto == edtBuscar && (tecla == Qt::Key_Down || tecla == Qt::Key_Up ||
                                tecla == Qt::Key_PageDown || tecla == Qt::Key_PageUp)) {
        if (m_espera->isActive()) Buscar();
        const int filas = m_pacientes->recordCount();
        if (filas == 0) return true;
        const int paso = (tecla == Qt::Key_PageDown || tecla == Qt::Key_PageUp) ? 10 : 1;
        const int signo = (tecla == Qt::Key_Down || tecla == Qt::Key_PageDown) ? 1 : -1;
        const int actual =
            grdPacientes->currentIndex().isValid() ? grdPacientes->currentIndex().row() : 0;
        seleccionar(std::clamp(actual + signo * paso, 0, filas - 1));
        return true;
    }
    return QDialog::eventFilter(objeto, evento);
}

} // namespace pickers
