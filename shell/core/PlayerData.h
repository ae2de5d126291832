#pragma once
// What the slideshow player reads beside it, without widgets: its Settings.ini (section
// SETTINGS, written by the main window before the player starts), the seconds per picture of a
// slideshow, the slideshows it plays and the audio titles of one slideshow.
//
// The main window writes the settings and the player reads them through the same code, so
// the file has one reader and one writer.
#include "shell/core/Settings.h"

#include <QList>
#include <QString>
#include <QStringList>

struct TPlayerSettings {
    bool StopDiashowAtEnd = true;    // "StopDiashowAtEnd": end after the last picture, else loop
    bool Fullscreen = true;          // "Fullscreen"
    bool Manuell = false;            // "Manuell": pictures stepped by keys (full screen only)
    bool PictureTextVisible = true;  // "PictureTextVisible"
    bool FileNameVisible = false;    // "FileNameVisible"
    int BKGColor = 0;                // "BKGColor": TColor number (0x00BBGGRR)
    int TextColor = 0xFFFFFF;        // "TextColor"
    TEffectMode EffectMode = TEffectMode::Off;  // "EffectMode": "ON", "OFF", "RANDOM"
    int Effect = 1;                  // "Effect": the line of Effects.ini (from 1)
    int TextOffset = 0;              // "TextOffset": pixels between the text band and the bottom

    bool operator==(const TPlayerSettings&) const = default;
};

// Writes the ten keys into section SETTINGS of fileName ("TRUE"/"FALSE", decimal numbers,
// "ON"/"OFF"/"RANDOM"); "Manuell" is TRUE only together with full screen. Other keys and
// sections of the file stay. A write that fails raises Exception naming the file.
void WritePlayerSettings(const QString& fileName, const TPlayerSettings& settings);
// Reads them; a missing file or key gives the defaults above. Booleans are compared
// upper-cased, "EffectMode" exactly (another value means OFF). "Manuell" counts only with full
// screen.
TPlayerSettings ReadPlayerSettings(const QString& fileName);

// Seconds per picture as typed in Diashow.ini ("2,5" and "2.5" alike, in any locale); a value
// that does not convert, or is not above zero, gives 5.
double DiashowSeconds(const QString& typed);

// The audio titles of a slideshow folder: "Audio" + three digits + ".mp3" or ".wav" (any case),
// full paths, in name order.
QStringList AudioTitles(const QString& folder);

// The slideshow folders of a player folder (with a trailing "/"), folder names in name order:
// exactly the folders the archive lists (ArchiveEntries: holding a Diashow.ini, never the
// template "del" or anything named with "DEL", ".", or a blank), whatever their names.
QStringList PlayerSlideshows(const QString& folder);

// The slideshow that "TEST" plays: the one of PlayerSlideshows whose Diashow.ini or
// Pictures.ini was written last ("" when there is none).
QString LastWrittenSlideshow(const QString& folder);

// The shows to play without an argument: the intro of intro.ply (section INTRO, key
// "Diashow"), then the play list of play.ply (section PLAYLIST, keys Diashow1, Diashow2, ...
// in number order), or every slideshow of the folder when the list names none. Names that are
// not slideshows of the folder are left out.
QStringList PlayerPlayList(const QString& folder);

// One picture of a slideshow as the player shows it.
struct TShowPicture {
    QString Path;  // full path
    QString Name;  // file name
    QString Text;  // picture text
};
struct TShow {
    QString Folder;                 // full path with a trailing "/"
    QString Title;
    double Seconds = 5;
    QList<TShowPicture> Pictures;   // in show order; lines whose file is missing are left out
    QStringList AudioTitles;
};
// The slideshow in folder (full path): Diashow.ini, Pictures.ini and the audio titles.
TShow ReadShow(const QString& folder);

// The player program in the archive root: "Diashow-Player" for "GERMAN", else
// "Slideshow-Player"; its screensaver copy "Diashow.scr" or "Slideshow.scr", which plays the
// documents folder's "Diashow_Screensaver/" or "Slideshow_Screensaver/".
QString PlayerProgramName(const QString& language);
QString ScreensaverProgramName(const QString& language);
// The screensaver folder name that a screensaver copy's program name stands for ("" for a
// name that is no screensaver name).
QString ScreensaverFolderOf(const QString& programName);
