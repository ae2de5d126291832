#pragma once
// TPrintSelectForm: every picture of the open slideshow in a check list; the checked ones are
// written to Print.txt in the program folder (one raw list item a line, trimmed, in list
// order) for the picture list to print.
#include "output/PrintChoices.h"
#include "platform/vcl/Forms.h"

#include <functional>
#include <memory>

namespace Ui {
class TPrintSelectForm;
}

class TPrintSelectForm : public TForm {
    Q_OBJECT
public:
    explicit TPrintSelectForm(QWidget* parent = nullptr);
    ~TPrintSelectForm() override;

    Ui::TPrintSelectForm* ui() const { return m_ui.get(); }

    // The main window's state, asked for each time the window is shown.
    std::function<TPrintSource()> Source;

protected:
    void BindEvents() override;
    void FormCreate() override;
    // Fits the window to the screen it is on.
    void FormShow() override;
    // Lists the slideshow's pictures afresh, none checked, under the main window's caption.
    void FormActivate() override;

private:
    void PrintBitBtnClick();
    void AbortBitBtnClick();

    void FitToScreen();

    std::unique_ptr<Ui::TPrintSelectForm> m_ui;
    QString m_programFolder;
    QStringList m_items;  // the slideshow's items as they came
};
