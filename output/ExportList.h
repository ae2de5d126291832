#pragma once
// The slideshows that the export selection offers: the archive list of the main window
// (ListDiashows, one "folder title" line per slideshow), from the widget-free archive code.
#include "shell/core/Archive.h"
