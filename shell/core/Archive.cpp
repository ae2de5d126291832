#include "shell/core/Archive.h"

#include "platform/vcl/Files.h"
#include "platform/vcl/IniFiles.h"
#include "shell/core/Helpers.h"

namespace {

bool IsListedFolderName(const QString& name)
{
    return !name.contains(QLatin1Char('.')) && !name.contains(QLatin1Char(' ')) &&
           !name.toUpper().contains(QLatin1String("DEL"));
}

} // namespace

QList<TArchiveEntry> ArchiveEntries(const QString& archiveRoot)
{
    QList<TArchiveEntry> entries;
    if (archiveRoot.isEmpty())
        return entries;
    TSearchRec rec;
    if (FindFirst(archiveRoot + QStringLiteral("*.*"), faDirectory, rec) == 0) {
        do {
            if (!(rec.Attr & faDirectory) || !IsListedFolderName(rec.Name))
                continue;
            const QString ini = archiveRoot + rec.Name + QStringLiteral("/Diashow.ini");
            if (!FileExists(ini))
                continue;
            entries.append({rec.Name, TIniFile(ini).ReadString(QStringLiteral("DIASHOW"), QStringLiteral("Titel"),
                                                               QString())});
        } while (FindNext(rec) == 0);
    }
    FindClose(rec);
    return entries;
}

QStringList ListDiashows(const QString& archiveRoot)
{
    QStringList lines;
    for (const TArchiveEntry& entry : ArchiveEntries(archiveRoot))
        lines.append(entry.Line());
    return lines;
}

QString ArchiveLineFolder(const QString& line)
{
    return ExtractWord(1, line, QStringLiteral(" "));
}
