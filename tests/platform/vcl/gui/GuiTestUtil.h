#pragma once
// Helpers shared by the GUI tests of the framework layer.
#include "platform/vcl/Interaction.h"

#include <QCoreApplication>

namespace guitest {

// Runs the event loop a few rounds, so that queued calls and the events they post have run.
inline void Drain()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

// The real dialogs for one test (driven by timers, without a person).
struct RealDialogs {
    TQtInteraction real;
    TInteraction* saved = SetInteraction(&real);
    RealDialogs() = default;
    RealDialogs(const RealDialogs&) = delete;
    RealDialogs& operator=(const RealDialogs&) = delete;
    ~RealDialogs() { SetInteraction(saved); }
};

} // namespace guitest
