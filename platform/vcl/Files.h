#pragma once
// Files and folders with the framework's semantics over native Linux paths.
//
// Scans (FindFirst/FindNext) follow the rules of the file system the program was designed
// for: wildcards ignore case, "*.*" also matches names without a dot, a dot file counts as
// hidden, "." and ".." are returned when folders are asked for, and entries come sorted by
// name, ordinally and ignoring case ("." and ".." first).
//
// Attributes are derived from the mode bits, never from access() (which is always true for
// root): a file without a write bit for its owner class is read-only, a writable file has
// the archive bit. Entries that are neither files nor folders (devices, sockets, pipes,
// dangling links) carry faSysFile.
#include <QString>

#include <functional>
#include <memory>

constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02;
constexpr int faSysFile = 0x04;
constexpr int faVolumeID = 0x08;
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;
constexpr int faAnyFile = 0x3F;

// Results of FindFirst/FindNext besides 0 (success), as the framework reports them.
constexpr int kErrorFileNotFound = 2;   // no entry matches
constexpr int kErrorPathNotFound = 3;   // the folder of the mask does not exist
constexpr int kErrorAccessDenied = 5;   // the folder cannot be read
constexpr int kErrorNoMoreFiles = 18;   // FindNext after the last entry

struct TSearchState;

struct TSearchRec {
    QString Name;      // the entry's name, without folder
    qint64 Size = 0;   // bytes (0 for folders)
    int Attr = 0;      // fa* bits
    qint64 Time = 0;   // modification time, seconds since the epoch (UTC)
    std::shared_ptr<TSearchState> FindHandle;  // the scan; released by FindClose
};

// path is a folder and a mask, "/photos/*.jpg". The entries of the folder that match the mask
// are returned one by one; an entry is left out when it has one of faHidden, faSysFile,
// faVolumeID, faDirectory that attrMask lacks (faReadOnly and faArchive never exclude).
// Names that cannot be represented as text are skipped. Returns 0 and fills rec with the
// first entry, or an error number (kErrorFileNotFound, kErrorPathNotFound).
int FindFirst(const QString& path, int attrMask, TSearchRec& rec);
// 0 and the next entry, or kErrorNoMoreFiles.
int FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);
// Calls fn with the name of every file (no folder) that matches mask, a folder and a pattern
// ("/prog/thumbs/*.*"): plain, read-only and hidden files, in the order of the scan.
void ForEachFile(const QString& mask, const std::function<void(const QString& name)>& fn);

// True when name matches mask as a scan would match it (case ignored, "*" and "?", a trailing
// ".*" also matching a name without a dot, a trailing "." matching only names without one).
bool MatchesMask(const QString& name, const QString& mask);
// Ordinal comparison of the upper-cased names (< 0, 0, > 0): the order of scan results.
int CompareFileNames(const QString& a, const QString& b);

// ---- Existence ------------------------------------------------------------------------------

// A regular file (links followed); false for folders.
bool FileExists(const QString& path);
// A folder (links followed).
bool DirectoryExists(const QString& path);

// ---- Folders --------------------------------------------------------------------------------

// One level; the parent must exist. False when the folder exists already or cannot be made.
bool CreateDir(const QString& path);
// As CreateDir, raising EInOutError naming the folder (an existing folder is an error too).
void MkDir(const QString& path);
// Every missing level; true when the folder exists afterwards (also when it existed).
bool ForceDirectories(const QString& path);
// As ForceDirectories, raising EInOutError naming the folder when it cannot be made.
void ForceDirectoriesOrRaise(const QString& path);
// An empty folder only.
bool RemoveDir(const QString& path);

// A check that runs before any folder is made: it returns an error text when folders may not
// be made at that (absolute, cleaned) path, for example on a volume that is not mounted, or
// an empty text. Installed by the drive map; an empty function removes it.
using TFolderGuard = std::function<QString(const QString& folder)>;
void SetFolderGuard(TFolderGuard guard);

// ---- Files ----------------------------------------------------------------------------------

// Copies src over dst (or fails when dst exists and failIfExists is set). The copy keeps the
// source's permission bits (the executable bit among them) and modification time. It is
// written to a temporary file beside dst and renamed over it, so a failed copy leaves an
// existing dst as it was. dst that is a folder or a device is never replaced.
bool CopyFile(const QString& src, const QString& dst, bool failIfExists);
// A file (or link); false for folders and for read-only files (which stay, as on the
// original platform).
bool DeleteFile(const QString& path);
// False when newName exists already.
bool RenameFile(const QString& oldName, const QString& newName);

// fa* bits of a file or folder, or -1 when it does not exist.
int FileGetAttr(const QString& path);
// faReadOnly removes every write bit, its absence gives the owner the write bit back; the
// other bits cannot be set here and are ignored. 0 on success, otherwise an error number.
int FileSetAttr(const QString& path, int attr);
// Modification time of a file in seconds since the epoch (UTC), -1 when it is no file.
qint64 FileAge(const QString& path);
// Size in bytes of a file, -1 when it is no file.
qint64 FileSize(const QString& path);
// Bytes available to the user on the volume holding path (which must exist), -1 otherwise.
qint64 DiskFree(const QString& path);
