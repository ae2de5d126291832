// The archive list: which folders of the archive root are slideshows, and the line format
// whose first word names the folder again.
#include "shell/core/Archive.h"

#include "support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

void MakeDiashow(const QString& folder, const QByteArray& title)
{
    QDir().mkpath(folder);
    QFile f(folder + "/Diashow.ini");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[DIASHOW]\r\nTitel=" + title + "\r\nTime=5\r\n");
}

} // namespace

TEST(ArchiveList, LeavesOutFoldersWhoseNameWouldReadBackAsAnother)
{
    const QString root = kvtest::MakeTempFolder("archive");
    MakeDiashow(root + "Urlaub", "Sommer");
    MakeDiashow(root + "Urlaub 2019", "Sommer 2019");
    MakeDiashow(root + " Urlaub", "Blank davor");
    MakeDiashow(root + "Urlaub ", "Blank dahinter");
    MakeDiashow(root + "Archive_0001", "Mit Blanks im Titel");
    const QStringList lines = ListDiashows(root);
    EXPECT_EQ(lines, (QStringList{"Archive_0001 Mit Blanks im Titel", "Urlaub Sommer"}));
    // Every listed line names its own folder again.
    for (const QString& line : lines)
        EXPECT_TRUE(QDir(root + ArchiveLineFolder(line)).exists()) << line.toStdString();
    EXPECT_EQ(ArchiveLineFolder("Archive_0001 Mit Blanks im Titel"), "Archive_0001");
}

TEST(ArchiveList, ListsTitledSlideshowFoldersInScanOrder)
{
    const QString root = kvtest::MakeTempFolder("archive");
    MakeDiashow(root + "Archive_0010", "Zehn");
    MakeDiashow(root + "archive_0002", "");
    MakeDiashow(root + "del", "SPECIALDUMMY");
    MakeDiashow(root + "Model_Archive", "ein DEL im Namen, ohne Rücksicht auf Groß und klein");
    MakeDiashow(root + "Archive_0003.bak", "Punkt");
    MakeDiashow(root + ".versteckt", "Punkt am Anfang");
    QDir().mkpath(root + "Archive_0004");  // no Diashow.ini
    QDir().mkpath(root + "Archive_0005/Diashow.ini");  // a folder, not a file
    const QList<TArchiveEntry> entries = ArchiveEntries(root);
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].Folder, "archive_0002");
    EXPECT_EQ(entries[0].Title, "");
    EXPECT_EQ(entries[0].Line(), "archive_0002 ");
    EXPECT_EQ(entries[1].Line(), "Archive_0010 Zehn");
    EXPECT_TRUE(ListDiashows(root + "missing/").isEmpty());
    EXPECT_TRUE(ListDiashows("").isEmpty());
}
