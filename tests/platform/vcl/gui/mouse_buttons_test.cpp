// The framework's mouse buttons of Qt's: left, right and middle map to theirs; every other
// button is no framework button, so no control acts on it.
#include "platform/vcl/Controls.h"

#include <gtest/gtest.h>

namespace {

TEST(MouseButtonOf, MapsLeftRightMiddleAndRefusesTheRest)
{
    struct Case {
        Qt::MouseButton qt;
        bool mapped;
        TMouseButton button;
    };
    const Case cases[] = {
        {Qt::LeftButton, true, mbLeft},
        {Qt::RightButton, true, mbRight},
        {Qt::MiddleButton, true, mbMiddle},
        {Qt::NoButton, false, mbLeft},
        {Qt::BackButton, false, mbLeft},
        {Qt::ForwardButton, false, mbLeft},
        {Qt::ExtraButton4, false, mbLeft},
        {Qt::ExtraButton24, false, mbLeft},
    };
    for (const Case& c : cases) {
        TMouseButton out = mbMiddle;
        EXPECT_EQ(MouseButtonOf(c.qt, out), c.mapped) << c.qt;
        if (c.mapped)
            EXPECT_EQ(out, c.button) << c.qt;
    }
}

} // namespace
