#pragma once
// TExportForm: the user ticks one or more slideshows of the archive for an export that the
// main window then performs. The main window sets DoLabel to describe the export and reads
// the ticked lines of CheckListBox afterwards; the first blank-separated word of a line is
// the slideshow's folder.
#include "output/OutputPaths.h"
#include "platform/vcl/Forms.h"

#include <functional>
#include <memory>

namespace Ui {
class TExportForm;
}

class TExportForm : public TForm {
    Q_OBJECT
public:
    explicit TExportForm(QWidget* parent = nullptr);
    ~TExportForm() override;

    Ui::TExportForm* ui() const { return m_ui.get(); }

    // The main window's folders, asked for each time the window is shown.
    std::function<TOutputPaths()> Paths;
    // Turns the main window to its second page (index 1); cancelling calls it.
    std::function<void()> GoToPage1;

protected:
    void BindEvents() override;
    void FormCreate() override;
    // Lists the slideshows of the archive afresh, none ticked.
    void FormActivate() override;

private:
    void OpenBitBtnClick();
    void BitBtn1Click();

    std::unique_ptr<Ui::TExportForm> m_ui;
};

