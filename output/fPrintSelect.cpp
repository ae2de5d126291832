#include "output/fPrintSelect.h"
#include "shell/Windows.h"

#include "controls/HTMLCheckList.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/StringList.h"
#include "shell/core/Language.h"
#include "shell/core/ProductInfo.h"
#include "ui_fPrintSelect.h"

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

TPrintSelectForm* PrintSelectForm = nullptr;

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
    // Maximised by its geometry: the maximised window state would leave the window under
    // the main window where no window manager honours it.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(screen->availableGeometry());
}

void TPrintSelectForm::FormActivate()
{
    const TPrintSource source = Source ? Source() : TPrintSource{};
    m_programFolder = source.ProgramFolder;
    THTMLCheckList& list = *m_ui->HTMLCheckList1;
    list.Items().Clear();
    for (const QString& item : source.Items)
        list.Items().Add(item);
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
    TStringList lines;
    for (int n = 0; n < list.Items().Count(); ++n) {
        const QString item = list.GetCheckedItem(n).trimmed();
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
