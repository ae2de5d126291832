#include "shell/fVerschiebenTip.h"
#include "shell/Windows.h"

#include "ui_fVerschiebenTip.h"

TVerschiebenTipForm* VerschiebenTipForm = nullptr;

TVerschiebenTipForm::TVerschiebenTipForm(QWidget* parent)
    : TForm(parent), m_ui(std::make_unique<Ui::TVerschiebenTipForm>())
{
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Load([this] { m_ui->setupUi(this); });
}

TVerschiebenTipForm::~TVerschiebenTipForm() = default;
