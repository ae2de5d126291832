// The item engine on arbitrary item texts: measuring, drawing and hit testing on a picture,
// with named pictures and an image list at hand, and the plain text. Addresses are not
// loaded (no cache), so inputs never reach the file system.
#include "GuiFuzz.h"

#include "controls/HTMLRender.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    guifuzz::EnsureApplication();
    if (size > 4096)
        return 0;
    static TPictureContainer* container = [] {
        auto* c = new TPictureContainer;
        QImage img(6, 4, QImage::Format_RGB32);
        img.fill(Qt::red);
        QByteArray bmp;
        QBuffer b(&bmp);
        b.open(QIODevice::WriteOnly);
        img.save(&b, "BMP");
        TPictureItem* item = c->Items().Add();
        item->Name = "pic";
        item->Picture().LoadFromData(bmp);
        return c;
    }();
    static TImageList* images = [] {
        auto* l = new TImageList(8, 8);
        QImage img(8, 8, QImage::Format_RGB32);
        img.fill(Qt::blue);
        l->Add(img);
        return l;
    }();
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString plain = HTMLToPlainText(text);
    if (plain.size() > text.size())
        std::abort();  // markup only ever goes
    HTMLPictureSources(text);

    QImage image(160, 60, QImage::Format_BGR888);
    image.fill(Qt::white);
    TCanvas canvas(&image);
    THTMLRenderRequest req;
    req.Canvas = &canvas;
    req.Text = text;
    req.Rect = Rect(2, 2, 158, 58);
    req.Container = container;
    req.Images = images;
    req.WordWrap = size % 2 == 0;
    req.Selected = size % 3 == 0;
    req.BlinkOn = size % 5 != 0;
    req.FocusAnchor = 0;
    req.HoverAnchor = 0;

    THTMLRenderRequest measure = req;
    measure.MeasureOnly = true;
    const THTMLRenderResult m = RenderHTMLText(measure);
    if (m.Height < 0 || m.Width < 0)
        std::abort();
    const THTMLRenderResult d = RenderHTMLText(req);
    if (d.Height > m.Height)
        std::abort();  // drawing stops at the bottom; measuring never does
    THTMLRenderRequest hit = req;
    hit.HitTest = true;
    hit.X = 40;
    hit.Y = 8;
    const THTMLRenderResult h = RenderHTMLText(hit);
    if (h.Hit && h.AnchorCount == 0)
        std::abort();  // only anchors are hit
    return 0;
}
