#include "platform/vcl/CanvasPixels.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <cstring>

QImage::Format TBitmap::ImageFormatOf(TPixelFormat format)
{
    switch (format) {
    case pfDevice:
    case pf24bit: return QImage::Format_BGR888;
    case pf32bit: return QImage::Format_RGB32;
    case pf15bit: return QImage::Format_RGB555;
    case pf16bit: return QImage::Format_RGB16;
    default: break;
    }
    throw EInvalidGraphic(QStringLiteral("Unsupported bitmap pixel format (%1)").arg(int(format)));
}

TBitmap::TBitmap() : m_canvas(std::make_unique<TCanvas>(&m_image)) {}

TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }

TBitmap::TBitmap(const TBitmap& other) : TBitmap() { *this = other; }

TBitmap& TBitmap::operator=(const TBitmap& other)
{
    if (this == &other)
        return *this;
    m_image = other.m_image;  // implicitly shared; writes detach
    m_width = other.m_width;
    m_height = other.m_height;
    m_format = other.m_format;
    Transparent = other.Transparent;
    TransparentMode = other.TransparentMode;
    m_transparentColor = other.m_transparentColor;
    return *this;
}

TBitmap::~TBitmap() = default;

void TBitmap::SetSize(int w, int h)
{
    w = std::max(0, w);
    h = std::max(0, h);
    if (w == m_width && h == m_height)
        return;
    QImage next;
    if (w > 0 && h > 0) {
        next = QImage(w, h, ImageFormatOf(m_format));
        if (next.isNull())
            throw EInvalidGraphic(QStringLiteral("Cannot make a bitmap of %1 x %2 pixels").arg(w).arg(h));
        next.fill(Qt::white);
        if (!m_image.isNull()) {
            const int rows = std::min(h, m_image.height());
            const size_t bytes = size_t(std::min(w, m_image.width())) * size_t(m_image.depth() / 8);
            for (int y = 0; y < rows; ++y)
                std::memcpy(next.scanLine(y), m_image.constScanLine(y), bytes);
        }
    }
    m_image = next;
    m_width = w;
    m_height = h;
}

TPixelFormat TBitmap::PixelFormat() const { return m_format; }

void TBitmap::SetPixelFormat(TPixelFormat format)
{
    const QImage::Format q = ImageFormatOf(format);
    if (!m_image.isNull() && m_image.format() != q)
        m_image = m_image.convertToFormat(q);
    m_format = format;
}

std::uint8_t* TBitmap::ScanLine(int y)
{
    if (m_image.isNull() || y < 0 || y >= m_height)
        throw EInvalidGraphic(QStringLiteral("Scan line index out of range"));
    return m_image.scanLine(y);
}

const std::uint8_t* TBitmap::ScanLine(int y) const
{
    if (m_image.isNull() || y < 0 || y >= m_height)
        throw EInvalidGraphic(QStringLiteral("Scan line index out of range"));
    return m_image.constScanLine(y);
}

TColor TBitmap::TransparentColor() const
{
    if (TransparentMode == tmFixed)
        return m_transparentColor;
    if (m_image.isNull())
        return clNone;
    return canvas_detail::PixelAccess(const_cast<QImage&>(m_image)).Get(0, m_height - 1);
}

void TBitmap::SetTransparentColor(TColor c)
{
    m_transparentColor = c;
    TransparentMode = c == clDefault ? tmAuto : tmFixed;
}

void TBitmap::SetImage(const QImage& image, TPixelFormat format)
{
    const QImage::Format q = ImageFormatOf(format);
    if (image.isNull() || image.width() == 0 || image.height() == 0) {
        m_image = QImage();
        m_width = m_height = 0;
        m_format = format;
        return;
    }
    QImage converted = image.convertToFormat(q);
    if (converted.isNull())
        throw EInvalidGraphic(QStringLiteral("Cannot make a bitmap of %1 x %2 pixels").arg(image.width()).arg(image.height()));
    m_image = converted;
    m_format = format;
    m_width = m_image.width();
    m_height = m_image.height();
}

void TBitmap::LoadFromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        throw EInvalidGraphic(QStringLiteral("Cannot open file \"%1\"").arg(fileName));
    const QByteArray header = file.peek(30);
    if (header.size() < 30 || !header.startsWith("BM"))
        throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid: \"%1\"").arg(fileName));
    const int bitCount = uchar(header[28]) | (uchar(header[29]) << 8);
    QImageReader reader(&file, "bmp");
    QImage image;
    if (!reader.read(&image) || image.isNull())
        throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid: \"%1\"").arg(fileName));
    SetImage(image, bitCount == 32 ? pf32bit : pf24bit);
}

void SavePictureFile(const QImage& image, const QString& fileName, const char* format, int quality)
{
    try {
        TSafeFile file(fileName);
        QImageWriter writer(&file.Device(), format);
        writer.setQuality(quality);
        if (!writer.write(image)) {
            // A write of the file that failed is named with the system's reason.
            file.CheckWrites();
            throw EInvalidGraphic(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, writer.errorString()));
        }
        file.Commit();
    } catch (const EInvalidGraphic&) {
        throw;
    } catch (const Exception& e) {
        throw EInvalidGraphic(e.Message());
    }
}

void TBitmap::SaveToFile(const QString& fileName) const
{
    if (m_image.isNull())
        throw EInvalidGraphic(QStringLiteral("Cannot save an empty bitmap to \"%1\"").arg(fileName));
    SavePictureFile(m_image.format() == QImage::Format_BGR888 || m_image.format() == QImage::Format_RGB32
                        ? m_image
                        : m_image.convertToFormat(QImage::Format_BGR888),
                    fileName, "bmp");
}
