#pragma once
// Gallery.ini in the program folder: the gallery's settings (section SETTINGS) and the FTP
// access data (section FTP), password included. The file is kept readable by its owner only.
//
// Every key is read on its own: a value that cannot be used is replaced (a number out of its
// input field's range is clamped into it, anything else takes the key's default) and
// reported as a TIniProblem, so that one bad line never stops the rest from loading.
#include "platform/vcl/Colors.h"

#include <QList>
#include <QString>

// The program folder's Gallery.ini.
QString GalleryIniPath();
// Makes Gallery.ini readable and writable by its owner only (when it exists).
void ProtectGalleryIni();

// One value of a settings file that could not be used as it stood, and what is used instead.
struct TIniProblem {
    QString File;
    QString Section;
    QString Key;
    QString Value;  // as it stands in the file
    QString Used;   // the value used instead
    bool operator==(const TIniProblem&) const = default;
};
// The lines that name each problem: file, section, key, value and the value used.
QString DescribeIniProblems(const QList<TIniProblem>& problems);

// Section SETTINGS.
struct TGallerySettings {
    int SmallPicX = 80;
    int LargePicX = 250;
    int Compression = 80;
    int PicProRow = 4;
    TColor BKGColor = 0;
    TColor TextColor = 4;
    bool TextVisible = false;
    bool FilenameVisible = false;
    bool ShapeVisible = true;
    bool operator==(const TGallerySettings&) const = default;
};

// The ranges of the gallery window's input fields: sizes take four digits, pictures per row
// two; a size or a row of 0 pictures makes no gallery.
struct TIntRange {
    int Min, Max;
    int Clamp(long long v) const { return int(v < Min ? Min : v > Max ? Max : v); }
};
constexpr TIntRange kWebSizeRange{1, 9999};
constexpr TIntRange kPicProRowRange{1, 99};
constexpr TIntRange kCompressionRange{1, 100};

// Reads section SETTINGS of file; the values that could not be used are added to problems.
TGallerySettings ReadGallerySettings(const QString& file, QList<TIniProblem>& problems);
// Writes section SETTINGS in the order the window has always written it, in one replace.
void WriteGallerySettings(const QString& file, const TGallerySettings& settings);

// Section FTP as the upload window's boxes show it.
struct TFtpSettings {
    QString Host, Port, User, Password, ServerDir;
};
// Reads section FTP; a port that is no number from 1 to 65535 is replaced by the default
// (empty) and added to problems.
TFtpSettings ReadFtpSettings(const QString& file, QList<TIniProblem>& problems);
