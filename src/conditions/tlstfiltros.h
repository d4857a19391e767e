#pragma once

// Saved filters: one data-packet file per filter in the filters folder, one record per condition.
// This class holds the record being read or written and the dataset bound to the file.

#include <QObject>
#include <QString>

#include <cstdint>

namespace quill {
class MemTable;
}

class TLstFiltros : public QObject {
    Q_OBJECT
public:
    explicit TLstFiltros(QObject* owner = nullptr);
    ~TLstFiltros() override;

    // Set-up: the host parameter block, for the filters and data-packet folders.
    void setBloque(const std::intptr_t* bloque) { m_bloque = bloque; }
    const std::intptr_t* Bloque() const { return m_bloque; }

    QString NombreFichero;
    qint16 TipoListado = 0;
    int IdCampo1 = 0;
    int IdCampo2 = -1;
    QString Operador;
    int CodigoOperador = 0;
    int TipoUnion = 1;
    int TipoObjeto = 0;
    QString Condicion;
    QString CondicionIds;
    qint16 Resultado = 0;

    // The dataset bound to the filter file.
    quill::MemTable* Datos() const { return m_datos; }

private:
    const std::intptr_t* m_bloque = nullptr;
    quill::MemTable* m_datos;
};
