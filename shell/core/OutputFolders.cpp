#include "shell/core/OutputFolders.h"

#include "platform/vcl/Files.h"
#include "platform/vcl/IniFiles.h"
#include "shell/core/Archive.h"
#include "shell/core/Helpers.h"

#include <QList>

namespace {

void MakeFolder(const QString& folder)
{
    if (!DirectoryExists(folder))
        MkDir(folder);
}

void CopyJpegsWithoutThumbnails(const QString& src, const QString& dst)
{
    ForEachFile(src + QStringLiteral("*.jpg"), [&](const QString& name) {
        if (!name.contains(QLatin1String("_THUMB"), Qt::CaseSensitive))
            CopyFile(src + name, dst + name, false);
    });
}

} // namespace

void CopyFilesOfFolder(const QString& src, const QString& dst)
{
    ForEachFile(src + QStringLiteral("*.*"), [&](const QString& name) { CopyFile(src + name, dst + name, false); });
}

void ExportSlideshows(const QString& archiveRoot, const QString& exportFolder, const QStringList& folders, int mode,
                      const TFolderProgress& progress)
{
    if (mode == 0)
        CopyFilesOfFolder(archiveRoot, exportFolder);
    int done = 0;
    for (const QString& folder : folders) {
        const QString src = archiveRoot + folder + QLatin1Char('/');
        const QString dst = exportFolder + folder + QLatin1Char('/');
        MakeFolder(dst);
        if (mode == 1)
            CopyJpegsWithoutThumbnails(src, dst);
        else
            CopyFilesOfFolder(src, dst);
        if (progress)
            progress(++done, int(folders.size()));
    }
}

QString InstallScreensaverFiles(const TScreensaverInstall& in, const TFolderProgress& progress)
{
    CopyFilesOfFolder(in.ArchiveRoot, in.ScreensaverFolder);
    QString installed;
    // There are no libraries to place beside the screensaver: the player links the kernel.
    for (const char* sub : {"system/", "system32/"}) {
        const QString folder = in.SystemRoot + QLatin1String(sub);
        ForceDirectoriesOrRaise(folder);
        CopyFile(in.ArchiveRoot + in.PlayerName, folder + in.ScreensaverName, false);
        if (installed.isEmpty())
            installed = folder + in.ScreensaverName;
    }
    int done = 0;
    for (const QString& folder : in.Folders) {
        const QString dst = in.ScreensaverFolder + folder + QLatin1Char('/');
        MakeFolder(dst);
        CopyFilesOfFolder(in.ArchiveRoot + folder + QLatin1Char('/'), dst);
        if (progress)
            progress(++done, int(in.Folders.size()));
    }
    TIniFile(in.ScreensaverFolder + QStringLiteral("Settings.ini"))
        .WriteString(QStringLiteral("SETTINGS"), QStringLiteral("Fullscreen"), QStringLiteral("TRUE"));
    return installed;
}

namespace {

// The lines of a file with their line ends, so that joining them gives the file back.
QList<QByteArray> SplitKeepingEnds(const QByteArray& text)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf('\n', start);
        end = end < 0 ? text.size() : end + 1;
        lines.append(text.mid(start, end - start));
        start = end;
    }
    return lines;
}

QByteArray WithoutEnd(const QByteArray& line)
{
    QByteArray s = line;
    while (s.endsWith('\n') || s.endsWith('\r'))
        s.chop(1);
    return s;
}

// A word for xscreensaver's shell: single-quoted.
QByteArray ShellWord(const QString& s)
{
    QByteArray out = "'";
    for (const char c : s.toUtf8()) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

} // namespace

QByteArray RegisterXScreensaverProgram(const QByteArray& config, const QString& name, const QString& command)
{
    const QByteArray quotedName = "\"" + name.toUtf8().replace('"', '\'') + "\"";
    const QByteArray entryBody = "  " + quotedName + "  " + ShellWord(command) + " -root";
    const QByteArray marker = ShellWord(command) + " ";

    QList<QByteArray> lines = SplitKeepingEnds(config);
    qsizetype start = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines[i].startsWith("programs:")) {
            start = i;
            break;
        }
    }
    if (start < 0) {
        QByteArray out = config;
        if (!out.isEmpty() && !out.endsWith('\n'))
            out += '\n';
        return out + "programs:\t\\\n" + entryBody + "\\n\n";
    }
    // The resource runs on while its lines end in a backslash.
    qsizetype end = start;
    while (end < lines.size() && WithoutEnd(lines[end]).endsWith('\\'))
        ++end;
    const qsizetype last = std::min(end, lines.size() - 1);
    // Our earlier entry goes (a one-line entry naming the same command).
    qsizetype remaining = last - start;
    for (qsizetype i = last; i > start; --i) {
        if (lines[i].contains(marker)) {
            --remaining;
            const bool wasLast = !WithoutEnd(lines[i]).endsWith('\\');
            lines.removeAt(i);
            if (wasLast && i - 1 > start) {
                // The entry before becomes the last one: it loses its continuation.
                QByteArray prev = WithoutEnd(lines[i - 1]);
                const QByteArray ending = lines[i - 1].mid(prev.size());
                prev.chop(1);
                lines[i - 1] = prev + ending;
            }
        }
    }
    QByteArray startLine = lines[start];
    const QByteArray startEnding = startLine.mid(WithoutEnd(startLine).size());
    const QByteArray lineEnd = startEnding.isEmpty() ? QByteArray("\n") : startEnding;
    const bool hasEntries = remaining > 0;
    if (!WithoutEnd(startLine).endsWith('\\')) {
        // "programs:" with its value on the same line (or none): our entry follows it.
        const QByteArray value = WithoutEnd(startLine).mid(int(sizeof("programs:")) - 1).trimmed();
        if (value.isEmpty()) {
            lines[start] = "programs:\t\\" + lineEnd;
            lines.insert(start + 1, entryBody + "\\n" + lineEnd);
        } else {
            lines[start] = "programs:\t\\" + lineEnd;
            lines.insert(start + 1, entryBody + "\\n\\" + lineEnd);
            lines.insert(start + 2, "  " + value + lineEnd);
        }
    } else {
        lines.insert(start + 1, entryBody + (hasEntries ? "\\n\\" : "\\n") + lineEnd);
    }
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line;
    return out;
}

QStringList ImportOldSlideshows(const QString& sourceRoot, const QString& archiveRoot, const TFolderProgress& progress)
{
    const QString source = AddBackslash(sourceRoot);
    QStringList names;
    TSearchRec rec;
    if (FindFirst(source + QStringLiteral("*.*"), faDirectory | faHidden | faReadOnly | faArchive, rec) == 0) {
        do {
            if ((rec.Attr & faDirectory) && rec.Name.contains(QLatin1String("Diashow_")))
                names.append(rec.Name);
        } while (FindNext(rec) == 0);
    }
    FindClose(rec);

    TIniFile map(archiveRoot + QStringLiteral("Import.ini"));
    const QString section = QStringLiteral("IMPORT");
    QStringList targets;
    int done = 0;
    for (const QString& name : names) {
        QString target = map.ReadString(section, name, QString()).trimmed();
        // Only a folder name of the archive that this import gave out counts.
        if (target.isEmpty() || target.contains(QLatin1Char('/')) || target.startsWith(QLatin1Char('.'))) {
            const QString next = NextArchiveName(archiveRoot);
            const int number = std::max(1001, ExtractWord(2, next, QStringLiteral("_")).toInt());
            target = QStringLiteral("Archive_") + PadLeft(QString::number(number), QLatin1Char('0'), 4);
        }
        const QString dst = archiveRoot + target + QLatin1Char('/');
        MakeFolder(dst);
        map.WriteString(section, name, target);
        TSearchRec file;
        const QString src = source + name + QLatin1Char('/');
        if (FindFirst(src + QStringLiteral("*.*"), faReadOnly | faHidden | faArchive, file) == 0) {
            do {
                if (!file.Name.startsWith(QLatin1Char('.')))
                    CopyFile(src + file.Name, dst + file.Name, false);
            } while (FindNext(file) == 0);
        }
        FindClose(file);
        targets.append(target);
        if (progress)
            progress(++done, int(names.size()));
    }
    return targets;
}
