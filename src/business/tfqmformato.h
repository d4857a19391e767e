#pragma once

// The EPL/2 label-printer format file: an INI text with the sections FORMATO (type, rotation),
// PAPEL (paper size, margins, gap between labels) and COMPONENTES (how many components), and
// one section COMPONENTE_n per component. This class reads the header only; the component
// sections are the document engine's and the label library's (tdocumento.h).

#include <QString>

namespace quill {

class TBaseFQMFormato {
public:
    virtual ~TBaseFQMFormato();

    // Reads the file's header: 0 when it was read, another value otherwise (kept in
    // CodigoCarga). Valido() is true only after a successful read.
    virtual qint16 Cargar(const QString& fichero) = 0;

    const QString& Fichero() const { return m_fichero; }
    qint16 CodigoCarga() const { return m_codigo; }
    bool Valido() const { return m_valido; }

protected:
    QString m_fichero;
    qint16 m_codigo = -1;
    bool m_valido = false;
};

class TFQMFormato : public TBaseFQMFormato {
public:
    // Load codes: 0 read, -1 no file given, -2 the file cannot be opened, -3 it is not an
    // EPL/2 format (no FORMATO/TIPO of an EPL/2 label type).
    qint16 Cargar(const QString& fichero) override;

    // The name of a label type: 134 "Etiqueta EPL2 de envio" ... 138; "Tipo no encontrado".
    static QString NombreTipo(int tipo);

    int Tipo = -1;
    QString NombreTipoFormato;
    int Rotar = 0;
    double Ancho = -1;
    double Alto = -1;
    double MargenIzquierdo = -1;
    double MargenDerecho = -1;
    double Espacio = -1;
    int TotalComponentes = -1;
};

} // namespace quill
