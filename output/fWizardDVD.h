#pragma once
// TDVDWizardForm: the video CD wizard. Asks for the kind (VCD or SVCD, without or with
// transitions) and the television standard, shows the space the video needs beside the free
// space of the archive drive, rewrites the slideshow's Pictures.ini and starts the producer
// (TDVDForm::MakeVideo). The producer reads the standard and kind buttons while it runs.
#include "output/VideoContext.h"
#include "output/video/VideoCore.h"
#include "platform/vcl/Forms.h"

#include <memory>

namespace Ui {
class TDVDWizardForm;
}

class TDVDWizardForm : public TForm {
    Q_OBJECT
public:
    explicit TDVDWizardForm(QWidget* parent = nullptr);
    ~TDVDWizardForm() override;

    Ui::TDVDWizardForm* ui() const { return m_ui.get(); }

    // Free space of the drive in MB (halves to even); another character than A..Z leaves
    // FreeMB as it is.
    void ReadVolumeInfo(QChar drive);
    // FreeMB of the file system that holds the video folder.
    void ReadVideoFolderSpace(const TVideoContext& c);
    // Fills both space boxes; false when the checked kind needs more than the free space
    // (or the seconds per picture are no number above zero).
    bool CheckDiskSpace();
    // Rewrites Pictures.ini and makes the video when it fits, otherwise says so.
    void StartVideo(const QString& mode);
    // The checked kind (VCD when none is checked).
    video::TVideoKind Kind() const;

    long long FreeMB = 0;

protected:
    void BindEvents() override;
    void FormCreate() override;
    void FormActivate() override;

private:
    void WeiterBitBtnClick();
    void ZurueckBitBtnClick();
    void AbortBitBtnClick();
    void HilfeBitBtnClick();

    std::unique_ptr<Ui::TDVDWizardForm> m_ui;
};

extern TDVDWizardForm* DVDWizardForm;
