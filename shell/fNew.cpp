#include "shell/fNew.h"
#include "shell/Windows.h"

#include "platform/vcl/Dialogs.h"
#include "shell/core/Language.h"
#include "ui_fNew.h"

#include <QKeyEvent>

TNewForm* NewForm = nullptr;

TNewForm::TNewForm(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TNewForm>())
{
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Load([this] { m_ui->setupUi(this); });
}

TNewForm::~TNewForm() = default;

void TNewForm::BindEvents()
{
    // The key handler of the window, its title field and its two buttons.
    for (QObject* o : {static_cast<QObject*>(this), static_cast<QObject*>(m_ui->Edit1),
                       static_cast<QObject*>(m_ui->BitBtn1), static_cast<QObject*>(m_ui->BitBtn2)})
        o->installEventFilter(this);
}

void TNewForm::FormCreate()
{
    m_ui->Label1->setText(GetLangText(1800));
    m_ui->BitBtn1->setText(GetLangText(1801));
    m_ui->BitBtn2->setText(GetLangText(1802));
    setWindowTitle(GetLangText(1803));
}

bool TNewForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        bool handled = false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        Guard([&] { handled = FormKeyDown(key); });
        if (handled)
            return true;
    }
    return TForm::eventFilter(watched, event);
}

void TNewForm::FormCloseQuery(bool& canClose)
{
    if (ModalResult() == kNewFormOk && m_ui->Edit1->text().trimmed().isEmpty()) {
        MessageDlg(GetLangText(10092), mtInformation, {mbOK});
        m_ui->Edit1->setFocus();
        canClose = false;
    }
}

bool TNewForm::FormKeyDown(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter: SetModalResult(kNewFormOk); return true;
    case Qt::Key_Escape: SetModalResult(kNewFormCancel); return true;
    default: return false;
    }
}
