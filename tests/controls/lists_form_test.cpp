// The lists made by a form description, and at run time.
#include "ui_lists_form.h"

#include "controls/HTMLCheckList.h"
#include "controls/HTMListBox.h"
#include "platform/vcl/Forms.h"

#include <gtest/gtest.h>

namespace {

class TListsForm : public TForm {
public:
    TListsForm()
    {
        Load([this] {
            ui.setupUi(this);
            blinkWhileLoading = ui.FileListBox->BlinkTimerActive();
        });
    }
    Ui::TListsForm ui;
    bool blinkWhileLoading = true;
};

} // namespace

TEST(ListForms, PropertiesOfTheDescriptionReachTheLists)
{
    TListsForm form;
    THTMListBox& files = *form.ui.FileListBox;
    EXPECT_EQ(files.DragMode(), dmAutomatic);
    EXPECT_TRUE(files.MultiSelect());
    EXPECT_EQ(files.ItemHeight(), 70);
    EXPECT_TRUE(files.IncrLookup());
    EXPECT_EQ(files.Color(), clWhite);
    EXPECT_EQ(files.URLColor(), clRed);
    EXPECT_EQ(files.ShadowOffset(), 2);
    EXPECT_FALSE(form.blinkWhileLoading) << "the blink timer waits for the end of loading";
    EXPECT_TRUE(files.BlinkTimerActive());
    EXPECT_TRUE(form.ui.AudioListBox->MultiSelect());
    EXPECT_EQ(form.ui.HTMLCheckList1->ItemHeight(), 70);
    EXPECT_TRUE(form.ui.HTMLCheckList1->AllowGrayed());
    EXPECT_FALSE(form.ui.HTMLCheckList1->Flat());
    EXPECT_TRUE(form.ui.CheckListBox->Flat());

    // Made at run time, a list starts its timer at once.
    THTMListBox runtime(&form);
    runtime.setEnableBlink(true);
    EXPECT_TRUE(runtime.BlinkTimerActive());
}
