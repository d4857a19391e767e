#include "queries/tdmfechas.h"

TdmFechas::TdmFechas(QObject* owner) : quill::ListingModule(owner) {
    setObjectName(QStringLiteral("dmFechas"));
}

TdmFechas::~TdmFechas() = default;
