#pragma once
// The picture control's link to a blob field of a data source (LEADImage_datalink.cpp).
#include "platform/db/DataSource.h"

class TLEADImage;

struct LeadFieldLink : TDataLink {
    explicit LeadFieldLink(TLEADImage* image) : Image(image) {}
    void RecordChanged() override;
    void UpdateData() override;
    TLEADImage* Image;
};
