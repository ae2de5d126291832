// Bitmap lists: handles copied in and out by index; the pixels are shared (copy on write).
#include "platform/imagelib/ImageInternal.h"

#include <new>
#include <vector>

struct LBitmapList {
    std::vector<LBitmap> items;
};

namespace {
bool ValidIndex(const LBitmapList* list, std::int32_t index)
{
    return index >= 0 && std::size_t(index) < list->items.size();
}

// The items [index, index + count) with count -1 meaning "to the end"; false when out of range.
bool Span(const LBitmapList* list, std::int32_t index, std::int32_t count, std::size_t& first, std::size_t& last)
{
    const std::size_t n = list->items.size();
    if (index < 0 || std::size_t(index) > n || count < -1)
        return false;
    first = std::size_t(index);
    last = count == -1 ? n : first + std::size_t(count);
    return last <= n;
}
} // namespace

int L_CreateBitmapList(LBitmapList** list)
{
    if (!list)
        return LE_INVALID_PARAMETER;
    *list = new (std::nothrow) LBitmapList;
    return *list ? LE_SUCCESS : LE_NO_MEMORY;
}

int L_DestroyBitmapList(LBitmapList* list)
{
    if (!list)
        return LE_INVALID_PARAMETER;
    delete list;
    return LE_SUCCESS;
}

int L_InsertBitmapListItem(LBitmapList* list, std::int32_t index, const LBitmap* bitmap)
{
    if (!list)
        return LE_INVALID_PARAMETER;
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    if (index < -1 || (index >= 0 && std::size_t(index) > list->items.size()))
        return LE_INVALID_PARAMETER;
    try {
        if (index == -1)
            list->items.push_back(*bitmap);
        else
            list->items.insert(list->items.begin() + index, *bitmap);
    } catch (const std::bad_alloc&) {
        return LE_NO_MEMORY;
    }
    return LE_SUCCESS;
}

int L_GetBitmapListItem(const LBitmapList* list, std::int32_t index, LBitmap* bitmap)
{
    if (!list || !bitmap || !ValidIndex(list, index))
        return LE_INVALID_PARAMETER;
    *bitmap = list->items[std::size_t(index)];
    return LE_SUCCESS;
}

int L_SetBitmapListItem(LBitmapList* list, std::int32_t index, const LBitmap* bitmap)
{
    if (!list || !ValidIndex(list, index))
        return LE_INVALID_PARAMETER;
    if (!bitmap || !bitmap->IsAllocated())
        return LE_NO_BITMAP;
    list->items[std::size_t(index)] = *bitmap;
    return LE_SUCCESS;
}

int L_GetBitmapListCount(const LBitmapList* list, std::uint32_t* count)
{
    if (!list || !count)
        return LE_INVALID_PARAMETER;
    *count = std::uint32_t(list->items.size());
    return LE_SUCCESS;
}

int L_CopyBitmapListItems(LBitmapList** dst, const LBitmapList* src, std::int32_t index, std::int32_t count)
{
    if (!dst || !src)
        return LE_INVALID_PARAMETER;
    std::size_t first, last;
    if (!Span(src, index, count, first, last))
        return LE_INVALID_PARAMETER;
    auto* copy = new (std::nothrow) LBitmapList;
    if (!copy)
        return LE_NO_MEMORY;
    try {
        copy->items.assign(src->items.begin() + std::ptrdiff_t(first), src->items.begin() + std::ptrdiff_t(last));
    } catch (const std::bad_alloc&) {
        delete copy;
        return LE_NO_MEMORY;
    }
    *dst = copy;
    return LE_SUCCESS;
}

int L_DeleteBitmapListItems(LBitmapList* list, std::int32_t index, std::int32_t count)
{
    if (!list)
        return LE_INVALID_PARAMETER;
    std::size_t first, last;
    if (!Span(list, index, count, first, last))
        return LE_INVALID_PARAMETER;
    list->items.erase(list->items.begin() + std::ptrdiff_t(first), list->items.begin() + std::ptrdiff_t(last));
    return LE_SUCCESS;
}

int L_RemoveBitmapListItem(LBitmapList* list, std::int32_t index, LBitmap* bitmap)
{
    if (!list || !ValidIndex(list, index))
        return LE_INVALID_PARAMETER;
    if (bitmap)
        *bitmap = std::move(list->items[std::size_t(index)]);
    list->items.erase(list->items.begin() + index);
    return LE_SUCCESS;
}
