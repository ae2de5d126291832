#pragma once
// Drive letters over Linux folders.
//
// C is the home folder. Every mounted volume that is writable and not a pseudo or system
// mount gets the first free letter from D when it is first seen; the letter is kept in the
// program folder's Generator.ini, section "DRIVES", as "D=/media/user/STICK", so a volume
// keeps its letter across runs and while it is away. Counted are mounts of real file systems
// (not proc, sysfs, tmpfs, devtmpfs, cgroup, overlay, squashfs and the like), mounted
// read-write, away from the root and the system folders (/boot, /usr, /var, /etc, /proc,
// /sys, /dev, /run except /run/media, ...), and neither the home folder nor one of its parents;
// removable media under /media, /run/media and /mnt count.
//
// A known drive whose volume is not mounted is not ready: it has no free space, and the
// drive map refuses to make folders on it (ForceDirectories and MkDir fail there), so
// nothing is written into an empty mount point folder of the root file system.
#include "platform/vcl/Exceptions.h"

#include <QList>
#include <QString>

// Reads the letters kept in ProgramFolder() + "Generator.ini", scans the mounts and installs
// the folder guard. Called once at start-up after the program folder is known; calling it
// again starts over (tests do so after changing the program folder or the overrides). The
// queries below run it themselves when it has not run yet.
void InitDriveMap();

// Scans the mounts again and gives newly seen volumes their letters (kept in Generator.ini).
// DriveLetters calls it; the other queries only look at what is mounted now.
void RefreshDriveMap();

// The known letters in alphabetical order, C among them (after a refresh).
QList<QChar> DriveLetters();
// The drive's folder with a trailing "/" ("C" gives the home folder), also when the volume is
// away; empty for a letter the map does not know. Lower-case letters are accepted.
QString DriveRoot(QChar letter);
// True when the drive is known and its volume is mounted and writable now.
bool DriveReady(QChar letter);
// Bytes available on the drive; 0 when the drive is unknown or not ready.
qint64 DriveFreeSpace(QChar letter);

// The drive letter of a "Drive" setting ("D", "d", "D:\" all give D). A missing or empty
// value gives C. A value that names no known drive raises EDriveError naming it.
QChar ResolveDrive(const QString& value);

// Raised by ResolveDrive: Message() is 'Drive "X" is not known.', X the upper-cased letter or,
// for a value that is no drive letter at all, the value; ErrorCode 15 (invalid drive).
class EDriveError : public EInOutError {
public:
    explicit EDriveError(const QString& message) : EInOutError(message, 15) {}
};

// ---- Test seams -------------------------------------------------------------------------

// Replaces /proc/self/mounts by the given text (same format: device, mount point with octal
// escapes, type, options, two numbers per line) until cleared.
void SetMountTableOverride(const QString& mountsText);
// Reports `bytes` free for the drive whose folder is mountPoint (no trailing "/").
void SetFreeSpaceOverride(const QString& mountPoint, qint64 bytes);
void ClearDriveMapOverrides();
