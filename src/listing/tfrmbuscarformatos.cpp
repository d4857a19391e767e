#include "listing/tfrmbuscarformatos.h"

#include "business/tdocumento.h"
#include "host/bloque.h"
#include "output/labels/formatosetiqueta.h"
#include "platform/guard.h"
#include "platform/modal.h"

#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// List entries: a format file keeps its path, a catalogue sheet its index.
constexpr int kRolRuta = Qt::UserRole;
constexpr int kRolPlantilla = Qt::UserRole + 1;

QString mm(double v) {
    return QLocale(QLocale::Spanish, QLocale::Spain).toString(v, 'g', 6);
}

} // namespace

TfrmBuscarFormatos::TfrmBuscarFormatos(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmBuscarFormatos"));
    setWindowTitle(QStringLiteral("Búsqueda de formatos"));
    setModal(true);
    lblCabecera = new QLabel(QStringLiteral("Formatos disponibles"), this);
    QFont negrita = lblCabecera->font();
    negrita.setBold(true);
    lblCabecera->setFont(negrita);
    lblDescripcion = new QLabel(
        QStringLiteral("En esta pantalla se le muestran todos los formatos disponibles para el "
                       "tipo de documento solicitado."),
        this);
    lblDescripcion->setWordWrap(true);
    lvwFormatos = new QListWidget(this);
    lvwFormatos->setObjectName(QStringLiteral("lvwFormatos"));

    gbxInformacion = new QGroupBox(QStringLiteral("Información del formato seleccionado "), this);
    auto* info = new QFormLayout(gbxInformacion);
    QLabel** valores[] = {&lblTipoValor, &lblPapelValor, &lblEtiquetaValor, &lblColumnasValor,
                          &lblFilasValor};
    const char* nombres[] = {"Tipo:", "Papel:", "Etiqueta:", "Columnas:", "Filas:"};
    const char* objetos[] = {"lblTipoValor", "lblPapelValor", "lblEtiquetaValor",
                             "lblColumnasValor", "lblFilasValor"};
    for (int i = 0; i < 5; ++i) {
        *valores[i] = new QLabel(gbxInformacion);
        (*valores[i])->setObjectName(QString::fromLatin1(objetos[i]));
        info->addRow(QString::fromUtf8(nombres[i]), *valores[i]);
    }

    gbxPosicion = new QGroupBox(QStringLiteral(" Posición de la etiqueta inicial "), this);
    edtColumna = new QSpinBox(gbxPosicion);
    edtColumna->setObjectName(QStringLiteral("edtColumna"));
    edtColumna->setRange(1, 999);
    edtFila = new QSpinBox(gbxPosicion);
    edtFila->setObjectName(QStringLiteral("edtFila"));
    edtFila->setRange(1, 999);
    auto* pos = new QFormLayout(gbxPosicion);
    pos->addRow(QStringLiteral("Columna:"), edtColumna);
    pos->addRow(QStringLiteral("Fila:"), edtFila);

    btnAceptar = new QPushButton(QStringLiteral("Aceptar"), this);
    btnAceptar->setObjectName(QStringLiteral("btnAceptar"));
    btnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    connect(btnAceptar, &QPushButton::clicked, this, &TfrmBuscarFormatos::Aceptar);
    connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);
    connect(lvwFormatos, &QListWidget::currentItemChanged, this, [this] {
        Proteger(QStringLiteral("Lista Formato -> Change"), [this] { MostrarInformacion(); });
    });
    connect(lvwFormatos, &QListWidget::itemDoubleClicked, this, [this] {
        Proteger(QStringLiteral("Lista Formato -> Click"), [this] { Aceptar(); });
    });

    auto* derecha = new QVBoxLayout;
    derecha->addWidget(gbxInformacion);
    derecha->addWidget(gbxPosicion);
    derecha->addStretch();
    auto* centro = new QHBoxLayout;
    centro->addWidget(lvwFormatos, 1);
    centro->addLayout(derecha);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(btnAceptar);
    botones->addWidget(btnCancelar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblCabecera);
    layout->addWidget(lblDescripcion);
    layout->addLayout(centro, 1);
    layout->addLayout(botones);
    resize(640, 440);
}

TfrmBuscarFormatos::~TfrmBuscarFormatos() = default;

template <typename Fn> bool TfrmBuscarFormatos::Proteger(const QString& funcion, Fn&& fn) {
    const quill::ErrorReporter previo =
        quill::setErrorReporter([](const QString& f, const QString& m) {
            quill::Modal::current().message(
                QStringLiteral("ERROR"),
                QStringLiteral("Pantalla: Búsqueda de formatos.\nFunción: %1\nDetalle: %2")
                    .arg(f, m),
                quill::MessageIcon::Stop);
        });
    const bool ok = quill::Guardar(funcion, std::forward<Fn>(fn));
    quill::setErrorReporter(previo);
    return ok;
}

qint16 TfrmBuscarFormatos::Inicializar(const std::intptr_t* bloque, int contexto, int columna,
                                       int fila) {
    const bool ok = Proteger(QStringLiteral("Inicializar"), [&] {
        if (!bloque) throw quill::Error(QStringLiteral("Paso no inicializado. Imposible continuar"));
        (void)contexto; // every format of the folder is a label format
        m_carpeta = quill::CarpetaFormatos(
            quill::slotObject<quill::TConfPuesto>(bloque, quill::SlotSettings));
        edtColumna->setValue(columna);
        edtFila->setValue(fila);
        lvwFormatos->clear();
        const QDir dir(m_carpeta);
        for (const QFileInfo& f :
             dir.entryInfoList({QStringLiteral("*.fqm")}, QDir::Files, QDir::Name | QDir::IgnoreCase)) {
            auto* item = new QListWidgetItem(f.completeBaseName(), lvwFormatos);
            item->setData(kRolRuta, f.absoluteFilePath());
        }
        // The catalogue's sheets that are not in the folder yet, by brand and product code.
        m_plantillas = quill::LeerPlantillasEtiquetas(m_carpetaPlantillas);
        for (int i = 0; i < m_plantillas.size(); ++i) {
            const quill::PlantillaEtiqueta& p = m_plantillas[i];
            if (QFileInfo::exists(quill::RutaFormato(m_carpeta, p.NombreFormato()))) continue;
            auto* item = new QListWidgetItem(
                p.NombreFormato() +
                    (p.descripcion.isEmpty() ? QString() : QStringLiteral(" — ") + p.descripcion),
                lvwFormatos);
            item->setData(kRolPlantilla, i);
        }
        if (lvwFormatos->count() > 0) lvwFormatos->setCurrentRow(0);
    });
    return ok ? 0 : -1;
}

QString TfrmBuscarFormatos::rutaDe(const QListWidgetItem* item) const {
    return item ? item->data(kRolRuta).toString() : QString();
}

const quill::PlantillaEtiqueta* TfrmBuscarFormatos::plantillaDe(const QListWidgetItem* item) const {
    if (!item || !item->data(kRolPlantilla).isValid()) return nullptr;
    const int i = item->data(kRolPlantilla).toInt();
    return i >= 0 && i < m_plantillas.size() ? &m_plantillas[i] : nullptr;
}

void TfrmBuscarFormatos::MostrarInformacion() {
    const QListWidgetItem* item = lvwFormatos->currentItem();
    quill::InformacionFormato i;
    if (const quill::PlantillaEtiqueta* p = plantillaDe(item)) {
        const quill::GeometriaHoja& g = p->geometria;
        i.valido = true;
        i.tipo = QStringLiteral("Formato estandar");
        i.papel = QStringLiteral("%1 x %2 mm").arg(mm(g.anchoPapel), mm(g.altoPapel));
        i.etiqueta = QStringLiteral("%1 x %2 mm").arg(mm(g.ancho), mm(g.alto));
        i.columnas = QString::number(g.columnas);
        i.filas = QString::number(g.filas);
    } else if (item) {
        i = quill::LeerInformacionFormato(rutaDe(item));
    }
    lblTipoValor->setText(item ? i.tipo : QString());
    lblPapelValor->setText(i.papel);
    lblEtiquetaValor->setText(i.etiqueta);
    lblColumnasValor->setText(i.columnas);
    lblFilasValor->setText(i.filas);
}

void TfrmBuscarFormatos::Aceptar() {
    Proteger(QStringLiteral("Botón Aceptar -> Click"), [this] {
        const QListWidgetItem* item = lvwFormatos->currentItem();
        QString nombre;
        if (const quill::PlantillaEtiqueta* p = plantillaDe(item)) {
            nombre = p->NombreFormato();
            const QString error = quill::EscribirFormatoEstandar(
                quill::RutaFormato(m_carpeta, nombre), nombre, p->geometria);
            if (!error.isEmpty()) throw quill::Error(error);
        } else if (item && quill::FormatoValido(rutaDe(item))) {
            nombre = QFileInfo(rutaDe(item)).completeBaseName();
        } else {
            quill::Modal::current().message(
                QStringLiteral("AVISO"),
                QStringLiteral("El formato seleccionado no se ha podido reconocer. Seleccione "
                               "otro formato"),
                quill::MessageIcon::Stop);
            return;
        }
        m_formato = nombre;
        m_columna = edtColumna->value();
        m_fila = edtFila->value();
        accept();
    });
}
