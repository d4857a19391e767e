#include "listing/tbuscarpaciente.h"

TBuscarPaciente::TBuscarPaciente(QObject* owner, const QString& conexion,
                                 const QString& conexionDefecto)
    : QObject(owner), m_conexion(conexion), m_conexionDefecto(conexionDefecto) {
    setObjectName(QStringLiteral("BuscarPaciente"));
}

TBuscarPaciente::~TBuscarPaciente() = default;
