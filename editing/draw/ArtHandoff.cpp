#include "editing/draw/ArtHandoff.h"

#include "editing/draw/DrawImage.h"
#include "platform/vcl/Exceptions.h"

#include <QImageReader>

#include <cmath>

TBitmap MakeArtPreview(const TBitmap& full)
{
    TBitmap preview;
    if (full.Empty())
        return preview;
    const int h = std::max(1, int(std::nearbyint(double(kArtPreviewWidth) * full.Height() / full.Width())));
    preview.SetSize(kArtPreviewWidth, h);
    preview.SetPixelFormat(pf24bit);
    preview.Canvas().StretchDraw(TRect{0, 0, kArtPreviewWidth, h}, full);
    return preview;
}

TBitmap ReadPictureFile(const QString& fileName)
{
    QImageReader reader(fileName);
    const QImage image = reader.read();
    if (image.isNull())
        throw EInvalidGraphic(QStringLiteral("Cannot read the picture %1: %2").arg(fileName, reader.errorString()));
    TBitmap bitmap;
    bitmap.SetImage(image.convertToFormat(QImage::Format_BGR888), pf24bit);
    return bitmap;
}

void LoadTempPreviewIntoArt(TpelDrawImage& art, const QString& tempFile)
{
    art.SetPicture(MakeArtPreview(ReadPictureFile(tempFile)));
}

void LoadTempIntoArt(TpelDrawImage& art, const QString& tempFile)
{
    art.SetPicture(ReadPictureFile(tempFile));
}

void TBitmapEffectsHost::LoadTempIntoArt()
{
    m_art.SetPicture(Full);
}

void TBitmapEffectsHost::TakeArtResult(bool sharpen)
{
    Result = m_art.WorkBitmap;
    Sharpen = sharpen;
}

std::optional<TPainterResult> RunPainterEffects(TpelDrawImage& art, const TBitmap& picture, TPainterMode mode)
{
    TBitmapEffectsHost host(art, picture);
    TPainterEffectsF* dialog = art.PainterEffectsDialog();
    IPainterEffectsHost* before = dialog->Host;
    dialog->SetHost(&host);
    struct TRestore {
        TPainterEffectsF* d;
        IPainterEffectsHost* h;
        ~TRestore() { d->SetHost(h); }
    } restore{dialog, before};
    art.SetPicture(MakeArtPreview(picture));
    if (mode == TPainterMode::AutoImprove)
        art.AutoImprovePicture();
    else
        art.ShowEffectsDialog(mode == TPainterMode::Adjust);
    if (!host.Result)
        return std::nullopt;
    return TPainterResult{*host.Result, host.Sharpen};
}
