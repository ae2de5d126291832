#include "shell/core/SourceFolder.h"

#include <QCryptographicHash>

#include <array>

namespace {

// The letters a flat name spells out.
const char* Expansion(QChar c)
{
    switch (c.unicode()) {
    case 0xe4: return "ae";
    case 0xc4: return "Ae";
    case 0xf6: return "oe";
    case 0xd6: return "Oe";
    case 0xfc: return "ue";
    case 0xdc: return "Ue";
    case 0xdf: return "ss";
    default: return nullptr;
    }
}

} // namespace

QString MakeDosName(const QString& path)
{
    static const QString underscored = QStringLiteral(" '.-!$%=\"\u00a7?,\u00b4`\u20ac\u00e9\u00e1\u00fa\u00f3\u00ea\u00e2\u00fb\u00f4");
    static const QString crossed = QStringLiteral("*:()\\/><");
    QString out;
    out.reserve(path.size() + 8);
    for (const QChar c : path) {
        if (underscored.contains(c))
            out += QLatin1Char('_');
        else if (c == QLatin1Char('&'))
            out += QLatin1Char('a');
        else if (crossed.contains(c))
            out += QLatin1Char('x');
        else if (const char* expanded = Expansion(c))
            out += QLatin1String(expanded);
        else
            out += c;
    }
    for (QChar& c : out) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return out;
}

QString ThumbnailCacheName(const QString& path, qint64 size, qint64 modifiedMs)
{
    QString flat = MakeDosName(path);
    // A file name holds at most 255 bytes: a long path is cut and told apart from other
    // paths with the same beginning by a short hash of the whole path.
    constexpr int kMaxFlatBytes = 200;
    if (flat.toUtf8().size() > kMaxFlatBytes) {
        const QByteArray hash =
            QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
        while (flat.toUtf8().size() > kMaxFlatBytes - hash.size() - 1)
            flat.chop(flat.size() >= 2 && flat.at(flat.size() - 1).isLowSurrogate() ? 2 : 1);
        flat += QLatin1Char('_') + QString::fromLatin1(hash);
    }
    return flat + QLatin1Char('_') + QString::number(size) + QLatin1Char('_') + QString::number(modifiedMs) +
           QStringLiteral(".jpg");
}

QString ConvertedCopySuffix(const QString& upperExt)
{
    if (upperExt == QLatin1String(".TIF"))
        return QStringLiteral("_tiff.jpg");
    if (upperExt == QLatin1String(".GIF"))
        return QStringLiteral("_gif.jpg");
    if (upperExt == QLatin1String(".JPEG"))
        return QStringLiteral("_jpeg.jpg");
    if (upperExt == QLatin1String(".BMP"))
        return QStringLiteral("_bmp.jpg");
    return QString();
}

namespace {

struct FormatName {
    int Format;
    const char* Name;
};

// Doubled and trailing blanks are part of the names.
constexpr std::array kFormatNames{
    FormatName{1, "ZSoft PCX"},
    FormatName{2, "CompuServe GIF"},
    FormatName{3, "Tagged Image File Format"},
    FormatName{4, "Targa"},
    FormatName{5, "LEAD CMP"},
    FormatName{6, "Windows BMP"},
    FormatName{10, "Jpeg File Interchange Format"},
    FormatName{11, "Jpeg Tag Image File Format"},
    FormatName{14, "OS/2 BMP "},
    FormatName{15, "Windows Meta File"},
    FormatName{16, "Encapsulated Post Script"},
    FormatName{17, "TIF Format with LZW compression"},
    FormatName{20, "LEAD  Proprietary"},
    FormatName{21, "JPEG  4:1:1"},
    FormatName{22, "JPEG  4:1:1"},
    FormatName{23, "JPEG  4:2:2"},
    FormatName{24, "JPEG  4:2:2"},
    FormatName{25, "TIFF  CCITT"},
    FormatName{26, "LEAD 1 bit, lossless compression"},
    FormatName{27, "CCITT Group3 one dimension"},
    FormatName{28, "CCITT Group3 two dimensions"},
    FormatName{29, "CCITT Group4 two dimensions"},
    FormatName{30, "LEAD  Proprietary Lossless"},
    FormatName{31, "old LEAD 1 bit, lossless compression"},
    FormatName{50, "FILE_CALS"},
    FormatName{51, "FILE_MAC"},
    FormatName{52, "FILE_IMG"},
    FormatName{53, "FILE_MSP"},
    FormatName{54, "FILE_WPG"},
    FormatName{55, "FILE_RAS"},
    FormatName{56, "FILE_PCT"},
    FormatName{57, "FILE_PCD"},
    FormatName{58, "FILE_DXF"},
    FormatName{59, "FILE_AVI"},
    FormatName{60, "FILE_WAV"},
    FormatName{61, "FILE_FLI"},
    FormatName{62, "FILE_CGM"},
    FormatName{63, "EPS with TIFF Preview"},
    FormatName{64, "EPS with Metafile Preview"},
    FormatName{65, "FILE_CMPNOLOSS"},
    FormatName{66, "FILE_FAX_G3_1D"},
    FormatName{67, "FILE_FAX_G3_2D"},
    FormatName{68, "FILE_FAX_G4"},
    FormatName{69, "FILE_WFX_G3_1D"},
    FormatName{70, "FILE_WFX_G4"},
    FormatName{71, "FILE_ICA_G3_1D"},
    FormatName{72, "FILE_ICA_G3_2D"},
    FormatName{73, "FILE_ICA_G4"},
    FormatName{74, "FILE_OS2_2"},
    FormatName{75, "FILE_PNG"},
    FormatName{76, "FILE_PSD"},
    FormatName{77, "FILE_RAWICA_G3_1D"},
    FormatName{78, "FILE_RAWICA_G3_2D"},
    FormatName{79, "FILE_RAWICA_G4"},
    FormatName{80, "FlashPix, no compression"},
    FormatName{81, "FlashPix, compression single color method"},
    FormatName{82, "FlashPix, compression JPEG"},
    FormatName{83, "FlashPix, compression JPEG, specify qFactor"},
    FormatName{84, "compressed Windows BMP"},
    FormatName{85, "TIFF no compression, CMYK data"},
    FormatName{86, "TIFF LZW compression, CMYK data"},
    FormatName{87, "TIFF PackBits compression, RGB data"},
    FormatName{88, "TIFF PackBits compression, CMYK data"},
    FormatName{89, "FILE_DICOM_GRAY"},
    FormatName{90, "FILE_DICOM_COLOR"},
    FormatName{91, "FILE_WIN_ICO"},
    FormatName{92, "FILE_WIN_CUR"},
    FormatName{93, "TIFF YCbCr color space, no compression"},
    FormatName{94, "TIFF YCbCr color space, LZW compression"},
    FormatName{95, "TIFF YCbCr color space, PackBits compression"},
    FormatName{96, "uncompressed RGB Exif file"},
    FormatName{97, "uncompressed YCbCr Exif file"},
    FormatName{98, "JPEG 4:2:2 compressed Exif file"},
    FormatName{99, "Microsoft Fax format"},
    FormatName{100, "for ISIS only! use the data as is, from the ISIS Scanner"},
    FormatName{101, "JPEG 4:1:1 compressed Exif file"},
    FormatName{119, "FILE_ANI"},
    FormatName{134, "FILE_FLC"},
};

} // namespace

QString FileFormatName(int format)
{
    for (const FormatName& entry : kFormatNames) {
        if (entry.Format == format)
            return QString::fromLatin1(entry.Name);
    }
    return QStringLiteral("NOT SUPPORTED");
}
