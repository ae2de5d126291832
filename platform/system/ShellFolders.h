#pragma once
// The user's shell folders and system values, read once at start-up into WindowsInfo.
//
// Folder values are absolute and carry no trailing "/"; TempPath ends with "/". A value
// without a counterpart on Linux stays empty.
//   Desktop, Personal  XDG_DESKTOP_DIR / XDG_DOCUMENTS_DIR of $XDG_CONFIG_HOME/user-dirs.dirs;
//                      when not configured (or not absolute) ~/Desktop or ~/Documents if that
//                      folder exists, else the home folder: never an empty or relative folder
//   Templates          XDG_TEMPLATES_DIR, else ~/Templates if it exists, else empty
//   Fonts              $XDG_DATA_HOME/fonts
//   Programs,StartMenu $XDG_DATA_HOME/applications
//   Startup            $XDG_CONFIG_HOME/autostart
//   Cache              $XDG_CACHE_HOME
//   LogonUserName      $USER, else $LOGNAME, else the account name of the process
//   WindowsFamily      "Linux"
//   ProgramFilesDir    "/opt"
//   TempPath           the temporary folder ($TMPDIR or /tmp) with a trailing "/"
//   SystemRoot         $XDG_DATA_HOME/korvanta (the program's own, made when first used)
//   Favorites, NetHood, Recent, SendTo, CommonFilesDir, MediaPath,
//   AddressBookFile    empty
#include <QString>

class TWindowsInfo {
public:
    QString Desktop;
    QString Favorites;
    QString Fonts;
    QString NetHood;
    QString Personal;
    QString Programs;
    QString Recent;
    QString SendTo;
    QString StartMenu;
    QString Startup;
    QString Templates;
    QString Cache;
    QString LogonUserName;
    QString SystemRoot;
    QString WindowsFamily;
    QString ProgramFilesDir;
    QString CommonFilesDir;
    QString MediaPath;
    QString TempPath;
    QString AddressBookFile;

    // Reads everything from the current environment; never fails.
    static TWindowsInfo Read();
};

// Filled by InitWindowsInfo; empty before.
extern TWindowsInfo WindowsInfo;

// Called once at start-up after the application object exists. Calling it again re-reads
// the environment (tests do so after changing HOME or the XDG folders).
void InitWindowsInfo();
