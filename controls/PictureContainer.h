#pragma once
// Pictures of the mini-HTML items: THTMLPicture (the file's bytes, decoded through QImage,
// with the frames of an animated GIF), the per-list cache of pictures by address, and the
// container of named pictures.
#include "controls/GifFrames.h"
#include "platform/vcl/Graphics.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QString>

#include <functional>
#include <list>
#include <memory>
#include <vector>

class QIODevice;
class THTMLPicture;
class THTMLPictureCache;

// Would load a picture's address in the background. No caller sets a picture asynchronous,
// so nothing is ever downloaded: Execute does nothing.
class TDownLoadThread {
public:
    explicit TDownLoadThread(THTMLPicture* picture) : Picture(picture) {}
    void Execute() {}
    THTMLPicture* Picture;
};

class THTMLPicture {
public:
    THTMLPicture();
    ~THTMLPicture();
    THTMLPicture(const THTMLPicture&) = delete;
    THTMLPicture& operator=(const THTMLPicture&) = delete;

    // Resets the frames; null empties the picture, another picture gives its bytes (decoded
    // again). Fires OnChange.
    void Assign(const THTMLPicture* source);

    // The current frame at its own size from r's top-left corner, or stretched into r with
    // Stretch. An empty picture draws nothing.
    void Draw(TCanvas& canvas, const TRect& r) const;

    bool Empty() const { return m_empty; }
    // The decoded picture's size in pixels at PixelsPerInch; 0 while nothing is decoded.
    int Width() const;
    int Height() const;
    // The size the item layout gives the picture: a GIF's logical screen, else Width/Height.
    int LayoutWidth() const;
    int LayoutHeight() const;

    // All bytes of the file (or of the device from its position), decoded at once. A file
    // that cannot be opened raises EInOutError; bytes that do not decode raise Exception
    // ("Could not load image. Invalid format", "Could not load image") and leave the picture
    // empty. LoadFromFile and LoadFromStream fire OnChange; ReadData does not.
    void LoadFromFile(const QString& fileName);
    void LoadFromStream(QIODevice& stream);
    void LoadFromData(const QByteArray& data);
    void ReadData(QIODevice& stream);
    // Writes the raw bytes.
    void SaveToStream(QIODevice& stream) const;
    void WriteData(QIODevice& stream) const { SaveToStream(stream); }
    const QByteArray& Data() const { return m_data; }

    // "RES://name": the resource ":/name" (nothing when it does not exist); "FILE://path":
    // that file (the first 7 characters cut); any other address is only remembered, or with
    // Asynchronous set handed to the download (which does nothing, see TDownLoadThread).
    // The prefixes are matched ignoring case. Raises as LoadFromFile.
    void LoadFromURL(const QString& url);
    const QString& URL() const { return m_url; }
    const QString& DownloadURL() const { return m_downloadUrl; }
    bool Downloading() const { return m_downloading; }
    bool Asynchronous = true;

    bool Stretch = false;
    int PixelsPerInchX = 96;
    int PixelsPerInchY = 96;

    // The current frame, from 1. Setting it decodes that frame when there are bytes (a frame
    // outside 1..FrameCount shows the first) and fires OnFrameChange; a frame that does not
    // decode raises and the picture keeps showing the previous one.
    int Frame() const { return m_frame; }
    void SetFrame(int frame);
    // The number of frames of a GIF (0 for other pictures), counted once per load.
    int FrameCount() const;
    // Delay of frame n in hundredths of a second, -1 when there is no such frame.
    int FrameDelay(int frame) const;
    // One tick of 100 ms of the animation: true when the frame changed. Pictures with fewer
    // than 2 frames, empty pictures and frames that do not decode never change.
    bool Step();

    int FrameLeft() const { return m_frameLeft; }
    int FrameTop() const { return m_frameTop; }
    int FrameWidth() const { return m_frameWidth; }
    int FrameHeight() const { return m_frameHeight; }
    bool FrameTransparent() const { return m_transparent; }
    int FrameDisposal() const { return m_disposal; }
    int ScreenWidth() const { return m_screenWidth; }
    int ScreenHeight() const { return m_screenHeight; }

    // The decoded current frame (null while empty). A picture of a cache keeps only its
    // bytes once the cache drops the decoded frame; Image decodes it again.
    const QImage& Image() const;
    // Whether the current frame is held decoded.
    bool Decoded() const { return !m_image.isNull(); }

    std::function<void(THTMLPicture*)> OnChange;
    std::function<void(THTMLPicture*)> OnFrameChange;
    // For a download; never fired while downloads do nothing.
    std::function<void(THTMLPicture*, unsigned size, unsigned total)> OnDownLoadProgress;
    std::function<void(THTMLPicture*, bool& cancel)> OnDownLoadCancel;
    std::function<void(THTMLPicture*)> OnDownLoadComplete;
    std::function<void(THTMLPicture*, const QString& error)> OnDownLoadError;

private:
    void ResetFrames();
    void Clear();
    void SetData(const QByteArray& data);
    // Decodes frame m_frame; on failure the error text, and the picture is unchanged.
    bool Decode(QString* error);
    // Drops the decoded frame, keeping the bytes and the sizes.
    void DropImage() { m_image = QImage(); }
    const TGifScan& Scan() const;
    void FireChange();
    void SetURL(const QString& url);

    friend class THTMLPictureCache;
    THTMLPictureCache* m_owner = nullptr;  // the cache that indexes the picture by address
    QByteArray m_data;
    bool m_empty = true;
    QImage m_image;
    int m_imageWidth = 0, m_imageHeight = 0;  // of the decoded frame, kept when it is dropped
    QString m_url;
    QString m_downloadUrl;
    bool m_downloading = false;
    int m_frame = 1;
    mutable int m_frameCount = -1;
    mutable TGifScan m_scan;
    int m_frameLeft = 0, m_frameTop = 0, m_frameWidth = 0, m_frameHeight = 0;
    bool m_transparent = false;
    int m_disposal = 0;
    int m_screenWidth = 0, m_screenHeight = 0;
    int m_nextFrameTime = -1;
    int m_tick = -1;
};

// The pictures of one list by address. Pictures keep their place in memory until they are
// removed, so a pointer from FindPicture stays valid while its entry is in the cache. The
// addresses are indexed, so a lookup costs the same in a list of ten or ten thousand items.
// Every picture keeps its bytes; at most DecodedLimit of them also keep their decoded frame
// (the least recently decoded or drawn drop theirs first), so a long list of thumbnails costs
// its compressed files and not its pixels.
class THTMLPictureCache {
public:
    THTMLPictureCache() = default;
    THTMLPictureCache(const THTMLPictureCache&) = delete;
    THTMLPictureCache& operator=(const THTMLPictureCache&) = delete;
    ~THTMLPictureCache();

    THTMLPicture* AddPicture();
    // The first picture whose address is exactly url (case counts), or null.
    THTMLPicture* FindPicture(const QString& url) const;
    // Steps every picture; true when any frame changed.
    bool Animate();
    int Count() const { return int(m_pictures.size()); }
    THTMLPicture* Picture(int index) const { return m_pictures.at(size_t(index)).get(); }
    void Clear();
    // Drops the pictures whose address is not in addressesInUse (for example the sources of
    // every item still in a list, see HTMLPictureSources); returns how many were dropped.
    int RemoveUnused(const QSet<QString>& addressesInUse);

    static constexpr int DefaultDecodedLimit = 128;
    int DecodedLimit() const { return m_decodedLimit; }
    // At least 1; drops the decoded frames beyond the new limit at once.
    void SetDecodedLimit(int limit);
    // How many pictures hold a decoded frame.
    int DecodedCount() const { return int(m_decoded.size()); }

private:
    friend class THTMLPicture;
    void AddressChanged(THTMLPicture* picture, const QString& old);
    void Reindex();
    // The picture was decoded or drawn: it becomes the most recent; the oldest beyond the
    // limit drop their frames.
    void Used(THTMLPicture* picture);
    void Forget(THTMLPicture* picture);
    void Trim();

    int m_decodedLimit = DefaultDecodedLimit;
    std::list<THTMLPicture*> m_decoded;  // most recently used first
    QHash<THTMLPicture*, std::list<THTMLPicture*>::iterator> m_decodedAt;

    std::vector<std::unique_ptr<THTMLPicture>> m_pictures;
    QHash<QString, THTMLPicture*> m_index;  // the first picture of each address
};

class TPictureCollection;

class TPictureItem {
public:
    explicit TPictureItem(TPictureCollection* collection = nullptr) : m_collection(collection) {}
    THTMLPicture& Picture() { return m_picture; }
    const THTMLPicture& Picture() const { return m_picture; }
    // Assigns into the owned picture.
    void SetPicture(const THTMLPicture& picture) { m_picture.Assign(&picture); }
    QString Name;
    int Tag = 0;
    // Copies Name, Tag and the picture.
    void Assign(const TPictureItem& other);
    TPictureCollection* Collection() const { return m_collection; }

private:
    TPictureCollection* m_collection;
    THTMLPicture m_picture;
};

class TPictureContainer;

class TPictureCollection {
public:
    explicit TPictureCollection(TPictureContainer* owner = nullptr) : m_owner(owner) {}
    TPictureCollection(const TPictureCollection&) = delete;
    TPictureCollection& operator=(const TPictureCollection&) = delete;
    TPictureContainer* Owner() const { return m_owner; }
    TPictureItem* Add();
    int Count() const { return int(m_items.size()); }
    TPictureItem* Item(int index) const { return m_items.at(size_t(index)).get(); }
    void Delete(int index);
    void Clear() { m_items.clear(); }

private:
    TPictureContainer* m_owner;
    std::vector<std::unique_ptr<TPictureItem>> m_items;
};

// Named pictures for the items' IMG tags.
class TPictureContainer {
public:
    TPictureContainer() : m_items(this) {}
    TPictureContainer(const TPictureContainer&) = delete;
    TPictureContainer& operator=(const TPictureContainer&) = delete;
    TPictureCollection& Items() { return m_items; }
    const TPictureCollection& Items() const { return m_items; }
    // The picture of the first item whose name equals name ignoring case, or null.
    THTMLPicture* FindPicture(const QString& name) const;
    // Steps every item's picture; true when any frame changed.
    bool Animate();

private:
    TPictureCollection m_items;
};
