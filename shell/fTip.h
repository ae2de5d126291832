#pragma once
// TTipForm: the tip of the day.
//
// Tips are plain text files named by number, "0001.tpp", "0002.tpp" ..., without gaps: the
// first missing number ends the series. German tips lie in the program folder's "tips/";
// the English and Swedish ones in "tips/ENGLISH/" and "tips/SWEDISH/" (LanguageName as
// written, compared exactly, like every file name that follows the language).
#include "platform/vcl/Forms.h"

#include <QString>

#include <memory>

namespace Ui {
class TTipForm;
}

class TTipForm : public TForm {
    Q_OBJECT
public:
    explicit TTipForm(QWidget* parent = nullptr);
    ~TTipForm() override;

    Ui::TTipForm* ui() const { return m_ui.get(); }

    // The number of the tip shown (0 before the first).
    int TipNumber = 0;

    // The file of tip `number` for the chosen language.
    static QString TipFileName(int number);
    // The next tip, or, when there is none, the last one stays and "next" is disabled.
    void ShowNextTip();

protected:
    void BindEvents() override;
    void FormCreate() override;
    void FormShow() override;
    void FormActivate() override;

private:
    void NextTipBitBtnClick();
    void CloseBitBtnClick();

    std::unique_ptr<Ui::TTipForm> m_ui;
};

