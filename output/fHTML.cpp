#include "output/fHTML.h"
#include "shell/Windows.h"

#include "controls/SlideshowItem.h"
#include "imaging/ShapeFrame.h"
#include "output/fFTP.h"
#include "output/gallery/GalleryPictures.h"
#include "output/gallery/GallerySettings.h"
#include "output/gallery/Make.h"
#include "platform/system/ProgramFolder.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/Files.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Language.h"
#include "shell/core/ProductInfo.h"
#include "output/DialogPicture.h"
#include "ui_fHTML.h"

#include <QDir>
#include <QFileInfo>
#include <QHideEvent>
#include <QIntValidator>
#include <QRegularExpressionValidator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

THTMLForm* HTMLForm = nullptr;

namespace {

const char* const kTemplates[] = {"gallery.ht1", "gallery.ht2", "einzel.ht1", "einzel.ht2"};
const char kBrowserFailure[] = "Unable to start internet browser! Make sure you have it properly set-up on your system!";

[[noreturn]] void RaisePublishError(const QString& folder)
{
    throw EInOutError(QStringLiteral("The gallery could not be put in place as \"%1\": %2")
                          .arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
}

void SetPanelColor(QWidget& panel, TColor color)
{
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Window, ToQColor(color));
    panel.setPalette(palette);
    panel.setAutoFillBackground(true);
}

// The colour dialog, starting at color; when confirmed, color and its panel take the choice.
void PickColor(TColor& color, QWidget& panel)
{
    TColorDialog dialog;
    dialog.Color = color;
    if (!dialog.Execute())
        return;
    color = dialog.Color;
    SetPanelColor(panel, color);
}


} // namespace

THTMLForm::THTMLForm(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::THTMLForm>())
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Load([this] { m_ui->setupUi(this); });
}

THTMLForm::~THTMLForm() = default;

void THTMLForm::BindEvents()
{
    Bind(m_ui->PicProRowMaskEdit, &QLineEdit::textChanged, &THTMLForm::PicProRowMaskEditChange);
    Bind(m_ui->SmallPicMaskEdit, &QLineEdit::textChanged, &THTMLForm::SmallPicMaskEditChange);
    Bind(m_ui->LargePicMaskEdit, &QLineEdit::textChanged, &THTMLForm::LargePicMaskEditChange);
    Bind(m_ui->TextcolorButton, &QPushButton::clicked, &THTMLForm::TextcolorButtonClick);
    Bind(m_ui->BKGColorButton, &QPushButton::clicked, &THTMLForm::BKGColorButtonClick);
    Bind(m_ui->TextCheckBox, &QCheckBox::toggled, &THTMLForm::TextCheckBoxClick);
    Bind(m_ui->FileNameCheckBox, &QCheckBox::toggled, &THTMLForm::FileNameCheckBoxClick);
    Bind(m_ui->RahmenCheckBox, &QCheckBox::toggled, &THTMLForm::RahmenCheckBoxClick);
    Bind(m_ui->BitBtn1, &QPushButton::clicked, &THTMLForm::BitBtn1Click);
    Bind(m_ui->BitBtn2, &QPushButton::clicked, &THTMLForm::BitBtn2Click);
    Bind(m_ui->BitBtn3, &QPushButton::clicked, &THTMLForm::BitBtn3Click);
}

void THTMLForm::FormCreate()
{
    const QRegularExpression digits(QStringLiteral("[0-9]*"));
    for (QLineEdit* edit : {m_ui->PicProRowMaskEdit, m_ui->SmallPicMaskEdit, m_ui->LargePicMaskEdit})
        edit->setValidator(new QRegularExpressionValidator(digits, edit));

    setWindowTitle(GetLangText(3500));
    m_ui->Label16->setText(GetLangText(3500));
    m_ui->GroupBox1->setTitle(GetLangText(3501));
    m_ui->Label5->setText(GetLangText(3502));
    m_ui->Label1->setText(GetLangText(3503));
    m_ui->Label2->setText(GetLangText(3504));
    m_ui->TextCheckBox->setText(GetLangText(3505));
    m_ui->FileNameCheckBox->setText(GetLangText(3506));
    m_ui->RahmenCheckBox->setText(GetLangText(3507));
    m_ui->GroupBox2->setTitle(GetLangText(3508));
    m_ui->BKGColorButton->setText(GetLangText(3509));
    m_ui->TextcolorButton->setText(GetLangText(3510));
    m_ui->KonvertLabel->setText(GetLangText(3511));
    m_ui->BitBtn1->setText(GetLangText(3512));
    m_ui->BitBtn2->setText(GetLangText(3513));
    m_ui->BitBtn3->setText(GetLangText(3514));

    GalleryFolder = ProgramFolder() + QStringLiteral("gallery");

    // The picture comes last, so that a window whose picture is missing still has its texts.
    ShowDialogPicture(*m_ui->Image1, ProductInfo.SideImage);
}

void THTMLForm::FormActivate()
{
    LoadGallerySettings();
    GalleryFolder = ProgramFolder() + QStringLiteral("gallery");
    m_ui->LargePicMaskEdit->setText(QString::number(LargePicX));
    m_ui->SmallPicMaskEdit->setText(QString::number(SmallPicX));
    m_ui->PicProRowMaskEdit->setText(QString::number(PicProRow));
    // The values that were replaced are named once while the window is open, not at every
    // activation.
    const QString problems = DescribeIniProblems(m_iniProblems);
    if (!problems.isEmpty() && problems != m_problemsNamed) {
        m_problemsNamed = problems;
        MessageDlg(GetLangText(3516) + QStringLiteral("\n\n") + problems, mtWarning, {mbOK});
    }
}

void THTMLForm::hideEvent(QHideEvent* event)
{
    TForm::hideEvent(event);
    if (!event->spontaneous())
        m_problemsNamed.clear();
}

// ---- settings ----------------------------------------------------------------------------------

void THTMLForm::LoadGallerySettings()
{
    m_iniProblems.clear();
    const TGallerySettings s = ReadGallerySettings(GalleryIniPath(), m_iniProblems);
    SmallPicX = s.SmallPicX;
    LargePicX = s.LargePicX;
    Compression = s.Compression;
    PicProRow = s.PicProRow;
    GalleryBKGColor = s.BKGColor;
    SetPanelColor(*m_ui->BKGColorPanel, GalleryBKGColor);
    GalleryTextColor = s.TextColor;
    SetPanelColor(*m_ui->TextColorPanel, GalleryTextColor);
    // Each box's handler copies its state into the field; a box that keeps its state does
    // not signal, so the field is set here too.
    m_ui->TextCheckBox->setChecked(s.TextVisible);
    TextVisible = s.TextVisible;
    m_ui->FileNameCheckBox->setChecked(s.FilenameVisible);
    FilenameVisible = s.FilenameVisible;
    m_ui->RahmenCheckBox->setChecked(s.ShapeVisible);
    ShapeVisible = s.ShapeVisible;
}

void THTMLForm::SaveGallerySettings()
{
    TGallerySettings s;
    s.SmallPicX = SmallPicX;
    s.LargePicX = LargePicX;
    s.Compression = Compression;
    s.PicProRow = PicProRow;
    s.BKGColor = GalleryBKGColor;
    s.TextColor = GalleryTextColor;
    s.TextVisible = TextVisible;
    s.FilenameVisible = FilenameVisible;
    s.ShapeVisible = ShapeVisible;
    WriteGallerySettings(GalleryIniPath(), s);
    ProtectGalleryIni();
}

void THTMLForm::ShowValuesInUse()
{
    // A field emptied to type anew keeps the value last typed; the edits take at most four
    // (two) digits, so only the lower end can be out of range.
    const auto show = [](QLineEdit& edit, int& value, TIntRange range) {
        value = range.Clamp(value);
        edit.setText(QString::number(value));
    };
    show(*m_ui->SmallPicMaskEdit, SmallPicX, kWebSizeRange);
    show(*m_ui->LargePicMaskEdit, LargePicX, kWebSizeRange);
    show(*m_ui->PicProRowMaskEdit, PicProRow, kPicProRowRange);
}

// ---- handlers ----------------------------------------------------------------------------------

void THTMLForm::PicProRowMaskEditChange()
{
    const QString t = m_ui->PicProRowMaskEdit->text().trimmed();
    if (!t.isEmpty())
        PicProRow = StrToInt(t);
}

void THTMLForm::SmallPicMaskEditChange()
{
    const QString t = m_ui->SmallPicMaskEdit->text().trimmed();
    if (!t.isEmpty())
        SmallPicX = StrToInt(t);
}

void THTMLForm::LargePicMaskEditChange()
{
    const QString t = m_ui->LargePicMaskEdit->text().trimmed();
    if (!t.isEmpty())
        LargePicX = StrToInt(t);
}

void THTMLForm::TextcolorButtonClick() { PickColor(GalleryTextColor, *m_ui->TextColorPanel); }

void THTMLForm::BKGColorButtonClick() { PickColor(GalleryBKGColor, *m_ui->BKGColorPanel); }

void THTMLForm::TextCheckBoxClick() { TextVisible = m_ui->TextCheckBox->isChecked(); }
void THTMLForm::FileNameCheckBoxClick() { FilenameVisible = m_ui->FileNameCheckBox->isChecked(); }
void THTMLForm::RahmenCheckBoxClick() { ShapeVisible = m_ui->RahmenCheckBox->isChecked(); }

void THTMLForm::BitBtn1Click() { MakeGallery(); }

void THTMLForm::BitBtn2Click()
{
    // A new upload window for each request; it lives on after this window closes.
    TBusyCursor busy;
    FTPForm = new TFTPForm(this);
    FTPForm->GalleryFolder = GalleryFolder;
    FTPForm->Show();
}

void THTMLForm::BitBtn3Click() { close(); }

// ---- the pictures ------------------------------------------------------------------------------

QString THTMLForm::PicturePathAt(int I) const
{
    const QString folder = Source ? Source().DiashowPath : QString();
    return folder + DecodeSlideshowItem(PicturesList.value(I)).Name;
}

bool THTMLForm::ComputeWebSizes(const QString& path)
{
    TBusyCursor busy;
    if (!PictureFileSize(path, PictureWidth, PictureHeight))
        return false;
    const TWebSizes s = WebSizes(PictureWidth, PictureHeight, SmallPicX, LargePicX);
    Landscape = s.Landscape;
    ThumbWidth = s.ThumbWidth;
    LargeWidth = s.LargeWidth;
    return true;
}

TWebPictureLook THTMLForm::PictureLook() const
{
    TWebPictureLook look;
    look.Shape = ShapeVisible;
    look.Background = std::uint32_t(ColorToRGB(GalleryBKGColor)) & 0x00FFFFFFu;
    look.Frame = ShapeFrameOf(*m_ui->LEADImage1);
    look.Frame.shadowColor = WebShadowColor(look.Background);
    return look;
}

bool THTMLForm::SaveWebPicture(const QString& target, int W, const QString& source)
{
    TBusyCursor busy;
    return MakeWebPicture(source, target, W, PictureLook());
}

void THTMLForm::SetFolderProgress(int position)
{
    m_ui->ProgressBar1->setValue(qBound(0, position, 100));
    m_ui->ProgressBar1->repaint();
}

void THTMLForm::ConvertGalleryPictures()
{
    TBusyCursor busy;
    // The pictures go into the empty work folder; the finished gallery stays as it is.
    const QString folder = WorkFolder() + QLatin1Char('/');
    ForceDirectoriesOrRaise(WorkFolder());

    m_ui->KonvertLabel->show();
    m_ui->KonvertLabel->repaint();
    SetFolderProgress(0);
    m_ui->ProgressBar1->show();

    const TGallerySource source = Source ? Source() : TGallerySource();
    PicturesList = source.Items;
    QStringList names;
    for (const QString& item : PicturesList)
        names << DecodeSlideshowItem(item).Name;
    const QStringList webNames = UniqueWebNames(names);

    std::vector<TWebPictureJob> jobs;
    const TWebPictureLook look = PictureLook();
    for (int i = 0; i < int(PicturesList.size()); ++i) {
        TWebPictureJob job;
        job.Source = source.DiashowPath + names[i];  // PicturePathAt(i), the slideshow asked once
        job.ThumbTarget = folder + webNames[i] + QStringLiteral("_thumb.jpg");
        job.LargeTarget = folder + webNames[i] + QStringLiteral(".jpg");
        job.SmallX = SmallPicX;
        job.LargeX = LargePicX;
        job.Look = look;
        jobs.push_back(job);
    }

    // The pictures are made on worker threads; the progress and the list of pictures follow
    // in the order of the slideshow while the window keeps painting.
    m_entries.clear();
    m_skipped.clear();
    const int count = int(jobs.size());
    RunWebPictureJobs(
        jobs, 0,
        [&](int i, const TWebPictureResult& r) {
            SetFolderProgress(int(Round(double(i + 1) / count * 100.0)));
            if (!r.Ok) {
                // Whatever a failed picture left behind goes, so no page links to it.
                DeleteFile(jobs[std::size_t(i)].ThumbTarget);
                DeleteFile(jobs[std::size_t(i)].LargeTarget);
                m_skipped << names[i];
                return;
            }
            TGalleryEntry e;
            e.Web = webNames[i];
            e.Name = names[i];
            e.Text = TextVisible ? DecodeSlideshowItem(PicturesList[i]).Text : QString();
            m_entries << e;
        },
        [] { Application->ProcessMessages(); });

    m_ui->ProgressBar1->hide();
    m_ui->KonvertLabel->hide();
}

// ---- the pages ---------------------------------------------------------------------------------

TGalleryLook THTMLForm::Look(const QString& title) const
{
    TGalleryLook look;
    look.Language = LanguageName;
    look.Title = title;
    look.FilenameVisible = FilenameVisible;
    return look;
}

void THTMLForm::WriteTemplates(const TGalleryLook& look)
{
    const QString folder = ProgramFolder();
    const auto save = [&](const char* name, const QStringList& lines) {
        TStringList list;
        list.List() = lines;
        list.SaveToFile(folder + QLatin1String(name));
    };
    save(kTemplates[0], GalleryHeadLines(look, ProductInfo));
    save(kTemplates[1], GalleryFootLines(ProductInfo));
    save(kTemplates[2], PictureHeadLines(look, ProductInfo));
    save(kTemplates[3], PictureFootLines(ProductInfo));
}

void THTMLForm::DeleteTemplates()
{
    for (const char* name : kTemplates)
        QFile::remove(ProgramFolder() + QLatin1String(name));
}

void THTMLForm::BuildGalleryPages(const TGalleryLook& look)
{
    TBusyCursor busy;
    m_ui->KonvertLabel->show();
    SetFolderProgress(0);
    m_ui->ProgressBar1->show();

    const QString folder = WorkFolder() + QLatin1Char('/');
    // The overview's cells show each overview picture at the size it was written with.
    for (TGalleryEntry& e : m_entries) {
        if (ComputeWebSizes(folder + e.Web + QStringLiteral("_thumb.jpg"))) {
            e.ThumbWidth = PictureWidth;
            e.ThumbHeight = PictureHeight;
        }
    }
    TMake overview(ProgramFolder() + QStringLiteral("gallery"), folder + QStringLiteral("gallery.html"));
    overview.Body.List() = GalleryBodyLines(m_entries, PicProRow, look);
    for (int i = 0; i < int(m_entries.size()); ++i) {
        TMake page(ProgramFolder() + QStringLiteral("einzel"), folder + m_entries[i].Web + QStringLiteral(".html"));
        page.Body.List() = PictureBodyLines(m_entries, i, look);
        page.Make();
        if (PageWritten)
            PageWritten();
        SetFolderProgress(int(Round(double(i + 1) / m_entries.size() * 100.0)));
    }
    overview.Make();
    m_ui->ProgressBar1->hide();
    m_ui->KonvertLabel->hide();
}

void THTMLForm::WriteLayoutCss()
{
    TStringList css;
    css.List() = LayoutCssLines(GalleryTextColor, GalleryBKGColor);
    css.SaveToFile(WorkFolder() + QStringLiteral("/layout.css"));
}

void THTMLForm::RemoveLeftovers()
{
    DeleteTemplates();
    for (const QString& folder : {WorkFolder(), GalleryFolder + QStringLiteral(".old")}) {
        if (QFileInfo(folder).isDir() && !QDir(folder).removeRecursively())
            throw EInOutError(QStringLiteral("Cannot remove the folder \"%1\"").arg(folder));
        QFile::remove(folder);  // a file of that name
    }
}

void THTMLForm::PublishGallery()
{
    // Folders a user put into the gallery folder are not the run's: they move over into the
    // new gallery, before the old one goes.
    const auto keepFolders = [this](const QString& oldGallery) {
        for (const QString& name : QDir(oldGallery).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
            if (!QFileInfo::exists(GalleryFolder + QLatin1Char('/') + name))
                QDir().rename(oldGallery + QLatin1Char('/') + name, GalleryFolder + QLatin1Char('/') + name);
        }
    };
    // The new gallery and the old one change places in one step; the old one is then in the
    // work folder, which goes with the run.
    const QByteArray from = QFile::encodeName(WorkFolder()), to = QFile::encodeName(GalleryFolder);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0) {
        keepFolders(WorkFolder());
        return;
    }
    if (errno != EINVAL && errno != ENOSYS)
        RaisePublishError(GalleryFolder);
    // A file system that cannot exchange: the old gallery steps aside first.
    const QString old = GalleryFolder + QStringLiteral(".old");
    const QByteArray aside = QFile::encodeName(old);
    if (::rename(to.constData(), aside.constData()) != 0)
        RaisePublishError(GalleryFolder);
    if (::rename(from.constData(), to.constData()) != 0) {
        const int error = errno;
        ::rename(aside.constData(), to.constData());
        errno = error;
        RaisePublishError(GalleryFolder);
    }
    keepFolders(old);
    QDir(old).removeRecursively();
}

void THTMLForm::MakeGallery()
{
    PicturesList.clear();
    ShowValuesInUse();
    SaveGallerySettings();
    const TGalleryLook look = Look(Source ? Source().Title : QString());
    // The gallery folder is there from the start (the last gallery, or empty), so that the
    // finished one can take its place.
    ForceDirectoriesOrRaise(GalleryFolder);
    RemoveLeftovers();
    // The templates and the work folder live only during the run, however it ends.
    struct RunFiles {
        THTMLForm& form;
        ~RunFiles()
        {
            form.DeleteTemplates();
            QDir(form.WorkFolder()).removeRecursively();
        }
    } runFiles{*this};
    WriteTemplates(look);
    ConvertGalleryPictures();
    BuildGalleryPages(look);
    WriteLayoutCss();
    PublishGallery();
    DeleteTemplates();
    PicturesList.clear();

    if (!m_skipped.isEmpty())
        MessageDlg(GetLangText(3515) + QStringLiteral("\n\n") + m_skipped.join(QLatin1Char('\n')), mtWarning, {mbOK});
    if (ShellOpen(GalleryFolder + QStringLiteral("/gallery.html")) <= 32)
        ShowMessage(QString::fromLatin1(kBrowserFailure));
}
