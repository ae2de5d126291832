// Building the open slideshow from the source list, and the pictures' texts.
#include "shell/fMain.h"
#include "shell/Windows.h"

#include "controls/HTMLEscape.h"
#include "controls/HTMListBox.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Helpers.h"
#include "shell/core/Language.h"
#include "shell/fMain_internal.h"
#include "ui_fMain.h"

#include <QEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>

namespace {

const QLatin1String kItemMid("\" align=\"top\">");

// Shows the progress bar for the life of the object, hidden again on every way out.
class TShownProgress {
public:
    explicit TShownProgress(QProgressBar& bar) : m_bar(bar)
    {
        m_bar.setValue(0);
        m_bar.show();
    }
    ~TShownProgress() { m_bar.hide(); }
    TShownProgress(const TShownProgress&) = delete;
    TShownProgress& operator=(const TShownProgress&) = delete;
    void Step(int done, int total) { m_bar.setValue(total > 0 ? done * 100 / total : 100); }

private:
    QProgressBar& m_bar;
};

} // namespace

QString TMainForm::SourcePicturePath(const QString& item) const
{
    // The name follows the thumbnail's markup; a thumbnail path may itself hold a ">".
    const int mid = item.indexOf(kItemMid);
    const QString name = mid >= 0 ? item.mid(mid + kItemMid.size()) : ExtractWord(2, item, QStringLiteral(">"));
    return AddBackslash(SourceFolder) + HTMLUnescape(name);
}

void TMainForm::AddSourcePictures(bool selectedOnly)
{
    const THTMListBox& source = *m_ui->FileListBox;
    if (selectedOnly)
        WorkList1->Clear();
    // The paths first: the window keeps painting while they are copied.
    QStringList paths;
    for (int i = 0; i < source.Items().Count(); ++i) {
        if (!selectedOnly || source.Selected(i))
            paths << SourcePicturePath(source.Items()[i]);
    }
    if (paths.isEmpty()) {
        MessageDlg(GetLangText(selectedOnly ? 10004 : 10005), mtInformation, {mbOK});
        return;
    }
    if (!EnsureDiashowTitle())
        return;
    if (!DiashowListBox)
        CreateDiashowListBox();
    TLongWork longWork;
    TShownProgress progress(*m_ui->PicProgressBar);
    ProgressLastIndex = int(paths.size()) - 1;
    for (int i = 0; i < paths.size(); ++i) {
        ProgressIndex = i;
        // At the end; the count rather than -1, which the insert would take for the top.
        AddPictureToDiashow(paths[i], DiashowListBox->Items().Count());
        progress.Step(i + 1, int(paths.size()));
        Application->ProcessMessages();
    }
}

void TMainForm::SpeedButton1Click()
{
    AddSourcePictures(true);
}

void TMainForm::FileListBoxDblClick()
{
    SpeedButton1Click();
}

void TMainForm::SpeedButton2Click()
{
    AddSourcePictures(false);
}

void TMainForm::SpeedButton3Click()
{
    if (!DiashowListBox || DiashowListBox->Items().Count() == 0) {
        DeleteLeftoverPictures();
        return;
    }
    THTMListBox& list = *DiashowListBox;
    const int selected = list.SelCount();
    if (selected == 0) {
        MessageDlg(GetLangText(10006), mtInformation, {mbOK});
        return;
    }
    FlushPicturesIni();
    TListBoxItems& items = list.Items();
    items.BeginUpdate();
    try {
        int left = selected;
        for (int i = items.Count() - 1; i >= 0 && left > 0; --i) {
            if (list.Selected(i)) {
                DeletePictureFromDiashow(i);
                --left;
            }
        }
    } catch (...) {
        items.EndUpdate();
        throw;
    }
    items.EndUpdate();
    AfterUserRemoval();
    DeleteStaleThumbnails();
}

void TMainForm::SpeedButton4Click()
{
    if (MessageDlg(GetLangText(10007), mtConfirmation, mbYesNo) == mrNo)
        return;
    FlushPicturesIni();
    while (DiashowListBox && DiashowListBox->Items().Count() > 0)
        DeletePictureFromDiashow(0);
    AfterUserRemoval();
    DeleteStaleThumbnails();
    DeleteLeftoverPictures();
}

void TMainForm::AfterUserRemoval()
{
    // No item is current after a removal: the text box is empty and typing goes nowhere
    // until the user picks a picture.
    if (DiashowListBox) {
        DiashowListBox->setItemIndex(-1);
        if (DiashowListBox->Items().Count() == 0)
            DiashowEmptiedByUser = true;
    }
    SavedListIndex = -1;
    Timer1->stop();
    ShowCurrentItemText();
    DisablePictureTools();
}

void TMainForm::DeleteLeftoverPictures()
{
    const QString folder = DiashowPath();
    if (!DiashowEmptiedByUser || folder.isEmpty() || (DiashowListBox && DiashowListBox->Items().Count() > 0))
        return;
    bool any = false;
    ForEachFile(folder + QStringLiteral("*.jpg"), [&any](const QString&) { any = true; });
    if (!any)
        return;
    if (MessageDlg(GetLangText(10090), mtConfirmation, mbYesNo) != mrYes)
        return;
    DeleteFilesByMask(folder + QStringLiteral("*.jpg"));
}

void TMainForm::ShowCurrentItemText()
{
    QLineEdit& edit = *m_ui->TextEdit;
    const int index = DiashowListBox ? DiashowListBox->ItemIndex() : -1;
    if (index >= 0 && index < DiashowListBox->Items().Count())
        edit.setText(PictureItemText(DiashowListBox->Items()[index]));
    else
        edit.clear();
}

void TMainForm::TextEditChange(const QString& text)
{
    if (!DiashowListBox)
        return;
    const int index = DiashowListBox->ItemIndex();
    TListBoxItems& items = DiashowListBox->Items();
    if (index < 0 || index >= items.Count())
        return;
    // "|" separates name and text in Pictures.ini: typed, it becomes the broken bar.
    QString typed = text;
    if (typed.contains(QLatin1Char('|'))) {
        typed.replace(QLatin1Char('|'), QChar(0x00A6));
        QLineEdit& edit = *m_ui->TextEdit;
        const int cursor = edit.cursorPosition();
        edit.setText(typed);
        edit.setCursorPosition(cursor);
    }
    const QString head = ExtractWord(1, items[index], QStringLiteral("|")).trimmed();
    items.SetString(index, head + QStringLiteral(" | ") + HTMLEscape(typed));

    // The save belongs to this list and this slideshow; a pending one of another goes first.
    if (PendingPicturesList != DiashowListBox || PendingPicturesFolder != DiashowPath())
        FlushPicturesIni();
    if (!PendingPicturesList) {
        PendingPicturesList = DiashowListBox;
        PendingPicturesFolder = DiashowPath();
        // The list loses its name when it is freed (another slideshow is opened): the texts
        // are written while it still holds them.
        PendingListGone = connect(DiashowListBox, &QObject::objectNameChanged, this, [this] {
            try {
                FlushPicturesIni();
            } catch (...) {
                Application->HandleException(std::current_exception());
            }
        });
    }
    if (!PicturesIniTimer) {
        PicturesIniTimer = new QTimer(this);
        PicturesIniTimer->setSingleShot(true);
        PicturesIniTimer->setInterval(PicturesIniDelay);
        Bind(PicturesIniTimer, &QTimer::timeout, &TMainForm::FlushPicturesIni);
    }
    PicturesIniTimer->start();
}

void TMainForm::FlushPicturesIni()
{
    THTMListBox* list = PendingPicturesList;
    const QString folder = PendingPicturesFolder;
    if (!list)
        return;
    if (PicturesIniTimer)
        PicturesIniTimer->stop();
    disconnect(PendingListGone);
    PendingPicturesList = nullptr;
    PendingPicturesFolder.clear();
    // Written only into the folder the texts were typed for, from the list that holds them
    // (which may already be detached from the window while it is being freed).
    if (folder.isEmpty() || folder != DiashowPath())
        return;
    THTMListBox* const current = DiashowListBox;
    DiashowListBox = list;
    try {
        SavePicturesIni();
    } catch (...) {
        DiashowListBox = current;
        throw;
    }
    DiashowListBox = current;
}

