#include "output/QRPictureReport.h"

#include "imaging/LEADImage.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/StringList.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Helpers.h"
#include "shell/core/Language.h"
#include "shell/core/ProductInfo.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

TQRPictureReport::TQRPictureReport(QObject* parent) : QObject(parent), LEADImage1(new TLEADImage())
{
    LEADImage1->setObjectName(QStringLiteral("LEADImage1"));
    LEADImage1->hide();
    QuickRep1.ReportTitle = ProductInfo.ProductName + QLatin1Char(' ') + ProductInfo.EditionText;
    QuickRep1.BeforePrint = [this] { BeforePrint(); };
    QuickRep1.NeedData = [this](bool& more) { NeedData(more); };
    QuickRep1.AfterPrepare = [this] { AfterPrepare(); };
}

TQRPictureReport::~TQRPictureReport()
{
    delete LEADImage1;
}

void TQRPictureReport::SetUpPage(int paperWidth, int paperHeight)
{
    QuickRep1.Page.PaperWidth = paperWidth;
    QuickRep1.Page.PaperHeight = paperHeight;
    QuickRep1.TitleBand.Height = 40;
    QRLabel1 = QuickRep1.TitleBand.AddLabel(8, 8);
    QRLabel1->Bold = true;
    QRLabel1->FontHeight = 16;
    QuickRep1.PageFooterBand.Height = 24;
    QuickRep1.PageFooterBand.AddLabel(8, 4)->PageNumber = true;
}

QString TQRPictureReport::CopyFolder() const
{
    return m_copyFolder ? m_copyFolder->path() + QLatin1Char('/') : QString();
}

void TQRPictureReport::BeforePrint()
{
    m_index = 0;
    m_skipped.clear();
    m_printList.clear();
    m_source = Source ? Source() : TPrintSource{};
    QRLabel1->Caption = TitleAlways() || m_source.Choices.PrintHeadline ? m_source.Title : QString();
    QStringList lines;
    if (m_source.Choices.PrintAll) {
        lines = m_source.Items;
    } else if (QFileInfo::exists(m_source.ProgramFolder + QStringLiteral("Print.txt"))) {
        TStringList file;
        file.LoadFromFile(m_source.ProgramFolder + QStringLiteral("Print.txt"));
        lines = file.List();
    }
    for (const QString& line : lines) {
        if (!line.trimmed().isEmpty())
            m_printList.append(line);
    }
    // A fresh private folder for this run's copies.
    m_copyFolder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/korvanta-print-XXXXXX"));
}

void TQRPictureReport::AfterPrepare()
{
    if (m_skipped.isEmpty())
        return;
    MessageDlg(GetLangText(10280) + QStringLiteral("\n\n") + m_skipped.join(QLatin1Char('\n')), mtInformation,
               {mbOK});
}

QString TQRPictureReport::PicturePath(const TSlideshowItem& line) const
{
    return m_source.ArchiveRoot + AddBackslash(m_source.DiashowFolder) + line.Name;
}

bool TQRPictureReport::NextLine(TSlideshowItem& line, QString& path)
{
    if (m_index >= m_printList.size())
        return false;
    line = DecodeSlideshowItem(m_printList[m_index]);
    path = PicturePath(line);
    return true;
}

void TQRPictureReport::SkipPicture(const TSlideshowItem& line)
{
    m_skipped.append(line.Name);
}

QString TQRPictureReport::MakePrintCopy(const QString& path, int size)
{
    if (!m_copyFolder || !m_copyFolder->isValid())
        return QString();
    size = std::max(1, size);
    TLEADImage& image = *LEADImage1;
    const QString copy = CopyFolder() + QStringLiteral("_PRINT_") + ExtractFileName(path);
    try {
        image.setEnableMethodErrors(false);
        image.SetLoadSizeHint(size, size);
        if (image.Load(path, 0, 1, -1) != 1 || image.InfoWidth() <= 0 || image.InfoHeight() <= 0)
            return QString();
        const double r = double(image.InfoWidth()) / image.InfoHeight();
        int width = size;
        int height = size;
        if (r >= 1)
            height = std::max(1, int(Round(size / r)));
        else
            width = std::max(1, int(Round(size * r)));
        if (image.Size(width, height, 4) != 1 || image.Save(copy, 23, 24, 2, 0) != 1)
            return QString();
    } catch (...) {
        return QString();
    }
    return copy;
}

void TQRPictureReport::CleanUpAfterPrint()
{
    SetBusyCursor(true);
    struct EndBusy {
        ~EndBusy() { SetBusyCursor(false); }
    } endBusy;
    m_printList.clear();
    m_index = 0;
    if (LEADImage1)
        LEADImage1->Load(QString(), 0, 1, 0);
    m_copyFolder.reset();
}
