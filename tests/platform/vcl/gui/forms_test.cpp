// The form loader, the window hooks, modal results and held closes.
#include "platform/vcl/Application.h"
#include "platform/vcl/Exceptions.h"

#include "GuiTestUtil.h"
#include "support/ScriptedUi.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using guitest::Drain;

// A control as a form description makes it: a setter called by setupUi, then Loaded.
class Recorder : public QLabel, public ILoaded {
public:
    Recorder(QWidget* parent, QStringList& log) : QLabel(parent), m_log(log) {}
    void setCaption(const QString& text)
    {
        setText(text);
        m_log << QString("set (loading %1)").arg(IsLoading(this));
    }
    void Loaded() override { m_log << QString("Loaded (loading %1)").arg(IsLoading(this)); }

private:
    QStringList& m_log;
};

// The test's main window stays the program's main window only where a test says so.
struct NoMainForm {
    ~NoMainForm() { Application->SetMainForm(nullptr); }
};

} // namespace

class TTestForm : public TForm {
    Q_OBJECT
public:
    explicit TTestForm(QWidget* parent = nullptr, bool failCreate = false, const QString& name = "form")
        : TForm(parent), m_failCreate(failCreate)
    {
        setObjectName(name);
        Load([this] {
            Child = new Recorder(this, Log);
            Child->setCaption("caption");
            OkButton = new QPushButton("OK", this);
            OkButton->setProperty("ModalResult", mrOk);
            Log << "setupUi";
        });
    }

    QStringList Log;
    static QStringList DestroyLog;
    Recorder* Child = nullptr;
    QPushButton* OkButton = nullptr;
    int Activations = 0;
    bool ResetInClick = false;
    bool AllowClose = true;
    TCloseAction CloseAction = caHide;

protected:
    void BindEvents() override
    {
        Log << "BindEvents";
        Bind(OkButton, &QPushButton::clicked, &TTestForm::OkButtonClick);
    }
    void FormCreate() override
    {
        Log << "FormCreate";
        if (m_failCreate)
            throw EInOutError("Cannot make the folder", 3);
    }
    void FormShow() override { Log << "FormShow"; }
    void FormActivate() override
    {
        ++Activations;
        Log << "FormActivate";
    }
    void FormCloseQuery(bool& canClose) override { canClose = AllowClose; }
    void FormClose(TCloseAction& action) override
    {
        Log << "FormClose";
        action = CloseAction;
    }
    void FormDestroy() override { DestroyLog << objectName(); }

private:
    void OkButtonClick()
    {
        Log << QString("OkButtonClick (result %1)").arg(ModalResult());
        if (ResetInClick) {
            ResetInClick = false;
            SetModalResult(mrNone);
        }
    }
    bool m_failCreate;
};

QStringList TTestForm::DestroyLog;

TEST(FormLoader, LoadsThenCallsLoadedThenBindsThenCreates)
{
    NoMainForm restore;
    TTestForm form;
    EXPECT_EQ(form.Log, (QStringList{"set (loading 1)", "setupUi", "Loaded (loading 1)", "BindEvents", "FormCreate"}));
    EXPECT_FALSE(IsLoading(form.Child));
    EXPECT_FALSE(form.Loading());
    QLabel later(&form);
    EXPECT_FALSE(IsLoading(&later));
}

TEST(FormLoader, AnExceptionInFormCreateIsShownAndTheWindowWorks)
{
    NoMainForm restore;
    kvtest::Ui().ExpectMessage(mrOk, "Cannot make the folder");
    TTestForm form(nullptr, true);
    EXPECT_EQ(kvtest::Ui().Asked().at(0).Text, "Cannot make the folder.");
    form.OkButton->click();
    EXPECT_TRUE(form.Log.contains("OkButtonClick (result 1)"));
}

TEST(Forms, ShowModalReturnsTheResultAndRunsTheHooks)
{
    NoMainForm restore;
    TTestForm form;
    form.Log.clear();
    SetBusyCursor(true);
    kvtest::Ui().ExpectModal("TTestForm", mrCancel, [](TForm& f) {
        EXPECT_EQ(Screen->Cursor(), crDefault);  // no hourglass over a modal window
        EXPECT_TRUE(f.isVisible());
        static_cast<TTestForm&>(f).OkButton->click();  // the button's ModalResult wins
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(Screen->Cursor(), crHourGlass);
    SetBusyCursor(false);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.Log, (QStringList{"FormShow", "FormActivate", "OkButtonClick (result 1)", "FormClose"}));
    EXPECT_EQ(form.ModalResult(), mrOk);

    kvtest::Ui().ExpectModal("TTestForm", mrNo);
    EXPECT_EQ(form.ShowModal(), mrNo);

    form.show();
    EXPECT_THROW(form.ShowModal(), Exception);
}

TEST(Forms, TheModalLoopEndsOnANonZeroModalResult)
{
    NoMainForm restore;
    guitest::RealDialogs real;
    TTestForm form;
    form.Log.clear();
    form.ResetInClick = true;  // the first click's handler keeps the window open
    QTimer::singleShot(0, &form, [&] {
        form.OkButton->click();
        QTimer::singleShot(0, &form, [&] { form.OkButton->click(); });
    });
    QTimer::singleShot(5000, &form, [&] { form.done(99); });  // a safety net, not the answer
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(form.Log.count("OkButtonClick (result 1)"), 2);
    EXPECT_EQ(form.Log.count("FormClose"), 1);

    // the close box gives mrCancel; a refusing FormCloseQuery keeps the window open
    form.AllowClose = false;
    QTimer::singleShot(0, &form, [&] {
        form.close();
        EXPECT_TRUE(form.isVisible());
        form.AllowClose = true;
        form.close();
    });
    QTimer::singleShot(5000, &form, [&] { form.done(99); });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_FALSE(form.isVisible());
}

TEST(Forms, FormActivateRunsForWindowsOfTheProgramOnly)
{
    NoMainForm restore;
    TTestForm a(nullptr, false, "a"), b(nullptr, false, "b");
    a.Show();
    Drain();
    EXPECT_EQ(a.Activations, 1);  // shown
    b.Show();
    Drain();
    EXPECT_EQ(b.Activations, 1);
    QApplication::setActiveWindow(&a);
    Drain();
    EXPECT_EQ(a.Activations, 2);  // focus back from another window of the program

    // the user goes to another program and comes back
    QApplication::setActiveWindow(nullptr);
    QEvent away(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(qApp, &away);
    Drain();
    QApplication::setActiveWindow(&a);
    QEvent back(QEvent::ApplicationActivate);
    QCoreApplication::sendEvent(qApp, &back);
    Drain();
    EXPECT_EQ(a.Activations, 2);

    // a dialog that is not one of the program's windows comes and goes over it
    QDialog box(&a);
    box.show();
    QApplication::setActiveWindow(&box);
    Drain();
    box.hide();
    QApplication::setActiveWindow(&a);
    Drain();
    EXPECT_EQ(a.Activations, 2);

    // hidden and shown again
    a.hide();
    Drain();
    a.Show();
    QApplication::setActiveWindow(&a);
    Drain();
    EXPECT_EQ(a.Activations, 3);
    EXPECT_EQ(TForm::ActiveForm(), &a);
}

TEST(Forms, CloseActions)
{
    NoMainForm restore;
    TTestForm keep;
    keep.Show();
    keep.CloseAction = caNone;
    keep.close();
    EXPECT_TRUE(keep.isVisible());
    keep.CloseAction = caHide;
    keep.close();
    EXPECT_FALSE(keep.isVisible());

    TTestForm::DestroyLog.clear();
    QPointer<TTestForm> freed = new TTestForm(nullptr, false, "freed");
    freed->Show();
    freed->CloseAction = caFree;
    freed->close();
    EXPECT_EQ(TTestForm::DestroyLog, QStringList{"freed"});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(freed.isNull());

    // Escape does not close a window
    keep.Show();
    QTest::keyClick(&keep, Qt::Key_Escape);
    EXPECT_TRUE(keep.isVisible());
}

TEST(Forms, FreeRunsFormDestroyOfTheWindowThenItsChildWindows)
{
    NoMainForm restore;
    TTestForm::DestroyLog.clear();
    auto* main = new TTestForm(nullptr, false, "main");
    new TTestForm(main, false, "child");
    main->Free();
    EXPECT_EQ(TTestForm::DestroyLog, (QStringList{"main", "child"}));
}

TEST(Forms, TheMainWindowsCloseWaitsForLongWork)
{
    NoMainForm restore;
    TTestForm main;
    Application->SetMainForm(&main);
    main.Show();
    Drain();
    main.Log.clear();
    {
        TLongWork work;
        main.close();
        Application->ProcessMessages();
        EXPECT_TRUE(main.isVisible());
        EXPECT_FALSE(main.Log.contains("FormClose"));
    }
    Drain();
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(main.Log.count("FormClose"), 1);
    EXPECT_TRUE(Application->Terminated());

    // a close request that arrives while events are processed during work
    main.Show();
    main.Log.clear();
    QTimer::singleShot(0, &main, [&] { main.close(); });
    Application->ProcessMessages();
    EXPECT_TRUE(main.isVisible());
    Drain();
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(main.Log.count("FormClose"), 1);
}

#include "forms_test.moc"
