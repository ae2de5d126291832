// Bitmap lists: handles copied in and out by index.
#include "ImageFixtures.h"

#include <gtest/gtest.h>

#include <memory>

using namespace fixtures;

namespace {
struct ListDeleter {
    void operator()(LBitmapList* l) const { L_DestroyBitmapList(l); }
};
using ListPtr = std::unique_ptr<LBitmapList, ListDeleter>;

ListPtr NewList()
{
    LBitmapList* l = nullptr;
    EXPECT_EQ(L_CreateBitmapList(&l), LE_SUCCESS);
    return ListPtr(l);
}

std::uint32_t Count(const LBitmapList* l)
{
    std::uint32_t n = 99;
    EXPECT_EQ(L_GetBitmapListCount(l, &n), LE_SUCCESS);
    return n;
}

// Pages told apart by their width.
LBitmap Page(std::int32_t width) { return MakeRgb(width, 2); }

std::vector<std::int32_t> Widths(const LBitmapList* l)
{
    std::vector<std::int32_t> w;
    for (std::uint32_t i = 0; i < Count(l); ++i) {
        LBitmap b;
        L_GetBitmapListItem(l, std::int32_t(i), &b);
        w.push_back(b.Width);
    }
    return w;
}
} // namespace

TEST(BitmapList, InsertAppendsWithMinusOneAndInsertsBeforeAnIndex)
{
    ListPtr l = NewList();
    EXPECT_EQ(Count(l.get()), 0u);
    const LBitmap p1 = Page(1), p2 = Page(2), p3 = Page(3), p4 = Page(4);
    EXPECT_EQ(L_InsertBitmapListItem(l.get(), -1, &p1), LE_SUCCESS);
    EXPECT_EQ(L_InsertBitmapListItem(l.get(), -1, &p3), LE_SUCCESS);
    EXPECT_EQ(L_InsertBitmapListItem(l.get(), 1, &p2), LE_SUCCESS);
    EXPECT_EQ(L_InsertBitmapListItem(l.get(), 3, &p4), LE_SUCCESS); // at the count: the end
    EXPECT_EQ(Widths(l.get()), (std::vector<std::int32_t>{1, 2, 3, 4}));
    EXPECT_EQ(L_InsertBitmapListItem(l.get(), 9, &p4), LE_INVALID_PARAMETER);
    EXPECT_EQ(L_InsertBitmapListItem(l.get(), -2, &p4), LE_INVALID_PARAMETER);
    LBitmap empty;
    EXPECT_EQ(L_InsertBitmapListItem(l.get(), -1, &empty), LE_NO_BITMAP);
    EXPECT_EQ(Count(l.get()), 4u);
}

TEST(BitmapList, SetGetDeleteAndRemoveByIndex)
{
    ListPtr l = NewList();
    for (std::int32_t w = 1; w <= 5; ++w) {
        const LBitmap p = Page(w);
        L_InsertBitmapListItem(l.get(), -1, &p);
    }
    const LBitmap nine = Page(9);
    EXPECT_EQ(L_SetBitmapListItem(l.get(), 2, &nine), LE_SUCCESS);
    EXPECT_EQ(L_SetBitmapListItem(l.get(), 5, &nine), LE_INVALID_PARAMETER);
    EXPECT_EQ(Widths(l.get()), (std::vector<std::int32_t>{1, 2, 9, 4, 5}));
    LBitmap taken;
    EXPECT_EQ(L_RemoveBitmapListItem(l.get(), 0, &taken), LE_SUCCESS);
    EXPECT_EQ(taken.Width, 1);
    EXPECT_TRUE(taken.IsAllocated());
    EXPECT_EQ(L_DeleteBitmapListItems(l.get(), 1, 2), LE_SUCCESS);
    EXPECT_EQ(Widths(l.get()), (std::vector<std::int32_t>{2, 5}));
    EXPECT_EQ(L_DeleteBitmapListItems(l.get(), 1, 5), LE_INVALID_PARAMETER);
    EXPECT_EQ(L_DeleteBitmapListItems(l.get(), 0, -1), LE_SUCCESS);
    EXPECT_EQ(Count(l.get()), 0u);
    LBitmap b;
    EXPECT_EQ(L_GetBitmapListItem(l.get(), 0, &b), LE_INVALID_PARAMETER);
    EXPECT_EQ(L_RemoveBitmapListItem(l.get(), 0, nullptr), LE_INVALID_PARAMETER);
}

TEST(BitmapList, CopyItemsMakesANewListSharingThePixels)
{
    ListPtr l = NewList();
    for (std::int32_t w = 1; w <= 4; ++w) {
        const LBitmap p = Page(w);
        L_InsertBitmapListItem(l.get(), -1, &p);
    }
    struct Case {
        std::int32_t index, count;
        std::vector<std::int32_t> widths;
        int rc;
    } cases[] = {{0, -1, {1, 2, 3, 4}, LE_SUCCESS}, {1, 2, {2, 3}, LE_SUCCESS}, {4, -1, {}, LE_SUCCESS},
                 {3, 2, {}, LE_INVALID_PARAMETER},   {-1, 1, {}, LE_INVALID_PARAMETER}};
    for (const Case& c : cases) {
        LBitmapList* copy = nullptr;
        EXPECT_EQ(L_CopyBitmapListItems(&copy, l.get(), c.index, c.count), c.rc) << c.index << "," << c.count;
        if (!copy)
            continue;
        ListPtr owned(copy);
        EXPECT_EQ(Widths(copy), c.widths);
    }
    LBitmapList* all = nullptr;
    ASSERT_EQ(L_CopyBitmapListItems(&all, l.get(), 0, -1), LE_SUCCESS);
    ListPtr owned(all);
    LBitmap a, b;
    L_GetBitmapListItem(l.get(), 0, &a);
    L_GetBitmapListItem(all, 0, &b);
    EXPECT_TRUE(a.SharesPixelsWith(b));
    // A write through the item taken out of the copy leaves the original list alone.
    b.BeginWrite()[0] ^= 0xff;
    L_SetBitmapListItem(all, 0, &b);
    LBitmap again;
    L_GetBitmapListItem(l.get(), 0, &again);
    EXPECT_TRUE(again.SharesPixelsWith(a));
    EXPECT_NE(again.Row(0)[0], b.Row(0)[0]);
}

TEST(BitmapList, CallsOnAMissingListFail)
{
    std::uint32_t n;
    LBitmap b = Page(1);
    EXPECT_EQ(L_GetBitmapListCount(nullptr, &n), LE_INVALID_PARAMETER);
    EXPECT_EQ(L_InsertBitmapListItem(nullptr, -1, &b), LE_INVALID_PARAMETER);
    EXPECT_EQ(L_DestroyBitmapList(nullptr), LE_INVALID_PARAMETER);
    EXPECT_EQ(L_CreateBitmapList(nullptr), LE_INVALID_PARAMETER);
}
