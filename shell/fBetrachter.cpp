#include "shell/fBetrachter.h"
#include "shell/Windows.h"

#include "imaging/LEADImage.h"
#include "platform/vcl/Files.h"
#include "platform/vcl/ListBox.h"
#include "shell/core/Helpers.h"
#include "shell/fMain.h"
#include "ui_fBetrachter.h"
#include "ui_fMain.h"

#include <QKeyEvent>
#include <QScreen>
#include <QToolButton>

TBetrachterForm* BetrachterForm = nullptr;

namespace {

// The framework's virtual-key codes the window pages with.
constexpr int kVkPrior = 33;  // Page Up
constexpr int kVkNext = 34;   // Page Down
constexpr int kVkLeft = 37;
constexpr int kVkUp = 38;
constexpr int kVkRight = 39;
constexpr int kVkDown = 40;

// Below this factor a zoom out is not taken (it would reach zero or less).
constexpr int kLowestZoomOutFactor = 12;
constexpr int kZoomStep = 10;

} // namespace

TBetrachterForm::TBetrachterForm(QWidget* parent)
    : TForm(parent), m_ui(std::make_unique<Ui::TBetrachterForm>())
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    Load([this] { m_ui->setupUi(this); });
}

TBetrachterForm::~TBetrachterForm() = default;

void TBetrachterForm::BindEvents()
{
    Bind(m_ui->SpeedButton1, &QToolButton::clicked, &TBetrachterForm::ShowPreviousPicture);
    Bind(m_ui->SpeedButton2, &QToolButton::clicked, &TBetrachterForm::ShowNextPicture);
    Bind(m_ui->SpeedButton3, &QToolButton::clicked, &TBetrachterForm::ZoomIn);
    Bind(m_ui->SpeedButton4, &QToolButton::clicked, &TBetrachterForm::ZoomOut);
    Bind(m_ui->SpeedButton5, &QToolButton::clicked, [this] { close(); });
    m_ui->PicturesListBox->OnClick = [this](QObject*) { Guard([this] { PicturesListBoxClick(); }); };
    // Speed buttons never take the focus: the keys stay with the picture.
    for (QToolButton* button : {m_ui->SpeedButton1, m_ui->SpeedButton2, m_ui->SpeedButton3,
                                m_ui->SpeedButton4, m_ui->SpeedButton5})
        button->setFocusPolicy(Qt::NoFocus);
    m_ui->LEADImage1->OnKeyDown = [this](QObject*, int& key, TLEADImage::TShiftState) {
        Guard([&] { FormKeyDown(key); });
    };
}

void TBetrachterForm::FormShow()
{
    // The screen's size as well as the maximised state: without a window manager the state
    // alone changes nothing.
    if (const QScreen* s = screen())
        setGeometry(s->availableGeometry());
    setWindowState(windowState() | Qt::WindowMaximized);
}

void TBetrachterForm::PlaceButtons()
{
    const int h = m_ui->Panel1->width() / 2;
    auto place = [](QToolButton* button, int left) { button->move(left, button->y()); };
    place(m_ui->SpeedButton1, h - m_ui->SpeedButton1->width() - 60);
    place(m_ui->SpeedButton2, h - 60);
    place(m_ui->SpeedButton3, h - 20);
    place(m_ui->SpeedButton4, h - 20 + m_ui->SpeedButton3->width());
    place(m_ui->SpeedButton5, h + 20 + m_ui->SpeedButton4->width());
}

void TBetrachterForm::resizeEvent(QResizeEvent* e)
{
    TForm::resizeEvent(e);
    Guard([this] { PlaceButtons(); });
}

QStringList TBetrachterForm::PicturesOfFolder(const QString& folder)
{
    QStringList pictures;
    TSearchRec rec;
    if (FindFirst(folder + QStringLiteral("*.jpg"), faReadOnly | faHidden | faArchive, rec) == 0) {
        do {
            if (!rec.Name.contains(QLatin1String("_THUMB")))
                pictures << folder + rec.Name;
        } while (FindNext(rec) == 0);
    }
    FindClose(rec);
    return pictures;
}

void TBetrachterForm::FormActivate()
{
    PlaceButtons();
    setWindowTitle(MainForm->windowTitle());
    const TListBox* open = MainForm->ui()->OpenListBox;
    const int selected = open->ItemIndex();
    const QString line = selected >= 0 ? open->Items()[selected] : QString();
    const QString folder = ExtractWord(1, line, QStringLiteral(" "));

    TListBoxItems& items = m_ui->PicturesListBox->Items();
    items.Clear();
    m_shownPath.clear();
    if (!folder.isEmpty()) {
        for (const QString& path : PicturesOfFolder(MainForm->ArchiveRoot + folder + QLatin1Char('/')))
            items.Add(path);
    }
    if (items.Count() > 0) {
        m_ui->PicturesListBox->setItemIndex(0);
        PicturesListBoxClick();
    }
}

void TBetrachterForm::PicturesListBoxClick()
{
    CurrentIndex = m_ui->PicturesListBox->ItemIndex();
    ShowCurrentPicture();
}

void TBetrachterForm::ShowNextPicture()
{
    TListBox* list = m_ui->PicturesListBox;
    if (list->Items().Count() == 0)
        return;
    list->setItemIndex(list->ItemIndex() >= list->Items().Count() - 1 ? 0 : list->ItemIndex() + 1);
    PicturesListBoxClick();
}

void TBetrachterForm::ShowPreviousPicture()
{
    TListBox* list = m_ui->PicturesListBox;
    if (list->Items().Count() == 0)
        return;
    list->setItemIndex(list->ItemIndex() < 1 ? list->Items().Count() - 1 : list->ItemIndex() - 1);
    PicturesListBoxClick();
}

void TBetrachterForm::ShowCurrentPicture()
{
    const TListBoxItems& items = m_ui->PicturesListBox->Items();
    if (items.Count() == 0 || CurrentIndex < 0 || CurrentIndex >= items.Count())
        return;
    const QString path = items[CurrentIndex];
    TLEADImage* image = m_ui->LEADImage1;
    image->setPaintSizeMode(TLEADImage::smFit);
    image->ForceRepaint();
    // A picture that cannot be loaded leaves the previous one and its caption in place. The
    // control empties itself when a load fails, so the previous picture is loaded again.
    try {
        image->Load(path, 0, 1, -1);
        setWindowTitle(ExtractFileName(path) + QStringLiteral("    ") + MainForm->windowTitle());
        m_shownPath = path;
    } catch (const std::exception&) {
        try {
            if (!m_shownPath.isEmpty())
                image->Load(m_shownPath, 0, 1, -1);
        } catch (const std::exception&) {
        }
    }
}

void TBetrachterForm::Zoom(int step)
{
    TLEADImage* image = m_ui->LEADImage1;
    image->setPaintSizeMode(TLEADImage::smZoom);
    image->setAutoRepaint(false);
    int factor = image->PaintZoomFactor();
    if (step > 0 || factor >= kLowestZoomOutFactor)
        factor += step;
    image->setPaintSizeMode(TLEADImage::smZoom);
    image->setPaintZoomFactor(factor);
    image->setAutoRepaint(true);
}

void TBetrachterForm::ZoomIn() { Zoom(kZoomStep); }
void TBetrachterForm::ZoomOut() { Zoom(-kZoomStep); }

bool TBetrachterForm::FormKeyDown(int key)
{
    switch (key) {
    case kVkPrior:
    case kVkUp:
    case kVkRight: ShowNextPicture(); return true;
    case kVkNext:
    case kVkLeft:
    case kVkDown: ShowPreviousPicture(); return true;
    default: return false;
    }
}

void TBetrachterForm::keyPressEvent(QKeyEvent* e)
{
    bool handled = false;
    Guard([&] { handled = FormKeyDown(TLEADImage::VirtualKeyCode(e->key())); });
    if (!handled)
        TForm::keyPressEvent(e);
}
