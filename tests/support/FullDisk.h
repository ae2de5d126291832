#pragma once
// A folder on a disk that is full to the last byte, for the tests of every file the program
// saves: a small tmpfs mounted for the test (the test runs as root). Where no file system can
// be mounted, the process's file size limit is set to zero instead while the disk is "full",
// so that every write of a byte fails as on a full disk (EFBIG rather than ENOSPC).
//
//   kvtest::FullDisk disk;
//   write the old files into disk.Folder();
//   disk.Fill();   ... try to save, check the old files ...   disk.Release();
#include <QString>

namespace kvtest {

class FullDisk {
public:
    FullDisk();
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // The folder on the disk, with a trailing "/".
    const QString& Folder() const { return m_folder; }
    // True when the folder is a tmpfs of its own; false when the size limit stands in.
    bool Mounted() const { return m_mounted; }
    // Takes the last free byte; Release gives the room back.
    void Fill();
    // Takes all but about `bytes` (in whole pages of the disk) on the mounted disk, so that
    // a small write still fits and a larger one fails; the size limit has no such room.
    void FillLeaving(long long bytes);
    void Release();

private:
    QString m_folder;
    bool m_mounted = false;
    bool m_filled = false;
    unsigned long long m_savedLimit = 0;
};

} // namespace kvtest
