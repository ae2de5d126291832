#include "platform/report/Report.h"

#include "platform/vcl/Guard.h"
#include "platform/vcl/Interaction.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>

namespace {

const QString kAction = QStringLiteral("Action");

// Tenths of a millimetre in layout pixels.
double TenthsToPixels(int tenths)
{
    return tenths / 254.0 * kReportPixelsPerInch;
}

QFont LabelFont(const TQRLabel& label)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, label.FontHeight));
    font.setBold(label.Bold);
    return font;
}

QWidget* PreviewParent()
{
    QWidget* active = QApplication::activeWindow();
    return active ? active : nullptr;
}

TAskAnswer ServePrinter(TAskRequest& request)
{
    const QString action = request.Data.value(kAction).toString();
    if (action == QLatin1String("DefaultPrinter")) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        TAskAnswer answer{info.isNull() ? 0 : 1};
        answer.Value = info.isNull() ? QString() : info.printerName();
        return answer;
    }
    auto* report = qobject_cast<TQuickRep*>(request.Data.value(QStringLiteral("Report")).value<QObject*>());
    if (!report)
        return TAskAnswer{};
    if (action == QLatin1String("Print")) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (info.isNull())
            return TAskAnswer{};
        QPrinter printer(info, QPrinter::HighResolution);
        printer.setDocName(report->ReportTitle);
        printer.setFullPage(true);
        report->ApplyPageLayout(printer);
        const bool printed = report->Render(printer);
        return TAskAnswer{printed && printer.printerState() != QPrinter::Error ? 1 : 0};
    }
    if (action == QLatin1String("Preview")) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        QPrinter printer(QPrinter::HighResolution);
        if (!info.isNull())
            printer.setPrinterName(info.printerName());
        printer.setDocName(report->ReportTitle);
        printer.setFullPage(true);
        report->ApplyPageLayout(printer);
        QPrintPreviewDialog dialog(&printer, PreviewParent());
        dialog.setWindowTitle(report->ReportTitle);
        dialog.resize(1000, 800);
        // Painting the pages is a paint handler: a failure is shown once the paint is over.
        Bind(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
             [report](QPrinter* p) { report->Render(*p); }, TGuardMode::Queue);
        dialog.exec();
        return TAskAnswer{1};
    }
    return TAskAnswer{};
}

} // namespace

// ---- images and bands -------------------------------------------------------------------

bool TQRImage::LoadFromFile(const QString& file)
{
    QImageReader reader(file);
    Picture = reader.read();
    return !Picture.isNull();
}

int TQRImage::PrintWidth() const
{
    return AutoSize ? Picture.width() : Width;
}

int TQRImage::PrintHeight() const
{
    return AutoSize ? Picture.height() : Height;
}

TQRLabel* TQRBand::AddLabel(int left, int top)
{
    Labels.push_back(std::make_unique<TQRLabel>());
    Labels.back()->Left = left;
    Labels.back()->Top = top;
    return Labels.back().get();
}

TQRImage* TQRBand::AddImage(int left, int top)
{
    Images.push_back(std::make_unique<TQRImage>());
    Images.back()->Left = left;
    Images.back()->Top = top;
    return Images.back().get();
}

// ---- the report -------------------------------------------------------------------------

TQuickRep::TQuickRep(QObject* parent) : QObject(parent)
{
    InstallPrinterHandler();
}

TQuickRep::~TQuickRep() = default;

void TQuickRep::InstallPrinterHandler()
{
    static bool installed = false;
    if (!installed) {
        TQtInteraction::SetHandler(TAskKind::Printer, ServePrinter);
        installed = true;
    }
}

void TQuickRep::Progress(int percent)
{
    if (OnProgress)
        OnProgress(percent);
}

int TQuickRep::PrintableWidth() const
{
    return int(std::floor(TenthsToPixels(Page.PaperWidth - Page.LeftMargin - Page.RightMargin)));
}

int TQuickRep::PrintableHeight() const
{
    return int(std::floor(TenthsToPixels(Page.PaperHeight - Page.TopMargin - Page.BottomMargin)));
}

TQuickRep::Snapshot TQuickRep::Record(const TQRBand& band)
{
    Snapshot s;
    if (!band.Enabled)
        return s;
    s.Height = std::max(0, band.Height);
    for (const auto& label : band.Labels) {
        Element e;
        e.Label = *label;
        s.Elements.push_back(std::move(e));
    }
    for (const auto& image : band.Images) {
        Element e;
        e.Image = *image;
        e.IsImage = true;
        s.Elements.push_back(std::move(e));
    }
    return s;
}

void TQuickRep::Prepare()
{
    m_details.clear();
    m_pages.clear();
    if (BeforePrint)
        BeforePrint();
    m_title = Record(TitleBand);
    m_footer = Record(PageFooterBand);
    bool more = true;
    while (NeedData && more) {
        more = false;
        NeedData(more);
        if (more)
            m_details.push_back(Record(DetailBand));
    }
    Paginate();
    if (AfterPrepare)
        AfterPrepare();
}

void TQuickRep::Paginate()
{
    const int pageHeight = PrintableHeight();
    const int bottom = std::max(1, pageHeight - m_footer.Height);
    m_pages.emplace_back();
    int y = 0;
    if (m_title.Height > 0) {
        m_pages.back().push_back({&m_title, 0, std::min(m_title.Height, bottom)});
        y = m_title.Height;
    }
    bool pageHasDetail = false;
    for (const Snapshot& band : m_details) {
        if (pageHasDetail && y + band.Height > bottom) {
            m_pages.emplace_back();
            y = 0;
            pageHasDetail = false;
        }
        // On a page without records a band is placed whatever its height, clipped to the page,
        // so a band taller than a page never moves on from page to page.
        const int clip = std::max(0, std::min(band.Height, bottom - y));
        m_pages.back().push_back({&band, y, clip});
        y += band.Height;
        pageHasDetail = true;
    }
}

void TQuickRep::ApplyPageLayout(QPagedPaintDevice& device) const
{
    const QPageSize size(QSizeF(Page.PaperWidth / 10.0, Page.PaperHeight / 10.0), QPageSize::Millimeter,
                         QString(), QPageSize::ExactMatch);
    device.setPageLayout(QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

void TQuickRep::PaintBand(QPainter& painter, const Snapshot& band, int top, int clipHeight, int pageNumber) const
{
    painter.save();
    painter.setClipRect(QRect(0, top, PrintableWidth(), clipHeight));
    for (const Element& e : band.Elements) {
        if (e.IsImage) {
            const TQRImage& image = e.Image;
            if (image.Picture.isNull())
                continue;
            painter.drawImage(QRect(image.Left, top + image.Top, image.PrintWidth(), image.PrintHeight()),
                              image.Picture);
            continue;
        }
        const TQRLabel& label = e.Label;
        const QString text = label.PageNumber ? QString::number(pageNumber) : label.Caption;
        if (text.isEmpty())
            continue;
        const QFont font = LabelFont(label);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const QFontMetrics metrics(font, painter.device());
        if (label.AutoSize) {
            painter.drawText(QPoint(label.Left, top + label.Top + metrics.ascent()), text);
        } else {
            const QRect cell(label.Left, top + label.Top, label.Width, metrics.height());
            painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                             metrics.elidedText(text, Qt::ElideRight, label.Width));
        }
    }
    painter.restore();
}

bool TQuickRep::Render(QPagedPaintDevice& device) const
{
    QPainter painter(&device);
    if (!painter.isActive())
        return false;
    const QRect paint = painter.viewport();
    // Layout pixels to device pixels: the paper's width in the device's pixels over its width
    // in layout pixels; the origin at the printable area's corner.
    const double scale = paint.width() / TenthsToPixels(Page.PaperWidth);
    for (size_t p = 0; p < m_pages.size(); ++p) {
        if (p > 0)
            device.newPage();
        painter.save();
        painter.translate(TenthsToPixels(Page.LeftMargin) * scale, TenthsToPixels(Page.TopMargin) * scale);
        painter.scale(scale, scale);
        for (const Placed& placed : m_pages[p])
            PaintBand(painter, *placed.Band, placed.Top, placed.ClipHeight, int(p) + 1);
        if (m_footer.Height > 0)
            PaintBand(painter, m_footer, PrintableHeight() - m_footer.Height, m_footer.Height, int(p) + 1);
        painter.restore();
    }
    return painter.end();
}

bool TQuickRep::PrintToPdf(const QString& file)
{
    Prepare();
    QPdfWriter writer(file);
    writer.setTitle(ReportTitle);
    writer.setCreator(ReportTitle);
    writer.setResolution(600);
    ApplyPageLayout(writer);
    return Render(writer) && QFileInfo::exists(file);
}

int TQuickRep::AskPrinter(const QString& action)
{
    Prepare();
    TAskRequest request;
    request.Kind = TAskKind::Printer;
    request.Caption = ReportTitle;
    request.Data[kAction] = action;
    request.Data[QStringLiteral("Report")] = QVariant::fromValue<QObject*>(this);
    return Interaction().Ask(request).Result;
}

bool TQuickRep::Print()
{
    return AskPrinter(QStringLiteral("Print")) != 0;
}

void TQuickRep::Preview()
{
    AskPrinter(QStringLiteral("Preview"));
}

QString TQuickRep::DefaultPrinter()
{
    InstallPrinterHandler();
    TAskRequest request;
    request.Kind = TAskKind::Printer;
    request.Data[kAction] = QStringLiteral("DefaultPrinter");
    const TAskAnswer answer = Interaction().Ask(request);
    return answer.Result != 0 ? answer.Value.toString() : QString();
}
