#pragma once
// TBildbeaerbeitungForm: the modal editor for the picture selected in the main window's
// slideshow list. Every change works on the view BildbViewLEADImage and on the working copy
// Temp.jpg in the program folder, and is preceded by an undo file UNDO_<n>.jpg there:
//
//   UNDO_<j>.jpg   the picture before change j (format 10, 24 bits, quality factor 3)
//   UNDO_<j+1>.jpg the picture after change j, written by StoreRedoStep
//   Temp.jpg       the picture as the view shows it after the last completed step
//
// n (UndoIndex) is the change the picture now stands after, top (UndoTop) the highest change
// that can be redone. Undo to n = 0 loads the picture file itself, not a JPEG copy of it. When
// the window closes after a change the user decides whether Temp.jpg replaces the picture.
//
// The window reaches the main window through hooks set at start-up (the selected picture, the
// thumbnail refresh, the caption), so that it is built and tested without it.
#include "editing/draw/fPainterEffects.h"
#include "imaging/LEADImage.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Types.h"

#include <QString>

#include <functional>
#include <memory>

namespace Ui {
class TBildbeaerbeitungForm;
}
class QPushButton;
class TImage;
class TpelDrawImage;
class TPictureWriter;

class TBildbeaerbeitungForm : public TForm, public IPainterEffectsHost {
    Q_OBJECT
public:
    explicit TBildbeaerbeitungForm(QWidget* parent = nullptr);
    ~TBildbeaerbeitungForm() override;

    Ui::TBildbeaerbeitungForm* ui() const { return m_ui.get(); }

    // ---- links to the main window (set at start-up) -----------------------------------------
    QString ProgramFolder;                        // with a trailing "/"
    std::function<QString()> SelectedPicture;     // full path of the picture being edited
    std::function<void()> RefreshSelectedThumbnail;
    std::function<QString()> MainCaption;
    std::function<void()> ShowPanTip;             // "Bild verschieben": the tip window on panning
    std::function<void()> ShowCropTip;            // the hint on cropping to photo paper

    // ---- entry points of the tool panels and the painter effects dialog ---------------------
    // Each runs after the button's own preparation (marking reset, Temp.jpg written). A
    // button whose entry is empty stays disabled.
    std::function<void()> FreeCrop;         // Image9
    std::function<void()> PrintFormatCrop;  // Image11
    std::function<void()> AutoImprove;      // Image12
    std::function<void()> PainterColours;   // Image14
    std::function<void()> PainterEffects;   // Image17
    std::function<void()> RedEye;           // Image19

    // ---- the undo protocol (also called by the editor's dialogs) ----------------------------
    int UndoIndex = 0;  // n
    int UndoTop = 0;    // top
    bool RedEyeMode = false;
    int MarkTool = 0;
    int SavedFrameType = 0;

    void PushUndoStep();
    void CommitChange(bool StoreRedo);
    void StoreRedoStep();
    // PushUndoStep, change, then CommitChange(true). When change throws (or returns false),
    // the undo step is taken back (n, top, the buttons and the UNDO file) and the view shows
    // Temp.jpg again before the error goes on. With Commit false only the redo step is
    // stored after the change (the thumbnail and status line wait for a later commit).
    void ApplyChange(const std::function<void()>& change, bool Commit = true);

    QString TempFile() const { return ProgramFolder + QStringLiteral("Temp.jpg"); }
    QString UndoFile(int n) const;

    // ---- the painter effects dialog ------------------------------------------------------------
    // Art (hidden) carries the picture into the dialog of its own; TempImage (hidden) builds
    // the 199-pixel-wide copy the dialog previews on.
    TpelDrawImage* Art = nullptr;
    TImage* TempImage = nullptr;
    // Art's picture := the preview copy of Temp.jpg.
    void LoadTempPreviewIntoArt();
    // Art's picture := Temp.jpg at full size (the dialog's OK).
    void LoadTempIntoArt() override;
    // Art's WorkBitmap becomes the picture as one undo step (Temp.jpg in JPEG quality 90);
    // with sharpen the view is sharpened by 850 before the step is committed.
    void TakeArtResult(bool sharpen) override;

    // ---- the writes of the working copy and the undo files --------------------------------
    // Inside a change (TWriteBatch) the view's saves run on worker threads, in order; the
    // batch waits for them before it ends. Elsewhere a save is made at once.
    class TWriteBatch {
    public:
        explicit TWriteBatch(TBildbeaerbeitungForm& form);
        ~TWriteBatch();  // waits for the writes (a failure is then left to the error on its way)
        // Waits for the writes and raises the imaging error of the first that failed.
        void Finish();
        TWriteBatch(const TWriteBatch&) = delete;
        TWriteBatch& operator=(const TWriteBatch&) = delete;

    private:
        TBildbeaerbeitungForm& m_form;
        bool m_finished = false;
    };
    // Saves the view's picture as file (24 bits), queued inside a batch.
    void WriteView(const QString& file, int format, int qFactor);
    // SaveTemp, queued inside a batch (for a change that reads no file before the batch ends).
    void QueueTemp();
    // Waits for every queued write; raises the imaging error of the first that failed.
    void FinishWrites();

    // ---- the window's routines ----------------------------------------------------------------
    void ShowPictureInfo();
    QString PictureInfoText() const;
    void LoadSelectedPicture();
    // The view to Temp.jpg, format 10, 24 bits, quality factor 3, written when this returns
    // (after any write still queued).
    void SaveTemp();
    void ResetMarking();
    void DropFloater();
    void TransformPicture(const QString& Operation);

    void ZoomTrackBarChange();
    void Button1Click();
    void EinpassenBitBtnClick();
    void BildbViewLEADImageChange();
    void BitBtn1Click();
    void Image10Click();
    void Image15Click();
    void Image16Click();
    void UndoImageClick();
    void RedoImageClick();
    void EffectsPanelEnter();

    // ---- the crop and red-eye panels (fBildbearbeitung_crop.cpp, fBildbearbeitung_redeye.cpp)
    TColor EyeColor = 0;
    int EyeThreshold = 140;
    int EyeLightness = 60;
    void Image9Click();
    void Image11Click();
    void Image19Click();
    void AusfuehrenBitBtnClick();
    void BitBtn4Click();
    void DoBitBtnClick();
    void BitBtn3Click();
    void RoteAugenHelpLabelClick();
    // The marked region's bounding rectangle becomes the picture, white outside the region.
    void CutToRegion();
    // The print-format rectangle drawn on the view (after the control's own mouse handling).
    void CropMouseDown(int x, int y);
    void CropMouseMove(int x, int y);
    void CropMouseUp();

    // The mouse pan (the view's OnMouseDown, OnMouseMove, OnMouseUp).
    void ViewMouseDown(int x, int y);
    void ViewMouseMove(int x, int y);
    void ViewMouseUp();

protected:
    void BindEvents() override;
    void FormCreate() override;
    void FormShow() override;
    void FormClose(TCloseAction& action) override;

private:
    void SetUndoEnabled(bool on);
    void SetRedoEnabled(bool on);
    void HideToolPanels();
    void ColourDialog(const QString& mode);
    void ToolHandOff(const std::function<void()>& entry);
    void RestoreAfterUndoRedo(const TLEADImage::TRgnHandle& region);
    // Copies src over dst through a temporary beside it; false when it failed.
    static bool CopyOver(const QString& src, const QString& dst);
    void DeleteUndoFiles();
    void ViewResizeOrScroll(bool resized);
    // Makes Art and TempImage and sets the painter hooks (AutoImprove, PainterColours,
    // PainterEffects).
    void CreateArt();
    void BindCropAndRedEye();
    void SetCropRegion();

    // crop drag state: start point in client pixels, width and height
    int m_cropX0 = 0, m_cropY0 = 0, m_cropW = 0, m_cropH = 0;
    bool m_cropValid = false;
    bool m_cropDragging = false;

    std::unique_ptr<Ui::TBildbeaerbeitungForm> m_ui;
    std::unique_ptr<TPictureWriter> m_writer;
    int m_writeBatch = 0;

    // pan state
    bool m_panHeld = false;
    int m_lastX = 0, m_lastY = 0;
    int m_panDx = 0, m_panDy = 0;
    bool m_panned = false;
    TRect m_panDst, m_panClip;
};
