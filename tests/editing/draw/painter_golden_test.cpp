// One golden picture per effect of the painter effects tree, at the middle of its strength
// bar, on a small photo-like fixture; compared with a tolerance (PainterTestSupport.h).
#include "editing/draw/DrawImage.h"
#include "PainterTestSupport.h"
#include "editing/draw/fPainterEffects.h"
#include "ui_fPainterEffects.h"

#include <gtest/gtest.h>

#include <QScrollBar>

#include <algorithm>

using namespace painter_test;

TEST(PainterGolden, EveryTreeEffectAtMidStrength)
{
    TpelDrawImage art;
    TPainterEffectsF* dialog = art.PainterEffectsDialog();
    // In number order: plasma raises the extra bar that the colour band filters after it read.
    QList<int> numbers = TreeEffectNumbers(*dialog);
    std::sort(numbers.begin(), numbers.end());
    for (int number : numbers) {
        const TBarRange* range = BarRangeOf(number);
        ASSERT_NE(range, nullptr);
        art.SetPicture(Landscape());
        dialog->SetBarQuietly(dialog->ui()->EBar, range->Min, range->Max, (range->Min + range->Max) / 2);
        PaintFXRandom().SetSeed(31);
        ASSERT_TRUE(art.RunEffect(number));
        ExpectGolden(*dialog, number);
    }
}
