#include "imaging/ThumbnailMaker.h"

#include "platform/imagelib/OwnedBitmap.h"
#include "platform/imagelib/imagelib.h"

#include <QFile>

#include <algorithm>
#include <cmath>

namespace {

LColor Plain(std::uint32_t color) { return LColor(color) & 0x00ffffffu; }

void WhiteSquare(LBitmap& bitmap, int left, int top)
{
    std::uint8_t* bits = bitmap.BeginWrite();
    for (int y = std::max(0, top); y < std::min(top + 2, bitmap.Height); ++y) {
        std::uint8_t* row = bitmap.WriteRow(bits, y);
        for (int x = std::max(0, left); x < std::min(left + 2, bitmap.Width); ++x)
            std::fill_n(row + 3 * x, 3, std::uint8_t(255));
    }
}

} // namespace

bool DrawThumbnailFrame(LBitmap& bitmap, const ThumbnailFrame& frame)
{
    // The frame is drawn over a copy of the picture itself, as its background.
    OwnedBitmap background;
    if (L_CopyBitmap(&background.bitmap, &bitmap) != LE_SUCCESS)
        return false;
    LEfxSurface surface;
    if (L_EfxSurfaceOfBitmap(&bitmap, &surface) != LE_SUCCESS)
        return false;
    const auto band = [](int style) { return (style >= 0 && style <= 2) ? style : -1; };
    LEfx3dShape shape;
    shape.Shape = std::uint32_t(frame.shape);
    shape.Rect = LRect{0, 0, bitmap.ViewWidth(), bitmap.ViewHeight()};
    shape.PatternBackColor = Plain(frame.patternBackColor);
    shape.PatternForeColor = Plain(frame.patternForeColor);
    shape.PatternStyle = (frame.patternStyle >= 0 && frame.patternStyle <= 7) ? frame.patternStyle : 0;
    shape.BackgroundRect = LRect{0, 0, 0, 0};
    shape.BackgroundStyle = (frame.backgroundStyle >= 0 && frame.backgroundStyle <= 4) ? frame.backgroundStyle : -1;
    shape.Background = &background.bitmap;
    shape.BorderColor = Plain(frame.borderColor);
    shape.BorderStyle = (frame.borderStyle >= 0 && frame.borderStyle <= 5) ? frame.borderStyle : 0;
    shape.BorderThickness = frame.borderThickness;
    shape.InnerHiliteColor = Plain(frame.innerHiliteColor);
    shape.InnerShadowColor = Plain(frame.innerShadowColor);
    shape.InnerStyle = band(frame.innerStyle);
    shape.InnerThickness = frame.innerThickness;
    shape.OuterHiliteColor = Plain(frame.outerHiliteColor);
    shape.OuterShadowColor = Plain(frame.outerShadowColor);
    shape.OuterStyle = band(frame.outerStyle);
    shape.OuterThickness = frame.outerThickness;
    shape.ShadowColor = Plain(frame.shadowColor);
    shape.ShadowXDepth = frame.shadowXDepth;
    shape.ShadowYDepth = frame.shadowYDepth;
    return L_EfxDraw3dShape(&surface, &shape) == LE_SUCCESS;
}

bool MakeThumbnailFile(const QString& file, const QString& target, int height, const ThumbnailFrame& frame,
                       bool* readable)
{
    if (readable)
        *readable = false;
    if (height <= 0)
        return false;
    const QByteArray name = QFile::encodeName(file);
    LLoadOptions options;
    L_GetDefaultLoadFileOption(&options);
    options.PageNumber = 1;
    options.Passes = 0;
    options.DecodeMinWidth = 0;
    // Decoded at the smallest scale that still gives twice the height: enough pixels for a
    // clean resize.
    options.DecodeMinHeight = height * 2;
    LFileInfo info{};
    if (L_FileInfo(name.constData(), &info, 1, &options) != LE_SUCCESS || info.Height <= 0)
        return false;
    OwnedBitmap picture;
    if (L_LoadFile(name.constData(), &picture.bitmap, 0, LORDER_BGR_OR_GRAY, LLF_ALLOCATE | LLF_STORE, nullptr,
                   nullptr, &options, nullptr) != LE_SUCCESS)
        return false;
    if (readable)
        *readable = true;
    LBitmap& b = picture.bitmap;
    const int width = std::max(1, int(std::nearbyint(double(height) * info.Width / info.Height)));
    if (L_SizeBitmap(&b, width, height, 4) != LE_SUCCESS)
        return false;
    if ((b.BitsPerPixel != 24 || b.ViewPerspective != LVP_TOP_LEFT) && L_ExpandBitmapTo24(&b) != LE_SUCCESS)
        return false;
    if (!DrawThumbnailFrame(b, frame))
        return false;
    WhiteSquare(b, 0, b.Height - 2);
    WhiteSquare(b, b.Width - 2, 0);

    LSaveOptions save;
    L_GetDefaultSaveFileOption(&save);
    save.PageNumber = 1;
    save.Passes = 0;
    save.Flags &= ~(LSO_BACKGROUND | LSO_PALETTE | LSO_LOOP);
    save.CanvasWidth = info.CanvasWidth;
    save.CanvasHeight = info.CanvasHeight;
    return L_SaveBitmap(QFile::encodeName(target).constData(), &b, 23, 24, 2, &save) == LE_SUCCESS;
}
