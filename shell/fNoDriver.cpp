#include "shell/fNoDriver.h"
#include "shell/Windows.h"

#include "platform/system/ProgramFolder.h"
#include "shell/core/Helpers.h"
#include "shell/core/Language.h"
#include "shell/fMain_help.h"
#include "ui_fNoDriver.h"

TNoDriverForm* NoDriverForm = nullptr;

TNoDriverForm::TNoDriverForm(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TNoDriverForm>())
{
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    Load([this] { m_ui->setupUi(this); });
}

TNoDriverForm::~TNoDriverForm() = default;

void TNoDriverForm::BindEvents()
{
    Bind(m_ui->DownloadButton, &QPushButton::clicked, &TNoDriverForm::DownloadButtonClick);
    Bind(m_ui->AboartButton, &QPushButton::clicked, &TNoDriverForm::AboartButtonClick);
}

void TNoDriverForm::FormCreate()
{
    m_ui->Label1->setText(GetLangText(3700));
    m_ui->Memo1->setPlainText(GetLangText(3701));
    m_ui->Memo2->setPlainText(GetLangText(3702));
    m_ui->DownloadButton->setText(GetLangText(3703));
    m_ui->AboartButton->setText(GetLangText(3704));
    setWindowTitle(GetLangText(3705));
}

void TNoDriverForm::DownloadButtonClick()
{
    // There is no driver installer to start here: the page names the package to install.
    ShellOpenOrComplain(AddBackslash(ProgramFolder()) + QStringLiteral("help/ripper.html"), kBrowserStartFailure);
    close();
}

void TNoDriverForm::AboartButtonClick() { close(); }
