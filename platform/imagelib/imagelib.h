#pragma once
// The imaging kernel in one include: result codes, bitmaps, lists, regions, files.
#include "platform/imagelib/lterr.h"
#include "platform/imagelib/ltkrn.h"
#include "platform/imagelib/ltfil.h"
