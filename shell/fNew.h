#pragma once
// TNewForm: asks the title of a new slideshow. The caller fills Edit1 before showing the
// window and reads it afterwards. OK gives modal result 1, cancel 3; Enter and Escape do the
// same from anywhere in the window.
#include "platform/vcl/Forms.h"

#include <memory>

namespace Ui {
class TNewForm;
}

// The modal results of the window.
constexpr int kNewFormOk = 1;
constexpr int kNewFormCancel = 3;

class TNewForm : public TForm {
    Q_OBJECT
public:
    explicit TNewForm(QWidget* parent = nullptr);
    ~TNewForm() override;

    Ui::TNewForm* ui() const { return m_ui.get(); }

protected:
    // OK with an empty title is refused with a message; the window stays open.
    void FormCloseQuery(bool& canClose) override;
    void BindEvents() override;
    void FormCreate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the key was Enter or Escape (and set the modal result).
    bool FormKeyDown(int key);

    std::unique_ptr<Ui::TNewForm> m_ui;
};

