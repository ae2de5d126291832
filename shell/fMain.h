#pragma once
// TMainForm: the main window. One class over several files, split by concern:
//   fMain.cpp           construction, the binding table, the run-time slideshow list, file
//                       deletion by mask, the temporary folders
//   fMain_captions.cpp  the caption table of the window's texts
//   fMain_start.cpp     start-up (FormCreate): folders, player kit, samples; shutdown
//                       (FormClose)
//   fMain_settings.cpp  Generator.ini on the settings controls, the effect line of the
//                       effect preview
//   fMain_help.cpp      the help menu
#include "output/PrintChoices.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StringList.h"
#include "shell/MediaPlayer.h"
#include "shell/core/Language.h"
#include "shell/core/PlayerData.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QTimer;
class THTMListBox;

namespace Ui {
class TMainForm;
}

// One line of the caption table: the component (found by its name: a widget, menu, menu
// item or tab of the window), the text number, and whether the text is the component's hint
// rather than its caption.
struct TMainCaption {
    const char* Component;
    LangText Text;
    bool Hint = false;
};

class TMainForm : public TForm {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    Ui::TMainForm* ui() const { return m_ui.get(); }

    // The captions that FormCreate takes from the language file, in the window's order.
    static const std::vector<TMainCaption>& CaptionTable();

    // ---- folders (each with a trailing "/"; the archive root is the drive's "Korvanta/" in
    //      every language, the video and screensaver folders are named by language) ----
    QString ProgramFolder;
    QString TempPicFolder;      // ProgramFolder + "temppic/"
    QString ArchiveRoot;        // the slideshows: drive + "Korvanta/"
    QString VideoFolder;        // drive + "DVD-Diashow/" or "DVD-Slideshow/"
    QString EncoderFolder;      // VideoFolder + "encoder/"
    QString ExportFolder;       // drive + "CDROM-Export/"
    QString ScreensaverFolder;  // documents + "Diashow_Screensaver/" or "Slideshow_Screensaver/"
    QString MyDocumentsFolder;  // the user's documents
    // The archive's drive letter as Generator.ini holds it ("C" is the home folder).
    QString ArchiveDrive;

    // ---- the open slideshow ---------------------------------------------------------------
    QString DiashowFolder;   // folder name only ("Archive_0007"); empty until one is given
    QString DiashowTitle;
    QString DiashowTime;     // seconds per picture as typed
    QString SelectedPicture;
    QString SourceFolder;    // the folder the source pictures were read from
    // The folder the user chose last in the picture dialog (SourceFolder may be temppic/);
    // kept as "SourcePicturesPath" in Generator.ini.
    QString SourcePicturesPath;
    // The picture list of the open slideshow, made at run time in ListBoxPanel.
    THTMListBox* DiashowListBox = nullptr;

    // ---- the look of the show and the effects -----------------------------------------------
    TColor TextColor = 0;
    TColor BKGColor = 0;
    int TextOffset = 0;
    int EffectNumber = 1;
    // Which picture the effect preview loads next: set, Preview1.jpg; clear, Preview2.jpg.
    bool PreviewToggle = false;
    int VideoFrameRate = 25;
    int TransitionFrames = 12;
    // The lines of Effects.ini (line n - 1 is effect n), from start-up to the close.
    std::unique_ptr<TStringList> EffectList;
    // Work lists for moving list items, from start-up to the close.
    std::unique_ptr<TStringList> WorkList1;
    std::unique_ptr<TStringList> WorkList2;
    int ProgressIndex = 0;
    int ProgressLastIndex = 0;

    // Timers of the list previews (200 ms, idle until a click starts them).
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;

    // ---- operations -----------------------------------------------------------------------
    // Makes the slideshow list in ListBoxPanel; FreeDiashowListBox detaches it and deletes it
    // once control is back in the event loop.
    void CreateDiashowListBox();
    void FreeDiashowListBox();
    // Deletes every file (not folder) matching mask, a path whose last part may hold
    // wildcards ("/prog/UNDO*.jpg"). A file that cannot be deleted stays; nothing is
    // reported. A mask that is not an absolute path deletes nothing.
    void DeleteFilesByMask(const QString& mask);
    // Deletes every file of TempPicFolder.
    void ClearTempPicFolder();
    // Deletes the JPEG conversions made in folder while reading source pictures.
    void DeleteConvertedCopies(const QString& folder);
    // Deletes the thumbnails of the open slideshow whose picture is gone.
    void DeleteStaleThumbnails();
    // The menus that need an open slideshow: Diashow, Drucken, Import, CD für Fotolabor,
    // Einstellungen.
    void SetDiashowMenusEnabled(bool enabled);

    // Generator.ini (section SETTINGS) into the settings controls and fields, and back.
    // LoadSettings runs the full-screen and effect-mode handlers with the values read.
    void LoadSettings();
    void SaveSettings();
    // True once LoadSettings has run: the close saves the settings only then, so that a
    // start that stopped early never writes the controls' defaults over the user's file.
    bool SettingsLoaded() const { return m_settingsLoaded; }
    // True when the start stopped early (an unknown or absent drive, no Effects.ini): the window
    // then offers the archive tab without a slideshow to make, and the general settings.
    bool StartStopped() const { return m_startStopped; }
    // Line effectNumber - 1 of EffectList onto the effect preview LEADImage1, one property
    // after the other (a bad word stops there with EConvertError; a number beyond the list
    // raises the list's index error).
    void ApplyEffectLine(int effectNumber);

    // Refills OpenListBox with the slideshows of ArchiveRoot ("folder title" lines) and
    // selects the last one whose title is DiashowTitle.
    void ListDiashows();

    // ---- the slideshow archive (fMain_archive.cpp) ------------------------------------------
    // The open slideshow's folder with a trailing "/" ("" while no name is given).
    QString DiashowPath() const;
    QString NextArchiveName() const;
    QString MakeUniqueFileName(const QString& path) const;
    // Loads the slideshow of folder (a folder name of ArchiveRoot). The template "del", and a
    // folder without Diashow.ini, open as a fresh untitled slideshow under NextArchiveName.
    void OpenDiashowFolder(const QString& folder);
    // True when a line of OpenListBox is selected, else text 10026 and false.
    bool IsDiashowSelected();
    // Copies the picture at path into the open slideshow (made when missing) and inserts its
    // item at index of DiashowListBox; a failed copy shows text 10000 and inserts nothing.
    void AddPictureToDiashow(const QString& path, int index);
    void DeletePictureFromDiashow(int index);
    // Rewrites Pictures.ini from DiashowListBox.
    void SavePicturesIni();
    void UpdateDiashowLabel();
    // The item text of a picture of DiashowListBox, and the name and text taken back out of
    // one (plain text: both are escaped in the item).
    static QString PictureItem(const QString& thumbnailPath, const QString& name, const QString& text,
                               bool withText);
    static QString PictureItemName(const QString& item);
    static QString PictureItemText(const QString& item);
    static bool PictureItemHasText(const QString& item);
    // Shows TNewForm emptied; true (DiashowTitle set) when a title was given.
    bool AskDiashowTitle();
    // True when the open slideshow has a title, else asks for one first.
    bool EnsureDiashowTitle();
    // Handlers of the archive tab and the file menu.
    void NewBitBtnClick();
    void Open1BitBtnClick();
    void OpenListBoxDblClick();
    void Delete1BitBtnClick();
    void NewDiashow1Click();
    void OpenDiashow1Click();
    void DeleteDiashow1Click();
    // ---- end of the slideshow archive ---------------------------------------------------------

    // The freedesktop entry that starts the player: name "Diashow-Player" or
    // "Slideshow-Player", playerPath the player's absolute path.
    static QString PlayerDesktopEntry(const QString& name, const QString& playerPath);

    // ---- source folders and thumbnails (fMain_source.cpp) ----------------------------------
    // The picture dialog; the chosen picture's folder is read into FileListBox.
    void OpenBitBtnClick();
    // Reads folder (trailing "/") into FileListBox. TIFF, GIF, BMP and ".jpeg" pictures
    // send the whole folder to TempPicFolder, where they get JPEG copies; a picture that
    // cannot be converted is skipped and named in a box after the read.
    void BilderEinlesen(const QString& folder);
    // One thumbnail of file, height pixels high, framed as LEADImage3 is set up: in the
    // thumbnail cache (inThumbsFolder) or as "_THUMB_" + name beside the picture. An
    // existing target is kept unless force. False when no thumbnail could be made.
    bool MakeThumbnail(const QString& file, int height, bool inThumbsFolder, bool force);
    // The thumbnail MakeThumbnail writes for file.
    QString ThumbnailPath(const QString& file, bool inThumbsFolder) const;
    // The status line of the picture just loaded into ViewLEADImage.
    void ShowPictureInfo(const QString& file);
    // Deletes the JPEG copies in folder that this run made (never a user's own file that
    // happens to carry such a name).
    void DeleteOwnConvertedCopies(const QString& folder);
    // BilderEinlesen without the closing box of skipped pictures.
    void ReadSourceFolder(const QString& folder);
    // The cached thumbnails of the named pictures of folder, made on worker threads (as many
    // as the machine has cores), and their FileListBox items, added in the order of names.
    void MakeSourceThumbnails(const QString& folder, const QStringList& names);
    // The converted copies this run made and still holds, full paths.
    QStringList ConvertedCopies;
    // The pictures the last read could not convert, file names.
    QStringList SkippedPictures;
    // ---- end of source folders and thumbnails ----------------------------------------------

    // ---- building the slideshow (fMain_building.cpp) -----------------------------------------
    // ">" and ">>": the selected or all source pictures into the open slideshow, in the order
    // of the source list. "<" and "<<": the selected or all pictures out of it ("<<" asks).
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    // A double click in the source list adds the selected pictures, as ">" does.
    void FileListBoxDblClick();
    // The full path of a FileListBox item's picture.
    QString SourcePicturePath(const QString& item) const;
    // A user's edit of TextEdit: the current slideshow item takes the text. Pictures.ini of
    // the slideshow follows shortly after the last keystroke.
    void TextEditChange(const QString& text);
    // Writes the pending Pictures.ini save now (nothing when none is pending). Runs by
    // itself before the slideshow list goes, before a new slideshow and before the close.
    void FlushPicturesIni();
    bool PicturesIniPending() const { return PendingPicturesList != nullptr; }
    // Delay between the last keystroke and the save.
    static constexpr int PicturesIniDelay = 1000;
    // The pending save: the list whose texts wait, and the slideshow folder they belong to.
    THTMListBox* PendingPicturesList = nullptr;
    QString PendingPicturesFolder;
    QTimer* PicturesIniTimer = nullptr;
    QMetaObject::Connection PendingListGone;
    void AddSourcePictures(bool selectedOnly);
    // TextEdit shows the text of the current slideshow item, or nothing without one; run
    // whenever code changes the current item, so that typing never lands on another picture.
    void ShowCurrentItemText();
    // The user took the last picture out of the open slideshow in this run: only then may
    // the JPEG files left in its folder go (after a question), never after a list that
    // merely failed to load.
    bool DiashowEmptiedByUser = false;
    void DeleteLeftoverPictures();
    void AfterUserRemoval();
    // ---- end of building the slideshow -------------------------------------------------------

    // ---- turning pictures, dragging, keys, title and time (fMain_turn_drag.cpp) ------------------------------
    // The last drag began in FileListBox; where an internal drag began, or where dropped
    // pictures go; something is dragged over the slideshow list; its scroll position then.
    bool DragFromSourceList = false;
    int DragIndex = -1;
    bool DraggingOverList = false;
    int DragScrollPos = 1;
    bool ShiftCtrlDown = false;
    int SavedListIndex = -1;
    // "90", "-90", "180", "FlipV" (left and right swapped) or "FlipH" (top and bottom) on the
    // current slideshow picture, saved over its copy in the slideshow. Nothing without a
    // current item; a failure is reported in a box and changes nothing.
    void RotateOrFlipPicture(const QString& operation);
    // SelectedPicture := the full path of the current slideshow picture ("" without one).
    void SelectedPicturePath();
    // A new numbered thumbnail of the current picture, which its item then shows.
    void RefreshSelectedThumbnail();
    // The image editor's hand-offs (fMain_editor.cpp): the editor's links to this window, its
    // button and the double clicks on the slideshow list and the preview. The editor opens
    // only while a slideshow picture is current.
    void BindEditor();
    bool SlideshowPictureCurrent() const;
    void BildbearbeitungBitBtnClick();
    void DiashowListBoxDblClick();
    void ViewLEADImageDblClick();
    // Selects index alone (the last item when index is -1 or beyond the list) and makes it
    // current.
    void SelectItemAfterDrop(int index);
    void FileListBoxDragOver(bool& accept);
    void DiashowListBoxMouseDown(int x, int y);
    void DiashowListBoxDragOver(QObject* source, int x, int y, bool& accept);
    void DiashowListBoxDragDrop(QObject* source, int x, int y);
    void DiashowListBoxEndDrag(QObject* target, int x, int y);
    void DiashowListBoxKeyDown(int& key);
    void DiashowListBoxKeyUp(int& key);
    void TitleEditChange(const QString& text);
    void SecEditChange(const QString& text);
    // Gives every slideshow list made in ListBoxPanel its handlers.
    void BindDiashowListBoxEvents();
    void BindDiashowListBox(THTMListBox* box);
    // ---- end of turning pictures, dragging, keys, title and time ----------------------------------------------

    // ---- the preview (fMain_preview.cpp) --------------------------------------------------
    // A click in either list starts its 200 ms timer; the timer shows the picture in
    // ViewLEADImage. A click in the slideshow list also puts the item's text into TextEdit.
    void FileListBoxClick();
    void DiashowListBoxClick();
    // The slideshow list's timer waits while Shift or Ctrl is held, and stops waiting once
    // the keyboard shows neither held (a key-up the list never saw).
    void Timer1Timer();
    void Timer2Timer();
    // item: a list item or a file name of the source list (a slideshow file name with
    // slideshow), or a full path. Unless force, the item shown last is not loaded again.
    void ShowPicturePreview(const QString& item, bool slideshow, bool force);
    // The turn buttons and TextLabel follow whether a slideshow picture is current.
    void EnablePictureTools();
    void DisablePictureTools();
    QString PreviewFile;
    QString LastPreviewItem;
    // The slideshow picture name left the slideshow: the preview neither shows it nor loads
    // it any more.
    void ForgetPreviewOf(const QString& name);
    // The keyboard's modifiers (tests replace it).
    std::function<Qt::KeyboardModifiers()> KeyboardModifiers;
    // ---- end of the preview -----------------------------------------------------------------

    // ---- printing (fMain_print.cpp) ---------------------------------------------------------
    // PrintWidth, PaperFormat, PrintPictureText, PrintHeadline and PrintAll of the print
    // dialogs and reports.
    TPrintChoices PrintChoices;
    // The state a print run reads: folders, title, the slideshow's items, the choices.
    TPrintSource PrintSource() const;
    // The default printer's name; "Kein Standard-Drucker" when the machine has none.
    QString DefaultPrinterName() const;
    // The print size dialog, then the picture list on A4 or A5: previewed when the preview
    // option is on, else printed (into a PDF file the user names when there is no printer).
    void PrintPictureList();
    // The thumbnail sheet of the whole slideshow, previewed or printed.
    void PrintThumbnailOverview();
    // The print rows of the make wizard: the checked pictures (the print selection first),
    // all pictures, the thumbnail sheet; each ends on the picture tab.
    void MakePrintSelected();
    void MakePrintAll();
    void MakePrintThumbnails();
    void DruckenBitBtnClick();
    void AlleDrucken1Click();
    void AusgewhlteDrucken1Click();
    void bersichtThumbnailsDrucken2Click();
    void AlleBilderausdemKorvantadrucken1Click();
    void AusgewhlteBilderausdemKorvantadrucken1Click();
    void BindPrintEvents();
    // ---- end of printing ----------------------------------------------------------------------
    // ---- audio titles and the CD ripper (fMain_audio.cpp) -----------------------------------
    // The titles were listed on the slideshow settings tab since the last renumbering.
    bool AudioTabVisited = false;
    // The item where a drag inside AudioListBox began (-1: none).
    int AudioDragIndex = -1;
    // Plays the title chosen last by a click.
    TMediaPlayer MediaPlayer1;
    // Refills AudioListBox with the slideshow folder's MP3 and WAV files (full paths, sorted
    // ignoring case); each title that is not 44,100 Hz stereo is reported and stays listed.
    void ListAudioTitles();
    // Renames the listed files "Audio" + three digits + their extension in list order (two
    // passes over "_F_" names, so titles can swap numbers) and lists them again.
    void RenumberAudioFiles();
    // The slideshow settings tab is being left, by any path (a tab click, "Abbrechen", making
    // a show): renumbers the titles once when they were listed there since the last time.
    void LeaveAudioTab();
    // The titles of a slideshow folder that the player would not play (put there by the
    // first start, by hand, or added to a list that was never renumbered) get their numbers
    // in the order of their names; run before a slideshow is shown, exported or installed.
    void NumberUnlistedAudioTitles(const QString& folder);
    // Checks for the ripping tool, writes Ripper.ini, runs the ripper and lists the titles.
    void StartCDRipper();
    // Runs program from folder (a name in folder, else on PATH) with parameters and waits for
    // it, the window answering meanwhile; "Error starting " + program when it cannot start.
    // Returns the program's exit code, or -1 when it did not start.
    int RunProgramAndWait(const QString& folder, const QString& program, const QString& parameters);
    // The rejection message of a title that is not 44,100 Hz stereo.
    static QString AudioRejectionText(const QString& file);
    // True when the analyser's last reading gave 44,100 Hz stereo.
    static bool AudioFitsSlideshow();
    void OpenAudioBitBtnClick();
    void DeleteAudioBitBtnClick();
    void InfoBitBtnClick();
    void PlayBitBtnClick();
    void PauseBitBtnClick();
    void StopBitBtnClick();
    void AudioListBoxClick();
    void AudioListBoxMouseDown(int x, int y);
    void AudioListBoxDragOver(QObject* source, bool& accept);
    void AudioListBoxDragDrop(QObject* source, int x, int y);
    void StartRipperBitBtnClick();
    void BindAudioEvents();
    // ---- end of audio titles ------------------------------------------------------------------
    // ---- making the show (fMain_make.cpp, fMain_export.cpp, fMain_tabs.cpp) ------------------
    // Saves Pictures.ini, Diashow.ini and the player's Settings.ini; with start, starts the
    // player with "TEST". An empty title (10001) or list (10002) writes and starts nothing.
    void SaveDiashow(bool start);
    // "Diashow erzeugen" on the slideshow settings tab: the PC show or the video CD.
    void MakeDiashowBitBtnClick();
    // "Abbrechen" there: back to the picture tabs.
    void AbbrechenBitBtnClick();
    // Carries out the choice checked in the make wizard (MakeChoiceTable's rows in order).
    void RunMakeWizardChoice();
    // Stops the music and relists the audio titles; then shows the make wizard (ask) and
    // carries out its choice on OK, or carries out the choice already checked.
    void StopAudioAndRunMakeWizard(bool ask);
    // A menu or button that stands for a make wizard choice (radioName).
    void MakeWizardChoiceClick(const char* radioName);
    // A row of the make wizard's dispatch: the choice's radio button and the entry that makes
    // its output (nullptr while its window is not built: the radio button is then disabled).
    struct TMakeChoiceRow {
        const char* Radio;
        void (TMainForm::*Run)();
    };
    static const std::vector<TMakeChoiceRow>& MakeChoiceTable();
    // Disables the wizard's radio buttons of rows without an entry.
    void EnableMakeChoices();
    // Shows the video CD wizard (set by the video output; unset: the video CD is not offered).
    std::function<void()> ShowVideoWizard;
    // The rows this window carries out itself.
    void MakeShowSettingsTab();
    void MakeOnlinePhotoExport();
    void MakePhotoLabExport();
    void MakeCDROMExport();
    void MakeScreensaver();
    // The HTML gallery window, then the hint that the gallery is made (fMain_gallery.cpp).
    void MakeHTMLGallery();
    // The export folder emptied (into the trash) and made again.
    void RecreateExportFolder();
    // The slideshows ticked in the export selection into ExportFolder: mode 1 their JPEG
    // pictures only, mode 0 the player kit and the whole slideshows.
    void ExportToCDFolder(int mode);
    void InstallScreensaver();
    // The screensaver copy at program registered in ~/.xscreensaver, when the user has one.
    void RegisterScreensaver(const QString& program);
    // Menu "Import": the older product's slideshows from ImportSourceFolder().
    void DiashowsvonVintrelimportieren1Click();
    QString ImportSourceFolder() const;
    // The user's tab changes (never a page set by code).
    void PageControl1Change(int index);
    // The player in the archive root, and the settings it gets from the controls.
    QString PlayerPath() const;
    TPlayerSettings PlayerSettingsFromControls() const;
    // ---- end of making the show ------------------------------------------------------------

    // ---- the picture viewer (fMain_viewer.cpp) ---------------------------------------------
    // The viewer for the slideshow selected in OpenListBox: text 10026 without a selection,
    // 10031 when its folder holds no picture.
    void BetrachterBitBtnClick();
    // The make wizard's viewer row: the archive listed, the viewer, then the picture tab.
    void MakeViewer();
    // ---- end of the picture viewer ---------------------------------------------------------

    // ---- activation and the general settings (fMain_general.cpp) -----------------------------
    // The user chose another drive since the settings were last applied.
    bool DriveChanged = false;
    void Allgemein1Click();
    // Saves the settings and the slideshow; after a drive change asks 10021: Yes ends the
    // program (the next start uses the new drive), No keeps the drive the program started with.
    void Uebernehmen2BitBtnClick();
    void DriveComboBox1Click();
    void DriveComboBox1Change();
    void BKGColorButtonClick();
    void TextcolorButtonClick();
    void SpinEdit2Change();
    // Ticked: NoTip.ini deleted and the tip shown at once.
    void TipsCheckBoxClick();
    // ---- end of activation and the general settings -----------------------------------------

protected:
    void BindEvents() override;
    void FormCreate() override;
    void FormClose(TCloseAction& action) override;
    // The tip of the day at the first activation of a run, unless NoTip.ini exists.
    void FormActivate() override;

private:
    void SetCaptions();
    void LoadBanner();
    // The steps of FormCreate that can stop the start: the effect list, the settings, the
    // archive's folders and files, the list of slideshows.
    void StartArchive();
    // Leaves a window whose start stopped early safe to use.
    void StartStoppedEarly();
    void SetArchiveFolders();
    void MakeWorkFolders();
    void CopySamplesOnFirstStart();
    void CopyTemplatesAndKit();
    void WriteDesktopLink();
    void WritePlayerTexts();
    void ApplyStartGeometry();
    void FillDriveComboBox();
    void SelectDrive(const QString& drive);

    // Handlers.
    void FullscreenCheckBoxClick();
    void OFFRadioButtonClick();
    void Programmbeenden1Click();
    // Making the show (fMain_make.cpp, fMain_tabs.cpp).
    void BindMakeEvents();
    void ShowMakingTabs(bool making);
    bool AskExportSelection(LangText label, bool cropTip);
    void ShowExportDone(LangText label);
    void AudioTabEntered();
    void AudioTabLeft();
    void StopAudio();
    void StopAudioAndListTitles();
    void RenumberAudioTitles();
    // The effect preview (fMain_effects.cpp): the chosen effect line, then the other preview
    // picture, so that each change shows the effect as a transition.
    void SpinEdit1Change();
    void ShowAgainButtonClick();

    void BindGeneralEvents();

    std::unique_ptr<Ui::TMainForm> m_ui;
    bool m_settingsLoaded = false;
    bool m_startStopped = false;
    bool m_tipOffered = false;  // the tip of the day was offered in this run
    QString m_startDrive;       // ArchiveDrive before the first unapplied drive change
};
