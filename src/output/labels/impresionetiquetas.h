#pragma once

// The printing object of one label run: takes the host block and the filled document, loads the
// label printing library ("etiquetas.dll", libetiquetas.so) from the library folder and calls its
// entry `Cargar_Dll(document, flag)`, whose 16-bit answer is the printing result.

#include <QString>

#include <cstdint>

namespace quill {

class TDocumento;

// The library's entry point.
using CargarDllEtiquetas = qint16 (*)(TDocumento* documento, qint16 flag);

class TImprimirEtiquetas {
public:
    static constexpr qint16 kSinDocumento = -22800;
    static constexpr qint16 kSinBloque = -22801;
    static constexpr qint16 kSinLibreria = -603;
    static constexpr qint16 kSinEntrada = -604;
    // The library's file name, as the family names it.
    static QString NombreLibreria() { return QStringLiteral("etiquetas.dll"); }

    void setBloque(const std::intptr_t* bloque) { m_bloque = bloque; }
    void setDocumento(TDocumento* documento) { m_documento = documento; }
    qint16 Flag = 1;

    // Loads the library from the folder and prints: the library's result, or one of the codes
    // above. Detalle() says why a load failed.
    qint16 Imprimir(const QString& carpetaLibrerias);
    const QString& Detalle() const { return m_detalle; }

private:
    const std::intptr_t* m_bloque = nullptr;
    TDocumento* m_documento = nullptr;
    QString m_detalle;
};

// The message of a printing result: empty for 0; for the library's own failures, the
// document's account when it gave one.
QString MensajeImpresionEtiquetas(qint16 resultado, const TDocumento* documento = nullptr);

} // namespace quill
