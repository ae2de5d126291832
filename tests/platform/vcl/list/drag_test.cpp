// Dragging between lists: automatic drag start, DragOver with the source, DragDrop at the
// drop point, EndDrag to the source; refusals, clicks, Escape.
#include "ListTestUtil.h"

#include "support/ScriptedUi.h"

#include <gtest/gtest.h>

using namespace listtest;

namespace {

QString StateName(TDragState s)
{
    return s == dsDragEnter ? "enter" : s == dsDragLeave ? "leave" : "move";
}

// Two lists, `a` dragging automatically; the handlers write what they got into log.
struct TwoLists {
    TListBox a, b;
    QStringList log;
    bool bAccepts = true;
    std::unique_ptr<Window> window;

    TwoLists()
    {
        a.setObjectName("a");
        b.setObjectName("b");
        for (TListBox* l : {&a, &b}) {
            for (int i = 0; i < 6; ++i)
                l->Items().Add(l->objectName() + QString::number(i));
            l->OnDragOver = [this, l](QObject* sender, QObject* source, int x, int y, TDragState state, bool& accept) {
                EXPECT_EQ(sender, l);
                EXPECT_TRUE(accept) << "Accept starts true";
                accept = l == &a ? source == &a : bAccepts;
                log << QString("%1 over %2 from %3 at %4")
                           .arg(l->objectName(), StateName(state), source->objectName())
                           .arg(l->ItemAtPos(TPoint(x, y), true));
            };
            l->OnDragDrop = [this, l](QObject*, QObject* source, int x, int y) {
                log << QString("%1 drop from %2 at %3,%4").arg(l->objectName(), source->objectName()).arg(x).arg(y);
            };
            l->OnEndDrag = [this, l](QObject*, QObject* target, int x, int y) {
                log << QString("%1 end on %2 at %3,%4")
                           .arg(l->objectName(), target ? target->objectName() : "nothing")
                           .arg(x)
                           .arg(y);
            };
        }
        a.setDragMode(dmAutomatic);
        window = std::make_unique<Window>(std::initializer_list<TCustomListBox*>{&a, &b});
    }
};

} // namespace

TEST(ListDrag, FromOneListToAnotherInTheFrameworksOrder)
{
    TwoLists t;
    const QPoint start = ItemPoint(t.a, 1);
    Press(t.a, start);
    EXPECT_EQ(t.a.ItemIndex(), 1) << "the press selects first";
    Drag(t.a, start + QPoint(2, 0));
    EXPECT_FALSE(Dragging()) << "not before the threshold";
    Drag(t.a, start + QPoint(8, 0));
    EXPECT_TRUE(Dragging());
    Drag(t.b, ItemPoint(t.b, 2));
    const QPoint drop = ItemPoint(t.b, 3);
    Drag(t.b, drop);
    Release(t.b, drop);
    EXPECT_FALSE(DragActive());
    const QString at = QString("%1,%2").arg(drop.x()).arg(drop.y());
    EXPECT_EQ(t.log, (QStringList{"a over enter from a at 1", "a over leave from a at -1", "b over enter from a at 2",
                                  "b over move from a at 3",
                                  "b drop from a at " + at, "a end on b at " + at}))
        << t.log.join("\n").toStdString();
    EXPECT_EQ(t.a.ItemIndex(), 1);
}

TEST(ListDrag, InsideTheSourceList)
{
    TwoLists t;
    Press(t.a, ItemPoint(t.a, 0));
    Drag(t.a, ItemPoint(t.a, 2));
    const QPoint drop = ItemPoint(t.a, 4);
    Release(t.a, drop);  // the release point counts even without a move there
    const QString at = QString("%1,%2").arg(drop.x()).arg(drop.y());
    EXPECT_EQ(t.log, (QStringList{"a over enter from a at 2", "a over move from a at 4", "a drop from a at " + at,
                                  "a end on a at " + at}))
        << t.log.join("\n").toStdString();
}

TEST(ListDrag, RefusedCancelledAndClicks)
{
    struct Case {
        const char* name;
        std::function<void(TwoLists&)> act;
        QStringList log;
    };
    const Case cases[] = {
        {"refused by the target",
         [](TwoLists& t) {
             t.bAccepts = false;
             Press(t.a, ItemPoint(t.a, 1));
             Drag(t.b, ItemPoint(t.b, 2));
             Release(t.b, ItemPoint(t.b, 2));
         },
         {"b over enter from a at 2", "b over leave from a at 2", "a end on nothing at 0,0"}},
        {"dropped outside every list",
         [](TwoLists& t) {
             Press(t.a, ItemPoint(t.a, 1));
             Drag(t.b, ItemPoint(t.b, 2));
             Drag(t.b, QPoint(-10, 20));  // the gap between the lists
             Release(t.b, QPoint(-10, 20));
         },
         {"b over enter from a at 2", "b over leave from a at -1", "a end on nothing at 0,0"}},
        {"Escape",
         [](TwoLists& t) {
             Press(t.a, ItemPoint(t.a, 1));
             Drag(t.b, ItemPoint(t.b, 2));
             Key(t.b, Qt::Key_Escape);
             Release(t.b, ItemPoint(t.b, 2));
         },
         {"b over enter from a at 2", "b over leave from a at 2", "a end on nothing at 0,0"}},
        {"a click is a drag that never began",
         [](TwoLists& t) { Click(t.a, 3); },
         {"a end on nothing at 0,0"}},
        {"a list without drag mode", [](TwoLists& t) { Click(t.b, 3); }, {}},
    };
    for (const Case& c : cases) {
        TwoLists t;
        c.act(t);
        EXPECT_FALSE(DragActive()) << c.name;
        EXPECT_EQ(t.log, c.log) << c.name << ": " << t.log.join("\n").toStdString();
    }
}

TEST(ListDrag, MultipleSelectionIsDraggedWholeAndAClickSelectsOneItem)
{
    TwoLists t;
    t.a.setMultiSelect(true);
    int clicks = 0;
    t.a.OnClick = [&](QObject*) { ++clicks; };
    Click(t.a, 1);
    Click(t.a, 3, Qt::ControlModifier);
    EXPECT_EQ(t.a.SelCount(), 2);
    t.log.clear();
    clicks = 0;

    Press(t.a, ItemPoint(t.a, 3));
    Drag(t.b, ItemPoint(t.b, 0));
    Release(t.b, ItemPoint(t.b, 0));
    EXPECT_TRUE(t.a.Selected(1) && t.a.Selected(3)) << "the whole selection was dragged";
    EXPECT_EQ(t.a.SelCount(), 2);
    EXPECT_EQ(clicks, 0);
    ASSERT_FALSE(t.log.isEmpty());
    EXPECT_TRUE(t.log.back().startsWith("a end on b")) << t.log.join("\n").toStdString();

    Click(t.a, 3);
    EXPECT_EQ(t.a.SelCount(), 1) << "a click without a drag selects the item alone";
    EXPECT_TRUE(t.a.Selected(3));
    EXPECT_EQ(clicks, 1);
    Click(t.a, 1, Qt::ControlModifier);
    Click(t.a, 1, Qt::ControlModifier);
    EXPECT_EQ(t.a.SelCount(), 1) << "Ctrl+click on a selected item takes it out";
    EXPECT_FALSE(t.a.Selected(1));
}

TEST(ListDrag, HandlerExceptionsStayInsideTheDrag)
{
    TwoLists t;
    t.b.OnDragDrop = [](QObject*, QObject*, int, int) { throw Exception("drop failed"); };
    kvtest::Ui().ExpectMessage(mrOk, "drop failed");
    Press(t.a, ItemPoint(t.a, 1));
    Drag(t.b, ItemPoint(t.b, 2));
    Release(t.b, ItemPoint(t.b, 2));
    EXPECT_FALSE(DragActive());
    ASSERT_FALSE(t.log.isEmpty());
    EXPECT_TRUE(t.log.back().startsWith("a end on b")) << "the source still hears of the end";
}

TEST(ListDrag, ControlsThatGoAwayLeaveTheDrag)
{
    TListBox target;
    auto source = std::make_unique<TListBox>();
    source->Items().AddStrings({"x", "y"});
    source->setDragMode(dmAutomatic);
    target.Items().AddStrings({"1", "2"});
    int drops = 0;
    target.OnDragOver = [](QObject*, QObject*, int, int, TDragState, bool&) {};
    target.OnDragDrop = [&](QObject*, QObject*, int, int) { ++drops; };
    Window w({source.get(), &target});
    Press(*source, ItemPoint(*source, 0));
    Drag(target, ItemPoint(target, 1));
    ASSERT_TRUE(Dragging());
    source.reset();
    EXPECT_FALSE(DragActive()) << "the source went: the drag is over";
    Drag(target, ItemPoint(target, 0));
    Release(target, ItemPoint(target, 0));
    EXPECT_EQ(drops, 0);

    // A target that goes during the drag is forgotten.
    TListBox other;
    other.Items().Add("z");
    other.setDragMode(dmAutomatic);
    auto gone = std::make_unique<TListBox>();
    gone->Items().Add("q");
    gone->OnDragOver = [](QObject*, QObject*, int, int, TDragState, bool&) {};
    Window w2({&other, gone.get()});
    Press(other, ItemPoint(other, 0));
    Drag(*gone, ItemPoint(*gone, 0));
    const QPoint where = gone->viewport()->mapTo(w2.window.get(), ItemPoint(*gone, 0));
    gone.reset();
    QTest::mouseRelease(w2.window.get(), Qt::LeftButton, {}, where);
    EXPECT_FALSE(DragActive());
}
