#pragma once
// The editor and its two dialogs over a program folder of their own, the picture being edited
// in a slideshow folder beside it, and the main window's links replaced by a counter.
#include "support/ScriptedUi.h"
#include "support/TestEnv.h"

#include "editing/fBildbearbeitung.h"
#include "editing/fLeadEffects.h"
#include "editing/fSize.h"
#include "imaging/LEADImage.h"
#include "shell/Windows.h"
#include "ui_fBildbearbeitung.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace kvtest {

inline QByteArray FileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Four flat quadrants: red, green / blue, yellow.
inline QImage FourColourPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, width / 2, height / 2, Qt::red);
    p.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
    p.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
    p.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::yellow);
    return image;
}

// The colour name (r, g, b, y) of the centre of each quadrant of a picture file, "?" when none.
inline QString Quadrants(const QString& path)
{
    const QImage image(path);
    if (image.isNull())
        return QStringLiteral("none");
    QString out;
    const int w = image.width(), h = image.height();
    for (const QPoint pt : {QPoint(w / 4, h / 4), QPoint(3 * w / 4, h / 4), QPoint(w / 4, 3 * h / 4),
                            QPoint(3 * w / 4, 3 * h / 4)}) {
        const QColor c = image.pixelColor(pt);
        const auto near = [&](int r, int g, int b) {
            return std::abs(c.red() - r) < 40 && std::abs(c.green() - g) < 40 && std::abs(c.blue() - b) < 40;
        };
        out += near(255, 0, 0) ? 'r' : near(0, 255, 0) ? 'g' : near(0, 0, 255) ? 'b' : near(255, 255, 0) ? 'y' : '?';
    }
    return out;
}

// The offscreen platform leaves a closed window the focus window, so that showing it again
// would activate nothing: a window shown and hidden first takes its place, as the window
// below does on a desktop.
inline void ActivateSomethingElse()
{
    QWidget below;
    below.show();
    below.activateWindow();
    QCoreApplication::processEvents();
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ProgramFolder = MakeTempFolder(QStringLiteral("program"));
        SlideshowFolder = MakeTempFolder(QStringLiteral("Archive_0001"));
        Picture = SlideshowFolder + QStringLiteral("bild.jpg");
        parent = std::make_unique<QWidget>();
        BildbeaerbeitungForm = new TBildbeaerbeitungForm(parent.get());
        LeadEffectsForm = new TLeadEffectsForm(parent.get());
        SizeForm = new TSizeForm(parent.get());
        Editor().ProgramFolder = ProgramFolder;
        Editor().SelectedPicture = [this] { return Picture; };
        Editor().RefreshSelectedThumbnail = [this] { ++Refreshes; };
        LeadEffectsForm->ProgramFolder = ProgramFolder;
        SizeForm->ProgramFolder = ProgramFolder;
        Editor().resize(1000, 700);
    }
    void TearDown() override
    {
        parent.reset();
        BildbeaerbeitungForm = nullptr;
        LeadEffectsForm = nullptr;
        SizeForm = nullptr;
    }

    TBildbeaerbeitungForm& Editor() { return *BildbeaerbeitungForm; }
    TLEADImage& View() { return *Editor().ui()->BildbViewLEADImage; }

    void WritePicture(const QImage& image, const char* format = "JPEG", int quality = 95)
    {
        ASSERT_TRUE(image.save(Picture, format, quality));
    }

    // Shows the editor modally and runs body while it is open; answer is the reply to the save
    // question at close (0: no question expected).
    void WithEditor(const std::function<void()>& body, int answer = 0)
    {
        Ui().ExpectModal(QStringLiteral("TBildbeaerbeitungForm"), mrCancel, [&](TForm&) {
            body();
            if (answer)
                Ui().ExpectMessage(answer, QStringLiteral("Alle Änderungen an diesem Bild speichern?"));
        });
        ActivateSomethingElse();
        Editor().ShowModal();
    }

    bool UndoFileExists(int n) const { return QFile::exists(ProgramFolder + QStringLiteral("UNDO_%1.jpg").arg(n)); }

    QString ProgramFolder;
    QString SlideshowFolder;
    QString Picture;
    int Refreshes = 0;
    std::unique_ptr<QWidget> parent;
};

} // namespace kvtest
