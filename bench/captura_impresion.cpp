// Pictures of the print options and of the printer list. Run by hand, offscreen or on a real
// display, e.g.
//
//   QT_QPA_PLATFORM=offscreen build/bin/bench_captura_impresion 1 opciones.png impresoras.png
//
// The first argument is the listing kind (0-6, or 10 / 11 for the prescription reports). The
// options show the mouse over the first drop-down (its hint in the status bar); the printer list
// shows the machine's printers and the built-in "PDF", the workstation printer preselected.

#include "../tests/listing/anfitrion.h"
#include "actions/registro.h"
#include "listing/tfrmimpresoras.h"
#include "listing/tfrmopcionesimprimir.h"
#include "platform/modal.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "uso: %s TIPO OPCIONES.png [IMPRESORAS.png]\n", argv[0]);
        return 1;
    }
    const qint16 tipo = qint16(QString::fromLocal8Bit(argv[1]).toInt());
    Anfitrion host;
    host.monedas = {QStringLiteral("Euro"), QStringLiteral("Peseta")};
    host.usuario.TipoInforme = 2;
    host.usuario.OrdenInforme = 18;
    host.conf.Impresoras.Listado = QStringLiteral("PDF");

    const quill::DescriptorListado* d = quill::Listado(tipo);
    TfrmOpcionesImprimir opciones;
    opciones.setTipoListado(tipo);
    opciones.setBloque(host.bloque.data());
    opciones.setListas(
        TfrmOpcionesImprimir::ListasDe(d && d->conMonedas, tipo, host.bloque.data()));
    opciones.ValoresIniciales();
    opciones.show();
    if (!QTest::qWaitForWindowExposed(&opciones)) return 1;
    QEvent entra(QEvent::Enter);
    for (QWidget* w : {opciones.cbxOrden, opciones.cbxFormato, opciones.cbxTipo})
        if (!w->isHidden()) QApplication::sendEvent(w, &entra);
    QTest::qWait(50);
    if (!opciones.grab().save(QString::fromLocal8Bit(argv[2]))) return 1;

    if (argc > 3) {
        TfrmImpresoras lista(host.bloque.data(), 0);
        lista.show();
        if (!QTest::qWaitForWindowExposed(&lista)) return 1;
        QTest::qWait(50);
        if (!lista.grab().save(QString::fromLocal8Bit(argv[3]))) return 1;
    }
    return 0;
}
