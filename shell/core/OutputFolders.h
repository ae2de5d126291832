#pragma once
// The folders that the main window fills from the archive, without widgets: the CD-ROM and
// photo-lab export folders, the screensaver install and the import of the older product's
// slideshows. Copies replace their targets; a copy that fails is left out silently (the
// window reports nothing for them), a folder that cannot be made raises EInOutError.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// Called after each slideshow folder with the number done and the total (progress display).
using TFolderProgress = std::function<void(int done, int total)>;

// Copies every file directly in src into dst (both with a trailing "/"), replacing.
void CopyFilesOfFolder(const QString& src, const QString& dst);

// Export of the slideshows `folders` (folder names of archiveRoot) into exportFolder (which
// exists). Mode 1 (photo lab): a folder per slideshow with its JPEG pictures, never a name
// holding "_THUMB". Mode 0 (CD-ROM): every file directly in archiveRoot (the player kit, its
// settings and texts), then a folder per slideshow with all of its files.
void ExportSlideshows(const QString& archiveRoot, const QString& exportFolder, const QStringList& folders, int mode,
                      const TFolderProgress& progress = {});

// The screensaver install into folders that exist already.
struct TScreensaverInstall {
    QString ArchiveRoot;        // with a trailing "/"
    QString ScreensaverFolder;  // with a trailing "/", emptied by the caller
    QString SystemRoot;         // with a trailing "/": gets "system/" and "system32/"
    QString PlayerName;         // "Diashow-Player" or "Slideshow-Player" (in ArchiveRoot)
    QString ScreensaverName;    // "Diashow.scr" or "Slideshow.scr"
    QStringList Folders;        // the chosen slideshows
};
// Copies the root files and the chosen slideshows into the screensaver folder, the player
// under its screensaver name into SystemRoot's "system/" and "system32/" (made when missing),
// and writes Fullscreen=TRUE into the screensaver folder's Settings.ini (its other keys stay
// as copied). Returns the path of the copy in "system/".
QString InstallScreensaverFiles(const TScreensaverInstall& install, const TFolderProgress& progress = {});

// The xscreensaver configuration (~/.xscreensaver) with one "programs" entry for command
// added, or replacing the entry that already runs it; every other byte of the file stays.
// A configuration without a "programs" resource gets one at its end.
QByteArray RegisterXScreensaverProgram(const QByteArray& config, const QString& name, const QString& command);

// Imports the older product's slideshows: every folder of sourceRoot whose name contains
// "Diashow_" (in name order) is copied (its files not beginning with ".") into a slideshow
// folder of archiveRoot. Which source went where is kept in archiveRoot's "Import.ini": a
// source imported before goes into the same folder again; a new source gets the next free
// slideshow number, at least 1001, so the import never writes into a folder it did not make.
// Returns the target folder names in import order.
QStringList ImportOldSlideshows(const QString& sourceRoot, const QString& archiveRoot,
                                const TFolderProgress& progress = {});
