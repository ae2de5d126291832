#include "output/gallery/GalleryPictures.h"

#include "platform/imagelib/OwnedBitmap.h"
#include "platform/imagelib/imagelib.h"
#include "platform/system/OrderedPool.h"
#include "platform/vcl/SysUtils.h"

#include <QFile>

#include <algorithm>

namespace {

// A size x size square of colour (0x00BBGGRR) with its top-left corner at left, top.
void FillSquare(LBitmap& bitmap, int left, int top, int size, std::uint32_t color)
{
    const std::uint8_t bgr[3] = {std::uint8_t(color >> 16), std::uint8_t(color >> 8), std::uint8_t(color)};
    std::uint8_t* bits = bitmap.BeginWrite();
    for (int y = std::max(0, top); y < std::min(top + size, bitmap.Height); ++y) {
        std::uint8_t* row = bitmap.WriteRow(bits, y);
        for (int x = std::max(0, left); x < std::min(left + size, bitmap.Width); ++x)
            std::copy_n(bgr, 3, row + 3 * x);
    }
}

// The whole file; empty when it cannot be read.
QByteArray ReadPictureFile(const QString& source)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool UprightSize(const QByteArray& data, int& width, int& height)
{
    LFileInfo info{};
    LLoadOptions options;
    L_GetDefaultLoadFileOption(&options);
    options.PageNumber = 1;
    if (data.isEmpty() ||
        L_FileInfoMemory(reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size()), &info, 1,
                         &options) != LE_SUCCESS ||
        info.Width <= 0 || info.Height <= 0)
        return false;
    width = info.Width;
    height = info.Height;
    return true;
}

bool Decode(const QByteArray& data, int minWidth, int minHeight, LBitmap& out)
{
    LLoadOptions options;
    L_GetDefaultLoadFileOption(&options);
    options.PageNumber = 1;
    options.Passes = 0;
    options.DecodeMinWidth = minWidth;
    options.DecodeMinHeight = minHeight;
    return L_LoadBitmapMemory(reinterpret_cast<const std::uint8_t*>(data.constData()), std::size_t(data.size()), &out,
                              0, LORDER_BGR_OR_GRAY, &options, nullptr) == LE_SUCCESS;
}

// One web picture of width x height from the decoded picture.
bool SaveSized(const LBitmap& decoded, int width, int height, const QString& target, const TWebPictureLook& look)
{
    OwnedBitmap sized;
    LBitmap& b = sized.bitmap;
    if (L_CopyBitmap(&b, &decoded) != LE_SUCCESS || L_SizeBitmap(&b, width, height, 4) != LE_SUCCESS)
        return false;
    if ((b.BitsPerPixel != 24 || b.ViewPerspective != LVP_TOP_LEFT) && L_ExpandBitmapTo24(&b) != LE_SUCCESS)
        return false;
    if (look.Shape) {
        if (!DrawThumbnailFrame(b, look.Frame))
            return false;
        FillSquare(b, 0, b.Height - look.CornerSize, look.CornerSize, look.Background);
        FillSquare(b, b.Width - look.CornerSize, 0, look.CornerSize, look.Background);
    }
    LSaveOptions save;
    L_GetDefaultSaveFileOption(&save);
    save.PageNumber = 1;
    save.Passes = 0;
    save.Flags &= ~(LSO_BACKGROUND | LSO_PALETTE | LSO_LOOP);
    return L_SaveBitmap(QFile::encodeName(target).constData(), &b, 23, 24, 22, &save) == LE_SUCCESS;
}

} // namespace

std::uint32_t WebShadowColor(std::uint32_t background)
{
    std::uint32_t out = 0;
    for (int shift : {0, 8, 16}) {
        const int channel = int((background >> shift) & 0xFF);
        out |= std::uint32_t(std::clamp(int(Round(0.9 * channel)), 0, 255)) << shift;
    }
    return out;
}

bool PictureFileSize(const QString& file, int& width, int& height)
{
    LFileInfo info{};
    LLoadOptions options;
    L_GetDefaultLoadFileOption(&options);
    options.PageNumber = 1;
    if (L_FileInfo(QFile::encodeName(file).constData(), &info, 1, &options) != LE_SUCCESS || info.Width <= 0 ||
        info.Height <= 0)
        return false;
    width = info.Width;
    height = info.Height;
    return true;
}

TWebPictureResult MakeWebPictures(const TWebPictureJob& job)
{
    TWebPictureResult result;
    const QByteArray data = ReadPictureFile(job.Source);
    if (!UprightSize(data, result.PictureWidth, result.PictureHeight))
        return result;
    const TWebSizes s = WebSizes(result.PictureWidth, result.PictureHeight, job.SmallX, job.LargeX);
    result.Sizes = s;
    OwnedBitmap decoded;
    // Twice the larger web size keeps the resize clean.
    if (!Decode(data, 2 * std::max(s.ThumbWidth, s.LargeWidth), 2 * std::max(s.ThumbHeight, s.LargeHeight),
                decoded.bitmap))
        return result;
    result.Ok = SaveSized(decoded.bitmap, s.ThumbWidth, s.ThumbHeight, job.ThumbTarget, job.Look) &&
                SaveSized(decoded.bitmap, s.LargeWidth, s.LargeHeight, job.LargeTarget, job.Look);
    return result;
}

bool MakeWebPicture(const QString& source, const QString& target, int width, const TWebPictureLook& look)
{
    const QByteArray data = ReadPictureFile(source);
    int w = 0, h = 0;
    if (!UprightSize(data, w, h))
        return false;
    width = std::max(1, width);
    const int height = WebHeight(width, w, h);
    OwnedBitmap decoded;
    return Decode(data, 2 * width, 2 * height, decoded.bitmap) && SaveSized(decoded.bitmap, width, height, target, look);
}

void RunWebPictureJobs(const std::vector<TWebPictureJob>& jobs, int threads,
                       const std::function<void(int index, const TWebPictureResult&)>& done,
                       const std::function<void()>& wait)
{
    std::vector<TWebPictureResult> results(jobs.size());
    // Declared after the results it writes: should done or wait throw, the jobs not started
    // yet are dropped and those running finish before the results go.
    TOrderedPool pool(jobs.size(), threads);
    for (std::size_t i = 0; i < jobs.size(); ++i)
        pool.Start(i, [&results, &jobs, i] { results[i] = MakeWebPictures(jobs[i]); });
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        while (!pool.WaitFor(i, 20)) {
            if (wait)
                wait();
        }
        done(int(i), results[i]);
    }
}
