#include "editing/draw/Image.h"

#include "platform/vcl/Guard.h"

#include <QPainter>

TImage::TImage(QWidget* parent) : QWidget(parent) {}

TImage::~TImage() = default;

void TImage::SetPicture(const TBitmap& bitmap)
{
    m_picture = bitmap;
    Changed();
}

void TImage::ClearPicture()
{
    m_picture.SetSize(0, 0);
    Changed();
}

void TImage::Changed()
{
    if (m_autoSize && !m_picture.Empty())
        resize(m_picture.Width(), m_picture.Height());
    update();
}

void TImage::setAutoSize(bool on)
{
    m_autoSize = on;
    Changed();
}

void TImage::setCenter(bool on)
{
    m_center = on;
    update();
}

void TImage::setStretch(bool on)
{
    m_stretch = on;
    update();
}

void TImage::paintEvent(QPaintEvent*)
{
    Guard(
        [this] {
            if (m_picture.Empty())
                return;
            QPainter p(this);
            const QImage& img = m_picture.Image();
            if (m_stretch) {
                p.drawImage(rect(), img);
                return;
            }
            QPoint at(0, 0);
            if (m_center)
                at = QPoint((width() - img.width()) / 2, (height() - img.height()) / 2);
            p.drawImage(at, img);
        },
        TGuardMode::Queue);
}
