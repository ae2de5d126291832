// Item pictures from arbitrary bytes: loading, every frame, the animation steps and drawing.
#include "GuiFuzz.h"

#include "controls/PictureContainer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    guifuzz::EnsureApplication();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const TGifScan scan = ScanGifFrames(bytes);
    for (const TGifFrameInfo& f : scan.Frames)
        if (f.Offset < 0 || f.End > bytes.size() || f.End <= f.Offset)
            std::abort();

    THTMLPicture picture;
    try {
        picture.LoadFromData(bytes);
    } catch (const Exception&) {
        if (!picture.Empty())
            std::abort();  // a failed load leaves nothing behind
        return 0;
    }
    if (picture.FrameCount() != int(scan.Frames.size()))
        std::abort();
    QImage image(64, 64, QImage::Format_BGR888);
    image.fill(Qt::white);
    TCanvas canvas(&image);
    const int frames = std::min(picture.FrameCount(), 8);
    for (int f = 1; f <= frames + 1; ++f) {
        try {
            picture.SetFrame(f);
        } catch (const Exception&) {
        }
        picture.Draw(canvas, Rect(0, 0, 64, 64));
    }
    picture.SetFrame(1);
    for (int i = 0; i < 40; ++i) {
        const bool changed = picture.Step();
        if (changed && picture.FrameCount() < 2)
            std::abort();
    }
    picture.Stretch = true;
    picture.Draw(canvas, Rect(0, 0, 64, 64));
    return 0;
}
