#include "hostwindow.h"

#include "hostconfig.h"
#include "tfrmcfgsms.h"
#include "tfrmconfiguracioncorreo.h"

#include "listing/modalreal.h"
#include "platform/modal.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>

namespace quill {

HostWindow::HostWindow(const HostOptions& options, QWidget* parent)
    : QMainWindow(parent), m_options(options), m_mdi(new QMdiArea(this)) {
    setWindowTitle(QStringLiteral("Quillmore"));
    setObjectName(QStringLiteral("frmPrincipal"));
    m_mdi->setObjectName(QStringLiteral("mdiPrincipal"));
    m_mdi->setBackground(QColor(0x6b, 0x7f, 0x95));
    setCentralWidget(m_mdi);

    QMenu* listados = menuBar()->addMenu(QStringLiteral("&Listados"));
    QAction* pacientes = listados->addAction(QStringLiteral("Listado de &Pacientes"));
    pacientes->setObjectName(QStringLiteral("actListadoPacientes"));
    pacientes->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(pacientes, &QAction::triggered, this, [this] {
        if (openListing() != 0)
            QMessageBox::critical(this, QStringLiteral("ERROR"),
                                  QStringLiteral("No se ha podido abrir el listado de pacientes."));
    });
    QAction* sms = listados->addAction(QStringLiteral("Configuración de &SMS..."));
    sms->setObjectName(QStringLiteral("actConfiguracionSMS"));
    connect(sms, &QAction::triggered, this, [this] { TfrmCfgSMS(this).exec(); });
    QAction* correo =
        listados->addAction(QStringLiteral("Configuración del &correo electrónico..."));
    correo->setObjectName(QStringLiteral("actConfiguracionCorreo"));
    connect(correo, &QAction::triggered, this, [this] {
        instalarModalReal();
        TfrmConfiguracionCorreo d(this);
        d.Cargar(LeerConfiguracionCorreo());
        if (Modal::current().exec(&d) == QDialog::Accepted)
            AplicarConfiguracionCorreo(m_conf, d.Configuracion());
    });
    listados->addSeparator();
    QAction* salir = listados->addAction(QStringLiteral("&Salir"));
    connect(salir, &QAction::triggered, this, &QWidget::close);
    QMenu* ventanas = menuBar()->addMenu(QStringLiteral("&Ventanas"));
    ventanas->addAction(QStringLiteral("&Cascada"), m_mdi, &QMdiArea::cascadeSubWindows);
    ventanas->addAction(QStringLiteral("&Mosaico"), m_mdi, &QMdiArea::tileSubWindows);
    statusBar()->showMessage(QStringLiteral("Conectado a la base de datos"));

    // The objects the block points to live as long as this window.
    m_connection.connectionName = options.connectionName;
    m_defaultConnection.connectionName = options.connectionName;
    m_transaction.connectionName = options.connectionName;
    m_log.connectionName = options.connectionName;
    m_conf = loadWorkstation(options.iniPath, options.libDir);
    m_application = loadApplication(options.iniPath);
    m_user.Numero = options.userNumber;
    m_currencies.Moneda1 = QStringLiteral("Euro");
    m_currencies.Moneda2 = QStringLiteral("Peseta");

    setSlot(m_block, SlotOwner, static_cast<QWidget*>(this));
    setSlot(m_block, SlotDatabase, &m_connection);
    setSlot(m_block, SlotDefaultDatabase, &m_defaultConnection);
    setSlot(m_block, SlotTransaction, &m_transaction);
    setSlot(m_block, SlotSettings, &m_conf);
    setSlot(m_block, SlotApplication, &m_application);
    setSlot(m_block, SlotUser, &m_user);
    setSlot(m_block, SlotCurrencies, &m_currencies);
    setSlot(m_block, SlotLog, &m_log);
    m_block[SlotPartition] = options.partition;
}

HostWindow::~HostWindow() {
    // Listing windows run code of the module: they go before the module is released.
    const auto hijos = m_mdi->subWindowList();
    for (QWidget* w : hijos)
        delete w;
    if (m_liberar) m_liberar();
}

QString HostWindow::loadModule() {
    const QString ruta =
        QDir(m_options.libDir).absoluteFilePath(QStringLiteral("liblistadopacientes.so"));
    m_library.setFileName(ruta);
    if (!m_library.load())
        return QStringLiteral("No se ha podido cargar el módulo de listados %1: %2")
            .arg(ruta, m_library.errorString());
    m_cargar = reinterpret_cast<CargarDll>(m_library.resolve("Cargar_Dll"));
    m_liberar = reinterpret_cast<LiberarDll>(m_library.resolve("Liberar_Dll"));
    if (!m_cargar || !m_liberar) {
        m_cargar = nullptr;
        m_liberar = nullptr;
        return QStringLiteral("El módulo de listados %1 no tiene los puntos de entrada esperados")
            .arg(ruta);
    }
    return {};
}

int HostWindow::openListing() {
    if (!m_cargar) return -1;
    return m_cargar(m_block.data());
}

void HostWindow::closeEvent(QCloseEvent* event) {
    // Each listing window closes as if its user closed it, so each writes its log entry.
    m_mdi->closeAllSubWindows();
    const auto quedan = m_mdi->subWindowList();
    for (const QWidget* w : quedan) {
        if (w->isVisible()) {
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
}

} // namespace quill
