#pragma once
// TPainterEffectsF: previews and applies the paint effects of a drawing component to the
// editor's picture. One of three panels shows at a time: brightness, colour and contrast; the
// effect tree with its strength bar; the message of the automatic improvement.
//
// The component's picture holds the preview copy while the dialog shows and the full picture
// once OK asks the host for it; every effect leaves its result in the hidden Image, whose
// bitmap the preview control LEADImage1 shows.
//
// Change handlers of the bars: a bar set from code runs no handler. SetBarRange and OK run
// EBarChange themselves, once, with the final values.
#include "platform/vcl/Forms.h"

#include <QString>

#include <functional>
#include <memory>

class QScrollBar;
class QTreeWidgetItem;
class TpelDrawImage;
class TBitmap;

namespace Ui {
class TPainterEffectsF;
}

// The window that hands its picture to the dialog (the image editor).
class IPainterEffectsHost {
public:
    virtual ~IPainterEffectsHost() = default;
    // The drawing component's picture := the working copy at full size.
    virtual void LoadTempIntoArt() = 0;
    // Takes the drawing component's WorkBitmap as the new picture. With sharpen (the
    // automatic improvement) the picture is also sharpened by 850 before it is stored.
    virtual void TakeArtResult(bool sharpen) = 0;
};

// Strength bar range of an effect number (maximum, minimum, start position).
struct TBarRange {
    int Max, Min, Position;
};
// The range of effect numbers 0-54 (others: nullptr).
const TBarRange* BarRangeOf(int effectNumber);

class TPainterEffectsF : public TForm {
    Q_OBJECT
public:
    explicit TPainterEffectsF(QWidget* owner = nullptr);
    ~TPainterEffectsF() override;

    Ui::TPainterEffectsF* ui() const { return m_ui.get(); }

    void SetDrawImage(TpelDrawImage* drawImage) { DrawImage = drawImage; }
    void SetHost(IPainterEffectsHost* host) { Host = host; }

    TpelDrawImage* DrawImage = nullptr;
    IPainterEffectsHost* Host = nullptr;
    int BrightnessValue = 0;
    int ColorValue = 250;
    int ContrastValue = 0;
    bool AdjustPending = false;

    // EBar's minimum, then maximum, then position (no handler runs), then EBarChange once.
    void SetBarRange(int max, int min, int position);
    // Sets a bar from code: no change handler runs.
    void SetBarQuietly(QScrollBar* bar, int min, int max, int position);
    void SetBarPositionQuietly(QScrollBar* bar, int position);

    // The effect number of the selected tree item, or -1.
    int SelectedEffect() const;
    // Selects the tree item of effect number (as a click would not: no handler runs).
    bool SelectEffect(int number);

    void EListClick();
    void EBarChange();
    void ApplyAdjustment();
    void HelligkeitTrackBarChange();
    void ZuruecksetzenButtonClick();
    void SaveBitBtnClick();
    void AbortBitBtnClick();
    // The second half of the automatic improvement: the full picture, colour 350, previewed.
    void AutoImprove();
    // Runs AutoImprove when the dialog shows (set by the drawing component).
    void SetAutoImproveOnShow(bool on) { m_autoImproveOnShow = on; }

    // Raised after an effect has run and its result is in the preview (effect number, EBar).
    std::function<void(int number, int strength)> OnEffectPreviewed;

    // The picture the preview control shows (the last effect result).
    const TBitmap& PreviewPicture() const;

protected:
    void BindEvents() override;
    void FormCreate() override;
    void FormShow() override;

private:
    void TrackBarChange(bool sliderDown);
    void SetTrackBars(int brightness, int color, int contrast);
    void ShowPreview();

    std::unique_ptr<Ui::TPainterEffectsF> m_ui;
    bool m_autoImproveOnShow = false;
};
