#include "controls/HTMLDrawing.h"

#include "platform/vcl/SysUtils.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QMimeDatabase>
#include <QPainter>

#include <cmath>

void FillGradient(TCanvas& canvas, TColor from, TColor to, bool horizontal, const TRect& r, int steps,
                  TColor border)
{
    if (steps < 1)
        steps = 1;
    const TBrush brush = canvas.Brush;
    const TPen pen = canvas.Pen;
    const TColor a = ColorToRGB(from), b = ColorToRGB(to);
    const double stepR = double(GetRValue(b) - GetRValue(a)) / steps;
    const double stepG = double(GetGValue(b) - GetGValue(a)) / steps;
    const double stepB = double(GetBValue(b) - GetBValue(a)) / steps;
    const double band = double(horizontal ? r.Width() : r.Height()) / steps;
    const int bandSize = int(Trunc(band)) + 1;
    canvas.Brush.Style = bsSolid;
    for (int i = 0; i < steps; ++i) {
        const TColor c = RGB(GetRValue(a) + int(Round(i * stepR)), GetGValue(a) + int(Round(i * stepG)),
                             GetBValue(a) + int(Round(i * stepB)));
        canvas.Brush.Color = c;
        canvas.Pen.Color = c;
        const int start = int(Round(i * band));
        TRect bandRect = horizontal ? Rect(r.Left + start, r.Top, r.Left + start + bandSize, r.Bottom)
                                    : Rect(r.Left, r.Top + start, r.Right, r.Top + start + bandSize);
        if (IntersectRect(bandRect, bandRect, r))
            canvas.FillRect(bandRect);
    }
    if (border != clNone) {
        canvas.Brush.Style = bsClear;
        canvas.Pen.Color = border;
        canvas.Pen.Style = psSolid;
        canvas.Pen.Width = 1;
        canvas.Pen.Mode = pmCopy;
        canvas.Rectangle(r);
    }
    canvas.Brush = brush;
    canvas.Pen = pen;
}

namespace {

QIcon ShellIcon(const QString& file)
{
    // QFileIconProvider needs the widget application's style; without one, the theme alone.
    const bool widgets = qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
    const QFileInfo info(file);
    if (widgets && info.exists())
        return QFileIconProvider().icon(info);
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName()));
    if (icon.isNull() && widgets)
        icon = QFileIconProvider().icon(QAbstractFileIconProvider::File);
    return icon;
}

} // namespace

TSize DrawShellIcon(TCanvas& canvas, int x, int y, const QString& fileOrIndex, bool large, bool draw,
                    double scale)
{
    bool number = false;
    fileOrIndex.trimmed().toInt(&number);
    if (number || fileOrIndex.trimmed().isEmpty())
        return TSize{};
    const int side = int(std::lround((large ? 32 : 16) * scale));
    if (draw && side > 0) {
        const QIcon icon = ShellIcon(fileOrIndex);
        if (!icon.isNull()) {
            const QPixmap pixmap = icon.pixmap(QSize(side, side));
            canvas.WithPainter([&](QPainter& p) { p.drawPixmap(QRect(x, y, side, side), pixmap); });
        }
    }
    return TSize{side, side};
}
