// TLEADImage: the pan window (TLeadPanWindow, a tool window of our own) and the magnifying
// glass (a loupe drawn over the window by the paint event, following the mouse).
#include "imaging/LEADImage.h"

#include "imaging/LEADPanWindow.h"
#include "imaging/LEADScale.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Guard.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

QColor ColorOf(TColor c) { return ToQColor(ColorToRGB(c)); }

// The display flags' paint scaling bits: 512 resample, 1024 bicubic.
constexpr std::uint32_t kPanScalingBits = 512 | 1024;

} // namespace

// ---- the window ------------------------------------------------------------------------------------

TLeadPanWindow::TLeadPanWindow(QWidget* owner, TReport report)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), m_report(std::move(report))
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

QSize TLeadPanWindow::FitInto(QSize picture, QSize area)
{
    if (picture.isEmpty() || area.isEmpty())
        return QSize();
    const double scale = std::min(double(area.width()) / picture.width(), double(area.height()) / picture.height());
    return QSize(std::max(1, int(std::lround(picture.width() * scale))),
                 std::max(1, int(std::lround(picture.height() * scale))));
}

void TLeadPanWindow::SetPicture(const QImage& fitted, QSize pictureSize, std::uint64_t generation)
{
    m_fitted = fitted;
    m_pictureSize = pictureSize;
    m_generation = generation;
    update();
}

void TLeadPanWindow::SetFrame(const QRect& visible, const QColor& rectColor)
{
    if (visible == m_visible && rectColor == m_rectColor)
        return;
    m_visible = visible;
    m_rectColor = rectColor;
    update();
}

double TLeadPanWindow::Scale() const
{
    return m_pictureSize.width() > 0 ? double(m_fitted.width()) / m_pictureSize.width() : 0.0;
}

QPointF TLeadPanWindow::Origin() const
{
    return QPointF((width() - m_fitted.width()) / 2, (height() - m_fitted.height()) / 2);
}

QRect TLeadPanWindow::FrameOnWindow() const
{
    const double s = Scale();
    const QPointF o = Origin();
    const QPoint topLeft(int(std::floor(o.x() + m_visible.left() * s)), int(std::floor(o.y() + m_visible.top() * s)));
    const QPoint bottomRight(int(std::ceil(o.x() + (m_visible.left() + m_visible.width()) * s)) - 1,
                             int(std::ceil(o.y() + (m_visible.top() + m_visible.height()) * s)) - 1);
    return QRect(topLeft, bottomRight);
}

void TLeadPanWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), palette().color(QPalette::Window));
    if (m_fitted.isNull())
        return;
    p.drawImage(Origin(), m_fitted);
    if (m_visible.isEmpty())
        return;
    p.setPen(QPen(m_rectColor, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(FrameOnWindow());
}

void TLeadPanWindow::MoveFrameTo(QPointF p)
{
    const double s = Scale();
    if (s <= 0 || m_visible.isEmpty())
        return;
    const QPointF corner = (p - Origin()) / s - m_grab;
    const int x = std::clamp(int(std::lround(corner.x())), 0, std::max(0, m_pictureSize.width() - m_visible.width()));
    const int y = std::clamp(int(std::lround(corner.y())), 0, std::max(0, m_pictureSize.height() - m_visible.height()));
    if (x == m_visible.left() && y == m_visible.top())
        return;
    m_visible.moveTo(x, y);
    update();
    if (m_report)
        m_report(1, QPoint(x, y));
}

void TLeadPanWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_visible.isEmpty())
        return;
    const double s = Scale();
    if (s <= 0)
        return;
    const QPointF p = event->position();
    m_dragging = true;
    if (FrameOnWindow().contains(p.toPoint())) {
        m_grab = (p - Origin()) / s - QPointF(m_visible.topLeft());
    } else {
        // Beside the rectangle: its centre goes there, and the drag goes on from it.
        m_grab = QPointF(m_visible.width() / 2.0, m_visible.height() / 2.0);
        MoveFrameTo(p);
    }
}

void TLeadPanWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging)
        MoveFrameTo(event->position());
}

void TLeadPanWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}

void TLeadPanWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (m_report)
        m_report(2, QPoint());
}

// ---- the control's pan window ----------------------------------------------------------------------

QWidget* TLEADImage::PanWindowHandle() const { return m_panWindow; }

QRect TLEADImage::VisiblePictureRect() const
{
    const TLeadGeometry& g = m_geom;
    if (!m_allocated || g.Dst.Width <= 0 || g.Dst.Height <= 0)
        return QRect();
    const auto map = [](int client, int dst, int dstExtent, int src, int srcExtent) {
        return src + double(client - dst) * srcExtent / dstExtent;
    };
    const double x0 = std::max(0.0, map(0, g.Dst.Left, g.Dst.Width, g.Src.Left, g.Src.Width));
    const double y0 = std::max(0.0, map(0, g.Dst.Top, g.Dst.Height, g.Src.Top, g.Src.Height));
    const double x1 = std::min(double(m_infoWidth), map(g.ViewWidth, g.Dst.Left, g.Dst.Width, g.Src.Left, g.Src.Width));
    const double y1 = std::min(double(m_infoHeight), map(g.ViewHeight, g.Dst.Top, g.Dst.Height, g.Src.Top, g.Src.Height));
    if (x1 <= x0 || y1 <= y0)
        return QRect();
    const int left = int(std::lround(x0)), top = int(std::lround(y0));
    return QRect(left, top, std::max(1, int(std::lround(x1)) - left), std::max(1, int(std::lround(y1)) - top));
}

int TLEADImage::ShowPanWindow(bool Show)
{
    QWidget* focus = QApplication::focusWidget();
    m_panWindowWanted = Show;
    int code = 1;
    if (!Show) {
        DestroyPanWindow();
    } else if (!m_panWindow && m_allocated) {
        m_panWindow = new TLeadPanWindow(this, [this](int flag, QPoint corner) {
            Guard([&] { PanWindowReport(flag, corner); });
        });
        Qt::WindowFlags flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (m_panWinSysMenu)
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        m_panWindow->setWindowFlags(flags);
        m_panWindow->setGeometry(m_panWinX, m_panWinY, m_panWinWidth, m_panWinHeight);
        if (!m_panWinIcon.isNull())
            m_panWindow->setWindowIcon(m_panWinIcon);
        if (m_panWinPointer != 0)
            m_panWindow->setCursor(CursorShapeOf(m_panWinPointer));
        m_panWindow->show();
        PanWindowReport(0, QPoint());
        code = UpdatePanWindow();
    }
    if (focus && focus != QApplication::focusWidget())
        focus->setFocus();
    return code;
}

void TLEADImage::DestroyPanWindow()
{
    if (!m_panWindow)
        return;
    TLeadPanWindow* w = m_panWindow;
    m_panWindow = nullptr;
    delete w;
}

int TLEADImage::UpdatePanWindow()
{
    if (!m_panWindow || !m_allocated || !m_panWindowWanted)
        return 1;
    m_panWindow->setWindowTitle(m_panWinTitle);
    const QSize picture(m_infoWidth, m_infoHeight);
    const QSize fitted = TLeadPanWindow::FitInto(picture, m_panWindow->size());
    const std::uint64_t generation = m_bitmap.Generation();
    if (fitted != m_panWindow->FittedSize() || generation != m_panWindow->PictureGeneration() ||
        picture != m_panWindow->PictureSize()) {
        const bool smooth = (m_panWinFlags & kPanScalingBits) != 0;
        const QImage image =
            fitted.isEmpty() ? QImage()
                             : LeadScalePicture(m_bitmap, TLeadScaleRequest{TLeadBox(0, 0, picture.width(), picture.height()),
                                                                            fitted.width(), fitted.height(),
                                                                            QRect(QPoint(0, 0), fitted), smooth});
        m_panWindow->SetPicture(image, picture, generation);
    }
    m_panWindow->SetFrame(VisiblePictureRect(), ColorOf(m_panWinRectColor));
    return 1;
}

void TLEADImage::PanWindowReport(int flag, QPoint corner)
{
    QWidget* const window = m_panWindow;
    if (flag == 1) {
        m_scrolling = true;
        const int h = std::min(LeadScaledExtent(corner.x(), m_geom.ZoomX), m_geom.HScrollMax);
        const int v = std::min(LeadScaledExtent(corner.y(), m_geom.ZoomY), m_geom.VScrollMax);
        const int dx = h + m_geom.Dst.Left;
        const int dy = v + m_geom.Dst.Top;
        if (m_centerImage && (m_geom.Narrower() || m_geom.Shorter()))
            CenterDstRect();
        PanMoveHook();
        if (m_autoRepaint)
            ScrollBy(dx, dy);
        m_scrolling = false;
    } else if (flag == 2) {
        m_panWindow = nullptr;
        m_panWindowWanted = false;
        if (window)
            window->deleteLater();
    }
    if (flag == 1) {
        UpdatePanWindow();
        UpdateMagGlass();
    }
    if (OnPanWin)
        OnPanWin(this, window, flag);
}

// ---- pan window properties -----------------------------------------------------------------------

namespace {

// Clears the bits of mask in flags and sets those of value.
std::uint32_t WithBits(std::uint32_t flags, std::uint32_t mask, std::uint32_t value) { return (flags & ~mask) | value; }

} // namespace

void TLEADImage::ReportPanWindowWrite(const char* property)
{
    // The pan window updates cannot fail here; a failure would name the property.
    ReportResult(QString::fromLatin1(property), UpdatePanWindow());
}

void TLEADImage::PlacePanWindow()
{
    if (m_panWindow) {
        m_panWindow->setGeometry(m_panWinX, m_panWinY, m_panWinWidth, m_panWinHeight);
        if (m_panWindowWanted)
            m_panWindow->update();
    }
}

void TLEADImage::RefreshPanWinPlace()
{
    if (m_panWindow && m_panWindowWanted) {
        const QRect g = m_panWindow->geometry();
        m_panWinX = g.x();
        m_panWinY = g.y();
        m_panWinWidth = g.width();
        m_panWinHeight = g.height();
    }
    SetLastError(1);
}

int TLEADImage::PanWinX()
{
    RefreshPanWinPlace();
    return m_panWinX;
}

int TLEADImage::PanWinY()
{
    RefreshPanWinPlace();
    return m_panWinY;
}

int TLEADImage::PanWinWidth()
{
    RefreshPanWinPlace();
    return m_panWinWidth;
}

int TLEADImage::PanWinHeight()
{
    RefreshPanWinPlace();
    return m_panWinHeight;
}

#define KV_PANWIN_PLACE(Name, member)         \
    void TLEADImage::set##Name(int v)         \
    {                                         \
        member = v;                           \
        if (!m_panWindow) {                   \
            SetLastError(1);                  \
            return;                           \
        }                                     \
        PlacePanWindow();                     \
        ReportPanWindowWrite(#Name);          \
    }
KV_PANWIN_PLACE(PanWinX, m_panWinX)
KV_PANWIN_PLACE(PanWinY, m_panWinY)
KV_PANWIN_PLACE(PanWinWidth, m_panWinWidth)
KV_PANWIN_PLACE(PanWinHeight, m_panWinHeight)
#undef KV_PANWIN_PLACE

void TLEADImage::setPanWinTitle(const QString& title)
{
    m_panWinTitle = title;
    ReportPanWindowWrite("PanWinTitle");
}

void TLEADImage::setPanWinRectColor(TColor color)
{
    m_panWinRectColor = color;
    ReportPanWindowWrite("PanWinRectColor");
}

void TLEADImage::setPanWinPaintPalette(TPaletteType value)
{
    m_panWinPaintPalette = value;
    static constexpr std::uint32_t kBits[] = {0, 128, 256, 128 | 256};
    m_panWinFlags = WithBits(m_panWinFlags, 128 | 256, kBits[std::clamp(int(value), 0, 3)]);
    ReportPanWindowWrite("PanWinPaintPalette");
}

void TLEADImage::setPanWinPaintDither(TPaintDither value)
{
    m_panWinPaintDither = value;
    m_panWinFlags = WithBits(m_panWinFlags, 1, value == pdOrdered ? 1 : 0);
    ReportPanWindowWrite("PanWinPaintDither");
}

void TLEADImage::setPanWinBitonalScaling(TBitonalScaling value)
{
    m_panWinBitonalScaling = value;
    static constexpr std::uint32_t kBits[] = {0, 64, 16};
    m_panWinFlags = WithBits(m_panWinFlags, 64 | 16, kBits[std::clamp(int(value), 0, 2)]);
    ReportPanWindowWrite("PanWinBitonalScaling");
}

void TLEADImage::setPanWinPaintScaling(TPaintScaling value)
{
    m_panWinPaintScaling = value;
    static constexpr std::uint32_t kBits[] = {0, 512, 1024};
    m_panWinFlags = WithBits(m_panWinFlags, kPanScalingBits, kBits[std::clamp(int(value), 0, 2)]);
    ReportPanWindowWrite("PanWinPaintScaling");
}

void TLEADImage::setPanWinPointer(int cursor)
{
    m_panWinPointer = cursor;
    if (m_panWindow) {
        if (cursor == 0)
            m_panWindow->unsetCursor();
        else
            m_panWindow->setCursor(CursorShapeOf(cursor));
    }
    SetLastError(1);
}

void TLEADImage::setPanWinIcon(const QIcon& icon)
{
    m_panWinIcon = icon;
    if (m_panWindow)
        m_panWindow->setWindowIcon(icon);
    SetLastError(1);
}

// ---- the magnifying glass --------------------------------------------------------------------------

int TLEADImage::StartMagGlass(int Width, int Height, int ZoomFactor, TColor PenColor, TColor BackColor, bool Ellipse,
                              int BorderSize, bool Border3D, int CrosshairStyle, bool IgnoreRegion, bool Center)
{
    if (!m_allocated)
        RaiseNotAllocated(QStringLiteral("StartMagGlass"));
    if (m_magGlassActive)
        return ReportResult(QStringLiteral("StartMagGlass"), -13);
    m_magGlass = MagGlassArgs{std::max(1, Width), std::max(1, Height), std::max(1, ZoomFactor), PenColor, BackColor,
                              Ellipse, std::max(0, BorderSize), Border3D, CrosshairStyle, IgnoreRegion, Center};
    m_magGlassActive = true;
    const QPoint at = viewport()->mapFromGlobal(QCursor::pos());
    m_magGlassAt = viewport()->rect().contains(at) ? at : QPoint(-1, -1);
    viewport()->update();
    return ReportResult(QStringLiteral("StartMagGlass"), 1);
}

int TLEADImage::StopMagGlass()
{
    SetLastError(0);
    if (m_magGlassActive) {
        m_magGlassActive = false;
        m_magGlassAt = QPoint(-1, -1);
        viewport()->update();
        SetLastError(1);
    }
    return ReportResult(QStringLiteral("StopMagGlass"), LastError());
}

void TLEADImage::UpdateMagGlass()
{
    if (m_magGlassActive)
        viewport()->update();
}

void TLEADImage::PaintMagGlass(QPainter& painter)
{
    if (!m_magGlassActive || !m_allocated || m_magGlassAt.x() < 0)
        return;
    int vx = 0, vy = 0;
    const QPoint at = m_magGlassAt;
    if (!m_geom.ClientToView(at.x(), at.y(), FrameWidth(), vx, vy))
        return;
    const QRect picture = QRect(m_geom.DstRect.Left, m_geom.DstRect.Top, m_geom.DstRect.Width(), m_geom.DstRect.Height());
    if (!picture.contains(at))
        return;  // the loupe shows over the picture only
    const MagGlassArgs& a = m_magGlass;
    const double z = a.ZoomFactor / 100.0;
    const QRect loupe = a.Center ? QRect(at.x() - a.Width / 2, at.y() - a.Height / 2, a.Width, a.Height)
                                 : QRect(at.x(), at.y(), a.Width, a.Height);
    const QPointF centre = QRectF(loupe).center();
    // Picture pixel i lands at centre + (i - v - 0.5) x z: the pixel under the pointer fills
    // the loupe's middle.
    const int halfW = int(std::ceil(a.Width / (2 * z))) + 1;
    const int halfH = int(std::ceil(a.Height / (2 * z))) + 1;
    const QRect wanted = QRect(vx - halfW, vy - halfH, 2 * halfW + 1, 2 * halfH + 1) & QRect(0, 0, m_infoWidth, m_infoHeight);

    QPainterPath shape;
    if (a.Ellipse)
        shape.addEllipse(QRectF(loupe));
    else
        shape.addRect(QRectF(loupe));
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setClipPath(shape);
    painter.fillRect(loupe, ColorOf(a.BackColor));
    if (!wanted.isEmpty()) {
        const QImage piece = LeadScalePicture(
            m_bitmap, TLeadScaleRequest{TLeadBox(wanted.x(), wanted.y(), wanted.width(), wanted.height()), wanted.width(),
                                        wanted.height(), QRect(0, 0, wanted.width(), wanted.height()), false});
        const QRectF target(centre.x() + (wanted.x() - vx - 0.5) * z, centre.y() + (wanted.y() - vy - 0.5) * z,
                            wanted.width() * z, wanted.height() * z);
        painter.drawImage(target, piece);
    }
    if (a.CrosshairStyle != 0) {
        painter.setPen(QPen(ColorOf(a.PenColor), 1));
        painter.drawLine(QPointF(loupe.left(), centre.y()), QPointF(loupe.right(), centre.y()));
        painter.drawLine(QPointF(centre.x(), loupe.top()), QPointF(centre.x(), loupe.bottom()));
    }
    painter.setClipping(false);
    if (a.BorderSize > 0) {
        const double inset = a.BorderSize / 2.0;
        const QRectF edge = QRectF(loupe).adjusted(inset, inset, -inset, -inset);
        const auto stroke = [&](const QColor& color) {
            painter.setPen(QPen(color, a.BorderSize));
            painter.setBrush(Qt::NoBrush);
            if (a.Ellipse)
                painter.drawEllipse(edge);
            else
                painter.drawRect(edge);
        };
        stroke(ColorOf(a.PenColor));
        if (a.Border3D) {
            // A lighter ring inside the border: raised.
            const QRectF inner = edge.adjusted(a.BorderSize, a.BorderSize, -a.BorderSize, -a.BorderSize);
            painter.setPen(QPen(ColorOf(a.PenColor).lighter(160), 1));
            if (a.Ellipse)
                painter.drawEllipse(inner);
            else
                painter.drawRect(inner);
        }
    }
    painter.restore();
}

void TLEADImage::PaintControlOverlays(QPainter& painter)
{
    if (m_zoomOutlineShown) {
        // Inverted, so that it shows on any picture.
        const TRect& r = m_zoomOutline;
        painter.save();
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(r.Left, r.Top, r.Width() - 1, r.Height() - 1));
        painter.restore();
    }
    PaintMagGlass(painter);
}
