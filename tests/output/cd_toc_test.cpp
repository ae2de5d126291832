// The track table of `cdparanoia -Q` and the names ripped tracks get.
#include "AudioFixtures.h"

#include "output/audio/CdToc.h"

namespace {

TEST(CdToc, TracksOfTheTableOnly)
{
    const QString table = QStringLiteral(
        "cdparanoia III release 10.2 (September 11, 2008)\n\n"
        "Table of contents (audio tracks only):\n"
        "track        length               begin        copy pre ch\n"
        "===========================================================\n"
        "  1.    16771 [03:43.46]        0 [00:00.00]    no   no  2\n"
        "  2.    18167 [04:02.17]    16771 [03:43.46]    no   no  2\n"
        " 10.      700 [00:09.25]    34938 [07:45.63]    OK   no  2\n"
        "TOTAL   35638 [07:55.13]    (audio only)\n");
    EXPECT_EQ(ParseCdparanoiaToc(table), (QList<int>{1, 2, 10}));
    EXPECT_TRUE(ParseCdparanoiaToc(QStringLiteral("Unable to open disc.  Is there an audio CD in the drive?\n")).isEmpty());
    EXPECT_TRUE(ParseCdparanoiaToc(QString()).isEmpty());
}

TEST(CdToc, RippedTrackNeverTakesATakenName)
{
    const QString folder = kvtest::MakeTempFolder(QStringLiteral("rip"));
    EXPECT_EQ(RippedTrackPath(folder, 3), folder + QStringLiteral("Track03.wav"));
    kvtest::WriteBytes(folder + QStringLiteral("Track03.wav"), "x");
    EXPECT_EQ(RippedTrackPath(folder, 3), folder + QStringLiteral("Track03_2.wav"));
    kvtest::WriteBytes(folder + QStringLiteral("Track03_2.wav.part"), "x");  // a rip under way
    EXPECT_EQ(RippedTrackPath(folder, 3), folder + QStringLiteral("Track03_3.wav"));
    EXPECT_EQ(RippedTrackPath(folder, 12), folder + QStringLiteral("Track12.wav"));
}

} // namespace
