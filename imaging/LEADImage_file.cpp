// TLEADImage: loading, saving, the feed load, and the progress reporting they share (the
// process-wide status chain, the row callbacks and the abort by EnableProgressEvent).
//
// No exception leaves a kernel callback: an event handler's exception is kept, the callback
// stops the kernel, and the operation rethrows it once the kernel call has returned and the
// control is in order again.
#include "imaging/LEADImage.h"

#include <QFile>

#include <utility>

namespace {

// The control the kernel's status callback reports to, or none.
TLEADImage* g_current = nullptr;
// An abort was asked for (EnableProgressEvent written False while Busy).
bool g_abortRequest = false;
// The running operation was stopped by an abort.
bool g_aborted = false;

// Takes the pending abort request: true when there was one (the operation stops).
bool TakeAbortRequest()
{
    if (!g_abortRequest)
        return false;
    g_abortRequest = false;
    g_aborted = true;
    return true;
}

// Load flags handed to the kernel: allocate, store, and the kernel's default bit.
constexpr std::uint32_t kLoadFlags = LLF_ALLOCATE | LLF_STORE | 16;

} // namespace

// The kernel's callbacks; they reach the control's private state.
struct LeadImageFile {
    static int Status(std::int32_t percent, void*)
    {
        TLEADImage* c = g_current;
        if (!c) {
            g_abortRequest = false;
            g_aborted = true;
            return 1;
        }
        // While a row callback reports the progress itself, this one only watches for aborts.
        if (!c->m_rowProgress && c->m_enableProgressEvent && !c->FireStatus(percent)) {
            g_aborted = true;
            return 0;
        }
        return TakeAbortRequest() ? 0 : 1;
    }

    // f's result, or 0 (stop) when it raises; the exception is kept for the control.
    template <class F>
    static int Catching(TLEADImage* c, F f)
    {
        try {
            return f();
        } catch (...) {
            if (!c->m_pendingException)
                c->m_pendingException = std::current_exception();
            return 0;
        }
    }

    static int LoadRow(LFileInfo* info, LBitmap* page, std::uint8_t*, std::uint32_t flags, std::int32_t,
                       std::int32_t lines, void* userData)
    {
        auto* c = static_cast<TLEADImage*>(userData);
        return Catching(c, [&] { return c->LoadRowBand(info, page, flags, lines); });
    }

    static int SaveRow(LBitmap* bitmap, std::uint8_t* buffer, std::int32_t row, std::int32_t lines, void* userData)
    {
        auto* c = static_cast<TLEADImage*>(userData);
        return Catching(c, [&] { return c->SaveRowBand(bitmap, buffer, row, lines); });
    }

    // Data of no known format: OnLoadInfo may describe it as raw pixels in LoadInfo.
    static int LoadInfo(const char*, LLoadInfo* info, void* userData)
    {
        auto* c = static_cast<TLEADImage*>(userData);
        if (!c)
            return 0;
        g_current = c;
        if (!c->OnLoadInfo || !info)
            return 0;
        c->LoadInfo = LLoadInfo{};
        return Catching(c, [&] {
            c->OnLoadInfo(c);
            if (c->LoadInfo.Format == 0)
                return 0;
            *info = c->LoadInfo;
            return 1;
        });
    }

    // The bracket of a file or memory load: the loading flag, the status chain and the
    // load-info callback, undone on every way out.
    class LoadScope {
    public:
        explicit LoadScope(TLEADImage& control) : m_control(control)
        {
            m_control.m_stateFlags |= TLEADImage::kStateLoading;
            m_control.PushStatusChain();
            L_SetLoadInfoCallBack(&LeadImageFile::LoadInfo, &control, &m_prevInfo, &m_prevInfoData);
        }
        ~LoadScope()
        {
            m_control.m_stateFlags &= ~TLEADImage::kStateLoading;
            L_SetLoadInfoCallBack(m_prevInfo, m_prevInfoData, nullptr, nullptr);
            m_control.PopStatusChain();
        }
        LoadScope(const LoadScope&) = delete;
        LoadScope& operator=(const LoadScope&) = delete;

    private:
        TLEADImage& m_control;
        LLoadInfoCallback m_prevInfo = nullptr;
        void* m_prevInfoData = nullptr;
    };
};

// ---- the status chain and the abort flags ------------------------------------------------

void TLEADImage::PushStatusChain()
{
    if (m_statusDepth++ == 0) {
        m_prevCurrent = g_current;
        L_SetStatusCallBack(&LeadImageFile::Status, nullptr, &m_prevStatus, &m_prevStatusData);
    }
    g_current = this;
    m_busy = true;
}

void TLEADImage::PopStatusChain()
{
    if (m_statusDepth == 0 || --m_statusDepth > 0)
        return;
    L_SetStatusCallBack(m_prevStatus, m_prevStatusData, nullptr, nullptr);
    g_current = m_prevCurrent;
    m_prevCurrent = nullptr;
    m_prevStatus = nullptr;
    m_prevStatusData = nullptr;
    m_busy = false;
}

TLEADImage* TLEADImage::SwapStatusImage(TLEADImage* image)
{
    TLEADImage* previous = g_current;
    g_current = image;
    return previous;
}

void TLEADImage::ClearAbortFlags()
{
    g_abortRequest = false;
    g_aborted = false;
}

bool TLEADImage::Aborted() { return g_aborted; }

void TLEADImage::setEnableProgressEvent(bool on)
{
    m_enableProgressEvent = on;
    if (on)
        g_abortRequest = false;
    else if (m_busy)
        g_abortRequest = true;  // the running operation stops at its next report
    SetLastError(1);
}

bool TLEADImage::FireStatus(int percent)
{
    // While an address downloads, the transfer reports the progress (LEADImage_download.cpp).
    if (!m_enableProgressEvent || !OnStatus || !m_downloadFinished)
        return true;
    try {
        OnStatus(this, percent);
    } catch (...) {
        if (!m_pendingException)
            m_pendingException = std::current_exception();
        return false;
    }
    return true;
}

void TLEADImage::RethrowPending()
{
    if (m_pendingException)
        std::rethrow_exception(std::exchange(m_pendingException, nullptr));
}

// ---- option sets ---------------------------------------------------------------------------

LLoadOptions TLEADImage::BuildLoadOptions(int pageNumber) const
{
    LLoadOptions options;
    L_GetDefaultLoadFileOption(&options);
    options.PageNumber = pageNumber;
    options.Passes = 0;
    options.DecodeMinWidth = m_loadHintWidth;
    options.DecodeMinHeight = m_loadHintHeight;
    return options;
}

TLEADImage::SavedOptions TLEADImage::ApplyLoadOptionSets()
{
    SavedOptions saved;
    L_GetPDFOptions(&saved.pdf);
    L_GetRasterizeOptions(&saved.raster);
    L_SetPDFOptions(&m_pdf);
    LRasterizeOptions raster = m_raster;
    raster.WmfResolution = m_wmfResolution;
    L_SetRasterizeOptions(&raster);
    return saved;
}

void TLEADImage::RestoreLoadOptionSets(const SavedOptions& saved)
{
    L_SetPDFOptions(&saved.pdf);
    L_SetRasterizeOptions(&saved.raster);
}

// ---- loading -------------------------------------------------------------------------------

int TLEADImage::Load(const QString& FileName, int BitsPerPixel, int PageNumber, int PageCount)
{
    EndPlaybackForLoad();
    ClearImage();
    if (PageCount == 0) {
        BitmapChanged();
        MarkDataModified();
        SetLastError(1);
        return 1;
    }
    m_pendingException = nullptr;
    const QByteArray name = QFile::encodeName(FileName);
    int code;
    {
        const SavedOptions saved = ApplyLoadOptionSets();
        LeadImageFile::LoadScope scope(*this);
        const LLoadOptions options = BuildLoadOptions(PageNumber);
        ClearLoadSizeHint();
        m_fileInfo = LFileInfo{};
        code = L_FileInfo(name.constData(), &m_fileInfo, 1, &options);
        if (code == LE_SUCCESS) {
            // The canvas of the picture, which an animation plays on.
            const bool animated = IsAnimatedFile();
            m_canvasWidth = m_fileInfo.CanvasWidth;
            m_canvasHeight = m_fileInfo.CanvasHeight;
            m_canvasBits = m_fileInfo.BitsPerPixel;
            m_canvasPaletteGiven = (m_fileInfo.Flags & LFI_HAS_PALETTE) != 0;
            if (m_canvasPaletteGiven)
                std::copy(std::begin(m_fileInfo.Palette), std::end(m_fileInfo.Palette), m_canvasPalette);
            m_canvasBackground = (m_fileInfo.Flags & LFI_HAS_BACKGROUND) ? m_fileInfo.BackgroundColor : 0;
            // An animated picture is loaded page by page into the list like any other; the
            // canvas values above describe its frames.
            code = L_CreateBitmapList(&m_list);
            if (code == LE_SUCCESS) {
                m_listIndex = 0;
                L_InitBitmap(&m_bitmap, m_fileInfo.Width, m_fileInfo.Height, m_fileInfo.BitsPerPixel);
                ResetRectsForBitmap();
                code = LoadPages(name, BitsPerPixel, PageCount, options);
            }
            if (code == LE_SUCCESS) {
                m_loadedFileName = FileName;
                code = TakePageFromList();
                if (!animated)
                    RefreshCanvasInfo();
            }
        }
        RestoreLoadOptionSets(saved);
    }
    FinishLoad(code);
    RethrowPending();
    if (code == LE_SUCCESS)
        StartAutoAnimation();
    return ReportResultIf(QStringLiteral("Load"), code, true);
}

void TLEADImage::FinishLoad(int code)
{
    if (code != LE_SUCCESS)
        EmptyPicture();
    BitmapChanged();
    MarkDataModified();
    SetLastError(code);
}

int TLEADImage::LoadPages(const QByteArray& fileName, int bitsPerPixel, int pageCount, const LLoadOptions& options)
{
    ClearAbortFlags();
    m_loadState = LoadState{pageCount, 0, 0};
    m_loadGuard = true;
    m_busy = true;
    m_rowProgress = true;
    LBitmap page;
    LFileInfo info;
    int code = L_LoadFile(fileName.constData(), &page, bitsPerPixel, LORDER_BGR_OR_GRAY, kLoadFlags,
                          &LeadImageFile::LoadRow, this, &options, &info);
    m_rowProgress = false;
    m_loadGuard = false;
    m_busy = false;
    L_FreeBitmap(&page);
    // The row callback stops the kernel once the wanted pages are in.
    return code == LE_STOP_PAGES ? LE_SUCCESS : code;
}

int TLEADImage::LoadRowBand(const LFileInfo* info, LBitmap* page, std::uint32_t flags, int lines)
{
    LoadState& st = m_loadState;
    if (m_feedCancelled)
        return 0;
    if (st.pageCount > 0 && st.pagesLoaded >= st.pageCount) {
        SetLastError(LE_STOP_PAGES);
        return LE_STOP_PAGES;
    }
    if (info && m_fileInfo.Format == 0)
        m_fileInfo = *info;  // a feed load learns the picture from its first rows
    st.rows += lines;
    int result = LE_SUCCESS;
    if (flags & LRF_PASS_FIRST) {
        if (!FireStatus(0))
            return 0;
        st.rows = lines;
    }
    if ((flags & (LRF_PAGE_FIRST | LRF_PASS_FIRST)) == (LRF_PAGE_FIRST | LRF_PASS_FIRST)) {
        L_CopyBitmapHandle(&m_bitmap, page);
        result = L_InsertBitmapListItem(m_list, -1, &m_bitmap);
        if (result != LE_SUCCESS) {
            SetLastError(result);
            return result;
        }
        m_allocated = true;
        if (m_paintWhileLoad)
            ResetRectsForBitmap();
        else
            m_changedFlags |= kChangedPicture;
    }
    bool pageDone = false;
    if ((flags & (LRF_PAGE_LAST | LRF_PASS_LAST)) == (LRF_PAGE_LAST | LRF_PASS_LAST)) {
        ++st.pagesLoaded;
        pageDone = true;
        // The finished page replaces the one the first band put into the list.
        L_CopyBitmapHandle(&m_bitmap, page);
        result = L_SetBitmapListItem(m_list, ListItemCount(m_list) - 1, &m_bitmap);
        if (result != LE_SUCCESS) {
            SetLastError(result);
            return result;
        }
        m_changedFlags |= kChangedPicture;
        if (OnFilePage)
            OnFilePage(this);
    }
    const int height = page ? page->ViewHeight() : 0;
    if (height > 0 && !FireStatus(int(qint64(st.rows) * 100 / height)))
        return 0;
    if (m_paintWhileLoad)
        Refresh();
    if (TakeAbortRequest()) {
        SetLastError(0);
        return 0;
    }
    // No need to decode a page nobody asked for.
    if (pageDone && st.pageCount > 0 && st.pagesLoaded >= st.pageCount)
        result = LE_STOP_PAGES;
    SetLastError(result);
    return result;
}

int TLEADImage::LoadMemory(const void* Memory, int BitsPerPixel, int PageNumber, qint64 Size)
{
    EndPlaybackForLoad();
    ClearImage();
    m_pendingException = nullptr;
    int code;
    {
        const SavedOptions saved = ApplyLoadOptionSets();
        LeadImageFile::LoadScope scope(*this);
        ClearAbortFlags();
        const LLoadOptions options = BuildLoadOptions(PageNumber);
        ClearLoadSizeHint();
        m_fileInfo = LFileInfo{};
        if (Size < 0 || (!Memory && Size > 0))
            code = LE_INVALID_PARAMETER;
        else
            code = L_LoadBitmapMemory(static_cast<const std::uint8_t*>(Memory), std::size_t(Size), &m_bitmap,
                                      BitsPerPixel, LORDER_BGR, &options, &m_fileInfo);
        if (code == LE_SUCCESS) {
            code = L_CreateBitmapList(&m_list);
            m_listIndex = 0;
        }
        if (code == LE_SUCCESS)
            code = L_InsertBitmapListItem(m_list, m_listIndex, &m_bitmap);
        m_allocated = code == LE_SUCCESS;
        RestoreLoadOptionSets(saved);
    }
    FinishLoad(code);
    ResetHook();
    RethrowPending();
    return ReportResultIf(QStringLiteral("LoadMemory"), code, true);
}

// ---- the feed load -------------------------------------------------------------------------

int TLEADImage::StartFeedLoad(int BitsPerPixel, int PageNumber, int PageCount)
{
    EndPlaybackForLoad();
    ClearImage();
    m_stateFlags |= kStateLoading;
    m_pendingException = nullptr;
    const LLoadOptions options = BuildLoadOptions(PageNumber);
    ClearLoadSizeHint();
    const SavedOptions saved = ApplyLoadOptionSets();
    ClearAbortFlags();
    m_loadState = LoadState{PageCount, 0, 0};
    m_loadGuard = true;
    m_busy = true;
    m_feedCancelled = false;
    m_fileInfo = LFileInfo{};
    L_InitBitmap(&m_feedBitmap, 0, 0, 0);
    int code = L_StartFeedLoad(&m_feedBitmap, BitsPerPixel, LORDER_BGR, kLoadFlags, &LeadImageFile::LoadRow, this,
                               &m_feed, &options);
    RestoreLoadOptionSets(saved);
    if (code == LE_SUCCESS) {
        code = L_CreateBitmapList(&m_list);
        m_listIndex = 0;
        if (code != LE_SUCCESS) {
            CancelFeedLoad();
            EmptyPicture();
        }
    } else {
        m_feed = nullptr;
        EndFeedState();
    }
    return ReportResult(QStringLiteral("StartFeedLoad"), code);
}

int TLEADImage::FeedLoad(const void* Buffer, qint64 Size)
{
    if (!m_feed) {
        SetLastError(0);
        throw EInvalidOperation(ComponentName() + QStringLiteral(" \nFeedLoad: Feed Load not Started."));
    }
    int code = LE_SUCCESS;
    const int r = (Size < 0 || (!Buffer && Size > 0))
                      ? LE_INVALID_PARAMETER
                      : L_FeedLoad(m_feed, static_cast<const std::uint8_t*>(Buffer), std::size_t(Size));
    if (r < 1) {
        CancelFeedLoad();
        EmptyPicture();
        code = r;
    }
    return ReportResult(QStringLiteral("FeedLoad"), code);
}

int TLEADImage::StopFeedLoad()
{
    if (!m_feed) {
        SetLastError(0);
        throw EInvalidOperation(ComponentName() + QStringLiteral(" \nFeedLoad: Feed Load not Started."));
    }
    LFeedLoad* feed = std::exchange(m_feed, nullptr);
    m_rowProgress = true;
    int code = L_StopFeedLoad(feed);
    m_rowProgress = false;
    L_FreeBitmap(&m_feedBitmap);
    EndFeedState();
    if (code == LE_STOP_PAGES)
        code = LE_SUCCESS;
    m_listIndex = 0;
    // Data that ended early keeps the rows that arrived.
    if (code == LE_SUCCESS || (code == LE_FILE_READ && ListItemCount(m_list) > 0)) {
        const int taken = TakePageFromList();
        if (code == LE_SUCCESS)
            code = taken;
    } else {
        EmptyPicture();
    }
    RefreshCanvasInfo();
    BitmapChanged();
    MarkDataModified();
    RethrowPending();
    return ReportResult(QStringLiteral("StopFeedLoad"), code);
}

void TLEADImage::CancelFeedLoad()
{
    if (!m_feed)
        return;
    m_feedCancelled = true;
    L_StopFeedLoad(std::exchange(m_feed, nullptr));
    m_feedCancelled = false;
    L_FreeBitmap(&m_feedBitmap);
    EndFeedState();
}

void TLEADImage::EndFeedState()
{
    m_busy = false;
    m_loadGuard = false;
    m_stateFlags &= ~kStateLoading;
}

// ---- saving --------------------------------------------------------------------------------

int TLEADImage::Save(const QString& FileName, int Format, int BitsPerPixel, int QFactor, int Modify)
{
    CheckProcessingAllowed();
    if (!m_allocated)
        RaiseNotAllocated(QStringLiteral("Save"));
    m_pendingException = nullptr;
    LSaveOptions options;
    L_GetDefaultSaveFileOption(&options);
    int code = LE_SUCCESS;
    // Where the page goes in the file: a new file, appended, or replacing or inserted at
    // SavePage (the kernel refuses the page modes for formats of one page).
    switch (Modify) {
    case 0: options.PageNumber = 1; break;
    case 1:
    case -1: options.PageNumber = 2; break;
    case 2:
    case 3:
        options.PageNumber = SavePage;
        options.Flags |= Modify == 2 ? LSO_REPLACE_PAGE : LSO_INSERT_PAGE;
        break;
    default: code = LE_INVALID_PARAMETER; break;
    }
    if (code == LE_SUCCESS) {
        m_saveRows = 0;
        ClearAbortFlags();
        PushStatusChain();
        L_SetJ2KOptions(&m_j2k);
        options.Passes = 0;
        options.Flags |= LSO_DEFAULT;
        options.Flags &= ~(LSO_BACKGROUND | LSO_PALETTE | LSO_LOOP);
        options.CanvasWidth = m_canvasWidth;
        options.CanvasHeight = m_canvasHeight;
        // The kernel writes through a temporary file beside the target and renames it over
        // the target only when the whole file is written: a failure or an abort keeps the
        // old file and leaves no temporary file.
        const QByteArray name = QFile::encodeName(FileName);
        if (Format == LFMT_GIF) {
            // Every page, on the picture's canvas; a looping picture is written looping.
            if (m_loopAnimation) {
                options.Flags |= LSO_LOOP;
                options.LoopCount = 0;
            }
            code = L_SaveBitmapList(name.constData(), m_list, Format, BitsPerPixel, QFactor, &options);
        } else {
            LBitmap sized;
            LBitmap* page = &m_bitmap;
            if (Format == LFMT_MACPAINT && (m_bitmap.ViewWidth() != 576 || m_bitmap.ViewHeight() != 720)) {
                // MacPaint pictures have one size: a copy, upright, sized to it.
                LBitmap source = m_bitmap;
                code = m_bitmap.IsViewSwapped() ? L_ChangeBitmapViewPerspective(&sized, &source, 0)
                                                : L_CopyBitmap(&sized, &m_bitmap);
                if (code == LE_SUCCESS)
                    code = L_SizeBitmap(&sized, 576, 720, LSIZE_FAVORBLACK);
                page = &sized;
            }
            if (code == LE_SUCCESS && m_enableProgressEvent) {
                const int bits = BitsPerPixel == 0 ? page->BitsPerPixel : BitsPerPixel;
                m_rowProgress = true;
                code = L_SaveFile(name.constData(), page, Format, bits, QFactor,
                                  bits <= 4 ? LSF_FIXED_PALETTE : LSF_OPTIMIZED_PALETTE, &LeadImageFile::SaveRow, this,
                                  &options);
                m_rowProgress = false;
            } else if (code == LE_SUCCESS) {
                code = L_SaveBitmap(name.constData(), page, Format, BitsPerPixel, QFactor, &options);
            }
            L_FreeBitmap(&sized);
        }
        PopStatusChain();
    }
    SetLastError(code);
    RethrowPending();
    return ReportResult(QStringLiteral("Save"), code);
}

int TLEADImage::SaveRowBand(LBitmap* bitmap, std::uint8_t* buffer, int row, int lines)
{
    const int line = L_BytesPerLine(bitmap->ViewWidth(), bitmap->BitsPerPixel);
    const int height = bitmap->ViewHeight();
    for (int i = 0; i < lines; ++i) {
        if (L_GetBitmapRow(bitmap, buffer, row + i, std::uint32_t(line)) != line)
            return 0;
        ++m_saveRows;
        if (height > 0 && !FireStatus(int(qint64(m_saveRows) * 100 / height)))
            return 0;
        if (TakeAbortRequest())
            return 0;
        buffer += line;
    }
    return 1;
}
