#include "output/fCapture.h"

#include "imaging/LEADImage.h"
#include "imaging/LErrCode.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Helpers.h"

#include <QRandomGenerator>

TCaptureForm* CaptureForm = nullptr;

TCaptureForm::TCaptureForm(QWidget* parent) : TForm(parent)
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    // The frames come from the control's back buffer: the window needs no place on the screen.
    setAttribute(Qt::WA_DontShowOnScreen);
    Load([this] {
        LEAD1 = new TLEADImage(this);
        LEAD1->setObjectName(QStringLiteral("LEAD1"));
        LEAD1->move(0, 0);
    });
    LEAD1->setFrameShape(QFrame::NoFrame);
    LEAD1->setBorderStyle(0);
    LEAD1->setAutoScroll(false);
    LEAD1->setPaintSizeMode(TLEADImage::smNormal);
    LEAD1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LEAD1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LEAD1->setSkipEffectDelay(true);
    LEAD1->OnStatus = [this](QObject*, int percent) { LEAD1Status(percent); };
}

TCaptureForm::~TCaptureForm() = default;

void TCaptureForm::ApplyEffectLine(int index)
{
    TStringList lines;
    lines.LoadFromFile(EffectsFile);
    if (RandomEffect && lines.Count() > 1)
        index = int(QRandomGenerator::global()->bounded(lines.Count() - 1));
    if (index < 0 || index >= lines.Count())
        throw EConvertError(QStringLiteral("Effect line %1 does not exist").arg(index + 1));
    EffectLine = index + 1;
    const QString line = lines[index];
    const auto word = [&line](int n) {
        const QString w = ExtractWord(n, line, QStringLiteral(";")).trimmed();
        bool ok = false;
        const int v = w.toInt(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(w));
        return v;
    };
    LEAD1->setEffectDelay(word(2));
    LEAD1->setEffectGrain(word(3));
    LEAD1->setPaintMaxPasses(word(4));
    LEAD1->setPaintEffect(word(1));
    LEAD1->setWandColor(0);
    LEAD1->setWandSize(word(5));
}

int TCaptureForm::Record()
{
    FrameCounter = 0;
    StepCounter = 0;
    LEAD1->setEnableProgressEvent(false);
    LEAD1->setAutoRepaint(false);
    LEAD1->Load(SourceFrame, 0, 0, 1);
    LEAD1->resize(int(LEAD1->BitmapWidth()), int(LEAD1->BitmapHeight()));
    resize(LEAD1->size());
    show();
    LEAD1->setPaintEffect(1000);
    LEAD1->Refresh();
    Capturing = true;
    try {
        ApplyEffectLine(EffectNumber - 1);
    } catch (const EConvertError& e) {
        Capturing = false;
        hide();
        throw EBadEffectLine(e.Message());
    } catch (const ELeadImageError& e) {
        Capturing = false;
        hide();
        throw EBadEffectLine(e.Message());
    }
    LEAD1->Load(TargetFrame, 0, 0, 1);
    LEAD1->setEnableProgressEvent(true);
    // The paint reports its steps as it goes; when it returns the effect is over, whatever
    // percentages it reported.
    LEAD1->Refresh();
    LEAD1->setEnableProgressEvent(false);
    Capturing = false;
    hide();
    return FrameCounter;
}

void TCaptureForm::LEAD1Status(int percent)
{
    if (!Capturing)
        return;
    const int step = std::max(1, 60 / std::max(1, TransitionFrames));
    if (percent < 100 - Round(step * 1.2)) {
        if (++StepCounter == step) {
            Grab();
            StepCounter = 0;
        }
    } else {
        Capturing = false;
    }
}

void TCaptureForm::Grab()
{
    const QImage& buffer = LEAD1->BackBuffer();
    ++FrameCounter;
    const QString name = FramePrefix + QString::number(FrameCounter).rightJustified(3, QLatin1Char('0')) +
                         QStringLiteral(".jpg");
    SavePictureFile(buffer.convertToFormat(QImage::Format_RGB888), name, "JPG", 85);
}
