#pragma once

// Data module of the General listing.

#include "queries/listingmodule.h"

#include <QStringList>

class TdmGeneral : public quill::ListingModule {
    Q_OBJECT
public:
    explicit TdmGeneral(QObject* owner = nullptr);
    ~TdmGeneral() override;

    // Family codes of the record-type condition ("0" hearing aids ... "4" low vision).
    QStringList Familias;
};
