#pragma once
// The editor's side of the painter effects: its hidden drawing component `Art` carries the
// working copy into the dialog, and the dialog hands the accepted picture back.
//
//  - MakeArtPreview: the 199-pixel-wide copy the dialog previews on (height
//    round(199 * h / w), halves to even; the picture stretched onto it).
//  - LoadTempPreviewIntoArt / LoadTempIntoArt: the working copy file (Temp.jpg) into Art, as
//    the preview copy or at full size. A file that cannot be read raises EInvalidGraphic.
//  - TBitmapEffectsHost: a host over a picture in memory; RunPainterEffects shows the dialog
//    for a picture and returns the accepted picture (empty when the user cancelled).
#include "editing/draw/fPainterEffects.h"
#include "platform/vcl/Graphics.h"

#include <QString>

#include <optional>

class TpelDrawImage;

constexpr int kArtPreviewWidth = 199;

TBitmap MakeArtPreview(const TBitmap& full);
// Reads a picture file (JPEG, PNG, BMP) into a 24-bit bitmap.
TBitmap ReadPictureFile(const QString& fileName);
void LoadTempPreviewIntoArt(TpelDrawImage& art, const QString& tempFile);
void LoadTempIntoArt(TpelDrawImage& art, const QString& tempFile);

class TBitmapEffectsHost : public IPainterEffectsHost {
public:
    TBitmapEffectsHost(TpelDrawImage& art, TBitmap full) : Full(std::move(full)), m_art(art) {}
    void LoadTempIntoArt() override;
    void TakeArtResult(bool sharpen) override;

    TBitmap Full;
    std::optional<TBitmap> Result;
    bool Sharpen = false;

private:
    TpelDrawImage& m_art;
};

enum class TPainterMode { Adjust, Effects, AutoImprove };

struct TPainterResult {
    TBitmap Picture;  // Art's WorkBitmap as OK left it
    bool Sharpen = false;  // the automatic improvement: sharpen by 850 before storing
};

// Shows the painter effects dialog of art over picture (the preview copy goes into art
// first) and returns what OK accepted, or nothing after "Abbrechen".
std::optional<TPainterResult> RunPainterEffects(TpelDrawImage& art, const TBitmap& picture, TPainterMode mode);
