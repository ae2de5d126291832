// Pictures, work files and videos on a full disk: the save raises naming the file and the
// system's reason, the old file stays as it was, no temporary file is left, and an editor
// change takes its undo step back.
#include "EditorFixture.h"

#include "editing/draw/DrawImage.h"
#include "platform/media/AviWriter.h"
#include "platform/vcl/Graphics.h"
#include "support/FullDisk.h"
#include "support/ProgramFixture.h"

#include <QPushButton>

#include <cstring>
#include <optional>

namespace {

using kvtest::FileBytes;

QStringList Entries(const QString& folder)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                               QDir::Name);
    names.removeAll(QStringLiteral("filler"));
    return names;
}

// Noise compresses badly: its JPEG is far larger than that of a flat picture of its size.
QImage Noise(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb((x * 37 + y * 91) ^ (x * y), (x * 13) ^ (y * 29), (x + y * 7) * 53));
    return image;
}

class FullDiskTest : public kvtest::EditorTest {
protected:
    // The editor's state that a failed change must give back.
    struct EditorState {
        int index, top;
        bool undoOn;
        QByteArray temp;
        QString view;
        bool operator==(const EditorState&) const = default;
    };
    EditorState Now()
    {
        const QString viewFile = ProgramFolder + QStringLiteral("view.bmp");
        EXPECT_EQ(View().Save(viewFile, 6, 24, 0, 0), 1);
        const QString view = kvtest::Quadrants(viewFile) + QString::number(View().BitmapWidth());
        QFile::remove(viewFile);
        return {Editor().UndoIndex, Editor().UndoTop, Editor().ui()->UndoImage->isEnabled(),
                FileBytes(Editor().TempFile()), view};
    }
};

struct SaveCase {
    const char* name;
    bool editor;  // runs in the editor, whose program folder is on the disk
    const char* file;  // the file that must stay as it was
    // The room left on the disk for the save (0: none).
    long long room;
    // Makes the old file (the editor's first change), when the disk still has room.
    std::function<void(const QString& folder)> before;
    std::function<void(const QString& folder)> save;
};

TEST_F(FullDiskTest, ASaveThatFailsLeavesTheOldFileRaisesWithTheReasonAndTakesTheUndoStepBack)
{
    TBitmap frame(16, 12);
    frame.Image().fill(QColor(0x33, 0x66, 0xCC));
    const QString encoderFolder = kvtest::MakeTempFolder(QStringLiteral("encoder"));

    const SaveCase cases[] = {
        // Every write of the change (its undo file first) meets the full disk.
        {"editor writer", true, "Temp.jpg", 0, [](const QString&) { BildbeaerbeitungForm->TransformPicture("90"); },
         [](const QString&) { BildbeaerbeitungForm->TransformPicture("90"); }},
        // The undo file of the flat picture fits, the painter's noisy picture in Temp.jpg
        // does not (on a disk without room the undo file fails first).
        {"art hand-off", true, "Temp.jpg", 12 * 1024,
         [](const QString&) { BildbeaerbeitungForm->TransformPicture("90"); },
         [](const QString&) {
             BildbeaerbeitungForm->Art->WorkBitmap.SetImage(Noise(160, 120), pf24bit);
             BildbeaerbeitungForm->TakeArtResult(false);
         }},
        {"AVI writer", false, "out.avi", 0, [](const QString& f) { kvtest::WriteFile(f + "out.avi", "earlier video"); },
         [&](const QString& f) {
             TAviWriter writer(encoderFolder);
             writer.FileName = f + "out.avi";
             writer.Width = 16;
             writer.Height = 12;
             writer.Bitmaps = {&frame, &frame};
             writer.Write();
         }},
        {"bitmap save", false, "a.bmp", 0, [](const QString& f) { kvtest::WriteFile(f + "a.bmp", "earlier bitmap"); },
         [&](const QString& f) { frame.SaveToFile(f + "a.bmp"); }},
    };

    for (const SaveCase& c : cases) {
        SCOPED_TRACE(c.name);
        kvtest::FullDisk disk;
        const QString folder = disk.Folder();
        const auto attempt = [&] {
            c.before(folder);
            const QString file = folder + c.file;
            const QByteArray old = FileBytes(file);
            ASSERT_FALSE(old.isEmpty());
            const QStringList files = Entries(folder);
            std::optional<EditorState> state;
            if (c.editor)
                state = Now();
            if (c.room > 0)
                disk.FillLeaving(c.room);
            else
                disk.Fill();
            QString message;
            try {
                c.save(folder);
            } catch (const Exception& e) {
                message = e.Message();
            }
            disk.Release();
            // The file's name and the system's reason (the size limit stands in for a
            // disk that cannot be mounted).
            EXPECT_TRUE(message.contains("Cannot create file \"" + folder)) << message.toStdString();
            EXPECT_TRUE(message.contains(QString::fromLocal8Bit(std::strerror(disk.Mounted() ? ENOSPC : EFBIG))))
                << message.toStdString();
            EXPECT_EQ(FileBytes(file), old);
            EXPECT_EQ(Entries(folder), files) << "no temporary file left";
            if (state)
                EXPECT_TRUE(Now() == *state) << "the undo step is taken back";
        };
        if (c.editor) {
            Editor().ProgramFolder = folder;
            ProgramFolder = folder;
            WritePicture(kvtest::FourColourPicture(64, 48));
            WithEditor(attempt, mrNo);
        } else {
            attempt();
        }
    }
}

} // namespace
