#include "queries/tdmreposiciones.h"

TdmReposiciones::TdmReposiciones(QObject* owner) : quill::ListingModule(owner) {
    setObjectName(QStringLiteral("dmReposiciones"));
}

TdmReposiciones::~TdmReposiciones() = default;
