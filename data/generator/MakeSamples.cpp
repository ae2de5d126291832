// Renders the pictures that ship beside the program: the two sample slideshows of the first
// start (landscapes drawn with QPainter, saved as JPEG by the imaging kernel, with their
// "_THUMB_" thumbnails, Diashow.ini and Pictures.ini) and the product pictures of the
// advertisement window.
//
//   kv_make_samples <program folder>
//
// writes <program folder>/diashow/Archive_0001/, .../Archive_0002/ and
// <program folder>/recom/wer_*.png. The output depends on nothing but this file.
#include "platform/imagelib/lterr.h"
#include "platform/imagelib/ltfil.h"
#include "platform/imagelib/ltkrn.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;
constexpr int kThumbHeight = 70;

bool g_failed = false;

void Fail(const QString& message)
{
    std::fprintf(stderr, "kv_make_samples: %s\n", qPrintable(message));
    g_failed = true;
}

// ---- saving through the kernel -------------------------------------------------------------

void SaveThroughKernel(const QImage& picture, const QString& fileName, std::int32_t format, std::int32_t qFactor)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    LBitmap bitmap;
    if (L_CreateBitmap(&bitmap, rgb.width(), rgb.height(), 24) != LE_SUCCESS) {
        Fail(QStringLiteral("no bitmap for %1").arg(fileName));
        return;
    }
    std::uint8_t* bits = bitmap.BeginWrite();
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* src = rgb.constScanLine(y);
        std::uint8_t* dst = bitmap.WriteRow(bits, y);
        for (int x = 0; x < rgb.width(); ++x) {  // the kernel keeps blue, green, red
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    const int result = L_SaveBitmap(QFile::encodeName(fileName).constData(), &bitmap, format, 24, qFactor, nullptr);
    if (result != LE_SUCCESS)
        Fail(QStringLiteral("%1 not written (%2)").arg(fileName).arg(result));
    L_FreeBitmap(&bitmap);
}

void WriteText(const QString& fileName, const QByteArray& text)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        Fail(QStringLiteral("%1 not written").arg(fileName));
}

// ---- landscapes ------------------------------------------------------------------------------

struct TRidge {
    double Base = 0.5;       // height of the ridge's middle, 0 (top) .. 1 (bottom)
    double Roughness = 0.1;  // amplitude as a part of the picture height
    QColor Color;
    bool Snow = false;
    bool Trees = false;
};

struct TScene {
    std::uint32_t Seed = 1;
    std::vector<std::pair<double, QColor>> Sky;
    QColor SunColor;   // invalid: no sun
    QPointF Sun;       // relative position
    double SunRadius = 0.06;
    bool Stars = false;
    bool Moon = false;
    bool Aurora = false;
    std::vector<TRidge> Ridges;
    double Water = 0;  // top of the water, 0: none
    QColor WaterColor;
    bool Dunes = false;
    bool Mist = false;
};

// A ridge line by midpoint displacement, kWidth + 1 heights in pixels.
std::vector<double> RidgeLine(std::mt19937& random, const TRidge& ridge, int height)
{
    int n = 1;
    while (n < kWidth)
        n *= 2;
    std::vector<double> h(n + 1, 0.0);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    double amplitude = ridge.Roughness * height;
    h[0] = unit(random) * amplitude * 0.5;
    h[n] = unit(random) * amplitude * 0.5;
    for (int step = n; step > 1; step /= 2) {
        for (int i = step / 2; i < n; i += step)
            h[i] = (h[i - step / 2] + h[i + step / 2]) / 2 + unit(random) * amplitude;
        amplitude *= 0.55;
    }
    std::vector<double> line(kWidth + 1);
    for (int x = 0; x <= kWidth; ++x)
        line[x] = ridge.Base * height + h[std::size_t(x) * n / kWidth];
    return line;
}

void PaintRidge(QPainter& p, std::mt19937& random, const TRidge& ridge, int bottom)
{
    const std::vector<double> line = RidgeLine(random, ridge, kHeight);
    QPainterPath path(QPointF(0, bottom));
    for (int x = 0; x <= kWidth; x += 2)
        path.lineTo(x, line[x]);
    path.lineTo(kWidth, bottom);
    path.closeSubpath();
    QLinearGradient fill(0, ridge.Base * kHeight - ridge.Roughness * kHeight, 0, bottom);
    fill.setColorAt(0, ridge.Color.lighter(112));
    fill.setColorAt(1, ridge.Color.darker(125));
    p.fillPath(path, fill);

    if (ridge.Snow) {
        // Snow caps on the peaks: from the ridge down part of the way to a line below the
        // highest points, so that higher peaks carry more snow.
        const double top = *std::min_element(line.begin(), line.end());
        const double snowLine = top + ridge.Roughness * kHeight * 0.6;
        std::uniform_real_distribution<double> jag(-3.0, 3.0);
        std::vector<QPointF> upper, lower;
        const auto flush = [&] {
            if (upper.size() > 2) {
                QPainterPath cap(upper.front());
                for (const QPointF& pt : upper)
                    cap.lineTo(pt);
                for (auto it = lower.rbegin(); it != lower.rend(); ++it)
                    cap.lineTo(*it);
                cap.closeSubpath();
                p.fillPath(cap, QColor(245, 248, 252, 235));
            }
            upper.clear();
            lower.clear();
        };
        for (int x = 0; x <= kWidth; x += 2) {
            if (line[x] < snowLine) {
                upper.emplace_back(x, line[x]);
                lower.emplace_back(x, line[x] + (snowLine - line[x]) * 0.55 + jag(random));
            } else {
                flush();
            }
        }
        flush();
    }
    if (ridge.Trees) {
        std::uniform_int_distribution<int> gap(9, 26);
        std::uniform_real_distribution<double> size(0.7, 1.4);
        for (int x = gap(random); x < kWidth; x += gap(random)) {
            const double s = size(random) * 22;
            const double y = line[x] + 4;
            QPainterPath tree;
            tree.moveTo(x, y - s * 1.6);
            tree.lineTo(x - s * 0.45, y);
            tree.lineTo(x + s * 0.45, y);
            tree.closeSubpath();
            p.fillPath(tree, ridge.Color.darker(170));
        }
    }
}

void PaintDunes(QPainter& p, std::mt19937& random)
{
    std::uniform_real_distribution<double> phase(0, 6.28);
    const QColor sand[] = {QColor(236, 190, 120), QColor(222, 168, 96), QColor(204, 146, 76), QColor(186, 126, 62)};
    for (int layer = 0; layer < 4; ++layer) {
        const double base = kHeight * (0.58 + layer * 0.11);
        const double a = phase(random);
        QPainterPath path(QPointF(0, kHeight));
        for (int x = 0; x <= kWidth; x += 4)
            path.lineTo(x, base + 26 * std::sin(x / (150.0 + layer * 40) + a) + 12 * std::sin(x / 47.0 + 2 * a));
        path.lineTo(kWidth, kHeight);
        path.closeSubpath();
        QLinearGradient fill(0, base - 40, kWidth, base + 80);
        fill.setColorAt(0, sand[layer].lighter(115));
        fill.setColorAt(1, sand[layer].darker(115));
        p.fillPath(path, fill);
    }
}

void PaintAurora(QPainter& p, std::mt19937& random)
{
    std::uniform_real_distribution<double> phase(0, 6.28);
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    for (int band = 0; band < 3; ++band) {
        const double a = phase(random);
        const double base = kHeight * (0.22 + band * 0.09);
        for (int x = 0; x < kWidth; x += 3) {
            const double y = base + 60 * std::sin(x / 180.0 + a) + 25 * std::sin(x / 61.0 + a * 2);
            const double strength = 0.5 + 0.5 * std::sin(x / 95.0 + a * 3);
            QLinearGradient ray(0, y - 150, 0, y + 20);
            const QColor green(60, 255, 140, int(70 * strength));
            const QColor violet(150, 80, 255, int(30 * strength));
            ray.setColorAt(0, QColor(0, 0, 0, 0));
            ray.setColorAt(0.45, violet);
            ray.setColorAt(0.85, green);
            ray.setColorAt(1, QColor(0, 0, 0, 0));
            p.fillRect(QRectF(x, y - 150, 3, 170), ray);
        }
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

QImage RenderScene(const TScene& scene)
{
    std::mt19937 random(scene.Seed);
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, kHeight);
    for (const auto& [at, color] : scene.Sky)
        sky.setColorAt(at, color);
    p.fillRect(image.rect(), sky);

    if (scene.Stars) {
        std::uniform_int_distribution<int> x(0, kWidth - 1), y(0, kHeight * 2 / 3);
        std::uniform_int_distribution<int> bright(120, 255);
        for (int i = 0; i < 420; ++i) {
            const int b = bright(random);
            p.setPen(QColor(b, b, std::min(255, b + 20)));
            p.drawPoint(x(random), y(random));
        }
    }
    if (scene.Aurora)
        PaintAurora(p, random);
    if (scene.SunColor.isValid()) {
        const QPointF centre(scene.Sun.x() * kWidth, scene.Sun.y() * kHeight);
        const double r = scene.SunRadius * kWidth;
        QRadialGradient glow(centre, r * 4);
        QColor halo = scene.SunColor;
        halo.setAlpha(110);
        glow.setColorAt(0, halo);
        glow.setColorAt(1, QColor(0, 0, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(centre, r * 4, r * 4);
        QPainterPath disc;
        disc.addEllipse(centre, r, r);
        if (scene.Moon) {  // a crescent: the disc less a disc beside it
            QPainterPath shadow;
            shadow.addEllipse(centre + QPointF(r * 0.45, -r * 0.2), r * 0.92, r * 0.92);
            disc = disc.subtracted(shadow);
        }
        p.fillPath(disc, scene.SunColor);
    }

    const int groundBottom = scene.Water > 0 ? int(scene.Water * kHeight) : kHeight;
    for (const TRidge& ridge : scene.Ridges)
        PaintRidge(p, random, ridge, groundBottom);
    if (scene.Dunes)
        PaintDunes(p, random);
    if (scene.Mist) {
        QLinearGradient mist(0, kHeight * 0.45, 0, kHeight * 0.8);
        mist.setColorAt(0, QColor(255, 255, 255, 0));
        mist.setColorAt(0.6, QColor(255, 250, 245, 90));
        mist.setColorAt(1, QColor(255, 255, 255, 0));
        p.fillRect(image.rect(), mist);
    }
    p.end();

    if (scene.Water > 0) {
        // The water mirrors what lies above it, tinted and with a few ripples.
        const QImage above = image.copy(0, 0, kWidth, groundBottom).mirrored(false, true);
        QPainter w(&image);
        w.drawImage(0, groundBottom, above);
        QLinearGradient tint(0, groundBottom, 0, kHeight);
        QColor c = scene.WaterColor;
        c.setAlpha(120);
        tint.setColorAt(0, c);
        c.setAlpha(220);
        tint.setColorAt(1, c);
        w.fillRect(QRect(0, groundBottom, kWidth, kHeight - groundBottom), tint);
        std::uniform_int_distribution<int> x(0, kWidth - 1), y(groundBottom + 4, kHeight - 1), len(20, 90);
        for (int i = 0; i < 160; ++i) {
            w.setPen(QColor(255, 255, 255, 40));
            const int yy = y(random);
            const int xx = x(random);
            w.drawLine(xx, yy, xx + len(random), yy);
        }
    }
    return image;
}

// The thumbnail of the archive: 70 pixels high, the width in proportion (rounded half to
// even), in a thin silver frame.
QImage Thumbnail(const QImage& picture)
{
    const int width = int(std::nearbyint(double(kThumbHeight) * picture.width() / picture.height()));
    QImage thumb = picture.scaled(width, kThumbHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter p(&thumb);
    p.setPen(QColor(192, 192, 192));
    p.drawRect(0, 0, width - 1, kThumbHeight - 1);
    return thumb;
}

struct TSamplePicture {
    const char* File;
    const char* Text;
    TScene Scene;
};

void WriteSlideshow(const QString& folder, const char* title, const std::vector<TSamplePicture>& pictures)
{
    if (!QDir().mkpath(folder)) {
        Fail(QStringLiteral("%1 not made").arg(folder));
        return;
    }
    QByteArray list;
    for (const TSamplePicture& picture : pictures) {
        const QImage image = RenderScene(picture.Scene);
        SaveThroughKernel(image, folder + QLatin1String(picture.File), LFMT_JPEG_422, 22);
        SaveThroughKernel(Thumbnail(image), folder + QStringLiteral("_THUMB_") + QLatin1String(picture.File),
                          LFMT_JPEG_422, 2);
        list += QByteArray(picture.File) + " | " + picture.Text + "\r\n";
    }
    WriteText(folder + QStringLiteral("Diashow.ini"), QByteArray("[DIASHOW]\r\nTitel=") + title + "\r\nTime=5\r\n");
    WriteText(folder + QStringLiteral("Pictures.ini"), list);
}

TRidge Ridge(double base, double rough, QColor color, bool snow = false, bool trees = false)
{
    TRidge r;
    r.Base = base;
    r.Roughness = rough;
    r.Color = color;
    r.Snow = snow;
    r.Trees = trees;
    return r;
}

std::vector<TSamplePicture> Panorama()
{
    std::vector<TSamplePicture> v;
    TScene lake;
    lake.Seed = 101;
    lake.Sky = {{0, QColor(70, 130, 210)}, {0.55, QColor(190, 220, 245)}};
    lake.SunColor = QColor(255, 250, 225);
    lake.Sun = {0.78, 0.16};
    lake.Ridges = {Ridge(0.40, 0.10, QColor(120, 140, 175), true), Ridge(0.52, 0.05, QColor(60, 110, 70), false, true)};
    lake.Water = 0.62;
    lake.WaterColor = QColor(30, 90, 110);
    v.push_back({"Lago.jpg", "Lago Verde", lake});

    TScene mountain;
    mountain.Seed = 202;
    mountain.Sky = {{0, QColor(40, 90, 180)}, {0.6, QColor(170, 205, 240)}};
    mountain.Ridges = {Ridge(0.30, 0.16, QColor(110, 120, 150), true), Ridge(0.48, 0.11, QColor(80, 95, 120), true),
                       Ridge(0.72, 0.06, QColor(40, 80, 50), false, true)};
    v.push_back({"Monte.jpg", "Monte Alba", mountain});

    TScene dunes;
    dunes.Seed = 303;
    dunes.Sky = {{0, QColor(90, 150, 215)}, {0.6, QColor(250, 225, 180)}};
    dunes.SunColor = QColor(255, 245, 200);
    dunes.Sun = {0.25, 0.2};
    dunes.Dunes = true;
    v.push_back({"Dune.jpg", "Dune d'Oro", dunes});

    TScene coast;
    coast.Seed = 404;
    coast.Sky = {{0, QColor(60, 140, 220)}, {0.5, QColor(200, 230, 250)}};
    coast.SunColor = QColor(255, 252, 230);
    coast.Sun = {0.6, 0.14};
    coast.SunRadius = 0.04;
    coast.Ridges = {Ridge(0.47, 0.035, QColor(100, 135, 120)), Ridge(0.52, 0.02, QColor(222, 200, 150))};
    coast.Water = 0.55;
    coast.WaterColor = QColor(10, 80, 150);
    v.push_back({"Costa.jpg", "Costa Azzurra", coast});

    TScene hills;
    hills.Seed = 505;
    hills.Sky = {{0, QColor(100, 160, 225)}, {0.5, QColor(225, 240, 250)}};
    hills.SunColor = QColor(255, 250, 220);
    hills.Sun = {0.15, 0.12};
    hills.SunRadius = 0.04;
    hills.Ridges = {Ridge(0.45, 0.05, QColor(120, 170, 100)), Ridge(0.58, 0.06, QColor(90, 150, 70), false, true),
                    Ridge(0.75, 0.05, QColor(150, 180, 60)), Ridge(0.88, 0.03, QColor(100, 140, 40))};
    v.push_back({"Colline.jpg", "Colline Verdi", hills});
    return v;
}

std::vector<TSamplePicture> Aurora()
{
    std::vector<TSamplePicture> v;
    TScene aurora;
    aurora.Seed = 606;
    aurora.Sky = {{0, QColor(5, 10, 30)}, {0.7, QColor(20, 40, 70)}};
    aurora.Stars = true;
    aurora.Aurora = true;
    aurora.Ridges = {Ridge(0.66, 0.07, QColor(15, 25, 40), true), Ridge(0.78, 0.04, QColor(8, 15, 22), false, true)};
    aurora.Water = 0.84;
    aurora.WaterColor = QColor(5, 15, 30);
    v.push_back({"Aurora.jpg", "Aurora Borealis", aurora});

    TScene sunset;
    sunset.Seed = 707;
    sunset.Sky = {{0, QColor(70, 40, 110)}, {0.35, QColor(230, 100, 90)}, {0.6, QColor(255, 190, 100)}};
    sunset.SunColor = QColor(255, 220, 150);
    sunset.Sun = {0.5, 0.56};
    sunset.SunRadius = 0.07;
    sunset.Ridges = {Ridge(0.56, 0.05, QColor(90, 40, 70)), Ridge(0.62, 0.03, QColor(50, 20, 40), false, true)};
    sunset.Water = 0.66;
    sunset.WaterColor = QColor(80, 30, 50);
    v.push_back({"Tramonto.jpg", "Tramonto", sunset});

    TScene night;
    night.Seed = 808;
    night.Sky = {{0, QColor(2, 4, 18)}, {0.8, QColor(25, 35, 70)}};
    night.Stars = true;
    night.SunColor = QColor(250, 245, 220);
    night.Sun = {0.72, 0.2};
    night.SunRadius = 0.035;
    night.Moon = true;
    night.Ridges = {Ridge(0.7, 0.08, QColor(20, 25, 45)), Ridge(0.85, 0.04, QColor(10, 14, 25), false, true)};
    v.push_back({"Notte.jpg", "Notte Stellata", night});

    TScene dawn;
    dawn.Seed = 909;
    dawn.Sky = {{0, QColor(120, 150, 210)}, {0.45, QColor(250, 200, 190)}, {0.65, QColor(255, 230, 190)}};
    dawn.SunColor = QColor(255, 240, 200);
    dawn.Sun = {0.35, 0.5};
    dawn.SunRadius = 0.05;
    dawn.Ridges = {Ridge(0.5, 0.05, QColor(150, 140, 175)), Ridge(0.6, 0.05, QColor(120, 110, 150)),
                   Ridge(0.72, 0.05, QColor(85, 80, 120), false, true)};
    dawn.Mist = true;
    v.push_back({"Alba.jpg", "Alba", dawn});

    TScene dusk;
    dusk.Seed = 1010;
    dusk.Sky = {{0, QColor(40, 30, 90)}, {0.5, QColor(170, 90, 150)}, {0.7, QColor(250, 160, 130)}};
    dusk.Ridges = {Ridge(0.48, 0.08, QColor(110, 70, 130)), Ridge(0.58, 0.08, QColor(80, 50, 105)),
                   Ridge(0.7, 0.07, QColor(55, 35, 80)), Ridge(0.84, 0.05, QColor(30, 20, 50), false, true)};
    v.push_back({"Crepuscolo.jpg", "Crepuscolo", dusk});
    return v;
}

// ---- the advertisement window ------------------------------------------------------------------

void DrawCentredText(QPainter& p, const QRect& box, const QString& text, int pixelSize, bool bold, QColor color)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    p.setFont(font);
    p.setPen(color);
    p.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, text);
}

QImage ProductCard(const QString& name, const QString& slogan, QColor from, QColor to, std::uint32_t seed)
{
    QImage card(360, 200, QImage::Format_RGB32);
    QPainter p(&card);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient back(0, 0, 360, 200);
    back.setColorAt(0, from);
    back.setColorAt(1, to);
    p.fillRect(card.rect(), back);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> x(0, 360), y(0, 200), r(12, 60);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 9; ++i) {
        p.setBrush(QColor(255, 255, 255, 28));
        const int rr = r(random);
        p.drawEllipse(QPoint(x(random), y(random)), rr, rr);
    }
    DrawCentredText(p, QRect(10, 40, 340, 60), name, 38, true, Qt::white);
    DrawCentredText(p, QRect(20, 110, 320, 60), slogan, 17, false, QColor(255, 255, 255, 230));
    return card;
}

void WriteAdvertisement(const QString& recom)
{
    if (!QDir().mkpath(recom)) {
        Fail(QStringLiteral("%1 not made").arg(recom));
        return;
    }
    QImage banner(900, 90, QImage::Format_RGB32);
    {
        QPainter p(&banner);
        QLinearGradient back(0, 0, 900, 0);
        back.setColorAt(0, QColor(72, 120, 200));
        back.setColorAt(1, QColor(30, 55, 110));
        p.fillRect(banner.rect(), back);
        DrawCentredText(p, banner.rect(), QStringLiteral("Top-Produkte von Tessmark"), 34, true, Qt::white);
    }
    SaveThroughKernel(banner, recom + QStringLiteral("wer_banner.png"), LFMT_PNG, 0);

    struct TCard {
        const char* File;
        const char* Name;
        const char* Slogan;
        QColor From, To;
    };
    const TCard cards[] = {
        {"wer_postvane.png", "Postvane", "Grußkarten und Einladungen selbst gestalten",
         QColor(214, 96, 77), QColor(140, 40, 60)},
        {"wer_tavelo.png", "Tavelo", "Fotobücher und Kalender aus Ihren Bildern",
         QColor(70, 160, 120), QColor(20, 90, 80)},
        {"wer_korvanta.png", "Korvanta", "Ihr Fotoarchiv als Diashow", QColor(72, 120, 200), QColor(30, 55, 110)},
        {"wer_vintrel.png", "Vintrel", "Video-CDs mit Musik und Überblendungen",
         QColor(150, 90, 190), QColor(70, 40, 120)},
        {"wer_lumagraft.png", "Lumagraft", "Bilder bearbeiten und verschönern",
         QColor(230, 160, 60), QColor(180, 90, 30)},
    };
    std::uint32_t seed = 1;
    for (const TCard& c : cards)
        SaveThroughKernel(ProductCard(QString::fromUtf8(c.Name), QString::fromUtf8(c.Slogan), c.From, c.To, seed++),
                          recom + QLatin1String(c.File), LFMT_PNG, 0);
}

// The two pictures of the effect preview on the settings tab: a mountain lake by day and the
// northern lights, so that every transition between them shows.
void WriteEffectPreviews(const QString& folder)
{
    const QImage day = RenderScene(Panorama().front().Scene);
    const QImage night = RenderScene(Aurora().front().Scene);
    const auto small = [](const QImage& image) {
        return image.scaled(400, 300, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    SaveThroughKernel(small(day), folder + QStringLiteral("Preview1.jpg"), LFMT_JPEG_422, 10);
    SaveThroughKernel(small(night), folder + QStringLiteral("Preview2.jpg"), LFMT_JPEG_422, 10);
}

// The end cards of a video, one per language: the product's name and a closing line on a
// dark gradient, 4:3.
void WriteEndCards(const QString& folder)
{
    QDir().mkpath(folder);
    const struct {
        const char* File;
        const char* Line;
    } cards[] = {
        {"EndCard_GERMAN.jpg", "Ende"},
        {"EndCard_ENGLISH.jpg", "The End"},
        {"EndCard_SWEDISH.jpg", "Slut"},
    };
    for (const auto& c : cards) {
        QImage card(640, 480, QImage::Format_RGB32);
        QPainter p(&card);
        QLinearGradient g(0, 0, 0, 480);
        g.setColorAt(0, QColor(30, 40, 80));
        g.setColorAt(1, QColor(5, 5, 20));
        p.fillRect(card.rect(), g);
        p.setPen(QColor(240, 240, 255));
        QFont big(QStringLiteral("DejaVu Sans"));
        big.setPixelSize(72);
        big.setBold(true);
        p.setFont(big);
        p.drawText(QRect(0, 120, 640, 120), Qt::AlignCenter, QString::fromUtf8(c.Line));
        QFont small(QStringLiteral("DejaVu Sans"));
        small.setPixelSize(32);
        p.setFont(small);
        p.setPen(QColor(170, 190, 230));
        p.drawText(QRect(0, 280, 640, 60), Qt::AlignCenter, QStringLiteral("Korvanta"));
        p.end();
        SaveThroughKernel(card, folder + QLatin1String(c.File), LFMT_JPEG_422, 10);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kv_make_samples <program folder>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QDir(QFile::decodeName(argv[1])).absolutePath() + QLatin1Char('/');
    WriteSlideshow(folder + QStringLiteral("diashow/Archive_0001/"), "Panorama", Panorama());
    WriteSlideshow(folder + QStringLiteral("diashow/Archive_0002/"), "Aurora", Aurora());
    WriteAdvertisement(folder + QStringLiteral("recom/"));
    WriteEffectPreviews(folder);
    WriteEndCards(folder + QStringLiteral("video/"));
    return g_failed ? 1 : 0;
}
