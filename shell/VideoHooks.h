#pragma once
// Connects the video CD wizard and the producer to the main window (after all windows exist).
void InstallVideoHooks();
