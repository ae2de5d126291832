#include "output/fExport.h"
#include "shell/Windows.h"

#include "output/ExportCheckList.h"
#include "output/ExportList.h"
#include "platform/vcl/Application.h"
#include "shell/core/Language.h"
#include "ui_fExport.h"

TExportForm* ExportForm = nullptr;

TExportForm::TExportForm(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TExportForm>())
{
    Load([this] { m_ui->setupUi(this); });
}

TExportForm::~TExportForm() = default;

void TExportForm::BindEvents()
{
    Bind(m_ui->OpenBitBtn, &QPushButton::clicked, &TExportForm::OpenBitBtnClick);
    Bind(m_ui->BitBtn1, &QPushButton::clicked, &TExportForm::BitBtn1Click);
}

void TExportForm::FormCreate()
{
    setWindowTitle(GetLangText(2600));
    m_ui->OpenBitBtn->setText(GetLangText(2601));
}

void TExportForm::FormActivate()
{
    SetBusyCursor(true);
    struct EndBusy {
        ~EndBusy() { SetBusyCursor(false); }
    } endBusy;
    SetCheckListLines(*m_ui->CheckListBox, Paths ? ListDiashows(Paths().ArchiveRoot) : QStringList());
}

void TExportForm::OpenBitBtnClick()
{
    if (!CheckedLines(*m_ui->CheckListBox).isEmpty())
        SetModalResult(mrOk);
    else
        MessageDlg(GetLangText(10029), mtInformation, {mbOK});
}

void TExportForm::BitBtn1Click()
{
    if (GoToPage1)
        GoToPage1();
    close();
}
