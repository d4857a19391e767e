#include "queries/tdmconsumo.h"

TdmConsumo::TdmConsumo(QObject* owner) : quill::ListingModule(owner) {
    setObjectName(QStringLiteral("dmConsumo"));
}

TdmConsumo::~TdmConsumo() = default;
