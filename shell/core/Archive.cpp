#include "shell/core/Archive.h"

#include "platform/vcl/Files.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Helpers.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

#include <signal.h>
#include <unistd.h>

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

namespace {

const QString kSection = QStringLiteral("DIASHOW");
const QLatin1String kThumbPrefix("_THUMB_");

QString FolderPath(const QString& folder)
{
    return AddBackslash(folder);
}

} // namespace

QString NextArchiveName(const QString& archiveRoot)
{
    qint64 highest = 1;
    TSearchRec rec;
    if (!archiveRoot.isEmpty() && FindFirst(archiveRoot + QStringLiteral("*.*"), faDirectory, rec) == 0) {
        do {
            if (!(rec.Attr & faDirectory) || rec.Name.contains(QLatin1Char('.')) ||
                !rec.Name.contains(QLatin1Char('_')))
                continue;
            bool ok = false;
            const qint64 number = ExtractWord(2, rec.Name, QStringLiteral("_")).toLongLong(&ok);
            if (ok && number > highest)
                highest = number;
        } while (FindNext(rec) == 0);
    }
    FindClose(rec);
    return QStringLiteral("Archive_") + PadLeft(QString::number(highest + 1), QLatin1Char('0'), 4);
}

QString MakeUniqueFileName(const QString& path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = path.left(slash + 1);
    const QString name = path.mid(slash + 1);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QString base = dot >= 0 ? name.left(dot) : name;
    const QString ext = dot >= 0 ? name.mid(dot) : QString();
    for (int n = 1;; ++n) {
        const QString candidate = folder + base + QLatin1Char('_') + QString::number(n) + ext;
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

QString ArchivePictureName(const QString& fileName)
{
    QString name = fileName;
    for (QChar c : {QLatin1Char('|'), QLatin1Char('>'), QLatin1Char('<'), QLatin1Char('"')})
        name.replace(c, QLatin1Char('_'));
    name = name.trimmed();
    while (name.startsWith(QLatin1String("_THUMB"), Qt::CaseInsensitive))
        name = name.mid(6).trimmed();
    return name.isEmpty() ? QStringLiteral("Picture") : name;
}

bool IsPlainFileName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String(".") &&
           name != QLatin1String("..");
}

bool ReadDiashowIni(const QString& folder, TDiashowIni& ini)
{
    const QString file = FolderPath(folder) + QStringLiteral("Diashow.ini");
    if (!FileExists(file))
        return false;
    TIniFile reader(file);
    ini.Title = reader.ReadString(kSection, QStringLiteral("Titel"), QString()).trimmed();
    ini.Time = reader.ReadString(kSection, QStringLiteral("Time"), QString());
    return true;
}

void WriteDiashowIni(const QString& folder, const TDiashowIni& ini)
{
    TIniFile writer(FolderPath(folder) + QStringLiteral("Diashow.ini"));
    writer.BeginUpdate();
    writer.WriteString(kSection, QStringLiteral("Titel"), ini.Title);
    writer.WriteString(kSection, QStringLiteral("Time"), ini.Time);
    writer.EndUpdate();
}

QString TPictureLine::Line() const
{
    return HasText ? Name + QStringLiteral(" | ") + Text : Name;
}

TPictureLine TPictureLine::Parse(const QString& line)
{
    TPictureLine result;
    result.Name = ExtractWord(1, line, QStringLiteral("|")).trimmed();
    result.HasText = WordCount(line, QStringLiteral("|")) > 1 || line.trimmed().endsWith(QLatin1Char('|'));
    result.Text = ExtractWord(2, line, QStringLiteral("|")).trimmed();
    return result;
}

QList<TPictureLine> ReadPicturesIni(const QString& folder)
{
    QList<TPictureLine> lines;
    const QString file = FolderPath(folder) + QStringLiteral("Pictures.ini");
    if (!FileExists(file))
        return lines;
    TStringList list;
    list.LoadFromFile(file);
    for (const QString& text : list.List()) {
        TPictureLine line = TPictureLine::Parse(text);
        if (IsPlainFileName(line.Name))
            lines.append(line);
    }
    return lines;
}

void WritePicturesIni(const QString& folder, const QList<TPictureLine>& lines)
{
    TStringList list;
    for (const TPictureLine& line : lines)
        list.Add(line.Line());
    list.SaveToFile(FolderPath(folder) + QStringLiteral("Pictures.ini"));
}

void DeleteStaleThumbnails(const QString& folder)
{
    if (folder.isEmpty() || !DirectoryExists(folder))
        return;
    const QString path = FolderPath(folder);
    QStringList stale;
    TSearchRec rec;
    if (FindFirst(path + QStringLiteral("_THUMB*.*"), faAnyFile & ~faDirectory & ~faVolumeID, rec) == 0) {
        do {
            if (rec.Attr & faDirectory || !rec.Name.startsWith(kThumbPrefix, Qt::CaseInsensitive))
                continue;
            const QString picture = rec.Name.mid(kThumbPrefix.size());
            if (picture.isEmpty() || !FileExists(path + picture))
                stale.append(rec.Name);
        } while (FindNext(rec) == 0);
    }
    FindClose(rec);
    for (const QString& name : stale)
        DeleteFile(path + name);
}

namespace {

// Another running program may still be writing the copy name: a copy named after a process
// (".kvcopy<pid>-<n>") that is alive and not this one, or a copy named after none.
bool MayBeBeingWritten(const QString& name)
{
    const QString rest = name.mid(QStringLiteral(".kvcopy").size());
    if (rest.startsWith(QLatin1Char('-')))
        return true;
    bool ok = false;
    const qint64 pid = rest.section(QLatin1Char('-'), 0, 0).toLongLong(&ok);
    return ok && pid > 0 && pid != qint64(::getpid()) && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

} // namespace

void DeleteLeftoverCopies(const QString& folder)
{
    if (folder.isEmpty())
        return;
    const QDir dir(folder);
    // A copy being written changes all the time; one left alone for a minute is left over.
    const QDateTime recent = QDateTime::currentDateTimeUtc().addSecs(-60);
    for (const QFileInfo& info : dir.entryInfoList({QStringLiteral(".kvcopy*")}, QDir::Files | QDir::Hidden | QDir::System)) {
        if (info.metadataChangeTime().toUTC() > recent && MayBeBeingWritten(info.fileName()))
            continue;
        QFile::remove(info.filePath());
    }
}

QStringList SlideshowAudioFiles(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    const QString path = FolderPath(folder);
    QStringList files;
    for (const char* mask : {"*.mp3", "*.wav"}) {
        TSearchRec rec;
        if (FindFirst(path + QLatin1String(mask), faReadOnly | faHidden | faArchive, rec) == 0) {
            do {
                if (!(rec.Attr & (faDirectory | faSysFile | faVolumeID)))
                    files << path + rec.Name;
            } while (FindNext(rec) == 0);
        }
        FindClose(rec);
    }
    std::stable_sort(files.begin(), files.end(), [](const QString& a, const QString& b) { return CompareText(a, b) < 0; });
    return files;
}

QString NumberedAudioName(int position, const QString& file)
{
    return QStringLiteral("Audio") + QStringLiteral("%1").arg(position + 1, 3, 10, QLatin1Char('0')) +
           QLatin1Char('.') + ExtractFileName(file).section(QLatin1Char('.'), -1);
}

void NumberAudioFiles(const QStringList& files)
{
    const auto parked = [](const QString& file) {
        return ExtractFilePath(file) + QStringLiteral("_F_") + ExtractFileName(file);
    };
    for (const QString& file : files)
        RenameFile(file, parked(file));
    for (int i = 0; i < files.size(); ++i)
        RenameFile(parked(files[i]), ExtractFilePath(files[i]) + NumberedAudioName(i, files[i]));
}

bool NumberAudioTitles(const QString& folder)
{
    const QStringList files = SlideshowAudioFiles(folder);
    for (int i = 0; i < files.size(); ++i) {
        if (ExtractFileName(files[i]) != NumberedAudioName(i, files[i])) {
            NumberAudioFiles(files);
            return true;
        }
    }
    return false;
}
