#pragma once

// Data module of the consumption listing.

#include "queries/listingmodule.h"

class TdmConsumo : public quill::ListingModule {
    Q_OBJECT
public:
    explicit TdmConsumo(QObject* owner = nullptr);
    ~TdmConsumo() override;
};
