#pragma once

// Data module of the warranties listing.

#include "queries/listingmodule.h"

#include <QStringList>

class TdmGarantias : public quill::ListingModule {
    Q_OBJECT
public:
    explicit TdmGarantias(QObject* owner = nullptr);
    ~TdmGarantias() override;

    // The two lists its statement is built from: the record families ("1" spectacles, "2" contact
    // lenses, "0" hearing aids) and the chosen eyes.
    QStringList Familias;
    QStringList Ojos;
};
