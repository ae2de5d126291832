// The main window's hand-offs to the picture viewer.
#include "shell/fMain.h"
#include "shell/Windows.h"

#include "platform/vcl/Dialogs.h"
#include "platform/vcl/ListBox.h"
#include "shell/core/Helpers.h"
#include "shell/core/Language.h"
#include "shell/fBetrachter.h"
#include "ui_fMain.h"

#include <QTabWidget>

void TMainForm::BetrachterBitBtnClick()
{
    if (!IsDiashowSelected())
        return;
    const TListBox* open = m_ui->OpenListBox;
    const QString folder = ExtractWord(1, open->Items()[open->ItemIndex()], QStringLiteral(" "));
    if (TBetrachterForm::PicturesOfFolder(ArchiveRoot + folder + QLatin1Char('/')).isEmpty()) {
        MessageDlg(GetLangText(10031), mtInformation, {mbOK});
        return;
    }
    BetrachterForm->ShowModal();
}

void TMainForm::MakeViewer()
{
    ListDiashows();
    BetrachterBitBtnClick();
    m_ui->PageControl1->setCurrentIndex(1);
}
