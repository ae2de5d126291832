#pragma once
// TNoDriverForm: the CD ripper cannot run because the program it needs is missing. Download
// opens the help page that says how to install it (help/ripper.html of the program folder).
#include "platform/vcl/Forms.h"

#include <memory>

namespace Ui {
class TNoDriverForm;
}

class TNoDriverForm : public TForm {
    Q_OBJECT
public:
    explicit TNoDriverForm(QWidget* parent = nullptr);
    ~TNoDriverForm() override;

    Ui::TNoDriverForm* ui() const { return m_ui.get(); }

protected:
    void BindEvents() override;
    void FormCreate() override;

private:
    void DownloadButtonClick();
    void AboartButtonClick();

    std::unique_ptr<Ui::TNoDriverForm> m_ui;
};

