#pragma once
// The pictures of a slideshow as a band report; the base of the picture list (A4 and A5) and
// of the thumbnail sheet.
//
// A run: the main window sets PrintWidth (and for the sheet PaperFormat) and prints or
// previews QuickRep1; BeforePrint takes the print list (every item of the slideshow when
// PrintAll is set, else the lines of Print.txt); NeedData makes a print copy of each picture
// and fills the detail band; the main window then calls CleanUpAfterPrint.
//
// The print copies are written into a private temporary folder of the run, never beside the
// user's pictures, and the folder goes with CleanUpAfterPrint (and with the report). A
// picture that cannot be read is left out; the names of those left out are shown in one box
// once the pages are made.
#include "controls/SlideshowItem.h"
#include "output/PrintChoices.h"
#include "platform/report/Report.h"

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class TLEADImage;

class TQRPictureReport : public QObject {
    Q_OBJECT
public:
    explicit TQRPictureReport(QObject* parent = nullptr);
    ~TQRPictureReport() override;

    TQuickRep QuickRep1;
    // The hidden picture control that makes the copies.
    TLEADImage* LEADImage1 = nullptr;
    TQRLabel* QRLabel1 = nullptr;  // the title

    // The longer side of a print copy, set by the main window before a run.
    int PrintWidth = 495;

    // The main window's state, asked for when a run begins.
    std::function<TPrintSource()> Source;

    // Writes a copy of the picture at path whose longer side is size pixels (aspect kept) into
    // the run's folder and returns its path; "" when the picture cannot be read or the copy
    // not written.
    QString MakePrintCopy(const QString& path, int size);
    // The full path of an item's picture in the open slideshow, and its caption.
    QString PicturePath(const TSlideshowItem& line) const;

    // Ends a run: the print list and every copy of the run go.
    void CleanUpAfterPrint();

    // The run's state, for the main window and tests.
    const QStringList& PrintList() const { return m_printList; }
    int NextIndex() const { return m_index; }
    const QStringList& Skipped() const { return m_skipped; }
    QString CopyFolder() const;

protected:
    // The page set-up and the title and footer bands common to the three reports.
    void SetUpPage(int paperWidth, int paperHeight);
    virtual bool TitleAlways() const = 0;
    virtual void NeedData(bool& moreData) = 0;
    // The next item's picture path and caption; false when the list is at its end.
    bool NextLine(TSlideshowItem& line, QString& path);
    void SkipPicture(const TSlideshowItem& line);

    TPrintSource m_source;
    QStringList m_printList;
    int m_index = 0;
    QStringList m_skipped;
    std::unique_ptr<QTemporaryDir> m_copyFolder;

private:
    void BeforePrint();
    void AfterPrepare();
};
