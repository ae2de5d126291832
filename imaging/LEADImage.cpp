// TLEADImage: construction, destruction, the bitmap and list model and the bitmap context.
#include "imaging/LEADImage.h"

#include "imaging/LEADBitmapImage.h"

#include <QMenu>
#include <QScrollBar>

#include <bit>
#include <utility>

namespace {

// The JPEG 2000 save record a new control hands to the kernel.
LJ2KOptions DefaultJ2KOptions()
{
    LJ2KOptions o;
    const std::uint32_t words[28] = {112, 1,  1,  3, std::bit_cast<std::uint32_t>(32.0f), 10240, 0, 0, 640, 480,
                                     0,   0,  1,  1, 1, 1, 1, 1, 5, 0, 64, 64, 0, 2, 0, 8, 0, 0};
    std::copy(std::begin(words), std::end(words), o.Words);
    return o;
}

} // namespace

// ---- construction and destruction ----------------------------------------------------------

TLEADImage::TLEADImage(QWidget* parent) : QAbstractScrollArea(parent)
{
    m_stateFlags |= kStateCreating;
    L_InitBitmap(&m_bitmap, 0, 0, 0);
    L_InitBitmap(&m_operationBitmap, 0, 0, 0);
    setEnableMethodErrors(true);
    SetLastError(1);
    // The option sets go through their writers, which check them.
    setPDFXResolution(96);
    setPDFYResolution(96);
    setPDFDisplayDepth(24);
    setPDFTextAlpha(4);
    setPDFGraphicsAlpha(1);
    setPDFUseLibFonts(true);
    setRasterizeViewportWidth(640);
    setRasterizeViewportHeight(480);
    setRasterizeViewMode(1);
    m_j2k = DefaultJ2KOptions();
    // The viewport is the client area; the scroll bars show only when the layout asks.
    setFrameStyle(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::ClickFocus);
    m_vScrollBarWidth = verticalScrollBar()->sizeHint().width();
    m_hScrollBarHeight = horizontalScrollBar()->sizeHint().height();
    InitScrolling();
    UpdateOpacity();
    resize(150, 150);
    m_stateFlags &= ~kStateCreating;
    SetLastError(1);
}

TLEADImage::~TLEADImage()
{
    m_stateFlags |= kStateDestroying;
    DestroyPanWindow();
    CancelFeedLoad();
    while (m_statusDepth > 0)
        PopStatusChain();
    m_bitmapDC.reset();
    m_controlDC.reset();
    if (m_list) {
        L_DestroyBitmapList(m_list);
        m_list = nullptr;
    }
    L_FreeBitmap(&m_operationBitmap);
    L_FreeBitmap(&m_bitmap);
}

// ---- reporting -----------------------------------------------------------------------------

bool TLEADImage::IsProcessingLocked() const
{
    return (m_stateFlags & kStateBitmapLocked) != 0 || m_busy;
}

// ---- the working bitmap and the list -----------------------------------------------------

int TLEADImage::TakePageFromList()
{
    L_FreeBitmap(&m_bitmap);
    int code = m_list ? L_GetBitmapListItem(m_list, m_listIndex, &m_bitmap) : LE_NO_BITMAP;
    m_allocated = code == LE_SUCCESS && m_bitmap.IsAllocated();
    if (!m_allocated) {
        L_InitBitmap(&m_bitmap, 0, 0, 0);
        if (code == LE_SUCCESS)
            code = LE_NO_BITMAP;
    }
    return code;
}

int TLEADImage::StoreWorkingBitmap()
{
    if (!m_list || !m_allocated)
        return LE_NO_BITMAP;
    return L_SetBitmapListItem(m_list, m_listIndex, &m_bitmap);
}

void TLEADImage::EmptyPicture()
{
    StopPlayback();
    if (m_list) {
        L_DestroyBitmapList(m_list);
        m_list = nullptr;
    }
    m_listIndex = 0;
    m_listCount = 0;
    L_FreeBitmap(&m_bitmap);
    m_allocated = false;
    Invalidate();
}

LBitmap* TLEADImage::Bitmap()
{
    SetLastError(1);
    if (m_allocated && !(m_busy && (m_stateFlags & kStateBitmapLocked)))
        return &m_bitmap;
    return nullptr;
}

void TLEADImage::setBitmap(LBitmap* bitmap)
{
    CheckProcessingAllowed();
    DestroyPanWindow();

    // Take the source first: it may be the working bitmap itself.
    const bool empty = !bitmap || bitmap->Width == 0 || bitmap->Height == 0;
    LBitmap source;
    if (!empty) {
        source = *bitmap;
        if (m_refBitmap)
            L_InitBitmap(bitmap, 0, 0, 0);  // the handle is taken over
    }

    int code = LE_SUCCESS;
    bool listIsNew = false;
    bool append = false;
    if (!m_list) {
        code = L_CreateBitmapList(&m_list);
        m_listIndex = 0;
        listIsNew = true;
    } else if (ListItemCount(m_list) > 0) {
        L_DeleteBitmapListItems(m_list, m_listIndex, 1);
        const int count = ListItemCount(m_list);
        if (count > 0 && m_listIndex >= count) {
            m_listIndex = count - 1;
            append = true;
        } else if (count == 0) {
            m_listIndex = 0;
            listIsNew = true;
        }
    }
    if (m_backErase && !m_transparent)
        Invalidate();

    if (code != LE_SUCCESS) {
        m_list = nullptr;
        L_FreeBitmap(&m_bitmap);
        m_allocated = false;
    } else if (empty) {
        if (ListItemCount(m_list) == 0) {
            L_DestroyBitmapList(m_list);
            m_list = nullptr;
            m_listIndex = 0;
            L_FreeBitmap(&m_bitmap);
            m_allocated = false;
        } else {
            code = TakePageFromList();
        }
    } else {
        L_FreeBitmap(&m_bitmap);
        code = m_refBitmap ? L_CopyBitmapHandle(&m_bitmap, &source) : L_CopyBitmap(&m_bitmap, &source);
        if (code == LE_SUCCESS) {
            code = L_InsertBitmapListItem(m_list, append ? -1 : m_listIndex, &m_bitmap);
            // An appended page is the current one: the index follows it, so that the next
            // store into the list does not overwrite the page before it.
            if (code == LE_SUCCESS && append)
                m_listIndex = ListItemCount(m_list) - 1;
        }
        m_allocated = code == LE_SUCCESS;
        if (!m_allocated)
            L_FreeBitmap(&m_bitmap);
    }
    L_FreeBitmap(&source);
    m_listCount = ListItemCount(m_list);

    BitmapChanged();
    MarkDataModified();
    if (listIsNew)
        RefreshCanvasInfo();
    ReportResult(QStringLiteral("Bitmap"), code);
}

void TLEADImage::setBitmapList(const LBitmapList* list)
{
    CheckProcessingAllowed();
    // Copy first: the list given may be the control's own.
    LBitmapList* copy = nullptr;
    int code = LE_SUCCESS;
    if (list) {
        code = L_CopyBitmapListItems(&copy, list, 0, -1);
        if (code != LE_SUCCESS && copy) {
            L_DestroyBitmapList(copy);
            copy = nullptr;
        }
    }
    EmptyPicture();
    if (copy) {
        m_list = copy;
        m_listIndex = 0;
        code = TakePageFromList();
    }
    m_listCount = ListItemCount(m_list);
    BitmapChanged();
    MarkDataModified();
    RefreshCanvasInfo();
    ReportResult(QStringLiteral("BitmapList"), code);
}

int TLEADImage::BitmapListCount()
{
    if (!m_list)
        RaiseOperationError(QStringLiteral("BitmapListCount"), QStringLiteral("No bitmap list."), -2);
    std::uint32_t count = 0;
    const int code = L_GetBitmapListCount(m_list, &count);
    if (code != LE_SUCCESS) {
        ReportResult(QStringLiteral("BitmapListCount"), code);
        return 0;
    }
    m_listCount = int(count);
    SetLastError(1);
    return m_listCount;
}

void TLEADImage::setBitmapListIndex(int index)
{
    CheckProcessingAllowed();
    if (!m_list)
        RaiseOperationError(QStringLiteral("BitmapListIndex"), QStringLiteral("No bitmap list."), -2);
    if (index < 0 || index >= ListItemCount(m_list)) {
        ReportResult(QStringLiteral("BitmapListIndex"), LE_INVALID_PARAMETER);
        return;
    }
    if (index == m_listIndex && m_allocated) {
        SetLastError(1);
        return;
    }
    StoreWorkingBitmap();
    m_listIndex = index;
    const int code = TakePageFromList();
    BitmapChanged();
    ReportResult(QStringLiteral("BitmapListIndex"), code);
}

int TLEADImage::ClearImage()
{
    CheckProcessingAllowed();
    DestroyPanWindow();
    CancelFeedLoad();
    EmptyPicture();
    ResetHook();
    return 1;
}

int TLEADImage::RestoreFromList()
{
    const int code = TakePageFromList();
    if (code == LE_SUCCESS) {
        BitmapChanged();
        MarkDataModified();
    }
    return code;
}

int TLEADImage::PrepareFirstFrame()
{
    const int bits = m_canvasBits > 0 ? m_canvasBits : 24;
    const int paletteCount = bits <= 8 ? (1 << bits) : 0;
    LBitmap frame;
    int code = L_CreateBitmap(&frame, m_canvasWidth, m_canvasHeight, bits,
                              m_canvasPaletteGiven ? m_canvasPalette : nullptr,
                              m_canvasPaletteGiven ? paletteCount : 0);
    if (code != LE_SUCCESS)
        return code;
    code = LeadFillBitmap(frame, m_canvasBackground);
    if (code != LE_SUCCESS) {
        L_FreeBitmap(&frame);
        return code;
    }
    L_FreeBitmap(&m_bitmap);
    m_bitmap = std::move(frame);
    m_allocated = true;
    ResetHook();
    const bool autoRepaint = m_autoRepaint;
    m_autoRepaint = false;
    ResetRectsForBitmap();
    m_autoRepaint = autoRepaint;
    return code;
}

int TLEADImage::ForceRepaint()
{
    int result = LE_SUCCESS;
    if (m_allocated && !m_bitmap.IsAllocated() && !m_loadGuard) {
        // The working bitmap was freed behind the control's back: its page goes too.
        CheckProcessingAllowed();
        result = m_list ? L_DeleteBitmapListItems(m_list, m_listIndex, 1) : LE_NO_BITMAP;
        if (result == LE_SUCCESS) {
            const int count = ListItemCount(m_list);
            if (m_listIndex >= count)
                m_listIndex = count > 0 ? count - 1 : 0;
            m_listCount = count;
            result = TakePageFromList();
            BitmapChanged();
            MarkDataModified();
        }
    }
    RepaintHook();
    SetLastError(result);
    Refresh();
    return result;
}

void TLEADImage::RefreshCanvasInfo()
{
    LBitmap first;
    if (!m_list || L_GetBitmapListItem(m_list, 0, &first) != LE_SUCCESS || !first.IsAllocated())
        return;
    m_canvasWidth = first.Width;
    m_canvasHeight = first.Height;
    m_canvasBits = first.BitsPerPixel;
    if (first.BitsPerPixel < 9 && first.Palette()) {
        const int n = first.PaletteSize();
        std::copy(first.Palette(), first.Palette() + n, m_canvasPalette);
    }
    L_FreeBitmap(&first);
}

void TLEADImage::BitmapChanged()
{
    if (m_stateFlags & kStateDestroying)
        return;
    ResetRectsForBitmap();
    m_changedFlags |= kChangedPicture;
    if (m_autoRepaint)
        Invalidate();
    UpdatePanWindow();
    UpdateMagGlass();
    if (OnChange)
        OnChange(this);
}

int TLEADImage::BitmapWidth() const { return m_allocated ? m_bitmap.ViewWidth() : 0; }
int TLEADImage::BitmapHeight() const { return m_allocated ? m_bitmap.ViewHeight() : 0; }
int TLEADImage::BitmapBits() const { return m_allocated ? m_bitmap.BitsPerPixel : 0; }

std::uint32_t TLEADImage::PaintFlags() const
{
    std::uint32_t flags = m_paintDither == pdOrdered ? 1 : 0;
    if (m_bitonalScaling == btsFavorBlack)
        flags += 64;
    else if (m_bitonalScaling == btsScaleToGray)
        flags += 16;
    static constexpr std::uint32_t kPalette[] = {0, 128, 256, 384};
    flags += kPalette[m_paintPalette];
    if (m_paintScaling == psResample)
        flags += 512;
    else if (m_paintScaling == psBicubic)
        flags += 1024;
    return flags;
}

// ---- the bitmap context ------------------------------------------------------------------

TCanvas* TLEADImage::GetBitmapDC()
{
    CheckProcessingAllowed();
    if (!m_allocated)
        RaiseNotAllocated(QStringLiteral("GetBitmapDC"));
    int code = LE_SUCCESS;
    if (m_bitmap.BitsPerPixel != 24) {
        // The canvas draws on 24-bit rows: the page becomes 24 bits and stays so.
        LBitmap wide;
        code = LeadExpandTo24(m_bitmap, wide);
        if (code == LE_SUCCESS) {
            m_bitmap = std::move(wide);
            StoreWorkingBitmap();
        }
    }
    std::uint8_t* bits = code == LE_SUCCESS ? m_bitmap.BeginWrite() : nullptr;
    if (bits) {
        m_bitmapDCImage = QImage(bits, m_bitmap.Width, m_bitmap.Height, m_bitmap.BytesPerLine,
                                 QImage::Format_BGR888);
        m_bitmapDC = std::make_unique<TCanvas>(&m_bitmapDCImage);
        m_stateFlags |= kStateBitmapLocked;
    }
    ReportResult(QStringLiteral("GetBitmapDC"), m_bitmapDC ? 1 : 0);
    return m_bitmapDC.get();
}

int TLEADImage::ReleaseBitmapDC()
{
    int code = 0;
    if (m_bitmapDC) {
        m_bitmapDC.reset();
        m_bitmapDCImage = QImage();
        m_bitmap.BeginWrite();  // the drawing gives the pixels a new generation
        m_allocated = true;
        StoreWorkingBitmap();
        m_stateFlags &= ~kStateBitmapLocked;
        m_changedFlags |= kChangedPicture;
        if (m_autoRepaint)
            Invalidate();
        code = 1;
    }
    return ReportResult(QStringLiteral("ReleaseBitmapDC"), code);
}
