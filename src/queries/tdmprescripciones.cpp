#include "queries/tdmprescripciones.h"

TdmPrescripciones::TdmPrescripciones(QObject* owner) : quill::ListingModule(owner) {
    setObjectName(QStringLiteral("dmPrescripciones"));
}

TdmPrescripciones::~TdmPrescripciones() = default;
