#pragma once
// TCaptureForm: records one transition of a video. It shows SourceFrame in its picture
// control, sets the effect of line EffectNumber of Effects.ini (a random line with
// RandomEffect), loads TargetFrame and lets the control paint it with the effect; every
// `step`-th progress report below the closing percentage grabs a frame from the control's
// back buffer (never from the screen, so other windows cannot spoil it and the window stays
// off the screen) into FramePrefix + counter (3 digits) + ".jpg" at JPEG quality 85. The
// recording ends after the effect's last report, whatever its percentages.
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/Forms.h"

class TLEADImage;

class EBadEffectLine : public Exception {
public:
    using Exception::Exception;
};

class TCaptureForm : public TForm {
    Q_OBJECT
public:
    explicit TCaptureForm(QWidget* parent = nullptr);
    ~TCaptureForm() override;

    QString SourceFrame;
    QString TargetFrame;
    QString FramePrefix;
    int EffectNumber = 1;
    QString EffectsFile;
    bool RandomEffect = false;
    int TransitionFrames = 12;

    // Records the transition; the number of frames grabbed. An effect line that is no effect
    // (words that are no numbers, a value the control refuses) raises EBadEffectLine before
    // any frame is grabbed: the caller makes a cut there.
    int Record();
    void ApplyEffectLine(int index);

    TLEADImage* LEAD1 = nullptr;
    int FrameCounter = 0;
    int EffectLine = 0;  // the 1-based line of Effects.ini last applied

private:
    void LEAD1Status(int percent);
    void Grab();

    bool Capturing = false;
    int StepCounter = 0;
};

extern TCaptureForm* CaptureForm;
