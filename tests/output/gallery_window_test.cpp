// The gallery window end to end: a slideshow of small pictures becomes a folder of pages and
// web pictures, compared with golden pages, checked by tidy and by reading the pictures back.
#include "shell/WindowTestSupport.h"
#include "support/ProgramFixture.h"
#include "support/ScriptedUi.h"

#include "controls/SlideshowItem.h"
#include "output/fHTML.h"
#include "platform/vcl/Exceptions.h"
#include "ui_fHTML.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using kvtest::TestProgramFolder;

// Red, green, blue of an image pixel.
struct Rgb {
    int r, g, b;
};
Rgb PixelAt(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return {qRed(p), qGreen(p), qBlue(p)};
}
bool Near(Rgb a, Rgb b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

// A slideshow folder, the gallery window over it, and one run of "make gallery".
class GalleryRun {
public:
    explicit GalleryRun(const QString& language = QStringLiteral("ENGLISH"))
        : program(language), Show(kvtest::MakeTempFolder(QStringLiteral("show"))), form(&host)
    {
        form.Source = [this] { return TGallerySource{Show, Title, Items}; };
    }

    // A picture of the slideshow: a plain colour, or no picture file at all (empty colour).
    void Add(const QString& name, int width, int height, const QString& text, QColor color = QColor(200, 30, 30))
    {
        if (color.isValid()) {
            QImage image(width, height, QImage::Format_RGB32);
            image.fill(color);
            EXPECT_TRUE(image.save(Show + name, "JPG", 95)) << name.toStdString();
        }
        Items << EncodeSlideshowItem(Show + "_THUMB_" + name, name, text);
    }

    // Shows the window, lets setup change its controls, clicks "make" and closes.
    void Make(const std::function<void(THTMLForm&)>& setup = {}, const QString& expectMessage = QString())
    {
        kvtest::Ui().ExpectModal("THTMLForm", mrOk, [&](TForm&) {
            if (setup)
                setup(form);
            form.ui()->BitBtn1->click();
        });
        if (!expectMessage.isNull())
            kvtest::Ui().ExpectMessage(mrOk, expectMessage);
        kvtest::Ui().ExpectShellOpen(true);
        kvtest::ShowModal(form);
    }

    QString Gallery() const { return program.Folder + "gallery/"; }
    QStringList GalleryFiles() const { return QDir(Gallery()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    TestProgramFolder program;
    const QString Show;
    QString Title = QStringLiteral("Summer");
    QStringList Items;
    QWidget host;
    THTMLForm form;
};

// Compares the gallery's pages with tests/data/gallery/<name>/ (KORVANTA_REGENERATE_GOLDEN=1
// writes them there instead).
void ExpectGoldenPages(const GalleryRun& run, const QString& name)
{
    const QString golden = kvtest::SourceDir() + "tests/data/gallery/" + name + "/";
    const bool regenerate = qEnvironmentVariableIsSet("KORVANTA_REGENERATE_GOLDEN");
    if (regenerate)
        QDir().mkpath(golden);
    for (const QString& file : run.GalleryFiles()) {
        if (!file.endsWith(".html") && !file.endsWith(".css"))
            continue;
        const QByteArray made = kvtest::ReadFile(run.Gallery() + file);
        if (regenerate) {
            kvtest::WriteFile(golden + file, made);
            continue;
        }
        EXPECT_EQ(made, kvtest::ReadFile(golden + file)) << name.toStdString() << "/" << file.toStdString();
    }
    if (!regenerate) {
        EXPECT_EQ(QDir(golden).entryList(QDir::Files).size(),
                  run.GalleryFiles().filter(QRegularExpression("\\.(html|css)$")).size());
    }
}

// Every href and src of every page names a file of the gallery.
void ExpectLinksResolve(const GalleryRun& run)
{
    const QRegularExpression link(QStringLiteral("(?:href|src)=\"([^\"]*)\""), QRegularExpression::CaseInsensitiveOption);
    for (const QString& file : run.GalleryFiles().filter(".html")) {
        const QString page = QString::fromLatin1(kvtest::ReadFile(run.Gallery() + file));
        auto it = link.globalMatch(page);
        while (it.hasNext()) {
            const QString target = it.next().captured(1);
            if (target.startsWith("http"))
                continue;
            EXPECT_TRUE(QFileInfo::exists(run.Gallery() + target)) << file.toStdString() << " -> " << target.toStdString();
        }
    }
}

} // namespace

TEST(GalleryWindow, EnglishGalleryWithAndWithoutFileNames)
{
    for (const bool names : {true, false}) {
        GalleryRun run;
        run.Add("Beach.jpg", 800, 600, "Sun & sea");
        run.Add("Hut.jpg", 600, 800, "");
        run.Make([&](THTMLForm& f) { f.ui()->FileNameCheckBox->setChecked(names); f.ui()->TextCheckBox->setChecked(true); });
        EXPECT_EQ(run.GalleryFiles(), QStringList({"beach.html", "beach.jpg", "beach_thumb.jpg", "gallery.html", "hut.html",
                                                   "hut.jpg", "hut_thumb.jpg", "layout.css"}));
        ExpectGoldenPages(run, names ? "english-names" : "english-plain");
        ExpectLinksResolve(run);
        for (const char* t : {"gallery.ht1", "gallery.ht2", "einzel.ht1", "einzel.ht2"})
            EXPECT_FALSE(QFileInfo::exists(run.program.Folder + t)) << t << " is left behind";
        const auto opened = kvtest::Ui().AskedOf(TAskKind::ShellOpen);
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_EQ(QUrl(opened[0].Text).toLocalFile(), run.Gallery() + "gallery.html");
        kvtest::Ui().Reset();
    }
}

TEST(GalleryWindow, GermanNavigationAndTidyPages)
{
    GalleryRun run("GERMAN");
    run.Title = QString::fromUtf8("Größe & <Sommer>");
    run.Add(QString::fromUtf8("Größe.jpg"), 320, 240, "<script>alert(1)</script>");
    run.Add("IMG 1.jpg", 320, 240, "eins");
    run.Add("IMG-1.jpg", 240, 320, "zwei");
    run.Make([](THTMLForm& f) { f.ui()->TextCheckBox->setChecked(true); f.ui()->PicProRowMaskEdit->setText("0"); });
    ExpectGoldenPages(run, "german");
    ExpectLinksResolve(run);

    const QByteArray page = kvtest::ReadFile(run.Gallery() + "groesse.html");
    EXPECT_FALSE(page.contains("<script>"));
    EXPECT_TRUE(page.contains("&lt;script&gt;alert(1)&lt;/script&gt;"));
    EXPECT_TRUE(page.contains("Gr\xf6\xdf" "e &amp; &lt;Sommer&gt;")) << "Windows-1252, escaped";
    // The two colliding names keep their own pictures.
    const QImage one(run.Gallery() + "img_1.jpg"), two(run.Gallery() + "img_1_2.jpg");
    EXPECT_EQ(one.size(), QSize(333, 250));
    EXPECT_EQ(two.size(), QSize(250, 333));

    if (QFileInfo(QStringLiteral("/usr/bin/tidy")).isExecutable()) {
        for (const QString& file : run.GalleryFiles().filter(".html")) {
            QProcess tidy;
            tidy.start("/usr/bin/tidy", {"-q", "-e", "-win1252", run.Gallery() + file});
            ASSERT_TRUE(tidy.waitForFinished(20000));
            EXPECT_LT(tidy.exitCode(), 2) << file.toStdString() << ": " << tidy.readAllStandardError().toStdString();
        }
    } else {
        ADD_FAILURE() << "tidy is missing (scripts/debian-packages.txt)";
    }
}

TEST(GalleryWindow, WebPicturesHaveTheirSizesFramesAndBackgroundCorners)
{
    GalleryRun run;
    run.Add("wide.jpg", 800, 600, "");
    run.Add("tall.jpg", 600, 800, "");
    const TColor background = 0x00C08040;  // red 0x40, green 0x80, blue 0xC0
    run.Make([&](THTMLForm& f) { f.GalleryBKGColor = background; });

    struct Case {
        const char* file;
        QSize size;
    } cases[] = {{"wide_thumb.jpg", {107, 80}}, {"tall_thumb.jpg", {80, 107}}, {"wide.jpg", {333, 250}},
                 {"tall.jpg", {250, 333}}};
    const Rgb page{0x40, 0x80, 0xC0};
    for (const Case& c : cases) {
        const QImage image(run.Gallery() + c.file);
        ASSERT_EQ(image.size(), c.size) << c.file;
        const int w = image.width(), h = image.height();
        EXPECT_TRUE(Near(PixelAt(image, 1, h - 3), page, 40)) << c.file << ": bottom-left corner";
        EXPECT_TRUE(Near(PixelAt(image, w - 3, 1), page, 40)) << c.file << ": top-right corner";
        EXPECT_TRUE(Near(PixelAt(image, w / 2, h / 2), {200, 30, 30}, 40)) << c.file << ": the picture";
        EXPECT_FALSE(Near(PixelAt(image, w / 2, 1), {200, 30, 30}, 40)) << c.file << ": the frame";
        // The shadow along the bottom is the background darkened to 0.9.
        EXPECT_TRUE(Near(PixelAt(image, w / 2, h - 2), {0x3A, 0x73, 0xAD}, 40)) << c.file << ": the shadow";
    }
    const QByteArray overview = kvtest::ReadFile(run.Gallery() + "gallery.html");
    EXPECT_TRUE(overview.contains("<img src=\"wide_thumb.jpg\" width=\"107\" height=\"80\""));
    EXPECT_TRUE(overview.contains("<img src=\"tall_thumb.jpg\" width=\"80\" height=\"107\""));

    // Without the frame the picture reaches the edges.
    GalleryRun plain;
    plain.Add("wide.jpg", 800, 600, "");
    plain.Make([](THTMLForm& f) { f.ui()->RahmenCheckBox->setChecked(false); });
    const QImage image(plain.Gallery() + "wide_thumb.jpg");
    EXPECT_TRUE(Near(PixelAt(image, 1, image.height() - 3), {200, 30, 30}, 40));
}

TEST(GalleryWindow, AnUnreadablePictureIsSkippedAndNamed)
{
    GalleryRun run;
    run.Add("a.jpg", 320, 240, "");
    run.Add("missing.jpg", 0, 0, "", QColor());
    kvtest::WriteFile(run.Show + "broken.jpg", QByteArray("\xff\xd8\xff\xe0 not a picture"));
    run.Items << EncodeSlideshowItem(run.Show + "_THUMB_broken.jpg", "broken.jpg", "");
    run.Add("c.jpg", 320, 240, "");
    run.Make({}, "missing.jpg\nbroken.jpg");
    EXPECT_EQ(run.form.SkippedPictures(), QStringList({"missing.jpg", "broken.jpg"}));
    EXPECT_EQ(run.GalleryFiles(), QStringList({"a.html", "a.jpg", "a_thumb.jpg", "c.html", "c.jpg", "c_thumb.jpg",
                                               "gallery.html", "layout.css"}));
    ExpectLinksResolve(run);
    EXPECT_TRUE(kvtest::ReadFile(run.Gallery() + "c.html").contains("[<A HREF=\"a.html\">Forward</A>]"));
}

TEST(GalleryWindow, AFailedRunLeavesNoTemplatesAndTheOldFilesGo)
{
    GalleryRun run;
    run.Add("a.jpg", 320, 240, "");
    // The gallery folder cannot be made: a file stands in its place.
    kvtest::WriteFile(run.program.Folder + "gallery", "file");
    kvtest::Ui().ExpectModal("THTMLForm", mrOk, [&](TForm&) { run.form.ui()->BitBtn1->click(); });
    kvtest::Ui().ExpectMessage(mrOk, "gallery");
    kvtest::ShowModal(run.form);
    for (const char* t : {"gallery.ht1", "gallery.ht2", "einzel.ht1", "einzel.ht2"})
        EXPECT_FALSE(QFileInfo::exists(run.program.Folder + t)) << t;

    // A new run empties the folder of the last gallery first.
    QFile::remove(run.program.Folder + "gallery");
    kvtest::WriteFile(run.Gallery() + "old_thumb.jpg", "old");
    run.Make();
    EXPECT_FALSE(run.GalleryFiles().contains("old_thumb.jpg"));
}

TEST(GalleryWindow, SettingsRoundTripThroughGalleryIni)
{
    GalleryRun run;
    run.Add("a.jpg", 320, 240, "");
    kvtest::Ui().ExpectModal("THTMLForm", mrOk, [&](TForm&) {
        THTMLForm& f = run.form;
        EXPECT_EQ(f.ui()->SmallPicMaskEdit->text(), "80");
        EXPECT_EQ(f.ui()->LargePicMaskEdit->text(), "250");
        EXPECT_EQ(f.ui()->PicProRowMaskEdit->text(), "4");
        EXPECT_TRUE(f.ui()->RahmenCheckBox->isChecked());
        f.ui()->SmallPicMaskEdit->setText("96");
        f.ui()->LargePicMaskEdit->setText("480");
        f.ui()->PicProRowMaskEdit->setText("5");
        f.ui()->TextCheckBox->setChecked(true);
        f.ui()->FileNameCheckBox->setChecked(true);
        f.ui()->RahmenCheckBox->setChecked(false);
        f.ui()->TextcolorButton->click();
        f.ui()->BKGColorButton->click();
        EXPECT_EQ(f.GalleryBKGColor, 0) << "a cancelled dialog keeps the colour";
        f.ui()->BKGColorButton->click();
        EXPECT_EQ(f.ui()->BKGColorPanel->palette().color(QPalette::Window), QColor(Qt::white));
        f.ui()->BitBtn1->click();
    });
    kvtest::Ui().ExpectColor(0x00112233);
    kvtest::Ui().ExpectColor(std::nullopt);
    kvtest::Ui().ExpectColor(0x00FFFFFF);
    kvtest::Ui().ExpectShellOpen(true);
    kvtest::ShowModal(run.form);
    const QString ini = QString::fromUtf8(kvtest::ReadFile(run.program.Folder + "Gallery.ini"));
    const QStringList keys{"SmallPicX=96", "LargePicX=480", "Compression=80", "PicProRow=5", "TextColor=1122867",
                           "BKGColor=16777215", "TextVisible=TRUE", "FilenameVisible=TRUE", "ShapeVisible=FALSE"};
    int at = -1;
    for (const QString& key : keys) {
        const int next = int(ini.indexOf(key));
        EXPECT_GT(next, at) << key.toStdString() << " in order";
        at = next;
    }
    EXPECT_EQ(QFile(run.program.Folder + "Gallery.ini").permissions() & 0x0077, 0) << "readable by the owner only";

    kvtest::Ui().Reset();
    kvtest::Ui().ExpectModal("THTMLForm", mrCancel, [](TForm& f) {
        auto& form = static_cast<THTMLForm&>(f);
        EXPECT_EQ(form.ui()->SmallPicMaskEdit->text(), "96");
        EXPECT_EQ(form.ui()->LargePicMaskEdit->text(), "480");
        EXPECT_EQ(form.ui()->PicProRowMaskEdit->text(), "5");
        EXPECT_TRUE(form.ui()->TextCheckBox->isChecked() && form.TextVisible);
        EXPECT_TRUE(form.ui()->FileNameCheckBox->isChecked() && form.FilenameVisible);
        EXPECT_FALSE(form.ui()->RahmenCheckBox->isChecked() || form.ShapeVisible);
        EXPECT_EQ(form.GalleryTextColor, 0x00112233);
        EXPECT_EQ(form.GalleryBKGColor, 0x00FFFFFF);
    });
    kvtest::ShowModal(run.form);
}

TEST(GalleryWindow, ABrowserThatDoesNotStartShowsTheBrowserText)
{
    GalleryRun run;
    run.Add("a.jpg", 320, 240, "");
    kvtest::Ui().ExpectModal("THTMLForm", mrOk, [&](TForm&) { run.form.ui()->BitBtn1->click(); });
    kvtest::Ui().ExpectShellOpen(false);
    kvtest::Ui().ExpectMessage(mrOk, "Unable to start internet browser!");
    kvtest::ShowModal(run.form);
    EXPECT_TRUE(QFileInfo::exists(run.Gallery() + "gallery.html")) << "the gallery stays";
}

TEST(GalleryWindow, AnEmptySlideshowGivesAnEmptyOverview)
{
    GalleryRun run;
    run.Make();
    EXPECT_EQ(run.GalleryFiles(), QStringList({"gallery.html", "layout.css"}));
    const QByteArray overview = kvtest::ReadFile(run.Gallery() + "gallery.html");
    EXPECT_TRUE(overview.contains("cellpadding=\"0\">\r\n</table>")) << overview.toStdString();
}

TEST(GalleryWindow, EachBadValueOfGalleryIniIsNamedReplacedAndTheShownValuesAreUsed)
{
    struct Case {
        const char* key;
        const char* value;
        const char* used;
    } cases[] = {
        {"SmallPicX", "-5", "1"},          {"SmallPicX", "abc", "80"},       {"LargePicX", "0", "1"},
        {"LargePicX", "2.5e3", "250"},     {"PicProRow", "100000", "99"},    {"Compression", "high", "80"},
        {"BKGColor", "-1", "0"},           {"TextColor", "16777216", "4"},   {"TextVisible", "yes", "FALSE"},
        {"FilenameVisible", "1", "FALSE"}, {"ShapeVisible", "maybe", "TRUE"},
    };
    for (const Case& c : cases) {
        const std::string what = std::string(c.key) + "=" + c.value;
        GalleryRun run;
        run.Add("wide.jpg", 160, 120, "");
        // The bad key among good ones: each key is read on its own.
        const QByteArray key(c.key);
        kvtest::WriteTextFile(run.program.Folder + "Gallery.ini",
                              "[SETTINGS]\r\n" + QByteArray(key == "SmallPicX" ? "" : "SmallPicX=40\r\n") + key + "=" +
                                  c.value + "\r\n" + QByteArray(key == "TextColor" ? "" : "TextColor=255\r\n"));
        int shownSmall = 0, shownLarge = 0;
        kvtest::Ui().ExpectModal("THTMLForm", mrOk, [&](TForm&) {
            THTMLForm& f = run.form;
            if (key != "SmallPicX")
                EXPECT_EQ(f.SmallPicX, 40) << what << ": the keys before it are read";
            if (key != "TextColor")
                EXPECT_EQ(f.GalleryTextColor, 255) << what << ": the keys after it are read";
            EXPECT_EQ(f.ui()->SmallPicMaskEdit->text(), QString::number(f.SmallPicX)) << what;
            EXPECT_EQ(f.ui()->LargePicMaskEdit->text(), QString::number(f.LargePicX)) << what;
            EXPECT_EQ(f.ui()->PicProRowMaskEdit->text(), QString::number(f.PicProRow)) << what;
            shownSmall = f.ui()->SmallPicMaskEdit->text().toInt();
            shownLarge = f.ui()->LargePicMaskEdit->text().toInt();
            f.ui()->BitBtn1->click();
        });
        kvtest::Ui().ExpectMessage(mrOk, run.program.Folder + "Gallery.ini: [SETTINGS] " + c.key + "=" + c.value);
        kvtest::Ui().ExpectShellOpen(true);
        kvtest::ShowModal(run.form);
        EXPECT_EQ(kvtest::Ui().Pending(), 0u) << what;

        // The gallery comes out at the sizes shown (the shorter side of a landscape picture).
        EXPECT_EQ(QImage(run.Gallery() + "wide_thumb.jpg").height(), shownSmall) << what;
        EXPECT_EQ(QImage(run.Gallery() + "wide.jpg").height(), shownLarge) << what;
        const QString ini = QString::fromUtf8(kvtest::ReadFile(run.program.Folder + "Gallery.ini"));
        EXPECT_TRUE(ini.contains(QString(c.key) + "=" + c.used + "\r\n")) << what << "\n" << ini.toStdString();
        kvtest::Ui().Reset();
    }
}

TEST(GalleryWindow, AnInterruptedRunLeavesTheLastWholeGalleryAndItsLeftoversGoAtTheNextRun)
{
    GalleryRun run;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        run.Add(name, 64, 48, "");
    run.Make();
    const QStringList first = run.GalleryFiles();
    ASSERT_TRUE(first.contains("gallery.html"));

    // A second gallery stops after its second page.
    run.Items.clear();
    for (const char* name : {"d.jpg", "e.jpg", "f.jpg"})
        run.Add(name, 64, 48, "");
    int pages = 0;
    run.form.PageWritten = [&] {
        if (++pages == 2)
            throw Exception("The run stopped here");
    };
    kvtest::Ui().ExpectModal("THTMLForm", mrOk, [&](TForm&) { run.form.ui()->BitBtn1->click(); });
    kvtest::Ui().ExpectMessage(mrOk, "The run stopped here");
    kvtest::ShowModal(run.form);
    EXPECT_EQ(run.GalleryFiles(), first) << "the last whole gallery stays";
    EXPECT_FALSE(QFileInfo::exists(run.form.WorkFolder()));
    for (const char* t : {"gallery.ht1", "gallery.ht2", "einzel.ht1", "einzel.ht2"})
        EXPECT_FALSE(QFileInfo::exists(run.program.Folder + t)) << t;

    // A run killed half-way leaves its work folder and templates; the next run clears them.
    run.form.PageWritten = nullptr;
    kvtest::WriteFile(run.form.WorkFolder() + "/stale.html", "half");
    for (const char* t : {"gallery.ht1", "gallery.ht2", "einzel.ht1", "einzel.ht2"})
        kvtest::WriteFile(run.program.Folder + t, "<!-- from a killed run -->");
    run.Make();
    EXPECT_EQ(run.GalleryFiles(), QStringList({"d.html", "d.jpg", "d_thumb.jpg", "e.html", "e.jpg", "e_thumb.jpg",
                                               "f.html", "f.jpg", "f_thumb.jpg", "gallery.html", "layout.css"}));
    EXPECT_FALSE(kvtest::ReadFile(run.Gallery() + "gallery.html").contains("killed run"));
    EXPECT_FALSE(QFileInfo::exists(run.form.WorkFolder()));
    for (const char* t : {"gallery.ht1", "gallery.ht2", "einzel.ht1", "einzel.ht2"})
        EXPECT_FALSE(QFileInfo::exists(run.program.Folder + t)) << t;
    ExpectLinksResolve(run);
}
