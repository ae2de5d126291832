#include "shell/fShortHelp.h"
#include "shell/Windows.h"

#include "platform/system/ProgramFolder.h"
#include "platform/system/ShellFolders.h"
#include "shell/core/Helpers.h"
#include "shell/core/Language.h"
#include "shell/core/PlayerData.h"
#include "shell/fMain_help.h"
#include "ui_fShortHelp.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QStyle>
#include <QTextStream>

namespace {

constexpr int kSymbolSize = 48;

// The value of key in the [Desktop Entry] group of a desktop entry file; empty when missing.
QString DesktopEntryValue(const QString& file, const QString& key)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    QTextStream text(&in);
    bool inGroup = false;
    while (!text.atEnd()) {
        const QString line = text.readLine().trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inGroup = line == QLatin1String("[Desktop Entry]");
        else if (inGroup && line.section(QLatin1Char('='), 0, 0).trimmed() == key)
            return line.section(QLatin1Char('='), 1).trimmed();
    }
    return QString();
}

} // namespace

QString TAnweisungForm::DesktopEntryPath()
{
    return AddBackslash(WindowsInfo.Desktop) + PlayerProgramName(LanguageName) + QStringLiteral(".desktop");
}

QIcon TAnweisungForm::DesktopEntryIcon(const QString& entryFile)
{
    // The entry's own icon: a file or a name of the icon theme.
    const QString icon = DesktopEntryValue(entryFile, QStringLiteral("Icon"));
    if (!icon.isEmpty()) {
        const QIcon own = QFileInfo(icon).isAbsolute() ? QIcon(icon) : QIcon::fromTheme(icon);
        if (!own.availableSizes().isEmpty() || !own.pixmap(kSymbolSize).isNull())
            return own;
    }
    // Without one, desktops show a program's entry with the theme's icon of a program.
    const QIcon program = QIcon::fromTheme(QStringLiteral("application-x-executable"));
    if (!program.isNull())
        return program;
    return QApplication::style()->standardIcon(QStyle::SP_DesktopIcon);
}

TAnweisungForm* AnweisungForm = nullptr;

TAnweisungForm::TAnweisungForm(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TAnweisungForm>())
{
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Load([this] { m_ui->setupUi(this); });
}

TAnweisungForm::~TAnweisungForm() = default;

void TAnweisungForm::BindEvents()
{
    Bind(m_ui->NeroBitBtn, &QPushButton::clicked, &TAnweisungForm::NeroBitBtnClick);
    Bind(m_ui->OkBitBtn, &QPushButton::clicked, &TAnweisungForm::OkBitBtnClick);
}

void TAnweisungForm::FormCreate()
{
    m_ui->NeroBitBtn->setText(GetLangText(4600));
    m_ui->IconLabel->setText(GetLangText(4619));
    setWindowTitle(GetLangText(4626));
}

void TAnweisungForm::FormShow()
{
    // Where the caller shows the symbol, it is the one the text announces: the icon of the
    // slideshow's entry on the desktop. The text never stands without its symbol, nor the
    // symbol without its text.
    Ui::TAnweisungForm& ui = *m_ui;
    if (ui.IconImage->isHidden()) {
        ui.IconLabel->hide();
        return;
    }
    const QPixmap symbol = DesktopEntryIcon(DesktopEntryPath()).pixmap(kSymbolSize);
    ui.IconImage->setPixmap(symbol);
    ui.IconImage->setVisible(!symbol.isNull());
    ui.IconLabel->setVisible(!symbol.isNull());
}

void TAnweisungForm::NeroBitBtnClick()
{
    ShellOpenOrComplain(ProgramFolder() + QStringLiteral("help/vcd.html"), kBrowserStartFailure);
}

void TAnweisungForm::OkBitBtnClick()
{
    if (GoToPage1)
        GoToPage1();
}
