#include "queries/tdmgeneral.h"

TdmGeneral::TdmGeneral(QObject* owner) : quill::ListingModule(owner) {
    setObjectName(QStringLiteral("dmGeneral"));
}

TdmGeneral::~TdmGeneral() = default;
