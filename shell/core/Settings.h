#pragma once
// The program settings of Generator.ini (section SETTINGS), the effect list of Effects.ini and
// the marker files of the program folder.
//
// TProgramSettings holds one field per settings control of the main window; the window copies
// it to its controls after LoadSettings and back before SaveSettings.
#include "platform/vcl/StringList.h"

#include <QString>

// The checked radio button of the transition effect; None when no button is checked.
enum class TEffectMode { On, Off, Random, None };

struct TProgramSettings {
    QString DiashowTime;             // "DefaultTime": seconds per picture as typed
    bool EndlessPlay = false;        // "StopDiashowAtEnd" (inverted)
    bool Fullscreen = true;          // "Fullscreen"
    bool Manuell = true;             // "Manuell": advance the pictures by the arrow keys
    bool PictureTextVisible = false; // "PictureTextVisible"
    bool FileNameVisible = false;    // "FileNameVisible"
    int BKGColor = 0;                // "BKGColor"
    int TextColor = 0;               // "TextColor"
    TEffectMode EffectMode = TEffectMode::Off;  // "EffectMode"
    bool PrintPreview = true;        // "PrintPreview"
    int EffectNumber = 1;            // "Effect"
    int TextOffset = 0;              // "TextOffset"
    QString SourceFolder;            // "SourcePicturesPath": the folder the user chose last
    QString ArchiveDrive = QStringLiteral("C");  // "Drive": the archive's drive letter

    bool operator==(const TProgramSettings&) const = default;
};

// Reads Generator.ini; a missing file or key gives the defaults above. Booleans are upper-cased
// before they are compared, except "PrintPreview" and "EffectMode", which must match exactly
// ("true" unchecks print preview, "on" checks no effect button). "Drive" is upper-cased after
// AddBackslash; a missing or empty value gives drive "C" (the home folder).
TProgramSettings LoadSettings(const QString& fileName);
// Writes every key but "Language" (which the installer owns) in a fixed order; "Manuell" is
// TRUE only together with full screen; EffectMode None writes nothing for "EffectMode". A write
// that fails raises Exception naming the file.
void SaveSettings(const QString& fileName, const TProgramSettings& settings);
// Writes "Drive" alone; the other keys stay as they are.
void SaveArchiveDrive(const QString& fileName, const QString& drive);

// ---- Effect list --------------------------------------------------------------------------

// One line of Effects.ini: five ';'-separated integers. Line n - 1 describes effect n.
struct TEffectLine {
    int PaintEffect = 1000;
    int EffectDelay = 0;
    int EffectGrain = 5;
    int PaintMaxPasses = 1;
    int WandSize = 0;
};

// The lines of Effects.ini; a missing file raises the list's file error.
void LoadEffectList(TStringList& list, const QString& fileName);
// Word `word` (1 to 5) of an effect line as an integer; a word that is missing or not a whole
// number raises EConvertError.
int EffectLineWord(const QString& line, int word);
// All five words; EConvertError as above.
TEffectLine ParseEffectLine(const QString& line);
// The line of effect `effectNumber` (from 1); a number beyond the list raises its index
// error (EStringListError), a bad line EConvertError.
TEffectLine EffectLineOf(const TStringList& list, int effectNumber);

// ---- Marker files -------------------------------------------------------------------------
// Empty files in the program folder whose existence alone counts (NoTip.ini, NoWer.ini,
// NoZuschneidenTip.ini, NoZuschneidenTip2.ini). The names are full paths.

// Saves an empty string list: a file of 0 bytes. A failure raises Exception naming the file.
void WriteMarkerFile(const QString& fileName);
bool MarkerFileExists(const QString& fileName);
// Removes the file when present; true when no file remains.
bool DeleteMarkerFile(const QString& fileName);
