// The list box: items, caret and selection, user changes and OnClick, geometry, drawing and
// the guard around its events.
#include "ListTestUtil.h"

#include "platform/vcl/Exceptions.h"
#include "platform/vcl/StringList.h"
#include "support/ScriptedUi.h"

#include <QImage>
#include <QScrollBar>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

using namespace listtest;

namespace {

void Fill(TCustomListBox& list, int n, const QString& prefix = "item")
{
    for (int i = 0; i < n; ++i)
        list.Items().Add(prefix + QString::number(i));
}

QList<int> SelectedIndexes(const TCustomListBox& list)
{
    QList<int> out;
    for (int i = 0; i < list.Count(); ++i)
        if (list.Selected(i))
            out << i;
    return out;
}

} // namespace

TEST(ListBoxItems, StringsObjectsAndBadIndexes)
{
    TListBox list;
    int a = 1, b = 2;
    EXPECT_EQ(list.Items().AddObject("one", &a), 0);
    EXPECT_EQ(list.Items().Add("three"), 1);
    list.Items().InsertObject(1, "two", &b);
    EXPECT_EQ(list.Items().ToStringList(), (QStringList{"one", "two", "three"}));
    EXPECT_EQ(list.Items().Objects(1), &b);
    EXPECT_EQ(list.Items().IndexOf("TWO"), 1);
    EXPECT_EQ(list.Items().IndexOf("four"), -1);
    EXPECT_EQ(list.Items().Text(), "one\r\ntwo\r\nthree\r\n");

    list.Items().Move(0, 2);
    EXPECT_EQ(list.Items().ToStringList(), (QStringList{"two", "three", "one"}));
    EXPECT_EQ(list.Items().Objects(2), &a) << "an object moves with its string";
    list.Items().Exchange(0, 1);
    EXPECT_EQ(list.Items().ToStringList(), (QStringList{"three", "two", "one"}));
    list.Items().SetString(0, "drei");
    EXPECT_EQ(list.Items()[0], "drei");

    EXPECT_THROW(list.Items()[3], EStringListError);
    EXPECT_THROW(list.Items().Delete(-1), EStringListError);
    EXPECT_THROW(list.Items().Insert(4, "x"), EStringListError);
    EXPECT_THROW(list.Selected(3), EListError);
    EXPECT_THROW(list.setSelected(-1, true), EListError);

    list.Items().SetText("a\r\nb\nc");
    EXPECT_EQ(list.Items().ToStringList(), (QStringList{"a", "b", "c"}));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.ItemIndex(), -1);
}

TEST(ListBoxItems, SortedListPlacesAddedItemsIgnoringCase)
{
    TListBox list;
    list.Items().AddStrings({"delta", "Alpha", "charlie"});
    list.setSorted(true);
    EXPECT_EQ(list.Items().ToStringList(), (QStringList{"Alpha", "charlie", "delta"}));
    EXPECT_EQ(list.Items().Add("Bravo"), 1);
    EXPECT_EQ(list.Items().Add("echo"), 4);
    list.Items().Insert(0, "zulu");  // an explicit place is kept
    EXPECT_EQ(list.Items()[0], "zulu");
}

TEST(ListBoxSelection, CaretAndSelectionOfSingleAndMultiSelectLists)
{
    TListBox single;
    Fill(single, 5);
    single.setItemIndex(2);
    EXPECT_EQ(SelectedIndexes(single), QList<int>{2});
    EXPECT_EQ(single.SelCount(), 1);
    single.setSelected(4, true);
    EXPECT_EQ(single.ItemIndex(), 4);
    single.setSelected(1, false);  // not the selected one: nothing changes
    EXPECT_EQ(single.ItemIndex(), 4);
    single.setSelected(4, false);
    EXPECT_EQ(single.ItemIndex(), -1);
    single.setItemIndex(9);
    EXPECT_EQ(single.ItemIndex(), -1) << "an index outside the list selects nothing";

    TListBox multi;
    multi.setMultiSelect(true);
    Fill(multi, 5);
    multi.setSelected(1, true);
    multi.setSelected(3, true);
    multi.setItemIndex(4);
    EXPECT_EQ(multi.ItemIndex(), 4) << "the caret";
    EXPECT_EQ(SelectedIndexes(multi), (QList<int>{1, 3})) << "moving the caret leaves the selection";
    EXPECT_EQ(multi.SelCount(), 2);
    multi.SelectAll();
    EXPECT_EQ(multi.SelCount(), 5);
    multi.ClearSelection();
    EXPECT_EQ(multi.SelCount(), 0);
}

TEST(ListBoxSelection, IndexesFollowInsertDeleteMoveAndSort)
{
    TListBox single;
    Fill(single, 5);
    single.setItemIndex(2);
    single.Items().Insert(0, "new");
    EXPECT_EQ(single.ItemIndex(), 3);
    single.Items().Delete(1);
    EXPECT_EQ(single.ItemIndex(), 2);
    EXPECT_EQ(single.Items()[single.ItemIndex()], "item2");
    single.Items().Move(2, 0);
    EXPECT_EQ(single.ItemIndex(), 0) << "the selected item moved";
    single.Items().Delete(0);
    EXPECT_EQ(single.ItemIndex(), -1) << "the selected item went";

    TListBox multi;
    multi.setMultiSelect(true);
    multi.Items().AddStrings({"d", "b", "a", "c"});
    multi.setSelected(0, true);  // "d"
    multi.setItemIndex(1);       // caret on "b"
    multi.Items().Move(0, 3);
    EXPECT_TRUE(multi.Selected(3));
    EXPECT_EQ(multi.ItemIndex(), 0);
    EXPECT_EQ(multi.Items()[multi.ItemIndex()], "b");
    multi.setSorted(true);
    EXPECT_EQ(multi.Items().ToStringList(), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(SelectedIndexes(multi), QList<int>{3});
    EXPECT_EQ(multi.Items()[multi.ItemIndex()], "b");
    multi.Items().Delete(3);
    EXPECT_EQ(multi.SelCount(), 0);
}

TEST(ListBoxClick, UserChangesFireOnClickAndCodeDoesNot)
{
    struct Case {
        const char* name;
        bool multi;
        int start;  // ItemIndex before
        std::function<void(TCustomListBox&)> act;
        int clicks;
        int itemIndex;
        QList<int> selected;
    };
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers m = {}) {
        return [k, m](TCustomListBox& l) { Key(l, k, m); };
    };
    const Case cases[] = {
        {"Down", false, 1, key(Qt::Key_Down), 1, 2, {2}},
        {"Up", false, 1, key(Qt::Key_Up), 1, 0, {0}},
        {"Right is Down", false, 1, key(Qt::Key_Right), 1, 2, {2}},
        {"End", false, 1, key(Qt::Key_End), 1, 9, {9}},
        {"Home", false, 3, key(Qt::Key_Home), 1, 0, {0}},
        {"Page Down", false, 0, key(Qt::Key_PageDown), 1, 4, {4}},
        {"Up at the top changes nothing", false, 0, key(Qt::Key_Up), 0, 0, {0}},
        {"Down without a selection", false, -1, key(Qt::Key_Down), 1, 0, {0}},
        {"a letter", false, 1, key(Qt::Key_I), 0, 1, {1}},
        {"mouse", false, 1, [](TCustomListBox& l) { Click(l, 3); }, 1, 3, {3}},
        {"code", false, 1, [](TCustomListBox& l) { l.setItemIndex(5); }, 0, 5, {5}},
        {"code, multi", true, 1, [](TCustomListBox& l) { l.setSelected(5, true); }, 0, 1, {1, 5}},
        {"Down, multi", true, 1, key(Qt::Key_Down), 1, 2, {2}},
        {"Shift+Down, multi", true, 1, key(Qt::Key_Down, Qt::ShiftModifier), 1, 2, {1, 2}},
        {"Ctrl+Down moves the caret only", true, 1, key(Qt::Key_Down, Qt::ControlModifier), 1, 2, {1}},
        {"Up at the top, multi", true, 0, key(Qt::Key_Up), 1, 0, {0}},
    };
    for (const Case& c : cases) {
        TListBox list;
        list.setMultiSelect(c.multi);
        Window w({&list}, QSize(200, 5 * list.ItemHeight() + 2 * list.frameWidth()));
        Fill(list, 10);
        list.setItemIndex(c.start);
        if (c.multi && c.start >= 0)
            list.setSelected(c.start, true);
        int clicks = 0;
        list.OnClick = [&](QObject* sender) {
            EXPECT_EQ(sender, &list);
            ++clicks;
        };
        c.act(list);
        EXPECT_EQ(clicks, c.clicks) << c.name;
        EXPECT_EQ(list.ItemIndex(), c.itemIndex) << c.name;
        EXPECT_EQ(SelectedIndexes(list), c.selected) << c.name;
    }
}

TEST(ListBoxMouse, ExtendedSelectionWithCtrlAndShiftAndTogglingWithout)
{
    TListBox list;
    list.setMultiSelect(true);
    Window w({&list});
    Fill(list, 8);
    int clicks = 0;
    list.OnClick = [&](QObject*) { ++clicks; };

    Click(list, 2);
    EXPECT_EQ(SelectedIndexes(list), QList<int>{2});
    Click(list, 4, Qt::ControlModifier);
    EXPECT_EQ(SelectedIndexes(list), (QList<int>{2, 4}));
    Click(list, 2, Qt::ControlModifier);
    EXPECT_EQ(SelectedIndexes(list), QList<int>{4});
    Click(list, 6, Qt::ShiftModifier);
    EXPECT_EQ(SelectedIndexes(list), (QList<int>{2, 3, 4, 5, 6})) << "a range from the last plain or Ctrl click";
    EXPECT_EQ(list.ItemIndex(), 6);
    Click(list, 1);
    EXPECT_EQ(SelectedIndexes(list), QList<int>{1});
    EXPECT_EQ(clicks, 5);

    list.setExtendedSelect(false);
    Click(list, 3);
    Click(list, 5);
    EXPECT_EQ(SelectedIndexes(list), (QList<int>{1, 3, 5})) << "each click toggles";
    Click(list, 3);
    EXPECT_EQ(SelectedIndexes(list), (QList<int>{1, 5}));
    list.setItemIndex(0);
    Key(list, Qt::Key_Space);
    EXPECT_EQ(SelectedIndexes(list), (QList<int>{0, 1, 5}));

    // A press below the last item selects nothing and fires nothing.
    clicks = 0;
    Press(list, QPoint(20, list.ItemRect(7).Bottom + 5));
    Release(list, QPoint(20, list.ItemRect(7).Bottom + 5));
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(SelectedIndexes(list), (QList<int>{0, 1, 5}));
}

TEST(ListBoxMouse, DraggingTheMouseMovesTheSelectionWithoutDragMode)
{
    TListBox list;
    Window w({&list});
    Fill(list, 6);
    QList<int> seen;
    list.OnClick = [&](QObject*) { seen << list.ItemIndex(); };
    Press(list, ItemPoint(list, 1));
    Drag(list, ItemPoint(list, 2));
    Drag(list, ItemPoint(list, 4));
    Release(list, ItemPoint(list, 4));
    EXPECT_EQ(seen, (QList<int>{1, 2, 4}));
}

TEST(ListBoxMouse, EventsInTheFrameworksOrder)
{
    TListBox list;
    Window w({&list});
    Fill(list, 4);
    QStringList log;
    list.OnClick = [&](QObject*) { log << "click " + QString::number(list.ItemIndex()); };
    list.OnMouseDown = [&](QObject*, TMouseButton b, TShiftState s, int, int) {
        log << QString("down %1%2").arg(b == mbLeft ? "left" : "right").arg(s & ssDouble ? " double" : "");
    };
    list.OnMouseUp = [&](QObject*, TMouseButton, TShiftState, int, int) { log << "up"; };
    list.OnDblClick = [&](QObject*) { log << "dblclick"; };
    Click(list, 2);
    QTest::mouseClick(list.viewport(), Qt::RightButton, {}, ItemPoint(list, 0));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, ItemPoint(list, 2));
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, {}, ItemPoint(list, 2));
    EXPECT_EQ(log, (QStringList{"click 2", "down left", "up", "down right", "up", "dblclick", "down left double",
                                "up"}));
    EXPECT_EQ(list.ItemIndex(), 2) << "a right click does not select";
}

TEST(ListBoxKeys, KeyDownCanTakeTheKeyAndKeyUpFollows)
{
    TListBox list;
    Window w({&list});
    Fill(list, 4);
    list.setItemIndex(1);
    QList<int> downs, ups;
    list.OnKeyDown = [&](QObject*, int& key, TShiftState) {
        downs << key;
        if (key == VK_DOWN)
            key = 0;
    };
    list.OnKeyUp = [&](QObject*, int& key, TShiftState) { ups << key; };
    Key(list, Qt::Key_Down);
    Key(list, Qt::Key_Delete);
    Key(list, Qt::Key_Up);
    EXPECT_EQ(downs, (QList<int>{VK_DOWN, VK_DELETE, VK_UP}));
    EXPECT_EQ(ups, (QList<int>{VK_DOWN, VK_DELETE, VK_UP}));
    EXPECT_EQ(list.ItemIndex(), 0) << "Down was taken by the handler, Up moved";
}

TEST(ListBoxGeometry, ItemsScrollByWholeItems)
{
    TListBox list;
    list.setStyle(lbOwnerDrawVariable);
    list.OnMeasureItem = [](QObject*, int index, int& height) { height = index % 2 ? 30 : 10; };
    Window w({&list}, QSize(150, 100));
    Fill(list, 10);  // heights 10, 30, 10, 30, ... = 200 pixels
    const int ch = list.ClientHeight();
    ASSERT_GE(ch, 80);
    ASSERT_LT(ch, 100);
    EXPECT_EQ(list.ItemRect(0), TRect(0, 0, list.ClientWidth(), 10));
    EXPECT_EQ(list.ItemRect(3), TRect(0, 50, list.ClientWidth(), 80));
    EXPECT_EQ(list.ItemAtPos(TPoint(5, 0), true), 0);
    EXPECT_EQ(list.ItemAtPos(TPoint(5, 49), true), 2);
    EXPECT_EQ(list.ItemAtPos(TPoint(5, 50), true), 3);
    EXPECT_EQ(list.ItemAtPos(TPoint(-1, 50), true), -1);

    list.ScrollLines(2);
    EXPECT_EQ(list.TopIndex(), 2);
    EXPECT_EQ(list.ItemRect(2).Top, 0);
    EXPECT_EQ(list.ItemRect(0).Top, -40) << "items above the view lie above the client area";
    EXPECT_EQ(list.ItemAtPos(TPoint(5, 10), true), 3);
    list.ScrollLines(100);
    // The last page is full: the items from the top index on just fit.
    const int top = list.TopIndex();
    EXPECT_LE(list.ItemRect(9).Bottom, ch);
    EXPECT_GT(list.ItemRect(9).Bottom + list.ItemRect(top - 1).Height(), ch);
    list.ScrollToTop();
    EXPECT_EQ(list.TopIndex(), 0);

    list.setItemIndex(9);
    EXPECT_LE(list.ItemRect(9).Bottom, ch) << "setting the index scrolls the item into view";
    EXPECT_GE(list.ItemRect(9).Top, 0);

    // Items that go during an update take the scroll position with them.
    list.ScrollLines(100);
    list.Items().BeginUpdate();
    while (list.Count() > 2)
        list.Items().Delete(list.Count() - 1);
    EXPECT_EQ(list.ItemRect(0).Top, -10 * list.TopIndex());
    EXPECT_EQ(list.ItemAtPos(TPoint(5, 5), true), list.TopIndex());
    list.Items().EndUpdate();
    EXPECT_EQ(list.TopIndex(), 0);
    Fill(list, 8);

    TListBox empty;
    EXPECT_EQ(empty.ItemAtPos(TPoint(5, 5), true), -1);
    EXPECT_EQ(list.ItemAtPos(TPoint(5, list.ItemRect(9).Top), false), 9);
    list.Items().BeginUpdate();
    list.Items().Clear();
    list.Items().Add("one");
    list.Items().EndUpdate();
    EXPECT_EQ(list.ItemAtPos(TPoint(5, 50), false), 1) << "below the last item: the count";
}

// Where the scroll bar shows its thumb, as a user sees it: the darker block of the drawn bar
// (rows of its middle column darker than halfway between its lightest and darkest row),
// from the first to the last such row, in bar coordinates.
std::pair<int, int> DrawnThumb(QScrollBar& bar)
{
    const QImage image = bar.grab().toImage();
    const int x = image.width() / 2;
    // The arrow buttons at both ends are left out.
    const int from = image.width(), to = image.height() - image.width();
    int lightest = 0, darkest = 255;
    for (int y = from; y < to; ++y) {
        lightest = std::max(lightest, qGray(image.pixel(x, y)));
        darkest = std::min(darkest, qGray(image.pixel(x, y)));
    }
    const int middle = (lightest + darkest) / 2;
    int first = -1, last = -1;
    for (int y = from; y < to; ++y) {
        if (qGray(image.pixel(x, y)) < middle) {
            first = first < 0 ? y : first;
            last = y;
        }
    }
    return {first, last};
}

TEST(ListBoxGeometry, ScrollBarThumbShowsWhereTheListIs)
{
    TListBox list;
    list.setColor(clWhite);
    Window w({&list}, QSize(150, 200));
    Fill(list, 60);
    Drain();
    QScrollBar& bar = *list.verticalScrollBar();
    ASSERT_TRUE(bar.isVisible());
    const int trackTop = bar.width(), trackBottom = bar.height() - bar.width();
    struct Place {
        const char* name;
        int top;
    };
    for (const Place& place : {Place{"top", 0}, Place{"middle", 30}, Place{"end", 60}}) {
        SCOPED_TRACE(place.name);
        list.setTopIndex(place.top);
        Drain();
        const auto [first, last] = DrawnThumb(bar);
        ASSERT_GE(first, 0) << "a thumb is drawn";
        EXPECT_LT(last - first, (trackBottom - trackTop) / 2) << "the thumb, not the track";
        const double shown = double(list.TopIndex()) / std::max(1, bar.maximum());
        const double drawn = double(first - trackTop) / std::max(1, trackBottom - trackTop - (last - first));
        EXPECT_NEAR(drawn, shown, 0.1) << "thumb rows " << first << " to " << last;
    }
    list.ScrollToTop();
    Drain();
    EXPECT_LE(DrawnThumb(bar).first - trackTop, 3) << "at the top the thumb stands at the top";
}

TEST(ListBoxPaint, SelectedItemInTheHighlightColours)
{
    TListBox list;
    list.setColor(clWhite);
    list.setFrameShape(QFrame::NoFrame);
    Window w({&list}, QSize(120, 80));
    Fill(list, 3);
    list.setItemIndex(1);
    const QImage image = list.viewport()->grab().toImage();
    const QColor highlight = ToQColor(ColorToRGB(clHighlight));
    const TRect r = list.ItemRect(1);
    EXPECT_EQ(image.pixelColor(100, (r.Top + r.Bottom) / 2), highlight);
    EXPECT_EQ(image.pixelColor(100, list.ItemRect(0).Top + 1), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(100, 75), QColor(Qt::white)) << "below the items: Color";
    int dark = 0;
    for (int x = 0; x < 60; ++x)
        for (int y = list.ItemRect(0).Top; y < list.ItemRect(0).Bottom; ++y)
            dark += image.pixelColor(x, y).lightness() < 100;
    EXPECT_GT(dark, 5) << "the text of an item";
}

TEST(ListBoxGuard, ExceptionsOfHandlersBecomeErrorBoxes)
{
    TListBox list;
    Window w({&list});
    Fill(list, 3);
    list.OnClick = [](QObject*) { throw Exception("click went wrong"); };
    list.OnDrawItem = [](QObject*, int, const TRect&, TOwnerDrawState) { throw std::runtime_error("cannot draw"); };
    list.setStyle(lbOwnerDrawFixed);
    kvtest::Ui().ExpectMessage(mrOk, "click went wrong");
    Click(list, 1);
    EXPECT_EQ(list.ItemIndex(), 1) << "the list goes on";
    kvtest::Ui().ExpectMessage(mrOk, "cannot draw");
    list.viewport()->repaint();
    Drain();
    EXPECT_EQ(kvtest::Ui().Pending(), 0u);
    list.OnDrawItem = nullptr;
    list.OnClick = nullptr;
}
