#pragma once

// The article picker bridge: hands the host block and an article-selection table to the picker
// library of the program folder.

#include <QObject>
#include <QString>

#include <cstdint>

class TFltArticulo : public QObject {
    Q_OBJECT
public:
    // Created with the owner (slot 1) and the two database handles (slots 2 and 3) of the host.
    TFltArticulo(QObject* owner, const QString& conexion, const QString& conexionDefecto);
    ~TFltArticulo() override;

    QString Conexion() const { return m_conexion; }
    QString ConexionDefecto() const { return m_conexionDefecto; }

private:
    QString m_conexion;
    QString m_conexionDefecto;
};
