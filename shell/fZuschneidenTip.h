#pragma once
// TZuschneidenTipForm: the image editor's hint on cropping to the side ratios of photo paper.
// Its texts are fixed German texts of its form description.
#include "platform/vcl/Forms.h"

#include <memory>

namespace Ui {
class TZuschneidenTipForm;
}

class TZuschneidenTipForm : public TForm {
    Q_OBJECT
public:
    explicit TZuschneidenTipForm(QWidget* parent = nullptr);
    ~TZuschneidenTipForm() override;

    Ui::TZuschneidenTipForm* ui() const { return m_ui.get(); }

protected:
    void BindEvents() override;
    void FormShow() override;

private:
    void CloseBitBtnClick();

    std::unique_ptr<Ui::TZuschneidenTipForm> m_ui;
};

