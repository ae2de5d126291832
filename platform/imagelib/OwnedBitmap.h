#pragma once
// A bitmap handle that frees its pixels when it leaves scope, however the work ends.
#include "platform/imagelib/ltkrn.h"

struct OwnedBitmap {
    LBitmap bitmap;

    OwnedBitmap() = default;
    ~OwnedBitmap() { L_FreeBitmap(&bitmap); }
    OwnedBitmap(const OwnedBitmap&) = delete;
    OwnedBitmap& operator=(const OwnedBitmap&) = delete;
};
