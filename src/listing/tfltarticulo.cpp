#include "listing/tfltarticulo.h"

TFltArticulo::TFltArticulo(QObject* owner, const QString& conexion, const QString& conexionDefecto)
    : QObject(owner), m_conexion(conexion), m_conexionDefecto(conexionDefecto) {
    setObjectName(QStringLiteral("FltArticulo"));
}

TFltArticulo::~TFltArticulo() = default;
