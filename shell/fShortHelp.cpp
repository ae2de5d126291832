#include "shell/fShortHelp.h"
#include "shell/Windows.h"

#include "platform/system/ProgramFolder.h"
#include "shell/core/Language.h"
#include "shell/fMain_help.h"
#include "ui_fShortHelp.h"

TAnweisungForm* AnweisungForm = nullptr;

TAnweisungForm::TAnweisungForm(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TAnweisungForm>())
{
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Load([this] { m_ui->setupUi(this); });
}

TAnweisungForm::~TAnweisungForm() = default;

void TAnweisungForm::BindEvents()
{
    Bind(m_ui->NeroBitBtn, &QPushButton::clicked, &TAnweisungForm::NeroBitBtnClick);
    Bind(m_ui->OkBitBtn, &QPushButton::clicked, &TAnweisungForm::OkBitBtnClick);
}

void TAnweisungForm::FormCreate()
{
    m_ui->NeroBitBtn->setText(GetLangText(4600));
    m_ui->IconLabel->setText(GetLangText(4619));
    setWindowTitle(GetLangText(4626));
}

void TAnweisungForm::NeroBitBtnClick()
{
    ShellOpenOrComplain(ProgramFolder() + QStringLiteral("help/vcd.html"), kBrowserStartFailure);
}

void TAnweisungForm::OkBitBtnClick()
{
    if (GoToPage1)
        GoToPage1();
}
