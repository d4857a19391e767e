#pragma once

// Data module of the replacements listing.

#include "queries/listingmodule.h"

class TdmReposiciones : public quill::ListingModule {
    Q_OBJECT
public:
    explicit TdmReposiciones(QObject* owner = nullptr);
    ~TdmReposiciones() override;
};
