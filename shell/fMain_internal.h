#pragma once
// Helpers shared by the files of the main window.
#include "platform/vcl/Application.h"
#include "platform/vcl/Colors.h"

#include <QString>

#include <functional>

// Calls fn with the name of every file (no folder) that matches mask, a folder and a pattern
// ("/prog/thumbs/*.*"): plain, read-only and hidden files, in the order of the scan.
void ForEachFileOf(const QString& mask, const std::function<void(const QString& name)>& fn);

// Shows color as the background of a colour panel.
void SetPanelColor(QWidget& panel, TColor color);
