#pragma once
// TQuickRep: a small band report.
//
//  - The page set-up is in tenths of a millimetre (paper size and four margins). Bands and
//    their labels and images are placed in pixels of 96 per inch, measured from the top left
//    corner of the printable area (inside the margins), so a picture 495 pixels wide prints
//    495 / 96 inches (13.1 cm) wide whatever the printer's resolution.
//  - Three bands: the title band at the top of the first page, the detail band once per
//    record, and the page footer band at the bottom of every page, whose page-number labels
//    show the page's number.
//  - Prepare runs BeforePrint, then NeedData until it reports no more data. Each time NeedData
//    reports a record the detail band is recorded as it stands then (its height, the captions
//    of its labels and the pictures of its images), so NeedData may change the band for every
//    record. Records flow down the pages; a record taller than the space on an empty page
//    prints alone on that page, clipped to it.
//  - Output: Print (the default printer) and Preview (a preview window from which the user
//    can print or save a PDF) go through the interaction service, kind Printer, so that
//    tests never need a printer; PrintToPdf writes a PDF file directly. The report title is
//    the print job's name.
#include <QImage>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPrinter;

// Pixels of the band layout per inch.
constexpr double kReportPixelsPerInch = 96.0;

struct TQRPage {
    int PaperWidth = 2100;  // tenths of a millimetre
    int PaperHeight = 2970;
    int LeftMargin = 127;
    int TopMargin = 127;
    int RightMargin = 127;
    int BottomMargin = 127;
};

class TQRLabel {
public:
    QString Caption;
    int Left = 0;
    int Top = 0;
    int Width = 0;         // used when not AutoSize: the text is cut to it
    bool AutoSize = true;  // as wide as the caption
    bool Bold = false;
    int FontHeight = 13;   // character height in layout pixels
    bool PageNumber = false;  // shows the page's number instead of the caption
};

class TQRImage {
public:
    int Left = 0;
    int Top = 0;
    int Width = 0;  // used when not AutoSize: the picture is stretched to it
    int Height = 0;
    bool AutoSize = true;  // one layout pixel per picture pixel
    QImage Picture;

    // Loads a picture file; false (and an empty image) when it cannot be read.
    bool LoadFromFile(const QString& file);
    void Clear() { Picture = QImage(); }
    // The size the image prints at.
    int PrintWidth() const;
    int PrintHeight() const;
};

class TQRBand {
public:
    int Height = 0;
    bool Enabled = true;
    std::vector<std::unique_ptr<TQRLabel>> Labels;
    std::vector<std::unique_ptr<TQRImage>> Images;

    TQRLabel* AddLabel(int left, int top);
    TQRImage* AddImage(int left, int top);
};

class TQuickRep : public QObject {
    Q_OBJECT
public:
    explicit TQuickRep(QObject* parent = nullptr);
    ~TQuickRep() override;

    TQRPage Page;
    QString ReportTitle;
    TQRBand TitleBand;
    TQRBand DetailBand;
    TQRBand PageFooterBand;

    // Events of a run.
    std::function<void()> BeforePrint;
    std::function<void(bool& moreData)> NeedData;
    // After the pages are made, before they are printed or shown.
    std::function<void()> AfterPrepare;
    // Progress of the run in percent, as NeedData reports it.
    std::function<void(int percent)> OnProgress;
    void Progress(int percent);

    // The printable area in layout pixels.
    int PrintableWidth() const;
    int PrintableHeight() const;

    // Runs the events and lays the records out on pages.
    void Prepare();
    int PageCount() const { return int(m_pages.size()); }
    // Paints the prepared pages on device, whose page layout ApplyPageLayout has set; false
    // when the device could not be painted on.
    bool Render(QPagedPaintDevice& device) const;
    void ApplyPageLayout(QPagedPaintDevice& device) const;

    // Prepare, then the default printer through the interaction service (kind Printer,
    // Data "Action" = "Print"). False when nothing was printed.
    bool Print();
    // Prepare, then the preview window through the interaction service ("Action" = "Preview").
    void Preview();
    // Prepare, then a PDF file. False when the file could not be written.
    bool PrintToPdf(const QString& file);

    // The default printer's name through the interaction service ("Action" =
    // "DefaultPrinter"); empty when there is none.
    static QString DefaultPrinter();
    // Serves the kind Printer in production (real printers and the preview window); called
    // once by the first report made.
    static void InstallPrinterHandler();

private:
    struct Element {
        TQRLabel Label;
        TQRImage Image;
        bool IsImage = false;
    };
    struct Snapshot {
        int Height = 0;
        std::vector<Element> Elements;
    };
    struct Placed {
        const Snapshot* Band;
        int Top;
        int ClipHeight;
    };
    // Prepare, then the interaction service's printer with action; its result.
    int AskPrinter(const QString& action);
    static Snapshot Record(const TQRBand& band);
    void Paginate();
    void PaintBand(class QPainter& painter, const Snapshot& band, int top, int clipHeight, int pageNumber) const;

    Snapshot m_title;
    Snapshot m_footer;
    std::vector<Snapshot> m_details;
    std::vector<std::vector<Placed>> m_pages;
};
