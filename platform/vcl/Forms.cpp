#include "platform/vcl/Forms.h"

#include "platform/vcl/AppInternal.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Exceptions.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDynamicPropertyChangeEvent>
#include <QKeyEvent>
#include <QList>

namespace {

const char* const kLoadingProperty = "kvLoading";
const char* const kModalResultProperty = "ModalResult";

QPointer<TForm>& ActiveFormSlot()
{
    static QPointer<TForm> form;
    return form;
}

} // namespace

bool IsLoading(const QObject* object)
{
    for (const QObject* o = object; o; o = o->parent())
        if (o->property(kLoadingProperty).toBool())
            return true;
    return false;
}

TForm::TForm(QWidget* parent) : QDialog(parent)
{
    setProperty(kModalResultProperty, mrNone);
    if (!parent) {
        setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
        if (!Application->MainForm())
            Application->SetMainForm(this);
    }
}

TForm::~TForm() = default;

void TForm::Load(const std::function<void()>& setupUi)
{
    setProperty(kLoadingProperty, true);
    struct EndLoading {
        TForm* form;
        ~EndLoading() { form->setProperty(kLoadingProperty, false); }
    };
    {
        EndLoading end{this};
        if (setupUi)
            setupUi();
        QList<QPointer<QObject>> children;
        for (QObject* child : findChildren<QObject*>())
            children.append(child);
        for (const QPointer<QObject>& child : children)
            if (auto* loaded = dynamic_cast<ILoaded*>(child.data()))
                loaded->Loaded();
    }
    BindModalButtons();
    BindEvents();
    Guard([this] { FormCreate(); });
}

bool TForm::Loading() const { return property(kLoadingProperty).toBool(); }

void TForm::BindModalButtons()
{
    for (QAbstractButton* button : findChildren<QAbstractButton*>()) {
        if (button->property(kModalResultProperty).toInt() == mrNone)
            continue;
        QPointer<QAbstractButton> b = button;
        ::Bind(button, &QAbstractButton::clicked, this, [this, b] {
            if (b)
                SetModalResult(b->property(kModalResultProperty).toInt());
        });
    }
}

int TForm::ModalResult() const { return property(kModalResultProperty).toInt(); }

void TForm::SetModalResult(int result) { setProperty(kModalResultProperty, result); }

int TForm::ShowModal()
{
    if (isVisible())
        throw Exception(QStringLiteral("Cannot make a visible window modal"));
    // The hourglass of the caller's work does not stay over the modal window.
    struct RestoreCursor {
        TCursor saved = Screen->Cursor();
        ~RestoreCursor() { Screen->SetCursor(saved); }
    } restore;
    Screen->SetCursor(crDefault);
    TAskRequest request;
    request.Kind = TAskKind::ModalWindow;
    request.Caption = windowTitle();
    request.ClassName = QString::fromLatin1(metaObject()->className());
    request.Form = this;
    const int result = Interaction().Ask(request).Result;
    return result;
}

void TForm::Show()
{
    show();
    raise();
    activateWindow();
}

int TForm::ExecModal()
{
    m_modal = ModalState::Loop;
    m_modalCheckQueued = false;
    SetModalResult(mrNone);
    const int code = exec();
    m_modal = ModalState::None;
    int result = ModalResult();
    if (result == mrNone)
        result = code == QDialog::Accepted ? mrOk : mrCancel;
    SetModalResult(result);
    return result;
}

void TForm::BeginModal()
{
    m_modal = ModalState::Scripted;
    SetModalResult(mrNone);
    show();
    raise();
    activateWindow();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool TForm::EndModal(int result)
{
    SetModalResult(result);
    bool closed = true;
    if (isVisible()) {
        TCloseAction action = caHide;
        closed = RunCloseHooks(action);
        m_modal = ModalState::None;
        m_closing = true;
        hide();
        m_closing = false;
    }
    m_modal = ModalState::None;
    return closed;
}

void TForm::reject()
{
    if (InModal())
        SetModalResult(mrCancel);
    else
        close();
}

bool TForm::RunCloseHooks(TCloseAction& action)
{
    bool canClose = true;
    Guard([&] { FormCloseQuery(canClose); });
    if (!canClose)
        return false;
    action = caHide;
    Guard([&] { FormClose(action); });
    return action != caNone;
}

void TForm::ModalResultChanged()
{
    if (m_modal != ModalState::Loop || ModalResult() == mrNone || m_modalCheckQueued)
        return;
    m_modalCheckQueued = true;
    QMetaObject::invokeMethod(this, [this] {
        m_modalCheckQueued = false;
        CloseModalLoop();
    }, Qt::QueuedConnection);
}

void TForm::CloseModalLoop()
{
    const int result = ModalResult();
    if (m_modal != ModalState::Loop || result == mrNone)
        return;
    TCloseAction action = caHide;
    if (!RunCloseHooks(action)) {
        SetModalResult(mrNone);
        return;
    }
    m_modal = ModalState::None;
    m_closing = true;
    QDialog::done(result);
    m_closing = false;
}

bool TForm::event(QEvent* e)
{
    const bool handled = QDialog::event(e);
    switch (e->type()) {
    case QEvent::DynamicPropertyChange:
        if (static_cast<QDynamicPropertyChangeEvent*>(e)->propertyName() == kModalResultProperty)
            ModalResultChanged();
        break;
    case QEvent::WindowActivate:
        if (ActiveFormSlot() != this) {
            ActiveFormSlot() = this;
            Guard([this] { FormActivate(); });
        }
        break;
    default: break;
    }
    return handled;
}

void TForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        Guard([this] { FormShow(); });
}

void TForm::hideEvent(QHideEvent* e)
{
    QDialog::hideEvent(e);
    if (!e->spontaneous() && ActiveFormSlot() == this)
        ActiveFormSlot() = nullptr;
}

void TForm::closeEvent(QCloseEvent* e)
{
    if (m_closing) {  // closing after the hooks have run
        e->accept();
        return;
    }
    if (this == Application->MainForm() && app_detail::HoldMainClose(this)) {
        e->ignore();
        return;
    }
    TCloseAction action = caHide;
    if (InModal()) {
        const ModalState state = m_modal;
        m_modal = ModalState::None;  // no queued close while the hooks run
        SetModalResult(mrCancel);
        if (!RunCloseHooks(action)) {
            SetModalResult(mrNone);
            m_modal = state;
            e->ignore();
            return;
        }
        setResult(mrCancel);
        e->accept();
        // A scripted modal showing stays modal until the service ends it.
        m_modal = state == ModalState::Scripted ? state : ModalState::None;
        return;
    }
    if (!RunCloseHooks(action)) {
        e->ignore();
        return;
    }
    if (this == Application->MainForm()) {
        e->accept();
        Application->Terminate();
        return;
    }
    switch (action) {
    case caMinimize:
        e->ignore();
        showMinimized();
        break;
    case caFree:
        e->accept();
        Release();
        break;
    default: e->accept(); break;
    }
}

void TForm::keyPressEvent(QKeyEvent* e)
{
    // Escape does not close a window, as in the framework (a window binds it where wanted).
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        // Past QDialog on purpose: its handler would reject the window.
        QWidget::keyPressEvent(e);  // NOLINT(bugprone-parent-virtual-call)
        return;
    }
    QDialog::keyPressEvent(e);
}

void TForm::RunDestroyHooks()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    Guard([this] { FormDestroy(); });
    for (TForm* child : findChildren<TForm*>())
        child->RunDestroyHooks();
}

void TForm::Free()
{
    RunDestroyHooks();
    delete this;
}

void TForm::Release()
{
    RunDestroyHooks();
    deleteLater();
}

TForm* TForm::ActiveForm() { return ActiveFormSlot(); }
