#include "listing/tfrmopcionesexportacion.h"

#include "platform/modal.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kAviso = QStringLiteral("AVISO");

// By type code: the save dialog's filter, the mark the name must end with (last four
// characters, upper case) and the extension appended when it does not.
struct Formato {
    const char* filtro;
    const char* marca;
    const char* extension;
};
const Formato kFormatos[] = {
    {"Libro de Microsoft Excel (*.xlsx)", "XLSX", ".xlsx"},
    {"Documento HTML (*.html)", "HTML", ".html"},
    {"Documento de Texto (*.txt)", ".TXT", ".txt"},
    {"Documento XML (*.xml)", ".XML", ".xml"},
};

} // namespace

TfrmOpcionesExportacion::TfrmOpcionesExportacion(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmOpcionesExportacion"));
    setWindowTitle(QStringLiteral("Configuración Exportación de Datos"));
    setModal(true);

    lblCabecera = new QLabel(QStringLiteral("Asistente Configuración Exportación de Datos"), this);
    lblCabecera->setObjectName(QStringLiteral("lblCabecera"));
    QFont negrita = lblCabecera->font();
    negrita.setBold(true);
    lblCabecera->setFont(negrita);
    lblDescripcion = new QLabel(
        QStringLiteral("Seleccione el 'TIPO' de fichero a generar (Excel, Texto, HTML, XML) y el "
                       "'NOMBRE' del fichero a generar. Dependiendo del volumen de datos a "
                       "exportar, ésta puede durar varios minutos."),
        this);
    lblDescripcion->setObjectName(QStringLiteral("lblDescripcion"));
    lblDescripcion->setWordWrap(true);

    pnlTitulo = new QLabel(QStringLiteral("Condiciones de la Exportación"), this);
    pnlTitulo->setObjectName(QStringLiteral("pnlTitulo"));
    pnlTitulo->setFont(negrita);
    pnlTitulo->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    gbxTipoFichero = new QGroupBox(QStringLiteral("Tipo y Fichero de Exportación"), this);
    gbxTipoFichero->setObjectName(QStringLiteral("gbxTipoFichero"));
    lblTipo = new QLabel(QStringLiteral("Tipo: "), gbxTipoFichero);
    lblTipo->setObjectName(QStringLiteral("lblTipo"));
    cbxTipo = new QComboBox(gbxTipoFichero);
    cbxTipo->setObjectName(QStringLiteral("cbxTipo"));
    lblFichero = new QLabel(QStringLiteral("Fichero:"), gbxTipoFichero);
    lblFichero->setObjectName(QStringLiteral("lblFichero"));
    edtFichero = new QLineEdit(gbxTipoFichero);
    edtFichero->setObjectName(QStringLiteral("edtFichero"));
    tbnFichero = new QToolButton(gbxTipoFichero);
    tbnFichero->setObjectName(QStringLiteral("tbnFichero"));
    tbnFichero->setText(QStringLiteral("..."));
    lblTipo->setBuddy(cbxTipo);
    lblFichero->setBuddy(edtFichero);

    auto* rejilla = new QGridLayout(gbxTipoFichero);
    rejilla->addWidget(lblTipo, 0, 0);
    rejilla->addWidget(cbxTipo, 0, 1, 1, 2);
    rejilla->addWidget(lblFichero, 1, 0);
    rejilla->addWidget(edtFichero, 1, 1);
    rejilla->addWidget(tbnFichero, 1, 2);
    rejilla->setColumnStretch(1, 1);

    tbnExportar = new QPushButton(QStringLiteral("&Exportar"), this);
    tbnExportar->setObjectName(QStringLiteral("tbnExportar"));
    tbnCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    tbnCancelar->setObjectName(QStringLiteral("tbnCancelar"));
    // Enter moves on; it never presses a button by itself.
    for (QPushButton* b : {tbnExportar, tbnCancelar}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(tbnFichero, &QToolButton::clicked, this, &TfrmOpcionesExportacion::SeleccionarFichero);
    connect(tbnExportar, &QPushButton::clicked, this, &TfrmOpcionesExportacion::Exportar);
    connect(tbnCancelar, &QPushButton::clicked, this, &TfrmOpcionesExportacion::Cancelar);

    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(tbnExportar);
    botones->addWidget(tbnCancelar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCabecera);
    layout->addWidget(lblDescripcion);
    layout->addWidget(pnlTitulo);
    layout->addWidget(gbxTipoFichero);
    layout->addStretch();
    layout->addLayout(botones);
    setTabOrder(cbxTipo, edtFichero);
    setTabOrder(edtFichero, tbnFichero);
    setTabOrder(tbnFichero, tbnExportar);
    setTabOrder(tbnExportar, tbnCancelar);
    resize(480, 300);
}

TfrmOpcionesExportacion::~TfrmOpcionesExportacion() = default;

void TfrmOpcionesExportacion::Inicializar(bool sms) {
    m_sms = sms;
    Idioma();
    Recursos();
}

void TfrmOpcionesExportacion::Idioma() {
    if (m_sms) {
        lblCabecera->setText(
            QStringLiteral("Configuración Opciones de Exportación para envio de SMS"));
        lblDescripcion->setText(
            QStringLiteral("Seleccione la Ruta y Nombre del fichero a generar en formato TXT"));
    } else {
        lblCabecera->setText(QStringLiteral("Configuración Opciones de Exportación de Datos"));
        lblDescripcion->setText(
            QStringLiteral("Seleccione el 'TIPO' de fichero a generar (Excel, Texto, HTML, XML) "
                           "y el 'NOMBRE' del fichero a generar"));
    }
    gbxTipoFichero->setTitle(QStringLiteral("Tipo y Fichero de Exportación"));
    lblTipo->setText(QStringLiteral("Tipo: "));
    lblFichero->setText(QStringLiteral("Fichero:"));
}

void TfrmOpcionesExportacion::Recursos() {
    cbxTipo->clear();
    if (m_sms) {
        cbxTipo->addItem(QStringLiteral("Texto"));
        cbxTipo->setEnabled(false);
    } else {
        cbxTipo->addItems({QStringLiteral("Excel"), QStringLiteral("HTML"), QStringLiteral("Texto"),
                           QStringLiteral("XML")});
        cbxTipo->setEnabled(true);
    }
    cbxTipo->setCurrentIndex(0);
}

qint16 TfrmOpcionesExportacion::tipoSeleccionado() const {
    if (cbxTipo->currentIndex() < 0 || cbxTipo->currentText().isEmpty()) return -1;
    if (m_sms) return TipoTexto;
    const int i = cbxTipo->currentIndex();
    return i <= TipoXML ? qint16(i) : qint16(-1);
}

QStringList TfrmOpcionesExportacion::ExtensionArchivo() const {
    const qint16 tipo = m_sms ? TipoTexto : tipoSeleccionado();
    if (tipo < 0) return {};
    return {QString::fromUtf8(kFormatos[tipo].filtro)};
}

QString TfrmOpcionesExportacion::ComprobarNombre(const QString& nombre) const {
    const qint16 tipo = m_sms ? TipoTexto : tipoSeleccionado();
    if (tipo < 0) return nombre;
    const Formato& f = kFormatos[tipo];
    if (nombre.right(4).toUpper() == QLatin1String(f.marca)) return nombre;
    return nombre + QLatin1String(f.extension);
}

void TfrmOpcionesExportacion::SeleccionarFichero() {
    quill::FileRequest peticion;
    peticion.caption = QStringLiteral("Guardar como");
    peticion.filters = ExtensionArchivo();
    peticion.filterIndex = 0;
    peticion.fileName = edtFichero->text();
    const QString elegido = quill::Modal::current().saveFileName(peticion);
    if (elegido.isEmpty()) return;
    edtFichero->setText(ComprobarNombre(elegido));
}

qint16 TfrmOpcionesExportacion::IntegridadDatos() {
    if (edtFichero->text().trimmed().isEmpty()) {
        quill::Modal::current().message(kAviso,
                                        QStringLiteral("Debe indicar un nombre para el fichero"),
                                        quill::MessageIcon::Stop);
        edtFichero->setFocus();
        return -2;
    }
    if (tipoSeleccionado() < 0) {
        quill::Modal::current().message(
            kAviso, QStringLiteral("Debe indicar un Tipo de Exportación válido"),
            quill::MessageIcon::Stop);
        cbxTipo->setFocus();
        return -2;
    }
    return 0;
}

void TfrmOpcionesExportacion::Exportar() {
    if (IntegridadDatos() != 0) return;
    m_tipo = tipoSeleccionado();
    // Taken as typed: only a name picked through the file button gets the extension.
    m_fichero = edtFichero->text();
    accept();
}

void TfrmOpcionesExportacion::reject() {
    if (!quill::Modal::current().question(
            kAviso, QStringLiteral("¿Está seguro de querer cancelar la Exportación?")))
        return;
    m_tipo = -1;
    m_fichero.clear();
    QDialog::reject();
}

void TfrmOpcionesExportacion::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        focusNextChild();
        event->accept();
        return;
    case Qt::Key_F5:
        event->accept();
        Exportar();
        return;
    case Qt::Key_F7:
    case Qt::Key_F12:
        event->accept();
        Cancelar();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
