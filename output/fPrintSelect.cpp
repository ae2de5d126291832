#include "output/fPrintSelect.h"
#include "shell/Windows.h"

#include "controls/HTMLCheckList.h"
#include "controls/HTMLEscape.h"
#include "controls/SlideshowItem.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/StringList.h"
#include "shell/core/Language.h"
#include "shell/core/ProductInfo.h"
#include "ui_fPrintSelect.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>

TPrintSelectForm* PrintSelectForm = nullptr;

namespace {

// The thumbnail an item shows: its own when it is there; else the picture's current one
// beside it ("_THUMB_" + name, which every turn and edit renews). A numbered thumbnail that a
// turn made can be gone by now: the clean-up of stale thumbnails takes it for a thumbnail of
// a missing picture, while the slideshow list still shows it from its memory.
QString ItemAsShown(const QString& item)
{
    static const QRegularExpression tag(QStringLiteral("^<IMG src=\"file://([^\"]*)\""),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = tag.match(item);
    if (!m.hasMatch())
        return item;
    const QString thumbnail = HTMLUnescape(m.captured(1));
    if (QFileInfo::exists(thumbnail))
        return item;
    const TSlideshowItem decoded = DecodeSlideshowItem(item);
    const QString current = QFileInfo(thumbnail).path() + QStringLiteral("/_THUMB_") + decoded.Name;
    if (!QFileInfo::exists(current))
        return item;
    return EncodeSlideshowItem(current, decoded.Name, decoded.Text, decoded.HasText);
}

} // namespace

TPrintSelectForm::TPrintSelectForm(QWidget* parent)
    : TForm(parent), m_ui(std::make_unique<Ui::TPrintSelectForm>())
{
    Load([this] { m_ui->setupUi(this); });
}

TPrintSelectForm::~TPrintSelectForm() = default;

void TPrintSelectForm::BindEvents()
{
    Bind(m_ui->PrintBitBtn, &QPushButton::clicked, &TPrintSelectForm::PrintBitBtnClick);
    Bind(m_ui->AbortBitBtn, &QPushButton::clicked, &TPrintSelectForm::AbortBitBtnClick);
}

void TPrintSelectForm::FormCreate()
{
    m_ui->HTMLCheckList1->setItemHeight(70);
}

void TPrintSelectForm::FitToScreen()
{
    // Maximised on the screen of the main window (or its own). The geometry fills the screen
    // where no window manager honours the maximised state; where one does, it maximises the
    // window with its frame inside the screen. A frame known from an earlier showing is left
    // room for at once.
    const QWidget* anchor = parentWidget() ? parentWidget()->window() : this;
    const QScreen* screen = anchor->screen() ? anchor->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QMargins frame(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                         frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom());
    setGeometry(available.marginsRemoved(frame));
    setWindowState(windowState() | Qt::WindowMaximized);
}

void TPrintSelectForm::FormShow() { FitToScreen(); }

void TPrintSelectForm::FormActivate()
{
    const TPrintSource source = Source ? Source() : TPrintSource{};
    m_programFolder = source.ProgramFolder;
    THTMLCheckList& list = *m_ui->HTMLCheckList1;
    list.Items().Clear();
    m_items = source.Items;
    for (const QString& item : m_items)
        list.Items().Add(ItemAsShown(item));
    QPixmap banner;
    if (banner.load(source.ProgramFolder + QStringLiteral("recom/") + ProductInfo.BannerImage))
        m_ui->Image1->setPixmap(banner);
    if (TForm* main = Application->MainForm(); main && main != this)
        setWindowTitle(main->windowTitle());
}

void TPrintSelectForm::PrintBitBtnClick()
{
    THTMLCheckList& list = *m_ui->HTMLCheckList1;
    if (list.GetCheckedCount() == 0) {
        MessageDlg(GetLangText(10011), mtInformation, {mbOK});
        return;
    }
    // The slideshow's own items, whatever thumbnail the list shows.
    TStringList lines;
    for (int n = 0; n < list.Items().Count() && n < int(m_items.size()); ++n) {
        const QString item = list.Checked(n) ? m_items[n].trimmed() : QString();
        if (!item.isEmpty())
            lines.Add(item);
    }
    lines.SaveToFile(m_programFolder + QStringLiteral("Print.txt"));
    SetModalResult(mrOk);
}

void TPrintSelectForm::AbortBitBtnClick()
{
    // The button's modal result (3) closes a modal window; shown modelessly it closes here.
    if (!InModal())
        close();
}
