#include "output/ExportCheckList.h"

void SetCheckListLines(TExportCheckList& list, const QStringList& lines)
{
    list.Items().BeginUpdate();
    list.Items().Clear();
    for (const QString& line : lines)
        list.Items().Add(line);
    list.Items().EndUpdate();
}

QStringList CheckedLines(const TExportCheckList& list)
{
    QStringList lines;
    for (int i = 0; i < list.Items().Count(); ++i)
        if (list.Checked(i))
            lines.append(list.Items()[i]);
    return lines;
}
