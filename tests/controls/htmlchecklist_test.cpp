// The HTML check list: checked items and headers, clicks in the check column, grayed states,
// disabled items, duplicates kept aside, drawing and anchors.
#include "HTMLListFixture.h"

#include "controls/HTMLCheckList.h"
#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

using namespace listtest;

namespace {

QPoint BoxPoint(const THTMLCheckList& list, int index)
{
    const TRect r = list.ItemRect(index);
    const int cell = list.CheckWidth() + 2;
    return QPoint(list.Level(index) * cell + cell / 2, (r.Top + r.Bottom) / 2);
}

QPoint TextPoint(const THTMLCheckList& list, int index)
{
    const TRect r = list.ItemRect(index);
    return QPoint(list.CheckColumnWidth(index) + 60, (r.Top + r.Bottom) / 2);
}

void Fill(THTMLCheckList& list, const QStringList& items)
{
    list.Items().AddStrings(items);
}

} // namespace

TEST(HTMLCheckList, CheckedCountAndItemsSkipHeadersAndGrayed)
{
    THTMLCheckList list;
    EXPECT_EQ(list.GetCheckedCount(), 0);
    EXPECT_EQ(list.GetCheckedItem(0), "");
    Fill(list, {"<B>Urlaub</B>", "a.jpg | Strand", "b.jpg | Berge", "c.jpg | See", "d.jpg"});
    EXPECT_EQ(list.GetCheckedCount(), 0);
    EXPECT_EQ(list.GetCheckedItem(0), "");
    list.setHeader(0, true);
    list.setChecked(0, true);  // a header never counts
    list.setChecked(1, true);
    list.setChecked(3, true);
    list.setState(4, cbGrayed);
    EXPECT_EQ(list.GetCheckedCount(), 2);
    EXPECT_EQ(list.GetCheckedItem(0), "a.jpg | Strand");
    EXPECT_EQ(list.GetCheckedItem(1), "c.jpg | See") << "the raw text of the second checked item";
    EXPECT_EQ(list.GetCheckedItem(2), "");
    EXPECT_EQ(list.CheckColumnWidth(0), 0);
    list.setLevel(2, 2);
    EXPECT_EQ(list.CheckColumnWidth(2), 3 * (list.CheckWidth() + 2));
    EXPECT_THROW(list.Checked(5), EListError);
    try {
        list.TextItem(5);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Item index out of range");
    }
}

TEST(HTMLCheckList, ClicksInTheCheckColumn)
{
    struct Case {
        const char* name;
        bool allowGrayed;
        int level;
        std::vector<TCheckBoxState> afterEachClick;
    };
    const Case cases[] = {
        {"two states", false, 0, {cbChecked, cbUnchecked, cbChecked}},
        {"with AllowGrayed", true, 0, {cbGrayed, cbChecked, cbUnchecked}},
        {"indented", false, 2, {cbChecked, cbUnchecked}},
    };
    for (const Case& c : cases) {
        THTMLCheckList list;
        list.setItemHeight(30);
        list.setAllowGrayed(c.allowGrayed);
        Window w({&list}, QSize(300, 200));
        Fill(list, {"first", "second", "third"});
        list.setLevel(1, c.level);
        int checkClicks = 0;
        list.OnCheckClick = [&](QObject* sender) {
            EXPECT_EQ(sender, &list);
            ++checkClicks;
        };
        std::vector<TCheckBoxState> seen;
        for (size_t i = 0; i < c.afterEachClick.size(); ++i) {
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, BoxPoint(list, 1));
            seen.push_back(list.State(1));
        }
        EXPECT_EQ(seen, c.afterEachClick) << c.name;
        EXPECT_EQ(checkClicks, int(c.afterEachClick.size())) << c.name;
        EXPECT_EQ(list.ItemIndex(), 1) << c.name << ": the click selects the item too";
        if (c.level > 0) {
            const TCheckBoxState before = list.State(1);
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(3, BoxPoint(list, 1).y()));
            EXPECT_EQ(list.State(1), before) << c.name << ": the indent is no box";
        }

        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, TextPoint(list, 2));
        EXPECT_EQ(list.ItemIndex(), 2) << c.name;
        EXPECT_EQ(list.State(2), cbUnchecked) << c.name << ": a click on the text selects only";
    }
}

TEST(HTMLCheckList, DisabledItemsAndHeadersIgnoreClicks)
{
    THTMLCheckList list;
    list.setItemHeight(30);
    Window w({&list}, QSize(300, 200));
    Fill(list, {"header", "disabled", "normal"});
    list.setHeader(0, true);
    list.setItemEnabled(1, false);
    int checkClicks = 0;
    list.OnCheckClick = [&](QObject*) { ++checkClicks; };
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(8, BoxPoint(list, 0).y()));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, BoxPoint(list, 1));
    EXPECT_EQ(list.State(0), cbUnchecked);
    EXPECT_EQ(list.State(1), cbUnchecked);
    EXPECT_EQ(checkClicks, 0);
    list.setEnabled(true);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, BoxPoint(list, 2));
    EXPECT_TRUE(list.Checked(2));
}

TEST(HTMLCheckList, DuplicatesAreKeptAsideAndComeBackWithTheirStates)
{
    THTMLCheckList list;
    Fill(list, {"a.jpg", "b.jpg", "a.jpg", "B.JPG", "c.jpg", "b.jpg"});
    list.setChecked(2, true);
    list.setLevel(2, 1);
    list.setState(3, cbGrayed);
    list.setChecked(4, true);

    list.setDuplicates(false);
    EXPECT_EQ(list.Items().ToStringList(), (QStringList{"a.jpg", "b.jpg", "c.jpg"}))
        << "exact duplicates, then neighbours equal ignoring case";
    EXPECT_TRUE(list.Checked(2)) << "c.jpg keeps its state";
    EXPECT_EQ(list.GetCheckedCount(), 1);

    list.setDuplicates(true);
    ASSERT_EQ(list.Count(), 6);
    EXPECT_EQ(list.Items().ToStringList(), (QStringList{"a.jpg", "b.jpg", "c.jpg", "a.jpg", "b.jpg", "B.JPG"}));
    EXPECT_TRUE(list.Checked(3)) << "the checked duplicate";
    EXPECT_EQ(list.Level(3), 1);
    EXPECT_EQ(list.State(4), cbUnchecked);
    EXPECT_EQ(list.State(5), cbGrayed);
    EXPECT_EQ(list.GetCheckedCount(), 2);
}

TEST(HTMLCheckList, DrawsTheSelectionOverTheWholeRowAndTheCheckBoxes)
{
    THTMLCheckList list;
    list.setFrameShape(QFrame::NoFrame);
    list.setColor(clWhite);
    list.setItemHeight(30);
    list.SelectionColors().setColorFrom(RGB(200, 0, 0));
    Window w({&list}, QSize(300, 200));
    Fill(list, {"one", "two", "three"});
    list.setChecked(0, true);
    list.setItemIndex(1);
    const QImage image = list.viewport()->grab().toImage();
    const TRect r = list.ItemRect(1);
    EXPECT_EQ(image.pixelColor(1, r.Top + 1), QColor(200, 0, 0)) << "the row from x 0";
    EXPECT_EQ(image.pixelColor(290, r.Top + 1), QColor(200, 0, 0));
    EXPECT_EQ(image.pixelColor(290, 100), QColor(Qt::white)) << "below the items";
    // The check boxes differ between the checked and the unchecked item.
    const auto box = [&](int i) {
        const QPoint c = BoxPoint(list, i);
        return image.copy(c.x() - 4, c.y() - 4, 8, 8);
    };
    EXPECT_NE(box(0), box(2));
}

TEST(HTMLCheckList, AnchorsActAfterTheClick)
{
    THTMLCheckList list;
    list.setItemHeight(30);
    Window w({&list}, QSize(300, 200));
    Fill(list, {"<A href=\"mailto:lab@example.org\">order</A>", "<A href=\"detail\">more</A>"});
    QStringList clicked;
    list.OnAnchorClick = [&](QObject*, int index, const QString& a) { clicked << QString("%1 %2").arg(index).arg(a); };
    const auto anchorPoint = [&](int i) {
        const TRect r = list.ItemRect(i);
        return QPoint(list.CheckColumnWidth(i) + 6, r.Top + 8);
    };
    ASSERT_TRUE(list.AnchorAt(TPoint::FromQPoint(anchorPoint(1))).Hit);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, anchorPoint(1));
    EXPECT_EQ(clicked, QStringList{"1 detail"});
    EXPECT_EQ(list.ItemIndex(), 1) << "the check list selects before it acts on the anchor";
    kvtest::Ui().ExpectShellOpen(true);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, anchorPoint(0));
    EXPECT_EQ(kvtest::Ui().AskedOf(TAskKind::ShellOpen).size(), 1u);
}
