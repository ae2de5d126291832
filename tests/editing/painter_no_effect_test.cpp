// The painter effects dialog's OK with no effect selected in the tree: the picture, Temp.jpg
// and the undo steps stay as they were.
#include "EditorFixture.h"

#include "editing/draw/fPainterEffects.h"
#include "ui_fBildbearbeitung.h"
#include "ui_fPainterEffects.h"

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace {

using kvtest::EditorTest;
using kvtest::FileBytes;

TEST_F(EditorTest, PainterOkWithTheEffectDeselectedChangesNothing)
{
    WritePicture(kvtest::FourColourPicture(240, 160));
    WithEditor([&] {
        Ui::TBildbeaerbeitungForm& ui = *Editor().ui();
        QByteArray temp;
        kvtest::Ui().ExpectModal(QStringLiteral("TPainterEffectsF"), mrCancel, [&](TForm& form) {
            auto& dialog = static_cast<TPainterEffectsF&>(form);
            temp = FileBytes(Editor().TempFile());
            ASSERT_FALSE(temp.isEmpty());
            // "Mosaik" previewed on the small copy, then the item deselected by Ctrl+click.
            ASSERT_TRUE(dialog.SelectEffect(9));
            dialog.EListClick();
            QTreeWidget* tree = dialog.ui()->ETree;
            QTreeWidgetItem* item = tree->currentItem();
            ASSERT_NE(item, nullptr);
            QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              tree->visualItemRect(item).center());
            ASSERT_FALSE(item->isSelected());
            ASSERT_TRUE(dialog.ui()->SaveBitBtn->isEnabled());
            dialog.ui()->SaveBitBtn->click();
        });
        ui.Image17->click();
        EXPECT_EQ(FileBytes(Editor().TempFile()), temp);
        EXPECT_EQ(Editor().UndoIndex, 0);
        EXPECT_FALSE(ui.UndoImage->isEnabled());
        EXPECT_EQ(View().BitmapWidth(), 240);
        EXPECT_EQ(View().BitmapHeight(), 160);
        EXPECT_FALSE(UndoFileExists(1));
    });
}

} // namespace
