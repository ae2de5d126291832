#include "player/PlayerFrame.h"

#include "platform/imagelib/OwnedBitmap.h"
#include "platform/imagelib/imagelib.h"

#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

int RoundEven(double v) { return int(std::nearbyint(v)); }

QFont BandFont(int screenHeight)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(FrameFontPixelSize(screenHeight));
    return font;
}

} // namespace

QColor ColorOfTColor(int color)
{
    const auto c = std::uint32_t(color);
    return QColor(int(c & 0xff), int((c >> 8) & 0xff), int((c >> 16) & 0xff));
}

QRect FitRect(QSize pictureSize, QSize screenSize)
{
    if (pictureSize.isEmpty() || screenSize.isEmpty())
        return QRect();
    const double scale = std::min(double(screenSize.width()) / pictureSize.width(),
                                  double(screenSize.height()) / pictureSize.height());
    const int w = std::clamp(RoundEven(pictureSize.width() * scale), 1, screenSize.width());
    const int h = std::clamp(RoundEven(pictureSize.height() * scale), 1, screenSize.height());
    return QRect((screenSize.width() - w) / 2, (screenSize.height() - h) / 2, w, h);
}

QImage DecodeForScreen(const QString& path, QSize screenSize, bool quick)
{
    const QByteArray name = QFile::encodeName(path);
    LLoadOptions options;
    L_GetDefaultLoadFileOption(&options);
    options.PageNumber = 1;
    LFileInfo info{};
    if (L_FileInfo(name.constData(), &info, 1, &options) != LE_SUCCESS || info.Width <= 0 || info.Height <= 0)
        return QImage();
    const QRect place = FitRect(QSize(info.Width, info.Height), screenSize);
    if (place.isEmpty())
        return QImage();
    options.DecodeMinWidth = quick ? (place.width() + 1) / 2 : place.width();
    options.DecodeMinHeight = quick ? (place.height() + 1) / 2 : place.height();
    OwnedBitmap picture;
    LBitmap& b = picture.bitmap;
    if (L_LoadFile(name.constData(), &b, 0, LORDER_BGR_OR_GRAY, LLF_ALLOCATE | LLF_STORE, nullptr, nullptr,
                   &options, nullptr) != LE_SUCCESS)
        return QImage();
    if ((b.BitsPerPixel != 24 || b.ViewPerspective != LVP_TOP_LEFT) && L_ExpandBitmapTo24(&b) != LE_SUCCESS)
        return QImage();
    QImage out(b.Width, b.Height, QImage::Format_RGB32);
    for (int y = 0; y < b.Height; ++y) {
        const std::uint8_t* src = b.Row(y);
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < b.Width; ++x)
            dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]);
    }
    // Qt's smooth scaling averages the covered pixels and runs on several threads.
    if (out.size() != place.size())
        out = out.scaled(place.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return out;
}

QString FrameTextLine(const TShowPicture& picture, const TPlayerSettings& settings)
{
    QStringList parts;
    if (settings.FileNameVisible)
        parts.append(picture.Name);
    if (settings.PictureTextVisible && !picture.Text.isEmpty())
        parts.append(picture.Text);
    return parts.join(QStringLiteral("  –  "));
}

bool FrameHasTextBand(const TPlayerSettings& settings)
{
    return settings.PictureTextVisible || settings.FileNameVisible;
}

int FrameFontPixelSize(int screenHeight)
{
    return std::max(12, screenHeight / 30);
}

QRect TextBandRect(const TPlayerSettings& settings, QSize screenSize)
{
    const int th = QFontMetrics(BandFont(screenSize.height())).height();
    const int o = settings.TextOffset;
    return QRect(0, screenSize.height() - th - o, screenSize.width(), th);
}

QImage ComposeFrame(const QImage& fitted, const TShowPicture& picture, const TPlayerSettings& settings,
                    QSize screenSize)
{
    QImage frame(screenSize, QImage::Format_RGB32);
    const QColor background = ColorOfTColor(settings.BKGColor);
    frame.fill(background);
    QPainter painter(&frame);
    if (!fitted.isNull()) {
        const QRect place = FitRect(fitted.size(), screenSize);
        painter.drawImage(place.topLeft(), fitted);
    }
    // The band covers the picture only when there is a text to show in it.
    const QString text = FrameHasTextBand(settings) ? FrameTextLine(picture, settings) : QString();
    if (!text.isEmpty()) {
        const QRect band = TextBandRect(settings, screenSize);
        painter.fillRect(band, background);
        painter.setFont(BandFont(screenSize.height()));
        painter.setPen(ColorOfTColor(settings.TextColor));
        painter.drawText(band, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, text);
    }
    return frame;
}
