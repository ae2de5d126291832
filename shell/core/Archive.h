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

// ---- Slideshow folders and their files ------------------------------------------------------

// The next free slideshow folder name of archiveRoot (with a trailing "/"): "Archive_" and one
// more than the highest number after a "_" among the folders without "." in their name
// (starting from 1), padded to four digits. Words after "_" that are no numbers are ignored.
// The name is only reserved by use: nothing is made here.
QString NextArchiveName(const QString& archiveRoot);

// The first free variant of path with "_" and a number before its extension: "/s/IMG.jpg"
// gives "/s/IMG_1.jpg", then "/s/IMG_2.jpg". A name without a dot gets the number at its end.
QString MakeUniqueFileName(const QString& path);

// The name a picture's copy gets in a slideshow folder: "|", ">", "<" and '"' (which the list
// items and Pictures.ini cannot hold) become "_", surrounding blanks go, and a leading
// "_THUMB" (any case) is dropped so that the copy is never taken for a thumbnail.
// An empty result becomes "Picture".
QString ArchivePictureName(const QString& fileName);

// True for a name that stays inside its folder: not empty, no "/", not "." or "..". Pictures.ini
// lines with other names are dropped, and no picture path is built from one.
bool IsPlainFileName(const QString& name);

struct TDiashowIni {
    QString Title;  // "Titel", trimmed
    QString Time;   // "Time" as typed
};
// Diashow.ini of folder (with or without trailing "/"); false when the file is missing.
bool ReadDiashowIni(const QString& folder, TDiashowIni& ini);
// Writes both keys (raises Exception naming the file when it cannot be stored).
void WriteDiashowIni(const QString& folder, const TDiashowIni& ini);

// One line of Pictures.ini: the file name, and " | " and the text when the text was set.
struct TPictureLine {
    QString Name;
    QString Text;
    bool HasText = false;

    QString Line() const;
    // Splits at "|" (runs count once): word 1 is the name, word 2 the text, both trimmed.
    static TPictureLine Parse(const QString& line);
};
// The lines of folder's Pictures.ini; none when the file is missing. Lines without a name,
// and lines whose name is no plain file name (a hand-edited "../x.jpg"), are left out.
QList<TPictureLine> ReadPicturesIni(const QString& folder);
// Rewrites folder's Pictures.ini, one line each with CRLF, through a safe replace (raises
// Exception naming the file when it cannot be stored).
void WritePicturesIni(const QString& folder, const QList<TPictureLine>& lines);

// Deletes every thumbnail ("_THUMB_" + picture name, any case) of folder whose picture is
// not there; numbered copies of thumbnails ("_THUMB_3IMG.jpg") therefore go too. Other files
// stay. Files that cannot be deleted stay silently.
void DeleteStaleThumbnails(const QString& folder);

// Deletes the hidden copies (".kvcopy" + ...) that a copy into folder left behind when the
// program was killed between writing and renaming them. A copy that another running program
// may still be writing (changed within the last minute, named after a live process other than
// this one or after none) stays.
void DeleteLeftoverCopies(const QString& folder);

// ---- Audio titles ---------------------------------------------------------------------------

// The audio titles of a slideshow folder in the order its settings list shows them: its
// "*.mp3" and "*.wav" files (plain, read-only and hidden files) sorted by full path ignoring
// case; full paths.
QStringList SlideshowAudioFiles(const QString& folder);
// The name of the title at position (from 0) of the play order: "Audio", position + 1 in
// three digits, "." and the extension of file ("Audio002.wav").
QString NumberedAudioName(int position, const QString& file);
// Renames files (full paths, in play order) to their numbered names, each in its own folder,
// over "_F_" + its name, so that titles can swap numbers. Failed renames are not reported.
void NumberAudioFiles(const QStringList& files);
// Gives the titles of folder their numbers in the order of SlideshowAudioFiles unless each
// has its number already (the player plays only numbered titles); true when it renamed.
bool NumberAudioTitles(const QString& folder);
