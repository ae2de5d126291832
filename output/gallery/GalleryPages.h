#pragma once
// The HTML gallery without widgets: web names, the grid, the sizes of the web pictures, the
// markup of the cells and picture pages, the page templates and the style sheet. Everything
// that comes from the user (names, texts, the title) is HTML-escaped here.
#include "platform/vcl/Colors.h"
#include "shell/core/ProductInfo.h"

#include <QString>
#include <QStringList>

// A file name made safe for the web: blanks, quotes, dots, "#", "?", "%" and the like become
// "_", "&" becomes "a", path and wildcard characters become "x", German umlauts and "ß" are
// spelt out ("ae", "ss"), and ASCII letters are lower-cased. "" gives "".
QString WebFileName(const QString& name);
// The web name of a picture file: WebFileName of its name up to the first dot.
QString WebNameOfFile(const QString& fileName);
// The web names of a gallery's pictures, in order: each picture's own web name unless one of
// its files (name.html, name.jpg, name_thumb.jpg) would overwrite a file of an earlier
// picture, the overview page or the style sheet (compared without regard to case); then the
// first free name with "_2", "_3", ... appended.
QStringList UniqueWebNames(const QStringList& fileNames);

// "#RRGGBB" of a colour (red in the low byte); "#000000" for a value that is no colour.
QString ColorToWebHex(TColor color);

// The overview's table: count pictures, perRow per row at most (below 1 counts as 1).
struct TGalleryGrid {
    int Rows = 0;
    int Cols = 0;
    int Percent = 100;  // the width of a cell
    int EmptyCells = 0;  // in the last row
};
TGalleryGrid GalleryGrid(int count, int perRow);

// The two web sizes of a picture of width x height: the shorter side of the overview picture
// is smallX, of the page picture largeX (a landscape picture: the height; a portrait or a
// square: the width). Sizes below 1 count as 1; halves round to even.
struct TWebSizes {
    bool Landscape = true;
    int ThumbWidth = 0, ThumbHeight = 0;
    int LargeWidth = 0, LargeHeight = 0;
};
// The height of a web picture width pixels wide (at least 1).
int WebHeight(int width, int pictureWidth, int pictureHeight);
TWebSizes WebSizes(int pictureWidth, int pictureHeight, int smallX, int largeX);

// One picture of the gallery as the pages show it.
struct TGalleryEntry {
    QString Web;   // its web name
    QString Name;  // its file name in the slideshow
    QString Text;  // its text (empty when texts are not shown)
    int ThumbWidth = 0, ThumbHeight = 0;
};

struct TGalleryLook {
    QString Language;  // "GERMAN", "ENGLISH", "SWEDISH"; anything else: no navigation
    QString Title;     // the slideshow's title
    bool FilenameVisible = false;
};

// Template lines of the overview and of the picture pages (head and foot).
QStringList GalleryHeadLines(const TGalleryLook& look, const TProductInfo& product);
QStringList GalleryFootLines(const TProductInfo& product);
QStringList PictureHeadLines(const TGalleryLook& look, const TProductInfo& product);
QStringList PictureFootLines(const TProductInfo& product);

// The body lines of the overview for the entries: rows of cells, then empty cells.
QStringList GalleryBodyLines(const QList<TGalleryEntry>& entries, int perRow, const TGalleryLook& look);
// The body lines of the page of entry index (previous and next wrap around).
QStringList PictureBodyLines(const QList<TGalleryEntry>& entries, int index, const TGalleryLook& look);

// The lines of layout.css.
QStringList LayoutCssLines(TColor textColor, TColor backgroundColor);
