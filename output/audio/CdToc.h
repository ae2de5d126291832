#pragma once
// The audio tracks of a CD as `cdparanoia -Q` lists them, and the names ripped tracks get.
#include <QList>
#include <QString>

// Track numbers from the table that `cdparanoia -Q` prints ("  1.    16771 [03:43.46] ...").
QList<int> ParseCdparanoiaToc(const QString& output);
// "Track" + two digits + ".wav" in folder (trailing "/"), or with "_2", "_3" ... before the
// extension when that name is taken: a rip never replaces a title already there.
QString RippedTrackPath(const QString& folder, int track);
