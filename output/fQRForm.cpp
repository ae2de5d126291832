#include "output/fQRForm.h"

#include <algorithm>

TQRListForm* QRListForm = nullptr;
TQRListA5Form* QRListA5Form = nullptr;

TQRListForm::TQRListForm(QObject* parent) : TQRListForm(2100, 2970, parent) {}

TQRListForm::TQRListForm(int paperWidth, int paperHeight, QObject* parent) : TQRPictureReport(parent)
{
    SetUpPage(paperWidth, paperHeight);
    QuickRep1.DetailBand.Height = 306;
    QRLabel3 = QuickRep1.DetailBand.AddLabel(8, 0);
    QRImage1 = QuickRep1.DetailBand.AddImage(8, 18);
}

TQRListA5Form::TQRListA5Form(QObject* parent) : TQRListForm(1480, 2100, parent) {}

int TQRListForm::CopySize() const
{
    return std::clamp(PrintWidth, 1, std::max(1, QuickRep1.PrintableWidth()));
}

void TQRListForm::NeedData(bool& moreData)
{
    moreData = false;
    const int count = int(m_printList.size());
    TSlideshowItem line;
    QString path;
    while (NextLine(line, path)) {
        QRLabel3->Caption = m_source.Choices.PrintPictureText ? line.Text : QString();
        const QString copy = MakePrintCopy(path, CopySize());
        const bool loaded = !copy.isEmpty() && QRImage1->LoadFromFile(copy);
        QuickRep1.Progress(m_index * 100 / count);
        ++m_index;
        if (!loaded) {
            QRImage1->Clear();
            SkipPicture(line);
            continue;
        }
        QuickRep1.DetailBand.Height = QRImage1->Picture.height() + 30;
        QRLabel3->Top = 0;
        QRImage1->Top = 18;
        moreData = true;
        return;
    }
    QuickRep1.Progress(100);
}
