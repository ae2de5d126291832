#include "output/fQRFormThumbnails.h"

TQRThumbnailForm* QRThumbnailForm = nullptr;

TQRThumbnailForm::TQRThumbnailForm(QObject* parent) : TQRPictureReport(parent)
{
    SetUpPage(2100, 2970);
    QuickRep1.DetailBand.Height = 153;
    const int left[4] = {8, 184, 360, 536};
    for (int k = 0; k < 4; ++k) {
        QRImages[size_t(k)] = QuickRep1.DetailBand.AddImage(left[k], 28);
        TQRLabel* label = QuickRep1.DetailBand.AddLabel(left[k], 8);
        label->AutoSize = false;
        label->Width = k < 3 ? 169 : 161;
        QRLabels[size_t(k)] = label;
    }
}

void TQRThumbnailForm::NeedData(bool& moreData)
{
    const int count = int(m_printList.size());
    size_t cell = 0;
    TSlideshowItem line;
    QString path;
    // Pictures that cannot be read give up their cell to the next ones.
    while (cell < QRImages.size() && NextLine(line, path)) {
        const QString copy = MakePrintCopy(path, ThumbnailSize);
        const bool loaded = !copy.isEmpty() && QRImages[cell]->LoadFromFile(copy);
        QuickRep1.Progress(m_index * 100 / count);
        ++m_index;
        if (!loaded) {
            SkipPicture(line);
            continue;
        }
        QRLabels[cell]->Caption = line.Name;
        ++cell;
    }
    moreData = cell > 0;
    for (; cell < QRImages.size(); ++cell) {
        QRLabels[cell]->Caption.clear();
        QRImages[cell]->Clear();
    }
    if (!moreData)
        QuickRep1.Progress(100);
}
