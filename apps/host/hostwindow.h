#pragma once

// The host program's main window: a multi-document area holding the listing windows, the
// parameter block with the objects its slots point to, and the loaded listing module.

#include "business/acceso.h"
#include "host/bloque.h"

#include <QLibrary>
#include <QMainWindow>

class QMdiArea;

namespace quill {

struct HostOptions {
    QString connectionName; // the open shop database
    int partition = 1;      // data partition of this shop
    QString iniPath;        // the workstation file Quillmore.ini
    QString libDir;         // folder of the listing module and the other libraries
    double userNumber = 1;  // the signed-in user
};

class HostWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HostWindow(const HostOptions& options, QWidget* parent = nullptr);
    ~HostWindow() override;

    // Loads liblistadopacientes.so from the library folder (absolute path) and resolves both
    // entry points. Returns an empty text or why it failed (Spanish).
    QString loadModule();
    bool moduleLoaded() const { return m_cargar != nullptr; }
    // Calls Cargar_Dll with the block: 0 when a listing window was opened, -1 otherwise.
    int openListing();

    QMdiArea* mdiArea() const { return m_mdi; }
    HostBlock& block() { return m_block; }
    TConfPuesto& workstation() { return m_conf; }
    TUsuario& user() { return m_user; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    using CargarDll = int (*)(std::intptr_t*);
    using LiberarDll = int (*)();

    HostOptions m_options;
    QMdiArea* m_mdi;
    HostBlock m_block{};
    HostConnection m_connection;
    HostConnection m_defaultConnection;
    HostTransaction m_transaction;
    TConfPuesto m_conf;
    TAplicacion m_application;
    TUsuario m_user;
    TMonedas m_currencies;
    OperationLog m_log;
    QLibrary m_library;
    CargarDll m_cargar = nullptr;
    LiberarDll m_liberar = nullptr;
};

} // namespace quill
