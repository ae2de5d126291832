#pragma once
// TSizeForm: the editor's size dialog. The editor sets InWidth and InHeight, shows it, and on
// OK reads OutWidth and OutHeight. Sizes are typed in pixels, or in centimetres or millimetres
// at 72-600 dpi; with the aspect box checked the other box follows the one that changed (never
// the reverse, so a value being typed stays as typed). The unit, resolution and aspect choice
// are kept between uses.
#include "platform/vcl/Forms.h"

#include <memory>

namespace Ui {
class TSizeForm;
}

class TSizeForm : public TForm {
    Q_OBJECT
public:
    explicit TSizeForm(QWidget* parent = nullptr);
    ~TSizeForm() override;

    Ui::TSizeForm* ui() const { return m_ui.get(); }

    int InWidth = 0;
    int InHeight = 0;
    int OutWidth = 0;
    int OutHeight = 0;
    double Ratio = 1;
    int Dpi = 300;
    int UnitFactor = 1;
    QString ProgramFolder;  // with a trailing "/", for the side picture

    void SpinEdit1Change();
    void SpinEdit2Change();
    void ComboBox1Change();
    void ComboBox2Change();
    void BreitEditChange();
    void HochEditChange();
    void SaveBitBtnClick();

protected:
    void BindEvents() override;
    void FormCreate() override;
    void FormActivate() override;

private:
    void LoadSidePicture();
    void ShowLengths();
    void LengthsToPixels();

    std::unique_ptr<Ui::TSizeForm> m_ui;
    bool m_inBreit = false;
    bool m_inHoch = false;
    bool m_inSpin1 = false;
    bool m_inSpin2 = false;
};
