#pragma once

// Data module of the pending-orders listing.

#include "queries/listingmodule.h"

class TdmEncargo : public quill::ListingModule {
    Q_OBJECT
public:
    explicit TdmEncargo(QObject* owner = nullptr);
    ~TdmEncargo() override;
};
