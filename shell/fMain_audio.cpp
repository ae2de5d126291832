// The music of a slideshow on the slideshow settings tab: listing, adding, removing,
// reordering and renumbering the audio titles, their info dialog, playing them, the CD ripper,
// and running a program while the window keeps answering.
#include "shell/fMain.h"
#include "shell/Windows.h"

#include "output/fCheckAudio.h"
#include "platform/system/RunAndWait.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Files.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Archive.h"
#include "shell/core/Helpers.h"
#include "shell/core/Language.h"
#include "shell/fMain_internal.h"
#include "shell/RunProgram.h"
#include "shell/fNoDriver.h"
#include "ui_fMain.h"

#include <QFileInfo>
#include <QPushButton>

#include <algorithm>

namespace {

// The last selected item of list (-1: none).
int LastSelected(const TCustomListBox& list)
{
    for (int i = list.Items().Count() - 1; i >= 0; --i)
        if (list.Selected(i))
            return i;
    return -1;
}

void Information(int text) { MessageDlg(GetLangText(text), mtInformation, {mbOK}); }

// Analyses file with the audio info dialog (without showing it).
void AnalyseAudio(const QString& file)
{
    CheckAudioForm->AudioFile = file;
    CheckAudioForm->ReadAudioInfo();
}

} // namespace

void TMainForm::BindAudioEvents()
{
    TMediaPlayer::RegisterPlayback();
    RegisterRunProgram();
    Bind(m_ui->OpenAudioBitBtn, &QPushButton::clicked, &TMainForm::OpenAudioBitBtnClick);
    Bind(m_ui->DeleteAudioBitBtn, &QPushButton::clicked, &TMainForm::DeleteAudioBitBtnClick);
    Bind(m_ui->InfoBitBtn, &QPushButton::clicked, &TMainForm::InfoBitBtnClick);
    Bind(m_ui->PlayBitBtn, &QPushButton::clicked, &TMainForm::PlayBitBtnClick);
    Bind(m_ui->PauseBitBtn, &QPushButton::clicked, &TMainForm::PauseBitBtnClick);
    Bind(m_ui->StopBitBtn, &QPushButton::clicked, &TMainForm::StopBitBtnClick);
    Bind(m_ui->StartRipperBitBtn, &QPushButton::clicked, &TMainForm::StartRipperBitBtnClick);
    TListBox* list = m_ui->AudioListBox;
    list->setDragMode(dmAutomatic);
    list->OnClick = [this](QObject*) { Guard([&] { AudioListBoxClick(); }); };
    list->OnDblClick = [this](QObject*) { Guard([&] { InfoBitBtnClick(); }); };
    list->OnMouseDown = [this](QObject*, TMouseButton, TShiftState, int x, int y) {
        Guard([&] { AudioListBoxMouseDown(x, y); });
    };
    list->OnDragOver = [this](QObject*, QObject* source, int, int, TDragState, bool& accept) {
        accept = false;
        Guard([&] { AudioListBoxDragOver(source, accept); });
    };
    list->OnDragDrop = [this](QObject*, QObject* source, int x, int y) {
        Guard([&] { AudioListBoxDragDrop(source, x, y); });
    };
}

QString TMainForm::AudioRejectionText(const QString& file)
{
    const QString cr2 = QStringLiteral("\r\r");
    return GetLangText(10012) + QLatin1Char(' ') + file + QLatin1Char(' ') + GetLangText(10013) + cr2 +
           GetLangText(10014) + cr2 + GetLangText(10015);
}

bool TMainForm::AudioFitsSlideshow()
{
    return CheckAudioForm->SampleRateValue == QLatin1String("44100") &&
           CheckAudioForm->StereoText == QLatin1String("STEREO");
}

void TMainForm::ListAudioTitles()
{
    TBusyCursor busy;
    TListBoxItems& items = m_ui->AudioListBox->Items();
    items.Clear();
    AudioTabVisited = true;
    const QString folder = DiashowPath();
    if (folder.isEmpty())
        return;
    for (const QString& file : SlideshowAudioFiles(folder)) {
        bool fits = false;
        try {
            AnalyseAudio(file);
            fits = AudioFitsSlideshow();
        } catch (...) {
            // A title that cannot be read is reported and still listed, so that it can be
            // removed; the titles after it are listed too.
            Application->HandleException(std::current_exception());
        }
        items.Add(file);
        if (!fits)
            MessageDlg(AudioRejectionText(file), mtInformation, {mbOK});
    }
}

void TMainForm::OpenAudioBitBtnClick()
{
    const QString folder = DiashowPath();
    if (folder.isEmpty())
        return;
    TOpenDialog dialog;
    dialog.Filter = QStringLiteral("Audio Dateien|*.mp3; *.wav");
    dialog.InitialDir = MyDocumentsFolder;
    if (!dialog.Execute())
        return;
    const QString source = dialog.FileName;
    TBusyCursor busy;
    AnalyseAudio(source);
    if (!AudioFitsSlideshow()) {
        MessageDlg(AudioRejectionText(source), mtInformation, {mbOK});
        return;
    }
    const QString name = ExtractFileName(source);
    QString target = folder + name;
    ForceDirectoriesOrRaise(folder);
    if (FileExists(target)) {
        if (MessageDlg(GetLangText(10016), mtConfirmation, mbYesNo) == mrNo) {
            Randomize();
            do
                target = folder + IntToStr(Random(99999999)) + QLatin1Char('_') + name;
            while (FileExists(target));
            m_ui->AudioListBox->Items().Add(target);
        }
    } else {
        m_ui->AudioListBox->Items().Add(target);
    }
    // However the settings tab was reached, the title gets its number when it is left.
    AudioTabVisited = true;
    if (QFileInfo(source).canonicalFilePath() != QFileInfo(target).canonicalFilePath() && !CopyFile(source, target, false))
        throw EInOutError(QStringLiteral("Cannot copy \"%1\" to \"%2\"").arg(source, target));
}

void TMainForm::DeleteAudioBitBtnClick()
{
    TListBox& list = *m_ui->AudioListBox;
    const int index = LastSelected(list);
    if (index < 0) {
        Information(10018);
        return;
    }
    if (MessageDlg(GetLangText(10017), mtConfirmation, mbYesNo) == mrNo)
        return;
    MediaPlayer1.Close();
    const QString file = list.Items()[index];
    list.Items().Delete(index);
    DeleteFile(file);
}

void TMainForm::AudioListBoxMouseDown(int x, int y)
{
    AudioDragIndex = m_ui->AudioListBox->ItemAtPos(TPoint{x, y}, true);
}

void TMainForm::AudioListBoxDragOver(QObject* source, bool& accept)
{
    accept = source == m_ui->AudioListBox;
}

void TMainForm::AudioListBoxDragDrop(QObject* source, int x, int y)
{
    TListBox& list = *m_ui->AudioListBox;
    if (source != &list)
        return;
    const int to = list.ItemAtPos(TPoint{x, y}, true);
    const int count = list.Items().Count();
    if (AudioDragIndex >= 0 && AudioDragIndex < count && to >= 0 && to < count && to != AudioDragIndex) {
        list.Items().Move(AudioDragIndex, to);
        // The new order is kept when the tab is left, however the list was filled.
        AudioTabVisited = true;
    }
}

void TMainForm::RenumberAudioFiles()
{
    TBusyCursor busy;
    MediaPlayer1.Close();
    // Each file stays in its own folder (the slideshow's): a list left over from another
    // slideshow never moves files between slideshows.
    NumberAudioFiles(m_ui->AudioListBox->Items().ToStringList());
    ListAudioTitles();
}

void TMainForm::NumberUnlistedAudioTitles(const QString& folder)
{
    if (!NumberAudioTitles(folder))
        return;
    // The list showed these titles under their old names.
    if (folder == DiashowPath() && m_ui->AudioListBox->Items().Count() > 0)
        ListAudioTitles();
}

void TMainForm::LeaveAudioTab()
{
    if (!AudioTabVisited)
        return;
    RenumberAudioFiles();
    AudioTabVisited = false;
}

void TMainForm::AudioTabEntered() { ListAudioTitles(); }

void TMainForm::AudioTabLeft() { LeaveAudioTab(); }

void TMainForm::StopAudio() { MediaPlayer1.Close(); }

void TMainForm::StopAudioAndListTitles()
{
    MediaPlayer1.Close();
    ListAudioTitles();
}

void TMainForm::RenumberAudioTitles() { RenumberAudioFiles(); }

void TMainForm::AudioListBoxClick()
{
    const int index = LastSelected(*m_ui->AudioListBox);
    if (index < 0) {
        Information(10020);
        return;
    }
    MediaPlayer1.FileName = m_ui->AudioListBox->Items()[index];
}

void TMainForm::InfoBitBtnClick()
{
    const int index = LastSelected(*m_ui->AudioListBox);
    if (index < 0) {
        Information(10023);
        return;
    }
    MediaPlayer1.Close();
    CheckAudioForm->AudioFile = m_ui->AudioListBox->Items()[index];
    if (CheckAudioForm->isVisible())
        CheckAudioForm->ReadAudioInfo();
    CheckAudioForm->Show();
}

void TMainForm::PlayBitBtnClick()
{
    if (m_ui->AudioListBox->SelCount() <= 0) {
        Information(10023);
        return;
    }
    MediaPlayer1.Open();
    if (!MediaPlayer1.Play())
        MessageDlg(TMediaPlayer::NoAudioOutputText(), mtWarning, {mbOK});
}

void TMainForm::PauseBitBtnClick()
{
    if (m_ui->AudioListBox->SelCount() <= 0) {
        Information(10023);
        return;
    }
    MediaPlayer1.Pause();
}

void TMainForm::StopBitBtnClick()
{
    if (m_ui->AudioListBox->SelCount() <= 0) {
        Information(10023);
        return;
    }
    MediaPlayer1.Stop();
}

void TMainForm::StartRipperBitBtnClick() { StartCDRipper(); }

void TMainForm::StartCDRipper()
{
    // The ripper reads the CD with cdparanoia: without it, the window that names the package.
    if (FindProgram(QString(), QStringLiteral("cdparanoia")).isEmpty()) {
        NoDriverForm->ShowModal();
        return;
    }
    {
        TIniFile ini(ProgramFolder + QStringLiteral("Ripper.ini"));
        ini.WriteString(QStringLiteral("SETTINGS"), QStringLiteral("DiskPath"), ArchiveRoot);
        ini.WriteString(QStringLiteral("SETTINGS"), QStringLiteral("DiashowDir"), DiashowFolder);
    }
    RunProgramAndWait(ProgramFolder, QStringLiteral("Ripper"), QString());
    ListAudioTitles();
}

int TMainForm::RunProgramAndWait(const QString& folder, const QString& program, const QString& parameters)
{
    TAskRequest request;
    request.Kind = TAskKind::StartProgram;
    request.Text = program;
    request.Data.insert(QStringLiteral("Folder"), folder);
    request.Data.insert(QStringLiteral("Program"), program);
    request.Data.insert(QStringLiteral("Parameters"), parameters);
    const int result = Interaction().Ask(request).Result;
    if (result == -1)
        ShowMessage(QStringLiteral("Error starting ") + program);
    return result;
}
