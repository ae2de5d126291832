// The main window's tab change and the bindings of the make and export handlers.
#include "shell/fMain.h"
#include "shell/Windows.h"

#include "controls/HTMListBox.h"
#include "platform/vcl/Application.h"
#include "shell/core/Language.h"
#include "shell/fMain_internal.h"
#include "ui_fMain.h"

#include <QEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

namespace {

// Calls onChange for the tab changes the user makes (mouse, keys, wheel on the tabs), never
// for a page that code sets: input to the tab bar or the page control opens a window in which
// a change counts, closed once control is back in the event loop.
class TUserTabWatcher : public QObject {
public:
    TUserTabWatcher(QTabWidget& pages, std::function<void(int)> onChange)
        : QObject(&pages), m_onChange(std::move(onChange))
    {
        pages.installEventFilter(this);
        pages.tabBar()->installEventFilter(this);
        connect(&pages, &QTabWidget::currentChanged, this, [this](int index) {
            if (!m_userInput)
                return;
            m_userInput = false;
            m_onChange(index);
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::Wheel:
            if (!m_userInput) {
                m_userInput = true;
                QTimer::singleShot(0, this, [this] { m_userInput = false; });
            }
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(int)> m_onChange;
    bool m_userInput = false;
};

} // namespace

void TMainForm::BindMakeEvents()
{
    new TUserTabWatcher(*m_ui->PageControl1, [this](int index) { Guard([&] { PageControl1Change(index); }); });
    Bind(m_ui->MakeDiashowBitBtn, &QPushButton::clicked, &TMainForm::MakeDiashowBitBtnClick);
    Bind(m_ui->AbbrechenBitBtn, &QPushButton::clicked, &TMainForm::AbbrechenBitBtnClick);
    Bind(m_ui->DiashowsvonVintrelimportieren1, &QAction::triggered, &TMainForm::DiashowsvonVintrelimportieren1Click);
    Bind(m_ui->CDfrFotolaborerstellen1, &QAction::triggered, [this] { MakeWizardChoiceClick("FotoLaborRadioButton"); });
    Bind(m_ui->FotolaborBitBtn, &QPushButton::clicked, [this] { MakeWizardChoiceClick("FotoLaborRadioButton"); });
}

void TMainForm::PageControl1Change(int index)
{
    m_ui->PathButton->hide();
    if (index == 0)
        ListDiashows();
    if (index == 2) {
        m_ui->StatusBar1->showMessage(QString());
        if (!DiashowListBox || DiashowListBox->Count() == 0) {
            m_ui->PageControl1->setCurrentIndex(1);
            MessageDlg(GetLangText(10010), mtInformation, {mbOK});
            return;
        }
        StopAudioAndRunMakeWizard(true);
    }
    if (index == 3)
        AudioTabEntered();
    else if (m_ui->PageControl1->currentWidget() != m_ui->TabSheet3)
        AudioTabLeft();
    // Else the make wizard led on to the slideshow settings tab: its titles were listed there
    // and are renumbered when it is left.
}

void TMainForm::AbbrechenBitBtnClick()
{
    StopAudio();
    ShowMakingTabs(false);
}

// The audio titles of the slideshow settings tab: AudioTabEntered, AudioTabLeft, StopAudio,
// StopAudioAndListTitles and RenumberAudioTitles are in fMain_audio.cpp.
