#pragma once
// TPrintSizeWizard: the size of the printed pictures and the paper, and whether the picture
// texts and the slideshow's title are printed. The size is written into Choices at each
// click or keystroke, so cancelling keeps the last size; the two check boxes wait for "OK".
#include "output/PrintChoices.h"
#include "platform/vcl/Forms.h"

#include <memory>

namespace Ui {
class TPrintSizeWizard;
}

class TPrintSizeWizard : public TForm {
    Q_OBJECT
public:
    explicit TPrintSizeWizard(QWidget* parent = nullptr);
    ~TPrintSizeWizard() override;

    Ui::TPrintSizeWizard* ui() const { return m_ui.get(); }

    // The main window's print choices (a private set until the main window gives its own).
    void SetChoices(TPrintChoices* choices);
    TPrintChoices& Choices() { return *m_choices; }
    // The decimal separator of a typed width: the locale's.
    QChar DecimalSeparator;
    // The program folder, for the side picture.
    QString ProgramFolder;

    // The sizes of the fixed choices.
    static constexpr int Width9x13 = 495;
    static constexpr int Width10x15 = 571;
    static constexpr int Width13x18 = 686;
    static constexpr int WidthA4 = 686;
    static constexpr int WidthA5 = 457;

protected:
    void BindEvents() override;
    void FormCreate() override;
    void FormShow() override;

private:
    void SetSize(int width, const QString& paper);
    void RadioButton9_13Click();
    void RadioButton10_15Click();
    void RadioButton13_18Click();
    void DINA4RadioButtonClick();
    void DINA5RadioButtonClick();
    void RadioButton_FreiClick();
    void Edit1Change(const QString& text);
    void SaveBitBtnClick();

    std::unique_ptr<Ui::TPrintSizeWizard> m_ui;
    TPrintChoices m_ownChoices;
    TPrintChoices* m_choices = &m_ownChoices;
};
