#include "shell/fWerbung.h"
#include "shell/Windows.h"

#include "platform/system/ProgramFolder.h"
#include "shell/core/Settings.h"
#include "shell/fMain_help.h"
#include "ui_fWerbung.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>

TWerbungForm* WerbungForm = nullptr;

TWerbungForm::TWerbungForm(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TWerbungForm>())
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Load([this] { m_ui->setupUi(this); });
}

TWerbungForm::~TWerbungForm() = default;

QString TWerbungForm::ProductPage(const QString& pageName)
{
    return QStringLiteral("https://www.tessmark.example.org/products/m_ge_") + pageName + QStringLiteral(".html");
}

void TWerbungForm::BindEvents()
{
    m_products = {{
        {m_ui->BitBtn1, m_ui->Image1, QStringLiteral("wer_postvane.png"), ProductPage(QStringLiteral("postvane"))},
        {m_ui->BitBtn2, m_ui->Image4, QStringLiteral("wer_tavelo.png"), ProductPage(QStringLiteral("tavelo"))},
        {m_ui->BitBtn3, m_ui->Image5, QStringLiteral("wer_korvanta.png"), ProductPage(QStringLiteral("korvanta"))},
        {m_ui->BitBtn4, m_ui->Image3, QStringLiteral("wer_vintrel.png"), ProductPage(QStringLiteral("vintrel"))},
        {m_ui->BitBtn5, m_ui->Image2, QStringLiteral("wer_lumagraft.png"), ProductPage(QStringLiteral("lumagraft"))},
    }};
    for (const TProduct& product : m_products) {
        Bind(product.Button, &QPushButton::clicked, [this, &product] { OpenProductPage(product); });
        // Pictures have no click signal: their mouse releases come through eventFilter.
        product.Picture->installEventFilter(this);
    }
}

void TWerbungForm::FormCreate()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);

    // The pictures are decoration: one that is missing leaves its place empty.
    const QString folder = ProgramFolder() + QStringLiteral("recom/");
    QPixmap banner;
    if (banner.load(folder + QStringLiteral("wer_banner.png")))
        m_ui->Image9->setPixmap(banner);
    for (const TProduct& product : m_products) {
        QPixmap picture;
        if (picture.load(folder + product.PictureFile))
            product.Picture->setPixmap(picture);
    }
}

void TWerbungForm::FormClose(TCloseAction& /*action*/)
{
    if (m_ui->CheckBox1->isChecked())
        WriteMarkerFile(ProgramFolder() + QStringLiteral("NoWer.ini"));
}

bool TWerbungForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (const TProduct& product : m_products) {
            if (watched == product.Picture) {
                Guard([this, &product] { OpenProductPage(product); });
                return true;
            }
        }
    }
    return TForm::eventFilter(watched, event);
}

void TWerbungForm::OpenProductPage(const TProduct& product)
{
    ShellOpenOrComplain(product.Page, kMailStartFailure);
}
