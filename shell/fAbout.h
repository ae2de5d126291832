#pragma once
// TAboutBox: the about box, filled from ProductInfo.
#include "platform/vcl/Forms.h"

#include <memory>

namespace Ui {
class TAboutBox;
}

class TAboutBox : public TForm {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

    Ui::TAboutBox* ui() const { return m_ui.get(); }

protected:
    void BindEvents() override;
    // Raises the picture's error when the about picture cannot be read.
    void FormCreate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void URLLabelClick();
    void MailLabelClick();
    void UpdateButtonClick();

    std::unique_ptr<Ui::TAboutBox> m_ui;
};

