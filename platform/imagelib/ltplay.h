#pragma once
// The imaging kernel: playback of a bitmap list as an animation. The pages of a list hold
// whole frames (a GIF's frames come composed, disposal applied, by the loader) with their
// display time in Delay. A playback copies the frames one after the other into a target
// bitmap; the caller processes it and paints whenever a frame is ready. Plain C++, no Qt.
#include "platform/imagelib/ltkrn.h"

#include <cstdint>

// Playback states.
inline constexpr std::int32_t LPB_STATE_FRAME_READY = 4;  // the target holds a new frame
inline constexpr std::int32_t LPB_STATE_WAITING = 5;      // the frame shows for its delay
inline constexpr std::int32_t LPB_STATE_ENDED = 10;       // past the last frame

struct LPlayback; // opaque

// A playback of list into target (both must outlive it), at index 0. An empty list gives
// LE_NO_BITMAP.
int L_CreatePlayback(LPlayback** playback, LBitmap* target, const LBitmapList* list);
int L_DestroyPlayback(LPlayback* playback);
// The next frame to come is index (0 .. count - 1); the playback waits for nothing.
int L_SetPlaybackIndex(LPlayback* playback, std::uint32_t index);
int L_GetPlaybackIndex(const LPlayback* playback, std::uint32_t* index);
// One move on: a frame to come is copied into the target (state 4); a frame ready starts its
// wait (state 5); a wait whose delay has passed, or was cancelled, moves to the next frame,
// or past the last one (state 10). nowMs is the caller's clock in milliseconds.
int L_ProcessPlayback(LPlayback* playback, std::int64_t nowMs, std::int32_t* state);
int L_GetPlaybackState(const LPlayback* playback, std::int32_t* state);
// Ends the running wait at once.
int L_CancelPlaybackWait(LPlayback* playback);
// The delay of the frame shown last, in milliseconds (0 before the first).
int L_GetPlaybackDelay(const LPlayback* playback, std::uint32_t* delayMs);
