#include "output/fOnlineFotoEntwicklung.h"
#include "shell/Windows.h"

#include "platform/system/ProgramFolder.h"
#include "platform/vcl/Graphics.h"
#include "platform/webview/WebBrowser.h"
#include "shell/core/ProductInfo.h"
#include "output/DialogPicture.h"
#include "ui_fOnlineFotoEntwicklung.h"

#include <QFileInfo>
#include <QPixmap>
#include <QUrl>

TOnlineFotoForm* OnlineFotoForm = nullptr;

TOnlineFotoForm::TOnlineFotoForm(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TOnlineFotoForm>())
{
    Load([this] { m_ui->setupUi(this); });
    setWindowState(Qt::WindowMaximized);
}

TOnlineFotoForm::~TOnlineFotoForm() = default;

void TOnlineFotoForm::FormCreate()
{
    // The folder pane keeps its width when the window grows. It is never narrower than 105
    // pixels and starts wide enough for the file names; the user may move the border.
    m_ui->Splitter1->setStretchFactor(0, 0);
    m_ui->Splitter1->setStretchFactor(1, 1);
    m_ui->Splitter1->setSizes({240, 1000});

    ShowDialogPicture(*m_ui->Image2, ProductInfo.BannerImage);
}

void TOnlineFotoForm::FormActivate()
{
    m_ui->WebBrowser1->Navigate(QString::fromLatin1(kOnlineFotoURL));
    if (Paths)
        m_ui->WebBrowser2->Navigate(QUrl::fromLocalFile(Paths().ExportFolder).toString());
}
