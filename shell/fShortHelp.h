#pragma once
// TAnweisungForm: what to do with the show or video just made. The callers set MakeLabel,
// MakeSubLabel, IconLabel, IconImage and the visibility of NeroBitBtn before showing it. Where
// IconImage is shown, it shows the icon of the slideshow's desktop entry; IconLabel follows it.
#include "platform/vcl/Forms.h"

#include <QIcon>

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

    // The player's entry on the desktop, which the start of the program writes.
    static QString DesktopEntryPath();
    // The icon a desktop shows for the entry: its own, else the icon theme's program icon.
    static QIcon DesktopEntryIcon(const QString& entryFile);

protected:
    void BindEvents() override;
    void FormCreate() override;
    void FormShow() override;

private:
    void NeroBitBtnClick();
    void OkBitBtnClick();

    std::unique_ptr<Ui::TAnweisungForm> m_ui;
};

