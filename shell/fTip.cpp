#include "shell/fTip.h"
#include "shell/Windows.h"

#include "platform/system/ProgramFolder.h"
#include "platform/vcl/StringList.h"
#include "shell/core/Helpers.h"
#include "shell/core/Language.h"
#include "shell/core/Settings.h"
#include "ui_fTip.h"

#include <QFileInfo>

TTipForm* TipForm = nullptr;

TTipForm::TTipForm(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TTipForm>())
{
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Load([this] { m_ui->setupUi(this); });
}

TTipForm::~TTipForm() = default;

QString TTipForm::TipFileName(int number)
{
    QString folder = ProgramFolder() + QStringLiteral("tips/");
    if (LanguageName == QLatin1String("ENGLISH") || LanguageName == QLatin1String("SWEDISH"))
        folder += LanguageName + QLatin1Char('/');
    return folder + PadLeft(QString::number(number), QLatin1Char('0'), 4) + QStringLiteral(".tpp");
}

void TTipForm::BindEvents()
{
    Bind(m_ui->NextTipBitBtn, &QPushButton::clicked, &TTipForm::NextTipBitBtnClick);
    Bind(m_ui->CloseBitBtn, &QPushButton::clicked, &TTipForm::CloseBitBtnClick);
}

void TTipForm::FormCreate()
{
    m_ui->CheckBox1->setText(GetLangText(4800));
    m_ui->CloseBitBtn->setText(GetLangText(4801));
    m_ui->NextTipBitBtn->setText(GetLangText(4802));
    setWindowTitle(GetLangText(4803));
}

void TTipForm::FormShow()
{
    // The window is made once: a tick from an earlier showing must not write the marker
    // again after the user has turned the tips back on.
    m_ui->CheckBox1->setChecked(false);
}

void TTipForm::FormActivate()
{
    TipNumber = 0;
    m_ui->NextTipBitBtn->setEnabled(true);
    ShowNextTip();
}

void TTipForm::ShowNextTip()
{
    ++TipNumber;
    const QString file = TipFileName(TipNumber);
    if (QFileInfo(file).isFile()) {
        TStringList lines;
        lines.LoadFromFile(file);
        m_ui->Memo1->setPlainText(lines.List().join(QLatin1Char('\n')));
    } else {
        m_ui->NextTipBitBtn->setEnabled(false);
    }
}

void TTipForm::NextTipBitBtnClick() { ShowNextTip(); }

void TTipForm::CloseBitBtnClick()
{
    if (m_ui->CheckBox1->isChecked())
        WriteMarkerFile(ProgramFolder() + QStringLiteral("NoTip.ini"));
}
