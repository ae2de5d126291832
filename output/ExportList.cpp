#include "output/ExportList.h"

#include "platform/vcl/Files.h"
#include "platform/vcl/IniFiles.h"

QStringList ListDiashows(const QString& archiveRoot)
{
    QStringList lines;
    TSearchRec rec;
    if (FindFirst(archiveRoot + QStringLiteral("*.*"), faDirectory, rec) == 0) {
        do {
            if (!(rec.Attr & faDirectory) || rec.Name.contains(QLatin1Char('.')))
                continue;
            const QString ini = archiveRoot + rec.Name + QStringLiteral("/Diashow.ini");
            if (!FileExists(ini) || rec.Name.toUpper().contains(QLatin1String("DEL")))
                continue;
            lines.append(rec.Name + QLatin1Char(' ') +
                         TIniFile(ini).ReadString(QStringLiteral("DIASHOW"), QStringLiteral("Titel"), QString()));
        } while (FindNext(rec) == 0);
    }
    FindClose(rec);
    return lines;
}
