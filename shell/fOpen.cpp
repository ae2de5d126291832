#include "shell/fOpen.h"
#include "shell/Windows.h"

#include "platform/vcl/Application.h"
#include "shell/core/Language.h"
#include "ui_fOpen.h"

TOpenForm* OpenForm = nullptr;

TOpenForm::TOpenForm(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TOpenForm>())
{
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Load([this] { m_ui->setupUi(this); });
}

TOpenForm::~TOpenForm() = default;

void TOpenForm::BindEvents()
{
    Bind(m_ui->OpenBitBtn, &QPushButton::clicked, &TOpenForm::OpenBitBtnClick);
    Bind(m_ui->BitBtn2, &QPushButton::clicked, &TOpenForm::BitBtn2Click);
}

void TOpenForm::FormCreate()
{
    m_ui->OpenBitBtn->setText(GetLangText(4200));
    m_ui->BitBtn2->setText(GetLangText(4201));
    setWindowTitle(GetLangText(4202));
}

void TOpenForm::FormActivate()
{
    if (Mode == 0) {
        m_ui->DoLabel->setText(GetLangText(4203));
        m_ui->OpenBitBtn->setText(GetLangText(4204));
    } else if (Mode == 1) {
        m_ui->DoLabel->setText(GetLangText(4205));
        m_ui->OpenBitBtn->setText(GetLangText(4206));
    }
    SetBusyCursor(true);
}

void TOpenForm::FormClose(TCloseAction&)
{
    // The hourglass of the activation ends with the window.
    SetBusyCursor(false);
}

void TOpenForm::OpenBitBtnClick()
{
    if (Mode == 0 || Mode == 1)
        SetModalResult(1);
}

void TOpenForm::BitBtn2Click() { SetModalResult(3); }
