#include "controls/ImageList.h"

#include <QPainter>

int TImageList::Add(const QImage& image)
{
    QImage img = image;
    if (!img.isNull() && img.size() != QSize(m_width, m_height))
        img = img.scaled(m_width, m_height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    m_images.push_back(img);
    return Count() - 1;
}

void TImageList::Draw(TCanvas& canvas, const TRect& r, int index) const
{
    if (index < 0 || index >= Count() || m_images[size_t(index)].isNull())
        return;
    canvas.WithPainter([&](QPainter& p) {
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.drawImage(r.ToQRect(), m_images[size_t(index)]);
    });
}
