// The preview of the main window: a click in the source list or the slideshow list shows
// the picture in ViewLEADImage a moment later, and the picture tools follow whether a
// slideshow picture is current.
#include "shell/fMain.h"

#include "controls/HTMListBox.h"
#include "imaging/LEADImage.h"
#include "platform/vcl/Colors.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Helpers.h"
#include "ui_fMain.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr TColor kToolsOnColor = 0x800000;  // navy
constexpr TColor kToolsOffColor = 0x808080; // grey

} // namespace

void TMainForm::FileListBoxClick()
{
    DisablePictureTools();
    DragFromSourceList = true;
    SavedListIndex = DiashowListBox ? DiashowListBox->ItemIndex() : -1;
    const THTMListBox& files = *m_ui->FileListBox;
    const int index = files.ItemIndex();
    if (index < 0 || index >= files.Items().Count())
        return;
    PreviewFile = files.Items()[index];
    // The turn buttons act on the current slideshow picture only: they stay off without one.
    const bool current = DiashowListBox && DiashowListBox->ItemIndex() >= 0 &&
                         DiashowListBox->ItemIndex() < DiashowListBox->Items().Count();
    for (QToolButton* button : {m_ui->SpeedButton5, m_ui->SpeedButton6, m_ui->SpeedButton7, m_ui->SpeedButton9,
                                m_ui->SpeedButton10})
        button->setEnabled(current);
    m_ui->BildbearbeitungBitBtn->setEnabled(current);
    Timer2->start();
}

void TMainForm::DiashowListBoxClick()
{
    DraggingOverList = false;
    if (!DiashowListBox)
        return;
    const int index = DiashowListBox->ItemIndex();
    if (index < 0 || index >= DiashowListBox->Items().Count())
        return;
    m_ui->ViewLEADImage->show();
    const QString item = DiashowListBox->Items()[index];
    PreviewFile = PictureItemName(item);
    // setText is no user edit: the item keeps its text as it is.
    m_ui->TextEdit->setText(PictureItemText(item));
    SelectedPicturePath();
    EnablePictureTools();
    SavedListIndex = index;
    Timer1->start();
}

void TMainForm::Timer1Timer()
{
    if (ShiftCtrlDown) {
        const Qt::KeyboardModifiers held =
            KeyboardModifiers ? KeyboardModifiers() : QGuiApplication::queryKeyboardModifiers();
        if (held & (Qt::ShiftModifier | Qt::ControlModifier)) {
            Timer1->start();
            return;
        }
        // The key went up where the list did not see it.
        ShiftCtrlDown = false;
    }
    Timer1->stop();
    ShowPicturePreview(PreviewFile, true, false);
}

void TMainForm::Timer2Timer()
{
    Timer2->stop();
    ShowPicturePreview(PreviewFile, false, false);
}

void TMainForm::ShowPicturePreview(const QString& item, bool slideshow, bool force)
{
    if (!force && item == LastPreviewItem)
        return;
    LastPreviewItem = item;
    QString file;
    if (slideshow) {
        const QString name = item.contains(QLatin1Char('>')) ? PictureItemName(item) : item;
        file = DiashowPath().isEmpty() ? QString() : DiashowPath() + name;
    } else if (item.contains(QLatin1Char('>'))) {
        file = SourcePicturePath(item);
    } else {
        // A bare name is a picture of the source folder; the working folder plays no part.
        file = QDir::isAbsolutePath(item) ? item : AddBackslash(SourceFolder) + item;
    }
    if (file.isEmpty())
        return;
    TLEADImage& view = *m_ui->ViewLEADImage;
    try {
        view.Load(file, 0, 1, -1);
        view.setPaintSizeMode(TLEADImage::smFit);
        view.viewport()->update();
        view.show();
    } catch (...) {
        // A picture that cannot be read leaves the preview as it was.
    }
    if (DiashowListBox && SavedListIndex >= 0 && SavedListIndex < DiashowListBox->Items().Count() &&
        DiashowListBox->ItemIndex() != SavedListIndex) {
        DiashowListBox->setItemIndex(SavedListIndex);
        ShowCurrentItemText();
    }
    ShowPictureInfo(file);
}

void TMainForm::ForgetPreviewOf(const QString& name)
{
    // A preview still waiting for this picture never comes.
    if (PreviewFile == name)
        Timer1->stop();
    if (LastPreviewItem == name)
        LastPreviewItem.clear();
    TLEADImage& view = *m_ui->ViewLEADImage;
    if (DiashowPath().isEmpty() || view.LoadedFileName() != DiashowPath() + name)
        return;
    view.ClearImage();
    view.hide();
}

namespace {

// TextLabel in color, the turn buttons on or off; the editor button on only while a slideshow
// picture is current (the editor opens that one).
void SetPictureTools(Ui::TMainForm& ui, bool on, bool editor)
{
    QPalette palette = ui.TextLabel->palette();
    palette.setColor(QPalette::WindowText, ToQColor(on ? kToolsOnColor : kToolsOffColor));
    ui.TextLabel->setPalette(palette);
    for (QToolButton* button : {ui.SpeedButton5, ui.SpeedButton6, ui.SpeedButton7, ui.SpeedButton9, ui.SpeedButton10})
        button->setEnabled(on);
    ui.BildbearbeitungBitBtn->setEnabled(editor);
}

} // namespace

void TMainForm::EnablePictureTools()
{
    SetPictureTools(*m_ui, true, SlideshowPictureCurrent());
}

void TMainForm::DisablePictureTools()
{
    SetPictureTools(*m_ui, false, false);
}
