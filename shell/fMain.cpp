#include "shell/fMain.h"

#include "platform/system/ProgramFolder.h"
#include "platform/vcl/Application.h"
#include "shell/core/Language.h"
#include "shell/core/ProductInfo.h"
#include "ui_fMain.h"

#include <QTabWidget>

TMainForm::TMainForm(QWidget* parent)
    : TForm(parent), m_ui(std::make_unique<Ui::TMainForm>())
{
    Load([this] { m_ui->setupUi(this); });
}

TMainForm::~TMainForm() = default;

void TMainForm::SetCaptions()
{
    // The tabs in page order, each with its caption number.
    struct TabCaption {
        QWidget* Tab;
        LangText Text;
    };
    const TabCaption tabs[] = {
        {m_ui->TabSheet5, LangText(584)},
        {m_ui->TabSheet1, LangText(585)},
        {m_ui->TabSheet4, LangText(588)},
        {m_ui->TabSheet3, LangText(587)},
        {m_ui->TabSheet2, LangText(586)},
    };
    for (const TabCaption& t : tabs)
        m_ui->PageControl1->setTabText(m_ui->PageControl1->indexOf(t.Tab), t.Text.Text());
}

void TMainForm::FormCreate()
{
    ProgramFolder = ::ProgramFolder();
    SetCaptions();
    setWindowTitle(ProductInfo.ProductName + QStringLiteral(" ") + ProductInfo.EditionText);
    m_ui->PageControl1->setCurrentIndex(0);
}
