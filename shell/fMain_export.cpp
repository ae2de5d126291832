// The folders the main window fills: the CD-ROM and photo-lab export folder, the screensaver
// install and the import of the older product's slideshows.
#include "shell/fMain.h"
#include "shell/Windows.h"

#include "output/ExportCheckList.h"
#include "output/fExport.h"
#include "platform/system/ShellDelete.h"
#include "platform/system/ShellFolders.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/Files.h"
#include "platform/vcl/TextCodec.h"
#include "shell/core/Archive.h"
#include "shell/core/Helpers.h"
#include "shell/core/Language.h"
#include "shell/core/OutputFolders.h"
#include "shell/core/PlayerData.h"
#include "shell/core/ProductInfo.h"
#include "shell/fMain_internal.h"
#include "shell/fShortHelp.h"
#include "ui_fExport.h"
#include "ui_fMain.h"
#include "ui_fShortHelp.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace {

// The progress bar and the percentage in the status line while folders are copied; the
// window keeps painting between folders while the user's input waits.
class TCopyProgress {
public:
    explicit TCopyProgress(Ui::TMainForm& ui) : m_ui(ui)
    {
        m_ui.PicProgressBar->setValue(0);
        m_ui.PicProgressBar->show();
        Application->ProcessMessages();
    }
    ~TCopyProgress()
    {
        m_ui.PicProgressBar->hide();
        m_ui.StatusBar1->showMessage(QString());
    }
    TCopyProgress(const TCopyProgress&) = delete;
    TCopyProgress& operator=(const TCopyProgress&) = delete;

    TFolderProgress Step()
    {
        return [this](int done, int total) {
            const int percent = total > 0 ? done * 100 / total : 100;
            m_ui.PicProgressBar->setValue(percent);
            m_ui.StatusBar1->showMessage(GetLangText(14000) + QLatin1Char(' ') + QString::number(percent) +
                                         GetLangText(14001));
            Application->ProcessMessages();
        };
    }

private:
    Ui::TMainForm& m_ui;
    TBusyCursor m_busy;
    TLongWork m_longWork;
};

QString WithoutSlash(const QString& folder)
{
    QString s = folder;
    while (s.size() > 1 && s.endsWith(QLatin1Char('/')))
        s.chop(1);
    return s;
}

// Empties folder by moving it to the trash and makes it again. A folder that cannot go to the
// trash stays as it was and the work stops with an error naming it, so that an export never
// mixes old and new files.
void RecreateFolder(const QString& folder)
{
    const QString path = WithoutSlash(folder);
    if (DirectoryExists(path) && !ShellDelete(path) && DirectoryExists(path))
        throw EInOutError(QStringLiteral("The folder %1 could not be emptied (it cannot be moved to the trash).")
                              .arg(QDir::toNativeSeparators(path)));
    ForceDirectoriesOrRaise(folder);
}

QStringList CheckedFolders()
{
    QStringList folders;
    for (const QString& line : CheckedLines(*ExportForm->ui()->CheckListBox))
        folders.append(ArchiveLineFolder(line));
    return folders;
}

// The first of the programs that is installed, "" when none is.
QString FirstProgram(std::initializer_list<const char*> names)
{
    for (const char* name : names) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(name));
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

} // namespace

void TMainForm::RecreateExportFolder()
{
    RecreateFolder(ExportFolder);
}

void TMainForm::ExportToCDFolder(int mode)
{
    TCopyProgress progress(*m_ui);
    const QStringList folders = CheckedFolders();
    if (mode == 0) {
        for (const QString& folder : folders)
            NumberUnlistedAudioTitles(ArchiveRoot + AddBackslash(folder));
    }
    ExportSlideshows(ArchiveRoot, ExportFolder, folders, mode, progress.Step());
}

void TMainForm::InstallScreensaver()
{
    ExportForm->ui()->DoLabel->setText(GetLangText(2603));
    // Only OK installs: a cancelled selection leaves the screensaver as it was.
    if (ExportForm->ShowModal() != mrOk)
        return;
    TScreensaverInstall install;
    install.ArchiveRoot = ArchiveRoot;
    install.ScreensaverFolder = ScreensaverFolder;
    install.SystemRoot = AddBackslash(WindowsInfo.SystemRoot);
    install.PlayerName = PlayerProgramName(LanguageName);
    install.ScreensaverName = ScreensaverProgramName(LanguageName);
    install.Folders = CheckedFolders();
    for (const QString& folder : install.Folders)
        NumberUnlistedAudioTitles(ArchiveRoot + AddBackslash(folder));
    QString installed;
    {
        TCopyProgress progress(*m_ui);
        RecreateFolder(ScreensaverFolder);
        installed = InstallScreensaverFiles(install, progress.Step());
        RegisterScreensaver(installed);
    }

    Ui::TAnweisungForm& hint = *AnweisungForm->ui();
    hint.IconImage->hide();
    hint.IconLabel->hide();
    hint.NeroBitBtn->hide();
    hint.MakeLabel->setText(GetLangText(4601));
    hint.MakeSubLabel->setText(GetLangText(4610));
    AnweisungForm->ShowModal();

    // The display settings on their screensaver page, where xscreensaver is installed.
    const QString settings = FirstProgram({"xscreensaver-settings", "xscreensaver-demo"});
    if (!settings.isEmpty())
        QProcess::startDetached(settings, {});
}

void TMainForm::RegisterScreensaver(const QString& program)
{
    // Registered only with a configuration of the user's own: xscreensaver then lists it.
    const QString config = QDir::homePath() + QStringLiteral("/.xscreensaver");
    QFile file(config);
    if (program.isEmpty() || !file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    const QByteArray before = file.readAll();
    file.close();
    const QByteArray after =
        RegisterXScreensaverProgram(before, ProductInfo.ProductName + QLatin1Char(' ') + ExtractFileBaseName(program), program);
    if (after != before)
        WriteFileSafely(config, after);
}

QString TMainForm::ImportSourceFolder() const
{
    // Drive C is the home folder.
    return QDir::homePath() + QStringLiteral("/diashow/");
}

void TMainForm::DiashowsvonVintrelimportieren1Click()
{
    if (MessageDlg(QStringLiteral("Möchten Sie wirklich alle Diashows von \"Vintrel\" importieren? Änderungen welche "
                                  "Sie an bereits importierten Archiven vorgenommen haben gehen hierbei verloren!"),
                   mtConfirmation, mbYesNo) == mrNo)
        return;
    {
        TCopyProgress progress(*m_ui);
        if (DirectoryExists(ImportSourceFolder()))
            ImportOldSlideshows(ImportSourceFolder(), ArchiveRoot, progress.Step());
    }
    m_ui->PageControl1->setCurrentIndex(0);
    ListDiashows();
}
