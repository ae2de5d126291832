#pragma once
// TImage: the framework's picture control, a widget showing a bitmap (Picture) that code
// draws on through Canvas. With AutoSize the control takes the bitmap's size; Center puts a
// smaller picture in the middle; Stretch scales it to the control.
#include "platform/vcl/Graphics.h"

#include <QWidget>

class TImage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(bool Center READ Center WRITE setCenter)
    Q_PROPERTY(bool Stretch READ Stretch WRITE setStretch)
public:
    explicit TImage(QWidget* parent = nullptr);
    ~TImage() override;

    // The picture's bitmap (Picture.Bitmap); call Changed after drawing into it from code.
    TBitmap& Picture() { return m_picture; }
    const TBitmap& Picture() const { return m_picture; }
    TCanvas& Canvas() { return m_picture.Canvas(); }
    // Replaces the picture by a copy of bitmap and repaints.
    void SetPicture(const TBitmap& bitmap);
    // Empties the picture.
    void ClearPicture();
    // The picture changed: sizes (AutoSize) and repaints.
    void Changed();

    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool on);
    bool Center() const { return m_center; }
    void setCenter(bool on);
    bool Stretch() const { return m_stretch; }
    void setStretch(bool on);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    TBitmap m_picture;
    bool m_autoSize = false;
    bool m_center = false;
    bool m_stretch = false;
};
