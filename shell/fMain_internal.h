#pragma once
// Helpers shared by the files of the main window.
#include "platform/vcl/Application.h"
#include "platform/vcl/Colors.h"

#include <QString>

#include <functional>

// The hourglass for the life of the object; the default cursor afterwards.
class TBusyCursor {
public:
    TBusyCursor() { Screen->SetCursor(crHourGlass); }
    ~TBusyCursor() { Screen->SetCursor(crDefault); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

// Calls fn with the name of every file (no folder) that matches mask, a folder and a pattern
// ("/prog/thumbs/*.*"): plain, read-only and hidden files, in the order of the scan.
void ForEachFileOf(const QString& mask, const std::function<void(const QString& name)>& fn);

// Shows color as the background of a colour panel.
void SetPanelColor(QWidget& panel, TColor color);
