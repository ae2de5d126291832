#pragma once
// Folder operations as the shell performs them: copy, move, rename and delete of a whole
// folder. A delete always goes to the trash; where no trash can take the folder it fails
// and the folder stays.
#include <QString>

// operation is "COPY", "DELETE", "MOVE" or "RENAME" (any case). Acts only when source is an
// existing folder; true when the operation was done. renameOnCollision: a copy or move onto
// an existing target goes to a free "target (N)" instead. The progress, silence and
// confirmation flags have no effect here: nothing is ever asked or shown.
bool ShellFileOperation(const QString& operation, bool renameOnCollision, const QString& target,
                        const QString& source, bool simpleProgress, bool silent, bool noConfirmation);
// Moves the folder path to the trash; false when it is no folder or cannot go there.
bool ShellDelete(const QString& path);
