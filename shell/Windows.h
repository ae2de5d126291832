#pragma once
// The program's windows, one global each, made once at start-up in a fixed order and
// parented to the main window (see Start.cpp). Windows reach each other through these.
class TMainForm;

extern TMainForm* MainForm;
