#pragma once
// The main window's help menu, and the shell opens of the small dialogs.
//
// The handlers are free functions so that the main window binds its menu items to them
// (Hilfe -> Hilfedatei, Aktualisierungen im Internet, Info).
#include <QString>

// The fixed failure texts of the shell opens.
inline constexpr char kBrowserStartFailure[] =
    "Unable to start internet browser! Make sure you have it properly set-up on your system!";
inline constexpr char kMailStartFailure[] =
    "Unable to start mail client. Make sure you have it properly set-up on your system.";

// Opens target (a web, mail or local file address) through the shell; when that fails,
// shows failureText in a message box. True when the open succeeded.
bool ShellOpenOrComplain(const QString& target, const char* failureText);

// Opens the help page of the program folder (help/ + ProductInfo.HelpFile).
void Hilfedatei1Click();
// Opens the product's web page (the mail-client text is the failure text here too).
void Update1Click();
// Shows the about box modally.
void Info1Click();
