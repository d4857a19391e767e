#pragma once

// Data module of the dates listing.

#include "queries/listingmodule.h"

#include <QStringList>

class TdmFechas : public quill::ListingModule {
    Q_OBJECT
public:
    explicit TdmFechas(QObject* owner = nullptr);
    ~TdmFechas() override;

    // Family codes of the record-type condition ("0" hearing aids ... "4" low vision).
    QStringList Familias;
};
