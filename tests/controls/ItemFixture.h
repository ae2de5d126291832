#pragma once
// One item text laid out by the engine with fixed text metrics (every character 6 pixels
// wide, lines 10 high) on a white picture: text is recorded, pictures and fills are drawn.
#include "platform/vcl/text/FakeTextMetrics.h"

#include "controls/HTMLRender.h"

#include <gtest/gtest.h>

class Item {
public:
    explicit Item(const QString& text, TRect rect = TRect(0, 0, 300, 200)) : image(400, 240, QImage::Format_BGR888)
    {
        image.fill(Qt::white);
        canvas.SetTarget(&image);
        canvas.Brush.Color = clWhite;
        CanvasFont(canvas).Color = clBlack;
        req.Canvas = &canvas;
        req.Metrics = &metrics;
        req.Text = text;
        req.Rect = rect;
        req.Pictures = &cache;
    }

    THTMLRenderResult Draw() { return RenderHTMLText(req); }
    THTMLRenderResult Measure()
    {
        THTMLRenderRequest r = req;
        r.MeasureOnly = true;
        return RenderHTMLText(r);
    }
    THTMLRenderResult HitTest(int x, int y)
    {
        THTMLRenderRequest r = req;
        r.HitTest = true;
        r.X = x;
        r.Y = y;
        return RenderHTMLText(r);
    }
    const DrawnText& Drawn(const QString& text) const
    {
        const DrawnText* d = metrics.Find(text);
        if (!d)
            ADD_FAILURE() << "not drawn: " << text.toStdString() << " (drawn: "
                          << metrics.Texts().join('|').toStdString() << ")";
        static const DrawnText none;
        return d ? *d : none;
    }
    QColor Pixel(int x, int y) const { return image.pixelColor(x, y); }

    FakeTextMetrics metrics;
    QImage image;
    TCanvas canvas;
    THTMLPictureCache cache;
    THTMLRenderRequest req;
};
