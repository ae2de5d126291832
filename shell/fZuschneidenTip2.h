#pragma once
// TZuschneidenTipForm2: the hint shown before a photo-lab export, to crop the pictures to the
// side ratios of photo paper first. Its texts are fixed German texts of its form description.
// A ticked "Tipp nicht mehr anzeigen" writes the marker NoZuschneidenTip2.ini, after which the
// main window no longer shows it.
#include "platform/vcl/Forms.h"

#include <memory>

namespace Ui {
class TZuschneidenTipForm2;
}

class TZuschneidenTipForm2 : public TForm {
    Q_OBJECT
public:
    explicit TZuschneidenTipForm2(QWidget* parent = nullptr);
    ~TZuschneidenTipForm2() override;

    Ui::TZuschneidenTipForm2* ui() const { return m_ui.get(); }

protected:
    void BindEvents() override;
    void FormShow() override;

private:
    void CloseBitBtnClick();

    std::unique_ptr<Ui::TZuschneidenTipForm2> m_ui;
};
