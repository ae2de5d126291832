#pragma once
// TAnweisungForm: what to do with the show or video just made. The callers set MakeLabel,
// MakeSubLabel, IconLabel, IconImage and the visibility of NeroBitBtn before showing it.
#include "platform/vcl/Forms.h"

#include <functional>
#include <memory>

namespace Ui {
class TAnweisungForm;
}

class TAnweisungForm : public TForm {
    Q_OBJECT
public:
    explicit TAnweisungForm(QWidget* parent = nullptr);
    ~TAnweisungForm() override;

    Ui::TAnweisungForm* ui() const { return m_ui.get(); }

    // Turns the main window to its second page (index 1); OK calls it.
    std::function<void()> GoToPage1;

protected:
    void BindEvents() override;
    void FormCreate() override;

private:
    void NeroBitBtnClick();
    void OkBitBtnClick();

    std::unique_ptr<Ui::TAnweisungForm> m_ui;
};

