#include "queries/tdmgarantias.h"

TdmGarantias::TdmGarantias(QObject* owner) : quill::ListingModule(owner) {
    setObjectName(QStringLiteral("dmGarantias"));
}

TdmGarantias::~TdmGarantias() = default;
