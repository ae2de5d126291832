#include "shell/fAbout.h"
#include "shell/Windows.h"

#include "platform/system/ProgramFolder.h"
#include "platform/vcl/Graphics.h"
#include "shell/core/Language.h"
#include "shell/core/ProductInfo.h"
#include "shell/fMain_help.h"
#include "ui_fAbout.h"

#include <QFileInfo>
#include <QMouseEvent>
#include <QPixmap>

TAboutBox* AboutBox = nullptr;

TAboutBox::TAboutBox(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TAboutBox>())
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    Load([this] { m_ui->setupUi(this); });
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::BindEvents()
{
    Bind(m_ui->UpdateButton, &QPushButton::clicked, &TAboutBox::UpdateButtonClick);
    // Labels have no click signal: their mouse releases come through eventFilter.
    m_ui->URLLabel->installEventFilter(this);
    m_ui->MailLabel->installEventFilter(this);
}

void TAboutBox::FormCreate()
{
    setWindowTitle(ProductInfo.ProductName);

    m_ui->ProductName->setText(ProductInfo.ProductName);
    m_ui->Comments->setText(ProductInfo.EditionText);
    m_ui->Version->setText(ProductInfo.VersionText);
    m_ui->Copyright->setText(ProductInfo.CompanyName);
    m_ui->URLLabel->setText(ProductInfo.WebText);
    m_ui->MailLabel->setText(ProductInfo.MailAddress);
    m_ui->UpdateButton->setText(GetLangText(533));

    if (ProductInfo.ContactOnly != 0) {
        m_ui->URLLabel->setText(QStringLiteral("Kontakt"));
        m_ui->MailLabel->setText(QString());
    }

    // The picture comes last, so that a box whose picture is missing still shows its texts.
    const QString picture = ProgramFolder() + QStringLiteral("recom/") + ProductInfo.AboutImage;
    QPixmap pixmap;
    if (!QFileInfo(picture).isFile() || !pixmap.load(picture))
        throw EInvalidGraphic(QStringLiteral("Cannot open file \"%1\"").arg(picture));
    m_ui->Image1->setPixmap(pixmap);
}

bool TAboutBox::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == m_ui->URLLabel) {
            Guard([this] { URLLabelClick(); });
            return true;
        }
        if (watched == m_ui->MailLabel) {
            Guard([this] { MailLabelClick(); });
            return true;
        }
    }
    return TForm::eventFilter(watched, event);
}

void TAboutBox::URLLabelClick() { ShellOpenOrComplain(ProductInfo.WebURL, kMailStartFailure); }

void TAboutBox::MailLabelClick()
{
    ShellOpenOrComplain(QStringLiteral("mailto:") + ProductInfo.MailAddress, kMailStartFailure);
}

void TAboutBox::UpdateButtonClick() { URLLabelClick(); }
