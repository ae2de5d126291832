#pragma once
// The slideshows that the export selection offers (widget-free).
#include <QString>
#include <QStringList>

// One line per slideshow folder of archiveRoot (with a trailing "/"), in the order a folder
// scan returns them: the folder name, a blank and the slideshow's title (key "Titel" of
// section "DIASHOW" in its Diashow.ini; empty when missing). Left out: entries that are no
// folders, names with a ".", folders without a Diashow.ini, and names that contain "DEL" in
// any case (the blank template "del" and deleted slideshows). A missing archive gives no lines.
QStringList ListDiashows(const QString& archiveRoot);
