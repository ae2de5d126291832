// TLEADImage: the processing operations (resize, rotate, mirror, grey scale, filters, colour
// balance, red eyes, fill, combine) inside the bracket of checks, undo copy, progress, list
// update and error reporting; the minimal region operations they need; the load size hint.
#include "imaging/LEADImage.h"

#include <exception>
#include <new>

namespace {

LColor KernelColor(TColor color) { return LColor(ColorToRGB(color)) & 0x00ffffffu; }

} // namespace

// ---- the bracket ------------------------------------------------------------------------------

void TLEADImage::BeginBitmapOperation(LBitmap* bitmap)
{
    CheckProcessingAllowed();
    m_stateFlags |= kStateBitmapLocked;
    ClearAbortFlags();
    L_FreeBitmap(&m_operationBitmap);
    L_CopyBitmapHandle(&m_operationBitmap, bitmap);  // the pixels are shared until one side writes
    PushStatusChain();
}

void TLEADImage::EndBitmapOperation(LBitmap* bitmap)
{
    const bool aborted = Aborted();
    if (aborted)
        L_CopyBitmapHandle(bitmap, &m_operationBitmap);
    PopStatusChain();
    L_FreeBitmap(&m_operationBitmap);
    if (LastError() == 1)
        MarkDataModified();
    StoreWorkingBitmap();
    m_changedFlags |= kChangedPicture;
    m_stateFlags &= ~kStateBitmapLocked;
    UpdatePanWindow();
    UpdateMagGlass();
    if (m_autoRepaint)
        Invalidate();
    if (!aborted && OnChange)
        OnChange(this);
}

LBitmap* TLEADImage::ProcessingTarget(const QString&)
{
    // With a floater (EnableFloater and a lifted piece) the geometric operations work on the
    // floater's bitmap; the region tools add it.
    return &m_bitmap;
}

int TLEADImage::ProcessBitmap(const QString& operation, bool targetRule, const std::function<int(LBitmap&)>& call,
                              const std::function<void(bool aborted)>& success)
{
    ClearAbortFlags();
    if (targetRule) {
        CheckProcessingAllowed();
        SetLastError(1);
    }
    if (!m_allocated)
        RaiseNotAllocated(operation);
    LBitmap* target = targetRule ? ProcessingTarget(operation) : &m_bitmap;
    m_pendingException = nullptr;
    BeginBitmapOperation(target);
    int code;
    try {
        code = call(*target);
    } catch (const std::bad_alloc&) {
        code = LE_NO_MEMORY;
    }
    SetLastError(code);
    // The operation's own steps; an exception of one of them waits until the bracket is closed.
    std::exception_ptr failure;
    if (code == LE_SUCCESS && success) {
        try {
            success(Aborted());
        } catch (...) {
            failure = std::current_exception();
        }
        SetLastError(code);
    }
    EndBitmapOperation(target);
    if (failure)
        std::rethrow_exception(failure);
    RethrowPending();
    if (targetRule) {
        if (FloaterActive())
            SetLastError(ReseatFloater());
        if (code != LE_SUCCESS)
            SetLastError(code);
        else
            UpdateRgnBounds();
    }
    return ReportResult(operation, LastError());
}

// ---- geometry -----------------------------------------------------------------------------------

int TLEADImage::Size(int Width, int Height, int Flags)
{
    const int oldWidth = m_allocated ? m_bitmap.ViewWidth() : 0;
    const int oldHeight = m_allocated ? m_bitmap.ViewHeight() : 0;
    return ProcessBitmap(
        QStringLiteral("Size"), true,
        [&](LBitmap& b) { return L_SizeBitmap(&b, Width, Height, std::uint32_t(Flags)); },
        [&](bool) {
            MoveChildren(-m_geom.HScrollPos, -m_geom.VScrollPos);
            m_geom.HScrollPos = m_geom.VScrollPos = 0;
            SizeHook(oldWidth, oldHeight, Width, Height);
            ResetRectsForBitmap();
            if (m_backErase && !m_transparent)
                Invalidate();
            setPaintSizeMode(m_paintSizeMode);  // recomputes the zoom for the new size
        });
}

int TLEADImage::Rotate(int Angle, int Flags, TColor FillColor)
{
    return ProcessBitmap(
        QStringLiteral("Rotate"), true,
        [&](LBitmap& b) { return L_RotateBitmap(&b, Angle, std::uint32_t(Flags), KernelColor(FillColor)); },
        [&](bool) {
            RotateHook(double(Angle));
            ResetRectsForBitmap();
        });
}

int TLEADImage::FastRotate(int Angle)
{
    if (FloaterActive())
        RaiseResult(QStringLiteral("FastRotate"), LE_NOT_SUPPORTED);
    return ProcessBitmap(
        QStringLiteral("FastRotate"), false, [&](LBitmap& b) { return L_RotateBitmapViewPerspective(&b, Angle); },
        [&](bool aborted) {
            if (aborted)
                return;
            MoveChildren(-m_geom.HScrollPos, -m_geom.VScrollPos);
            m_geom.HScrollPos = m_geom.VScrollPos = 0;
            ResetRectsForBitmap();
            FastRotateHook(double(Angle));
        });
}

int TLEADImage::Flip()
{
    return ProcessBitmap(QStringLiteral("Flip"), true, [](LBitmap& b) { return L_FlipBitmap(&b); });
}

int TLEADImage::Reverse()
{
    return ProcessBitmap(QStringLiteral("Reverse"), true, [](LBitmap& b) { return L_ReverseBitmap(&b); });
}

// ---- colour and filters ---------------------------------------------------------------------------

int TLEADImage::GrayScale(int BitsPerPixel)
{
    return ProcessBitmap(
        QStringLiteral("GrayScale"), false, [&](LBitmap& b) { return L_GrayScaleBitmap(&b, BitsPerPixel); },
        [&](bool) {
            ResetRectsForBitmap();
            // A visible floater is made grey too once the region tools bring one.
        });
}

int TLEADImage::Sharpen(int Amount)
{
    return ProcessBitmap(QStringLiteral("Sharpen"), false, [&](LBitmap& b) { return L_SharpenBitmap(&b, Amount); });
}

int TLEADImage::GaussianFilter(int Radius)
{
    return ProcessBitmap(QStringLiteral("GaussianFilter"), false,
                         [&](LBitmap& b) { return L_GaussianFilterBitmap(&b, Radius); });
}

int TLEADImage::BalanceColors(const double* RedFactors, const double* GreenFactors, const double* BlueFactors)
{
    return ProcessBitmap(QStringLiteral("BalanceColors"), false,
                         [&](LBitmap& b) { return L_BalanceColors(&b, RedFactors, GreenFactors, BlueFactors); });
}

int TLEADImage::Fill(TColor Color)
{
    return ProcessBitmap(QStringLiteral("Fill"), false, [&](LBitmap& b) { return L_FillBitmap(&b, KernelColor(Color)); });
}

int TLEADImage::Combine(int XDst, int YDst, int Width, int Height, const LBitmap* SrcBitmap, int XSrc, int YSrc,
                        int Flags)
{
    return ProcessBitmap(QStringLiteral("Combine"), false, [&](LBitmap& b) {
        // The whole rectangle combines: the copy has no region.
        LBitmap source;
        const int copied = SrcBitmap ? L_CopyBitmap(&source, SrcBitmap) : LE_NO_BITMAP;
        if (copied != LE_SUCCESS)
            return copied;
        L_FreeBitmapRgn(&source);
        const int code = L_CombineBitmap(&b, XDst, YDst, Width, Height, &source, XSrc, YSrc, std::uint32_t(Flags));
        L_FreeBitmap(&source);
        return code;
    });
}

int TLEADImage::RemoveRedeye(TColor NewColor, int Threshold, int Lightness)
{
    ClearAbortFlags();
    if (CheckAllocated(QStringLiteral("RemoveRedeye")) != 1)
        return LastError();
    m_pendingException = nullptr;
    PushStatusChain();
    int code;
    try {
        code = L_RemoveRedeyeBitmap(&m_bitmap, KernelColor(NewColor), Threshold, Lightness);
    } catch (const std::bad_alloc&) {
        code = LE_NO_MEMORY;
    }
    PopStatusChain();
    // No undo copy and no OnChange; the page is stored so that a page switch keeps the change.
    if (code == LE_SUCCESS) {
        StoreWorkingBitmap();
        MarkDataModified();
        m_changedFlags |= kChangedPicture;
    }
    if (m_autoRepaint)
        Invalidate();
    RethrowPending();
    return ReportResultIf(QStringLiteral("RemoveRedeye"), code, true);
}

// ---- regions --------------------------------------------------------------------------------------

int TLEADImage::SetRgnShape(const QString& operation, int Left, int Top, int Width, int Height, int CombineMode,
                            bool ellipse)
{
    CheckProcessingAllowed();
    if (!m_allocated)
        RaiseNotAllocated(operation);
    // From the display to the bitmap: client pixels scaled by Src over Dst, less the offset.
    LRgnXForm xf;
    if (m_geom.Dst.Width > 0 && m_geom.Dst.Height > 0 && m_geom.Src.Width > 0 && m_geom.Src.Height > 0) {
        xf.XNumerator = m_geom.Src.Width;
        xf.XDenominator = m_geom.Dst.Width;
        xf.YNumerator = m_geom.Src.Height;
        xf.YDenominator = m_geom.Dst.Height;
        xf.XOffset = -m_geom.Dst.Left;
        xf.YOffset = -m_geom.Dst.Top;
    }
    const LRect rect{Left, Top, Left + Width, Top + Height};
    const int code = ellipse ? L_SetBitmapRgnEllipse(&m_bitmap, &xf, &rect, std::uint32_t(CombineMode))
                             : L_SetBitmapRgnRect(&m_bitmap, &xf, &rect, std::uint32_t(CombineMode));
    if (code == LE_SUCCESS)
        RegionChanged();
    return ReportResult(operation, code);
}

int TLEADImage::SetRgnRect(int Left, int Top, int Width, int Height, int CombineMode)
{
    return SetRgnShape(QStringLiteral("SetRgnRect"), Left, Top, Width, Height, CombineMode, false);
}

int TLEADImage::SetRgnEllipse(int Left, int Top, int Width, int Height, int CombineMode)
{
    return SetRgnShape(QStringLiteral("SetRgnEllipse"), Left, Top, Width, Height, CombineMode, true);
}

void TLEADImage::RegionChanged()
{
    UpdateRgnBounds();
    StoreWorkingBitmap();
    if (m_paintRgnOnly)
        Invalidate();
    if (OnRgnChange)
        OnRgnChange(this);
}

int TLEADImage::UpdateRgnBounds()
{
    if (!m_allocated)
        return 0;
    LRect bounds;
    const int code = L_GetBitmapRgnBounds(&m_bitmap, nullptr, &bounds);
    if (code == LE_SUCCESS && bounds.IsEmpty() && L_BitmapHasRgn(&m_bitmap)) {
        L_FreeBitmapRgn(&m_bitmap);
        StoreWorkingBitmap();
    }
    return code;
}

bool TLEADImage::HasRgn()
{
    SetLastError(1);
    return m_allocated && L_BitmapHasRgn(&m_bitmap);
}

namespace {
LRect RegionBounds(const LBitmap& b, bool allocated)
{
    LRect r;
    if (allocated)
        L_GetBitmapRgnBounds(&b, nullptr, &r);
    return r;
}
} // namespace

int TLEADImage::RgnLeft() const { return RegionBounds(m_bitmap, m_allocated).Left; }
int TLEADImage::RgnTop() const { return RegionBounds(m_bitmap, m_allocated).Top; }
int TLEADImage::RgnWidth() const { return RegionBounds(m_bitmap, m_allocated).Width(); }
int TLEADImage::RgnHeight() const { return RegionBounds(m_bitmap, m_allocated).Height(); }

// ---- the load size hint ------------------------------------------------------------------------

void TLEADImage::SetLoadSizeHint(int Width, int Height)
{
    // The kernel decodes at the smallest scale that still gives the size asked for; twice the
    // target keeps enough pixels for a clean resize.
    // The hint belongs to this control and is taken by its next load only.
    m_loadHintWidth = std::max(0, Width) * 2;
    m_loadHintHeight = std::max(0, Height) * 2;
    SetLastError(1);
}

void TLEADImage::ClearLoadSizeHint()
{
    m_loadHintWidth = 0;
    m_loadHintHeight = 0;
}
