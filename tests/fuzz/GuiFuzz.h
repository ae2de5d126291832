#pragma once
// A GUI application for fuzz targets that draw with Qt: made on the first input, offscreen,
// and kept for the whole run.
#include <QGuiApplication>
#include <QImageReader>

#include <cstdlib>

namespace guifuzz {

inline void EnsureApplication()
{
    if (QCoreApplication::instance())
        return;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);   // lives until the process ends
    QImageReader::setAllocationLimit(16);  // megabytes: declared sizes beyond fail fast
}

} // namespace guifuzz
