#pragma once
// What the print dialogs leave for the print run, held by the main window: the size of the
// printed pictures and the paper, whether the picture texts and the slideshow's title are
// printed, and whether the whole slideshow is printed or only the pictures of Print.txt.
#include <QString>
#include <QStringList>

struct TPrintChoices {
    // The longer side of a printed picture in pixels of the print copy, 495 per 13 cm.
    int PrintWidth = 495;
    QString PaperFormat = QStringLiteral("A4");  // "A4" or "A5"
    bool PrintPictureText = false;
    bool PrintHeadline = false;
    bool PrintAll = false;
};

// Pixels of a print copy per centimetre of the printed picture.
constexpr double kPrintPixelsPerCm = 495.0 / 13.0;

// The main window's state that a print run reads, taken when the run begins.
struct TPrintSource {
    QString ProgramFolder;  // with a trailing "/"; Print.txt lies there
    QString ArchiveRoot;    // with a trailing "/"
    QString DiashowFolder;  // the open slideshow's folder name
    QString Title;          // the title field of the main window
    QStringList Items;      // the slideshow list's items, in show order
    TPrintChoices Choices;
};
