#pragma once
// TBetrachterForm: the pictures of one archived slideshow, one at a time, in a maximised
// window with previous/next, zoom in/out and close.
//
// The window reads the slideshow folder itself (not Pictures.ini): every "*.jpg" of the
// folder whose name does not contain "_THUMB", in the order a folder scan returns them (by
// name, ignoring case). Each showing starts again at the first picture. The arrow keys and
// Page Up/Down page through the pictures with wrap-around, from the window and from the
// picture control.
#include "platform/vcl/Forms.h"

#include <QString>

#include <memory>

namespace Ui {
class TBetrachterForm;
}

class TBetrachterForm : public TForm {
    Q_OBJECT
public:
    explicit TBetrachterForm(QWidget* parent = nullptr);
    ~TBetrachterForm() override;

    Ui::TBetrachterForm* ui() const { return m_ui.get(); }

    // The index of the shown entry of PicturesListBox.
    int CurrentIndex = 0;

    // The full paths of the pictures of folder (with a trailing "/"), as the window lists them.
    static QStringList PicturesOfFolder(const QString& folder);

    void ShowNextPicture();
    void ShowPreviousPicture();
    void ShowCurrentPicture();

    // The zoom steps of the two zoom buttons, in percentage points of the zoom factor.
    void ZoomIn();
    void ZoomOut();

    // The keys of the window and of the picture control: true when the key paged.
    bool FormKeyDown(int key);

protected:
    void BindEvents() override;
    void FormShow() override;
    void FormActivate() override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void PlaceButtons();
    void PicturesListBoxClick();
    void Zoom(int step);

    std::unique_ptr<Ui::TBetrachterForm> m_ui;
    QString m_shownPath;  // the picture on show, loaded again when the next one fails
};
