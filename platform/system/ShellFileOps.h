#pragma once
// Shell file operations: the trash and folder copies.
#include <QString>

// Moves a file or a folder (with its contents) into the user's trash. Where no trash can take
// it (for example on a volume without one) it fails and leaves the item in place: nothing is
// ever deleted for good. On failure, *error (when given) names the item and the reason.
bool MoveToTrash(const QString& path, QString* error = nullptr);

// Copies every file of src into dst (made when missing), with the subfolders when recursive
// is set. A file whose copy in dst has the same size and modification time is left alone,
// others are replaced (CopyFile keeps the time, so a copy made here stays unchanged until
// the source changes). A copy into src itself is refused. True when every file is in place;
// on failure *error (when given) names the first file or folder that failed, and the other
// files are still copied.
bool CopyFolder(const QString& src, const QString& dst, bool recursive = true,
                QString* error = nullptr);
