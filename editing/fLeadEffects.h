#pragma once
// TLeadEffectsForm: the editor's colour dialog. It previews colour weights ("RGB"), sharpening
// or blurring ("SHARPEN"), black and white ("SW") and sepia on the working copy Temp.jpg, and
// on OK makes the preview the editor's new picture through the editor's undo protocol.
// While a slider is held only the change is noted; the preview follows on its release (and at
// once for key and wheel changes).
#include "platform/vcl/Forms.h"

#include <memory>

namespace Ui {
class TLeadEffectsForm;
}
class QSlider;

class TLeadEffectsForm : public TForm {
    Q_OBJECT
public:
    explicit TLeadEffectsForm(QWidget* parent = nullptr);
    ~TLeadEffectsForm() override;

    Ui::TLeadEffectsForm* ui() const { return m_ui.get(); }

    QString Mode;  // "RGB", "SHARPEN" or "SW"
    int SharpenValue = 0;
    int RedPercent = 100;
    int GreenPercent = 100;
    int BluePercent = 100;
    bool Pending = false;
    QString ProgramFolder;  // with a trailing "/"

    void TrackBarChange(QSlider* slider);
    void Preview();
    void ButtonClick();
    void Button1Click();
    void SepiaButtonClick();
    void SaveBitBtnClick();

    // The label of a sharpen position: "Wert: " + round(position / 10) + "%".
    static QString SharpenLabelText(int position);

protected:
    void BindEvents() override;
    void FormActivate() override;
    void FormClose(TCloseAction& action) override;

private:
    void ReloadPreview();
    std::unique_ptr<Ui::TLeadEffectsForm> m_ui;
};
