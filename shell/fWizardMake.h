#pragma once
// TMakeWizzard: asks what to make of the open slideshow (a show on the PC, a CD-ROM, a video
// CD, an HTML gallery, a screensaver, prints, a photo-lab or online photo export, the viewer).
// It closes with modal result 1 when a choice is checked; the main window then carries the
// choice out (TMainForm::RunMakeWizardChoice).
#include "platform/vcl/Forms.h"

#include <functional>
#include <memory>

class QRadioButton;

namespace Ui {
class TMakeWizzard;
}

class TMakeWizzard : public TForm {
    Q_OBJECT
public:
    explicit TMakeWizzard(QWidget* parent = nullptr);
    ~TMakeWizzard() override;

    Ui::TMakeWizzard* ui() const { return m_ui.get(); }

    // The choice's radio button by its name ("PCRadioButton"), nullptr for another name.
    QRadioButton* Choice(const char* radioName) const;
    // The checked choice's radio button, nullptr when none is checked.
    QRadioButton* CheckedChoice() const;

    // Turns the main window to its second page (index 1); Abbrechen calls it.
    std::function<void()> GoToPage1;

protected:
    void BindEvents() override;
    void FormCreate() override;

private:
    void WeiterBitBtnClick();
    void AbortBitBtnClick();
    void HilfeBitBtnClick();

    std::unique_ptr<Ui::TMakeWizzard> m_ui;
};
