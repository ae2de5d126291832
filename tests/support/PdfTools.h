#pragma once
// Printed pages judged by poppler's tools (pdfimages, pdftotext, pdfinfo).
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <vector>

namespace kvtest {

// The standard output of a poppler tool run on pdf ("" when it could not run).
inline QString PopplerOutput(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of every page, in reading order.
inline QString PdfText(const QString& pdf)
{
    return PopplerOutput(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

struct PdfImage {
    int Page = 0;
    int Width = 0;
    int Height = 0;
    int XPpi = 0;  // pixels per inch as the picture is placed on the page
};

// The pictures of the file as `pdfimages -list` lists them.
inline std::vector<PdfImage> PdfImages(const QString& pdf)
{
    std::vector<PdfImage> images;
    const QStringList lines = PopplerOutput(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (int i = 2; i < lines.size(); ++i) {  // two header lines
        const QStringList f = lines[i].simplified().split(QLatin1Char(' '));
        if (f.size() < 14 || f[2] != QLatin1String("image"))
            continue;
        images.push_back({f[0].toInt(), f[3].toInt(), f[4].toInt(), f[12].toInt()});
    }
    return images;
}

struct PdfInfo {
    int Pages = 0;
    double WidthPt = 0;
    double HeightPt = 0;
};

inline PdfInfo PdfPageInfo(const QString& pdf)
{
    PdfInfo info;
    const QString out = PopplerOutput(QStringLiteral("pdfinfo"), {pdf});
    const auto pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(out);
    if (pages.hasMatch())
        info.Pages = pages.captured(1).toInt();
    const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(out);
    if (size.hasMatch()) {
        info.WidthPt = size.captured(1).toDouble();
        info.HeightPt = size.captured(2).toDouble();
    }
    return info;
}

} // namespace kvtest
