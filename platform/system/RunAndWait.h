#pragma once
// Starts a program and waits for it to end, letting the caller's events run meanwhile.
#include <QString>
#include <QStringList>

#include <functional>

struct TRunAndWait {
    // The working folder; a relative program is looked for here first, then on PATH.
    QString Folder;
    QString Program;
    // Split as a command line (double quotes group words).
    QString Parameters;
    // Runs between waits (the caller's event processing).
    std::function<void()> ProcessEvents;
    // Asked between waits: true stops waiting and ends the program.
    std::function<bool()> StopWaiting;
    // The longest block of one wait; the loop sleeps in the wait, never spins.
    int PollMilliseconds = 50;
};

// The program's exit code; -1 when it could not be started, -2 when waiting was stopped.
int RunAndWait(const TRunAndWait& run);
// The path that RunAndWait would start for program in folder ("" when there is none).
QString FindProgram(const QString& folder, const QString& program);
