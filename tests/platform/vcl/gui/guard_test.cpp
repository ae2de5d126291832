// The handler guard: exceptions become error boxes and the program goes on.
#include "platform/vcl/Application.h"
#include "platform/vcl/Exceptions.h"

#include "GuiTestUtil.h"
#include "support/ScriptedUi.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QSpinBox>
#include <QWidget>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using guitest::Drain;

QStringList BoxTexts()
{
    QStringList out;
    for (const auto& r : kvtest::Ui().AskedOf(TAskKind::MessageBox))
        out << r.Text;
    return out;
}

} // namespace

TEST(Guard, ShowsTheMessageOfWhateverWasThrownAndGoesOn)
{
    struct Case {
        const char* name;
        std::function<void()> raise;
        QString shown;
    };
    const Case cases[] = {
        {"Exception", [] { throw EConvertError("'x' is not a valid integer value"); }, "'x' is not a valid integer value."},
        {"message ending in a space", [] { throw Exception("Load \nError code: -9\nLoad: Not enough memory "); },
         "Load \nError code: -9\nLoad: Not enough memory "},
        {"message ending in !", [] { throw Exception("Unable to start!"); }, "Unable to start!"},
        {"std::exception", [] { throw std::runtime_error("disk on fire"); }, "disk on fire."},
        {"anything else", [] { throw 42; }, "An unknown error occurred."},
    };
    Application->SetTitle("Korvanta");
    for (const Case& c : cases) {
        kvtest::Ui().Reset();
        kvtest::Ui().ExpectMessage(mrOk);
        bool after = false;
        Guard(c.raise);
        after = true;  // the program goes on after the guard
        EXPECT_TRUE(after);
        ASSERT_EQ(kvtest::Ui().Asked().size(), 1u) << c.name;
        const auto& box = kvtest::Ui().Asked()[0];
        EXPECT_EQ(box.Text, c.shown) << c.name;
        EXPECT_EQ(box.Type, mtError);
        EXPECT_EQ(box.Caption, "Korvanta");
        EXPECT_EQ(box.Buttons, (TMsgDlgButtons{mbOK}));
    }
    Application->SetTitle(QString());
}

TEST(Guard, BoundHandlersSurviveTheirExceptions)
{
    QWidget owner;
    QPushButton button(&owner);
    QSpinBox spin(&owner);
    int clicks = 0, lastValue = -1, plainCalls = 0;
    Bind(&button, &QPushButton::clicked, &owner, [&] {
        ++clicks;
        throw Exception("click failed");
    });
    // a handler may take the signal's arguments or fewer of them
    Bind(&spin, &QSpinBox::valueChanged, &owner, [&](int v) { lastValue = v; });
    Bind(&spin, &QSpinBox::valueChanged, &owner, [&] { ++plainCalls; });

    kvtest::Ui().ExpectMessage(mrOk, "click failed").ExpectMessage(mrOk, "click failed");
    button.click();
    button.click();
    EXPECT_EQ(clicks, 2);
    spin.setValue(7);
    EXPECT_EQ(lastValue, 7);
    EXPECT_EQ(plainCalls, 1);
}

TEST(Guard, QueuedMessagesAreShownLaterAndOncePerBatch)
{
    for (int i = 0; i < 3; ++i)
        Guard([] { throw Exception("paint failed"); }, TGuardMode::Queue);
    Guard([] { throw Exception("second problem"); }, TGuardMode::Queue);
    // a guard inside a queuing guard queues too
    Guard([] { Guard([] { throw Exception("paint failed"); }); }, TGuardMode::Queue);
    EXPECT_TRUE(kvtest::Ui().Asked().empty());  // nothing shown inside the handler

    kvtest::Ui().ExpectMessage(mrOk, "paint failed").ExpectMessage(mrOk, "second problem");
    Drain();
    EXPECT_EQ(BoxTexts(), (QStringList{"paint failed.", "second problem."}));

    // once the batch is over, the same message is news again
    kvtest::Ui().ExpectMessage(mrOk, "paint failed");
    Guard([] { throw Exception("paint failed"); }, TGuardMode::Queue);
    Drain();
    EXPECT_EQ(BoxTexts().size(), 3);
}

TEST(Guard, MessagesRaisedWhileTheBatchIsShownAreNotRepeated)
{
    // the box of a queued batch causes repaints that fail again with the same message
    kvtest::Ui().Reset();
    int shown = 0;
    kvtest::Ui().Expect(TAskKind::MessageBox, [&](TAskRequest&) {
        ++shown;
        Guard([] { throw Exception("repaint failed"); }, TGuardMode::Queue);
        return TAskAnswer(mrOk);
    });
    Guard([] { throw Exception("repaint failed"); }, TGuardMode::Queue);
    Drain();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(kvtest::Ui().Asked().size(), 1u);
}

TEST(Guard, PaintHandlersQueueTheirBox)
{
    struct Failing : QWidget {
        bool fail = false;
        int paints = 0;
        void paintEvent(QPaintEvent*) override
        {
            Guard([this] {
                if (!fail)
                    return;
                ++paints;
                throw Exception("cannot paint");
            }, TGuardMode::Queue);
        }
    } w;
    w.resize(20, 20);
    w.show();
    Drain();
    w.fail = true;
    w.repaint();
    w.repaint();
    w.fail = false;
    EXPECT_EQ(w.paints, 2);
    EXPECT_TRUE(kvtest::Ui().Asked().empty());
    kvtest::Ui().ExpectMessage(mrOk, "cannot paint");
    Drain();
    EXPECT_EQ(BoxTexts(), QStringList{"cannot paint."});
}
