#include "output/ExportCheckList.h"

void SetCheckListLines(TExportCheckList& list, const QStringList& lines)
{
    list.clear();
    for (const QString& line : lines) {
        auto* item = new QListWidgetItem(line, &list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

QStringList CheckedLines(const TExportCheckList& list)
{
    QStringList lines;
    for (int i = 0; i < list.count(); ++i)
        if (list.item(i)->checkState() == Qt::Checked)
            lines.append(list.item(i)->text());
    return lines;
}
