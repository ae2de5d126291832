// The producer's frames: one frame per picture with its text band, the end card, the
// transitions recorded by the capture window, and the numbered sequence with its hold list.
#include "output/fCapture.h"
#include "output/fDVD.h"
#include "output/video/VideoCore.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/SafeFile.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Helpers.h"
#include "shell/core/Language.h"
#include "ui_fDVD.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>

#include <algorithm>

void TDVDForm::ConvertPictures()
{
    TStringList list;
    list.LoadFromFile(m_ctx.ArchiveRoot + AddBackslash(m_ctx.DiashowFolder) + QStringLiteral("Pictures.ini"));
    PictureList.clear();
    for (int i = 0; i < list.Count(); ++i)
        PictureList << list[i];
    SetStatus(GetLangText(12005));
    AddMemoLine(GetLangText(12005));
    WriteLog(QStringLiteral("START: Convert pictures for video"));
    const int count = int(PictureList.size());
    for (int n = 1; n <= count; ++n) {
        Progress();
        const QString line = PictureList[n - 1];
        const QString path =
            m_ctx.ArchiveRoot + AddBackslash(m_ctx.DiashowFolder) + ExtractWord(1, line, QStringLiteral("|")).trimmed();
        PictureText = ExtractWord(2, line, QStringLiteral("|")).trimmed();
        SetStatus(QStringLiteral("Convert pictures: Picture ") + QString::number(n) + QStringLiteral(" of ") +
                  QString::number(count));
        MakeFrame(path, m_ctx.EncoderFolder + QStringLiteral("inp") + PadLeft(QString::number(n), '0', 4));
        if (Aborted)
            return;
    }
    // The end card of the language; another language gets the English one.
    QString card = m_ctx.ProgramFolder + QStringLiteral("video/EndCard_") + m_ctx.LanguageName.toUpper() +
                   QStringLiteral(".jpg");
    if (!QFile::exists(card))
        card = m_ctx.ProgramFolder + QStringLiteral("video/EndCard_ENGLISH.jpg");
    const QString temp = m_ctx.EncoderFolder + QStringLiteral("Temp.jpg");
    QFile::remove(temp);
    QFile source(card);
    if (!source.copy(temp))
        throw EInOutError(QStringLiteral("Cannot write ") + temp + QStringLiteral(": ") + source.errorString());
    PictureText.clear();
    MakeFrame(temp, m_ctx.EncoderFolder + QStringLiteral("inp") + PadLeft(QString::number(count + 1), '0', 4));
    SetStatus(QStringLiteral("Calculate slides"));
    Repaint();
    if (HighQuality) {
        if (!m_ctx.TransitionsOff)
            MakeTransitions(count);
        QFile::remove(temp);
        NumberFrames();
    } else {
        QFile::remove(temp);
    }
    WriteLog(QStringLiteral("FERTIG: Bilder für Video konvertieren"));
}

void TDVDForm::MakeFrame(const QString& picture, const QString& base)
{
    // On the MPEG road the frame is shown on a 4:3 screen: its pixels are not square.
    const double aspect = HighQuality ? video::DisplayPixelAspect(FrameWidth, FrameHeight) : 1.0;
    video::TPlacement at;
    QString error;
    const QImage scaled = video::LoadPictureForFrame(picture, FrameWidth, FrameHeight, aspect, at, &error);
    if (scaled.isNull())
        throw EInOutError(QStringLiteral("Cannot load ") + picture + QStringLiteral(": ") + error);
    video::TFrameStyle style;
    style.Background = ToQColor(m_ctx.BKGColor);
    style.TextColor = ToQColor(m_ctx.TextColor);
    style.DrawText = m_ctx.DrawText;
    style.Text = PictureText;
    style.FontPoints = VideoMode == QLatin1String("SVCD") ? 18 : 12;
    style.TextOffset = m_ctx.TextOffset;
    const QImage frame = video::ComposeFrame(scaled, at, FrameWidth, FrameHeight, style);
    const QString file = HighQuality ? base + QStringLiteral("_Key.jpg") : base + QStringLiteral(".bmp");
    SavePictureFile(frame, file, HighQuality ? "JPG" : "BMP", HighQuality ? 85 : -1);
    m_ui->SelectVariablesPanel->setPixmap(QPixmap::fromImage(frame));
    WriteLog(QStringLiteral("     Bild konvertiert: ") + QFileInfo(picture).fileName() +
             QStringLiteral("    NACH    encoder/") + QFileInfo(base).fileName());
    AddMemoLine(GetLangText(12004) + QLatin1Char(' ') + QFileInfo(base).fileName());
}

void TDVDForm::MakeTransitions(int count)
{
    for (int n = 1; n <= count && !Aborted; ++n) {
        const QString prefix = m_ctx.EncoderFolder + QStringLiteral("inp") + PadLeft(QString::number(n), '0', 4);
        // Made per transition and freed afterwards, also when the recording fails.
        std::unique_ptr<TCaptureForm> capture = std::make_unique<TCaptureForm>(this);
        CaptureForm = capture.get();
        struct Reset {
            ~Reset() { CaptureForm = nullptr; }
        } reset;
        capture->SourceFrame = prefix + QStringLiteral("_Key.jpg");
        capture->TargetFrame = m_ctx.EncoderFolder + QStringLiteral("inp") + PadLeft(QString::number(n + 1), '0', 4) +
                               QStringLiteral("_Key.jpg");
        capture->EffectNumber = m_ctx.EffectNumber;
        capture->EffectsFile = m_ctx.ProgramFolder + QStringLiteral("Effects.ini");
        capture->RandomEffect = m_ctx.RandomEffect;
        capture->TransitionFrames = m_ctx.TransitionFrames;
        capture->FramePrefix = prefix;
        try {
            capture->Record();
        } catch (const EBadEffectLine& e) {
            // As in the player: a line that is no effect gives a cut.
            WriteLog(QStringLiteral("     Effects.ini line ") + QString::number(capture->EffectLine) +
                     QStringLiteral(": ") + e.Message().simplified() + QStringLiteral(" -> cut"));
        }
        Progress();
        const QString text = QStringLiteral("Calculate slides: Picture ") + QString::number(n) + QStringLiteral(" of ") +
                             QString::number(count);
        SetStatus(text);
        WriteLog(text);
    }
}

void TDVDForm::NumberFrames()
{
    QDir dir(m_ctx.EncoderFolder);
    QStringList files;
    for (const QString& name : dir.entryList({QStringLiteral("*.jpg")}, QDir::Files | QDir::Hidden))
        files << m_ctx.EncoderFolder + name;
    std::sort(files.begin(), files.end(), video::FrameFileLess);
    const bool svcd = VideoMode == QLatin1String("SVCD");
    const QSize resample = IsPal() ? QSize(480, 576) : QSize(480, 480);
    QStringList holds;
    const int m = int(files.size());
    for (int i = 0; i < m; ++i) {
        const QString target = m_ctx.EncoderFolder + video::SequenceFileName(i);
        if (files[i].contains(QLatin1String("_Key."))) {
            const long long frames = i == m - 1 ? 100 : video::HoldFrames(m_seconds);
            holds << video::SequenceFileName(i) + QLatin1Char('*') + QString::number(frames);
        }
        if (Aborted)
            return;
        QFile::remove(target);
        if (!QFile::rename(files[i], target))
            throw EInOutError(QStringLiteral("Cannot rename ") + files[i]);
        if (svcd) {
            const QString text = GetLangText(12006) + QLatin1Char(' ') + QString::number(i + 1) + QLatin1Char('/') +
                                 QString::number(m);
            SetStatus(text);
            if (i % 25 == 0)
                Repaint();
            QImage frame(target);
            if (frame.isNull())
                throw EInOutError(QStringLiteral("Cannot resample ") + target);
            SavePictureFile(frame.scaled(resample, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), target, "JPG", 90);
        }
    }
    WriteFileSafely(m_ctx.EncoderFolder + QStringLiteral("Test_quantity.nno"),
                    (holds.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
}
