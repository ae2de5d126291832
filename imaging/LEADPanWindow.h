#pragma once
// The pan window of the picture control: a small tool window showing the whole picture,
// fitted and centred, with a rectangle round the part the control shows. The user drags the
// rectangle (or presses beside it, which centres it there) and the window reports the
// rectangle's new top left in picture pixels; closing it is reported too. The control owns
// the window and tells it what to show (LEADImage_panwin.cpp).
#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <cstdint>
#include <functional>

class TLeadPanWindow : public QWidget {
public:
    // flag 1: the rectangle moved, corner is its top left in picture pixels; flag 2: the user
    // closed the window.
    using TReport = std::function<void(int flag, QPoint corner)>;

    TLeadPanWindow(QWidget* owner, TReport report);

    // The picture fitted into the window (its size decides the scale), made from the bitmap
    // generation given, and the size of the whole picture in picture pixels.
    void SetPicture(const QImage& fitted, QSize pictureSize, std::uint64_t generation);
    // The visible part (picture pixels) and the rectangle's colour.
    void SetFrame(const QRect& visible, const QColor& rectColor);
    // What the fitted picture was made from, so that the control scales the picture again only
    // when the bitmap or the window's size changed.
    std::uint64_t PictureGeneration() const { return m_generation; }
    QSize FittedSize() const { return m_fitted.size(); }
    QSize PictureSize() const { return m_pictureSize; }
    // The size the picture is fitted into: the window's client area.
    static QSize FitInto(QSize picture, QSize area);
    // Where the visible part is framed, in the window's pixels.
    QRect FrameOnWindow() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QPointF Origin() const;
    double Scale() const;
    // Reports the rectangle with its top left moved to the window point p less the grab offset.
    void MoveFrameTo(QPointF p);

    TReport m_report;
    QImage m_fitted;
    QSize m_pictureSize;
    QRect m_visible;
    QColor m_rectColor = Qt::red;
    std::uint64_t m_generation = 0;
    bool m_dragging = false;
    QPointF m_grab;  // the press point less the rectangle's top left, in picture pixels
};
