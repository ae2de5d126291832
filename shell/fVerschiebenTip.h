#pragma once
// TVerschiebenTipForm: the image editor's hint on moving a zoomed picture. Its texts are fixed
// German texts of its form description; it has no handlers.
#include "platform/vcl/Forms.h"

#include <memory>

namespace Ui {
class TVerschiebenTipForm;
}

class TVerschiebenTipForm : public TForm {
    Q_OBJECT
public:
    explicit TVerschiebenTipForm(QWidget* parent = nullptr);
    ~TVerschiebenTipForm() override;

    Ui::TVerschiebenTipForm* ui() const { return m_ui.get(); }

private:
    std::unique_ptr<Ui::TVerschiebenTipForm> m_ui;
};

