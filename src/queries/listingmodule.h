#pragma once

// What every listing data module shares from its creation: the owner, the host parameter block
// and the connection and transaction (slots 2 and 5) its queries run on.

#include <QObject>
#include <QString>

#include <cstdint>

namespace quill {

class ListingModule : public QObject {
    Q_OBJECT
public:
    explicit ListingModule(QObject* owner = nullptr);
    ~ListingModule() override;

    // Keeps the block for the window's life and binds the queries to slots 2 and 5.
    void setBloque(const std::intptr_t* bloque);
    const std::intptr_t* Bloque() const { return m_bloque; }
    QString Conexion() const { return m_conexion; }
    QString Transaccion() const { return m_transaccion; }

    // Last result code: 0 rows found, -301 cancelled, -302 no row matched, -303 internal error.
    qint16 Resultado = 0;

private:
    const std::intptr_t* m_bloque = nullptr;
    QString m_conexion;
    QString m_transaccion;
};

} // namespace quill
