#pragma once
// TLEADImage: the picture control. It owns one picture, held as a bitmap list of one or more
// pages plus a working bitmap for the current page, and offers the published properties,
// events and operations the windows use.
//
// The class is spread over files by concern:
//   LEADImage.cpp          construction, destruction, the bitmap and list model, contexts
//   LEADImage_props.cpp    property writers
//   LEADImage_file.cpp     loading, saving, the feed load, the status chain
//   LEADImage_display.cpp  layout, zoom, centring, scroll positions, keys, drops, resize, timers
//   LEADImage_paint.cpp    painting into the back buffer and onto the window
//   LEADImage_effects.cpp  the numbered effects and transitions of the paint, with progress
//   LEADImage_animate.cpp  animation playback and the drawing canvas
//
// Every operation keeps its result code in LastError (1 success, 0 or negative a failure)
// and, while EnableMethodErrors is on, raises ELeadImageError on failure (TLeadErrorReporter).
//
// Published properties are Q_PROPERTYs under their own names with a writer named set + the
// name, which is what uic calls for a property given in a form.
#include "imaging/LErrCode.h"
#include "imaging/LEADGeometry.h"
#include "imaging/LEADHelpers.h"
#include "platform/imagelib/imagelib.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/Types.h"
#include "platform/vcl/Controls.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QPainterPath>
#include <QPointer>
#include <QRegion>
#include <QString>
#include <QTransform>
#include <QWidget>

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <vector>
#include <memory>
#include <optional>

class QDragEnterEvent;
class QDropEvent;
class QEvent;
class QFocusEvent;
class QKeyEvent;
class QMouseEvent;
class QPainter;
class QPaintEvent;
class QResizeEvent;
class QTimer;
class QTimerEvent;
class QWheelEvent;

// A scroll area: the viewport is the client area, which shrinks when a scroll bar shows.
class TLeadPanWindow;

class TLEADImage : public QAbstractScrollArea, public TLeadErrorReporter, public TDragControl {
    Q_OBJECT

public:
    // ---- enumerated property types, in their ordinal order ---------------------------------
    enum TPaintSizeMode { smNormal, smStretch, smFitSides, smFit, smZoom };
    Q_ENUM(TPaintSizeMode)
    enum TPaintDither { pdOrdered, pdDiffusion };
    Q_ENUM(TPaintDither)
    enum TPaletteType { ppAuto, ppFixed, ppAutoNetscape, ppFixedNetscape };
    Q_ENUM(TPaletteType)
    enum TPaintScaling { psNormal, psResample, psBicubic };
    Q_ENUM(TPaintScaling)
    enum TBitonalScaling { btsNormal, btsFavorBlack, btsScaleToGray };
    Q_ENUM(TBitonalScaling)
    enum TFrameInnerStyle { fisInset, fisRaised };
    Q_ENUM(TFrameInnerStyle)
    enum TFrameOuterStyle { fosInset, fosRaised };
    Q_ENUM(TFrameOuterStyle)
    enum TTransitionStyle { etsNone, etsGradient, etsPattern };
    Q_ENUM(TTransitionStyle)
    enum TPatternStyle {
        epsSolid, epsTransparent, epsHorzLine, epsVertLine, epsDownwarDiag, epsUpwardDiag, epsCross,
        epsDiagCross
    };
    Q_ENUM(TPatternStyle)

    // ---- image and reporting ---------------------------------------------------------------
    Q_PROPERTY(bool RefBitmap READ RefBitmap WRITE setRefBitmap)
    Q_PROPERTY(bool EnableMethodErrors READ EnableMethodErrors WRITE setEnableMethodErrors)
    Q_PROPERTY(bool EnableProgressEvent READ EnableProgressEvent WRITE setEnableProgressEvent)
    Q_PROPERTY(bool DropAutoLoad READ DropAutoLoad WRITE setDropAutoLoad)
    Q_PROPERTY(bool DropFilesAllowed READ DropFilesAllowed WRITE setDropFilesAllowed)

    // ---- loading, saving, address download, data link --------------------------------------
    Q_PROPERTY(QString BitmapDataPath READ BitmapDataPath WRITE setBitmapDataPath)
    Q_PROPERTY(QString DataField READ DataField WRITE setDataField)
    Q_PROPERTY(QObject* DataSource READ DataSource WRITE setDataSource)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE setReadOnly)
    Q_PROPERTY(int DataLoadBits READ DataLoadBits WRITE setDataLoadBits)
    Q_PROPERTY(int DataSaveBits READ DataSaveBits WRITE setDataSaveBits)
    Q_PROPERTY(int DataSaveFormat READ DataSaveFormat WRITE setDataSaveFormat)
    Q_PROPERTY(int DataSaveQuality READ DataSaveQuality WRITE setDataSaveQuality)
    Q_PROPERTY(int PDFXResolution READ PDFXResolution WRITE setPDFXResolution)
    Q_PROPERTY(int PDFYResolution READ PDFYResolution WRITE setPDFYResolution)
    Q_PROPERTY(int PDFDisplayDepth READ PDFDisplayDepth WRITE setPDFDisplayDepth)
    Q_PROPERTY(int PDFTextAlpha READ PDFTextAlpha WRITE setPDFTextAlpha)
    Q_PROPERTY(int PDFGraphicsAlpha READ PDFGraphicsAlpha WRITE setPDFGraphicsAlpha)
    Q_PROPERTY(bool PDFUseLibFonts READ PDFUseLibFonts WRITE setPDFUseLibFonts)
    Q_PROPERTY(int RasterizeViewportWidth READ RasterizeViewportWidth WRITE setRasterizeViewportWidth)
    Q_PROPERTY(int RasterizeViewportHeight READ RasterizeViewportHeight WRITE setRasterizeViewportHeight)
    Q_PROPERTY(int RasterizeViewMode READ RasterizeViewMode WRITE setRasterizeViewMode)

    // ---- display ---------------------------------------------------------------------------
    Q_PROPERTY(TPaintSizeMode PaintSizeMode READ PaintSizeMode WRITE setPaintSizeMode)
    Q_PROPERTY(int PaintZoomFactor READ PaintZoomFactor WRITE setPaintZoomFactor)
    Q_PROPERTY(bool PaintSizeUseDPI READ PaintSizeUseDPI WRITE setPaintSizeUseDPI)
    Q_PROPERTY(TPaintDither PaintDither READ PaintDither WRITE setPaintDither)
    Q_PROPERTY(TPaletteType PaintPalette READ PaintPalette WRITE setPaintPalette)
    Q_PROPERTY(TPaintScaling PaintScaling READ PaintScaling WRITE setPaintScaling)
    Q_PROPERTY(bool PaintRgnOnly READ PaintRgnOnly WRITE setPaintRgnOnly)
    Q_PROPERTY(int PaintNotificationDelay READ PaintNotificationDelay WRITE setPaintNotificationDelay)
    Q_PROPERTY(int PaintContrast READ PaintContrast WRITE setPaintContrast)
    Q_PROPERTY(int PaintIntensity READ PaintIntensity WRITE setPaintIntensity)
    Q_PROPERTY(int PaintGamma READ PaintGamma WRITE setPaintGamma)
    Q_PROPERTY(bool PaintWhileLoad READ PaintWhileLoad WRITE setPaintWhileLoad)
    Q_PROPERTY(int BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(bool BackErase READ BackErase WRITE setBackErase)
    Q_PROPERTY(int BackgroundImageLeft READ BackgroundImageLeft WRITE setBackgroundImageLeft)
    Q_PROPERTY(int BackgroundImageTop READ BackgroundImageTop WRITE setBackgroundImageTop)
    Q_PROPERTY(int BackgroundImageWidth READ BackgroundImageWidth WRITE setBackgroundImageWidth)
    Q_PROPERTY(int BackgroundImageHeight READ BackgroundImageHeight WRITE setBackgroundImageHeight)
    Q_PROPERTY(TBitonalScaling BitonalScaling READ BitonalScaling WRITE setBitonalScaling)
    Q_PROPERTY(bool CenterImage READ CenterImage WRITE setCenterImage)
    Q_PROPERTY(bool AutoRepaint READ AutoRepaint WRITE setAutoRepaint)
    Q_PROPERTY(bool AutoScroll READ AutoScroll WRITE setAutoScroll)
    Q_PROPERTY(bool AutoSetRects READ AutoSetRects WRITE setAutoSetRects)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)

    // ---- scrolling, pan window, magnifier --------------------------------------------------
    Q_PROPERTY(int HScrollStep READ HScrollStep WRITE setHScrollStep)
    Q_PROPERTY(int VScrollStep READ VScrollStep WRITE setVScrollStep)
    Q_PROPERTY(bool EnableScroll READ EnableScroll WRITE setEnableScroll)
    Q_PROPERTY(bool EnableKeyboard READ EnableKeyboard WRITE setEnableKeyboard)
    Q_PROPERTY(int PanWinX READ PanWinX WRITE setPanWinX)
    Q_PROPERTY(int PanWinY READ PanWinY WRITE setPanWinY)
    Q_PROPERTY(int PanWinWidth READ PanWinWidth WRITE setPanWinWidth)
    Q_PROPERTY(int PanWinHeight READ PanWinHeight WRITE setPanWinHeight)
    Q_PROPERTY(QString PanWinTitle READ PanWinTitle WRITE setPanWinTitle)
    Q_PROPERTY(int PanWinRectColor READ PanWinRectColor WRITE setPanWinRectColor)
    Q_PROPERTY(bool PanWinSysMenu READ PanWinSysMenu WRITE setPanWinSysMenu)
    Q_PROPERTY(int PanWinPointer READ PanWinPointer WRITE setPanWinPointer)
    Q_PROPERTY(QIcon PanWinIcon READ PanWinIcon WRITE setPanWinIcon)
    Q_PROPERTY(TPaletteType PanWinPaintPalette READ PanWinPaintPalette WRITE setPanWinPaintPalette)
    Q_PROPERTY(TPaintDither PanWinPaintDither READ PanWinPaintDither WRITE setPanWinPaintDither)
    Q_PROPERTY(TBitonalScaling PanWinBitonalScaling READ PanWinBitonalScaling WRITE setPanWinBitonalScaling)
    Q_PROPERTY(TPaintScaling PanWinPaintScaling READ PanWinPaintScaling WRITE setPanWinPaintScaling)
    Q_PROPERTY(TPaletteType MagGlassPaintPalette READ MagGlassPaintPalette WRITE setMagGlassPaintPalette)
    Q_PROPERTY(TBitonalScaling MagGlassBitonalScaling READ MagGlassBitonalScaling WRITE setMagGlassBitonalScaling)
    Q_PROPERTY(TPaintDither MagGlassPaintDither READ MagGlassPaintDither WRITE setMagGlassPaintDither)
    Q_PROPERTY(TPaintScaling MagGlassPaintScaling READ MagGlassPaintScaling WRITE setMagGlassPaintScaling)
    Q_PROPERTY(int MagGlassPointer READ MagGlassPointer WRITE setMagGlassPointer)

    // ---- regions, floater, mouse -----------------------------------------------------------
    Q_PROPERTY(bool AutoFloater READ AutoFloater WRITE setAutoFloater)
    Q_PROPERTY(bool EnableFloater READ EnableFloater WRITE setEnableFloater)
    Q_PROPERTY(bool EnableZoomInRect READ EnableZoomInRect WRITE setEnableZoomInRect)
    Q_PROPERTY(int WandColor READ WandColor WRITE setWandColor)
    Q_PROPERTY(int WandSize READ WandSize WRITE setWandSize)

    // ---- effects, transitions, gradients, patterns -----------------------------------------
    Q_PROPERTY(int PaintEffect READ PaintEffect WRITE setPaintEffect)
    Q_PROPERTY(int EffectDelay READ EffectDelay WRITE setEffectDelay)
    Q_PROPERTY(int EffectGrain READ EffectGrain WRITE setEffectGrain)
    Q_PROPERTY(int PaintMaxPasses READ PaintMaxPasses WRITE setPaintMaxPasses)
    Q_PROPERTY(int TransitionEffect READ TransitionEffect WRITE setTransitionEffect)
    Q_PROPERTY(TTransitionStyle TransitionStyle READ TransitionStyle WRITE setTransitionStyle)
    Q_PROPERTY(int GradientStyle READ GradientStyle WRITE setGradientStyle)
    Q_PROPERTY(int GradientStartColor READ GradientStartColor WRITE setGradientStartColor)
    Q_PROPERTY(int GradientEndColor READ GradientEndColor WRITE setGradientEndColor)
    Q_PROPERTY(int GradientSteps READ GradientSteps WRITE setGradientSteps)
    Q_PROPERTY(TPatternStyle PatternStyle READ PatternStyle WRITE setPatternStyle)
    Q_PROPERTY(int PatternBackColor READ PatternBackColor WRITE setPatternBackColor)
    Q_PROPERTY(int PatternForeColor READ PatternForeColor WRITE setPatternForeColor)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(int TransparentColor READ TransparentColor WRITE setTransparentColor)
    Q_PROPERTY(bool UseTransparentColor READ UseTransparentColor WRITE setUseTransparentColor)

    // ---- shapes and their shadow -----------------------------------------------------------
    Q_PROPERTY(int ShapeLeft READ ShapeLeft WRITE setShapeLeft)
    Q_PROPERTY(int ShapeTop READ ShapeTop WRITE setShapeTop)
    Q_PROPERTY(int ShapeWidth READ ShapeWidth WRITE setShapeWidth)
    Q_PROPERTY(int ShapeHeight READ ShapeHeight WRITE setShapeHeight)
    Q_PROPERTY(int ShapeBackgroundStyle READ ShapeBackgroundStyle WRITE setShapeBackgroundStyle)
    Q_PROPERTY(int ShapeBorderStyle READ ShapeBorderStyle WRITE setShapeBorderStyle)
    Q_PROPERTY(int ShapeBorderColor READ ShapeBorderColor WRITE setShapeBorderColor)
    Q_PROPERTY(int ShapeBorderThickness READ ShapeBorderThickness WRITE setShapeBorderThickness)
    Q_PROPERTY(int ShapeInnerBandStyle READ ShapeInnerBandStyle WRITE setShapeInnerBandStyle)
    Q_PROPERTY(int ShapeInnerBandThickness READ ShapeInnerBandThickness WRITE setShapeInnerBandThickness)
    Q_PROPERTY(int ShapeInnerBandHiliteColor READ ShapeInnerBandHiliteColor WRITE setShapeInnerBandHiliteColor)
    Q_PROPERTY(int ShapeInnerBandShadowColor READ ShapeInnerBandShadowColor WRITE setShapeInnerBandShadowColor)
    Q_PROPERTY(int ShapeOuterBandStyle READ ShapeOuterBandStyle WRITE setShapeOuterBandStyle)
    Q_PROPERTY(int ShapeOuterBandThickness READ ShapeOuterBandThickness WRITE setShapeOuterBandThickness)
    Q_PROPERTY(int ShapeOuterBandHiliteColor READ ShapeOuterBandHiliteColor WRITE setShapeOuterBandHiliteColor)
    Q_PROPERTY(int ShapeOuterBandShadowColor READ ShapeOuterBandShadowColor WRITE setShapeOuterBandShadowColor)
    Q_PROPERTY(int ShadowColor READ ShadowColor WRITE setShadowColor)
    Q_PROPERTY(int ShadowXDepth READ ShadowXDepth WRITE setShadowXDepth)
    Q_PROPERTY(int ShadowYDepth READ ShadowYDepth WRITE setShadowYDepth)

    // ---- text, frame, drawing, animation ---------------------------------------------------
    Q_PROPERTY(QFont TextFont READ TextFont WRITE setTextFont)
    Q_PROPERTY(int FrameColor READ FrameColor WRITE setFrameColor)
    Q_PROPERTY(int FrameThickness READ FrameThickness WRITE setFrameThickness)
    Q_PROPERTY(int FrameInnerThickness READ FrameInnerThickness WRITE setFrameInnerThickness)
    Q_PROPERTY(int FrameOuterThickness READ FrameOuterThickness WRITE setFrameOuterThickness)
    Q_PROPERTY(TFrameInnerStyle FrameInnerStyle READ FrameInnerStyle WRITE setFrameInnerStyle)
    Q_PROPERTY(TFrameOuterStyle FrameOuterStyle READ FrameOuterStyle WRITE setFrameOuterStyle)
    Q_PROPERTY(int FrameInnerHiliteColor READ FrameInnerHiliteColor WRITE setFrameInnerHiliteColor)
    Q_PROPERTY(int FrameOuterHiliteColor READ FrameOuterHiliteColor WRITE setFrameOuterHiliteColor)
    Q_PROPERTY(int FrameInnerShadowColor READ FrameInnerShadowColor WRITE setFrameInnerShadowColor)
    Q_PROPERTY(int FrameOuterShadowColor READ FrameOuterShadowColor WRITE setFrameOuterShadowColor)
    Q_PROPERTY(bool DrawPersistence READ DrawPersistence WRITE setDrawPersistence)
    Q_PROPERTY(int DrawMode READ DrawMode WRITE setDrawMode)          // TPenMode ordinal
    Q_PROPERTY(int DrawPenColor READ DrawPenColor WRITE setDrawPenColor)
    Q_PROPERTY(int DrawPenStyle READ DrawPenStyle WRITE setDrawPenStyle)  // TPenStyle ordinal
    Q_PROPERTY(int DrawPenWidth READ DrawPenWidth WRITE setDrawPenWidth)
    Q_PROPERTY(int DrawFillColor READ DrawFillColor WRITE setDrawFillColor)
    Q_PROPERTY(int DrawFillStyle READ DrawFillStyle WRITE setDrawFillStyle)  // TBrushStyle ordinal
    Q_PROPERTY(bool AutoAnimate READ AutoAnimate WRITE setAutoAnimate)
    Q_PROPERTY(int AutoAnimationLoop READ AutoAnimationLoop WRITE setAutoAnimationLoop)

    // ---- from the framework (Name, Left, Top, Width and Height are QWidget's own) ----------
    Q_PROPERTY(int Align READ Align WRITE setAlign)  // alNone, alTop, alBottom, alLeft, alRight, alClient
    Q_PROPERTY(int BorderStyle READ BorderStyle WRITE setBorderStyle)  // 0 none, 1 single
    Q_PROPERTY(bool Ctl3D READ Ctl3D WRITE setCtl3D)
    Q_PROPERTY(bool ParentCtl3D READ ParentCtl3D WRITE setParentCtl3D)
    Q_PROPERTY(int Cursor READ Cursor WRITE setCursor)
    Q_PROPERTY(int DragCursor READ DragCursor WRITE setDragCursor)
    Q_PROPERTY(int DragMode READ DragMode WRITE setDragMode)  // 0 manual, 1 automatic
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(QString Hint READ Hint WRITE setHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE setShowHint)
    Q_PROPERTY(QMenu* PopupMenu READ PopupMenu WRITE setPopupMenu)
    Q_PROPERTY(int TabOrder READ TabOrder WRITE setTabOrder)
    Q_PROPERTY(bool TabStop READ TabStop WRITE setTabStop)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)

public:
    // ---- events: one handler each, called directly (synchronously) -------------------------
    using TNotifyEvent = std::function<void(QObject* Sender)>;
    using TStatusEvent = std::function<void(QObject* Sender, int Percent)>;
    using TReadyStateEvent = std::function<void(QObject* Sender, bool Ready)>;
    using TPaintNotifyEvent = std::function<void(QObject* Sender, unsigned Pass, unsigned Type)>;
    using TDropFileEvent = std::function<void(QObject* Sender, const QString& fName)>;
    using TPanWinEvent = std::function<void(QObject* Sender, QWidget* hPanWin, int iFlag)>;
    using TAnimateEvent = std::function<void(QObject* Sender, bool bEnable)>;

    TStatusEvent OnStatus;        // progress of loads, saves and processing (EnableProgressEvent)
    TNotifyEvent OnChange;        // the picture changed
    TNotifyEvent OnLoadInfo;      // the kernel asks how to read data of no known format
    TNotifyEvent OnFilePage;      // a page of a multi-page load is in
    TReadyStateEvent OnReadyStateChanged;
    TNotifyEvent OnPaint;
    TPaintNotifyEvent OnPaintNotify;
    TDropFileEvent OnDropFile;
    TNotifyEvent OnScroll;
    TNotifyEvent OnBeforeScroll;
    TPanWinEvent OnPanWin;
    TNotifyEvent OnMagGlassCursor;
    TNotifyEvent OnRgnChange;
    TNotifyEvent OnRubberBand;
    TNotifyEvent OnZoomInDone;
    TAnimateEvent OnAnimate;

    // Filled by an OnLoadInfo handler to describe raw pixel data (Format not 0 counts).
    LLoadInfo LoadInfo;

    // ---- state flags -----------------------------------------------------------------------
    static constexpr std::uint8_t kStateCreating = 1;
    static constexpr std::uint8_t kStateDestroying = 2;
    static constexpr std::uint8_t kStateLoading = 4;
    static constexpr std::uint8_t kStateBitmapLocked = 8;  // a bitmap context is out or an operation runs
    static constexpr std::uint8_t kStateLayout = 16;
    // Changed flags: bit 1, the picture changed since the last paint.
    static constexpr std::uint32_t kChangedPicture = 1;

    explicit TLEADImage(QWidget* parent = nullptr);
    ~TLEADImage() override;

    // ---- the bitmap and list model ---------------------------------------------------------
    // The working bitmap (the current page), or null when the control holds none or it is
    // locked by a running operation. LastError := 1.
    LBitmap* Bitmap();
    // Replaces the current page by a copy of bitmap (with RefBitmap, bitmap's handle is taken
    // over and bitmap is emptied). Null or an empty bitmap removes the current page.
    void setBitmap(LBitmap* bitmap);
    LBitmapList* BitmapList() const { return m_list; }
    // Replaces the whole picture by a copy of list (null empties the control).
    void setBitmapList(const LBitmapList* list);
    // The number of pages; raises "No bitmap list." when the control has none.
    int BitmapListCount();
    int BitmapListIndex() const { return m_listIndex; }
    // Makes page index the current page (the current page is stored back first).
    void setBitmapListIndex(int index);
    bool Allocated() const { return m_allocated; }

    // Empties the control. Returns 1.
    int ClearImage();
    // The working bitmap again from the list at the index; returns the kernel's code.
    int RestoreFromList();
    // A blank working bitmap of the canvas size and depth (the first frame of a playback).
    int PrepareFirstFrame();
    // Re-reads the current page when the working bitmap was freed behind the control's back,
    // then repaints at once.
    int ForceRepaint();
    // The canvas values from page 0 of the list.
    void RefreshCanvasInfo();

    // A canvas on the working bitmap's pixels; a bitmap of 8 bits or fewer becomes 24 bits
    // first (and stays so). Processing is refused until ReleaseBitmapDC.
    TCanvas* GetBitmapDC();
    int ReleaseBitmapDC();
    // A canvas on the control's window, kept until released.
    TCanvas* GetControlDC();
    void ReleaseControlDC();

    // Display flags built from the paint properties.
    std::uint32_t PaintFlags() const;

    // ---- state -----------------------------------------------------------------------------
    bool Busy() const { return m_busy; }
    bool LoadGuard() const { return m_loadGuard; }
    std::uint8_t StateFlags() const { return m_stateFlags; }
    std::uint32_t ChangedFlags() const { return m_changedFlags; }
    void ClearChangedFlags(std::uint32_t flags) { m_changedFlags &= ~flags; }
    bool AnimationPlaying() const { return m_animationPlaying; }
    QString LastErrorText() const { return LeadErrorText(LastError()); }
    // The data-aware link's modified mark, set whenever the picture changes.
    bool DataModified() const { return m_dataModified; }
    // An address download (BitmapDataPath) runs.
    bool Downloading() const { return !m_downloadFinished; }
    // The data link (LEADImage_datalink.cpp): DataSource is a TDataSource (platform/db), DataField
    // one of its blob columns. The picture is read from the field at every row and written back
    // (a header "LTOCXBND" and the file in DataSaveFormat) when the row is posted after a change.
    virtual int LoadFromDataField();

    // Width, height (as seen) and depth of the working bitmap; 0 without one.
    int BitmapWidth() const;
    int BitmapHeight() const;
    int BitmapBits() const;

    // Canvas of an animated picture (from the file or page 0).
    int CanvasWidth() const { return m_canvasWidth; }
    int CanvasHeight() const { return m_canvasHeight; }
    int CanvasBits() const { return m_canvasBits; }
    LColor CanvasBackground() const { return m_canvasBackground; }

    // ---- loading and saving (LEADImage_file.cpp) -------------------------------------------
    // Loads PageCount pages (-1 all, 0 only empties the control) from page PageNumber;
    // BitsPerPixel 0 keeps the file's depth.
    virtual int Load(const QString& FileName, int BitsPerPixel, int PageNumber, int PageCount);
    // The same from Size bytes at Memory; one page.
    virtual int LoadMemory(const void* Memory, int BitsPerPixel, int PageNumber, qint64 Size);
    int LoadMemory(const QByteArray& data, int BitsPerPixel, int PageNumber)
    {
        return LoadMemory(data.constData(), BitsPerPixel, PageNumber, data.size());
    }
    // A load whose bytes arrive in blocks.
    int StartFeedLoad(int BitsPerPixel, int PageNumber, int PageCount);
    int FeedLoad(const void* Buffer, qint64 Size);
    int StopFeedLoad();
    bool FeedLoadRunning() const { return m_feed != nullptr; }
    // Writes the current page, or with format 2 (GIF) every page of the list. Modify: 0 a new
    // file, 1 (and -1) appends, 2 replaces page SavePage, 3 inserts before it. Format 51
    // (MacPaint) is written from a copy sized to 576 x 720. Formats and quality factors are the
    // kernel's; an existing file is replaced only when the whole file was written.
    int Save(const QString& FileName, int Format, int BitsPerPixel, int QFactor, int Modify);
    // The page (1-based) that Save with Modify 2 replaces and Modify 3 inserts before.
    int SavePage = 1;

    // Information of the last file loaded (file and memory loads).
    const LFileInfo& FileInfo() const { return m_fileInfo; }
    int InfoFormat() const { return m_fileInfo.Format; }
    int InfoWidth() const { return m_fileInfo.Width; }
    int InfoHeight() const { return m_fileInfo.Height; }
    int InfoBits() const { return m_fileInfo.BitsPerPixel; }
    int InfoTotalPages() const { return m_fileInfo.TotalPages; }
    QString InfoCompress() const { return QString::fromStdString(m_fileInfo.Compression); }
    qint64 InfoSizeDisk() const { return m_fileInfo.SizeDisk; }
    // The file name of the last successful Load.
    QString LoadedFileName() const { return m_loadedFileName; }

    // ==== processing (LEADImage_process.cpp, LEADImage_shape.cpp) ============================
    // Every operation below clears the abort flags first. The bracketed ones (Size, Rotate,
    // FastRotate, Flip, Reverse, GrayScale, Sharpen, GaussianFilter, BalanceColors, Fill,
    // Combine) keep an undo copy: an abort from OnStatus puts the picture back and fires no
    // OnChange; otherwise the page is stored into the list and OnChange fires, also after a
    // failed kernel call. With no image they raise "<name> \n<operation>: Image not
    // allocated." (LastError -2) whatever EnableMethodErrors says; a failure code raises
    // "<name> \nError code: <code>\n<operation>: <text> " while EnableMethodErrors is on.
    // Flags are the kernel's (ltimg.h): Size 0 nearest, 2 resample, 4 bicubic.
    int Size(int Width, int Height, int Flags);
    // Angle in hundredths of a degree, positive clockwise; Flags 1 grows the bitmap.
    virtual int Rotate(int Angle, int Flags, TColor FillColor);
    // A quarter turn (a multiple of 9000) as an exact pixel permutation.
    virtual int FastRotate(int Angle);
    int Flip();     // top to bottom
    int Reverse();  // left to right
    int GrayScale(int BitsPerPixel);
    int Sharpen(int Amount);          // -1000..1000, 0 changes nothing
    int GaussianFilter(int Radius);   // 0 changes nothing
    // Each argument points to three factors: the shares of red, green and blue in that channel.
    int BalanceColors(const double* RedFactors, const double* GreenFactors, const double* BlueFactors);
    // Inside the region (the whole picture without one); no undo copy and no OnChange.
    int RemoveRedeye(TColor NewColor, int Threshold, int Lightness);
    // Inside the region when there is one.
    int Fill(TColor Color);
    // A copy of SrcBitmap without its region is combined (Flags: 0 or 800, a copy) into the
    // destination rectangle, inside the working bitmap's region when it has one.
    int Combine(int XDst, int YDst, int Width, int Height, const LBitmap* SrcBitmap, int XSrc, int YSrc, int Flags);
    // Shape 2000 (a framed rectangle with its shadow) from the Shape..., Shadow..., Pattern...
    // and BackgroundImage... properties: on the bitmap with DrawPersistence (which becomes 24
    // bits), else on the window. BackgroundBitmap (may be the control's own Bitmap) fills the
    // inside. No canvas: -1.
    int DrawShape(int ShapeType, const LBitmap* BackgroundBitmap);
    // The frame of the Frame... properties on the window, rect in client pixels.
    int DrawFrame(const TRect& rect);
    // With EnableZoomInRect: toggles the zoom outline (rect inflated by 1; the same rect again
    // removes it). The paint event draws it over the picture, inverting the pixels under it.
    void DrawZoomRect(const TRect& rect, bool fromPaint);
    bool ZoomOutlineShown() const { return m_zoomOutlineShown; }
    TRect ZoomOutline() const { return m_zoomOutline; }
    // Grabs the screen around a screen point (client size x 100 / PaintZoomFactor), through the
    // kernel's screen service, into the control; emptyList first empties the control.
    int CaptureScreenAt(const TPoint& screenPoint, bool emptyList);
    // The screen rectangle of the last capture.
    TRect CaptureRect() const { return m_captureRect; }

    // ==== regions, mouse tools, outline, floater (LEADImage_region.cpp, LEADImage_floater.cpp)
    // The region lives in the bitmap (copies carry it). Combine modes are the kernel's
    // (LRGN_*): 1 replaces the region; a shape without pixels then removes it.
    // Shapes in client pixels, mapped through the display rectangles to bitmap pixels.
    int SetRgnRect(int Left, int Top, int Width, int Height, int CombineMode);
    int SetRgnEllipse(int Left, int Top, int Width, int Height, int CombineMode);
    bool HasRgn();
    // Removes the region. Without a picture: -2 and "Image not allocated.".
    int FreeRgn();
    // Region handles are values (nothing to free): GetRgnHandle gives the region in bitmap
    // pixels (empty without one); SetRgnHandle combines one in, moved by the offsets.
    using TRgnHandle = LRgnHandle;
    TRgnHandle GetRgnHandle();
    int SetRgnHandle(const TRgnHandle& hRgn, int XOffset, int YOffset, int CombineMode);
    // Empties the handle; true.
    bool DeleteRgnHandle(TRgnHandle& hRgn);
    // The outline: 0 none, 1 outline, 2 moving outline (one step a second), 3 filled with
    // RgnColor.
    void SetRgnFrameType(int Type);
    int RgnFrameType() const { return m_rgnFrameType; }
    int RgnFramePhase() const { return m_rgnFramePhase; }
    bool RgnFrameTimerRunning() const { return m_outlineTimer.isActive(); }
    // The shape the left mouse button draws: 0 none, 1 rectangle, 2 rounded rectangle (corner
    // ellipse 50 x 50), 3 ellipse, 4 polygon; set directly by the windows.
    int RegionTool = 0;
    // With RegionTool 0 the mouse draws a rubber band (OnRubberBand; RubberBandRect).
    bool EnableRubberBand = false;
    TColor RgnColor = 0;
    // The combine mode of shapes drawn with the mouse; 1 at every press that starts a tool.
    std::uint32_t RgnCombineMode = 1;
    bool ToolActive() const { return m_toolActive; }
    TPoint ToolStart() const { return m_toolStart; }
    TPoint ToolCurrent() const { return m_toolCurrent; }
    TRect RubberBandRect() const { return m_rubberBand; }
    // The polygon being drawn: Index 0 .. PolygonCapacity - 1, else "PolygonPoint[]: Index out
    // of range." (LastError 0).
    TPoint PolygonPoint(int Index);
    void setPolygonPoint(int Index, const TPoint& Point);
    int PolygonCapacity() const { return int(m_polygon.size()); }
    int PolygonPointCount() const { return m_polygonCount; }
    void SetPolygonCapacity(int Count);

    // The floater (LEADImage_floater.cpp). Read: with AutoFloater a new copy of the region's
    // bounding rectangle (with the region moved to its origin), kept by the control; without it
    // the floater given or lifted, or null. Write (AutoFloater goes off): a copy of the
    // bitmap's region's bounding rectangle with that region, placed at 0, 0 at its own size.
    LBitmap* Floater();
    void setFloater(const LBitmap* bitmap);
    // Where the floater shows and is cut, relative to the inner area (client pixels less the frame).
    TRect FloaterDstRect() const { return m_floaterDstRect; }
    TRect FloaterDstClipRect() const { return m_floaterDstClipRect; }
    int SetFloaterDstRect(int Left, int Top, int Width, int Height);
    int SetFloaterDstClipRect(int Left, int Top, int Width, int Height);
    void SetFloaterDstLeft(int Left);
    void SetFloaterDstTop(int Top);
    bool FloaterVisible() const { return m_floaterVisible; }
    void SetFloaterVisible(bool Visible);
    // True when (X, Y) (client pixels) lies on the shown floater inside its region.
    bool PointInFloater(int X, int Y) const;
    int RebuildFloaterDisplay();
    // The picture's pixels under the piece (with its region), kept to put them back.
    const LBitmap& FloaterBackground() const { return m_floaterBackground; }
    bool FloaterDragging() const { return m_floaterDragging; }
    // The commit request of other code (a message in the original framework): stores the
    // working bitmap, ends a floater (with AutoFloater also the region) and reports the change.
    // While an animation plays LastError -16, while an operation runs 0.
    void CommitRequest();
    // Bounds of the region in bitmap pixels; 0 without one.
    int RgnLeft() const;
    int RgnTop() const;
    int RgnWidth() const;
    int RgnHeight() const;

    // A one-shot hint for the next load: a JPEG is decoded at the largest reduction that still
    // gives at least twice Width x Height (0: that side is free). File information keeps the
    // full size; callers compute their sizes from InfoWidth and InfoHeight.
    void SetLoadSizeHint(int Width, int Height);

protected:
    // The start and end of every bracketed operation.
    void BeginBitmapOperation(LBitmap* bitmap);
    virtual void EndBitmapOperation(LBitmap* bitmap);

private:
    // The bracket around one kernel call: call works on the target, success runs the
    // operation's own steps after a successful call (with the aborted flag).
    int ProcessBitmap(const QString& operation, bool targetRule, const std::function<int(LBitmap&)>& call,
                      const std::function<void(bool aborted)>& success = {});
    // The floater's part of the bracket (the floater comes with the region tools): the
    // bitmap the geometric operations work on, and putting the floater back afterwards.
    LBitmap* ProcessingTarget(const QString& operation);
    bool FloaterActive() const;
public:
    int ReseatFloater();
private:
    // Region bookkeeping after a change; the kernel's code.
    int UpdateRgnBounds();
    void RegionChanged();
    int SetRgnShape(const QString& operation, int Left, int Top, int Width, int Height, int CombineMode,
                    bool ellipse);
    // A drawing surface on the bitmap (DrawPersistence) or the window; false when none.
    bool ShapeSurface(LEfxSurface& surface, TPoint& origin);

    bool m_zoomOutlineShown = false;
    TRect m_zoomOutline;
    TRect m_captureRect;

public:
    // ==== end of processing ====================================================================

    // ---- display (LEADImage_display.cpp, LEADImage_paint.cpp) -------------------------------
    // The paint sequence into the back buffer: background, frame, the picture through the
    // current rectangles in PaintMaxPasses passes with OnPaintNotify, then OnPaint. Does
    // nothing while the control is hidden by the program or a paint of it runs.
    virtual void Paint();
    // One frame of an animation playback: only the picture, into the back buffer.
    void PaintCurrentFrame();
    // Asks for a repaint; requests made before it runs give one paint.
    void Invalidate();
    // Paints at once.
    void Refresh();
    // The client area (the viewport: the control less the scroll bars shown), in client pixels.
    TRect ClientRect() const;
    // The client area less FrameWidth on every side.
    TRect InnerClientRect() const;
    // What the control shows as its last paint left it: Format_RGB32 (Format_ARGB32_Premultiplied
    // while Transparent), the client area's size. Overlays such as region outlines are drawn
    // on the window only. The next paint draws into it: copy it to keep a frame.
    const QImage& BackBuffer() const { return m_surface; }
    // A paint of this control runs.
    bool InPaint() const { return m_inPaint; }
    // ---- animation and the drawing canvas (LEADImage_animate.cpp) ------------------------------
    // Starts or stops the playback of the bitmap list on the playback timer (OnAnimate follows).
    // Without list and picture: "No bitmap list." (LastError -2); enabling twice does nothing.
    void AnimationEnable(bool Enable);
    bool AnimationEnabled() const { return m_animationEnabled; }
    // The playback starts again after the last frame (set by the loader from AutoAnimationLoop
    // and the file's loop count).
    bool LoopAnimation() const { return m_loopAnimation; }
    void setLoopAnimation(bool on) { m_loopAnimation = on; }
    // The index of the next frame the playback shows (0 without a playback).
    int PlaybackFrameIndex() const;
    // A canvas for drawing: with DrawPersistence on the bitmap, client coordinates mapped onto
    // bitmap pixels (DrawMapping), otherwise on the window clipped to InnerClientRect; pen,
    // brush or (ForText) font from the Draw... properties and TextFont. Null when there is no
    // bitmap or window to draw on. EndDrawCanvas frees it (and repaints after a bitmap draw).
    TCanvas* BeginDrawCanvas(bool ForText);
    void EndDrawCanvas(TCanvas* canvas);
    QTransform DrawMapping() const { return m_drawMapping; }

    // Effects are painted without their EffectDelay waits (video frames are recorded from the
    // back buffer, as fast as the machine goes).
    bool SkipEffectDelay() const { return m_skipEffectDelay; }
    void setSkipEffectDelay(bool on);
    // Paints under way in all controls of the process.
    static int PaintsInProgress();

    // The geometry: Dst and DstClip relative to the inner area, Src and SrcClip in pixels of
    // the picture as seen, DstRect in client pixels (see LEADGeometry.h).
    const TLeadGeometry& Geometry() const { return m_geom; }
    int DstLeft() const { return m_geom.Dst.Left; }
    int DstTop() const { return m_geom.Dst.Top; }
    int DstWidth() const { return m_geom.Dst.Width; }
    int DstHeight() const { return m_geom.Dst.Height; }
    int DstClipLeft() const { return m_geom.DstClip.Left; }
    int DstClipTop() const { return m_geom.DstClip.Top; }
    int DstClipWidth() const { return m_geom.DstClip.Width; }
    int DstClipHeight() const { return m_geom.DstClip.Height; }
    int SrcLeft() const { return m_geom.Src.Left; }
    int SrcTop() const { return m_geom.Src.Top; }
    int SrcWidth() const { return m_geom.Src.Width; }
    int SrcHeight() const { return m_geom.Src.Height; }
    int SrcClipLeft() const { return m_geom.SrcClip.Left; }
    int SrcClipTop() const { return m_geom.SrcClip.Top; }
    int SrcClipWidth() const { return m_geom.SrcClip.Width; }
    int SrcClipHeight() const { return m_geom.SrcClip.Height; }
    TRect DstRect() const { return m_geom.DstRect; }
    double ZoomX() const { return m_geom.ZoomX; }
    double ZoomY() const { return m_geom.ZoomY; }
    int ViewWidth() const { return m_geom.ViewWidth; }
    int ViewHeight() const { return m_geom.ViewHeight; }
    int HScrollPos() const { return m_geom.HScrollPos; }
    int VScrollPos() const { return m_geom.VScrollPos; }
    int HScrollMax() const { return m_geom.HScrollMax; }
    int VScrollMax() const { return m_geom.VScrollMax; }
    // The extents of the scroll bars, read on every resize.
    int HScrollBarHeight() const { return m_hScrollBarHeight; }
    int VScrollBarWidth() const { return m_vScrollBarWidth; }

    // Without AutoScroll: store, layout, repaint. With AutoScroll only a value below 1 counts:
    // the picture scrolls until DstLeft (DstTop) is that value, as far as the range allows.
    void setDstLeft(int value);
    void setDstTop(int value);
    // A negative width counts as 0; the zoom factor follows (the width over the picture's).
    void setDstWidth(int value);
    // Stored as given; the zoom factor follows.
    void setDstHeight(int value);
    // The four Dst writers in the order Left, Top, Width, Height; DstRect := the rectangle.
    int SetDstRect(int Left, int Top, int Width, int Height);
    int SetDstClipRect(int Left, int Top, int Width, int Height);
    // Src := the whole picture as seen; SrcClip := Src.
    void ResetSrcRects();
    // The stored bitmap pixel under a client pixel; 0 while the destination is empty.
    int ClientToBitmapX(int X, int Y) const;
    int ClientToBitmapY(int X, int Y) const;

    // Keys: OnKeyDown gets the framework's virtual-key code and shift state.
    enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4 };
    using TShiftState = unsigned;
    using TKeyEvent = std::function<void(QObject* Sender, int& Key, TShiftState Shift)>;
    TKeyEvent OnKeyDown;   // a key went down while the control has the focus
    TNotifyEvent OnResize; // the client area changed its size

    // ---- mouse, keys, focus and drag (LEADImage_events.cpp) ---------------------------------
    // Client points are viewport pixels. A press fires OnMouseDown before the control's own
    // mouse tools act on it; moves and releases fire OnMouseMove and OnMouseUp after them. A
    // left click fires OnClick on release, before OnMouseUp; a double click fires OnDblClick
    // and then OnMouseDown with ssDouble. With DragMode automatic a left press starts a drag
    // instead (OnStartDrag), and no mouse events fire for it.
    using TKeyPressEvent = std::function<void(QObject* Sender, QChar& Key)>;
    using TStartDragEvent = std::function<void(QObject* Sender, QObject*& DragObject)>;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnEnter;
    ::TMouseEvent OnMouseDown;
    ::TMouseMoveEvent OnMouseMove;
    ::TMouseEvent OnMouseUp;
    TKeyPressEvent OnKeyPress;  // a key typed a character
    TKeyEvent OnKeyUp;
    TDragOverEvent OnDragOver;  // unassigned: the control refuses drags
    TDragDropEvent OnDragDrop;
    TEndDragEvent OnEndDrag;
    TStartDragEvent OnStartDrag;
    // Starts dragging this control (OnStartDrag first); immediate false waits for the threshold.
    void BeginDrag(bool immediate, int threshold = -1);
    // TDragControl
    QObject* DragSender() override { return this; }
    QWidget* DragClient() override { return viewport(); }
    void DoDragOver(QObject* source, int x, int y, TDragState state, bool& accept) override;
    void DoDragDrop(QObject* source, int x, int y) override;
    void DoEndDrag(QObject* target, int x, int y, bool moved) override;

    // ---- scrolling (LEADImage_scroll.cpp) ----------------------------------------------------
    // Scroll bar requests: Bar 0 horizontal, 1 vertical; Code 0 line up (left), 1 line down
    // (right), 2 page up, 3 page down, 4 thumb position, 5 thumb track (ThumbPos), 6 top,
    // 7 bottom. Obeyed only with EnableScroll and outside a paint; OnBeforeScroll before a
    // move, OnScroll after it (AutoScroll on).
    enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scThumbPosition, scThumbTrack, scTop, scBottom };
    void ScrollMessage(int Bar, int Code, int ThumbPos = 0);
    // Scrolls the picture by (dx, dy) pixels within the scroll ranges; no events.
    void ScrollBy(int dx, int dy);
    // One scroll step along an axis with OnBeforeScroll and OnScroll (the DstLeft, DstTop writers).
    void ScrollHorz(int delta);
    void ScrollVert(int delta);
    // Range Minimum .. Maximum and the page step of a bar (Bar 0 horizontal, 1 vertical). A page
    // step of -1 (a new control) becomes a tenth of the picture's width (height) at its first
    // use with a picture and is kept from then on.
    void SetScrollBar(int Bar, bool Redraw, int Maximum, int Minimum);
    int HPageStep() const { return m_hPageStep; }
    int VPageStep() const { return m_vPageStep; }
    static constexpr int HLineStep() { return 1; }
    static constexpr int VLineStep() { return 2; }
    // A scroll step runs (the layout keeps the rectangles meanwhile).
    bool Scrolling() const { return m_scrolling; }

    // ---- pan window (LEADImage_panwin.cpp) ---------------------------------------------------
    // A small tool window showing the whole picture with a rectangle (PanWinRectColor) round the
    // part the control shows; dragging the rectangle scrolls the control. OnPanWin fires with
    // flag 0 when it is made, 1 when the user moved the rectangle, 2 when the user closed it.
    int ShowPanWindow(bool Show);
    int UpdatePanWindow();
    QWidget* PanWindowHandle() const;
    bool PanWindowWanted() const { return m_panWindowWanted; }
    std::uint32_t PanWinFlags() const { return m_panWinFlags; }
    // The visible part of the picture in picture pixels (as seen), as the pan window frames it.
    QRect VisiblePictureRect() const;

    // ---- magnifying glass (LEADImage_panwin.cpp) ---------------------------------------------
    // A loupe over the picture that follows the mouse: Width x Height client pixels showing the
    // picture's pixels under the pointer at ZoomFactor percent of the picture, framed in
    // PenColor (BorderSize pixels, raised with Border3D), BackColor beyond the picture, an
    // ellipse or a rectangle, a cross hair (CrosshairStyle 1), centred on the pointer or with
    // its top left there (Center). IgnoreRegion is kept for a restart.
    virtual int StartMagGlass(int Width, int Height, int ZoomFactor, TColor PenColor, TColor BackColor, bool Ellipse,
                              int BorderSize, bool Border3D, int CrosshairStyle, bool IgnoreRegion, bool Center);
    virtual int StopMagGlass();
    void UpdateMagGlass();
    bool MagGlassActive() const { return m_magGlassActive; }
    // The three option words of the magnifier (bit 2 of the first: the pointer over the loupe
    // asks OnMagGlassCursor).
    std::uint32_t MagGlassOptions[3] = {0, 0, 0};
    // The framework's virtual-key code of a Qt key (0 for keys it has none for).
    static int VirtualKeyCode(int qtKey);
    // No size of its own, as a plain control: scroll bars do not make a layout grow it, so
    // the scroll area's own hints are skipped on purpose.
    QSize sizeHint() const override { return QWidget::sizeHint(); } // NOLINT(bugprone-parent-virtual-call)
    QSize minimumSizeHint() const override
    {
        return QWidget::minimumSizeHint(); // NOLINT(bugprone-parent-virtual-call)
    }

    // ---- property readers ------------------------------------------------------------------
    bool RefBitmap() const { return m_refBitmap; }
    bool EnableProgressEvent() const { return m_enableProgressEvent; }
    bool DropAutoLoad() const { return m_dropAutoLoad; }
    bool DropFilesAllowed() const { return m_dropFilesAllowed; }
    QString BitmapDataPath() const { return m_bitmapDataPath; }
    QString DataField() const { return m_dataField; }
    QObject* DataSource() const { return m_dataSource; }
    bool ReadOnly() const { return m_readOnly; }
    int DataLoadBits() const { return m_dataLoadBits; }
    int DataSaveBits() const { return m_dataSaveBits; }
    int DataSaveFormat() const { return m_dataSaveFormat; }
    int DataSaveQuality() const { return m_dataSaveQuality; }
    int PDFXResolution() const { return m_pdf.XResolution; }
    int PDFYResolution() const { return m_pdf.YResolution; }
    int PDFDisplayDepth() const { return m_pdf.DisplayDepth; }
    int PDFTextAlpha() const { return m_pdf.TextAlpha; }
    int PDFGraphicsAlpha() const { return m_pdf.GraphicsAlpha; }
    bool PDFUseLibFonts() const { return m_pdf.UseLibFonts != 0; }
    int RasterizeViewportWidth() const { return m_raster.ViewportWidth; }
    int RasterizeViewportHeight() const { return m_raster.ViewportHeight; }
    int RasterizeViewMode() const { return m_raster.ViewMode; }

    TPaintSizeMode PaintSizeMode() const { return m_paintSizeMode; }
    // In stretch mode the smaller zoom factor, else ZoomX, in percent.
    int PaintZoomFactor() const;
    bool PaintSizeUseDPI() const { return m_paintSizeUseDPI; }
    TPaintDither PaintDither() const { return m_paintDither; }
    TPaletteType PaintPalette() const { return m_paintPalette; }
    TPaintScaling PaintScaling() const { return m_paintScaling; }
    bool PaintRgnOnly() const { return m_paintRgnOnly; }
    int PaintNotificationDelay() const { return m_paintNotificationDelay; }
    int PaintContrast() const { return m_paintContrast; }
    int PaintIntensity() const { return m_paintIntensity; }
    int PaintGamma() const { return m_paintGamma; }
    bool PaintWhileLoad() const { return m_paintWhileLoad; }
    TColor BackColor() const { return m_backColor; }
    bool BackErase() const { return m_backErase; }
    int BackgroundImageLeft() const { return m_backgroundImageLeft; }
    int BackgroundImageTop() const { return m_backgroundImageTop; }
    int BackgroundImageWidth() const { return m_backgroundImageWidth; }
    int BackgroundImageHeight() const { return m_backgroundImageHeight; }
    TBitonalScaling BitonalScaling() const { return m_bitonalScaling; }
    bool CenterImage() const { return m_centerImage; }
    bool AutoRepaint() const { return m_autoRepaint; }
    bool AutoScroll() const { return m_autoScroll; }
    bool AutoSetRects() const { return m_autoSetRects; }
    bool AutoSize() const { return m_autoSize; }

    int HScrollStep() const { return m_hScrollStep; }
    int VScrollStep() const { return m_vScrollStep; }
    bool EnableScroll() const { return m_enableScroll; }
    bool EnableKeyboard() const { return m_enableKeyboard; }
    // While the pan window is shown, its place and size as the user left them.
    int PanWinX();
    int PanWinY();
    int PanWinWidth();
    int PanWinHeight();
    QString PanWinTitle() const { return m_panWinTitle; }
    TColor PanWinRectColor() const { return m_panWinRectColor; }
    bool PanWinSysMenu() const { return m_panWinSysMenu; }
    int PanWinPointer() const { return m_panWinPointer; }
    QIcon PanWinIcon() const { return m_panWinIcon; }
    TPaletteType PanWinPaintPalette() const { return m_panWinPaintPalette; }
    TPaintDither PanWinPaintDither() const { return m_panWinPaintDither; }
    TBitonalScaling PanWinBitonalScaling() const { return m_panWinBitonalScaling; }
    TPaintScaling PanWinPaintScaling() const { return m_panWinPaintScaling; }
    TPaletteType MagGlassPaintPalette() const { return m_magGlassPaintPalette; }
    TBitonalScaling MagGlassBitonalScaling() const { return m_magGlassBitonalScaling; }
    TPaintDither MagGlassPaintDither() const { return m_magGlassPaintDither; }
    TPaintScaling MagGlassPaintScaling() const { return m_magGlassPaintScaling; }
    int MagGlassPointer() const { return m_magGlassPointer; }

    bool AutoFloater() const { return m_autoFloater; }
    bool EnableFloater() const { return m_enableFloater; }
    bool EnableZoomInRect() const { return m_enableZoomInRect; }
    TColor WandColor() const { return m_wandColor; }
    int WandSize() const { return m_wandSize; }

    int PaintEffect() const { return m_paintEffect; }
    int EffectDelay() const { return m_effectDelay; }
    int EffectGrain() const { return m_effectGrain; }
    int PaintMaxPasses() const { return m_paintMaxPasses; }
    int TransitionEffect() const { return m_transitionEffect; }
    TTransitionStyle TransitionStyle() const { return m_transitionStyle; }
    int GradientStyle() const { return m_gradientStyle; }
    TColor GradientStartColor() const { return m_gradientStartColor; }
    TColor GradientEndColor() const { return m_gradientEndColor; }
    int GradientSteps() const { return m_gradientSteps; }
    TPatternStyle PatternStyle() const { return m_patternStyle; }
    TColor PatternBackColor() const { return m_patternBackColor; }
    TColor PatternForeColor() const { return m_patternForeColor; }
    bool Transparent() const { return m_transparent; }
    TColor TransparentColor() const { return m_transparentColor; }
    bool UseTransparentColor() const { return m_useTransparentColor; }

    int ShapeLeft() const { return m_shapeLeft; }
    int ShapeTop() const { return m_shapeTop; }
    int ShapeWidth() const { return m_shapeWidth; }
    int ShapeHeight() const { return m_shapeHeight; }
    int ShapeBackgroundStyle() const { return m_shapeBackgroundStyle; }
    int ShapeBorderStyle() const { return m_shapeBorderStyle; }
    TColor ShapeBorderColor() const { return m_shapeBorderColor; }
    int ShapeBorderThickness() const { return m_shapeBorderThickness; }
    int ShapeInnerBandStyle() const { return m_shapeInnerBandStyle; }
    int ShapeInnerBandThickness() const { return m_shapeInnerBandThickness; }
    TColor ShapeInnerBandHiliteColor() const { return m_shapeInnerBandHiliteColor; }
    TColor ShapeInnerBandShadowColor() const { return m_shapeInnerBandShadowColor; }
    int ShapeOuterBandStyle() const { return m_shapeOuterBandStyle; }
    int ShapeOuterBandThickness() const { return m_shapeOuterBandThickness; }
    TColor ShapeOuterBandHiliteColor() const { return m_shapeOuterBandHiliteColor; }
    TColor ShapeOuterBandShadowColor() const { return m_shapeOuterBandShadowColor; }
    TColor ShadowColor() const { return m_shadowColor; }
    int ShadowXDepth() const { return m_shadowXDepth; }
    int ShadowYDepth() const { return m_shadowYDepth; }

    QFont TextFont() const { return m_textFont; }
    TColor FrameColor() const { return m_frameColor; }
    int FrameThickness() const { return m_frameThickness; }
    int FrameInnerThickness() const { return m_frameInnerThickness; }
    int FrameOuterThickness() const { return m_frameOuterThickness; }
    TFrameInnerStyle FrameInnerStyle() const { return m_frameInnerStyle; }
    TFrameOuterStyle FrameOuterStyle() const { return m_frameOuterStyle; }
    TColor FrameInnerHiliteColor() const { return m_frameInnerHiliteColor; }
    TColor FrameOuterHiliteColor() const { return m_frameOuterHiliteColor; }
    TColor FrameInnerShadowColor() const { return m_frameInnerShadowColor; }
    TColor FrameOuterShadowColor() const { return m_frameOuterShadowColor; }
    // FrameThickness + FrameInnerThickness + FrameOuterThickness.
    int FrameWidth() const { return m_frameThickness + m_frameInnerThickness + m_frameOuterThickness; }
    bool DrawPersistence() const { return m_drawPersistence; }
    int DrawMode() const { return m_drawMode; }
    TColor DrawPenColor() const { return m_drawPenColor; }
    int DrawPenStyle() const { return m_drawPenStyle; }
    int DrawPenWidth() const { return m_drawPenWidth; }
    TColor DrawFillColor() const { return m_drawFillColor; }
    int DrawFillStyle() const { return m_drawFillStyle; }
    bool AutoAnimate() const { return m_autoAnimate; }
    int AutoAnimationLoop() const { return m_autoAnimationLoop; }

    int Align() const { return m_align; }
    int BorderStyle() const { return m_borderStyle; }
    bool Ctl3D() const { return m_ctl3D; }
    bool ParentCtl3D() const { return m_parentCtl3D; }
    int Cursor() const { return m_cursor; }
    int DragCursor() const { return m_dragCursor; }
    int DragMode() const { return m_dragMode; }
    bool Enabled() const { return isEnabled(); }
    QString Hint() const { return m_hint; }
    bool ShowHint() const { return m_showHint; }
    QMenu* PopupMenu() const { return m_popupMenu; }
    int TabOrder() const { return m_tabOrder; }
    bool TabStop() const { return m_tabStop; }
    // Not hidden by the program (a control is shown with its window).
    bool Visible() const { return !(isHidden() && testAttribute(Qt::WA_WState_ExplicitShowHide)); }

    // ---- property writers (LEADImage_props.cpp) --------------------------------------------
    void setRefBitmap(bool on);
    void setEnableProgressEvent(bool on);
    void setDropAutoLoad(bool on);
    void setDropFilesAllowed(bool on);
    void setBitmapDataPath(const QString& path);
    void setDataField(const QString& field);
    void setDataSource(QObject* source);
    void setReadOnly(bool on);
    void setDataLoadBits(int bits);
    void setDataSaveBits(int bits);
    void setDataSaveFormat(int format);
    void setDataSaveQuality(int quality);
    void setPDFXResolution(int value);
    void setPDFYResolution(int value);
    void setPDFDisplayDepth(int value);
    void setPDFTextAlpha(int value);
    void setPDFGraphicsAlpha(int value);
    void setPDFUseLibFonts(bool on);
    void setRasterizeViewportWidth(int value);
    void setRasterizeViewportHeight(int value);
    void setRasterizeViewMode(int value);

    void setPaintSizeMode(TPaintSizeMode mode);
    void setPaintSizeMode(int mode) { setPaintSizeMode(TPaintSizeMode(mode)); }
    void setPaintZoomFactor(int percent);
    void setPaintSizeUseDPI(bool on);
    void setPaintDither(TPaintDither value);
    void setPaintDither(int value) { setPaintDither(TPaintDither(value)); }
    void setPaintPalette(TPaletteType value);
    void setPaintPalette(int value) { setPaintPalette(TPaletteType(value)); }
    void setPaintScaling(TPaintScaling value);
    void setPaintScaling(int value) { setPaintScaling(TPaintScaling(value)); }
    void setPaintRgnOnly(bool on);
    void setPaintNotificationDelay(int ms);
    void setPaintContrast(int value);
    void setPaintIntensity(int value);
    void setPaintGamma(int value);
    void setPaintWhileLoad(bool on);
    void setBackColor(TColor color);
    void setBackErase(bool on);
    void setBackgroundImageLeft(int value);
    void setBackgroundImageTop(int value);
    void setBackgroundImageWidth(int value);
    void setBackgroundImageHeight(int value);
    void setBitonalScaling(TBitonalScaling value);
    void setBitonalScaling(int value) { setBitonalScaling(TBitonalScaling(value)); }
    void setCenterImage(bool on);
    void setAutoRepaint(bool on);
    void setAutoScroll(bool on);
    void setAutoSetRects(bool on);
    void setAutoSize(bool on);

    void setHScrollStep(int step);
    void setVScrollStep(int step);
    void setEnableScroll(bool on);
    void setEnableKeyboard(bool on);
    void setPanWinX(int value);
    void setPanWinY(int value);
    void setPanWinWidth(int value);
    void setPanWinHeight(int value);
    void setPanWinTitle(const QString& title);
    void setPanWinRectColor(TColor color);
    void setPanWinSysMenu(bool on);
    void setPanWinPointer(int cursor);
    void setPanWinIcon(const QIcon& icon);
    void setPanWinPaintPalette(TPaletteType value);
    void setPanWinPaintPalette(int value) { setPanWinPaintPalette(TPaletteType(value)); }
    void setPanWinPaintDither(TPaintDither value);
    void setPanWinPaintDither(int value) { setPanWinPaintDither(TPaintDither(value)); }
    void setPanWinBitonalScaling(TBitonalScaling value);
    void setPanWinBitonalScaling(int value) { setPanWinBitonalScaling(TBitonalScaling(value)); }
    void setPanWinPaintScaling(TPaintScaling value);
    void setPanWinPaintScaling(int value) { setPanWinPaintScaling(TPaintScaling(value)); }
    void setMagGlassPaintPalette(TPaletteType value);
    void setMagGlassPaintPalette(int value) { setMagGlassPaintPalette(TPaletteType(value)); }
    void setMagGlassBitonalScaling(TBitonalScaling value);
    void setMagGlassBitonalScaling(int value) { setMagGlassBitonalScaling(TBitonalScaling(value)); }
    void setMagGlassPaintDither(TPaintDither value);
    void setMagGlassPaintDither(int value) { setMagGlassPaintDither(TPaintDither(value)); }
    void setMagGlassPaintScaling(TPaintScaling value);
    void setMagGlassPaintScaling(int value) { setMagGlassPaintScaling(TPaintScaling(value)); }
    void setMagGlassPointer(int cursor);

    void setAutoFloater(bool on);
    void setEnableFloater(bool on);
    void setEnableZoomInRect(bool on);
    void setWandColor(TColor color);
    void setWandSize(int size);

    void setPaintEffect(int effect);
    void setEffectDelay(int delay);
    void setEffectGrain(int grain);
    void setPaintMaxPasses(int passes);
    void setTransitionEffect(int effect);
    void setTransitionStyle(TTransitionStyle style);
    void setTransitionStyle(int style) { setTransitionStyle(TTransitionStyle(style)); }
    void setGradientStyle(int style);
    void setGradientStartColor(TColor color);
    void setGradientEndColor(TColor color);
    void setGradientSteps(int steps);
    void setPatternStyle(TPatternStyle style);
    void setPatternStyle(int style) { setPatternStyle(TPatternStyle(style)); }
    void setPatternBackColor(TColor color);
    void setPatternForeColor(TColor color);
    void setTransparent(bool on);
    void setTransparentColor(TColor color);
    void setUseTransparentColor(bool on);

    void setShapeLeft(int value);
    void setShapeTop(int value);
    void setShapeWidth(int value);
    void setShapeHeight(int value);
    void setShapeBackgroundStyle(int style);
    void setShapeBorderStyle(int style);
    void setShapeBorderColor(TColor color);
    void setShapeBorderThickness(int value);
    void setShapeInnerBandStyle(int style);
    void setShapeInnerBandThickness(int value);
    void setShapeInnerBandHiliteColor(TColor color);
    void setShapeInnerBandShadowColor(TColor color);
    void setShapeOuterBandStyle(int style);
    void setShapeOuterBandThickness(int value);
    void setShapeOuterBandHiliteColor(TColor color);
    void setShapeOuterBandShadowColor(TColor color);
    void setShadowColor(TColor color);
    void setShadowXDepth(int value);
    void setShadowYDepth(int value);

    void setTextFont(const QFont& font);
    void setFrameColor(TColor color);
    void setFrameThickness(int value);
    void setFrameInnerThickness(int value);
    void setFrameOuterThickness(int value);
    void setFrameInnerStyle(TFrameInnerStyle style);
    void setFrameInnerStyle(int style) { setFrameInnerStyle(TFrameInnerStyle(style)); }
    void setFrameOuterStyle(TFrameOuterStyle style);
    void setFrameOuterStyle(int style) { setFrameOuterStyle(TFrameOuterStyle(style)); }
    void setFrameInnerHiliteColor(TColor color);
    void setFrameOuterHiliteColor(TColor color);
    void setFrameInnerShadowColor(TColor color);
    void setFrameOuterShadowColor(TColor color);
    void setDrawPersistence(bool on);
    void setDrawMode(int mode);
    void setDrawPenColor(TColor color);
    void setDrawPenStyle(int style);
    void setDrawPenWidth(int width);
    void setDrawFillColor(TColor color);
    void setDrawFillStyle(int style);
    void setAutoAnimate(bool on);
    void setAutoAnimationLoop(int value);

    void setAlign(int align);
    void setBorderStyle(int style);
    void setCtl3D(bool on);
    void setParentCtl3D(bool on);
    using QWidget::setCursor;
    void setCursor(int cursor);
    void setDragCursor(int cursor);
    void setDragMode(int mode);
    void setHint(const QString& hint);
    void setShowHint(bool on);
    void setPopupMenu(QMenu* menu);
    using QWidget::setTabOrder;
    void setTabOrder(int order);
    void setTabStop(bool on);

protected:
    // ---- hooks for derived controls; empty here ----------------------------------------------
    // After ClearImage, PrepareFirstFrame and a memory load.
    virtual void ResetHook() {}
    // When the user moves the pan window's rectangle.
    virtual void PanMoveHook() {}
    // At the end of every paint, with a canvas on the back buffer.
    virtual void AfterPaintHook(TCanvas* canvas) {}
    // After a successful Rotate or FastRotate, with the angle in hundredths of a degree.
    virtual void RotateHook(double angle) {}
    virtual void FastRotateHook(double angle) {}
    // After a successful Size, with the old view size and the new size.
    virtual void SizeHook(int oldWidth, int oldHeight, int newWidth, int newHeight) {}
    // In ForceRepaint, before the control is refreshed.
    virtual void RepaintHook() {}

    // The update after the picture changed: layout, repaint, OnChange.
    virtual void BitmapChanged();
    // Recomputes the layout of the picture in the client area.
    virtual void RecalcLayout();
    // Called whenever a new or resized bitmap is in place.
    void ResetRectsForBitmap();

    // TLeadErrorReporter
    QString ComponentName() const override { return objectName(); }
    bool IsImageHeld() const override { return m_allocated; }
    bool IsAnimationPlaying() const override { return m_animationPlaying; }
    bool IsProcessingLocked() const override;

    // Copies Width, Height (as seen), depth and resolution of the working bitmap into the
    // fields the layout reads.
    void RefreshBitmapInfo();
    // Centres the picture in the inner area where it is narrower or shorter.
    void CenterDstRect();
    // Drawn on the window over the back buffer by every paint event (tool shapes, outlines).
    virtual void DrawOverlays(QPainter& painter) {}

    // QAbstractScrollArea (paint and resize events are the viewport's)
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    // The framework's mouse handlers, inside the guard. The defaults fire the events around
    // the control's mouse tools (ToolMouseDown, ToolMouseMove, ToolMouseUp).
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DblClick(TShiftState shift, int x, int y);
    // The mouse tools' part of a press, move and release; a move and a release may change the
    // point the events get (clamped while a tool drags).
    // (LEADImage_region.cpp: the region tools, the rubber band and the floater.)
    virtual void ToolMouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void ToolMouseMove(TShiftState shift, int& x, int& y);
    virtual void ToolMouseUp(TMouseButton button, TShiftState shift, int& x, int& y);
    // Overlays of the mouse tools and the magnifier, drawn on the window over the back buffer.
    void PaintControlOverlays(QPainter& painter);
    // Dropped files (DropFilesAllowed): the first one goes to OnDropFile and, with
    // DropAutoLoad, is loaded.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // The data-aware link's modified mark.
    void MarkDataModified() { m_dataModified = true; }

    // ---- the status chain and the abort flags (LEADImage_file.cpp) --------------------------
    // Makes this control current for the kernel's status callback (remembering the one
    // before) and sets Busy; Pop undoes it.
    void PushStatusChain();
    void PopStatusChain();
    // Clears the process-wide abort request and aborted flags; every load, save and
    // processing operation starts with this.
    static void ClearAbortFlags();
    static bool Aborted();
    // Calls OnStatus when progress events are on; an exception of the handler is kept and
    // the call answers false (the caller stops the kernel and rethrows afterwards).
    bool FireStatus(int percent);
    // Rethrows an exception kept from an event handler during a kernel call.
    void RethrowPending();

private:
    friend struct LeadImageFile;  // the kernel callbacks of LEADImage_file.cpp

    // Working bitmap := page m_listIndex of the list; sets Allocated from the result.
    int TakePageFromList();
    // Destroys the list, empties the working bitmap and clears Allocated.
    void EmptyPicture();
    // Stores the working bitmap into the list at the index.
    int StoreWorkingBitmap();
    // Ends a running feed load without taking its pages.
    void CancelFeedLoad();
    // Busy, LoadGuard and the loading flag end with the feed load.
    void EndFeedState();
    // The pages of a file into the list (the row callback fills it).
    int LoadPages(const QByteArray& fileName, int bitsPerPixel, int pageCount, const LLoadOptions& options);
    // One band of rows of a load (the kernel's load-row callback).
    int LoadRowBand(const LFileInfo* info, LBitmap* page, std::uint32_t flags, int lines);
    // One band of rows of a save (the kernel's save-row callback).
    int SaveRowBand(LBitmap* bitmap, std::uint8_t* buffer, int row, int lines);
    // The end of a file or memory load: a failed one empties the control; then the change
    // update and LastError.
    void FinishLoad(int code);
    // ---- display (LEADImage_display.cpp, LEADImage_paint.cpp) -------------------------------
    // The client size from the control's size and the scroll bars its policies show.
    QSize ClientSize() const;
    TLeadLayoutInput LayoutInput() const;
    // Scroll bar ranges and positions from the geometry; with showBars also which bars show
    // (AutoScroll without AutoSize, a maximum above 0; without mayHide a bar shown stays).
    // True when the bars shown changed.
    bool SyncScrollBars(bool showBars, bool mayHide = true);
    // Child controls follow the picture: each moves by (-dx, -dy).
    void MoveChildren(int dx, int dy);
    // One scroll step: ScrollBy between OnBeforeScroll and OnScroll, the rectangles kept.
    void ScrollStep(int dx, int dy);
    // The page step of a bar, resolved as SetScrollBar does.
    int ResolvePageStep(int bar);
    // The scroll bars' own requests (their buttons, trough and thumb).
    void ScrollBarAction(int bar, int action);
    // One wheel message: delta in eighths of a degree, horizontal with Shift or a sideways wheel.
    void WheelMessage(int delta, bool horizontal, Qt::MouseButtons buttons);
    // A wheel event's delta: with Shift sideways (forward = right), else along horizontal.
    void ShiftOrPlainWheel(const QPoint& angleDelta, bool shift, bool horizontal, Qt::MouseButtons buttons);
    // Scroll bar signals and mouse tracking, once at construction.
    void InitScrolling();
    void StartDragAt(bool immediate, int threshold, std::optional<QPoint> globalStart);
    // The pan window's report (flag 1: the rectangle's top left in picture pixels).
    void PanWindowReport(int flag, QPoint corner);
    void DestroyPanWindow();
    // The pan window property writers' end: UpdatePanWindow reported under the property's name.
    void ReportPanWindowWrite(const char* property);
    void PlacePanWindow();
    void RefreshPanWinPlace();
    void PaintMagGlass(QPainter& painter);
    // The DstLeft (horizontal) or DstTop writer on edge.
    void SetDstEdge(int& edge, int value, bool horizontal);
    // After a write that moves the picture: layout, repaint when AutoRepaint, LastError 1.
    void LayoutChanged();
    // The viewport's painting attributes for Transparent.
    void UpdateOpacity();
    // The next phase of the region outline (timer 100).
    void StepRegionOutline();
    // The region's outline and fill on the window (to-display transform) and the mouse tool's shape.
    void PaintRegionOverlays(QPainter& painter);
    // The transform from bitmap pixels (stored) to client pixels.
    QTransform StoredToClient() const;
    // The region as client-pixel geometry, cached per region.
    struct RegionShapes {
        // The region the shapes were made of, by content: a new region may come at the
        // address of the freed one.
        bool Made = false;
        LRect Bounds;
        std::vector<std::uint8_t> Mask;
        QRegion Area;          // stored pixels
        QPainterPath Outline;  // stored pixel edges
    };
    const RegionShapes& CurrentRegionShapes();
    RegionShapes m_regionShapes;
    // The region-only paint: the picture inside the region, the back buffer as it was elsewhere.
    void DrawPictureInRegion(const QRect& dstRect, const QRect& clip);
    // Inner client area cut to the destination, in client pixels.
    QRect ToolArea() const;
    // The from-display transform of the region calls.
    LRgnXForm FromDisplay() const;
    // The floater (LEADImage_floater.cpp).
    LBitmap* FloaterTarget();
    void GreyFloater(int bitsPerPixel);
    // Frees the piece, its background and its display (a new picture or an emptied control).
    void DropFloaterPiece();
    void PaintFloater(QPainter& painter);
    void FreeFloaterDisplay();
    void KeepFloaterBackground();
    void LiftFloater(int x, int y);
    void MoveFloaterTo(int x, int y);
    void DropFloater();
    void PutBackFloaterBackground();
    LBitmap m_floaterBitmap;
    LBitmap m_floaterBackground;
    LBitmap m_floaterCopy;  // the copy handed out by Floater with AutoFloater
    LRect m_floaterSource;  // where the piece lies in the picture (stored pixels)
    LRect m_floaterBackgroundAt;  // where m_floaterBackground was taken (cut to the picture)
    TRect m_floaterDstRect;
    TRect m_floaterDstClipRect;
    TPoint m_floaterDragOffset;
    bool m_floaterVisible = true;
    bool m_floaterDisplay = false;  // the piece is to be drawn (lifted or given)
    bool m_floaterDragging = false;
    bool m_toolActive = false;
    TPoint m_toolStart;
    TPoint m_toolCurrent;
    TRect m_rubberBand;
    std::vector<TPoint> m_polygon;
    int m_polygonCount = 0;
    int m_rgnFrameType = 0;
    int m_rgnFramePhase = 0;
    // Makes image current for the kernel's status callback, returning the one before
    // (LEADImage_file.cpp).
    static TLEADImage* SwapStatusImage(TLEADImage* image);
    // Steps of Paint.
    void PaintSequence();
    void DrawFrame(const QRect& client);
    // Fills area less hole (none: all of it) on the back buffer.
    void FillOutside(const QRect& area, const QRect& hole, const QColor& color);
    void DrawPicture(const QRect& dstRect, const QRect& clip);
    // The scaled picture and where the part that shows in dstRect within clip lies in it
    // (visible: that part in client pixels); null when nothing shows.
    const QImage* ScaledPart(const QRect& dstRect, const QRect& clip, QRect& visible, QPoint& offset);
    // The picture as it shows there: the scaled copy itself (shared, never copied) or, with
    // display adjustments, an adjusted copy of the part that shows; piece is that part in the
    // image returned. Null when nothing shows.
    QImage DisplayedPart(const QRect& dstRect, const QRect& clip, QRect& visible, QRect& piece);
    // piece of image onto the back buffer at `at`, replacing what was there.
    void CopyOntoSurface(const QPoint& at, const QImage& image, const QRect& piece);
    // ---- effects (LEADImage_effects.cpp) -------------------------------------------------------
    // The picture through PaintEffect in PaintMaxPasses passes, with OnPaintNotify(0, 1) before
    // the first and OnPaintNotify(n, 1) after pass n and the progress reports; false when a
    // handler stopped it.
    bool PaintPictureEffect(const QRect& dstRect, const QRect& clip);
    // The gradient or pattern behind the picture through TransitionEffect (type 0).
    void PaintTransitionEffect(const QRect& area);
    // The passes of one effect over area of the back buffer, piece of `to` being the new
    // content; unseen: the steps change nothing on the window (no showing, no waits).
    bool RunEffect(std::uint32_t effect, const QRect& area, const QImage& to, const QRect& piece, unsigned type,
                   bool unseen);
    // One step painted on the window and the EffectDelay wait (only outside a paint event).
    void ShowEffectStep(const QRect& area);
    // A repaint now would paint an effect (which then runs outside the paint event).
    bool EffectPaintPending() const;
    void RunDeferredPaint();
    // The contrast, intensity and gamma of the display differ from the plain picture.
    bool DisplayAdjusted() const;
    // piece of a 32-bit image through the display adjustments, as a new image.
    QImage AdjustedForDisplay(const QImage& image, const QRect& piece) const;
    struct EffectPlanDeleter {
        void operator()(LEfxEffectPlan* p) const;
    };
    // The plan of the last effect of each type (0 the background, 1 the picture) and what it
    // was made for.
    struct CachedPlan {
        std::array<std::uint32_t, 8> Key{};
        std::unique_ptr<LEfxEffectPlan, EffectPlanDeleter> Plan;
    };
    CachedPlan m_effectPlans[2];
    // What the last finished effect paint of the picture left on the buffer.
    struct Shown {
        std::uint64_t Generation = 0;
        QRect Area;
        int Contrast = 0, Intensity = 0, Gamma = 100;
        friend bool operator==(const Shown&, const Shown&) = default;
    };
    Shown m_shown;
    // ---- animation and the drawing canvas (LEADImage_animate.cpp) ------------------------------
    struct PlaybackDeleter {
        void operator()(LPlayback* p) const;
    };
    struct DrawCanvasState;
    struct DrawCanvasDeleter {
        void operator()(DrawCanvasState* s) const;
    };
    QTimer* PlaybackTimer();
    // The timer's handler: the next frame, then the timer set to its delay.
    void PlaybackStep();
    // Ends a playback without a word (the list it plays is going).
    void StopPlayback();
    // After a load: the playback of an animated picture when AutoAnimate is on.
    void StartAutoAnimation();
    // The last file is an animation: a GIF of several pages or one of the animation formats.
    bool IsAnimatedFile() const;
    // A new picture ends the playback of the old one.
    void EndPlaybackForLoad();
    QTransform ClientToBitmapTransform() const;
    QTimer* m_playbackTimer = nullptr;
    bool m_animationEnabled = false;
    bool m_loopAnimation = false;
    QTransform m_drawMapping;
    bool m_inPaintEvent = false;
    bool m_deferredPaint = false;
    bool m_skipEffectDelay = false;
    // The buffer in the client area's size and the format for Transparent.
    void PrepareSurface();

    // Options of the loads, applied for the length of a load.
    struct SavedOptions {
        LPdfOptions pdf;
        LRasterizeOptions raster;
    };
    SavedOptions ApplyLoadOptionSets();
    void RestoreLoadOptionSets(const SavedOptions& saved);
    LLoadOptions BuildLoadOptions(int pageNumber) const;
    // The one-shot reduced-size decode of SetLoadSizeHint, taken by the next load.
    void ClearLoadSizeHint();
    int m_loadHintWidth = 0;
    int m_loadHintHeight = 0;

    // ---- image state ------------------------------------------------------------------------
    LBitmap m_bitmap;
    LBitmapList* m_list = nullptr;
    int m_listIndex = 0;
    int m_listCount = 0;
    bool m_allocated = false;
    LBitmap m_operationBitmap;
    std::uint8_t m_stateFlags = 0;
    bool m_busy = false;
    bool m_loadGuard = false;
    std::uint32_t m_changedFlags = 0;
    bool m_dataModified = false;
    bool m_animationPlaying = false;

    int m_canvasWidth = 0;
    int m_canvasHeight = 0;
    int m_canvasBits = 0;
    LRgbQuad m_canvasPalette[256] = {};
    LColor m_canvasBackground = 0;
    bool m_canvasPaletteGiven = false;

    // Contexts handed out.
    std::unique_ptr<TCanvas> m_bitmapDC;
    QImage m_bitmapDCImage;
    std::unique_ptr<TCanvas> m_controlDC;
    // ---- display state ------------------------------------------------------------------
    TLeadGeometry m_geom;
    // The back buffer: the last paint's result, copied to the window by every paint event.
    QImage m_surface;
    bool m_surfaceStale = true;
    // The picture scaled for the destination, or a part of it; kept while the bitmap's
    // generation, the source rectangle, the destination size and the scaling stay.
    struct ScaledPicture {
        std::uint64_t Generation = 0;
        TLeadBox Source;
        QSize Destination;
        bool Smooth = false;
        QRect Part;
        QImage Image;
    };
    ScaledPicture m_scaled;
    bool m_inPaint = false;
    bool m_scrolling = false;
    int m_hScrollBarHeight = 0;
    int m_vScrollBarWidth = 0;
    // The working bitmap as the layout sees it (RefreshBitmapInfo).
    int m_infoWidth = 0;
    int m_infoHeight = 0;
    int m_infoBits = 0;
    int m_infoXResolution = 0;
    int m_infoYResolution = 0;
    bool m_transparentPaint = false;
    QBasicTimer m_outlineTimer;
    // Scrolling, the pan window and the magnifier.
    int m_hPageStep = -1;
    int m_vPageStep = -1;
    int m_wheelRest[2] = {0, 0};  // wheel deltas below a step, horizontal and vertical
    bool m_clicked = false;       // a left press that may end in a click
    TLeadPanWindow* m_panWindow = nullptr;
    bool m_panWindowWanted = false;
    std::uint32_t m_panWinFlags = 1;
    bool m_magGlassActive = false;
    struct MagGlassArgs {
        int Width = 0, Height = 0, ZoomFactor = 100;
        TColor PenColor = 0, BackColor = 0;
        bool Ellipse = false;
        int BorderSize = 0;
        bool Border3D = false;
        int CrosshairStyle = 0;
        bool IgnoreRegion = false, Center = true;
    } m_magGlass;
    QPoint m_magGlassAt{-1, -1};  // the pointer over the client area; (-1, -1) when outside
    int m_outlinePhase = 0;

    // ---- load and save bookkeeping -------------------------------------------------------
    struct LoadState {
        int pageCount = -1;
        int pagesLoaded = 0;
        int rows = 0;
    };
    LoadState m_loadState;
    int m_saveRows = 0;
    LFeedLoad* m_feed = nullptr;
    // The address download (LEADImage_download.cpp): http, https and file addresses through
    // Qt's network access on the GUI thread's event loop, fed to the feed load as they arrive.
    void CancelDownload();
    void DownloadData();
    void DownloadProgress(qint64 received, qint64 total);
    void DownloadFinished();
    // The end of a download: a failure empties the control quietly (LastError := code).
    void EndDownload(int code);
    class QNetworkAccessManager* m_network = nullptr;
    class QNetworkReply* m_reply = nullptr;
    bool m_downloadFinished = true;
    // The data link's side in the control.
    friend struct LeadFieldLink;
    void WriteToDataField();
    std::unique_ptr<struct LeadFieldLink> m_fieldLink;
    LBitmap m_feedBitmap;  // the kernel decodes the fed pages into it
    bool m_feedCancelled = false;
    LFileInfo m_fileInfo;
    QString m_loadedFileName;
    LJ2KOptions m_j2k;
    std::int32_t m_wmfResolution = 0;
    // The control that was current before this one, and the status callback before ours.
    TLEADImage* m_prevCurrent = nullptr;
    LStatusCallback m_prevStatus = nullptr;
    void* m_prevStatusData = nullptr;
    int m_statusDepth = 0;
    // True while the row callbacks report progress themselves.
    bool m_rowProgress = false;
    std::exception_ptr m_pendingException;

    // ---- published property values --------------------------------------------------------
    bool m_refBitmap = false;
    bool m_enableProgressEvent = false;
    bool m_dropAutoLoad = true;
    bool m_dropFilesAllowed = false;
    QString m_bitmapDataPath;
    QString m_dataField;
    QPointer<QObject> m_dataSource;
    bool m_readOnly = false;
    int m_dataLoadBits = 24;
    int m_dataSaveBits = 24;
    int m_dataSaveFormat = 5;
    int m_dataSaveQuality = -1;
    LPdfOptions m_pdf;
    LRasterizeOptions m_raster;

    TPaintSizeMode m_paintSizeMode = smNormal;
    bool m_paintSizeUseDPI = false;
    TPaintDither m_paintDither = pdOrdered;
    TPaletteType m_paintPalette = ppAuto;
    TPaintScaling m_paintScaling = psNormal;
    bool m_paintRgnOnly = false;
    int m_paintNotificationDelay = 0;
    int m_paintContrast = 0;
    int m_paintIntensity = 0;
    int m_paintGamma = 100;
    bool m_paintWhileLoad = false;
    TColor m_backColor = clBtnFace;
    bool m_backErase = false;
    int m_backgroundImageLeft = 0;
    int m_backgroundImageTop = 0;
    int m_backgroundImageWidth = 0;
    int m_backgroundImageHeight = 0;
    TBitonalScaling m_bitonalScaling = btsNormal;
    bool m_centerImage = false;
    bool m_autoRepaint = true;
    bool m_autoScroll = true;
    bool m_autoSetRects = true;
    bool m_autoSize = false;

    int m_hScrollStep = 10;
    int m_vScrollStep = 10;
    bool m_enableScroll = true;
    bool m_enableKeyboard = true;
    int m_panWinX = 0;
    int m_panWinY = 0;
    int m_panWinWidth = 150;
    int m_panWinHeight = 150;
    QString m_panWinTitle = QStringLiteral("Pan Window");
    TColor m_panWinRectColor = 255;
    bool m_panWinSysMenu = true;
    int m_panWinPointer = 0;
    QIcon m_panWinIcon;
    TPaletteType m_panWinPaintPalette = ppAuto;
    TPaintDither m_panWinPaintDither = pdOrdered;
    TBitonalScaling m_panWinBitonalScaling = btsNormal;
    TPaintScaling m_panWinPaintScaling = psResample;
    TPaletteType m_magGlassPaintPalette = ppAuto;
    TBitonalScaling m_magGlassBitonalScaling = btsNormal;
    TPaintDither m_magGlassPaintDither = pdOrdered;
    TPaintScaling m_magGlassPaintScaling = psResample;
    int m_magGlassPointer = 0;

    bool m_autoFloater = true;
    bool m_enableFloater = false;
    bool m_enableZoomInRect = false;
    TColor m_wandColor = 0;
    int m_wandSize = 0;

    int m_paintEffect = 1000;
    int m_effectDelay = 0;
    int m_effectGrain = 5;
    int m_paintMaxPasses = 1;
    int m_transitionEffect = 1000;
    TTransitionStyle m_transitionStyle = etsNone;
    int m_gradientStyle = 1000;
    TColor m_gradientStartColor = 16711680;
    TColor m_gradientEndColor = 0;
    int m_gradientSteps = 16;
    TPatternStyle m_patternStyle = epsSolid;
    TColor m_patternBackColor = 0;
    TColor m_patternForeColor = 0;
    bool m_transparent = false;
    TColor m_transparentColor = 0;
    bool m_useTransparentColor = false;

    int m_shapeLeft = 0;
    int m_shapeTop = 0;
    int m_shapeWidth = 0;
    int m_shapeHeight = 0;
    int m_shapeBackgroundStyle = 0;
    int m_shapeBorderStyle = 0;
    TColor m_shapeBorderColor = 0;
    int m_shapeBorderThickness = 0;
    int m_shapeInnerBandStyle = 0;
    int m_shapeInnerBandThickness = 0;
    TColor m_shapeInnerBandHiliteColor = 16777215;
    TColor m_shapeInnerBandShadowColor = 8421504;
    int m_shapeOuterBandStyle = 0;
    int m_shapeOuterBandThickness = 0;
    TColor m_shapeOuterBandHiliteColor = 16777215;
    TColor m_shapeOuterBandShadowColor = 8421504;
    TColor m_shadowColor = 0;
    int m_shadowXDepth = 0;
    int m_shadowYDepth = 0;

    QFont m_textFont;
    TColor m_frameColor = 0;
    int m_frameThickness = 0;
    int m_frameInnerThickness = 0;
    int m_frameOuterThickness = 0;
    TFrameInnerStyle m_frameInnerStyle = fisInset;
    TFrameOuterStyle m_frameOuterStyle = fosInset;
    TColor m_frameInnerHiliteColor = 16777215;
    TColor m_frameOuterHiliteColor = 16777215;
    TColor m_frameInnerShadowColor = 8421504;
    TColor m_frameOuterShadowColor = 8421504;
    bool m_drawPersistence = false;
    int m_drawMode = pmCopy;
    TColor m_drawPenColor = 0;
    int m_drawPenStyle = psSolid;
    int m_drawPenWidth = 1;
    TColor m_drawFillColor = 0;
    int m_drawFillStyle = bsClear;
    bool m_autoAnimate = false;
    int m_autoAnimationLoop = 0;

    int m_align = 0;
    int m_borderStyle = 0;
    bool m_ctl3D = true;
    bool m_parentCtl3D = false;
    int m_cursor = 0;
    int m_dragCursor = -12;  // crDrag
    int m_dragMode = 0;
    QString m_hint;
    bool m_showHint = false;
    QMenu* m_popupMenu = nullptr;
    int m_tabOrder = -1;
    bool m_tabStop = false;

    // Last, so that they go before the bitmap, the list and the buffers they use.
    std::unique_ptr<LPlayback, PlaybackDeleter> m_playback;
    std::unique_ptr<DrawCanvasState, DrawCanvasDeleter> m_drawCanvas;
};
