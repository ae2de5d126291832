#pragma once
// Pictures on disk for the HTML list tests and the item texts that show them.
#include "platform/vcl/list/ListTestUtil.h"
#include "support/TestEnv.h"

#include "controls/HTMLEscape.h"

#include <QColor>
#include <QFile>
#include <QImage>

namespace htmllist {

// A picture file of one colour; returns its path.
inline QString WritePicture(const QString& folder, const QString& name, int width, int height,
                            QColor color = QColor(0, 0, 200))
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    const QString path = folder + name;
    EXPECT_TRUE(image.save(path, "PNG")) << path.toStdString();
    return path;
}

inline QString WriteBytes(const QString& folder, const QString& name, const QByteArray& bytes)
{
    QFile f(folder + name);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return folder + name;
}

// A thumbnail item as the slideshow list shows it: picture, file name, text.
inline QString PictureItem(const QString& path, const QString& text = QString())
{
    return "<IMG src=\"file://" + HTMLEscape(path) + "\" align=\"top\">" + text;
}

} // namespace htmllist
