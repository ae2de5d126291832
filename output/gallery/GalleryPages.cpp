#include "output/gallery/GalleryPages.h"

#include "controls/HTMLEscape.h"
#include "platform/vcl/SysUtils.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

// Characters that become "_" (the Windows-1252 ones by their code point).
const QString kToUnderscore = QStringLiteral(" '.-!$%=\"?,`#") + QChar(0x20AC) + QChar(0xA7) + QChar(0xB4) +
                              QChar(0xE1) + QChar(0xE2) + QChar(0xE9) + QChar(0xEA) + QChar(0xF3) + QChar(0xF4) +
                              QChar(0xFA) + QChar(0xFB);
const QString kToX = QStringLiteral("*:()\\/><");

const char* const kFont1 = "<font face=\"Verdana,Arial\" size=\"1\">";
const char* const kThumbAlt = "Klicken Sie auf das Bild, um es zu vergr&ouml;&szlig;ern";

bool IsGerman(const QString& language) { return language == QLatin1String("GERMAN"); }
bool IsEnglishOrSwedish(const QString& language)
{
    return language == QLatin1String("ENGLISH") || language == QLatin1String("SWEDISH");
}

QString TitleLine(const TProductInfo& product)
{
    return QStringLiteral("<HTML><HEAD><TITLE>") + HTMLEscape(product.ProductName) + QStringLiteral("</TITLE>");
}

QString Author(const TProductInfo& product, const char* maker)
{
    return QStringLiteral("<META NAME=\"author\" CONTENT=\"") + HTMLEscape(product.CompanyName) + QLatin1Char(' ') +
           QLatin1String(maker) + QStringLiteral("\">");
}

QString Description(const TProductInfo& product, const char* lead, const char* maker)
{
    return QStringLiteral("<META NAME=\"description\" CONTENT=\"") + QLatin1String(lead) +
           HTMLEscape(product.CompanyName) + QLatin1Char(' ') + QLatin1String(maker) + QLatin1Char(' ') +
           HTMLEscape(product.WebText) + QStringLiteral("\">");
}

const char* const kGermanKeywords =
    "<META NAME=\"keywords\" CONTENT=\"Korvanta Plus, diashow java, java script diashow, java diashow, bild diashow "
    "java script\">";
const char* const kEnglishKeywords =
    "<META NAME=\"keywords\" CONTENT=\"Vintrel, slidshow java, java script slideshow, java slideshow\">";
const char* const kPlusKeywords =
    "<META NAME=\"keywords\" CONTENT=\"Korvanta Plus, slidshow java, java script slideshow, java slideshow\">";

QStringList StyleLinkAndBody()
{
    return {QStringLiteral("<LINK href=\"layout.css\" rel=\"stylesheet\" type=\"text/css\">"), QStringLiteral("</HEAD>"),
            QStringLiteral("<BODY>")};
}

QString FooterLine(const TProductInfo& product)
{
    return QStringLiteral("<A HREF=\"") + HTMLEscape(product.FooterURL) + QStringLiteral("\">") +
           HTMLEscape(product.FooterCompany) + QStringLiteral("</A>");
}

// The files a web name gives, lower-cased.
QStringList FilesOfWebName(const QString& web)
{
    const QString w = web.toLower();
    return {w + QStringLiteral(".html"), w + QStringLiteral(".jpg"), w + QStringLiteral("_thumb.jpg")};
}

QString Page(const TGalleryEntry& e) { return e.Web + QStringLiteral(".html"); }

} // namespace

QString WebFileName(const QString& name)
{
    QString out;
    out.reserve(name.size() + 4);
    for (QChar c : name) {
        if (kToUnderscore.contains(c))
            out += QLatin1Char('_');
        else if (c == QLatin1Char('&'))
            out += QLatin1Char('a');
        else if (kToX.contains(c))
            out += QLatin1Char('x');
        else if (c == QChar(0xE4))
            out += QLatin1String("ae");
        else if (c == QChar(0xC4))
            out += QLatin1String("Ae");
        else if (c == QChar(0xF6))
            out += QLatin1String("oe");
        else if (c == QChar(0xD6))
            out += QLatin1String("Oe");
        else if (c == QChar(0xFC))
            out += QLatin1String("ue");
        else if (c == QChar(0xDC))
            out += QLatin1String("Ue");
        else if (c == QChar(0xDF))
            out += QLatin1String("ss");
        else
            out += c;
    }
    for (QChar& c : out)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    return out;
}

QString WebNameOfFile(const QString& fileName)
{
    // The first word by ".": leading dots are skipped, as a word search skips delimiters.
    const QStringList words = fileName.split(QLatin1Char('.'), Qt::SkipEmptyParts);
    return WebFileName(words.isEmpty() ? QString() : words.first());
}

QStringList UniqueWebNames(const QStringList& fileNames)
{
    QSet<QString> taken{QStringLiteral("gallery.html"), QStringLiteral("layout.css")};
    const auto free = [&](const QString& web) {
        const QStringList files = FilesOfWebName(web);
        return std::none_of(files.cbegin(), files.cend(), [&](const QString& f) { return taken.contains(f); });
    };
    QStringList out;
    out.reserve(fileNames.size());
    for (const QString& fileName : fileNames) {
        QString base = WebNameOfFile(fileName);
        if (base.isEmpty())
            base = QStringLiteral("picture");
        QString web = base;
        for (int n = 2; !free(web); ++n)
            web = base + QLatin1Char('_') + QString::number(n);
        for (const QString& f : FilesOfWebName(web))
            taken.insert(f);
        out.append(web);
    }
    return out;
}

QString ColorToWebHex(TColor color)
{
    // A system colour resolves to its value; clNone, clDefault and other values with a high
    // byte are no colour.
    const std::uint32_t rgb = std::uint32_t(ColorToRGB(color));
    if (rgb & 0xFF000000u)
        return QStringLiteral("#000000");
    return QStringLiteral("#%1%2%3")
        .arg(rgb & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((rgb >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((rgb >> 16) & 0xFF, 2, 16, QLatin1Char('0'))
        .toUpper();
}

TGalleryGrid GalleryGrid(int count, int perRow)
{
    TGalleryGrid grid;
    if (count <= 0)
        return grid;
    perRow = std::max(1, perRow);
    const int n = count - 1;
    grid.Rows = n / perRow + 1;
    grid.Cols = n / grid.Rows + 1;
    grid.Percent = 100 / grid.Cols;
    grid.EmptyCells = grid.Rows * grid.Cols - count;
    return grid;
}

int WebHeight(int width, int pictureWidth, int pictureHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0)
        return 1;
    return std::max(1, int(Round(double(width) * pictureHeight / pictureWidth)));
}

TWebSizes WebSizes(int pictureWidth, int pictureHeight, int smallX, int largeX)
{
    TWebSizes s;
    smallX = std::max(1, smallX);
    largeX = std::max(1, largeX);
    s.Landscape = pictureHeight <= pictureWidth;
    if (s.Landscape && pictureHeight > 0) {
        s.ThumbWidth = std::max(1, int(Round(double(pictureWidth) / pictureHeight * smallX)));
        s.LargeWidth = std::max(1, int(Round(double(pictureWidth) / pictureHeight * largeX)));
    } else {
        s.ThumbWidth = smallX;
        s.LargeWidth = largeX;
    }
    s.ThumbHeight = WebHeight(s.ThumbWidth, pictureWidth, pictureHeight);
    s.LargeHeight = WebHeight(s.LargeWidth, pictureWidth, pictureHeight);
    return s;
}

QStringList GalleryHeadLines(const TGalleryLook& look, const TProductInfo& product)
{
    QStringList lines{TitleLine(product)};
    const bool german = IsGerman(look.Language);
    if (!german && !IsEnglishOrSwedish(look.Language))
        return lines;
    if (german) {
        lines << Author(product, "Korvanta Plus") << Description(product, "Seite erstellt mit ", "Korvanta Plus")
              << QLatin1String(kGermanKeywords);
    } else {
        lines << Author(product, "Vintrel") << Description(product, "Created with ", "Vintrel")
              << QLatin1String(kEnglishKeywords);
    }
    lines << StyleLinkAndBody();
    lines << QStringLiteral("<CENTER><font face=\"Verdana,Arial\" size=\"3\"><b>") + HTMLEscape(look.Title) +
                 QStringLiteral("</b></font><br><br>");
    lines << QLatin1String(kFont1) +
                 (german ? QStringLiteral("Klicken Sie auf die Bilder, um diese in Originalgr&ouml;&szlig;e zu sehen.")
                         : QStringLiteral("Click the pictures to enlarge.")) +
                 QStringLiteral("</font></CENTER><BR>");
    lines << QStringLiteral("<table width=\"100%\" border=\"0\" cellspacing=\"15\" cellpadding=\"0\">");
    return lines;
}

QStringList PictureFootLines(const TProductInfo& product)
{
    return {QStringLiteral("<HR>"),    QStringLiteral("<FONT FACE=Verdana,Arial Size=1>"),
            QStringLiteral(" <CENTER>"), FooterLine(product),
            QStringLiteral(" </CENTER>"), QStringLiteral("</FONT>"),
            QStringLiteral("</BODY>"),   QStringLiteral("</HTML>")};
}

QStringList GalleryFootLines(const TProductInfo& product)
{
    return QStringList{QStringLiteral("</table>")} + PictureFootLines(product);
}

QStringList PictureHeadLines(const TGalleryLook& look, const TProductInfo& product)
{
    QStringList lines{TitleLine(product)};
    if (IsGerman(look.Language)) {
        lines << Author(product, "Korvanta Plus") << Description(product, "Seite erstellt mit ", "Korvanta Plus")
              << QLatin1String(kGermanKeywords);
    } else if (look.Language == QLatin1String("ENGLISH")) {
        lines << Author(product, "Korvanta Plus") << Description(product, "Page created with ", "Korvanta Plus")
              << QLatin1String(kPlusKeywords);
    } else if (look.Language == QLatin1String("SWEDISH")) {
        lines << Author(product, "Vintrel") << Description(product, "Page created with ", "Vintrel")
              << QLatin1String(kEnglishKeywords);
    }
    lines << StyleLinkAndBody();
    return lines;
}

QStringList GalleryBodyLines(const QList<TGalleryEntry>& entries, int perRow, const TGalleryLook& look)
{
    const TGalleryGrid grid = GalleryGrid(int(entries.size()), perRow);
    const int last = int(entries.size()) - 1;
    QStringList lines;
    for (int r = 1; r <= grid.Rows; ++r) {
        lines << QStringLiteral("<tr>");
        for (int i = (r - 1) * grid.Cols; i <= r * grid.Cols - 1; ++i) {
            if (i > last) {
                lines << QStringLiteral("<td align=\"center\">&nbsp;</td>");
                continue;
            }
            const TGalleryEntry& e = entries[i];
            lines << QStringLiteral("<td align=\"center\" width=\"%1%\">").arg(grid.Percent);
            QString cell = QStringLiteral("<a href=\"") + Page(e) + QStringLiteral("\"><img src=\"") + e.Web +
                           QStringLiteral("_thumb.jpg\" width=\"") + QString::number(e.ThumbWidth) +
                           QStringLiteral("\" height=\"") + QString::number(e.ThumbHeight) +
                           QStringLiteral("\" border=\"0\" alt=\"") + QLatin1String(kThumbAlt) + QStringLiteral("\">");
            if (look.FilenameVisible)
                cell += QStringLiteral("<br>") + QLatin1String(kFont1) + Page(e) + QStringLiteral("<br></a>");
            else
                cell += QLatin1String(kFont1) + QStringLiteral("</a><br>");
            cell += HTMLEscape(e.Text) + QStringLiteral("</font>");
            lines << cell << QStringLiteral("</td>");
        }
        lines << QStringLiteral("</tr>");
    }
    return lines;
}

QStringList PictureBodyLines(const QList<TGalleryEntry>& entries, int index, const TGalleryLook& look)
{
    const int count = int(entries.size());
    const TGalleryEntry& e = entries[index];
    const QString next = Page(entries[(index + 1) % count]);
    const QString previous = Page(entries[(index + count - 1) % count]);
    const QString large = e.Web + QStringLiteral(".jpg");

    QStringList lines;
    lines << QStringLiteral("<CENTER><font face=\"Verdana,Arial\" size=\"3\"><b>") << HTMLEscape(look.Title)
          << QStringLiteral("</b></font><br>") << QStringLiteral("<font face=\"Verdana,Arial\" size=\"2\">");
    const auto nav = [&](const char* back, const char* forward, const char* overview) {
        lines << QStringLiteral("[<A HREF=\"") + previous + QStringLiteral("\">") + QLatin1String(back) +
                     QStringLiteral("</A>] ")
              << QStringLiteral("[<A HREF=\"") + next + QStringLiteral("\">") + QLatin1String(forward) +
                     QStringLiteral("</A>] ")
              << QStringLiteral("[<A HREF=\"gallery.html\">") + QLatin1String(overview) + QStringLiteral("</A>]");
    };
    if (IsGerman(look.Language))
        nav("Voriges Bild", "N&auml;chstes Bild", "&Uuml;bersicht");
    else if (IsEnglishOrSwedish(look.Language))
        nav("Backward", "Forward", "Overview");
    lines << QStringLiteral("</font></CENTER>")
          << QStringLiteral("<table height=\"75%\" width=\"100%\"><tr><td valign=\"center\">")
          << QStringLiteral("<div align=\"center\"><a href=\"gallery.html\"><img src=\"") + large +
                 QStringLiteral("\" border=\"0\"></a>");
    if (look.FilenameVisible)
        lines << QLatin1String(kFont1) + QStringLiteral("<br>") + large + QStringLiteral("<br>") + HTMLEscape(e.Text) +
                     QStringLiteral("<br></font>");
    else
        lines << QLatin1String(kFont1) + QStringLiteral("<br>") + HTMLEscape(e.Text) + QStringLiteral("<br></font>");
    lines << QStringLiteral("</div>") << QStringLiteral("<tr><td></table>");
    return lines;
}

QStringList LayoutCssLines(TColor textColor, TColor backgroundColor)
{
    const QString t = ColorToWebHex(textColor);
    const QString b = ColorToWebHex(backgroundColor);
    const QString color = QStringLiteral("\tcolor:") + t + QLatin1Char(';');
    QStringList lines{QString(),
                      QStringLiteral("BODY {"),
                      QStringLiteral("\tFONT-FAMILY: Verdana, Helvetica;"),
                      QStringLiteral("\tFONT-SIZE: 10px;"),
                      QStringLiteral("\tFONT-WEIGHT: normal;"),
                      QStringLiteral("\tmargin-top:20px;"),
                      QStringLiteral("\tmargin-left:0px;"),
                      color,
                      QStringLiteral("\tbackground-color :") + b + QLatin1Char(';'),
                      QStringLiteral("}")};
    for (const char* selector : {"a:link {", "a:visited {", "a:active {", "a:hover {"})
        lines << QLatin1String(selector) << color << QStringLiteral("}");
    lines << QStringLiteral(".content {") << QStringLiteral("\tFONT-FAMILY: verdana, arial, helvetica;")
          << QStringLiteral("\tFONT-SIZE: 8pt;") << QStringLiteral("\tmargin-top:0px;")
          << QStringLiteral("\tmargin-left:0px;") << color << QStringLiteral("}");
    return lines;
}
