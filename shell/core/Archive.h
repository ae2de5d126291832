#pragma once
// The slideshow archive on disk, without widgets.
//
// The archive root holds one folder per slideshow ("Archive_0001", ...), each with its
// Diashow.ini (section "DIASHOW": "Titel", "Time"), Pictures.ini, the pictures and their
// "_THUMB_" thumbnails; beside them lie the blank template "del" and the player kit.
//
// The archive list shows one line per slideshow: the folder name, a blank and the title.
// Readers take the line's first blank-separated word as the folder name, so a folder whose
// name holds a blank would be read back as another folder ("Urlaub 2019" as "Urlaub"): such
// folders are never listed.
#include <QList>
#include <QString>
#include <QStringList>

struct TArchiveEntry {
    QString Folder;  // the folder name, without "/"
    QString Title;   // "Titel" of its Diashow.ini ("" when the key is missing)

    // The line of the archive list: folder name, a blank, title.
    QString Line() const { return Folder + QLatin1Char(' ') + Title; }
};

// The slideshows of archiveRoot (with a trailing "/"), in the order a folder scan returns
// them. Listed are folders that hold a Diashow.ini file; left out are entries that are no
// folders, names with a "." or a blank, and names that contain "DEL" in any case (the blank
// template "del" and deleted slideshows). A missing archive, or none given (""), gives none.
QList<TArchiveEntry> ArchiveEntries(const QString& archiveRoot);
// Their lines, in the same order.
QStringList ListDiashows(const QString& archiveRoot);
// The folder name of an archive list line (its first blank-separated word).
QString ArchiveLineFolder(const QString& line);
