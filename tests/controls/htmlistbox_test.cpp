// The HTML list box: item heights, anchors, search, sorting, drawing, blinking and the
// picture cache.
#include "HTMLListFixture.h"
#include "GifFixtures.h"

#include "controls/HTMListBox.h"
#include "support/ScriptedUi.h"

#include <QFontMetrics>
#include <QHelpEvent>
#include <QToolTip>
#include "support/WaitFor.h"
#include <gtest/gtest.h>

#include <variant>

using namespace listtest;
using namespace htmllist;

namespace {

// A list whose client area is width x height.
void SetClientSize(TCustomListBox& list, int width, int height)
{
    list.resize(width + 2 * list.frameWidth(), height + 2 * list.frameWidth());
}

int LineHeight(const THTMListBox& list) { return QFontMetrics(list.Font().ToQFont()).height(); }

// The point of the first anchor of an item (its text begins with the anchor).
QPoint AnchorPoint(const THTMListBox& list, int index)
{
    const TRect r = list.ItemRect(index);
    return QPoint(r.Left + 6, r.Top + 2 + LineHeight(list) / 2);
}

} // namespace

TEST(HTMListBox, ItemHeightsAreMeasuredOnceAndCapped)
{
    const QString folder = kvtest::MakeTempFolder("heights");
    const QString tall = WritePicture(folder, "tall.png", 40, 300);
    const QString thumb = WritePicture(folder, "thumb.png", 93, 70);
    struct Case {
        const char* name;
        int clientHeight;
        QString text;
        int height;
    };
    THTMListBox probe;
    const Case cases[] = {
        {"300-pixel picture, tall list", 400, PictureItem(tall), 255},
        {"300-pixel picture, list 251 high", 251, PictureItem(tall), 255},
        {"300-pixel picture, client area 100 high", 100, PictureItem(tall), 104},
        {"thumbnail", 400, PictureItem(thumb, "a.jpg | Urlaub"), 74},
        {"one line", 400, "<B>a.jpg</B> | Urlaub", LineHeight(probe) + 4},
        {"empty item", 400, "", LineHeight(probe) + 4},
    };
    for (const Case& c : cases) {
        THTMListBox list;
        SetClientSize(list, 300, c.clientHeight);
        list.Items().Add(c.text);
        EXPECT_EQ(list.StoredItemHeight(0), c.height) << c.name;
        EXPECT_EQ(list.ItemRect(0).Height(), c.height) << c.name;
    }
}

TEST(HTMListBox, ResizingMeasuresAgainOnceTheResizesAreOver)
{
    const QString folder = kvtest::MakeTempFolder("resize");
    const QString tall = WritePicture(folder, "tall.png", 40, 300);
    THTMListBox list;
    Window w({&list}, QSize(200, 100 + 2 * list.frameWidth()));
    list.Items().Add(PictureItem(tall));
    list.Items().Add("two");
    ASSERT_EQ(list.StoredItemHeight(0), 104);
    for (int h = 150; h <= 400; h += 50)
        SetClientSize(list, 200, h);
    EXPECT_EQ(list.StoredItemHeight(0), 104) << "not inside the burst";
    Drain();
    EXPECT_EQ(list.StoredItemHeight(0), 255);
    EXPECT_EQ(list.StoredItemHeight(1), LineHeight(list) + 4);
}

TEST(HTMListBox, AnchorTargets)
{
    struct Case {
        const char* target;
        bool opened;      // through the shell open service
        bool clickEvent;  // OnAnchorClick
    };
    const Case cases[] = {
        {"mailto:someone@example.org", true, false},
        {"http://example.org/", true, false},
        {"HTTPS://example.org/a", true, false},
        {"ftp://example.org/file", false, false},
        {"file:///etc/passwd", false, false},
        {"javascript://alert", false, false},
        {"picture3", false, true},
        {"show:next", false, true},
    };
    for (const Case& c : cases) {
        kvtest::Ui().Reset();
        THTMListBox list;
        Window w({&list}, QSize(300, 200));
        list.Items().Add("plain item");
        list.Items().Add(QString("<A href=\"%1\">link</A> after").arg(c.target));
        list.setItemIndex(0);
        int clicks = 0, anchorClicks = 0;
        list.OnClick = [&](QObject*) { ++clicks; };
        list.OnAnchorClick = [&](QObject* sender, int index, const QString& anchor) {
            EXPECT_EQ(sender, &list);
            EXPECT_EQ(index, 1);
            EXPECT_EQ(anchor, c.target);
            ++anchorClicks;
        };
        if (c.opened)
            kvtest::Ui().ExpectShellOpen(true);
        ASSERT_TRUE(list.AnchorAt(TPoint::FromQPoint(AnchorPoint(list, 1))).Hit) << c.target;
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, AnchorPoint(list, 1));
        const auto opens = kvtest::Ui().AskedOf(TAskKind::ShellOpen);
        EXPECT_EQ(opens.size(), c.opened ? 1u : 0u) << c.target;
        if (c.opened && !opens.empty()) {
            EXPECT_EQ(opens[0].Text.toLower(), QString(c.target).toLower());
        }
        EXPECT_EQ(anchorClicks, c.clickEvent ? 1 : 0) << c.target;
        EXPECT_EQ(list.ItemIndex(), 0) << c.target << ": a click on an anchor leaves the selection";
        EXPECT_EQ(clicks, 0) << c.target;

        // Beside the anchor the click selects as ever.
        const TRect r = list.ItemRect(1);
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(r.Right - 5, r.Top + 3));
        EXPECT_EQ(list.ItemIndex(), 1) << c.target;
        EXPECT_EQ(clicks, 1) << c.target;
    }
}

TEST(HTMListBox, HoveringAnAnchorShowsTheHandAndFiresEnterAndExit)
{
    THTMListBox list;
    Window w({&list}, QSize(300, 200));
    list.Items().Add("<A href=\"one\">first</A>");
    list.Items().Add("<A href=\"two\">second</A>");
    QStringList log;
    list.OnAnchorEnter = [&](QObject*, int i, const QString& a) { log << QString("enter %1 %2").arg(i).arg(a); };
    list.OnAnchorExit = [&](QObject*, int i, const QString& a) { log << QString("exit %1 %2").arg(i).arg(a); };
    const Qt::CursorShape normal = list.viewport()->cursor().shape();
    Hover(list, AnchorPoint(list, 0));
    EXPECT_EQ(list.viewport()->cursor().shape(), Qt::PointingHandCursor);
    Hover(list, AnchorPoint(list, 0) + QPoint(1, 0));
    Hover(list, AnchorPoint(list, 1));
    Hover(list, QPoint(250, list.ItemRect(1).Top + 3));
    EXPECT_EQ(list.viewport()->cursor().shape(), normal);
    EXPECT_EQ(log, (QStringList{"enter 0 one", "exit 0 one", "enter 1 two", "exit 1 two"}));
}

TEST(HTMListBox, HintsShowTheAnchorOrTheItem)
{
    THTMListBox list;
    Window w({&list}, QSize(300, 200));
    list.Items().Add("<A href=\"target\">link</A>");
    list.Items().Add("<B>bold</B> text");
    const auto hintAt = [&](QPoint p) {
        QToolTip::hideText();
        for (int i = 0; i < 200 && QToolTip::isVisible(); ++i)
            QTest::qWait(10);
        QHelpEvent e(QEvent::ToolTip, p, list.viewport()->mapToGlobal(p));
        QApplication::sendEvent(list.viewport(), &e);
        const QString text = QToolTip::isVisible() ? QToolTip::text() : QString();
        QToolTip::hideText();
        return text;
    };
    const QPoint onAnchor = AnchorPoint(list, 0);
    const QPoint onItem = QPoint(20, list.ItemRect(1).Top + 3);
    EXPECT_EQ(hintAt(onAnchor), "");
    list.setAnchorHint(true);
    list.OnAnchorHint = [](QObject*, int index, QString& anchor) { anchor = QString("#%1 %2").arg(index).arg(anchor); };
    EXPECT_EQ(hintAt(onAnchor), "#0 target");
    EXPECT_EQ(hintAt(onItem), "");
    list.setItemHint(true);
    EXPECT_EQ(hintAt(onItem), "bold text");
    list.setHTMLHint(true);
    EXPECT_EQ(hintAt(onItem), "<B>bold</B> text");
}

TEST(HTMListBox, IncrementalSearch)
{
    const QStringList items = {"<B>Anna</B>.jpg", "<font color=\"red\">Berta</font>.jpg", "bernd.jpg",
                               "Carl.jpg",        "anton.jpg",                            "a_b.jpg",
                               "a.jpg"};
    using Step = std::variant<QString, Qt::Key>;
    struct Case {
        const char* name;
        bool incr;
        int start;
        std::vector<Step> steps;
        int index;
        QString search;
    };
    const Case cases[] = {
        {"one letter, ignoring case and tags", true, -1, {QString("b")}, 1, "b"},
        {"letters build up", true, -1, {QString("BERN")}, 2, "BERN"},
        {"the current item counts", true, 2, {QString("ber")}, 2, "ber"},
        {"from the current item on, then from the top", true, 3, {QString("a")}, 4, "a"},
        {"Backspace takes one back", true, -1, {QString("bern"), Qt::Key_Backspace}, 2, "ber"},
        {"Backspace on nothing", true, 3, {Qt::Key_Backspace}, 3, ""},
        {"Home clears the text", true, -1, {QString("b"), Qt::Key_Home, QString("c")}, 3, "c"},
        {"Escape clears the text", true, -1, {QString("b"), Qt::Key_Escape, QString("a")}, 4, "a"},
        {"no match starts anew", true, -1, {QString("ba")}, 0, "a"},
        {"no match at all keeps the item", true, -1, {QString("bq")}, 1, "q"},
        {"punctuation searches for itself", true, -1, {QString("a.")}, 6, "a."},
        {"modifier keys do not search", true, 3, {Qt::Key_Shift, Qt::Key_Control}, 3, ""},
        {"without IncrLookup each key alone", false, 0, {QString("bc")}, 3, "c"},
        {"without IncrLookup and no item nothing", false, -1, {QString("b")}, -1, "b"},
    };
    for (const Case& c : cases) {
        THTMListBox list;
        list.setIncrLookup(c.incr);
        Window w({&list}, QSize(300, 300));
        list.Items().AddStrings(items);
        list.setItemIndex(c.start);
        int clicks = 0;
        list.OnClick = [&](QObject*) { ++clicks; };
        for (const Step& s : c.steps) {
            if (const auto* text = std::get_if<QString>(&s))
                Type(list, *text);
            else
                Key(list, std::get<Qt::Key>(s));
        }
        EXPECT_EQ(list.ItemIndex(), c.index) << c.name;
        EXPECT_EQ(list.SearchText(), c.search) << c.name;
        if (c.index != c.start && c.index >= 0) {
            EXPECT_GE(clicks, 1) << c.name << ": a found item is the user's choice";
        }
    }
}

TEST(HTMListBox, SearchSelectsTheFoundItemOfAMultiSelectList)
{
    THTMListBox list;
    list.setMultiSelect(true);
    list.setIncrLookup(true);
    Window w({&list}, QSize(300, 300));
    list.Items().AddStrings({"alpha", "beta", "gamma"});
    Click(list, 0);
    Click(list, 1, Qt::ControlModifier);
    Type(list, "g");
    EXPECT_EQ(list.ItemIndex(), 2);
    EXPECT_EQ(list.SelCount(), 1);
    EXPECT_TRUE(list.Selected(2));
}

TEST(HTMListBox, SortingByPlainOrRawText)
{
    const QStringList items = {"<I>zeta</I>", "<B>alpha</B>", "mid"};
    THTMListBox plain;
    plain.Items().AddStrings(items);
    plain.setSorted(true);
    EXPECT_EQ(plain.Items().ToStringList(), (QStringList{"<B>alpha</B>", "mid", "<I>zeta</I>"}));
    plain.Items().Add("<B>aaa</B>");
    EXPECT_EQ(plain.Items()[3], "<B>aaa</B>") << "later items are not placed in order";
    plain.setSorted(true);
    EXPECT_EQ(plain.Items()[0], "<B>aaa</B>") << "setting it again sorts again";

    THTMListBox raw;
    raw.setSortWithHTML(true);
    raw.Items().AddStrings(items);
    raw.setSorted(true);
    EXPECT_EQ(raw.Items().ToStringList(), (QStringList{"<B>alpha</B>", "<I>zeta</I>", "mid"}));
}

TEST(HTMListBox, TextItemAndItsBadIndexes)
{
    THTMListBox list;
    list.Items().Add("<B>a.jpg</B> | <I>Urlaub</I>");
    EXPECT_EQ(list.TextItem(0), "a.jpg | Urlaub");
    for (int bad : {-1, 1}) {
        try {
            list.TextItem(bad);
            ADD_FAILURE() << "no exception for " << bad;
        } catch (const EHTMListBoxError& e) {
            EXPECT_EQ(e.Message(), "Item index out of range");
        }
    }
}

TEST(HTMListBox, SelectedItemIsPaintedInTheSelectionColours)
{
    const TColor from = RGB(200, 0, 0), to = RGB(0, 0, 200), border = RGB(0, 160, 0);
    struct Case {
        const char* name;
        TColor colorTo;
        bool direction;
    };
    const Case cases[] = {{"plain", clNone, false}, {"left to right", to, true}, {"top to bottom", to, false}};
    for (const Case& c : cases) {
        THTMListBox list;
        list.setFrameShape(QFrame::NoFrame);
        list.setColor(clWhite);
        list.SelectionColors().setColorFrom(from);
        list.SelectionColors().setColorTo(c.colorTo);
        list.SelectionColors().setBorderColor(border);
        list.SelectionColors().setDirection(c.direction);
        Window w({&list}, QSize(300, 200));
        for (int i = 0; i < 3; ++i)
            list.Items().Add("<BR><BR>item " + QString::number(i));
        list.setItemIndex(1);
        const QImage image = list.viewport()->grab().toImage();
        const TRect r = list.ItemRect(1);
        const QColor left = image.pixelColor(r.Left + 3, r.Top + 3);
        const QColor right = image.pixelColor(r.Right - 4, r.Bottom - 4);
        const QColor unselected = image.pixelColor(r.Right - 4, list.ItemRect(0).Top + 3);
        EXPECT_EQ(unselected, QColor(Qt::white)) << c.name;
        if (c.colorTo == clNone) {
            EXPECT_EQ(left, ToQColor(from)) << c.name;
            EXPECT_EQ(right, ToQColor(from)) << c.name;
            continue;
        }
        EXPECT_GT(left.red(), 150) << c.name << ": the gradient starts at ColorFrom";
        EXPECT_GT(right.blue(), 150) << c.name << ": and ends at ColorTo";
        const QColor topRight = image.pixelColor(r.Right - 4, r.Top + 3);
        if (c.direction) {
            EXPECT_GT(topRight.blue(), 150) << c.name;
        } else {
            EXPECT_GT(topRight.red(), 150) << c.name;
        }
        EXPECT_EQ(image.pixelColor(r.Left, r.Top + 10), ToQColor(border)) << c.name << ": framed";
        if (list.hasFocus()) {
            EXPECT_EQ(image.pixelColor(r.Left + 40, r.Top), QColor(128, 128, 128)) << c.name << ": the focus frame";
        }
    }
}

TEST(HTMListBox, BlinkTimerAnimatesPicturesOnlyWhileEnabled)
{
    const QString folder = kvtest::MakeTempFolder("blink");
    const QString gifPath = WriteBytes(folder, "anim.gif", gif::ThreeFrames());
    THTMListBox list;
    Window w({&list}, QSize(200, 200));
    list.Items().Add(PictureItem(gifPath));
    list.viewport()->repaint();
    ASSERT_EQ(list.PictureCache().Count(), 1);
    THTMLPicture* picture = list.PictureCache().Picture(0);
    QTest::qWait(400);
    EXPECT_EQ(picture->Frame(), 1) << "without EnableBlink the picture stays on its first frame";
    EXPECT_FALSE(list.BlinkTimerActive());
    list.setEnableBlink(true);
    EXPECT_TRUE(list.BlinkTimerActive());
    EXPECT_TRUE(kvtest::WaitFor([&] { return picture->Frame() != 1; })) << "blinking shows the next frame";
    list.setEnableBlink(false);
    EXPECT_FALSE(list.BlinkTimerActive());
}

TEST(HTMListBox, PicturesLeaveTheCacheWithTheirLastItem)
{
    const QString folder = kvtest::MakeTempFolder("cache");
    const QString a = WritePicture(folder, "_THUMB_a.png", 20, 20);
    const QString b = WritePicture(folder, "_THUMB_b.png", 20, 20);
    const QString c = WritePicture(folder, "_THUMB_c.png", 20, 20);
    THTMListBox list;
    list.Items().Add(PictureItem(a, "one"));
    list.Items().Add(PictureItem(b, "two"));
    list.Items().Add(PictureItem(a, "three"));
    const auto cached = [&](const QString& path) { return list.PictureCache().FindPicture("file://" + path) != nullptr; };
    ASSERT_EQ(list.PictureCache().Count(), 2);

    list.Items().Delete(0);
    EXPECT_TRUE(cached(a)) << "another item still shows it";
    list.Items().Delete(1);
    EXPECT_FALSE(cached(a));
    EXPECT_TRUE(cached(b));

    list.Items().SetString(0, PictureItem(c, "two"));  // a refreshed thumbnail
    EXPECT_FALSE(cached(b));
    EXPECT_TRUE(cached(c));

    list.Items().BeginUpdate();
    list.Items().Add(PictureItem(a));
    list.Items().Delete(1);
    EXPECT_TRUE(cached(a)) << "dropped when the update ends";
    list.Items().EndUpdate();
    EXPECT_FALSE(cached(a));

    list.Items().Add(PictureItem(b));
    list.Clear();
    EXPECT_EQ(list.PictureCache().Count(), 0);
}

TEST(HTMListBox, OnlyTheRecentlyDrawnPicturesStayDecoded)
{
    const QString folder = kvtest::MakeTempFolder("decoded");
    THTMListBox list;
    list.setFrameShape(QFrame::NoFrame);
    list.PictureCache().SetDecodedLimit(4);
    Window w({&list}, QSize(200, 120));
    constexpr int count = 40;
    for (int i = 0; i < count; ++i) {
        const QColor color = QColor::fromHsv(i * 9, 255, 200);
        list.Items().Add(PictureItem(WritePicture(folder, QString("_THUMB_%1.png").arg(i), 30, 30, color)));
    }
    ASSERT_EQ(list.PictureCache().Count(), count);
    EXPECT_LE(list.PictureCache().DecodedCount(), 4) << "filling keeps only the last few decoded";

    const QImage top = list.viewport()->grab().toImage();
    const TRect first = list.ItemRect(0);
    EXPECT_EQ(top.pixelColor(first.Left + 15, first.Top + 15), QColor::fromHsv(0, 255, 200).toRgb());
    list.setTopIndex(count - 1);
    (void)list.viewport()->grab();
    EXPECT_LE(list.PictureCache().DecodedCount(), 4);
    const THTMLPicture* firstPicture = list.PictureCache().Picture(0);
    EXPECT_FALSE(firstPicture->Decoded()) << "scrolled away, dropped";
    EXPECT_EQ(firstPicture->Width(), 30) << "the layout keeps the size";

    list.setTopIndex(0);
    EXPECT_EQ(list.viewport()->grab().toImage(), top) << "decoded again, drawn the same";
    EXPECT_TRUE(firstPicture->Decoded());
    EXPECT_LE(list.PictureCache().DecodedCount(), 4);
}

TEST(HTMListBox, HorizontalScrollingFollowsTheWidestItem)
{
    THTMListBox list;
    list.setScrollHorizontal(true);
    Window w({&list}, QSize(150, 150));
    list.Items().Add("short");
    EXPECT_EQ(list.ScrollWidth(), 0);
    list.Items().Add("a rather long line of text that does not fit into the list at all");
    EXPECT_GT(list.ScrollWidth(), list.ClientWidth());
    EXPECT_EQ(list.StoredItemHeight(1), LineHeight(list) + 4) << "laid out on one line";
    list.Items().Delete(1);
    EXPECT_EQ(list.ScrollWidth(), 0);
}

TEST(HTMListBox, ExceptionsOfAnchorHandlersStayInTheMouseEvents)
{
    THTMListBox list;
    Window w({&list}, QSize(300, 200));
    list.Items().Add("<A href=\"next\">next</A>");
    list.OnAnchorClick = [](QObject*, int, const QString&) { throw Exception("no next picture"); };
    list.OnAnchorEnter = [](QObject*, int, const QString&) { throw std::runtime_error("hover failed"); };
    kvtest::Ui().ExpectMessage(mrOk, "hover failed");
    Hover(list, AnchorPoint(list, 0));
    Drain();  // a mouse move queues its box
    kvtest::Ui().ExpectMessage(mrOk, "no next picture");
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, AnchorPoint(list, 0));
    EXPECT_EQ(kvtest::Ui().Pending(), 0u);
    list.OnAnchorEnter = nullptr;
}
