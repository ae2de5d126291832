#include "output/fPrintSize.h"
#include "shell/Windows.h"

#include "platform/vcl/Application.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/ProductInfo.h"
#include "ui_fPrintSize.h"

#include <QPixmap>

#include <algorithm>

TPrintSizeWizard* PrintSizeWizard = nullptr;

namespace {

const char kBadNumber[] =
    "Keine gültige Zahl! Sie haben entweder Buchstaben verwendet oder einen Punkt statt einem Komma!";

} // namespace

TPrintSizeWizard::TPrintSizeWizard(QWidget* parent)
    : TForm(parent), DecimalSeparator(LocaleDecimalSeparator()), m_ui(std::make_unique<Ui::TPrintSizeWizard>())
{
    Load([this] { m_ui->setupUi(this); });
}

TPrintSizeWizard::~TPrintSizeWizard() = default;

void TPrintSizeWizard::SetChoices(TPrintChoices* choices)
{
    m_choices = choices ? choices : &m_ownChoices;
}

void TPrintSizeWizard::BindEvents()
{
    const auto onChecked = [this](QRadioButton* radio, void (TPrintSizeWizard::*handler)()) {
        Bind(radio, &QRadioButton::toggled, [this, handler](bool checked) {
            if (checked)
                (this->*handler)();
        });
    };
    onChecked(m_ui->RadioButton9_13, &TPrintSizeWizard::RadioButton9_13Click);
    onChecked(m_ui->RadioButton10_15, &TPrintSizeWizard::RadioButton10_15Click);
    onChecked(m_ui->RadioButton13_18, &TPrintSizeWizard::RadioButton13_18Click);
    onChecked(m_ui->DINA4RadioButton, &TPrintSizeWizard::DINA4RadioButtonClick);
    onChecked(m_ui->DINA5RadioButton, &TPrintSizeWizard::DINA5RadioButtonClick);
    onChecked(m_ui->RadioButton_Frei, &TPrintSizeWizard::RadioButton_FreiClick);
    Bind(m_ui->Edit1, &QLineEdit::textChanged, &TPrintSizeWizard::Edit1Change);
    Bind(m_ui->SaveBitBtn, &QPushButton::clicked, &TPrintSizeWizard::SaveBitBtnClick);
}

void TPrintSizeWizard::FormCreate()
{
    RadioButton9_13Click();
}

void TPrintSizeWizard::FormShow()
{
    QPixmap side;
    if (side.load(ProgramFolder + QStringLiteral("recom/") + ProductInfo.SideImage))
        m_ui->Image1->setPixmap(side);
}

void TPrintSizeWizard::SetSize(int width, const QString& paper)
{
    m_choices->PrintWidth = width;
    m_choices->PaperFormat = paper;
    m_ui->SizePanel->hide();
}

void TPrintSizeWizard::RadioButton9_13Click() { SetSize(Width9x13, QStringLiteral("A4")); }
void TPrintSizeWizard::RadioButton10_15Click() { SetSize(Width10x15, QStringLiteral("A4")); }
void TPrintSizeWizard::RadioButton13_18Click() { SetSize(Width13x18, QStringLiteral("A4")); }
void TPrintSizeWizard::DINA4RadioButtonClick() { SetSize(WidthA4, QStringLiteral("A4")); }
void TPrintSizeWizard::DINA5RadioButtonClick() { SetSize(WidthA5, QStringLiteral("A5")); }

void TPrintSizeWizard::RadioButton_FreiClick()
{
    m_ui->SizePanel->show();
    // The width shown in the field is the width printed.
    Edit1Change(m_ui->Edit1->text());
}

void TPrintSizeWizard::Edit1Change(const QString& text)
{
    double cm = 0;
    // A field emptied to type a new width waits for it without a message.
    if (text.trimmed().isEmpty()) {
        m_choices->PrintWidth = Width9x13;
        return;
    }
    if (!TryStrToFloat(text, cm, DecimalSeparator)) {
        MessageDlg(QString::fromUtf8(kBadNumber), mtInformation, {mbOK});
        m_choices->PrintWidth = Width9x13;
        return;
    }
    // A width of nothing or less still prints a picture of one pixel; the print run keeps it
    // within the paper.
    m_choices->PrintWidth = int(std::max<long long>(1, Round(std::clamp(cm, -1e5, 1e5) * 495 / 13)));
}

void TPrintSizeWizard::SaveBitBtnClick()
{
    m_choices->PrintPictureText = m_ui->TextCheckBox->isChecked();
    m_choices->PrintHeadline = m_ui->HeadLineCheckBox->isChecked();
}
