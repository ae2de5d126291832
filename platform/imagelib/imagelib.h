#pragma once
// The imaging kernel in one include: result codes, bitmaps, lists, regions, files, processing,
// drawing effects.
#include "platform/imagelib/lterr.h"
#include "platform/imagelib/ltkrn.h"
#include "platform/imagelib/ltfil.h"
#include "platform/imagelib/ltimg.h"
#include "platform/imagelib/ltefx.h"
#include "platform/imagelib/lteffect.h"
#include "platform/imagelib/ltplay.h"
