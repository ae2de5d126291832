#pragma once
// Text metrics that do not depend on the machine's fonts: every character is CharWidth
// pixels wide and every line LineHeight high, whatever the font. Drawing records the call
// (and paints nothing), so tests read what would have been drawn where, and in which font.
#include "platform/vcl/CanvasText.h"

#include <QStringList>

#include <vector>

struct DrawnText {
    QString text;
    int x = 0, y = 0;
    TRect clip;
    TFont font;
    TColor background = clNone;
};

class FakeTextMetrics : public ITextMetrics {
public:
    explicit FakeTextMetrics(int charWidth = 6, int lineHeight = 10) : CharWidth(charWidth), Height(lineHeight) {}

    int TextWidth(const TFont&, const QString& text) override { return CharWidth * int(text.size()); }
    int LineHeight(const TFont&) override { return Height; }
    void DrawLine(TCanvas&, const TFont& font, int x, int y, const QString& text, const TRect& clip,
                  TColor background) override
    {
        Calls.push_back(DrawnText{text, x, y, clip, font, background});
    }

    // The texts drawn, in order.
    QStringList Texts() const
    {
        QStringList out;
        for (const DrawnText& d : Calls)
            out << d.text;
        return out;
    }
    // The first call that drew text, or null.
    const DrawnText* Find(const QString& text) const
    {
        for (const DrawnText& d : Calls)
            if (d.text == text)
                return &d;
        return nullptr;
    }

    int CharWidth;
    int Height;
    std::vector<DrawnText> Calls;
};
