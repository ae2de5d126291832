#pragma once
// The check list of the export selection (CheckListBox); the window fills and reads it only
// through the two functions below.
#include "platform/vcl/CheckListBox.h"

#include <QStringList>

using TExportCheckList = TCheckListBox;

// Replaces the lines of list with lines, none ticked.
void SetCheckListLines(TExportCheckList& list, const QStringList& lines);
// The ticked lines, in list order.
QStringList CheckedLines(const TExportCheckList& list);
