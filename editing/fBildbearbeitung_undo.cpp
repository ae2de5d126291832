// The editor's changes: the undo and redo protocol through Temp.jpg and UNDO_<n>.jpg, the
// rotate and mirror buttons, the size dialog and the colour dialogs.
#include "editing/fBildbearbeitung.h"
#include "editing/EditorInternal.h"
#include "editing/PictureWriter.h"
#include "shell/Windows.h"

#include "editing/fLeadEffects.h"
#include "editing/fSize.h"
#include "imaging/LEADImage.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/Files.h"
#include "ui_fBildbearbeitung.h"

#include <QFile>
#include <QPushButton>

#include <cstdint>
#include <sys/stat.h>

namespace {

constexpr TColor kWhite = 0xFFFFFF;
// The largest picture the size dialog may ask for.
constexpr long long kMaxSizePixels = 200'000'000;

} // namespace

void TBildbeaerbeitungForm::SetUndoEnabled(bool on)
{
    m_ui->UndoImage->setEnabled(on);
    m_ui->UndoBitBtn1->setEnabled(on);
}

void TBildbeaerbeitungForm::SetRedoEnabled(bool on)
{
    m_ui->RedoImage->setEnabled(on);
}

void TBildbeaerbeitungForm::ResetMarking()
{
    TLEADImage* view = m_ui->BildbViewLEADImage;
    view->setAutoFloater(false);
    // Remembered before it is reset, so that DropFloater can give it back.
    SavedFrameType = view->RgnFrameType();
    view->SetRgnFrameType(0);
    view->setCursor(crCross);
}

void TBildbeaerbeitungForm::DropFloater()
{
    TLEADImage* view = m_ui->BildbViewLEADImage;
    if (LBitmap* floater = ViewFloater(*view)) {
        view->setAutoRepaint(false);
        view->Combine(view->RgnLeft(), view->RgnTop(), view->RgnWidth(), view->RgnHeight(), floater, 0, 0, 800);
        view->setFloater(nullptr);
        view->FreeRgn();
        view->setAutoRepaint(true);
    }
    view->SetRgnFrameType(SavedFrameType);
    view->RegionTool = MarkTool;
}

void TBildbeaerbeitungForm::PushUndoStep()
{
    ++UndoIndex;
    ++UndoTop;
    SetUndoEnabled(true);
    WriteView(UndoFile(UndoIndex), 10, 3);
}

void TBildbeaerbeitungForm::CommitChange(bool StoreRedo)
{
    TLEADImage* view = m_ui->BildbViewLEADImage;
    view->setAutoFloater(false);
    view->SetRgnFrameType(0);
    view->RegionTool = 0;
    SavedFrameType = 0;
    view->setCursor(crCross);
    WriteView(TempFile(), 23, 2);
    if (RefreshSelectedThumbnail)
        RefreshSelectedThumbnail();
    ShowPictureInfo();
    if (StoreRedo)
        StoreRedoStep();
}

void TBildbeaerbeitungForm::StoreRedoStep()
{
    WriteView(UndoFile(UndoIndex + 1), 10, 3);
    if (UndoTop > UndoIndex)
        SetRedoEnabled(false);
    UndoTop = UndoIndex;
}

namespace {

// Tells a file that a later write replaced (every save renames a new file over the old one)
// from the file as it was.
struct TFileStamp {
    bool Exists = false;
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    std::int64_t ModifiedNs = 0;

    static TFileStamp Of(const QString& fileName)
    {
        struct stat st {};
        if (::stat(QFile::encodeName(fileName).constData(), &st) != 0)
            return {};
        return {true, st.st_dev, st.st_ino, st.st_size,
                std::int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
    }
    bool operator==(const TFileStamp&) const = default;
};

// Takes an undo step back unless the change it guards was committed: n, top, the undo and
// redo buttons, the undo file the step wrote (when there was none before); Temp.jpg, when the
// change got as far as replacing it, gets the picture before the change back from that undo
// file, and the view the picture it held.
class TUndoStepRollback {
public:
    TUndoStepRollback(TBildbeaerbeitungForm& form, QPushButton& undo)
        : m_form(form), m_undo(undo), m_index(form.UndoIndex), m_top(form.UndoTop), m_undoOn(undo.isEnabled()),
          m_redoOn(form.ui()->RedoImage->isEnabled()), m_fileExisted(FileExists(form.UndoFile(form.UndoIndex + 1))),
          m_temp(TFileStamp::Of(form.TempFile()))
    {
        // The picture before the change (its pixels shared until the change writes them).
        if (const LBitmap* now = form.ui()->BildbViewLEADImage->Bitmap(); now && now->IsAllocated())
            L_CopyBitmap(&m_before, now);
    }
    ~TUndoStepRollback()
    {
        if (m_committed)
            return;
        // The undo file holds the picture before the change; Temp.jpg may already hold the
        // changed one when the change got as far as writing it.
        const QString before = m_form.UndoFile(m_index + 1);
        if (m_form.UndoIndex > m_index && FileExists(before) && TFileStamp::Of(m_form.TempFile()) != m_temp)
            CopyFile(before, m_form.TempFile(), false);
        if (!m_fileExisted)
            DeleteFile(before);
        m_form.UndoIndex = m_index;
        m_form.UndoTop = m_top;
        m_undo.setEnabled(m_undoOn);
        m_form.ui()->UndoBitBtn1->setEnabled(m_undoOn);
        m_form.ui()->RedoImage->setEnabled(m_redoOn);
        try {
            TLEADImage* view = m_form.ui()->BildbViewLEADImage;
            if (m_before.IsAllocated())
                view->setBitmap(&m_before);
            else
                view->Load(m_form.TempFile(), 0, 1, -1);
        } catch (...) {
            // The error of the change itself is the one the user sees.
        }
    }
    TUndoStepRollback(const TUndoStepRollback&) = delete;
    TUndoStepRollback& operator=(const TUndoStepRollback&) = delete;
    void Commit() { m_committed = true; }

private:
    TBildbeaerbeitungForm& m_form;
    QPushButton& m_undo;
    int m_index;
    int m_top;
    bool m_undoOn;
    bool m_redoOn;
    bool m_fileExisted;
    TFileStamp m_temp;
    LBitmap m_before;
    bool m_committed = false;
};

} // namespace

TBildbeaerbeitungForm::TWriteBatch::TWriteBatch(TBildbeaerbeitungForm& form) : m_form(form)
{
    ++m_form.m_writeBatch;
}

TBildbeaerbeitungForm::TWriteBatch::~TWriteBatch()
{
    --m_form.m_writeBatch;
    if (!m_finished)
        m_form.m_writer->Finish();
}

void TBildbeaerbeitungForm::TWriteBatch::Finish()
{
    m_finished = true;
    m_form.FinishWrites();
}

void TBildbeaerbeitungForm::WriteView(const QString& file, int format, int qFactor)
{
    TLEADImage* view = m_ui->BildbViewLEADImage;
    if (m_writeBatch > 0 && view->Bitmap() && view->Bitmap()->IsAllocated())
        m_writer->Queue(*view->Bitmap(), file, format, 24, qFactor);
    else
        view->Save(file, format, 24, qFactor, 0);
}

void TBildbeaerbeitungForm::FinishWrites()
{
    const TPictureWriter::TResult written = m_writer->Finish();
    if (written.Code == 1)
        return;
    TLEADImage* view = m_ui->BildbViewLEADImage;
    // The control's save error, with the file and the system's reason when the disk refused
    // the write (a full disk).
    QString message = view->FailureMessage(QStringLiteral("Save"), written.Code);
    if (!written.Message.isEmpty())
        message += QLatin1Char('\n') + written.Message;
    view->SetLastError(written.Code);
    if (view->EnableMethodErrors())
        throw ELeadImageError(message, written.Code);
    throw Exception(message);
}

void TBildbeaerbeitungForm::ApplyChange(const std::function<void()>& change, bool Commit)
{
    TUndoStepRollback rollback(*this, *m_ui->UndoImage);
    {
        // Ends (waiting for its writes) before the rollback looks at the files.
        TWriteBatch batch(*this);
        PushUndoStep();
        change();
        if (Commit)
            CommitChange(true);
        else
            StoreRedoStep();
        // The new picture shows while the last files are still being written.
        m_ui->BildbViewLEADImage->viewport()->repaint();
        batch.Finish();
    }
    rollback.Commit();
}

void TBildbeaerbeitungForm::TransformPicture(const QString& Operation)
{
    TEditorBusy busy;
    m_ui->ZuschneidenPanel->hide();
    TWriteBatch batch(*this);
    QueueTemp();
    TLEADImage* view = m_ui->BildbViewLEADImage;
    ApplyChange([&] {
        if (Operation == QLatin1String("90"))
            view->Rotate(9000, 1, kWhite);
        else if (Operation == QLatin1String("-90"))
            view->Rotate(27000, 1, kWhite);
        else if (Operation == QLatin1String("180"))
            view->Rotate(18000, 1, kWhite);
        else if (Operation == QLatin1String("FlipH"))
            view->Flip();
        else if (Operation == QLatin1String("FlipV"))
            view->Reverse();
        QueueTemp();
    });
}

void TBildbeaerbeitungForm::Image10Click()
{
    TEditorBusy busy;
    ResetMarking();
    SaveTemp();
    m_ui->ZuschneidenPanel->hide();
    m_ui->RedeyePanel->hide();
    TLEADImage* view = m_ui->BildbViewLEADImage;
    SizeForm->InWidth = view->BitmapWidth();
    SizeForm->InHeight = view->BitmapHeight();
    if (SizeForm->ShowModal() != mrOk)
        return;
    const int width = SizeForm->OutWidth;
    const int height = SizeForm->OutHeight;
    if (width == 0 && height == 0)
        return;
    // Refused before any undo step: a size below one pixel or a picture too large to hold.
    if (width < 1 || height < 1 || static_cast<long long>(width) * height > kMaxSizePixels) {
        MessageDlg(QStringLiteral("Die Größe %1 x %2 Pixel ist nicht möglich: Breite und Höhe müssen mindestens "
                                  "1 Pixel betragen, und das Bild darf höchstens 200 Megapixel groß werden.")
                       .arg(width)
                       .arg(height),
                   mtWarning, {mbOK});
        return;
    }
    ApplyChange([&] {
        view->Size(width, height, 2);
        QueueTemp();
    });
}

void TBildbeaerbeitungForm::ColourDialog(const QString& mode)
{
    ResetMarking();
    m_ui->ZuschneidenPanel->hide();
    m_ui->RedeyePanel->hide();
    SaveTemp();
    LeadEffectsForm->Mode = mode;
    LeadEffectsForm->ShowModal();
}

void TBildbeaerbeitungForm::Image15Click()
{
    ColourDialog(QStringLiteral("RGB"));
}

void TBildbeaerbeitungForm::Image16Click()
{
    ColourDialog(QStringLiteral("SHARPEN"));
}

void TBildbeaerbeitungForm::UndoImageClick()
{
    TLEADImage* view = m_ui->BildbViewLEADImage;
    const TLEADImage::TRgnHandle region = view->GetRgnHandle();
    SetRedoEnabled(true);
    if (UndoIndex < 1) {
        UndoIndex = 0;
        SetUndoEnabled(false);
        return;
    }
    TEditorBusy busy;
    if (!CopyOver(UndoFile(UndoIndex), TempFile()))
        throw Exception(QStringLiteral("Cannot copy \"%1\" to \"%2\".").arg(UndoFile(UndoIndex), TempFile()));
    view->Load(UndoIndex == 1 ? (SelectedPicture ? SelectedPicture() : QString()) : TempFile(), 0, 1, -1);
    TWriteBatch batch(*this);
    CommitChange(false);
    --UndoIndex;
    if (UndoIndex < 1)
        SetUndoEnabled(false);
    RestoreAfterUndoRedo(region);
    batch.Finish();
}

void TBildbeaerbeitungForm::RedoImageClick()
{
    TLEADImage* view = m_ui->BildbViewLEADImage;
    const TLEADImage::TRgnHandle region = view->GetRgnHandle();
    if (UndoIndex >= UndoTop) {
        // Nothing to redo (the button is off then; a call from code changes nothing).
        SetRedoEnabled(false);
        return;
    }
    if (UndoIndex >= UndoTop - 1)
        SetRedoEnabled(false);
    TEditorBusy busy;
    if (!CopyOver(UndoFile(UndoIndex + 2), TempFile()))
        throw Exception(QStringLiteral("Cannot copy \"%1\" to \"%2\".").arg(UndoFile(UndoIndex + 2), TempFile()));
    ++UndoIndex;
    view->Load(TempFile(), 0, 1, -1);
    TWriteBatch batch(*this);
    CommitChange(false);
    SetUndoEnabled(true);
    RestoreAfterUndoRedo(region);
    batch.Finish();
}

void TBildbeaerbeitungForm::RestoreAfterUndoRedo(const TLEADImage::TRgnHandle& region)
{
    TLEADImage* view = m_ui->BildbViewLEADImage;
    if (RedEyeMode) {
        view->RegionTool = 3;
        view->SetRgnFrameType(2);
        view->setCursor(crCross);
        view->SetRgnHandle(region, 0, 0, 1);
        if (m_panned) {
            view->SetDstRect(m_panDst.Left, m_panDst.Top, m_panDst.Right - m_panDst.Left,
                             m_panDst.Bottom - m_panDst.Top);
            view->SetDstClipRect(m_panClip.Left, m_panClip.Top, m_panClip.Right - m_panClip.Left,
                                 m_panClip.Bottom - m_panClip.Top);
        }
        return;
    }
    view->setAutoFloater(false);
    view->SetRgnFrameType(0);
    EinpassenBitBtnClick();
    view->setCursor(crCross);
    DropFloater();
}
