// A picture of the count window as it shows the count of a shop database's patients with a
// surname. Run by hand on a real display, e.g.
//
//   export QT_QPA_PLATFORM=xcb
//   xvfb-run -a -s "-screen 0 1280x800x24" build/bin/bench_captura_conteo TIENDA.fdb conteo.png
//
// Any writable copy of a shop database will do, e.g. one from build/test-databases.

#include "../tests/listing/anfitrion.h"
#include "conditions/tdmlstpaciente.h"
#include "listing/abrirlistado.h"
#include "listing/navbar.h"
#include "listing/tfrmconteo.h"
#include "listing/tfrmlistado.h"
#include "platform/memtable.h"
#include "platform/modal.h"
#include "sql/database.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "uso: %s TIENDA.fdb SALIDA.png\n", argv[0]);
        return 1;
    }
    const QString conexion = QStringLiteral("captura");
    const QString destino = QString::fromLocal8Bit(argv[2]);
    const QString error =
        quill::openDatabase(conexion, quill::DbParams(QString::fromLocal8Bit(argv[1])));
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    Anfitrion host(conexion);
    host.principal.show();
    quill::ScriptedModal modal;
    quill::ScopedModal instalado{modal};
    TfrmListado* w = AbrirListado(host.bloque.data());
    if (!w) return 1;

    quill::MemTable* t = w->dmlstPaciente->TablaActual();
    t->setValue(QStringLiteral("Id"), 1.0);
    t->setValue(QStringLiteral("Campo"), QStringLiteral("Apellidos"));
    t->setValue(QStringLiteral("Condicion"), QStringLiteral("No Vacío"));
    t->post();

    QString conteo;
    bool guardada = false;
    modal.queueDialog([&](QWidget* d) {
        auto* c = qobject_cast<TfrmConteo*>(d);
        if (!c) return 0;
        c->show();
        if (!QTest::qWaitForWindowExposed(c)) return 0;
        QTest::qWait(200);
        conteo = c->edtConteo->text();
        guardada = c->grab().save(destino);
        return 1;
    });
    w->nbiConteo->click();
    std::printf("conteo %s, %s %s\n", qPrintable(conteo), guardada ? "guardada" : "NO guardada",
                argv[2]);
    for (const auto& m : modal.messages())
        std::printf("mensaje: %s\n", qPrintable(m.text));
    w->Salir();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    quill::closeDatabase(conexion);
    return guardada ? 0 : 1;
}
