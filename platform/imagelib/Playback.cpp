// Playback of a bitmap list: frames one after the other into a target bitmap, each shown for
// its delay.
#include "platform/imagelib/ltplay.h"

#include <algorithm>

struct LPlayback {
    LBitmap* Target = nullptr;
    const LBitmapList* List = nullptr;
    std::uint32_t Count = 0;
    std::uint32_t Next = 0;          // the frame to come
    std::int32_t State = 0;          // 0 before the first frame
    std::uint32_t Delay = 0;         // of the frame shown last
    std::int64_t WaitEnd = 0;
    bool Cancelled = false;
};

int L_CreatePlayback(LPlayback** playback, LBitmap* target, const LBitmapList* list)
{
    if (!playback || !target || !list)
        return LE_INVALID_PARAMETER;
    *playback = nullptr;
    std::uint32_t count = 0;
    if (L_GetBitmapListCount(list, &count) != LE_SUCCESS || count == 0)
        return LE_NO_BITMAP;
    *playback = new LPlayback{target, list, count};
    return LE_SUCCESS;
}

int L_DestroyPlayback(LPlayback* playback)
{
    delete playback;
    return LE_SUCCESS;
}

int L_SetPlaybackIndex(LPlayback* playback, std::uint32_t index)
{
    if (!playback || index >= playback->Count)
        return LE_INVALID_PARAMETER;
    playback->Next = index;
    playback->State = 0;
    playback->Cancelled = false;
    return LE_SUCCESS;
}

int L_GetPlaybackIndex(const LPlayback* playback, std::uint32_t* index)
{
    if (!playback || !index)
        return LE_INVALID_PARAMETER;
    *index = playback->Next;
    return LE_SUCCESS;
}

int L_ProcessPlayback(LPlayback* playback, std::int64_t nowMs, std::int32_t* state)
{
    if (!playback)
        return LE_INVALID_PARAMETER;
    LPlayback& p = *playback;
    switch (p.State) {
    case LPB_STATE_ENDED:
        break;
    case LPB_STATE_FRAME_READY:
        p.State = LPB_STATE_WAITING;
        p.WaitEnd = nowMs + p.Delay;
        p.Cancelled = false;
        break;
    case LPB_STATE_WAITING:
        if (!p.Cancelled && nowMs < p.WaitEnd)
            break;
        if (p.Next >= p.Count) {
            p.State = LPB_STATE_ENDED;
            break;
        }
        [[fallthrough]];
    default: {
        LBitmap frame;
        const int rc = L_GetBitmapListItem(p.List, std::int32_t(p.Next), &frame);
        if (rc != LE_SUCCESS)
            return rc;
        p.Delay = std::uint32_t(std::max(0, frame.Delay));
        *p.Target = frame;
        ++p.Next;
        p.State = LPB_STATE_FRAME_READY;
        break;
    }
    }
    if (state)
        *state = p.State;
    return LE_SUCCESS;
}

int L_GetPlaybackState(const LPlayback* playback, std::int32_t* state)
{
    if (!playback || !state)
        return LE_INVALID_PARAMETER;
    *state = playback->State;
    return LE_SUCCESS;
}

int L_CancelPlaybackWait(LPlayback* playback)
{
    if (!playback)
        return LE_INVALID_PARAMETER;
    playback->Cancelled = true;
    return LE_SUCCESS;
}

int L_GetPlaybackDelay(const LPlayback* playback, std::uint32_t* delayMs)
{
    if (!playback || !delayMs)
        return LE_INVALID_PARAMETER;
    *delayMs = playback->Delay;
    return LE_SUCCESS;
}
