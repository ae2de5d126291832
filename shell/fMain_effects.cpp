// The effect preview of the slideshow settings tab: a change of the effect number applies its
// line of Effects.ini to LEADImage1 and loads the other of the two preview pictures, which the
// control then paints with the effect.
#include "shell/fMain.h"

#include "ui_fMain.h"

#include <QSignalBlocker>

namespace {

// The highest effect number the preview offers, whatever the length of Effects.ini.
constexpr int kLastEffectNumber = 127;

} // namespace

void TMainForm::SpinEdit1Change()
{
    QSpinBox& spin = *m_ui->SpinEdit1;
    if (spin.value() > kLastEffectNumber) {
        const QSignalBlocker quiet(spin);
        spin.setValue(kLastEffectNumber);
    }
    EffectNumber = spin.value();
    PreviewToggle = !PreviewToggle;
    ApplyEffectLine(EffectNumber);
    const QString picture = PreviewToggle ? QStringLiteral("Preview1.jpg") : QStringLiteral("Preview2.jpg");
    spin.update();
    TLEADImage& image = *m_ui->LEADImage1;
    try {
        image.setPaintSizeMode(TLEADImage::smFit);
        image.Refresh();
        image.Load(ProgramFolder + picture, 0, 1, -1);
    } catch (const std::exception&) {
        // A missing or broken preview picture leaves the preview as it is.
    }
}

void TMainForm::ShowAgainButtonClick() { SpinEdit1Change(); }
