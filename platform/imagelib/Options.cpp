// The calling thread's callbacks and option sets.
#include "platform/imagelib/ImageInternal.h"
#include "platform/imagelib/ltimg.h"

namespace kvimg {
namespace {
struct ThreadState {
    LStatusCallback status = nullptr;
    void* statusData = nullptr;
    LLoadInfoCallback loadInfo = nullptr;
    void* loadInfoData = nullptr;
    LLoadOptions load;
    LSaveOptions save;
    LPdfOptions pdf;
    LRasterizeOptions raster;
    LJ2KOptions j2k;
    // The one-shot hint of L_SetNextLoadDecodeHint.
    std::int32_t nextMinWidth = 0;
    std::int32_t nextMinHeight = 0;
};
thread_local ThreadState t_state;
} // namespace

int ReportStatus(std::int32_t percent)
{
    if (!t_state.status)
        return LE_SUCCESS;
    return CallbackResult(t_state.status(percent, t_state.statusData));
}

bool AskLoadInfo(const char* fileName, LLoadInfo* info)
{
    if (!t_state.loadInfo)
        return false;
    *info = LLoadInfo{};
    return t_state.loadInfo(fileName, info, t_state.loadInfoData) == 1 && info->Width > 0 && info->Height > 0;
}

LLoadOptions ResolveLoadOptions(const LLoadOptions* given)
{
    if (given)
        return *given;
    return t_state.load;
}

void ConsumeDecodeHint() { t_state.load.DecodeMinWidth = t_state.load.DecodeMinHeight = 0; }

void TakeNextDecodeHint(LLoadOptions& options)
{
    if (options.DecodeMinWidth <= 0 && options.DecodeMinHeight <= 0) {
        options.DecodeMinWidth = t_state.nextMinWidth;
        options.DecodeMinHeight = t_state.nextMinHeight;
    }
    t_state.nextMinWidth = t_state.nextMinHeight = 0;
}

LSaveOptions ResolveSaveOptions(const LSaveOptions* given) { return given ? *given : t_state.save; }

} // namespace kvimg

using kvimg::t_state;

int L_SetStatusCallBack(LStatusCallback callback, void* userData, LStatusCallback* oldCallback, void** oldUserData)
{
    if (oldCallback)
        *oldCallback = t_state.status;
    if (oldUserData)
        *oldUserData = t_state.statusData;
    t_state.status = callback;
    t_state.statusData = userData;
    return LE_SUCCESS;
}

int L_GetStatusCallBack(LStatusCallback* callback, void** userData)
{
    if (callback)
        *callback = t_state.status;
    if (userData)
        *userData = t_state.statusData;
    return LE_SUCCESS;
}

int L_SetLoadInfoCallBack(LLoadInfoCallback callback, void* userData, LLoadInfoCallback* oldCallback,
                          void** oldUserData)
{
    if (oldCallback)
        *oldCallback = t_state.loadInfo;
    if (oldUserData)
        *oldUserData = t_state.loadInfoData;
    t_state.loadInfo = callback;
    t_state.loadInfoData = userData;
    return LE_SUCCESS;
}

namespace {
template <typename T>
int GetOption(const T& from, T* to)
{
    if (!to)
        return LE_INVALID_PARAMETER;
    *to = from;
    return LE_SUCCESS;
}

template <typename T, typename Valid>
int SetOption(T& to, const T* from, Valid valid)
{
    if (!from) {
        to = T{};
        return LE_SUCCESS;
    }
    if (!valid(*from))
        return LE_INVALID_PARAMETER;
    to = *from;
    return LE_SUCCESS;
}

bool Always(const auto&) { return true; }
bool IsAlpha(std::int32_t v) { return v == 1 || v == 2 || v == 4; }
} // namespace

int L_GetDefaultLoadFileOption(LLoadOptions* options) { return GetOption(t_state.load, options); }
int L_SetDefaultLoadFileOption(const LLoadOptions* options)
{
    return SetOption(t_state.load, options, [](const LLoadOptions& o) {
        return o.PageNumber >= 0 && o.DecodeMinWidth >= 0 && o.DecodeMinHeight >= 0;
    });
}
int L_SetNextLoadDecodeHint(std::int32_t minWidth, std::int32_t minHeight)
{
    if (minWidth < 0 || minHeight < 0)
        return LE_INVALID_PARAMETER;
    t_state.nextMinWidth = minWidth;
    t_state.nextMinHeight = minHeight;
    return LE_SUCCESS;
}
int L_GetDefaultSaveFileOption(LSaveOptions* options) { return GetOption(t_state.save, options); }
int L_SetDefaultSaveFileOption(const LSaveOptions* options)
{
    return SetOption(t_state.save, options, [](const LSaveOptions& o) {
        return o.PageNumber >= 0 && o.PaletteCount >= 0 && o.PaletteCount <= 256;
    });
}
int L_GetPDFOptions(LPdfOptions* options) { return GetOption(t_state.pdf, options); }
int L_SetPDFOptions(const LPdfOptions* options)
{
    return SetOption(t_state.pdf, options, [](const LPdfOptions& o) {
        const bool depth = o.DisplayDepth == 1 || o.DisplayDepth == 4 || o.DisplayDepth == 8 || o.DisplayDepth == 24;
        return o.XResolution >= 0 && o.YResolution >= 0 && depth && IsAlpha(o.TextAlpha) &&
               IsAlpha(o.GraphicsAlpha) && (o.UseLibFonts == 0 || o.UseLibFonts == 1);
    });
}
int L_GetRasterizeOptions(LRasterizeOptions* options) { return GetOption(t_state.raster, options); }
int L_SetRasterizeOptions(const LRasterizeOptions* options)
{
    return SetOption(t_state.raster, options, [](const LRasterizeOptions& o) {
        return o.ViewMode >= 0 && o.ViewMode <= 3 && o.ViewportWidth >= 0 && o.ViewportHeight >= 0 &&
               o.WmfResolution >= 0;
    });
}
int L_GetJ2KOptions(LJ2KOptions* options) { return GetOption(t_state.j2k, options); }
int L_SetJ2KOptions(const LJ2KOptions* options) { return SetOption(t_state.j2k, options, Always<LJ2KOptions>); }

std::int32_t L_JpegQualityOfQFactor(std::int32_t qFactor)
{
    // Monotonic: 2 -> 100, 22 -> 85 (0.75 per step), 255 -> 1 (linear in between).
    if (qFactor < 2 || qFactor > 255)
        return 0;
    if (qFactor <= 22)
        return 100 - (qFactor - 2) * 3 / 4;
    return 85 - ((qFactor - 22) * 84 + 116) / 233;
}
