#include "shell/fZuschneidenTip.h"
#include "shell/Windows.h"

#include "platform/system/ProgramFolder.h"
#include "shell/core/Settings.h"
#include "ui_fZuschneidenTip.h"

TZuschneidenTipForm* ZuschneidenTipForm = nullptr;

TZuschneidenTipForm::TZuschneidenTipForm(QWidget* parent)
    : TForm(parent), m_ui(std::make_unique<Ui::TZuschneidenTipForm>())
{
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Load([this] { m_ui->setupUi(this); });
}

TZuschneidenTipForm::~TZuschneidenTipForm() = default;

void TZuschneidenTipForm::BindEvents()
{
    Bind(m_ui->CloseBitBtn, &QPushButton::clicked, &TZuschneidenTipForm::CloseBitBtnClick);
}

void TZuschneidenTipForm::FormShow()
{
    // Made once: an earlier showing's tick must not write the marker again.
    m_ui->CheckBox1->setChecked(false);
}

void TZuschneidenTipForm::CloseBitBtnClick()
{
    if (m_ui->CheckBox1->isChecked())
        WriteMarkerFile(ProgramFolder() + QStringLiteral("NoZuschneidenTip.ini"));
}
