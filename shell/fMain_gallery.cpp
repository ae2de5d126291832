// The make wizard's gallery choice: the slideshow's Pictures.ini, the gallery window, then the
// hint that the gallery is made.
#include "shell/fMain.h"
#include "shell/Windows.h"

#include "output/fHTML.h"
#include "shell/core/Language.h"
#include "shell/fShortHelp.h"
#include "ui_fShortHelp.h"

void TMainForm::MakeHTMLGallery()
{
    Ui::TAnweisungForm& hint = *AnweisungForm->ui();
    hint.NeroBitBtn->hide();
    hint.MakeLabel->setText(GetLangText(4604));
    hint.MakeSubLabel->setText(GetLangText(4613));
    hint.IconImage->hide();
    hint.IconLabel->hide();
    SavePicturesIni();
    HTMLForm->ShowModal();
    AnweisungForm->ShowModal();
}
