#include "output/print/timpresora.h"

#include "output/print/impresoras.h"

#include <QPrinterInfo>

QStringList TImpresora::Instaladas() {
    QStringList nombres;
    for (const QPrinterInfo& p : QPrinterInfo::availablePrinters())
        nombres << p.printerName();
    return nombres;
}

qint16 TImpresora::Cargar() {
    m_impresoras.clear();
    for (const QString& nombre : Instaladas())
        if (!quill::EsImpresoraPDF(nombre)) m_impresoras << nombre;
    m_impresoras << quill::ImpresoraPDF();
    return 0;
}
