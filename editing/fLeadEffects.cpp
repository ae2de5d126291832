#include "editing/fLeadEffects.h"
#include "editing/EditorInternal.h"
#include "shell/Windows.h"

#include "editing/fBildbearbeitung.h"
#include "imaging/LEADImage.h"
#include "platform/vcl/SysUtils.h"
#include "ui_fBildbearbeitung.h"
#include "ui_fLeadEffects.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>

TLeadEffectsForm* LeadEffectsForm = nullptr;

TLeadEffectsForm::TLeadEffectsForm(QWidget* parent)
    : TForm(parent), m_ui(std::make_unique<Ui::TLeadEffectsForm>())
{
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    Load([this] { m_ui->setupUi(this); });
}

TLeadEffectsForm::~TLeadEffectsForm() = default;

void TLeadEffectsForm::BindEvents()
{
    for (QSlider* slider : {m_ui->RedTrackBar, m_ui->GreenTrackBar, m_ui->BlueTrackBar, m_ui->SharpenTrackBar}) {
        Bind(slider, &QSlider::valueChanged, [this, slider] { TrackBarChange(slider); });
        Bind(slider, &QSlider::sliderReleased, [this] { Preview(); });
    }
    Bind(m_ui->Button, &QPushButton::clicked, &TLeadEffectsForm::ButtonClick);
    Bind(m_ui->Button1, &QPushButton::clicked, &TLeadEffectsForm::Button1Click);
    Bind(m_ui->SepiaButton, &QPushButton::clicked, &TLeadEffectsForm::SepiaButtonClick);
    Bind(m_ui->SaveBitBtn, &QPushButton::clicked, &TLeadEffectsForm::SaveBitBtnClick);
}

QString TLeadEffectsForm::SharpenLabelText(int position)
{
    const long long value = Round(position / 10.0);
    return QStringLiteral("Wert: %1%").arg(value);
}

void TLeadEffectsForm::FormActivate()
{
    for (TLEADImage* image : {m_ui->LEADImage1, m_ui->LEADImage2}) {
        image->setPaintSizeMode(TLEADImage::smFit);
        image->ForceRepaint();
        image->Load(ProgramFolder + QStringLiteral("Temp.jpg"), 0, 1, -1);
    }
    m_ui->RGBPanel->hide();
    m_ui->SharpenPanel->hide();
    Pending = false;
    if (Mode == QLatin1String("RGB")) {
        m_ui->RGBPanel->show();
        for (QSlider* slider : {m_ui->RedTrackBar, m_ui->GreenTrackBar, m_ui->BlueTrackBar}) {
            const QSignalBlocker quiet(slider);
            slider->setValue(100);
        }
        RedPercent = GreenPercent = BluePercent = 100;
        m_ui->RedLabel->setText(QStringLiteral("Rot: 100%"));
        m_ui->GreenLabel->setText(QStringLiteral("Grün: 100%"));
        m_ui->BlueLabel->setText(QStringLiteral("Blau: 100%"));
    } else if (Mode == QLatin1String("SHARPEN")) {
        m_ui->SharpenPanel->show();
        const QSignalBlocker quiet(m_ui->SharpenTrackBar);
        m_ui->SharpenTrackBar->setValue(0);
        SharpenValue = 0;
        m_ui->SharpenLabel->setText(SharpenLabelText(0));
    }
}

void TLeadEffectsForm::FormClose(TCloseAction& /*action*/)
{
    // The two previews hold full-size copies of the picture: let them go, so the next
    // opening never paints this picture while it loads another one.
    m_ui->LEADImage1->setBitmapList(nullptr);
    m_ui->LEADImage2->setBitmapList(nullptr);
}

void TLeadEffectsForm::TrackBarChange(QSlider* slider)
{
    Pending = true;
    if (!slider->isSliderDown())
        Preview();
}

void TLeadEffectsForm::ReloadPreview()
{
    m_ui->LEADImage1->Load(ProgramFolder + QStringLiteral("Temp.jpg"), 0, 1, -1);
}

void TLeadEffectsForm::Preview()
{
    if (!Pending)
        return;
    TEditorBusy busy;
    TLEADImage* preview = m_ui->LEADImage1;
    if (Mode == QLatin1String("RGB")) {
        RedPercent = m_ui->RedTrackBar->value();
        GreenPercent = m_ui->GreenTrackBar->value();
        BluePercent = m_ui->BlueTrackBar->value();
        m_ui->RedLabel->setText(QStringLiteral("Rot: %1%").arg(RedPercent));
        m_ui->GreenLabel->setText(QStringLiteral("Grün: %1%").arg(GreenPercent));
        m_ui->BlueLabel->setText(QStringLiteral("Blau: %1%").arg(BluePercent));
        Pending = false;
        ReloadPreview();
        const double red[3] = {RedPercent / 100.0, 0, 0};
        const double green[3] = {0, GreenPercent / 100.0, 0};
        const double blue[3] = {0, 0, BluePercent / 100.0};
        preview->BalanceColors(red, green, blue);
    } else if (Mode == QLatin1String("SHARPEN")) {
        Pending = false;
        ReloadPreview();
        SharpenValue = m_ui->SharpenTrackBar->value();
        m_ui->SharpenLabel->setText(SharpenLabelText(SharpenValue));
        if (SharpenValue < 0)
            preview->GaussianFilter(int(Round(-SharpenValue / 5.0)));
        else
            preview->Sharpen(SharpenValue);
    } else if (Mode == QLatin1String("SW")) {
        Pending = false;
        ReloadPreview();
        preview->GrayScale(8);
        preview->ForceRepaint();
    }
}

void TLeadEffectsForm::ButtonClick()
{
    Mode = QStringLiteral("SW");
    Pending = true;
    Preview();
}

void TLeadEffectsForm::Button1Click()
{
    {
        const QSignalBlocker quiet(m_ui->SharpenTrackBar);
        m_ui->SharpenTrackBar->setValue(0);
    }
    SharpenValue = 0;
    m_ui->SharpenLabel->setText(SharpenLabelText(0));
    Pending = true;
    TrackBarChange(m_ui->SharpenTrackBar);
}

void TLeadEffectsForm::SepiaButtonClick()
{
    TEditorBusy busy;
    TLEADImage* preview = m_ui->LEADImage1;
    ReloadPreview();
    preview->GrayScale(8);
    const double red[3] = {1.0, 0, 0};
    const double green[3] = {0, 0.83, 0};
    const double blue[3] = {0, 0, 0.34};
    preview->BalanceColors(red, green, blue);
    preview->ForceRepaint();
}

void TLeadEffectsForm::SaveBitBtnClick()
{
    TEditorBusy busy;
    TBildbeaerbeitungForm& editor = *BildbeaerbeitungForm;
    TLEADImage* view = editor.ui()->BildbViewLEADImage;
    editor.ApplyChange([&] {
        view->setBitmap(m_ui->LEADImage1->Bitmap());
        view->Save(editor.TempFile(), 23, 24, 4, 0);
    });
    SetModalResult(mrOk);
}
