#include "shell/Start.h"

#include "platform/system/DriveMap.h"
#include "platform/system/ProgramFolder.h"
#include "platform/system/ShellFolders.h"
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
#include <QTemporaryFile>

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
    // The drive letters kept in Generator.ini, and the volumes mounted now.
    InitDriveMap();

    SetLanguageMessageHandler([](const QString& message) { MessageDlg(message, mtError, {mbOK}); });
    LoadLanguage();
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
    HTMLForm = new THTMLForm(MainForm);

    const auto goToPage1 = [] { MainForm->ui()->PageControl1->setCurrentIndex(1); };
    const auto paths = [] { return TOutputPaths{MainForm->ArchiveRoot, MainForm->ExportFolder}; };
    AnweisungForm->GoToPage1 = goToPage1;
    MakeWizzard->GoToPage1 = goToPage1;
    ExportForm->GoToPage1 = goToPage1;
    ExportForm->Paths = paths;
    OnlineFotoForm->Paths = paths;
    const auto printSource = [] { return MainForm->PrintSource(); };
    PrintSelectForm->Source = printSource;
    PrintSizeWizard->SetChoices(&MainForm->PrintChoices);
    PrintSizeWizard->ProgramFolder = MainForm->ProgramFolder;
    QRListForm->Source = printSource;
    QRListA5Form->Source = printSource;
    QRThumbnailForm->Source = printSource;
    MainForm->BindEditor();
    HTMLForm->Source = [] {
        TGallerySource source{MainForm->DiashowPath(), MainForm->ui()->TitleEdit->text(), {}};
        if (const THTMListBox* list = MainForm->DiashowListBox)
            for (int i = 0; i < list->Items().Count(); ++i)
                source.Items << list->Items()[i];
        return source;
    };
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
    BildbeaerbeitungForm = nullptr;
    LeadEffectsForm = nullptr;
    SizeForm = nullptr;
    HTMLForm = nullptr;
    UnloadLanguage();
}
