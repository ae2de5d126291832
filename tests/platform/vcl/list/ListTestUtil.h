#pragma once
// Lists in a shown window, driven with real mouse and key events.
#include "platform/vcl/ListBox.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace listtest {

// A window with the given lists side by side, each size wide and high, shown. The lists
// stay the caller's: they leave the window before it goes.
class Window {
public:
    explicit Window(std::initializer_list<TCustomListBox*> lists, QSize size = QSize(200, 160))
        : m_lists(lists.begin(), lists.end())
    {
        window = std::make_unique<QWidget>();
        window->setWindowFlag(Qt::FramelessWindowHint);
        int x = 0;
        for (TCustomListBox* l : lists) {
            l->setParent(window.get());
            l->setGeometry(x, 0, size.width(), size.height());
            x += size.width() + 20;
        }
        window->resize(x, size.height());
        window->move(40, 40);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QCoreApplication::processEvents();
    }
    ~Window()
    {
        for (const QPointer<TCustomListBox>& l : m_lists)
            if (l)
                l->setParent(nullptr);
    }
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    std::unique_ptr<QWidget> window;

private:
    std::vector<QPointer<TCustomListBox>> m_lists;
};

// The middle of an item, 20 pixels from its left edge.
inline QPoint ItemPoint(const TCustomListBox& list, int index, int dx = 20)
{
    const TRect r = list.ItemRect(index);
    return QPoint(r.Left + dx, (r.Top + r.Bottom) / 2);
}

inline void Press(TCustomListBox& list, QPoint p, Qt::KeyboardModifiers mods = {})
{
    QTest::mousePress(list.viewport(), Qt::LeftButton, mods, p);
}
inline void Release(TCustomListBox& list, QPoint p, Qt::KeyboardModifiers mods = {})
{
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, mods, p);
}
inline void Click(TCustomListBox& list, int index, Qt::KeyboardModifiers mods = {})
{
    QTest::mouseClick(list.viewport(), Qt::LeftButton, mods, ItemPoint(list, index));
}
// A move with the left button held (after Press).
inline void Drag(TCustomListBox& list, QPoint p) { QTest::mouseMove(list.viewport(), p); }
// A move without a button, sent to the list's client area.
inline void Hover(TCustomListBox& list, QPoint p)
{
    QWidget* w = list.viewport();
    QMouseEvent e(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
inline void Key(TCustomListBox& list, Qt::Key key, Qt::KeyboardModifiers mods = {})
{
    QTest::keyClick(&list, key, mods);
}
inline void Type(TCustomListBox& list, const QString& text)
{
    for (QChar c : text)
        QTest::keyClick(&list, c.toLatin1());
}

inline void Drain()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace listtest
