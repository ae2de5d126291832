#include "output/gallery/FtpCommands.h"

#include "platform/vcl/SysUtils.h"

#include <QDir>

QString TFtpCommand::Display() const { return Verb + QLatin1Char(' ') + First + QLatin1Char(' ') + Second; }

TFtpCommand ParseFtpCommand(const QString& line)
{
    const QStringList fields = line.split(QLatin1Char('|'));
    return {fields.value(0).trimmed(), fields.value(1).trimmed(), fields.value(2).trimmed()};
}

QStringList BuildUploadList(const QString& folder, const QString& serverDir)
{
    const QString server = serverDir.trimmed();
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    QStringList lines;
    const QStringList names =
        QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : names) {
        if (name.startsWith(QLatin1Char('.')))
            continue;
        lines << QStringLiteral("copy |") + base + name + QStringLiteral(" | ") +
                     (server.isEmpty() ? name : server + QLatin1Char('/') + name);
    }
    return lines;
}

int FtpProgressPosition(int i, int count)
{
    if (count <= 1)
        return 100;
    return int(Round(double(i) / (count - 1) * 100.0));
}
