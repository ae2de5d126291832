#include "output/audio/CdToc.h"

#include <QFileInfo>
#include <QRegularExpression>

QList<int> ParseCdparanoiaToc(const QString& output)
{
    static const QRegularExpression line(QStringLiteral("^\\s*(\\d+)\\.\\s+\\d+\\s+\\["),
                                         QRegularExpression::MultilineOption);
    QList<int> tracks;
    for (auto it = line.globalMatch(output); it.hasNext();) {
        const int track = it.next().captured(1).toInt();
        if (track > 0 && !tracks.contains(track))
            tracks << track;
    }
    return tracks;
}

QString RippedTrackPath(const QString& folder, int track)
{
    const QString base = folder + QStringLiteral("Track%1").arg(track, 2, 10, QLatin1Char('0'));
    QString path = base + QStringLiteral(".wav");
    for (int n = 2; QFileInfo::exists(path) || QFileInfo::exists(path + QStringLiteral(".part")); ++n)
        path = base + QStringLiteral("_%1.wav").arg(n);
    return path;
}
