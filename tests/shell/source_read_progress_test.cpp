// A second read of a source folder, whose thumbnails all come from the cache, shows its
// progress like the first.
#include "MainWindowTestSupport.h"

#include "controls/HTMListBox.h"

#include <QImage>
#include <QProgressBar>
#include <QStatusBar>
#include <gtest/gtest.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::ProgramFixture;
using kvtest::Start;

} // namespace

TEST(SourceFolderRead, ASecondReadShowsTheProgressOfEveryCachedPicture)
{
    ProgramFixture program("ENGLISH");
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(Start());
    const QString pictures = program.Home + "Fotos/";
    QDir().mkpath(pictures);
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}) {
        QImage image(120, 90, QImage::Format_RGB32);
        image.fill(QColor(40, 160, 90));
        ASSERT_TRUE(image.save(pictures + name, "JPG"));
    }
    MainForm->BilderEinlesen(pictures);
    const QStringList first = MainForm->ui()->FileListBox->Items().ToStringList();
    ASSERT_EQ(first.size(), 4);

    QStringList messages;
    QList<int> bar;
    QObject::connect(MainForm->ui()->StatusBar1, &QStatusBar::messageChanged,
                     [&messages](const QString& text) { messages << text; });
    QObject::connect(MainForm->ui()->PicProgressBar, &QProgressBar::valueChanged, [&bar](int v) { bar << v; });
    MainForm->BilderEinlesen(pictures);

    // 1 to 4 of the four pictures; the conversion pass before counts the folder's six entries
    // and never shows these.
    const QString reading = GetLangText(14000) + " %1 " + GetLangText(14001);
    for (int percent : {25, 75, 100}) {
        EXPECT_TRUE(messages.contains(reading.arg(percent))) << percent << " in " << messages.join(" / ").toStdString();
        EXPECT_TRUE(bar.contains(percent)) << percent;
    }
    EXPECT_EQ(MainForm->ui()->FileListBox->Items().ToStringList(), first) << "the same items as the first read";
    EXPECT_EQ(MainForm->ui()->StatusBar1->currentMessage(), "");
    CloseAndEnd();
}
