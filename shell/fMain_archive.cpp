// The slideshow archive of the main window: new, open and delete a slideshow, and the
// pictures of the open one (copies, thumbnails, Pictures.ini).
#include "shell/fMain.h"
#include "shell/Windows.h"

#include "controls/HTMLEscape.h"
#include "controls/HTMListBox.h"
#include "controls/SlideshowItem.h"
#include "platform/system/ShellDelete.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/Files.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Archive.h"
#include "shell/core/Helpers.h"
#include "shell/core/ProductInfo.h"
#include "shell/fMain_internal.h"
#include "shell/fNew.h"
#include "ui_fMain.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QTabWidget>

#include <algorithm>

namespace {

const QString kTemplateTitle = QStringLiteral("SPECIALDUMMY");
const QString kDefaultTime = QStringLiteral("5");
constexpr int kThumbnailHeight = 70;

} // namespace

QString TMainForm::PictureItem(const QString& thumbnailPath, const QString& name, const QString& text,
                               bool withText)
{
    return EncodeSlideshowItem(thumbnailPath, name, text, withText);
}

QString TMainForm::PictureItemName(const QString& item)
{
    return DecodeSlideshowItem(item).Name;
}

QString TMainForm::PictureItemText(const QString& item)
{
    return DecodeSlideshowItem(item).Text;
}

bool TMainForm::PictureItemHasText(const QString& item)
{
    return DecodeSlideshowItem(item).HasText;
}

QString TMainForm::DiashowPath() const
{
    if (DiashowFolder.isEmpty() || ArchiveRoot.isEmpty())
        return QString();
    return ArchiveRoot + AddBackslash(DiashowFolder);
}

QString TMainForm::NextArchiveName() const
{
    return ::NextArchiveName(ArchiveRoot);
}

QString TMainForm::MakeUniqueFileName(const QString& path) const
{
    return ::MakeUniqueFileName(path);
}

void TMainForm::UpdateDiashowLabel()
{
    const int count = DiashowListBox ? DiashowListBox->Items().Count() : 0;
    m_ui->DiashowLabel->setText(GetLangText(594) + QLatin1Char(' ') + QString::number(count) + QLatin1Char(' ') +
                                GetLangText(595));
}

void TMainForm::OpenDiashowFolder(const QString& folder)
{
    FreeDiashowListBox();
    CreateDiashowListBox();
    DeleteStaleThumbnails();
    DiashowEmptiedByUser = false;
    m_ui->TextEdit->clear();

    const QString path = ArchiveRoot + AddBackslash(folder);
    TDiashowIni ini;
    const bool known = ReadDiashowIni(path, ini);
    const bool fresh = !known || ini.Title.compare(kTemplateTitle, Qt::CaseInsensitive) == 0;
    if (fresh) {
        // The template, or a folder that is no slideshow: a fresh untitled slideshow under
        // the next free name, so that nothing is ever added to a foreign folder.
        ini.Title.clear();
        if (!known)
            ini.Time = kDefaultTime;
    }
    DiashowTitle = ini.Title;
    setWindowTitle(known && !fresh ? ProductInfo.ProductName + QStringLiteral(" - Archiv: ") + ini.Title
                                   : ProductInfo.ProductName);
    m_ui->TitleEdit->setText(ini.Title);
    DiashowTime = ini.Time;
    m_ui->SecEdit->setText(ini.Time);

    if (known) {
        TBusyCursor busy;
        // Hidden copies that a save killed half way left in the folder.
        DeleteLeftoverCopies(path);
        const QList<TPictureLine> lines = ReadPicturesIni(path);
        ProgressLastIndex = lines.size() - 1;
        m_ui->PicProgressBar->show();
        for (int i = 0; i < lines.size(); ++i) {
            ProgressIndex = i;
            const TPictureLine& line = lines[i];
            const QString picture = path + line.Name;
            if (!FileExists(picture))
                continue;
            MakeThumbnail(picture, kThumbnailHeight, false, false);
            DiashowListBox->Items().Add(
                PictureItem(path + QStringLiteral("_THUMB_") + line.Name, line.Name, line.Text, true));
        }
        m_ui->PicProgressBar->hide();
    }
    m_ui->ViewLEADImage->hide();
    DiashowFolder = fresh ? NextArchiveName() : folder;
    SaveSettings();
    DeleteStaleThumbnails();
    UpdateDiashowLabel();
}

bool TMainForm::IsDiashowSelected()
{
    if (m_ui->OpenListBox->ItemIndex() >= 0)
        return true;
    MessageDlg(GetLangText(10026), mtInformation, {mbOK});
    return false;
}

void TMainForm::AddPictureToDiashow(const QString& path, int index)
{
    TBusyCursor busy;
    if (DiashowFolder.isEmpty())
        DiashowFolder = NextArchiveName();
    const QString folder = DiashowPath();
    ForceDirectoriesOrRaise(folder);
    WriteDiashowIni(folder, {DiashowTitle, DiashowTime});

    QString target = folder + ArchivePictureName(ExtractFileName(path));
    if (FileExists(target) || DirectoryExists(target))
        target = MakeUniqueFileName(target);
    if (!CopyFile(path, target, false) || !FileExists(target)) {
        MessageDlg(GetLangText(10000), mtError, {mbOK});
        return;
    }
    FileSetAttr(target, faArchive);
    // Made anew: a file of that name may be another picture's numbered thumbnail.
    MakeThumbnail(target, kThumbnailHeight, false, true);

    const QString name = ExtractFileName(target);
    TListBoxItems& items = DiashowListBox->Items();
    // A negative index appends.
    items.Insert(index < 0 ? items.Count() : std::min(index, items.Count()), PictureItem(folder + QStringLiteral("_THUMB_") + name, name,
                                                                  QString(), false));
    SavePicturesIni();
    UpdateDiashowLabel();
}

void TMainForm::DeletePictureFromDiashow(int index)
{
    if (!DiashowListBox || index < 0 || index >= DiashowListBox->Items().Count())
        return;
    TBusyCursor busy;
    m_ui->TextEdit->clear();
    const QString name = PictureItemName(DiashowListBox->Items()[index]);
    // Only a file inside the slideshow's folder.
    if (IsPlainFileName(name) && !DiashowPath().isEmpty())
        DeleteFile(DiashowPath() + name);
    ForgetPreviewOf(name);
    DiashowListBox->Items().Delete(index);
    SavePicturesIni();
    UpdateDiashowLabel();
}

void TMainForm::SavePicturesIni()
{
    const QString folder = DiashowPath();
    if (folder.isEmpty() || !DiashowListBox)
        return;
    QList<TPictureLine> lines;
    const TListBoxItems& items = DiashowListBox->Items();
    for (int i = 0; i < items.Count(); ++i)
        lines.append({PictureItemName(items[i]), PictureItemText(items[i]), PictureItemHasText(items[i])});
    WritePicturesIni(folder, lines);
}

namespace {

void ShowSlideshowPages(Ui::TMainForm& ui)
{
    QTabWidget& pages = *ui.PageControl1;
    pages.setTabVisible(pages.indexOf(ui.TabSheet1), true);
    pages.setTabVisible(pages.indexOf(ui.TabSheet4), true);
}

} // namespace

bool TMainForm::AskDiashowTitle()
{
    // The dialog starts empty every time; it refuses an empty title itself.
    QLineEdit& edit = *NewForm->findChild<QLineEdit*>(QStringLiteral("Edit1"));
    edit.clear();
    if (NewForm->ShowModal() != kNewFormOk || edit.text().trimmed().isEmpty())
        return false;
    DiashowTitle = edit.text().trimmed();
    return true;
}

bool TMainForm::EnsureDiashowTitle()
{
    if (!DiashowTitle.trimmed().isEmpty())
        return true;
    // An untitled slideshow (the fresh one after a delete) is named before its first picture.
    if (!AskDiashowTitle())
        return false;
    m_ui->TitleEdit->setText(DiashowTitle);
    setWindowTitle(ProductInfo.ProductName + QStringLiteral(" - Archiv: ") + DiashowTitle);
    return true;
}

void TMainForm::NewBitBtnClick()
{
    if (!AskDiashowTitle())
        return;
    DeleteStaleThumbnails();
    m_ui->PageControl1->show();
    SetDiashowMenusEnabled(true);
    m_ui->TitleEdit->setText(DiashowTitle);
    TBusyCursor busy;
    DiashowFolder = NextArchiveName();
    m_ui->ViewLEADImage->hide();
    SaveSettings();
    if (DiashowListBox)
        DiashowListBox->Items().Clear();
    DiashowEmptiedByUser = false;
    m_ui->TextEdit->clear();
    UpdateDiashowLabel();
    setWindowTitle(ProductInfo.ProductName + QStringLiteral(" - Archiv: ") + DiashowTitle);
    m_ui->SecEdit->setText(DiashowTime);
    ShowSlideshowPages(*m_ui);
    m_ui->PageControl1->setCurrentIndex(1);
    ListDiashows();
}

void TMainForm::Open1BitBtnClick()
{
    if (!IsDiashowSelected())
        return;
    m_ui->PageControl1->show();
    SetDiashowMenusEnabled(true);
    TListBox& list = *m_ui->OpenListBox;
    OpenDiashowFolder(ArchiveLineFolder(list.Items()[list.ItemIndex()]));
    ShowSlideshowPages(*m_ui);
    m_ui->PageControl1->setCurrentIndex(1);
}

void TMainForm::OpenListBoxDblClick()
{
    if (m_ui->OpenListBox->ItemIndex() >= 0)
        Open1BitBtnClick();
}

void TMainForm::Delete1BitBtnClick()
{
    if (!IsDiashowSelected())
        return;
    if (MessageDlg(GetLangText(10008), mtConfirmation, mbYesNo) != mrYes)
        return;
    TListBox& list = *m_ui->OpenListBox;
    const QString folder = ArchiveLineFolder(list.Items()[list.ItemIndex()]);
    {
        TBusyCursor busy;
        OpenDiashowFolder(QStringLiteral("del"));
        m_ui->ViewLEADImage->hide();
        DiashowListBox->Items().Clear();
        UpdateDiashowLabel();
    }
    if (folder.isEmpty() || !ShellDelete(ArchiveRoot + folder))
        MessageDlg(GetLangText(10009), mtInformation, {mbOK});
    ListDiashows();
}

void TMainForm::NewDiashow1Click()
{
    m_ui->PageControl1->setCurrentIndex(0);
    NewBitBtnClick();
}

// The menu sets the page by code, which runs no tab change: the list is refreshed here, so a
// slideshow made in this run is there to open or delete.
void TMainForm::OpenDiashow1Click()
{
    m_ui->PageControl1->setCurrentIndex(0);
    ListDiashows();
}

void TMainForm::DeleteDiashow1Click()
{
    m_ui->PageControl1->setCurrentIndex(0);
    ListDiashows();
}
