// The main window's start-up (FormCreate) and shutdown (FormClose).
#include "shell/fMain.h"
#include "shell/Windows.h"

#include "controls/HTMListBox.h"
#include "platform/system/DriveMap.h"
#include "platform/system/ProgramFolder.h"
#include "platform/system/ShellFolders.h"
#include "platform/vcl/Files.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/TextCodec.h"
#include "shell/core/Helpers.h"
#include "shell/core/OutputFolders.h"
#include "shell/core/PlayerData.h"
#include "shell/core/ProductInfo.h"
#include "shell/core/Settings.h"
#include "shell/fMain_internal.h"
#include "shell/fWerbung.h"
#include "ui_fMain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QProxyStyle>
#include <QScreen>

namespace {

// The sample tune that the two sample slideshows of the first start get.
const QString kSampleTune = QStringLiteral("Bumble Bee - Tessmark.mp3");

bool German() { return LanguageName == QLatin1String("GERMAN"); }
bool EnglishOrSwedish()
{
    return LanguageName == QLatin1String("ENGLISH") || LanguageName == QLatin1String("SWEDISH");
}

// The player program in the archive root (and the name of its desktop link).
QString PlayerName()
{
    return PlayerProgramName(LanguageName);
}


// Makes folder (one level) unless it exists; a folder that cannot be made raises EInOutError.
void MakeFolderWhenMissing(const QString& folder)
{
    if (!DirectoryExists(folder))
        MkDir(folder);
}

// Hints show at once and stay for `hidePause` milliseconds.
class THintStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

void SetHintTimes(QWidget& window, int hidePause)
{
    if (!dynamic_cast<THintStyle*>(QApplication::style()))
        QApplication::setStyle(new THintStyle(QApplication::style()->name()));
    window.setToolTipDuration(hidePause);
    for (QWidget* child : window.findChildren<QWidget*>())
        child->setToolTipDuration(hidePause);
}

} // namespace

void SetPanelColor(QWidget& panel, TColor color)
{
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    panel.setPalette(palette);
    panel.setAutoFillBackground(true);
}

namespace {

// A value of a desktop entry: backslashes and control characters escaped.
QString DesktopValue(const QString& s)
{
    QString out;
    for (const QChar c : s) {
        switch (c.unicode()) {
        case '\\': out += QStringLiteral("\\\\"); break;
        case '\n': out += QStringLiteral("\\n"); break;
        case '\t': out += QStringLiteral("\\t"); break;
        case '\r': out += QStringLiteral("\\r"); break;
        default: out += c; break;
        }
    }
    return out;
}

// One argument of an Exec line: double-quoted, with the characters that the quoting
// reserves escaped and "%" doubled (field codes).
QString ExecArgument(const QString& s)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : s) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
        if (c == u'%')
            quoted += u'%';
    }
    quoted += u'"';
    return DesktopValue(quoted);
}

} // namespace

QString TMainForm::PlayerDesktopEntry(const QString& name, const QString& playerPath)
{
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Version=1.0\n"
                          "Name=%1\n"
                          "Exec=%2\n"
                          "Path=%3\n"
                          "Terminal=false\n")
        .arg(DesktopValue(name), ExecArgument(playerPath), DesktopValue(ExtractDirPart(playerPath)));
}

void TMainForm::LoadBanner()
{
    const QString picture = ProgramFolder + QStringLiteral("recom/") + ProductInfo.BannerImage;
    QPixmap pixmap;
    if (!QFileInfo(picture).isFile() || !pixmap.load(picture))
        throw EInvalidGraphic(QStringLiteral("Cannot open file \"%1\"").arg(picture));
    m_ui->Image2->setPixmap(pixmap);
}

void TMainForm::FormCreate()
{
    QTabWidget& pages = *m_ui->PageControl1;
    CreateDiashowListBox();
    // Until a slideshow is opened only the archive tab shows; the settings tabs show when they
    // are asked for. Everything a handler may use is made before the first step that can stop
    // the start, so that a window whose start stopped early has nothing half made.
    for (QWidget* sheet : {m_ui->TabSheet3, m_ui->TabSheet2, m_ui->TabSheet1, m_ui->TabSheet4})
        pages.setTabVisible(pages.indexOf(sheet), false);
    m_ui->PicProgressBar->hide();
    WorkList1 = std::make_unique<TStringList>();
    WorkList2 = std::make_unique<TStringList>();
    SetCaptions();
    VideoFrameRate = 25;
    TransitionFrames = 12;
    pages.setCurrentIndex(0);
    SetHintTimes(*this, 10000);
    SetDiashowMenusEnabled(false);
    setWindowTitle(ProductInfo.ProductName + QStringLiteral(" ") + ProductInfo.EditionText);
    MyDocumentsFolder = AddBackslash(WindowsInfo.Personal);

    ProgramFolder = AddBackslash(::ProgramFolder());
    TempPicFolder = ProgramFolder + QStringLiteral("temppic/");

    // The banner is decoration: a missing picture is reported and the start goes on.
    Guard([this] { LoadBanner(); });

    try {
        StartArchive();
    } catch (...) {
        // The error is shown by the form loader; the window stays usable meanwhile.
        StartStoppedEarly();
        throw;
    }
    ApplyStartGeometry();
}

void TMainForm::StartArchive()
{
    EffectList = std::make_unique<TStringList>();
    LoadEffectList(*EffectList, ProgramFolder + QStringLiteral("Effects.ini"));
    m_ui->SpinEdit1->setMaximum(EffectList->Count());

    LoadSettings();
    SetArchiveFolders();
    MakeWorkFolders();
    CopySamplesOnFirstStart();
    CopyTemplatesAndKit();
    WriteDesktopLink();
    WritePlayerTexts();

    SetPanelColor(*m_ui->BKGColorPanel, BKGColor);
    SetPanelColor(*m_ui->TextColorPanel, TextColor);
    DiashowListBox->setItemHeight(70);

    ListDiashows();
    if (m_ui->OpenListBox->Count() > 0)
        m_ui->OpenListBox->setItemIndex(0);
}

void TMainForm::StartStoppedEarly()
{
    m_startStopped = true;
    // There is no archive to make a slideshow in (nor one to list, open or delete).
    m_ui->NewBitBtn->setEnabled(false);
    m_ui->NewDiashow1->setEnabled(false);
    // The general settings stay reachable, so that another drive can be chosen from here; a
    // start that stopped before the settings were read shows the drive they name.
    m_ui->EinstellungenDiashow1->menuAction()->setEnabled(true);
    if (!m_settingsLoaded) {
        ArchiveDrive = ::LoadSettings(ProgramFolder + QStringLiteral("Generator.ini")).ArchiveDrive;
        FillDriveComboBox();
        SelectDrive(ArchiveDrive);
    }
    m_ui->PicProgressBar->hide();
    ApplyStartGeometry();
}

void TMainForm::SetArchiveFolders()
{
    // An unknown drive letter stops the start here, with the error naming the drive.
    const QString drive = DriveRoot(ResolveDrive(ArchiveDrive));
    const QString documents = AddBackslash(WindowsInfo.Personal);
    // One archive in every language, so that switching the language keeps the slideshows.
    ArchiveRoot = drive + QStringLiteral("Korvanta/");
    if (German()) {
        VideoFolder = drive + QStringLiteral("DVD-Diashow/");
        ScreensaverFolder = documents + QStringLiteral("Diashow_Screensaver/");
    } else if (EnglishOrSwedish()) {
        VideoFolder = drive + QStringLiteral("DVD-Slideshow/");
        ScreensaverFolder = documents + QStringLiteral("Slideshow_Screensaver/");
    }
    if (!VideoFolder.isEmpty()) {
        ExportFolder = drive + QStringLiteral("CDROM-Export/");
        EncoderFolder = VideoFolder + QStringLiteral("encoder/");
    }
}

void TMainForm::MakeWorkFolders()
{
    for (const QString& folder : {ProgramFolder + QStringLiteral("thumbs/"), TempPicFolder, VideoFolder,
                                  EncoderFolder, ProgramFolder + QStringLiteral("gallery")})
        MakeFolderWhenMissing(folder);
    // The MPEG encoder is our own module beside the program: there are no files of another
    // product to take over.
}

void TMainForm::CopySamplesOnFirstStart()
{
    if (DirectoryExists(ArchiveRoot))
        return;
    MkDir(ArchiveRoot);
    MkDir(ArchiveRoot + QStringLiteral("del/"));
    for (const QString& sample : {QStringLiteral("Archive_0001/"), QStringLiteral("Archive_0002/")}) {
        MkDir(ArchiveRoot + sample);
        CopyFilesOfFolder(ProgramFolder + QStringLiteral("diashow/") + sample, ArchiveRoot + sample);
    }
    for (const QString& sample : {QStringLiteral("Archive_0001/"), QStringLiteral("Archive_0002/")})
        CopyFile(ProgramFolder + kSampleTune, ArchiveRoot + sample + kSampleTune, false);
}

void TMainForm::CopyTemplatesAndKit()
{
    const QString kit = ProgramFolder + QStringLiteral("diashow/");
    CopyFilesOfFolder(kit + QStringLiteral("del/"), ArchiveRoot + QStringLiteral("del/"));
    CopyFilesOfFolder(ProgramFolder + QStringLiteral("encoder/"), EncoderFolder);

    // The player kit, so that the archive root (or a copy of it) plays on its own. The player
    // links the imaging kernel, so no libraries go with it; it reads Effects.ini beside it.
    CopyFile(kit + (German() ? QStringLiteral("Autorun.inf") : QStringLiteral("Slideshow-Autorun.inf")),
             ArchiveRoot + QStringLiteral("Autorun.inf"), false);
    CopyFile(kit + QStringLiteral("Diashow-Player"), ArchiveRoot + PlayerName(), false);
    for (const QString& name : {QStringLiteral("play.ply"), QStringLiteral("intro.ply"), QStringLiteral("Settings.ini")})
        CopyFile(kit + name, ArchiveRoot + name, false);
    CopyFile(ProgramFolder + QStringLiteral("Effects.ini"), ArchiveRoot + QStringLiteral("Effects.ini"), false);
}

void TMainForm::WriteDesktopLink()
{
    // Only a desktop folder of its own counts (not the home folder that stands in when there
    // is none). The link needs the player in the archive root; it is written after the kit,
    // so that the first start has it too.
    const QString desktop = AddBackslash(WindowsInfo.Desktop);
    if (!DirectoryExists(desktop) || QDir(desktop).canonicalPath() == QDir(QDir::homePath()).canonicalPath())
        return;
    const QString player = ArchiveRoot + PlayerName();
    if (FileExists(player)) {
        const QString link = desktop + PlayerName() + QStringLiteral(".desktop");
        try {
            WriteFileSafely(link, PlayerDesktopEntry(PlayerName(), player).toUtf8());
            QFile::setPermissions(link, QFile::permissions(link) | QFile::ExeOwner | QFile::ExeGroup |
                                            QFile::ExeOther);
        } catch (const Exception&) {
            // Like the copies of the kit, a link that cannot be written is not reported.
        }
    }
    // The older product's player on the desktop goes.
    DeleteFile(desktop + QStringLiteral("Diashow-Player.exe"));
}

void TMainForm::WritePlayerTexts()
{
    TIniFile ini(ArchiveRoot + QStringLiteral("Language.ini"));
    ini.BeginUpdate();
    for (const LangText text : {LangText(100001), LangText(100002), LangText(100003), LangText(100004)})
        ini.WriteString(QStringLiteral("PLAYER"), QString::number(text.Number), text.Text());
    ini.EndUpdate();
}

void TMainForm::ApplyStartGeometry()
{
    QTabWidget& pages = *m_ui->PageControl1;
    pages.setCurrentIndex(1);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
    pages.setCurrentIndex(0);
}

void TMainForm::FormClose(TCloseAction& /*action*/)
{
    // Picture texts typed a moment ago are written before anything else goes.
    FlushPicturesIni();
    EffectList.reset();
    // A start that stopped before the settings were read must not write the controls'
    // defaults over them; a settings file that cannot be written is reported and the close
    // goes on.
    if (m_settingsLoaded)
        Guard([this] { SaveSettings(); });
    WorkList1.reset();
    WorkList2.reset();
    hide();

    if (!SourceFolder.isEmpty())
        DeleteConvertedCopies(AddBackslash(ExtractFilePath(SourceFolder)));
    for (const char* mask : {"UNDO*.jpg", "Temp.jpg", "prev.jpg", "Print.txt", "thumbs/*.*"})
        DeleteFilesByMask(ProgramFolder + QLatin1String(mask));
    ClearTempPicFolder();
    DeleteStaleThumbnails();

    if (German() && !ProgramFolder.isEmpty() && !MarkerFileExists(ProgramFolder + QStringLiteral("NoWer.ini")) &&
        WerbungForm)
        WerbungForm->ShowModal();
    // Closing the main window ends the program.
}
