#pragma once
// TOpenForm: a choice to open something, in one of two modes. Open gives modal result 1 in
// modes 0 and 1, cancel gives 3.
#include "platform/vcl/Forms.h"

#include <memory>

namespace Ui {
class TOpenForm;
}

class TOpenForm : public TForm {
    Q_OBJECT
public:
    explicit TOpenForm(QWidget* parent = nullptr);
    ~TOpenForm() override;

    Ui::TOpenForm* ui() const { return m_ui.get(); }

    // 0 or 1: picks the texts of the label and the open button when the window is shown.
    int Mode = 0;

protected:
    void BindEvents() override;
    void FormCreate() override;
    void FormActivate() override;
    void FormClose(TCloseAction& action) override;

private:
    void OpenBitBtnClick();
    void BitBtn2Click();

    std::unique_ptr<Ui::TOpenForm> m_ui;
};

