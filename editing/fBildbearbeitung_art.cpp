// The editor's side of the painter effects dialog: the hidden drawing component Art that
// carries the working copy into the dialog, and the accepted picture taken back as one undo
// step.
#include "editing/fBildbearbeitung.h"
#include "editing/EditorInternal.h"

#include "editing/draw/ArtHandoff.h"
#include "editing/draw/DrawImage.h"
#include "editing/draw/Image.h"
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/SafeFile.h"
#include "ui_fBildbearbeitung.h"
#include "ui_fPainterEffects.h"

#include <QBuffer>
#include <QImageWriter>

namespace {

// Once the dialog has closed, the pictures it and Art hold (the full picture after OK) go.
class TReleaseArt {
public:
    explicit TReleaseArt(TpelDrawImage& art) : m_art(art) {}
    ~TReleaseArt()
    {
        m_art.ClearPicture();
        m_art.WorkBitmap = TBitmap();
        Ui::TPainterEffectsF& ui = *m_art.PainterEffectsDialog()->ui();
        ui.Image->ClearPicture();
        ui.Image1->ClearPicture();
        ui.LEADImage1->setBitmap(nullptr);
        ui.LEADImage2->setBitmap(nullptr);
    }
    TReleaseArt(const TReleaseArt&) = delete;
    TReleaseArt& operator=(const TReleaseArt&) = delete;

private:
    TpelDrawImage& m_art;
};

} // namespace

void TBildbeaerbeitungForm::CreateArt()
{
    TempImage = new TImage(this);
    TempImage->setObjectName(QStringLiteral("TempImage"));
    TempImage->hide();
    Art = new TpelDrawImage(this);
    Art->setObjectName(QStringLiteral("Art"));
    Art->hide();
    Art->PainterEffectsDialog()->SetHost(this);

    // The painter buttons: the marking is reset and Temp.jpg written before these run.
    const auto showDialog = [this](bool adjustPanel) {
        m_ui->ZuschneidenPanel->hide();
        m_ui->RedeyePanel->hide();
        TReleaseArt release(*Art);
        LoadTempPreviewIntoArt();
        Art->ShowEffectsDialog(adjustPanel);
    };
    PainterColours = [showDialog] { showDialog(true); };
    PainterEffects = [showDialog] { showDialog(false); };
    AutoImprove = [this] {
        TEditorBusy busy;
        m_ui->ZuschneidenPanel->hide();
        m_ui->RedeyePanel->hide();
        // The dialog shows the original before it loads the full picture itself.
        TReleaseArt release(*Art);
        LoadTempPreviewIntoArt();
        Art->AutoImprovePicture();  // modal: the editor cannot close beneath it
    };
}

void TBildbeaerbeitungForm::LoadTempPreviewIntoArt()
{
    FinishWrites();
    TempImage->SetPicture(MakeArtPreview(ReadPictureFile(TempFile())));
    Art->SetPicture(TempImage->Picture());
}

void TBildbeaerbeitungForm::LoadTempIntoArt()
{
    FinishWrites();
    ::LoadTempIntoArt(*Art, TempFile());
}

void TBildbeaerbeitungForm::TakeArtResult(bool sharpen)
{
    TEditorBusy busy;
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(90);
        if (!writer.write(Art->WorkBitmap.Image()))
            throw EInvalidGraphic(QStringLiteral("Cannot encode the picture: %1").arg(writer.errorString()));
    }
    TLEADImage* view = m_ui->BildbViewLEADImage;
    ApplyChange([&] {
        // Temp.jpg is written after every write queued before it.
        FinishWrites();
        WriteFileSafely(TempFile(), jpeg);
        view->Load(TempFile(), 0, 1, -1);
        if (sharpen) {
            view->ForceRepaint();
            view->Sharpen(850);
        }
    });
}
