// Turning and mirroring the pictures of the open slideshow, dragging pictures in from the
// source list and within the list, keys, and the title and time edits.
#include "shell/fMain.h"
#include "shell/Windows.h"

#include "controls/HTMListBox.h"
#include "imaging/LEADImage.h"
#include "imaging/LErrCode.h"
#include "platform/imagelib/imagelib.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Files.h"
#include "platform/vcl/Guard.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Archive.h"
#include "shell/core/Helpers.h"
#include "shell/fMain_internal.h"
#include "ui_fMain.h"

#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QToolButton>

#include <optional>

namespace {

constexpr int kScrollMargin = 50;
constexpr int kThumbnailHeight = 70;
const char* const kBoundProperty = "kvBuildingBound";

// Binds each slideshow list made in the panel once it is polished (before it first shows).
class TDiashowListWatcher : public QObject {
public:
    TDiashowListWatcher(TMainForm* form, QObject* parent) : QObject(parent), m_form(form) {}
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ChildPolished) {
            auto* child = static_cast<QChildEvent*>(event)->child();
            if (auto* box = qobject_cast<THTMListBox*>(child))
                m_form->BindDiashowListBox(box);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TMainForm* m_form;
};

} // namespace

void TMainForm::BindDiashowListBoxEvents()
{
    m_ui->ListBoxPanel->installEventFilter(new TDiashowListWatcher(this, m_ui->ListBoxPanel));
    if (DiashowListBox)
        BindDiashowListBox(DiashowListBox);
}

void TMainForm::BindDiashowListBox(THTMListBox* box)
{
    if (!box || box->property(kBoundProperty).toBool())
        return;
    box->setProperty(kBoundProperty, true);
    box->OnMouseDown = [this](QObject*, TMouseButton, TShiftState, int x, int y) {
        Guard([&] { DiashowListBoxMouseDown(x, y); });
    };
    box->OnDragOver = [this](QObject*, QObject* source, int x, int y, TDragState, bool& accept) {
        accept = false;
        Guard([&] { DiashowListBoxDragOver(source, x, y, accept); });
    };
    box->OnDragDrop = [this](QObject*, QObject* source, int x, int y) {
        Guard([&] { DiashowListBoxDragDrop(source, x, y); });
    };
    box->OnEndDrag = [this](QObject*, QObject* target, int x, int y) {
        Guard([&] { DiashowListBoxEndDrag(target, x, y); });
    };
    box->OnKeyDown = [this](QObject*, int& key, TShiftState) { Guard([&] { DiashowListBoxKeyDown(key); }); };
    box->OnKeyUp = [this](QObject*, int& key, TShiftState) { Guard([&] { DiashowListBoxKeyUp(key); }); };
    box->OnClick = [this](QObject*) { Guard([&] { DiashowListBoxClick(); }); };
    box->OnDblClick = [this](QObject*) { Guard([&] { DiashowListBoxDblClick(); }); };
}

void TMainForm::SelectedPicturePath()
{
    SelectedPicture.clear();
    if (!DiashowListBox)
        return;
    const int index = DiashowListBox->ItemIndex();
    if (index < 0 || index >= DiashowListBox->Items().Count())
        return;
    const QString name = PictureItemName(DiashowListBox->Items()[index]);
    if (IsPlainFileName(name) && !DiashowPath().isEmpty())
        SelectedPicture = DiashowPath() + name;
}

void TMainForm::RotateOrFlipPicture(const QString& operation)
{
    // Only a current slideshow picture is turned; without one the buttons do nothing.
    SelectedPicturePath();
    if (SelectedPicture.isEmpty() || !FileExists(SelectedPicture))
        return;
    std::optional<TBusyCursor> busy(std::in_place);
    SavedListIndex = DiashowListBox->ItemIndex();
    TLEADImage& view = *m_ui->ViewLEADImage;
    const TColor white = 0xFFFFFF;
    bool done = false;
    int losslessRc = LE_NOT_SUPPORTED;
    QString failure;
    // A JPEG whose size allows it is turned without decoding: nothing of its quality goes.
    const std::pair<const char*, std::int32_t> lossless[] = {
        {"90", LJXF_ROTATE90}, {"-90", LJXF_ROTATE270}, {"180", LJXF_ROTATE180},
        {"FlipV", LJXF_MIRROR}, {"FlipH", LJXF_FLIP}};
    for (const auto& [name, code] : lossless) {
        if (operation == QLatin1String(name))
            losslessRc = L_TransformJpegLossless(QFile::encodeName(SelectedPicture).constData(), code);
    }
    if (losslessRc == LE_SUCCESS) {
        done = true;
    } else if (losslessRc != LE_NOT_SUPPORTED) {
        failure = LeadErrorText(losslessRc);
    } else {
        try {
            // The picture itself, never whatever the preview happens to hold.
            if (view.Load(SelectedPicture, 0, 1, -1) == 1) {
                int rc = 0;
                if (operation == QLatin1String("90"))
                    rc = view.Rotate(9000, 1, white);
                else if (operation == QLatin1String("-90"))
                    rc = view.Rotate(27000, 1, white);
                else if (operation == QLatin1String("180"))
                    rc = view.Rotate(18000, 1, white);
                else if (operation == QLatin1String("FlipV"))
                    rc = view.Reverse();
                else if (operation == QLatin1String("FlipH"))
                    rc = view.Flip();
                // The save writes a temporary file beside the picture and replaces it only
                // once the whole picture is written.
                done = rc == 1 && view.Save(SelectedPicture, 23, 24, 4, 0) == 1;
            }
        } catch (...) {
            done = false;
        }
        if (!done)
            failure = view.LastErrorText();
    }
    if (!done) {
        busy.reset();
        MessageBoxFlags(QStringLiteral("An error occured in your application, ") + QChar('\n') + failure,
                        QStringLiteral("Error"), MB_OK);
        return;
    }
    RefreshSelectedThumbnail();
    SelectItemAfterDrop(SavedListIndex);
}

void TMainForm::RefreshSelectedThumbnail()
{
    if (!DiashowListBox)
        return;
    TListBoxItems& items = DiashowListBox->Items();
    const int index = DiashowListBox->ItemIndex();
    if (index < 0 || index >= items.Count())
        return;
    const QString folder = DiashowPath();
    const QString name = PictureItemName(items[index]);
    if (folder.isEmpty() || !IsPlainFileName(name))
        return;
    const QString text = PictureItemText(items[index]);
    const QString thumbnail = ThumbnailPath(folder + name, false);
    int n = 1;
    while (FileExists(folder + QStringLiteral("_THUMB_%1").arg(n) + name))
        ++n;
    const QString numbered = folder + QStringLiteral("_THUMB_%1").arg(n) + name;
    try {
        MakeThumbnail(folder + name, kThumbnailHeight, false, true);
    } catch (...) {
        // The item keeps its old thumbnail.
        return;
    }
    if (!QFile::copy(thumbnail, numbered))
        return;
    const bool selected = DiashowListBox->Selected(index);
    items.Delete(index);
    // An item without a text stays without the separator (it would show as "name |").
    items.Insert(index, PictureItem(numbered, name, text, !text.isEmpty()));
    DiashowListBox->setItemIndex(index);
    DiashowListBox->setSelected(index, selected);
    // The turned picture in the preview, and its new size in the status line.
    SelectedPicturePath();
    if (!SelectedPicture.isEmpty())
        ShowPicturePreview(SelectedPicture, false, true);
}

void TMainForm::SelectItemAfterDrop(int index)
{
    if (!DiashowListBox)
        return;
    THTMListBox& list = *DiashowListBox;
    list.ClearSelection();
    const int count = list.Items().Count();
    const int row = index != -1 && index >= 0 && index < count ? index : count - 1;
    if (row < 0)
        return;
    list.setItemIndex(row);
    list.setSelected(row, true);
    ShowCurrentItemText();
}

void TMainForm::FileListBoxDragOver(bool& accept)
{
    DragFromSourceList = true;
    // The source list takes no drop of its own.
    accept = false;
}

void TMainForm::DiashowListBoxMouseDown(int x, int y)
{
    if (!DiashowListBox || DiashowListBox->Items().Count() == 0)
        return;
    DragFromSourceList = false;
    DragIndex = DiashowListBox->ItemAtPos(TPoint(x, y), true);
}

void TMainForm::DiashowListBoxDragOver(QObject* source, int x, int y, bool& accept)
{
    if (!DiashowListBox)
        return;
    THTMListBox& list = *DiashowListBox;
    accept = source == &list || source == m_ui->FileListBox;
    if (!accept)
        return;
    DraggingOverList = true;
    if (y < kScrollMargin)
        list.ScrollLines(-1);
    else if (y > list.ClientHeight() - kScrollMargin)
        list.ScrollLines(1);
    if (source == m_ui->FileListBox) {
        const int item = list.ItemAtPos(TPoint(x, y), true);
        DragIndex = item >= 0 ? item : list.Items().Count();
    }
    DragScrollPos = list.TopIndex();
}

void TMainForm::DiashowListBoxDragDrop(QObject* source, int x, int y)
{
    if (!DiashowListBox)
        return;
    if (source == m_ui->FileListBox) {
        // Decided by where the drag came from: a stale flag never turns a move into an add.
        DragFromSourceList = false;
        const THTMListBox& files = *m_ui->FileListBox;
        WorkList1->Clear();
        for (int i = 0; i < files.Items().Count(); ++i) {
            if (files.Selected(i))
                WorkList1->Add(SourcePicturePath(files.Items()[i]));
        }
        if (WorkList1->Count() == 0 || !EnsureDiashowTitle())
            return;
        const int count = DiashowListBox->Items().Count();
        const int at = DragIndex < 0 || DragIndex > count ? count : DragIndex;
        {
            TLongWork longWork;
            m_ui->PicProgressBar->setValue(0);
            m_ui->PicProgressBar->show();
            try {
                // Each one in front of the one before: they end up in the source order.
                for (int i = WorkList1->Count() - 1; i >= 0; --i) {
                    AddPictureToDiashow((*WorkList1)[i], at);
                    SelectItemAfterDrop(at);
                }
            } catch (...) {
                m_ui->PicProgressBar->hide();
                throw;
            }
            m_ui->PicProgressBar->hide();
        }
        DraggingOverList = false;
        if (DiashowListBox && DiashowListBox->Items().Count() > 0) {
            SelectItemAfterDrop(at);
            // As a click on the list: the dropped picture's text and preview.
            DiashowListBoxClick();
        }
        return;
    }
    if (source != DiashowListBox)
        return;
    TListBoxItems& items = DiashowListBox->Items();
    const int target = DiashowListBox->ItemAtPos(TPoint(x, y), true);
    if (target < 0 || target >= items.Count() || DragIndex < 0 || DragIndex >= items.Count())
        return;
    if (target != DragIndex) {
        FlushPicturesIni();
        items.Move(DragIndex, target);
        SavePicturesIni();
    }
    DragIndex = target;
}

void TMainForm::DiashowListBoxEndDrag(QObject* target, int x, int y)
{
    ShiftCtrlDown = false;
    // A plain click ends a drag too (without a target): the selection stays as clicked.
    if (!DraggingOverList || !DiashowListBox)
        return;
    DraggingOverList = false;
    DiashowListBox->setTopIndex(DragScrollPos);
    DragScrollPos = 1;
    SelectItemAfterDrop(target == DiashowListBox ? DiashowListBox->ItemAtPos(TPoint(x, y), true) : -1);
}

void TMainForm::DiashowListBoxKeyDown(int& key)
{
    if (key == VK_SHIFT || key == VK_CONTROL)
        ShiftCtrlDown = true;
    else if (key == VK_DELETE)
        SpeedButton3Click();
}

void TMainForm::DiashowListBoxKeyUp(int& key)
{
    if (key == VK_SHIFT || key == VK_CONTROL)
        ShiftCtrlDown = false;
}

void TMainForm::TitleEditChange(const QString& text)
{
    DiashowTitle = text;
}

void TMainForm::SecEditChange(const QString& text)
{
    DiashowTime = text;
}
