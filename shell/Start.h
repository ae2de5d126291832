#pragma once
// The program's start, after the QApplication exists: unit initialisations, the language,
// the product information, then every window in the program's order.
#include <QString>

// A program folder that cannot be written stops the start: the text of that message, or ""
// when the folder is writable.
QString CheckProgramFolderWritable(const QString& folder);

class QWidget;
// Every window of the main window that is not shown maximised gets the flags of a dialog
// window (title and close button, no maximise button); the others keep theirs.
void GiveDialogFlags(QWidget& mainWindow);

// Runs the start order; false when the start was stopped (the message has been shown).
bool StartProgram();
// Deletes the windows (before the QApplication goes) and clears the language globals.
void EndProgram();
