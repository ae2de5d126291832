#include "output/video/VideoCore.h"

#include "platform/vcl/SysUtils.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace video {

QString DotToComma(const QString& text)
{
    QString s = text;
    const qsizetype dot = s.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        s[dot] = QLatin1Char(',');
    return s;
}

double SecondsPerPicture(const QString& typed)
{
    // The comma made here is read as the decimal separator whatever the locale says.
    return ParseUserDecimal(DotToComma(typed));
}

bool UsableSeconds(const QString& typed)
{
    try {
        const double s = SecondsPerPicture(typed);
        return std::isfinite(s) && s > 0;
    } catch (const Exception&) {
        return false;
    }
}

QString MakeVideoFileName(const QString& title)
{
    static const QString toUnderscore = QStringLiteral(" '.-!$%=\"\u00A7?,\u00B4`\u20AC\u00E9\u00E1\u00FA\u00F3\u00EA\u00E2\u00FB\u00F4");
    static const QString toX = QStringLiteral("*:()\\/><");
    QString pass1 = title;
    for (QChar& c : pass1) {
        if (toUnderscore.contains(c))
            c = QLatin1Char('_');
        else if (c == QLatin1Char('&'))
            c = QLatin1Char('a');
        else if (toX.contains(c))
            c = QLatin1Char('x');
    }
    QString out;
    out.reserve(pass1.size() + 8);
    for (const QChar c : pass1) {
        switch (c.unicode()) {
        case 0xE4: out += QLatin1String("ae"); break;
        case 0xC4: out += QLatin1String("Ae"); break;
        case 0xF6: out += QLatin1String("oe"); break;
        case 0xD6: out += QLatin1String("Oe"); break;
        case 0xFC: out += QLatin1String("ue"); break;
        case 0xDC: out += QLatin1String("Ue"); break;
        case 0xDF: out += QLatin1String("ss"); break;
        default: out += c;
        }
    }
    for (QChar& c : out)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return out;
}

long long EstimateMB(TVideoKind kind, int n, double s, int frameRate, int transitionFrames)
{
    switch (kind) {
    case TVideoKind::VCD: return Round((s * 0.18 * n + n * 0.406) * 3);
    case TVideoKind::SVCD: return Round((s * 0.18 * n + n * 1.106) * 3);
    case TVideoKind::NanoVCD:
        return Round((s + 1) * 0.18 * n + frameRate * n * 0.05 + transitionFrames * n * 0.05);
    case TVideoKind::NanoSVCD:
        return Round((s + 1) * 0.18 * n + frameRate * n * 0.12 + transitionFrames * n * 0.12);
    }
    return 0;
}

long long FreeMBFromBytes(long long bytes)
{
    return Round(double(bytes) / 1048576.0);
}

long long TrackSeconds(bool mpegRoad, int pictures, double s, int jpegFrames, int frameRate)
{
    if (!mpegRoad)
        return Round(pictures * s) + 4;
    return Round(pictures * s) + Round((jpegFrames - pictures) * (1.0 / frameRate)) + 4;
}

long long HoldFrames(double s)
{
    return Round(s * 25);
}

TFrameSize FrameSizeFor(bool pal, bool svcd)
{
    if (pal)
        return svcd ? TFrameSize{576, 480} : TFrameSize{352, 288};
    return svcd ? TFrameSize{480, 480} : TFrameSize{352, 240};
}

double DisplayPixelAspect(int width, int height)
{
    return 4.0 * height / (3.0 * width);
}

TPlacement PlacePicture(int pw, int ph, int width, int height, double pixelAspect)
{
    TPlacement p;
    if (pw <= 0 || ph <= 0 || width <= 0 || height <= 0)
        return p;
    // The picture's width in frame pixels when it is to look as it does on a square grid.
    const double ew = pw / pixelAspect;
    if (ew > width + 1e-9 || ph > height) {
        if (ew * height >= double(width) * ph) {
            p.Width = width;
            p.Height = int(std::max<long long>(1, Round(width * ph / ew)));
        } else {
            p.Height = height;
            p.Width = int(std::max<long long>(1, Round(height * ew / ph)));
        }
    } else {
        p.Width = int(std::max<long long>(1, Round(ew)));
        p.Height = ph;
    }
    p.X = (width - p.Width) / 2;
    p.Y = (height - p.Height) / 2;
    return p;
}

QImage ComposeFrame(const QImage& picture, const TPlacement& at, int width, int height, const TFrameStyle& style)
{
    QImage frame(width, height, QImage::Format_RGB888);
    frame.fill(style.Background);
    QPainter p(&frame);
    if (!picture.isNull())
        p.drawImage(QPoint(at.X, at.Y), picture);
    if (style.DrawText) {
        QFont font(QStringLiteral("DejaVu Sans"));
        // Points at 96 pixels per inch, so that the band does not depend on the screen.
        font.setPixelSize(int(Round(style.FontPoints * 96.0 / 72.0)));
        p.setFont(font);
        const QFontMetrics fm(font);
        const int th = fm.height();
        const int tw = fm.horizontalAdvance(style.Text);
        const int top = height - th - style.TextOffset;
        p.fillRect(QRect(0, top, width, th), style.Background);
        p.setPen(style.TextColor);
        p.drawText(QRect((width - tw) / 2, top, tw, th), Qt::AlignLeft | Qt::AlignTop, style.Text);
    }
    p.end();
    return frame;
}

QImage LoadPictureForFrame(const QString& path, int width, int height, double pixelAspect, TPlacement& at,
                           QString* error)
{
    // The picture as it is shown: turned by its Exif orientation, as the kernel loads it.
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (!size.isValid()) {
        if (error)
            *error = reader.errorString();
        return {};
    }
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    const QSize shown = turned ? size.transposed() : size;
    at = PlacePicture(shown.width(), shown.height(), width, height, pixelAspect);
    const QSize target(at.Width, at.Height);
    // The scaled decode happens before the turn, in the stored orientation.
    const QSize decoded = turned ? target.transposed() : target;
    if (decoded != size && reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(decoded);
    QImage img = reader.read();
    if (img.isNull()) {
        if (error)
            *error = reader.errorString();
        return {};
    }
    if (img.size() != target)
        img = img.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return img.convertToFormat(QImage::Format_RGB888);
}

namespace {

// n and k of a frame file name; k = -1 for the key frame. False for other names.
bool ParseFrameName(const QString& path, long long& n, int& k)
{
    const QString name = QFileInfo(path).fileName();
    if (!name.startsWith(QLatin1String("inp"), Qt::CaseInsensitive) ||
        !name.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive))
        return false;
    QString stem = name.mid(3, name.size() - 7);
    const bool key = stem.endsWith(QLatin1String("_Key"), Qt::CaseInsensitive);
    if (key)
        stem.chop(4);
    if (stem.isEmpty() || stem.size() > 15)
        return false;
    for (const QChar c : stem)
        if (!c.isDigit() || c.unicode() > '9')
            return false;
    if (key) {
        n = stem.toLongLong();
        k = -1;
        return true;
    }
    if (stem.size() < 4)
        return false;
    n = stem.left(stem.size() - 3).toLongLong();
    k = stem.right(3).toInt();
    return true;
}

} // namespace

bool FrameFileLess(const QString& a, const QString& b)
{
    long long na = 0, nb = 0;
    int ka = 0, kb = 0;
    const bool fa = ParseFrameName(a, na, ka);
    const bool fb = ParseFrameName(b, nb, kb);
    if (fa != fb)
        return fa;
    if (!fa)
        return a < b;
    if (na != nb)
        return na < nb;
    return ka < kb;
}

QString SequenceFileName(int index)
{
    return QStringLiteral("Test_") + QString::number(index).rightJustified(4, QLatin1Char('0')) +
           QStringLiteral(".jpg");
}

} // namespace video
