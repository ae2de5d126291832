// Message boxes, common dialogs, the shell open, the cursor and event processing.
#include "platform/vcl/Application.h"
#include "platform/vcl/Interaction.h"

#include "GuiTestUtil.h"
#include "support/ScriptedUi.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTest>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

using guitest::Drain;

QString WriteFile(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("x");
    return path;
}

} // namespace

TEST(MessageBoxes, MessageDlgAndMessageBoxAskWithTheFrameworksButtons)
{
    kvtest::Ui().ExpectMessage(mrNo, "Delete the slideshow?");
    EXPECT_EQ(MessageDlg("Delete the slideshow?", mtConfirmation, mbYesNo, 0), mrNo);
    const auto& dlg = kvtest::Ui().Asked().back();
    EXPECT_EQ(dlg.Caption, "Confirm");
    EXPECT_EQ(dlg.Type, mtConfirmation);
    EXPECT_EQ(dlg.Buttons, mbYesNo);
    EXPECT_EQ(dlg.DefaultResult, mrYes);

    Application->SetTitle("Korvanta");
    kvtest::Ui().ExpectMessage(mrOk);
    ShowMessage("Done");
    EXPECT_EQ(kvtest::Ui().Asked().back().Caption, "Korvanta");
    EXPECT_EQ(kvtest::Ui().Asked().back().Type, mtCustom);
    Application->SetTitle(QString());

    struct Case {
        int flags;
        TMsgDlgButtons buttons;
        TMsgDlgType type;
        int defaultResult;
    };
    const Case cases[] = {
        {MB_OK, {mbOK}, mtCustom, mrOk},
        {MB_OKCANCEL | MB_ICONWARNING | MB_DEFBUTTON2, mbOKCancel, mtWarning, mrCancel},
        {MB_ABORTRETRYIGNORE | MB_ICONERROR, mbAbortRetryIgnore, mtError, mrAbort},
        {MB_YESNOCANCEL | MB_ICONINFORMATION | MB_DEFBUTTON3, mbYesNoCancel, mtInformation, mrCancel},
        {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON3, mbYesNo, mtConfirmation, mrYes},  // no third button
        {MB_RETRYCANCEL, {mbRetry, mbCancel}, mtCustom, mrRetry},
    };
    for (const Case& c : cases) {
        kvtest::Ui().ExpectMessage(IDRETRY);
        EXPECT_EQ(Application->MessageBox("text", "Caption", c.flags), IDRETRY);
        const auto& r = kvtest::Ui().Asked().back();
        EXPECT_EQ(r.Buttons, c.buttons) << c.flags;
        EXPECT_EQ(r.Type, c.type) << c.flags;
        EXPECT_EQ(r.DefaultResult, c.defaultResult) << c.flags;
        EXPECT_EQ(r.Caption, "Caption");
    }
}

TEST(MessageBoxes, TheRealBoxAnswersWithThePressedButton)
{
    guitest::RealDialogs real;
    const auto press = [](std::function<void(QMessageBox&)> act) {
        QTimer::singleShot(0, [act] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            act(*box);
        });
    };
    QObject scope;  // ends the safety net with the test
    QTimer::singleShot(5000, &scope, [] {  // a safety net: no test should get here
        if (QWidget* w = QApplication::activeModalWidget())
            w->close();
    });
    press([](QMessageBox& box) {
        EXPECT_EQ(box.windowTitle(), "Confirm");
        EXPECT_EQ(box.text(), "Sure?");
        EXPECT_EQ(box.buttons().size(), 3);
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(MessageDlg("Sure?", mtConfirmation, mbYesNoCancel, 0), mrNo);
    press([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(MessageDlg("Sure?", mtConfirmation, mbYesNoCancel, 0), mrCancel);
    press([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(MessageDlg("Sure?", mtConfirmation, mbYesNo, 0), mrNo);
    press([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
    EXPECT_EQ(Application->MessageBox("Sure?", "Caption", MB_YESNO | MB_DEFBUTTON2), IDNO);
}

TEST(CommonDialogs, OpenDialogSetsTheFileAndTheCurrentFolder)
{
    const QString dir = kvtest::MakeTempFolder("pick");
    const QString start = QDir::currentPath();
    TOpenDialog d;
    d.Filter = "Alle Bilddateien|*.jpg;*.jpeg;*.bmp";
    d.InitialDir = dir;
    kvtest::Ui().ExpectOpenFile({dir + "b.jpg"});
    ASSERT_TRUE(d.Execute());
    EXPECT_EQ(d.FileName, dir + "b.jpg");
    EXPECT_EQ(d.Files, QStringList{dir + "b.jpg"});
    EXPECT_EQ(QDir::currentPath() + "/", dir);  // the framework's dialog left it there
    const auto& r = kvtest::Ui().Asked().back();
    EXPECT_EQ(r.Kind, TAskKind::OpenFile);
    EXPECT_EQ(r.Data.value("Filter").toString(), d.Filter);
    EXPECT_EQ(r.Data.value("InitialDir").toString(), dir);

    QDir::setCurrent(start);
    d.Options |= ofNoChangeDir;
    kvtest::Ui().ExpectOpenFile({dir + "c.jpg"}).ExpectOpenFile({});
    EXPECT_TRUE(d.Execute());
    EXPECT_EQ(QDir::currentPath(), start);
    EXPECT_FALSE(d.Execute());  // cancelled
    EXPECT_EQ(d.FileName, dir + "c.jpg");

    TSaveDialog save;
    kvtest::Ui().ExpectSaveFile(dir + "out.html");
    EXPECT_TRUE(save.Execute());
    EXPECT_EQ(kvtest::Ui().Asked().back().Kind, TAskKind::SaveFile);

    TColorDialog colour;
    colour.Color = clRed;
    kvtest::Ui().ExpectColor(std::nullopt).ExpectColor(clTeal);
    EXPECT_FALSE(colour.Execute());
    EXPECT_EQ(colour.Color, clRed);
    EXPECT_TRUE(colour.Execute());
    EXPECT_EQ(colour.Color, clTeal);

    QString folder = dir;
    kvtest::Ui().ExpectSelectFolder(dir + "sub");
    EXPECT_TRUE(SelectDirectory("Folder", "", folder));
    EXPECT_EQ(folder, dir + "sub");
}

TEST(CommonDialogs, FiltersBecomeCaseInsensitiveQtFilters)
{
    const std::pair<QString, QString> cases[] = {
        {"Alle Bilddateien|*.jpg;*.jpeg", "Alle Bilddateien (*.[jJ][pP][gG] *.[jJ][pP][eE][gG])"},
        {"Audio Dateien|*.mp3; *.wav", "Audio Dateien (*.[mM][pP]3 *.[wW][aA][vV])"},
        {"Text|*.txt|Alle Dateien|*.*", "Text (*.[tT][xX][tT]);;Alle Dateien (*)"},
        {"", ""},
        {"|*.ini", "*.ini (*.[iI][nN][iI])"},
    };
    for (const auto& [framework, qt] : cases)
        EXPECT_EQ(QtFileFilter(framework), qt) << framework.toStdString();
}

TEST(ShellOpen, MissingLocalTargetsFailWithoutLaunching)
{
    const QString dir = kvtest::MakeTempFolder("shell");
    const QString page = WriteFile(dir + "page one.html");
    struct Case {
        QString target;
        int launch;  // -1: nothing may be launched; else the launch's success
        int code;
        QString launched;
    };
    const Case cases[] = {
        {"", -1, SE_ERR_FNF, ""},
        {dir + "missing.html", -1, SE_ERR_FNF, ""},
        {"file://" + dir + "missing.html", -1, SE_ERR_FNF, ""},
        {page, 1, kShellOpenOk, QUrl::fromLocalFile(page).toString()},
        {QUrl::fromLocalFile(page).toString(), 1, kShellOpenOk, QUrl::fromLocalFile(page).toString()},
        {dir, 1, kShellOpenOk, QUrl::fromLocalFile(dir).toString()},
        {page, 0, SE_ERR_NOASSOC, QUrl::fromLocalFile(page).toString()},
        {"mailto:someone@example.org", 1, kShellOpenOk, "mailto:someone@example.org"},
        {"https://example.org/update", 0, SE_ERR_NOASSOC, "https://example.org/update"},
    };
    for (const Case& c : cases) {
        kvtest::Ui().Reset();
        if (c.launch >= 0)
            kvtest::Ui().ExpectShellOpen(c.launch == 1);
        EXPECT_EQ(ShellOpen(c.target), c.code) << c.target.toStdString();
        const auto opens = kvtest::Ui().AskedOf(TAskKind::ShellOpen);
        if (c.launch < 0) {
            EXPECT_TRUE(opens.empty()) << c.target.toStdString();
        } else {
            ASSERT_EQ(opens.size(), 1u) << c.target.toStdString();
            EXPECT_EQ(opens[0].Text, c.launched);
        }
    }

    // a relative path is taken from the current folder
    const QString start = QDir::currentPath();
    QDir::setCurrent(dir);
    kvtest::Ui().Reset();
    kvtest::Ui().ExpectShellOpen();
    EXPECT_EQ(ShellOpen("page one.html"), kShellOpenOk);
    EXPECT_EQ(ShellOpen("help/missing.html"), SE_ERR_FNF);
    QDir::setCurrent(start);
}

TEST(BusyCursor, IsOneValueNotAStack)
{
    SetBusyCursor(true);
    SetBusyCursor(true);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    SetBusyCursor(false);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Screen->Cursor(), crDefault);

    Screen->SetCursor(crHourGlass);
    Screen->SetCursor(crHandPoint);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    Screen->SetCursor(crDefault);
    Screen->SetCursor(crDefault);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(ProcessMessages, HoldsBackUserInputUntilTheWorkReturns)
{
    QWidget window;
    QPushButton button(&window);
    button.resize(40, 20);
    window.show();
    Drain();
    int clicks = 0;
    QObject::connect(&button, &QPushButton::clicked, [&] { ++clicks; });
    bool timerRan = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    const QPointF at(10, 10);
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
        QCoreApplication::postEvent(&button, new QMouseEvent(t, at, button.mapToGlobal(at), Qt::LeftButton,
                                                             t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                                             Qt::NoModifier));
    Application->ProcessMessages();
    EXPECT_TRUE(timerRan);  // other events run
    EXPECT_EQ(clicks, 0);   // the click waits
    Drain();
    EXPECT_EQ(clicks, 1);
}

namespace {
int g_answer = 0;
}

TEST(ScriptedUi, UnscriptedBoxesAndWindowsFailTheTest)
{
    EXPECT_NONFATAL_FAILURE(g_answer = MessageDlg("Surprise", mtWarning, mbYesNoCancel, 0), "Unscripted MessageBox");
    EXPECT_EQ(g_answer, mrCancel);
    EXPECT_NONFATAL_FAILURE(g_answer = MessageDlg("Surprise", mtWarning, mbYesNo, 0), "Surprise");
    EXPECT_EQ(g_answer, mrNo);

    kvtest::Ui().ExpectOpenFile({"/tmp/x.jpg"});
    EXPECT_NONFATAL_FAILURE(ShowMessage("hello"), "expected an open-file dialog");
    TOpenDialog d;
    EXPECT_TRUE(d.Execute());

    EXPECT_NONFATAL_FAILURE(g_answer = ShellOpen(kvtest::TestHome()), "Unscripted ShellOpen");
    EXPECT_EQ(g_answer, SE_ERR_NOASSOC);

    kvtest::Ui().Allow(TAskKind::ShellOpen, [](TAskRequest&) { return TAskAnswer(1); });
    EXPECT_EQ(ShellOpen(kvtest::TestHome()), kShellOpenOk);
    EXPECT_EQ(ShellOpen(kvtest::TestHome()), kShellOpenOk);
}

TEST(ShellOpen, TheOpenerIsWaitedForAndItsFailureCounts)
{
    const QString bin = kvtest::MakeTempFolder("openers");
    const auto opener = [&](const char* name, const QByteArray& body) {
        const QString path = bin + name;
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + body + "\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    };
    struct Case {
        QString program;
        int launched;
    };
    const Case cases[] = {
        {opener("no-browser", "exit 4"), 0},           // xdg-open without a browser set up
        {opener("opened", "exit 0"), 1},
        {opener("still-starting", "sleep 3"), 1},      // still running after the wait
        {bin + "missing", 0},
    };
    for (const Case& c : cases) {
        QElapsedTimer timer;
        timer.start();
        EXPECT_EQ(OpenUrlAndWait("https://example.org/", c.program, 400), c.launched) << c.program.toStdString();
        EXPECT_LT(timer.elapsed(), 2000) << c.program.toStdString();
    }
}
