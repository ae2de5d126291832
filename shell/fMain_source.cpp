// The source folder of the main window: choosing and reading it, the JPEG copies of other
// picture formats, the thumbnail cache and the status line of a shown picture.
#include "shell/fMain.h"

#include "controls/HTMLEscape.h"
#include "controls/HTMListBox.h"
#include "imaging/LEADImage.h"
#include "imaging/ShapeFrame.h"
#include "imaging/ThumbnailMaker.h"
#include "platform/system/OrderedPool.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Files.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Archive.h"
#include "shell/core/Helpers.h"
#include "shell/core/SourceFolder.h"
#include "shell/fMain_internal.h"
#include "ui_fMain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>

#include <memory>
#include <vector>

namespace {

// The extensions that get a JPEG copy, in the order they are converted.
const char* const kConvertedExts[] = {".TIF", ".GIF", ".JPEG", ".BMP"};

// round(part / whole x 100); 0 for an empty batch.
int Percent(int part, int whole)
{
    if (whole <= 0)
        return 0;
    return int(Round(double(part) / whole * 100.0));
}

// The files directly in folder, hidden ones included, in directory order.
QStringList FilesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
}

// The user's Pictures folder (XDG), or the home folder when there is none.
QString PicturesFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return AddBackslash(QFileInfo(pictures).isDir() ? pictures : QDir::homePath());
}

} // namespace

QString TMainForm::ThumbnailPath(const QString& file, bool inThumbsFolder) const
{
    if (!inThumbsFolder)
        return AddBackslash(ExtractFilePath(file)) + QStringLiteral("_THUMB_") + ExtractFileName(file);
    const QFileInfo info(file);
    const qint64 size = info.exists() ? info.size() : -1;
    const qint64 modified = info.exists() ? info.lastModified().toMSecsSinceEpoch() : 0;
    return ProgramFolder + QStringLiteral("thumbs/") + ThumbnailCacheName(file, size, modified);
}

bool TMainForm::MakeThumbnail(const QString& file, int height, bool inThumbsFolder, bool force)
{
    const QString target = ThumbnailPath(file, inThumbsFolder);
    if (FileExists(target) && !force)
        return true;

    const int percent = Percent(ProgressIndex, ProgressLastIndex);
    m_ui->StatusBar1->showMessage(GetLangText(14000) + QLatin1Char(' ') + QString::number(percent) +
                                  QLatin1Char(' ') + GetLangText(14001));
    m_ui->PicProgressBar->setValue(qBound(0, percent, 100));
    m_ui->PicProgressBar->repaint();
    m_ui->StatusBar1->repaint();

    bool made = false;
    {
        TBusyCursor busy;
        // The one thumbnail maker of the program, with the frame LEADImage3 is set up with;
        // a picture it cannot read or write gives no thumbnail, the list shows the item all
        // the same.
        if (inThumbsFolder)
            ForceDirectories(ExtractFilePath(target));
        made = MakeThumbnailFile(file, target, height, ShapeFrameOf(*m_ui->LEADImage3));
    }
    m_ui->StatusBar1->showMessage(QStringLiteral("Fertig"));
    return made;
}

void TMainForm::OpenBitBtnClick()
{
    for (;;) {
        TOpenDialog dialog;
        dialog.Filter = QStringLiteral("Alle Bilddateien|*.jpg;*.JPG;*.jpeg;*.JPEG;*.bmp;*.BMP;*.tif;*.TIF;"
                                       "*.tiff;*.TIFF;*.gif;*.GIF");
        // The folder is handed on by value; the process's current folder stays.
        dialog.Options |= ofNoChangeDir;
        // Where the user chose last, else the Pictures folder of the desktop.
        dialog.InitialDir = DirectoryExists(SourcePicturesPath) ? SourcePicturesPath : PicturesFolder();
        if (!dialog.Execute())
            return;
        const QString folder = AddBackslash(ExtractFilePath(dialog.FileName));

        // Pictures are never read from inside the selected slideshow.
        const TListBox& archive = *m_ui->OpenListBox;
        const int selected = archive.ItemIndex();
        if (selected >= 0 && selected < archive.Items().Count() && !ArchiveRoot.isEmpty()) {
            const QString slideshow = ArchiveLineFolder(archive.Items()[selected]);
            if (!slideshow.isEmpty() &&
                folder.toUpper().contains(AddBackslash(ArchiveRoot + slideshow).toUpper())) {
                MessageDlg(GetLangText(10003), mtInformation, {mbOK});
                continue;
            }
        }

        if (!SourceFolder.isEmpty() && SourceFolder != folder)
            DeleteOwnConvertedCopies(SourceFolder);
        SourceFolder = folder;
        SourcePicturesPath = folder;
        BilderEinlesen(SourceFolder);
        return;
    }
}

void TMainForm::BilderEinlesen(const QString& folder)
{
    ReadSourceFolder(folder);
    // Named once the read is over and the window takes input again.
    if (!SkippedPictures.isEmpty())
        MessageDlg(GetLangText(14002) + QStringLiteral("\n") + SkippedPictures.join(QLatin1Char('\n')), mtWarning,
                   {mbOK});
}

void TMainForm::ReadSourceFolder(const QString& folder)
{
    THTMListBox& list = *m_ui->FileListBox;
    QProgressBar& bar = *m_ui->PicProgressBar;
    TBusyCursor busy;
    // The window keeps painting between files while the user's input waits.
    TLongWork longWork;
    list.Items().Clear();
    SkippedPictures.clear();
    repaint();
    ClearTempPicFolder();
    // The emptied temporary folder took its copies along.
    ConvertedCopies.removeIf([](const QString& path) { return !FileExists(path); });

    QString runFolder = AddBackslash(folder);
    const QStringList entries = FilesOf(runFolder);
    // Every entry of the folder counts, its own "." and ".." included.
    ProgressLastIndex = int(QDir(runFolder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System).size());
    bool needsCopies = false;
    for (const QString& name : entries) {
        const QString upper = name.toUpper();
        for (const char* ext : kConvertedExts)
            needsCopies = needsCopies || upper.contains(QLatin1String(ext));
    }

    if (needsCopies && !TempPicFolder.isEmpty()) {
        bar.show();
        int copied = 0;
        for (const QString& name : entries) {
            // A file that cannot be copied is simply missing from the copy.
            if (CopyFile(runFolder + name, TempPicFolder + name, false))
                FileSetAttr(TempPicFolder + name, faArchive);
            ++copied;
            const int percent = Percent(copied, ProgressLastIndex);
            m_ui->StatusBar1->showMessage(QStringLiteral("Bilder kopieren ") + QString::number(percent) +
                                          QLatin1Char('%'));
            bar.setValue(qBound(0, percent, 100));
            Application->ProcessMessages();
        }
        runFolder = TempPicFolder;
        SourceFolder = TempPicFolder;
        bar.hide();
    }

    // The JPEG copies of the other formats, beside their pictures.
    ProgressIndex = 0;
    bar.show();
    for (const QString& name : FilesOf(runFolder)) {
        const QString upper = name.toUpper();
        for (const char* ext : kConvertedExts) {
            if (!upper.contains(QLatin1String(ext)))
                continue;
            QString copy = runFolder + ExtractFileBaseName(name) + ConvertedCopySuffix(QLatin1String(ext));
            // A user's own picture of that name ("scan_bmp.jpg" beside "scan.bmp") stays.
            if (FileExists(copy) && !ConvertedCopies.contains(copy))
                copy = MakeUniqueFileName(copy);
            bool converted = false;
            try {
                TLEADImage& view = *m_ui->ViewLEADImage;
                converted = view.Load(runFolder + name, 0, 0, -1) == 1 && view.Save(copy, 23, 24, 2, 0) == 1;
            } catch (...) {
                converted = false;
            }
            if (converted) {
                if (!ConvertedCopies.contains(copy))
                    ConvertedCopies << copy;
            } else if (!SkippedPictures.contains(name)) {
                SkippedPictures << name;
            }
        }
        const int percent = Percent(ProgressIndex, ProgressLastIndex);
        m_ui->StatusBar1->showMessage(GetLangText(14000) + QLatin1Char(' ') + QString::number(percent) +
                                      QLatin1Char(' ') + GetLangText(14001));
        bar.setValue(qBound(0, percent, 100));
        Application->ProcessMessages();
        ++ProgressIndex;
    }

    QStringList pictures;
    for (const QString& name : FilesOf(runFolder)) {
        if (name.toUpper().contains(QLatin1String(".JPG")))
            pictures << name;
    }
    ProgressLastIndex = int(QDir(runFolder).entryList({QStringLiteral("*.jpg")}, QDir::Files | QDir::Hidden |
                                                      QDir::System).size());
    ProgressIndex = 0;
    bar.show();
    MakeSourceThumbnails(runFolder, pictures);

    // Sorting happens once when switched on: the items added above are sorted now.
    list.setSorted(false);
    list.setSorted(true);
    m_ui->StatusBar1->showMessage(QString());
    bar.hide();
}

void TMainForm::MakeSourceThumbnails(const QString& folder, const QStringList& names)
{
    THTMListBox& list = *m_ui->FileListBox;
    const int count = int(names.size());
    const ThumbnailFrame frame = ShapeFrameOf(*m_ui->LEADImage3);
    ForceDirectories(ProgramFolder + QStringLiteral("thumbs/"));

    // Per picture: could it be read? Written by its worker before it finishes.
    std::vector<char> readable(std::size_t(count), char(1));
    // Every missing thumbnail goes to the workers at once; should this end early, the pool
    // drops those not started yet and waits for whatever is still running.
    TOrderedPool pool(std::size_t(count), 0);
    std::vector<bool> queued(std::size_t(count), false);
    for (int i = 0; i < count; ++i) {
        const QString file = folder + names[i];
        const QString target = ThumbnailPath(file, true);
        if (FileExists(target)) {
            pool.Finish(std::size_t(i));
            continue;
        }
        queued[std::size_t(i)] = true;
        pool.Start(std::size_t(i), [&readable, i, file, target, frame] {
            // A picture that cannot be read is left out of the list; one whose thumbnail
            // cannot be written is listed without it.
            bool read = false;
            MakeThumbnailFile(file, target, 70, frame, &read);
            readable[std::size_t(i)] = read ? 1 : 0;
        });
    }

    // The items, the counters and the progress follow in the order of the folder, while the
    // window keeps painting (at least every 15 ms, not after every item: a list of thousands of
    // cached thumbnails fills in about the time the items take). A thumbnail taken from the
    // cache counts in the progress like one that is made.
    QElapsedTimer sincePaint;
    sincePaint.start();
    int shownPercent = -1;
    for (int i = 0; i < count; ++i) {
        if (sincePaint.elapsed() >= 15 || queued[std::size_t(i)]) {
            Application->ProcessMessages();
            sincePaint.restart();
        }
        ++ProgressIndex;
        const int percent = Percent(ProgressIndex, ProgressLastIndex);
        if (queued[std::size_t(i)] || percent != shownPercent) {
            m_ui->StatusBar1->showMessage(GetLangText(14000) + QLatin1Char(' ') + QString::number(percent) +
                                          QLatin1Char(' ') + GetLangText(14001));
            m_ui->PicProgressBar->setValue(qBound(0, percent, 100));
            shownPercent = percent;
        }
        if (queued[std::size_t(i)]) {
            while (!pool.WaitFor(std::size_t(i), 15))
                Application->ProcessMessages();
            m_ui->StatusBar1->showMessage(QStringLiteral("Fertig"));
            shownPercent = -1;
        }
        if (!readable[std::size_t(i)]) {
            if (!SkippedPictures.contains(names[i]))
                SkippedPictures << names[i];
            continue;
        }
        const QString file = folder + names[i];
        list.Items().Add(QStringLiteral("<IMG src=\"file://") + ThumbnailPath(file, true) +
                         QStringLiteral("\" align=\"top\">") + HTMLEscape(names[i]));
    }
}

void TMainForm::DeleteOwnConvertedCopies(const QString& folder)
{
    const QString dir = AddBackslash(folder);
    ConvertedCopies.removeIf([&dir](const QString& path) {
        if (AddBackslash(ExtractFilePath(path)) != dir)
            return false;
        DeleteFile(path);
        return true;
    });
}

void TMainForm::ShowPictureInfo(const QString& file)
{
    const TLEADImage& view = *m_ui->ViewLEADImage;
    const QString name = FileFormatName(view.InfoFormat());
    QString line = name == QLatin1String("NOT SUPPORTED") ? QStringLiteral("     ") + QString::number(view.InfoFormat())
                                                          : QStringLiteral("   ") + name;
    line += QStringLiteral("     ") + QString::number(view.BitmapWidth()) + QLatin1Char('x') +
            QString::number(view.BitmapHeight());
    line += QStringLiteral("     ") + QString::number(view.BitmapBits()) + QStringLiteral("Bit Farben  ");
    line += QStringLiteral("     ") + view.InfoCompress();
    line += QLatin1Char(' ') + ExtractFileName(file);
    m_ui->StatusBar1->showMessage(line);
    m_ui->StatusBar1->repaint();
}
