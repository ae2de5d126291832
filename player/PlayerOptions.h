#pragma once
// How the player was started: the shows it plays, from which folder, and where it draws.
#include <QString>
#include <QStringList>

struct TPlayerOptions {
    enum class TMode {
        Test,         // "TEST": the slideshow written last, as the main window starts it
        PlayList,     // no argument: the intro, then the play list
        Screensaver,  // started as "Diashow.scr" / "Slideshow.scr"
    };
    TMode Mode = TMode::PlayList;
    // The folder holding Settings.ini, Language.ini, Effects.ini and the slideshows, with a
    // trailing "/": the player's own folder, or the screensaver folder of the documents.
    QString Folder;
    // xscreensaver's hack protocol: draw into that window (-window-id or XSCREENSAVER_WINDOW);
    // -root alone draws full screen. Either way the show ends only when the process is ended.
    bool HackProtocol = false;
    unsigned long long WindowId = 0;
};

// programPath: the player's own path (its folder and its name); documentsFolder: the user's
// documents; windowVariable: XSCREENSAVER_WINDOW. Arguments other than TEST and the hack
// options are ignored.
TPlayerOptions ParsePlayerOptions(const QStringList& arguments, const QString& programPath,
                                  const QString& documentsFolder, const QString& windowVariable);
