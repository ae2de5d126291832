#include "shell/fZuschneidenTip2.h"
#include "shell/Windows.h"

#include "platform/system/ProgramFolder.h"
#include "shell/core/Settings.h"
#include "ui_fZuschneidenTip2.h"

TZuschneidenTipForm2* ZuschneidenTipForm2 = nullptr;

TZuschneidenTipForm2::TZuschneidenTipForm2(QWidget* parent)
    : TForm(parent), m_ui(std::make_unique<Ui::TZuschneidenTipForm2>())
{
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Load([this] { m_ui->setupUi(this); });
}

TZuschneidenTipForm2::~TZuschneidenTipForm2() = default;

void TZuschneidenTipForm2::BindEvents()
{
    Bind(m_ui->CloseBitBtn, &QPushButton::clicked, &TZuschneidenTipForm2::CloseBitBtnClick);
}

void TZuschneidenTipForm2::FormShow()
{
    m_ui->CheckBox1->setChecked(false);
}

void TZuschneidenTipForm2::CloseBitBtnClick()
{
    if (m_ui->CheckBox1->isChecked())
        WriteMarkerFile(ProgramFolder() + QStringLiteral("NoZuschneidenTip2.ini"));
}
