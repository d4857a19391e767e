#pragma once

// Data module of the prescriptions listing.

#include "queries/listingmodule.h"

class TdmPrescripciones : public quill::ListingModule {
    Q_OBJECT
public:
    explicit TdmPrescripciones(QObject* owner = nullptr);
    ~TdmPrescripciones() override;
};
