#pragma once
// The picture lists: one picture per band with its text above it, on A4 (TQRListForm) or A5
// (TQRListA5Form). The title band shows the slideshow's title when PrintHeadline is set; the
// detail band is as high as the picture's copy plus 30.
#include "output/QRPictureReport.h"

class TQRListForm : public TQRPictureReport {
    Q_OBJECT
public:
    explicit TQRListForm(QObject* parent = nullptr);

    TQRLabel* QRLabel3 = nullptr;  // the picture's text
    TQRImage* QRImage1 = nullptr;

    // PrintWidth within 1 .. the printable width.
    int CopySize() const;

protected:
    TQRListForm(int paperWidth, int paperHeight, QObject* parent);
    bool TitleAlways() const override { return false; }
    void NeedData(bool& moreData) override;
};

class TQRListA5Form : public TQRListForm {
    Q_OBJECT
public:
    explicit TQRListA5Form(QObject* parent = nullptr);
};
