// The list control: dragging.
#include "platform/vcl/ListBox.h"
#include "platform/vcl/ListBoxInternal.h"

#include "platform/vcl/CanvasText.h"
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/Guard.h"
#include "platform/vcl/StringList.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyle>
#include <QTimerEvent>

#include <algorithm>
#include <numeric>
using namespace listbox_detail;

// ---- drag and drop --------------------------------------------------------------------------

void TCustomListBox::BeginDrag(bool immediate, int threshold)
{
    // From the press that started it (the cursor may have moved since).
    ::BeginDrag(this, immediate, threshold, m_pressGlobal);
}

void TCustomListBox::DoDragOver(QObject* source, int x, int y, TDragState state, bool& accept)
{
    accept = false;
    if (OnDragOver) {
        accept = true;
        OnDragOver(this, source, x, y, state, accept);
    }
}

void TCustomListBox::DoDragDrop(QObject* source, int x, int y)
{
    if (OnDragDrop)
        OnDragDrop(this, source, x, y);
}

void TCustomListBox::DoEndDrag(QObject* target, int x, int y, bool moved)
{
    m_tracking = false;
    const bool click = !moved && m_clickOnRelease;
    const int index = m_pressIndex;
    const TShiftState shift = m_pressShift;
    m_clickOnRelease = false;
    m_pressIndex = -1;
    if (click)
        SelectByMouse(index, shift);
    if (OnEndDrag)
        OnEndDrag(this, target, x, y);
}
