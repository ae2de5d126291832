// The flat cache names of paths, the names of converted copies and the format names.
#include "shell/core/SourceFolder.h"

#include <gtest/gtest.h>

namespace {

struct DosNameCase {
    const char* Path;  // UTF-8
    const char* Flat;
};

} // namespace

TEST(MakeDosName, ReplacesExpandsAndLowerCases)
{
    const DosNameCase cases[] = {
        {"/Fotos/Bild-1.JPG", "xfotosxbild_1_jpg"},
        // every character that becomes '_'
        {" '.-!$%=\"\u00a7?,\u00b4`\u20ac", "_______________"},
        {"\u00e9\u00e1\u00fa\u00f3\u00ea\u00e2\u00fb\u00f4", "________"},
        {"a&b", "aab"},
        // every character that becomes 'x'
        {"*:()\\/><", "xxxxxxxx"},
        // umlauts expand; the expansions are lower-cased with the rest
        {"\u00e4\u00f6\u00fc\u00c4\u00d6\u00dc\u00df", "aeoeueaeoeuess"},
        {"/M\u00dcNCHEN/Stra\u00dfe.jpg", "xmuenchenxstrasse_jpg"},
        // only A to Z change case; other letters and digits stay
        {"ABCXYZ\u00c9\u00c0\u00c7\u00e0\u00e7\u00f1", "abcxyz\u00c9\u00c0\u00c7\u00e0\u00e7\u00f1"},
        {"Z09_~#+;@[]{}|", "z09_~#+;@[]{}|"},
        {"", ""},
    };
    for (const DosNameCase& c : cases)
        EXPECT_EQ(MakeDosName(QString::fromUtf8(c.Path)), QString::fromUtf8(c.Flat)) << c.Path;
}

TEST(MakeDosName, PathsDifferingOnlyInAReplacedCharacterShareAName)
{
    EXPECT_EQ(MakeDosName("/f/Bild-1.jpg"), MakeDosName("/f/Bild 1.jpg"));
    EXPECT_EQ(MakeDosName("/f/Bild(1).jpg"), MakeDosName("/f/Bild:1*.jpg"));
    EXPECT_NE(MakeDosName("/f/a.jpg"), MakeDosName("/f/b.jpg"));
}

TEST(ThumbnailCacheName, KeysOnPathSizeAndTime)
{
    const QString name = ThumbnailCacheName("/Fotos/Bild-1.JPG", 1234, 1700000000123);
    EXPECT_EQ(name, "xfotosxbild_1_jpg_1234_1700000000123.jpg");
    EXPECT_NE(name, ThumbnailCacheName("/Fotos/Bild-1.JPG", 1235, 1700000000123));
    EXPECT_NE(name, ThumbnailCacheName("/Fotos/Bild-1.JPG", 1234, 1700000000124));
}

TEST(ThumbnailCacheName, LongPathsAreCutAndToldApartByAHash)
{
    const QString deep = "/" + QString("sehr langer Ordnername ").repeated(12);
    const QString a = ThumbnailCacheName(deep + "/a.jpg", 1, 2);
    const QString b = ThumbnailCacheName(deep + "/b.jpg", 1, 2);
    const QString umlauts = ThumbnailCacheName(QString::fromUtf8("/Ä").repeated(150) + "/c.jpg", 1, 2);
    EXPECT_NE(a, b);
    for (const QString& name : {a, b, umlauts}) {
        EXPECT_LE(name.toUtf8().size(), 230) << name.toStdString();
        EXPECT_TRUE(name.endsWith("_1_2.jpg")) << name.toStdString();
    }
    EXPECT_TRUE(a.startsWith("xsehr_langer_ordnername_"));
    // Short paths keep their plain flat name.
    EXPECT_EQ(ThumbnailCacheName("/a.jpg", 1, 2), "xa_jpg_1_2.jpg");
}

TEST(ConvertedCopySuffix, NamesEachConvertedFormat)
{
    EXPECT_EQ(ConvertedCopySuffix(".TIF"), "_tiff.jpg");
    EXPECT_EQ(ConvertedCopySuffix(".GIF"), "_gif.jpg");
    EXPECT_EQ(ConvertedCopySuffix(".JPEG"), "_jpeg.jpg");
    EXPECT_EQ(ConvertedCopySuffix(".BMP"), "_bmp.jpg");
    EXPECT_EQ(ConvertedCopySuffix(".JPG"), "");
    EXPECT_EQ(ConvertedCopySuffix(".bmp"), "");
}

TEST(FileFormatName, KeepsTheTableNamesAsTheyStand)
{
    const std::pair<int, const char*> cases[] = {
        {1, "ZSoft PCX"},
        {6, "Windows BMP"},
        {10, "Jpeg File Interchange Format"},
        {14, "OS/2 BMP "},
        {20, "LEAD  Proprietary"},
        {21, "JPEG  4:1:1"},
        {22, "JPEG  4:1:1"},
        {23, "JPEG  4:2:2"},
        {24, "JPEG  4:2:2"},
        {25, "TIFF  CCITT"},
        {30, "LEAD  Proprietary Lossless"},
        {50, "FILE_CALS"},
        {62, "FILE_CGM"},
        {65, "FILE_CMPNOLOSS"},
        {75, "FILE_PNG"},
        {79, "FILE_RAWICA_G4"},
        {89, "FILE_DICOM_GRAY"},
        {92, "FILE_WIN_CUR"},
        {100, "for ISIS only! use the data as is, from the ISIS Scanner"},
        {101, "JPEG 4:1:1 compressed Exif file"},
        {119, "FILE_ANI"},
        {134, "FILE_FLC"},
        // gaps and numbers outside the table
        {0, "NOT SUPPORTED"},
        {7, "NOT SUPPORTED"},
        {32, "NOT SUPPORTED"},
        {102, "NOT SUPPORTED"},
        {135, "NOT SUPPORTED"},
        {-1, "NOT SUPPORTED"},
    };
    for (const auto& [format, name] : cases)
        EXPECT_EQ(FileFormatName(format), QString::fromLatin1(name)) << format;
}
