#include "listing/abrirlistado.h"

#include "host/bloque.h"
#include "listing/tfrmlistado.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTranslator>

#include <memory>

namespace {
QPointer<TfrmListado> g_ultima;

// Qt's own dialogs and buttons (file dialogs, message box buttons) speak the shop's language:
// Qt's Spanish catalogue, installed once per process, whatever the host did.
void instalarTraduccionesQt() {
    static bool hecho = false;
    if (hecho || !QCoreApplication::instance()) return;
    hecho = true;
    auto* qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(QLocale(QLocale::Spanish, QLocale::Spain), QStringLiteral("qt"),
                 QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
}
} // namespace

bool TraduccionesQtCargadas() {
    return QCoreApplication::translate("QFileDialog", "Look in:") != QStringLiteral("Look in:");
}

TfrmListado* frmListado() {
    return g_ultima.data();
}

TfrmListado* AbrirListado(const std::intptr_t* bloque, const CrearVentana& crear) {
    QPointer<TfrmListado> ventana;
    QPointer<QMdiSubWindow> marco;
    instalarTraduccionesQt();
    try {
        ventana = crear ? crear(bloque) : new TfrmListado(bloque);
        if (!ventana) return nullptr;
        auto* principal = qobject_cast<QMainWindow*>(quill::slotOwner(bloque));
        auto* area = principal ? qobject_cast<QMdiArea*>(principal->centralWidget()) : nullptr;
        if (area) {
            marco = area->addSubWindow(ventana);
            marco->setWindowIcon(QIcon(QStringLiteral(":/listadopacientes/imagenes/listado.png")));
            marco->resize(marco->sizeHint().expandedTo(QSize(860, 600)));
            const QSize libre = area->viewport()->size();
            marco->move(std::max(0, (libre.width() - marco->width()) / 2),
                        std::max(0, (libre.height() - marco->height()) / 2));
        }
        ventana->Iniciar();
        if (marco)
            marco->show();
        else
            ventana->show();
        g_ultima = ventana;
        return ventana;
    } catch (...) {
        // No window is left behind after a failed creation.
        if (marco)
            delete marco.data();
        else if (ventana)
            delete ventana.data();
        return nullptr;
    }
}
