#pragma once
// A GUI application for fuzz targets that draw with Qt: made on the first input, offscreen,
// and kept for the whole run.
#include <QGuiApplication>
#include <QImageReader>

#include <cstdlib>

// Leaks inside the system's font libraries (fontconfig's caches, freetype, glib, expat) that a
// long fuzzing run with leak detection would otherwise stop at within seconds. System
// libraries only: a leak in our code or in Qt still stops the run. The same list lies in
// lsan-gui.supp for runs that name it (LSAN_OPTIONS=suppressions=tests/fuzz/lsan-gui.supp).
#ifndef KV_FUZZ_REPLAY
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n"
           "leak:libfreetype.so\n"
           "leak:libglib-2.0.so\n"
           "leak:libexpat.so\n";
}
#endif

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
