#pragma once
// What the video CD wizard and the producer read of the main window and the windows they hand
// over to, gathered by the program at start-up (shell/Start.cpp) so that the output windows
// need no main window (tests fill it themselves).
#include "platform/vcl/Colors.h"

#include <QString>
#include <QStringList>

#include <functional>

struct TVideoContext {
    QString ProgramFolder;  // all folders with a trailing "/"
    QString ArchiveRoot;
    QString DiashowFolder;  // folder name of the open slideshow
    QString DiashowTitle;
    QString DiashowTime;    // seconds per picture as typed
    QString VideoFolder;
    QString EncoderFolder;
    QString LanguageName;   // GERMAN, ENGLISH, SWEDISH
    QChar Drive = QLatin1Char('C');  // the archive drive
    int PictureCount = 0;   // items of the slideshow list
    int VideoFrameRate = 25;
    int TransitionFrames = 12;
    bool DrawText = false;        // picture texts on the frames
    bool TransitionsOff = false;  // the settings' effect "off"
    bool RandomEffect = false;    // the settings' effect "random"
    int EffectNumber = 1;         // 1-based line of Effects.ini
    TColor TextColor = 0;
    TColor BKGColor = 0;
    int TextOffset = 0;
    QStringList AudioTitles;      // full paths, in order
};

struct TVideoHooks {
    std::function<TVideoContext()> Context;
    // Rewrites the slideshow's Pictures.ini from its list.
    std::function<void()> SavePicturesIni;
    // The instructions window, shown modally: its two texts (language numbers) and whether
    // the burn button and the icon line show.
    std::function<void(const QString& make, const QString& sub, bool burnButton, bool icon)> ShowInstructions;
};

extern TVideoHooks VideoHooks;
