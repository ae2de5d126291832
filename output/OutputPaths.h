#pragma once
// The main window's folders that the output windows read. The windows ask for them each time
// they are shown, since the archive drive can change while the program runs.
#include <QString>

struct TOutputPaths {
    QString ArchiveRoot;   // the folder of the slideshows, with a trailing "/"
    QString ExportFolder;  // the CD-ROM export folder on the archive drive, with a trailing "/"
};
