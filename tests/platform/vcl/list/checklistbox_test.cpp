// The plain check list box: the check column, clicks and Space, grayed states, disabled items.
#include "ListTestUtil.h"

#include "platform/vcl/CheckListBox.h"

#include <gtest/gtest.h>

using namespace listtest;

TEST(CheckListBox, NextStateCycles)
{
    struct Case {
        TCheckBoxState from;
        bool allowGrayed;
        TCheckBoxState to;
    };
    const Case cases[] = {
        {cbUnchecked, false, cbChecked}, {cbChecked, false, cbUnchecked}, {cbGrayed, false, cbChecked},
        {cbUnchecked, true, cbGrayed},   {cbGrayed, true, cbChecked},     {cbChecked, true, cbUnchecked},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextCheckState(c.from, c.allowGrayed), c.to) << c.from << " " << c.allowGrayed;
}

TEST(CheckListBox, ClickInTheBoxTogglesAndOnTheTextSelects)
{
    TCheckListBox list;
    Window w({&list});
    list.Items().AddStrings({"Archive_0001 Urlaub", "Archive_0002 Ostern", "Archive_0003 Geburtstag"});
    ASSERT_GE(list.ItemHeight(), CheckBoxSize(&list).height());
    int checks = 0;
    list.OnClickCheck = [&](QObject* sender) {
        EXPECT_EQ(sender, &list);
        ++checks;
    };
    const auto box = [&](int i) { return ItemPoint(list, i, list.CheckWidth() / 2); };

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, box(1));
    EXPECT_TRUE(list.Checked(1));
    EXPECT_EQ(list.ItemIndex(), 1);
    Click(list, 2, {});  // on the text
    EXPECT_EQ(list.ItemIndex(), 2);
    EXPECT_FALSE(list.Checked(2));
    Key(list, Qt::Key_Space);
    EXPECT_TRUE(list.Checked(2));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, box(1));
    EXPECT_FALSE(list.Checked(1));
    EXPECT_EQ(checks, 3);

    list.setItemEnabled(0, false);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, box(0));
    EXPECT_EQ(list.State(0), cbUnchecked) << "a disabled item keeps its state";
    EXPECT_EQ(checks, 3);

    list.setAllowGrayed(true);
    QList<TCheckBoxState> states;
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, box(1));
        states << list.State(1);
    }
    EXPECT_EQ(states, (QList<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));

    list.setState(0, cbChecked);  // code fires nothing
    EXPECT_EQ(checks, 6);
    EXPECT_THROW(list.Checked(3), EListError);
}

TEST(CheckListBox, StatesStayWithTheirItems)
{
    TCheckListBox list;
    list.Items().AddStrings({"a", "b", "c"});
    list.setChecked(0, true);
    list.setState(2, cbGrayed);
    list.Items().Move(0, 2);
    EXPECT_EQ(list.State(0), cbUnchecked);
    EXPECT_EQ(list.State(1), cbGrayed);
    EXPECT_TRUE(list.Checked(2));
    list.Items().Delete(1);
    list.Items().Insert(0, "new");
    EXPECT_EQ(list.State(0), cbUnchecked);
    EXPECT_TRUE(list.Checked(2));
}
