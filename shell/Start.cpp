#include "shell/Start.h"

#include "platform/system/DriveMap.h"
#include "platform/system/ProgramFolder.h"
#include "platform/system/ShellFolders.h"
#include "platform/system/SingleInstance.h"
#include "platform/vcl/Guard.h"
#include "platform/vcl/Application.h"
#include "shell/Windows.h"
#include "shell/core/Language.h"
#include "shell/core/ProductInfo.h"
#include "editing/fBildbearbeitung.h"
#include "editing/fLeadEffects.h"
#include "editing/fSize.h"
#include "output/fCheckAudio.h"
#include "output/fExport.h"
#include "output/fHTML.h"
#include "output/fOnlineFotoEntwicklung.h"
#include "output/fPrintSelect.h"
#include "output/fPrintSize.h"
#include "output/fQRForm.h"
#include "output/fQRFormThumbnails.h"
#include "output/fWave.h"
#include "output/fDVD.h"
#include "output/fWizardDVD.h"
#include "shell/VideoHooks.h"
#include "shell/fAbout.h"
#include "shell/fBetrachter.h"
#include "controls/HTMListBox.h"
#include "shell/fMain.h"
#include "shell/fNew.h"
#include "shell/fNoDriver.h"
#include "shell/fOpen.h"
#include "shell/fShortHelp.h"
#include "shell/fTip.h"
#include "shell/fVerschiebenTip.h"
#include "shell/fWerbung.h"
#include "shell/fZuschneidenTip.h"
#include "shell/fWizardMake.h"
#include "shell/fZuschneidenTip2.h"
#include "ui_fMain.h"

#include <QLineEdit>
#include <QTabWidget>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTemporaryFile>
#include <QTranslator>

#include <memory>
#include <vector>

namespace {

// The lock of the program folder, held from the start to the end of the run.
std::unique_ptr<TSingleInstance> g_instance;
// Qt's own texts (file dialog, Yes/No, colour dialog) in the chosen language.
std::vector<std::unique_ptr<QTranslator>> g_qtTranslations;

void LoadQtTranslations()
{
    const QString code = LanguageName == QLatin1String("GERMAN")    ? QStringLiteral("de")
                         : LanguageName == QLatin1String("SWEDISH") ? QStringLiteral("sv")
                                                                    : QString();
    if (code.isEmpty())
        return;
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const QString& catalog : {QStringLiteral("qt_"), QStringLiteral("qtbase_")}) {
        auto translator = std::make_unique<QTranslator>();
        if (translator->load(catalog + code, folder) && QCoreApplication::installTranslator(translator.get()))
            g_qtTranslations.push_back(std::move(translator));
    }
}

// The windows that are shown maximised keep their own window flags.
bool ShownMaximised(const QWidget& window)
{
    static const QStringList kMaximised = {QStringLiteral("TMainForm"),        QStringLiteral("TBetrachterForm"),
                                           QStringLiteral("TBildbeaerbeitungForm"), QStringLiteral("TPrintSelectForm"),
                                           QStringLiteral("TDVDForm"),         QStringLiteral("TWerbungForm"),
                                           QStringLiteral("TOnlineFotoForm")};
    return kMaximised.contains(QString::fromLatin1(window.metaObject()->className()));
}

}  // namespace

void GiveDialogFlags(QWidget& mainWindow)
{
    // Dialog windows get a title and a close button, never a maximise button.
    for (TForm* form : mainWindow.findChildren<TForm*>(Qt::FindDirectChildrenOnly)) {
        if (ShownMaximised(*form) || (form->windowFlags() & Qt::WindowType_Mask) != Qt::Dialog)
            continue;
        const bool shown = form->isVisible();
        form->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                             Qt::WindowCloseButtonHint);
        if (shown)
            form->show();
    }
}

namespace {

void UnloadQtTranslations()
{
    for (const auto& translator : g_qtTranslations)
        QCoreApplication::removeTranslator(translator.get());
    g_qtTranslations.clear();
}

} // namespace

QString CheckProgramFolderWritable(const QString& folder)
{
    const QString message = QStringLiteral(
        "The program folder %1 cannot be written. Korvanta keeps its settings and work files "
        "there; make the folder writable and start the program again.").arg(QDir::toNativeSeparators(folder));
    if (!QFileInfo(folder).isDir())
        return message;
    QTemporaryFile probe(folder + QStringLiteral(".write-test-XXXXXX"));
    if (!probe.open())
        return message;
    return QString();
}

bool StartProgram()
{
    // Unit initialisations.
    InitWindowsInfo();

    const QString stop = CheckProgramFolderWritable(ProgramFolder());
    if (!stop.isEmpty()) {
        MessageDlg(stop, mtError, {mbOK});
        return false;
    }
    SetLanguageMessageHandler([](const QString& message) { MessageDlg(message, mtError, {mbOK}); });
    LoadLanguage();
    // One program per program folder: a second start shows the running window and ends
    // before it writes anything.
    g_instance = std::make_unique<TSingleInstance>(ProgramFolder());
    if (!g_instance->Acquire()) {
        if (!g_instance->AskRunningToShow())
            MessageDlg(GetLangText(10091), mtInformation, {mbOK});
        g_instance.reset();
        return false;
    }
    LoadQtTranslations();
    // The drive letters kept in Generator.ini, and the volumes mounted now; after the language
    // has looked for Generator.ini, so that a missing file is reported before one is written.
    InitDriveMap();
    FillProductInfo();
    Application->SetTitle(ProductInfo.ProductName);

    // The windows, each stored in its global before the next is made; all but the main
    // window are parented to it.
    MainForm = new TMainForm();
    Application->SetMainForm(MainForm);
    AboutBox = new TAboutBox(MainForm);
    OpenForm = new TOpenForm(MainForm);
    NewForm = new TNewForm(MainForm);
    NoDriverForm = new TNoDriverForm(MainForm);
    MakeWizzard = new TMakeWizzard(MainForm);
    TipForm = new TTipForm(MainForm);
    CheckAudioForm = new TCheckAudioForm(MainForm);
    WerbungForm = new TWerbungForm(MainForm);
    ExportForm = new TExportForm(MainForm);
    AnweisungForm = new TAnweisungForm(MainForm);
    BildbeaerbeitungForm = new TBildbeaerbeitungForm(MainForm);
    LeadEffectsForm = new TLeadEffectsForm(MainForm);
    SizeForm = new TSizeForm(MainForm);
    ZuschneidenTipForm2 = new TZuschneidenTipForm2(MainForm);
    BetrachterForm = new TBetrachterForm(MainForm);
    ZuschneidenTipForm = new TZuschneidenTipForm(MainForm);
    VerschiebenTipForm = new TVerschiebenTipForm(MainForm);
    OnlineFotoForm = new TOnlineFotoForm(MainForm);
    PrintSelectForm = new TPrintSelectForm(MainForm);
    PrintSizeWizard = new TPrintSizeWizard(MainForm);
    QRListForm = new TQRListForm(MainForm);
    QRListA5Form = new TQRListA5Form(MainForm);
    QRThumbnailForm = new TQRThumbnailForm(MainForm);
    WaveForm = new TWaveForm(MainForm);
    DVDWizardForm = new TDVDWizardForm(MainForm);
    DVDForm = new TDVDForm(MainForm);
    HTMLForm = new THTMLForm(MainForm);

    const auto goToPage1 = [] { MainForm->ui()->PageControl1->setCurrentIndex(1); };
    const auto paths = [] { return TOutputPaths{MainForm->ArchiveRoot, MainForm->ExportFolder}; };
    AnweisungForm->GoToPage1 = goToPage1;
    MakeWizzard->GoToPage1 = goToPage1;
    ExportForm->GoToPage1 = goToPage1;
    ExportForm->Paths = paths;
    OnlineFotoForm->Paths = paths;
    GiveDialogFlags(*MainForm);
    const auto printSource = [] { return MainForm->PrintSource(); };
    PrintSelectForm->Source = printSource;
    PrintSizeWizard->SetChoices(&MainForm->PrintChoices);
    PrintSizeWizard->ProgramFolder = MainForm->ProgramFolder;
    QRListForm->Source = printSource;
    QRListA5Form->Source = printSource;
    QRThumbnailForm->Source = printSource;
    InstallVideoHooks();
    MainForm->BindEditor();
    HTMLForm->Source = [] {
        TGallerySource source{MainForm->DiashowPath(), MainForm->ui()->TitleEdit->text(), {}};
        if (const THTMListBox* list = MainForm->DiashowListBox)
            for (int i = 0; i < list->Items().Count(); ++i)
                source.Items << list->Items()[i];
        return source;
    };
    g_instance->OnShowRequest([] {
        Guard([] {
            if (!MainForm)
                return;
            if (MainForm->isMinimized())
                MainForm->showMaximized();
            MainForm->show();
            MainForm->raise();
            MainForm->activateWindow();
        });
    });
    return true;
}

void EndProgram()
{
    // The other windows are the main window's children and go with it.
    if (MainForm)
        MainForm->Free();
    MainForm = nullptr;
    AboutBox = nullptr;
    OpenForm = nullptr;
    NewForm = nullptr;
    NoDriverForm = nullptr;
    TipForm = nullptr;
    WerbungForm = nullptr;
    ExportForm = nullptr;
    AnweisungForm = nullptr;
    ZuschneidenTipForm = nullptr;
    VerschiebenTipForm = nullptr;
    OnlineFotoForm = nullptr;
    PrintSelectForm = nullptr;
    PrintSizeWizard = nullptr;
    QRListForm = nullptr;
    QRListA5Form = nullptr;
    QRThumbnailForm = nullptr;
    WaveForm = nullptr;
    CheckAudioForm = nullptr;
    MakeWizzard = nullptr;
    ZuschneidenTipForm2 = nullptr;
    BetrachterForm = nullptr;
    DVDWizardForm = nullptr;
    DVDForm = nullptr;
    BildbeaerbeitungForm = nullptr;
    LeadEffectsForm = nullptr;
    SizeForm = nullptr;
    HTMLForm = nullptr;
    UnloadLanguage();
    UnloadQtTranslations();
    g_instance.reset();
}
