#include "queries/tdmencargo.h"

TdmEncargo::TdmEncargo(QObject* owner) : quill::ListingModule(owner) {
    setObjectName(QStringLiteral("dmEncargo"));
}

TdmEncargo::~TdmEncargo() = default;
