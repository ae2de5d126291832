#pragma once
// The thumbnail sheet: four small pictures per band on A4, each under its file name, with the
// slideshow's title on the first page.
#include "output/QRPictureReport.h"

#include <array>

class TQRThumbnailForm : public TQRPictureReport {
    Q_OBJECT
public:
    explicit TQRThumbnailForm(QObject* parent = nullptr);

    // Set by the main window; the sheet itself always prints A4 with copies of 120 pixels.
    QString PaperFormat = QStringLiteral("A4");
    static constexpr int ThumbnailSize = 120;

    std::array<TQRImage*, 4> QRImages{};  // QRImage1 .. QRImage4
    std::array<TQRLabel*, 4> QRLabels{};  // QRLabel3 .. QRLabel6

protected:
    bool TitleAlways() const override { return true; }
    void NeedData(bool& moreData) override;
};
