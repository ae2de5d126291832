#include "editing/fSize.h"
#include "shell/Windows.h"

#include "editing/SizeUnits.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/ProductInfo.h"
#include "ui_fSize.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>

TSizeForm* SizeForm = nullptr;

namespace {

constexpr int kDpi[] = {72, 96, 150, 200, 300, 400, 600};

} // namespace

TSizeForm::TSizeForm(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TSizeForm>())
{
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Load([this] { m_ui->setupUi(this); });
}

TSizeForm::~TSizeForm() = default;

void TSizeForm::BindEvents()
{
    Bind(m_ui->SpinEdit1, &QSpinBox::valueChanged, &TSizeForm::SpinEdit1Change);
    Bind(m_ui->SpinEdit2, &QSpinBox::valueChanged, &TSizeForm::SpinEdit2Change);
    Bind(m_ui->ComboBox1, &QComboBox::activated, &TSizeForm::ComboBox1Change);
    Bind(m_ui->ComboBox2, &QComboBox::activated, &TSizeForm::ComboBox2Change);
    Bind(m_ui->BreitEdit, &QLineEdit::textChanged, &TSizeForm::BreitEditChange);
    Bind(m_ui->HochEdit, &QLineEdit::textChanged, &TSizeForm::HochEditChange);
    Bind(m_ui->SaveBitBtn, &QPushButton::clicked, &TSizeForm::SaveBitBtnClick);
}

void TSizeForm::LoadSidePicture()
{
    const QString side = ProgramFolder + QStringLiteral("recom/") + ProductInfo.SideImage;
    if (!ProductInfo.SideImage.isEmpty() && QFileInfo::exists(side))
        m_ui->Image1->setPixmap(QPixmap(side));
}

void TSizeForm::FormCreate()
{
    LoadSidePicture();
    UnitFactor = 1;
    m_ui->ComboBox1->setCurrentIndex(4);
    m_ui->ComboBox2->setCurrentIndex(0);
    m_ui->cmPanel->hide();
}

void TSizeForm::FormActivate()
{
    if (m_ui->Image1->pixmap().isNull())
        LoadSidePicture();
    ComboBox1Change();
    Ratio = InWidth != 0 ? double(InHeight) / InWidth : 1;
    // Both set before either handler runs, so that neither is changed by the other's ratio.
    const QSignalBlocker quiet1(m_ui->SpinEdit1);
    const QSignalBlocker quiet2(m_ui->SpinEdit2);
    m_ui->SpinEdit1->setValue(InWidth);
    m_ui->SpinEdit2->setValue(InHeight);
    OutWidth = InWidth;
    OutHeight = InHeight;
    ShowLengths();
}

void TSizeForm::ShowLengths()
{
    const QSignalBlocker quiet1(m_ui->BreitEdit);
    const QSignalBlocker quiet2(m_ui->HochEdit);
    m_ui->BreitEdit->setText(PixelsToLengthText(m_ui->SpinEdit1->value(), Dpi, UnitFactor));
    m_ui->HochEdit->setText(PixelsToLengthText(m_ui->SpinEdit2->value(), Dpi, UnitFactor));
}

// With the aspect box checked the other box follows the one that changed; its own handler
// then only takes its value, so the box being typed in is never rewritten.
void TSizeForm::SpinEdit1Change()
{
    OutWidth = m_ui->SpinEdit1->value();
    if (!m_ui->SeitenCheckBox->isChecked() || m_inSpin2)
        return;
    m_inSpin1 = true;
    m_ui->SpinEdit2->setValue(int(Round(OutWidth * Ratio)));
    m_inSpin1 = false;
}

void TSizeForm::SpinEdit2Change()
{
    OutHeight = m_ui->SpinEdit2->value();
    if (!m_ui->SeitenCheckBox->isChecked() || m_inSpin1 || Ratio == 0)
        return;
    m_inSpin2 = true;
    m_ui->SpinEdit1->setValue(int(Round(OutHeight / Ratio)));
    m_inSpin2 = false;
}

void TSizeForm::ComboBox1Change()
{
    const int index = m_ui->ComboBox1->currentIndex();
    if (index >= 0 && index < int(std::size(kDpi)))
        Dpi = kDpi[index];
}

void TSizeForm::ComboBox2Change()
{
    switch (m_ui->ComboBox2->currentIndex()) {
    case 0:
        m_ui->cmPanel->hide();
        LengthsToPixels();
        break;
    case 1:
    case 2: {
        const bool mm = m_ui->ComboBox2->currentIndex() == 2;
        m_ui->cmPanel->show();
        UnitFactor = mm ? 10 : 1;
        ShowLengths();
        m_ui->BreitLabel->setText(mm ? QStringLiteral("Breite in mm") : QStringLiteral("Breite in cm"));
        m_ui->HochLabel->setText(mm ? QStringLiteral("Höhe in mm") : QStringLiteral("Höhe in cm"));
        break;
    }
    default: break;
    }
}

void TSizeForm::BreitEditChange()
{
    if (!m_ui->SeitenCheckBox->isChecked() || m_inHoch)
        return;
    m_inBreit = true;
    m_ui->HochEdit->setText(LengthText(LengthValue(m_ui->BreitEdit->text()) * Ratio));
    m_inBreit = false;
}

void TSizeForm::HochEditChange()
{
    if (!m_ui->SeitenCheckBox->isChecked() || m_inBreit || Ratio == 0)
        return;
    m_inHoch = true;
    m_ui->BreitEdit->setText(LengthText(LengthValue(m_ui->HochEdit->text()) / Ratio));
    m_inHoch = false;
}

void TSizeForm::LengthsToPixels()
{
    // With the aspect box checked the height follows the width.
    InWidth = LengthTextToPixels(m_ui->BreitEdit->text(), Dpi, UnitFactor);
    m_ui->SpinEdit1->setValue(InWidth);
    SpinEdit1Change();
    if (!m_ui->SeitenCheckBox->isChecked()) {
        InHeight = LengthTextToPixels(m_ui->HochEdit->text(), Dpi, UnitFactor);
        m_ui->SpinEdit2->setValue(InHeight);
        SpinEdit2Change();
    }
}

void TSizeForm::SaveBitBtnClick()
{
    if (!m_ui->cmPanel->isHidden())
        LengthsToPixels();
}
