#include "controls/PictureContainer.h"

#include "platform/vcl/Exceptions.h"
#include "platform/vcl/Font.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <algorithm>

THTMLPicture::THTMLPicture() = default;

THTMLPicture::~THTMLPicture()
{
    if (m_owner)
        m_owner->Forget(this);
}

void THTMLPicture::ResetFrames()
{
    m_frame = 1;
    m_frameCount = -1;
    m_scan = TGifScan();
    m_nextFrameTime = -1;
    m_tick = -1;
}

void THTMLPicture::Clear()
{
    m_data.clear();
    m_empty = true;
    m_image = QImage();
    m_imageWidth = m_imageHeight = 0;
    if (m_owner)
        m_owner->Forget(this);
    m_frameLeft = m_frameTop = m_frameWidth = m_frameHeight = 0;
    m_transparent = false;
    m_disposal = 0;
    m_screenWidth = m_screenHeight = 0;
    ResetFrames();
}

void THTMLPicture::FireChange()
{
    if (OnChange)
        OnChange(this);
}

const TGifScan& THTMLPicture::Scan() const
{
    if (m_frameCount < 0) {
        m_scan = ScanGifFrames(m_data);
        m_frameCount = int(m_scan.Frames.size());
    }
    return m_scan;
}

int THTMLPicture::FrameCount() const { return int(Scan().Frames.size()); }

int THTMLPicture::FrameDelay(int frame) const
{
    const TGifScan& scan = Scan();
    if (frame < 1 || frame > int(scan.Frames.size()))
        return -1;
    return scan.Frames[size_t(frame - 1)].Delay;
}

bool THTMLPicture::Decode(QString* error)
{
    const TGifScan& scan = Scan();
    const bool frames = scan.IsGif && !scan.Frames.empty();
    const int frame = frames && m_frame >= 1 && m_frame <= int(scan.Frames.size()) ? m_frame : 1;
    QByteArray bytes = frames ? GifFrameBytes(m_data, scan, frame) : m_data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (bytes.isEmpty() || !reader.canRead()) {
        *error = QStringLiteral("Could not load image. Invalid format");
        return false;
    }
    QImage image = reader.read();
    if (image.isNull()) {
        *error = QStringLiteral("Could not load image");
        return false;
    }
    if (scan.IsGif) {
        m_screenWidth = scan.ScreenWidth;
        m_screenHeight = scan.ScreenHeight;
    }
    if (frames) {
        const TGifFrameInfo& f = scan.Frames[size_t(frame - 1)];
        m_frameLeft = f.Left;
        m_frameTop = f.Top;
        m_frameWidth = f.Width;
        m_frameHeight = f.Height;
        m_transparent = f.Transparent;
        m_disposal = f.Disposal;
        // The reader paints a lone frame onto the logical screen: keep only the frame, which
        // is drawn at its offset.
        const QRect frameRect(f.Left, f.Top, f.Width, f.Height);
        if (image.size() == QSize(scan.ScreenWidth, scan.ScreenHeight) && frameRect != image.rect() &&
            image.rect().contains(frameRect) && !frameRect.isEmpty())
            image = image.copy(frameRect);
    }
    m_image = image;
    m_imageWidth = image.width();
    m_imageHeight = image.height();
    if (m_owner)
        m_owner->Used(this);
    return true;
}

const QImage& THTMLPicture::Image() const
{
    auto* self = const_cast<THTMLPicture*>(this);
    if (m_image.isNull()) {
        // Bytes that decoded once decode again; should they not, nothing is drawn.
        QString error;
        if (!m_empty && !m_data.isEmpty())
            self->Decode(&error);
    } else if (m_owner) {
        m_owner->Used(self);
    }
    return m_image;
}

void THTMLPicture::SetData(const QByteArray& data)
{
    Clear();
    m_data = data;
    m_empty = false;
    QString error;
    if (!Decode(&error)) {
        Clear();
        throw Exception(error);
    }
}

void THTMLPicture::LoadFromData(const QByteArray& data)
{
    SetData(data);
    FireChange();
}

void THTMLPicture::LoadFromStream(QIODevice& stream) { LoadFromData(stream.readAll()); }

void THTMLPicture::ReadData(QIODevice& stream) { SetData(stream.readAll()); }

void THTMLPicture::LoadFromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    LoadFromStream(file);
}

void THTMLPicture::SaveToStream(QIODevice& stream) const { stream.write(m_data); }

void THTMLPicture::Assign(const THTMLPicture* source)
{
    if (source == this)
        return;
    if (!source || source->m_empty) {
        Clear();
        FireChange();
        return;
    }
    LoadFromData(source->m_data);
}

void THTMLPicture::SetURL(const QString& url)
{
    if (url == m_url)
        return;
    const QString old = m_url;
    m_url = url;
    if (m_owner)
        m_owner->AddressChanged(this, old);
}

void THTMLPicture::LoadFromURL(const QString& url)
{
    const QString upper = url.toUpper();
    if (upper.startsWith(QLatin1String("RES://"))) {
        SetURL(url);
        QFile resource(QStringLiteral(":/") + url.mid(6));
        if (resource.open(QIODevice::ReadOnly))
            LoadFromStream(resource);
    } else if (upper.startsWith(QLatin1String("FILE://"))) {
        SetURL(url);
        LoadFromFile(url.mid(7));
    } else if (!Asynchronous) {
        SetURL(url);
    } else if (!m_downloading) {
        m_downloadUrl = url;
        m_downloading = true;
        TDownLoadThread(this).Execute();
    }
}

int THTMLPicture::Width() const { return m_imageWidth ? MulDiv(m_imageWidth, PixelsPerInchX, 96) : 0; }

int THTMLPicture::Height() const { return m_imageHeight ? MulDiv(m_imageHeight, PixelsPerInchY, 96) : 0; }

int THTMLPicture::LayoutWidth() const { return m_screenWidth ? m_screenWidth : Width(); }

int THTMLPicture::LayoutHeight() const { return m_screenHeight ? m_screenHeight : Height(); }

void THTMLPicture::Draw(TCanvas& canvas, const TRect& r) const
{
    if (m_empty || Image().isNull())
        return;
    const QRect target = Stretch ? r.ToQRect() : QRect(r.Left, r.Top, Width(), Height());
    canvas.WithPainter([&](QPainter& p) {
        p.setRenderHint(QPainter::SmoothPixmapTransform, true);
        p.drawImage(target, m_image);
    });
}

void THTMLPicture::SetFrame(int frame)
{
    m_frame = frame;
    if (m_data.isEmpty())
        return;
    QString error;
    if (!Decode(&error))
        throw Exception(error);
    if (OnFrameChange)
        OnFrameChange(this);
}

bool THTMLPicture::Step()
{
    if (m_empty || FrameCount() < 2)
        return false;
    if (m_nextFrameTime == -1) {
        const TGifFrameInfo& f = Scan().Frames[size_t(std::clamp(m_frame, 1, m_frameCount) - 1)];
        m_transparent = f.Transparent;
        m_disposal = f.Disposal;
    }
    bool changed = false;
    if (m_tick * 10 >= m_nextFrameTime) {
        const int next = m_frame >= m_frameCount ? 1 : m_frame + 1;
        try {
            SetFrame(next);
            changed = true;
        } catch (const Exception&) {
            // A frame that does not decode is skipped; the last good one stays visible.
        }
        m_nextFrameTime += FrameDelay(next);
    }
    ++m_tick;
    return changed;
}

THTMLPictureCache::~THTMLPictureCache() { Clear(); }

THTMLPicture* THTMLPictureCache::AddPicture()
{
    m_pictures.push_back(std::make_unique<THTMLPicture>());
    m_pictures.back()->m_owner = this;
    return m_pictures.back().get();
}

THTMLPicture* THTMLPictureCache::FindPicture(const QString& url) const { return m_index.value(url, nullptr); }

void THTMLPictureCache::AddressChanged(THTMLPicture* picture, const QString& old)
{
    // A new picture takes its first address: it is the last one, so an earlier picture of
    // that address stays first. Any other change orders the index anew.
    if (old.isEmpty() && picture == m_pictures.back().get()) {
        if (!m_index.contains(picture->URL()))
            m_index.insert(picture->URL(), picture);
        return;
    }
    Reindex();
}

void THTMLPictureCache::Reindex()
{
    m_index.clear();
    for (const auto& p : m_pictures)
        if (!m_index.contains(p->URL()))
            m_index.insert(p->URL(), p.get());
}

void THTMLPictureCache::Clear()
{
    m_index.clear();
    m_pictures.clear();  // each picture leaves the decoded list as it goes
}

void THTMLPictureCache::Used(THTMLPicture* picture)
{
    const auto at = m_decodedAt.constFind(picture);
    if (at != m_decodedAt.cend()) {
        m_decoded.splice(m_decoded.begin(), m_decoded, at.value());
        return;
    }
    m_decoded.push_front(picture);
    m_decodedAt.insert(picture, m_decoded.begin());
    Trim();
}

void THTMLPictureCache::Forget(THTMLPicture* picture)
{
    const auto at = m_decodedAt.constFind(picture);
    if (at == m_decodedAt.cend())
        return;
    m_decoded.erase(at.value());
    m_decodedAt.erase(at);
}

void THTMLPictureCache::Trim()
{
    while (int(m_decoded.size()) > m_decodedLimit) {
        THTMLPicture* oldest = m_decoded.back();
        m_decoded.pop_back();
        m_decodedAt.remove(oldest);
        oldest->DropImage();
    }
}

void THTMLPictureCache::SetDecodedLimit(int limit)
{
    m_decodedLimit = std::max(1, limit);
    Trim();
}

bool THTMLPictureCache::Animate()
{
    bool changed = false;
    for (const auto& p : m_pictures)
        changed = p->Step() || changed;
    return changed;
}

int THTMLPictureCache::RemoveUnused(const QSet<QString>& addressesInUse)
{
    const auto before = m_pictures.size();
    std::erase_if(m_pictures, [&](const auto& p) { return !addressesInUse.contains(p->URL()); });
    Reindex();
    return int(before - m_pictures.size());
}

void TPictureItem::Assign(const TPictureItem& other)
{
    if (&other == this)
        return;
    Name = other.Name;
    Tag = other.Tag;
    m_picture.Assign(&other.m_picture);
}

TPictureItem* TPictureCollection::Add()
{
    m_items.push_back(std::make_unique<TPictureItem>(this));
    return m_items.back().get();
}

void TPictureCollection::Delete(int index)
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    m_items.erase(m_items.begin() + index);
}

THTMLPicture* TPictureContainer::FindPicture(const QString& name) const
{
    for (int i = 0; i < m_items.Count(); ++i) {
        TPictureItem* item = m_items.Item(i);
        if (item->Name.compare(name, Qt::CaseInsensitive) == 0)
            return &item->Picture();
    }
    return nullptr;
}

bool TPictureContainer::Animate()
{
    bool changed = false;
    for (int i = 0; i < m_items.Count(); ++i)
        changed = m_items.Item(i)->Picture().Step() || changed;
    return changed;
}
