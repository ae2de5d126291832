#pragma once
// Helpers shared by the files of the main window.
#include "platform/vcl/Application.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Files.h"  // ForEachFile

#include <QString>

#include <functional>

// Shows color as the background of a colour panel.
void SetPanelColor(QWidget& panel, TColor color);
