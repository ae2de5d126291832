#pragma once
// The check list of the export selection (CheckListBox). Until the program's check list box
// control exists it is a plain list of checkable lines; the window fills and reads it only
// through the two functions below, so that the control type is named in this one place.
#include <QListWidget>
#include <QStringList>

using TExportCheckList = QListWidget;

// Replaces the lines of list with lines, none ticked.
void SetCheckListLines(TExportCheckList& list, const QStringList& lines);
// The ticked lines, in list order.
QStringList CheckedLines(const TExportCheckList& list);
