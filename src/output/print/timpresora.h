#pragma once

// The printers a document can be printed on: the installed ones, as the system's print service
// lists them (CUPS through Qt's printer information), then the built-in "PDF" printer.

#include <QString>
#include <QStringList>

class TImpresora {
public:
    // Empties the list and fills it again: every installed printer in the system's order, then
    // "PDF" (impresoras.h). Returns 0.
    qint16 Cargar();

    const QStringList& Impresoras() const { return m_impresoras; }
    int Count() const { return int(m_impresoras.size()); }

    // The installed printers only, in the system's order.
    static QStringList Instaladas();

private:
    QStringList m_impresoras;
};
