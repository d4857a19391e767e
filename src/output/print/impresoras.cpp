#include "output/print/impresoras.h"

#include "platform/settings.h"

#include <array>

namespace quill {

namespace {

struct Documento {
    const char* nombre;
    QString TImpresorasPuesto::*campo;
};

const std::array<Documento, 10> kDocumentos{{
    {"Albaran", &TImpresorasPuesto::Albaran},
    {"Etiqueta", &TImpresorasPuesto::Etiqueta},
    {"Factura", &TImpresorasPuesto::Factura},
    {"Ficha", &TImpresorasPuesto::Ficha},
    {"Garantia", &TImpresorasPuesto::Garantia},
    {"Listado", &TImpresorasPuesto::Listado},
    {"Presupuesto", &TImpresorasPuesto::Presupuesto},
    {"Receta", &TImpresorasPuesto::Receta},
    {"Recibo", &TImpresorasPuesto::Recibo},
    {"Resguardo", &TImpresorasPuesto::Resguardo},
}};

const Documento* buscar(const QString& documento) {
    for (const Documento& d : kDocumentos)
        if (documento == QLatin1String(d.nombre)) return &d;
    return nullptr;
}

} // namespace

QString ClaveImpresoras() {
    return QStringLiteral("\\Software\\Quillmore\\3.0\\Impresoras");
}

const QStringList& DocumentosImpresora() {
    static const QStringList nombres = [] {
        QStringList l;
        for (const Documento& d : kDocumentos)
            l << QLatin1String(d.nombre);
        return l;
    }();
    return nombres;
}

TImpresorasPuesto LeerImpresorasPuesto() {
    const RegistryKey clave(ClaveImpresoras());
    TImpresorasPuesto p;
    for (const Documento& d : kDocumentos)
        p.*d.campo = clave.readString(QLatin1String(d.nombre));
    return p;
}

QString EscribirImpresoraPuesto(const QString& documento, const QString& impresora) {
    if (!buscar(documento))
        return QStringLiteral("Tipo de documento desconocido: %1").arg(documento);
    return RegistryKey(ClaveImpresoras()).writeString(documento, impresora);
}

QString ImpresoraDocumento(const TImpresorasPuesto& impresoras, const QString& documento) {
    const Documento* d = buscar(documento);
    return d ? impresoras.*d->campo : QString();
}

QString ImpresoraPuesto(const std::intptr_t* bloque, const QString& documento) {
    const TConfPuesto* puesto = bloque ? slotObject<TConfPuesto>(bloque, SlotSettings) : nullptr;
    if (puesto) return ImpresoraDocumento(puesto->Impresoras, documento);
    return ImpresoraDocumento(LeerImpresorasPuesto(), documento);
}

QString ImpresoraPDF() {
    return QStringLiteral("PDF");
}

bool EsImpresoraPDF(const QString& nombre) {
    return nombre == ImpresoraPDF();
}

QString NombreFicheroPDF(const QString& nombre) {
    if (nombre.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)) return nombre;
    return nombre + QStringLiteral(".pdf");
}

} // namespace quill
