#pragma once

// The patient picker bridge: opens the patient picker library of the program folder and returns the
// chosen patient.

#include <QObject>
#include <QString>

#include <cstdint>

class TBuscarPaciente : public QObject {
    Q_OBJECT
public:
    // Created with the owner (slot 1) and the two database handles (slots 2 and 3) of the host.
    TBuscarPaciente(QObject* owner, const QString& conexion, const QString& conexionDefecto);
    ~TBuscarPaciente() override;

    QString Conexion() const { return m_conexion; }
    QString ConexionDefecto() const { return m_conexionDefecto; }

private:
    QString m_conexion;
    QString m_conexionDefecto;
};
