#include "platform/system/DriveMap.h"

#include "platform/system/ProgramFolder.h"
#include "platform/vcl/Files.h"
#include "platform/vcl/IniFiles.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMap>

#include <algorithm>
#include <optional>

namespace {

const QString kSection = QStringLiteral("DRIVES");

struct DriveState {
    bool Initialised = false;
    QMap<QChar, QString> Roots;  // every known letter but C, folders without trailing "/"
    std::optional<QString> MountsOverride;
    QHash<QString, qint64> FreeOverride;
};

DriveState& state()
{
    static DriveState s;
    return s;
}

QString homeFolder() { return QDir::cleanPath(QDir::homePath()); }

bool isUnder(const QString& path, const QString& folder)
{
    return path == folder || path.startsWith(folder + '/');
}

// A mount point field of the mount table: blanks, tabs, newlines and backslashes come as
// octal escapes ("\040").
QString unescapeMountField(const QByteArray& field)
{
    QByteArray out;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const QByteArray digits = field.mid(i + 1, 3);
            bool ok = false;
            const int code = digits.toInt(&ok, 8);
            if (ok && code < 256) {
                out += char(code);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return QFile::decodeName(out);
}

bool isPseudoType(const QByteArray& type)
{
    static const char* const kPseudo[] = {
        "proc", "sysfs", "tmpfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "securityfs",
        "debugfs", "tracefs", "pstore", "bpf", "mqueue", "hugetlbfs", "configfs", "fusectl",
        "autofs", "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs", "ramfs", "squashfs",
        "overlay", "selinuxfs", "nfsd", "none", "fuse.gvfsd-fuse", "fuse.portal",
        "fuse.xdg-document-portal", "fuse.lxcfs", "fuse.snapfuse"};
    for (const char* pseudo : kPseudo)
        if (type == pseudo)
            return true;
    return false;
}

bool isSystemFolder(const QString& point, const QString& home)
{
    if (isUnder(point, QStringLiteral("/run/media")))
        return false;
    static const char* const kSystem[] = {"/boot", "/efi", "/proc", "/sys", "/dev", "/run",
                                          "/usr", "/var", "/etc", "/snap", "/opt", "/srv",
                                          "/bin", "/sbin", "/lib", "/lib64", "/root", "/nix"};
    for (const char* folder : kSystem)
        if (isUnder(point, QLatin1String(folder)))
            return true;
    // The root, /home, the home folder (drive C) and the folders above it.
    return point == QLatin1String("/") || point == QLatin1String("/home") || isUnder(home, point);
}

// The mount points that count as drives, in the order of the mount table.
QStringList mountedVolumes()
{
    DriveState& s = state();
    QByteArray table;
    if (s.MountsOverride) {
        table = s.MountsOverride->toUtf8();
    } else {
        QFile file(QStringLiteral("/proc/self/mounts"));
        if (file.open(QIODevice::ReadOnly))
            table = file.readAll();
    }
    const QString home = homeFolder();
    QStringList volumes;
    for (const QByteArray& line : table.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 4)
            continue;
        const QString point = QDir::cleanPath(unescapeMountField(fields[1]));
        const QList<QByteArray> options = fields[3].split(',');
        if (!point.startsWith('/') || isPseudoType(fields[2]) || !options.contains("rw")
            || isSystemFolder(point, home) || volumes.contains(point))
            continue;
        volumes += point;
    }
    return volumes;
}

// A folder of the DRIVES section: absolute, cleaned, not the root.
QString storedRoot(const QString& value)
{
    const QString root = QDir::cleanPath(value.trimmed());
    return root.startsWith('/') && root != QLatin1String("/") ? root : QString();
}

bool isDriveLetter(QChar c) { return c >= u'A' && c <= u'Z'; }

void ensureInitialised()
{
    if (!state().Initialised)
        InitDriveMap();
}

bool volumeMounted(const QString& root) { return mountedVolumes().contains(root); }

// Folders may be made anywhere but on a known drive whose volume is away.
QString folderGuard(const QString& folder)
{
    QString bestRoot = homeFolder();
    QChar bestLetter = u'C';
    if (!isUnder(folder, bestRoot))
        bestRoot.clear();
    const DriveState& s = state();
    for (auto it = s.Roots.cbegin(); it != s.Roots.cend(); ++it) {
        if (isUnder(folder, it.value()) && it.value().size() > bestRoot.size()) {
            bestRoot = it.value();
            bestLetter = it.key();
        }
    }
    if (bestRoot.isEmpty() || bestLetter == u'C' || volumeMounted(bestRoot))
        return {};
    return QStringLiteral("drive %1: (%2) is not ready").arg(bestLetter).arg(bestRoot);
}

} // namespace

void InitDriveMap()
{
    DriveState& s = state();
    s.Roots.clear();
    s.Initialised = true;
    const TIniFile ini(ProgramFolder() + QLatin1String("Generator.ini"));
    for (const QString& key : ini.ReadSection(kSection)) {
        const QString name = key.trimmed().toUpper();
        const QString root = storedRoot(ini.ReadString(kSection, key, QString()));
        if (name.size() != 1 || !isDriveLetter(name[0]) || name[0] == u'C' || root.isEmpty()
            || s.Roots.contains(name[0]) || s.Roots.key(root, QChar()) != QChar())
            continue;
        s.Roots.insert(name[0], root);
    }
    SetFolderGuard(folderGuard);
    RefreshDriveMap();
}

void RefreshDriveMap()
{
    ensureInitialised();
    DriveState& s = state();
    for (const QString& volume : mountedVolumes()) {
        if (s.Roots.key(volume, QChar()) != QChar())
            continue;
        QChar letter = u'D';
        while (letter <= u'Z' && s.Roots.contains(letter))
            letter = QChar(letter.unicode() + 1);
        if (letter > u'Z')
            return;
        s.Roots.insert(letter, volume);
        try {
            TIniFile ini(ProgramFolder() + QLatin1String("Generator.ini"));
            ini.WriteString(kSection, QString(letter), volume);
        } catch (const Exception&) {
            // The letter holds for this run; the start-up check reports an unwritable folder.
        }
    }
}

QList<QChar> DriveLetters()
{
    RefreshDriveMap();
    QList<QChar> letters = state().Roots.keys();
    letters.append(u'C');
    std::sort(letters.begin(), letters.end());
    return letters;
}

QString DriveRoot(QChar letter)
{
    ensureInitialised();
    letter = letter.toUpper();
    if (letter == u'C')
        return homeFolder() + '/';
    const QString root = state().Roots.value(letter);
    return root.isEmpty() ? QString() : root + '/';
}

bool DriveReady(QChar letter)
{
    const QString root = DriveRoot(letter);
    if (root.isEmpty())
        return false;
    if (letter.toUpper() == u'C')
        return DirectoryExists(root);
    return volumeMounted(root.chopped(1));
}

qint64 DriveFreeSpace(QChar letter)
{
    if (!DriveReady(letter))
        return 0;
    const QString root = DriveRoot(letter).chopped(1);
    const auto overridden = state().FreeOverride.constFind(root);
    if (overridden != state().FreeOverride.cend())
        return *overridden;
    return std::max<qint64>(0, DiskFree(root));
}

QChar ResolveDrive(const QString& value)
{
    const QString text = value.trimmed();
    if (text.isEmpty())
        return u'C';
    const QChar letter = text[0].toUpper();
    const QString rest = text.mid(1);
    const bool wellFormed = isDriveLetter(letter)
                            && (rest.isEmpty() || rest == QLatin1String(":")
                                || rest == QLatin1String(":\\") || rest == QLatin1String(":/")
                                || rest == QLatin1String("\\") || rest == QLatin1String("/"));
    if (wellFormed) {
        if (letter == u'C')
            return letter;
        RefreshDriveMap();
        if (state().Roots.contains(letter))
            return letter;
    }
    throw EDriveError(QStringLiteral("Drive \"%1\" is not known.")
                          .arg(wellFormed ? QString(letter) : text));
}

void SetMountTableOverride(const QString& mountsText) { state().MountsOverride = mountsText; }

void SetFreeSpaceOverride(const QString& mountPoint, qint64 bytes)
{
    state().FreeOverride.insert(QDir::cleanPath(mountPoint), bytes);
}

void ClearDriveMapOverrides()
{
    state().MountsOverride.reset();
    state().FreeOverride.clear();
}
