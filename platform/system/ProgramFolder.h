#pragma once
// The program folder: the folder of the executable, holding the shipped data. Every part of
// the program reads it from here; tests set it to a folder of their own.
#include <QString>

// With a trailing "/". Until set, the folder of the running executable.
QString ProgramFolder();
void SetProgramFolder(const QString& folder);
