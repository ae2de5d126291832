#pragma once
// Default options of the sanitizers for the test programs, compiled into their mains so that
// a test run needs no environment of its own. Include once, in a file with main().

extern "C" {
// Leaks inside system libraries (fonts, Qt's own caches) that the tests cannot free.
const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n"
           "leak:libQt6Gui\n"
           "leak:libQt6Core\n"
           "leak:libQt6Widgets\n"
           "leak:libglib\n"
           "leak:libdbus\n";
}
const char* __asan_default_options() { return "detect_leaks=1"; }
const char* __ubsan_default_options() { return "print_stacktrace=1:halt_on_error=1"; }
}
