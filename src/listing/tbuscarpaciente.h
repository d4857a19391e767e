#pragma once

// The patient picker bridge: opens the patient picker library of the program folder
// ("bcrPaciente.dll") and returns the chosen patient.

#include "platform/libreria.h"

#include <QObject>
#include <QString>

#include <cstdint>

class TBuscarPaciente : public QObject {
    Q_OBJECT
public:
    // Answers of Ejecutar besides a patient code: the same codes as the article picker bridge.
    static constexpr int Cancelado = 0;
    static constexpr int SinLibreria = -11800;
    static constexpr int SinPuntoEntrada = -11801;

    // Created with the owner (slot 1) and the two database handles (slots 2 and 3) of the host.
    TBuscarPaciente(QObject* owner, const QString& conexion, const QString& conexionDefecto);
    ~TBuscarPaciente() override;

    QString Conexion() const { return m_conexion; }
    QString ConexionDefecto() const { return m_conexionDefecto; }

    // The host block (slot 6: program folder; slot 2: the database the picker searches; slot
    // 601: the partition); not copied.
    void setBloque(const std::intptr_t* bloque) { m_bloque = bloque; }
    const std::intptr_t* Bloque() const { return m_bloque; }

    // Loads the picker (once; a failed load is tried again next time) and runs it: the chosen
    // patient's code (> 0), Cancelado (0) when the user closed it without choosing or the picker
    // could not run, SinLibreria or SinPuntoEntrada. Error() says why when no code came back.
    int Ejecutar();
    // setBloque and Ejecutar, as the window's BuscarPaciente does; the window writes a code
    // greater than 0 into the row.
    int Buscar(const std::intptr_t* bloque);
    QString Error() const { return m_error; }

private:
    QString m_conexion;
    QString m_conexionDefecto;
    const std::intptr_t* m_bloque = nullptr;
    quill::Library m_libreria;
    QString m_error;
};
