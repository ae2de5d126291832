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
#include "platform/vcl/Colors.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StringList.h"
#include "shell/core/Language.h"

#include <QString>

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

    // ---- folders (each with a trailing "/"; the archive folders are set by language at
    //      start-up and stay empty for a language other than GERMAN, ENGLISH and SWEDISH) ----
    QString ProgramFolder;
    QString TempPicFolder;      // ProgramFolder + "temppic/"
    QString ArchiveRoot;        // the slideshows: drive + "Korvanta/" or "Slideshow/"
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
    // The picture list of the open slideshow, made at run time in ListBoxPanel.
    THTMListBox* DiashowListBox = nullptr;

    // ---- the look of the show and the effects -----------------------------------------------
    TColor TextColor = 0;
    TColor BKGColor = 0;
    int TextOffset = 0;
    int EffectNumber = 1;
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
    // Line effectNumber - 1 of EffectList onto the effect preview LEADImage1, one property
    // after the other (a bad word stops there with EConvertError; a number beyond the list
    // raises the list's index error).
    void ApplyEffectLine(int effectNumber);

    // Refills OpenListBox with the slideshows of ArchiveRoot ("folder title" lines) and
    // selects the last one whose title is DiashowTitle.
    void ListDiashows();

    // The freedesktop entry that starts the player: name "Diashow-Player" or
    // "Slideshow-Player", playerPath the player's absolute path.
    static QString PlayerDesktopEntry(const QString& name, const QString& playerPath);

protected:
    void BindEvents() override;
    void FormCreate() override;
    void FormClose(TCloseAction& action) override;

private:
    void SetCaptions();
    void LoadBanner();
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

    std::unique_ptr<Ui::TMainForm> m_ui;
    bool m_settingsLoaded = false;
};
