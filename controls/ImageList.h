#pragma once
// A list of pictures of one size, for the items' "IDX:" pictures.
#include "platform/vcl/Graphics.h"

#include <QImage>

#include <vector>

class TImageList {
public:
    explicit TImageList(int width = 16, int height = 16) : m_width(width), m_height(height) {}

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Count() const { return int(m_images.size()); }
    // Appends the picture (scaled to the list's size when it differs); returns its index.
    int Add(const QImage& image);
    void Clear() { m_images.clear(); }
    const QImage& Image(int index) const { return m_images.at(size_t(index)); }

    // Draws picture index stretched into r; nothing for an index outside the list.
    void Draw(TCanvas& canvas, const TRect& r, int index) const;
    void Draw(TCanvas& canvas, int x, int y, int index) const
    {
        Draw(canvas, Bounds(x, y, m_width, m_height), index);
    }

private:
    int m_width;
    int m_height;
    std::vector<QImage> m_images;
};
