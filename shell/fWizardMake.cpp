#include "shell/fWizardMake.h"
#include "shell/Windows.h"

#include "platform/system/ProgramFolder.h"
#include "platform/vcl/Application.h"
#include "shell/core/Helpers.h"
#include "shell/core/Language.h"
#include "shell/core/ProductInfo.h"
#include "shell/fMain_help.h"
#include "ui_fWizardMake.h"

#include <QPixmap>

TMakeWizzard* MakeWizzard = nullptr;

TMakeWizzard::TMakeWizzard(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TMakeWizzard>())
{
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Load([this] { m_ui->setupUi(this); });
}

TMakeWizzard::~TMakeWizzard() = default;

void TMakeWizzard::BindEvents()
{
    Bind(m_ui->WeiterBitBtn, &QPushButton::clicked, &TMakeWizzard::WeiterBitBtnClick);
    Bind(m_ui->AbortBitBtn, &QPushButton::clicked, &TMakeWizzard::AbortBitBtnClick);
    Bind(m_ui->HilfeBitBtn, &QPushButton::clicked, &TMakeWizzard::HilfeBitBtnClick);
}

void TMakeWizzard::FormCreate()
{
    QPixmap side;
    if (side.load(AddBackslash(ProgramFolder()) + QStringLiteral("recom/") + ProductInfo.SideImage))
        m_ui->Image1->setPixmap(side);
    m_ui->Label3->setText(GetLangText(6200));
    m_ui->PCRadioButton->setText(GetLangText(6201));
    m_ui->CDROMRadioButton->setText(GetLangText(6202));
    m_ui->DVDRadioButton->setText(GetLangText(6203));
    m_ui->HTMLRadioButton->setText(GetLangText(6204));
    m_ui->ScreenSaverRadioButton->setText(GetLangText(6205));
    setWindowTitle(GetLangText(6206));
    m_ui->PrintRadioButton->setText(GetLangText(6207));
    m_ui->FotoLaborRadioButton->setText(GetLangText(6208));
    m_ui->PrintAllRadioButton->setText(GetLangText(6209));
    m_ui->BetrachterRadioButton->setText(GetLangText(6210));
    m_ui->HilfeBitBtn->setText(GetLangText(6001));
    m_ui->AbortBitBtn->setText(GetLangText(6002));
    m_ui->WeiterBitBtn->setText(GetLangText(6003));
}

QRadioButton* TMakeWizzard::Choice(const char* radioName) const
{
    return findChild<QRadioButton*>(QLatin1String(radioName));
}

QRadioButton* TMakeWizzard::CheckedChoice() const
{
    for (QRadioButton* radio : findChildren<QRadioButton*>()) {
        if (radio->isChecked())
            return radio;
    }
    return nullptr;
}

void TMakeWizzard::WeiterBitBtnClick()
{
    if (CheckedChoice())
        SetModalResult(mrOk);
    else
        MessageDlg(GetLangText(10027), mtInformation, {mbOK});
}

void TMakeWizzard::AbortBitBtnClick()
{
    if (GoToPage1)
        GoToPage1();
    close();
}

void TMakeWizzard::HilfeBitBtnClick()
{
    ShellOpenOrComplain(AddBackslash(ProgramFolder()) + QStringLiteral("help/") + ProductInfo.HelpFile,
                        kBrowserStartFailure);
}
