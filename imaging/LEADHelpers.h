#pragma once
// Small helpers on a kernel bitmap handle, shared by the picture control's files.
#include "platform/imagelib/ltkrn.h"

// The handle is given and its pixels are allocated.
inline bool IsBitmapAllocated(const LBitmap* bitmap)
{
    return bitmap && (bitmap->Flags & LBF_ALLOCATED) != 0 && bitmap->IsAllocated();
}

// The view perspective shows width and height swapped (perspectives 4, 5, 7 and 8).
inline bool IsViewSwapped(const LBitmap* bitmap) { return bitmap && bitmap->IsViewSwapped(); }

// The number of pages of a list; 0 for none.
inline int ListItemCount(const LBitmapList* list)
{
    std::uint32_t count = 0;
    if (!list || L_GetBitmapListCount(list, &count) != LE_SUCCESS)
        return 0;
    return int(count);
}

// Width and height of the picture as seen (swapped for a quarter-turned view); 0 for none.
inline int ViewWidth(const LBitmap* bitmap) { return bitmap ? bitmap->ViewWidth() : 0; }
inline int ViewHeight(const LBitmap* bitmap) { return bitmap ? bitmap->ViewHeight() : 0; }
