#include "listing/tfrmerror.h"

#include "platform/modal.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStyle>
#include <QTextDocument>
#include <QTextOption>
#include <QVBoxLayout>

namespace {

const char* const kDias[] = {"lunes",   "martes", "miércoles", "jueves",
                             "viernes", "sábado", "domingo"};
const char* const kMeses[] = {"enero",      "febrero", "marzo",     "abril",
                              "mayo",       "junio",   "julio",     "agosto",
                              "septiembre", "octubre", "noviembre", "diciembre"};

const QString kSinCorreo =
    QStringLiteral("No se ha podido enviar el correo, conectese a internet e intentelo mas tarde");

} // namespace

TDatosTienda LeerDatosTienda(const QString& conexion) {
    TDatosTienda t;
    QSqlDatabase db = QSqlDatabase::database(conexion, false);
    if (!db.isValid() || !db.isOpen()) return t;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral(
            "SELECT FIRST 1 E.NOMBRE, E.DIRECCION, E.TELEFONO, L.CODIGO_POSTAL, L.DESCRIPCION, "
            "P.DESCRIPCION FROM EMPRESA E LEFT JOIN LOCALIDAD L ON L.ID_LOCALIDAD = E.ID_LOCALIDAD "
            "LEFT JOIN PROVINCIA P ON P.ID_PROVINCIA = L.ID_PROVINCIA ORDER BY E.ID_EMPRESA")) ||
        !q.next())
        return t;
    t.Nombre = q.value(0).toString().trimmed();
    t.Direccion = q.value(1).toString().trimmed();
    t.Telefono = q.value(2).toString().trimmed();
    if (!q.value(3).isNull())
        t.CodigoPostal = QStringLiteral("%1").arg(q.value(3).toInt(), 5, 10, QLatin1Char('0'));
    t.Localidad = q.value(4).toString().trimmed();
    t.Provincia = q.value(5).toString().trimmed();
    return t;
}

TfrmError::TfrmError(QWidget* owner) : QDialog(owner), m_fecha(QDateTime::currentDateTime()) {
    setObjectName(QStringLiteral("frmError"));
    setWindowTitle(QStringLiteral("Listado de Pacientes - Informe de error"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
    QFont fuente(QStringLiteral("Tahoma"));
    fuente.setPixelSize(12);
    setFont(fuente);

    auto* icono = new QLabel(this);
    icono->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(40, 40));
    auto* titulo = new QLabel(QStringLiteral("Se ha producido un error"), this);
    titulo->setObjectName(QStringLiteral("lblTitulo"));
    QFont grande = titulo->font();
    grande.setPixelSize(18);
    grande.setBold(true);
    titulo->setFont(grande);
    titulo->setStyleSheet(QStringLiteral("color: #9b1c1c;"));
    auto* cabecera = new QHBoxLayout;
    cabecera->addWidget(icono);
    cabecera->addSpacing(8);
    cabecera->addWidget(titulo, 1);

    auto* grpFecha = new QGroupBox(QStringLiteral(" Fecha y hora del error "), this);
    lblFecha = new QLabel(grpFecha);
    lblFecha->setObjectName(QStringLiteral("lblFecha"));
    auto* layFecha = new QVBoxLayout(grpFecha);
    layFecha->addWidget(lblFecha);

    auto* grpDetalle = new QGroupBox(QStringLiteral(" Detalle del Error "), this);
    edtPantalla = new QLineEdit(grpDetalle);
    edtPantalla->setObjectName(QStringLiteral("edtPantalla"));
    edtPantalla->setReadOnly(true);
    edtFuncion = new QLineEdit(grpDetalle);
    edtFuncion->setObjectName(QStringLiteral("edtFuncion"));
    edtFuncion->setReadOnly(true);
    memDescripcion = new QPlainTextEdit(grpDetalle);
    memDescripcion->setObjectName(QStringLiteral("memDescripcion"));
    memDescripcion->setReadOnly(true);
    auto* layDetalle = new QGridLayout(grpDetalle);
    layDetalle->addWidget(new QLabel(QStringLiteral("Pantalla:"), grpDetalle), 0, 0);
    layDetalle->addWidget(edtPantalla, 0, 1);
    layDetalle->addWidget(new QLabel(QStringLiteral("Función:"), grpDetalle), 1, 0);
    layDetalle->addWidget(edtFuncion, 1, 1);
    auto* etiquetaDescripcion = new QLabel(QStringLiteral("Descripción"), grpDetalle);
    layDetalle->addWidget(etiquetaDescripcion, 2, 0, Qt::AlignTop);
    layDetalle->addWidget(memDescripcion, 2, 1);

    btnEMail = new QPushButton(QStringLiteral("&E-Mail"), this);
    btnEMail->setObjectName(QStringLiteral("btnEMail"));
    btnImprimir = new QPushButton(QStringLiteral("&Imprimir"), this);
    btnImprimir->setObjectName(QStringLiteral("btnImprimir"));
    btnSalir = new QPushButton(QStringLiteral("&Salir"), this);
    btnSalir->setObjectName(QStringLiteral("btnSalir"));
    btnSalir->setDefault(true);
    auto* botones = new QHBoxLayout;
    botones->addWidget(btnEMail);
    botones->addWidget(btnImprimir);
    botones->addStretch(1);
    botones->addWidget(btnSalir);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(cabecera);
    layout->addWidget(grpFecha);
    layout->addWidget(grpDetalle, 1);
    layout->addLayout(botones);
    resize(520, 380);

    connect(btnEMail, &QPushButton::clicked, this, [this] { EMailClick(); });
    connect(btnImprimir, &QPushButton::clicked, this, [this] { ImprimirClick(); });
    connect(btnSalir, &QPushButton::clicked, this, &QDialog::accept);
    setFecha(m_fecha);
}

void TfrmError::setPantalla(const QString& pantalla) {
    edtPantalla->setText(pantalla);
}

void TfrmError::setFuncion(const QString& funcion) {
    edtFuncion->setText(funcion);
}

void TfrmError::setDescripcion(const QString& descripcion) {
    memDescripcion->setPlainText(descripcion);
}

void TfrmError::setFecha(const QDateTime& fecha) {
    m_fecha = fecha;
    lblFecha->setText(TextoFecha(fecha));
}

void TfrmError::setSoporte(const QString& correo, const QString& telefono) {
    m_correoSoporte = correo;
    m_telefonoSoporte = telefono;
}

TInformeError TfrmError::informe() const {
    return {edtPantalla->text(), edtFuncion->text(), memDescripcion->toPlainText(), m_fecha};
}

QString TfrmError::TextoFecha(const QDateTime& fecha) {
    const QDate d = fecha.date();
    const QTime t = fecha.time();
    return QStringLiteral("%1, %2 de %3 de %4  %5:%6")
        .arg(QString::fromUtf8(kDias[d.dayOfWeek() - 1]))
        .arg(d.day())
        .arg(QString::fromUtf8(kMeses[d.month() - 1]))
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(t.hour(), 2, 10, QLatin1Char('0'))
        .arg(t.minute(), 2, 10, QLatin1Char('0'));
}

bool TfrmError::PintarInforme(QPagedPaintDevice& dispositivo) const {
    QPainter p;
    if (!p.begin(&dispositivo)) return false;
    // Work in points so the layout does not depend on the device's resolution; fonts are then
    // sized in these units (pixel sizes), not in the device's points.
    const double escala = dispositivo.logicalDpiX() / 72.0;
    p.scale(escala, escala);
    const double ancho = dispositivo.width() / escala;
    const QString familia = QStringLiteral("DejaVu Sans");

    double y = 0;
    auto linea = [&](const QString& texto, int puntos, bool negrita, double alto) {
        QFont f(familia);
        f.setPixelSize(puntos);
        f.setBold(negrita);
        p.setFont(f);
        p.drawText(QRectF(0, y, ancho, alto), Qt::AlignLeft | Qt::AlignVCenter, texto);
        y += alto;
    };

    // The shop's heading.
    linea(m_tienda.Nombre, 14, true, 20);
    if (!m_tienda.Direccion.isEmpty()) linea(m_tienda.Direccion, 10, false, 14);
    QString poblacion = m_tienda.CodigoPostal;
    if (!m_tienda.Localidad.isEmpty())
        poblacion += (poblacion.isEmpty() ? QString() : QStringLiteral(" - ")) + m_tienda.Localidad;
    if (!m_tienda.Provincia.isEmpty())
        poblacion += QStringLiteral(" (") + m_tienda.Provincia + QStringLiteral(")");
    if (!poblacion.isEmpty()) linea(poblacion, 10, false, 14);
    if (!m_tienda.Telefono.isEmpty())
        linea(QStringLiteral("Tfno: ") + m_tienda.Telefono, 10, false, 14);
    y += 10;
    p.setPen(QPen(QColor(0x3f, 0x68, 0x94), 1.5));
    p.drawLine(QPointF(0, y), QPointF(ancho, y));
    p.setPen(Qt::black);
    y += 18;

    linea(QStringLiteral("Informe de error"), 18, true, 28);
    linea(QStringLiteral("Se ha producido un error"), 11, false, 18);
    y += 10;

    const TInformeError datos = informe();
    auto campo = [&](const QString& etiqueta, const QString& valor) {
        QFont f(familia);
        f.setPixelSize(10);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(0, y, 110, 16), Qt::AlignLeft | Qt::AlignTop, etiqueta);
        f.setBold(false);
        p.setFont(f);
        QTextOption opcion;
        opcion.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        const QRectF caja(110, y, ancho - 110, 10000);
        const QRectF usado = p.boundingRect(caja, valor, opcion);
        p.drawText(caja, valor, opcion);
        y += std::max(16.0, usado.height()) + 6;
    };
    campo(QStringLiteral("Fecha y hora:"), TextoFecha(datos.Fecha));
    campo(QStringLiteral("Pantalla:"), datos.Pantalla);
    campo(QStringLiteral("Función:"), datos.Funcion);
    campo(QStringLiteral("Descripción"), datos.Descripcion);

    if (!m_correoSoporte.isEmpty() || !m_telefonoSoporte.isEmpty()) {
        const double alto = dispositivo.height() / escala;
        QFont f(familia);
        f.setPixelSize(8);
        p.setFont(f);
        QString soporte = QStringLiteral("Soporte:");
        if (!m_correoSoporte.isEmpty()) soporte += QStringLiteral(" ") + m_correoSoporte;
        if (!m_telefonoSoporte.isEmpty()) soporte += QStringLiteral("  Tfno: ") + m_telefonoSoporte;
        p.drawText(QRectF(0, alto - 14, ancho, 14), Qt::AlignLeft | Qt::AlignVCenter, soporte);
    }
    return p.end();
}

bool TfrmError::GuardarPdf(const QString& fichero) const {
    QPdfWriter pdf(fichero);
    pdf.setTitle(QStringLiteral("Informe de error"));
    pdf.setCreator(QStringLiteral("Listado de Pacientes"));
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
    pdf.setResolution(300);
    return PintarInforme(pdf);
}

void TfrmError::EMailClick() {
    const int r =
        m_enviar && !m_correoSoporte.isEmpty() ? m_enviar(m_correoSoporte, informe()) : -1;
    if (r != 0)
        quill::Modal::current().message(QStringLiteral("ERROR"), kSinCorreo,
                                        quill::MessageIcon::Stop);
}

void TfrmError::ImprimirClick() {
    // With installed printers the print dialog (which also offers a PDF file); without any, the
    // report goes to a PDF file the user names.
    if (!QPrinterInfo::availablePrinterNames().isEmpty()) {
        QPrinter impresora(QPrinter::HighResolution);
        impresora.setDocName(QStringLiteral("Informe de error"));
        QPrintDialog dialogo(&impresora, this);
        if (quill::Modal::current().exec(&dialogo) != QDialog::Accepted) return;
        if (!PintarInforme(impresora))
            quill::Modal::current().message(QStringLiteral("ERROR"),
                                            QStringLiteral("No se ha podido imprimir el informe"),
                                            quill::MessageIcon::Stop);
        return;
    }
    quill::FileRequest peticion;
    peticion.caption = QStringLiteral("Guardar el informe de error");
    peticion.folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    peticion.filters = {QStringLiteral("PDF (*.pdf)")};
    peticion.fileName = QStringLiteral("Informe de error.pdf");
    QString fichero = quill::Modal::current().saveFileName(peticion);
    if (fichero.isEmpty()) return;
    if (!fichero.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        fichero += QStringLiteral(".pdf");
    if (!GuardarPdf(fichero))
        quill::Modal::current().message(
            QStringLiteral("ERROR"),
            QStringLiteral("No se ha podido guardar el informe en %1").arg(fichero),
            quill::MessageIcon::Stop);
}
