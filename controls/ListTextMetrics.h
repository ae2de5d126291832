#pragma once
// Text of the list controls: the machine's fonts as CanvasTextMetrics measures and draws them,
// with each font resolved once and the widths of runs remembered. A list lays out the same few
// fonts and words for every item it measures and paints; resolving a font and shaping a word
// anew for each run was most of the time of a paint.
#include "platform/vcl/CanvasText.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>

#include <memory>
#include <vector>

class TListTextMetrics final : public ITextMetrics {
public:
    int TextWidth(const TFont& font, const QString& text) override;
    int LineHeight(const TFont& font) override;
    void DrawLine(TCanvas& canvas, const TFont& font, int x, int y, const QString& text, const TRect& clip,
                  TColor background) override;

private:
    struct Resolved {
        QString name;
        TFontStyles style;
        int height = 0;
        QFont font;
        QFontMetrics metrics{QFont()};
        int lineHeight = 0;
        QHash<QString, int> widths;
    };
    Resolved& Resolve(const TFont& font);

    // The fonts met, the one used last first.
    std::vector<std::unique_ptr<Resolved>> m_fonts;
};
