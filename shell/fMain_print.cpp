// Printing from the main window: the print menus and the "Bilder Drucken" button, the print
// choices of the make wizard, and the hand-off to the print dialogs and reports.
#include "shell/fMain.h"
#include "shell/Windows.h"

#include "controls/HTMListBox.h"
#include "output/fPrintSelect.h"
#include "output/fPrintSize.h"
#include "output/fQRForm.h"
#include "output/fQRFormThumbnails.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Dialogs.h"
#include "shell/core/Language.h"
#include "ui_fMain.h"

#include <QCursor>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <QTabWidget>

namespace {

const QString kNoDefaultPrinter = QStringLiteral("Kein Standard-Drucker");

} // namespace

void TMainForm::BindPrintEvents()
{
    Bind(m_ui->DruckenBitBtn, &QPushButton::clicked, &TMainForm::DruckenBitBtnClick);
    Bind(m_ui->AlleDrucken1, &QAction::triggered, &TMainForm::AlleDrucken1Click);
    Bind(m_ui->AusgewhlteDrucken1, &QAction::triggered, &TMainForm::AusgewhlteDrucken1Click);
    Bind(m_ui->bersichtThumbnailsDrucken1, &QAction::triggered, &TMainForm::bersichtThumbnailsDrucken2Click);
    Bind(m_ui->bersichtThumbnailsDrucken2, &QAction::triggered, &TMainForm::bersichtThumbnailsDrucken2Click);
    Bind(m_ui->AlleBilderausdemKorvantadrucken1, &QAction::triggered,
         &TMainForm::AlleBilderausdemKorvantadrucken1Click);
    Bind(m_ui->AusgewhlteBilderausdemKorvantadrucken1, &QAction::triggered,
         &TMainForm::AusgewhlteBilderausdemKorvantadrucken1Click);
}

TPrintSource TMainForm::PrintSource() const
{
    TPrintSource source;
    source.ProgramFolder = ProgramFolder;
    source.ArchiveRoot = ArchiveRoot;
    source.DiashowFolder = DiashowFolder;
    source.Title = m_ui->TitleEdit->text();
    if (DiashowListBox)
        source.Items = DiashowListBox->Items().ToStringList();
    source.Choices = PrintChoices;
    return source;
}

QString TMainForm::DefaultPrinterName() const
{
    const QString name = TQuickRep::DefaultPrinter();
    return name.isEmpty() ? kNoDefaultPrinter : name;
}

namespace {

// One run of a report: progress in the status line while its pages are made, preview or
// print, and the clean-up whatever happens.
void RunReport(TMainForm& main, Ui::TMainForm& ui, TQRPictureReport& report, const QString& printer)
{
    struct CleanUp {
        TQRPictureReport& report;
        Ui::TMainForm& ui;
        ~CleanUp()
        {
            report.QuickRep1.OnProgress = nullptr;
            report.CleanUpAfterPrint();
            ui.PicProgressBar->hide();
            SetBusyCursor(false);
        }
    } cleanUp{report, ui};
    report.QuickRep1.OnProgress = [&ui](int percent) {
        // The pages are made: the preview or the printer takes over.
        if (percent >= 100) {
            ui.PicProgressBar->hide();
            ui.StatusBar1->clearMessage();
            SetBusyCursor(false);
            return;
        }
        ui.PicProgressBar->show();
        ui.PicProgressBar->setValue(qBound(0, percent, 100));
        ui.StatusBar1->showMessage(GetLangText(14000) + QLatin1Char(' ') + QString::number(percent) +
                                   QLatin1Char(' ') + GetLangText(14001));
        Application->ProcessMessages();
    };
    SetBusyCursor(true);
    if (ui.PrintPreviewCheckBox->isChecked()) {
        report.QuickRep1.Preview();
    } else if (printer.toUpper().contains(QStringLiteral("KEIN STANDARD-DRUCKER"))) {
        // No printer: the pages go into a PDF file the user names; without one nothing prints.
        SetBusyCursor(false);
        TAskRequest request;
        request.Kind = TAskKind::SaveFile;
        request.Caption = GetLangText(10281);
        request.Text = main.DiashowTitle.trimmed().isEmpty() ? QStringLiteral("Korvanta.pdf")
                                                             : main.DiashowTitle.trimmed() + QStringLiteral(".pdf");
        request.Data[QStringLiteral("Filter")] = QStringLiteral("PDF (*.pdf)|*.pdf");
        request.Data[QStringLiteral("DefaultExt")] = QStringLiteral("pdf");
        request.Data[QStringLiteral("InitialDir")] = main.MyDocumentsFolder;
        const TAskAnswer answer = Interaction().Ask(request);
        if (answer.Result == 0 || answer.Files.isEmpty()) {
            MessageDlg(printer, mtInformation, {mbOK});
            MessageDlg(QStringLiteral("Der Ausdruck kann nicht gestartet werden."), mtInformation, {mbOK});
            return;
        }
        SetBusyCursor(true);
        if (!report.QuickRep1.PrintToPdf(answer.Files.first()))
            MessageDlg(GetLangText(10282) + QLatin1Char(' ') + answer.Files.first(), mtError, {mbOK});
    } else {
        report.QuickRep1.Print();
    }
    ui.StatusBar1->showMessage(QString());
}

} // namespace

void TMainForm::PrintPictureList()
{
    const QString printer = DefaultPrinterName();
    if (PrintSizeWizard->ShowModal() != mrOk)
        return;
    TQRListForm* report = nullptr;
    if (PrintChoices.PaperFormat == QLatin1String("A4"))
        report = QRListForm;
    else if (PrintChoices.PaperFormat == QLatin1String("A5"))
        report = QRListA5Form;
    if (!report)
        return;
    report->PrintWidth = PrintChoices.PrintWidth;
    RunReport(*this, *m_ui, *report, printer);
}

void TMainForm::PrintThumbnailOverview()
{
    const QString printer = DefaultPrinterName();
    PrintChoices.PrintAll = true;
    QRThumbnailForm->PrintWidth = PrintChoices.PrintWidth;
    QRThumbnailForm->PaperFormat = QStringLiteral("A4");
    RunReport(*this, *m_ui, *QRThumbnailForm, printer);
}

void TMainForm::MakePrintSelected()
{
    PrintChoices.PrintAll = false;
    if (PrintSelectForm->ShowModal() == mrOk)
        PrintPictureList();
    m_ui->PageControl1->setCurrentIndex(1);
}

void TMainForm::MakePrintAll()
{
    PrintChoices.PrintAll = true;
    PrintPictureList();
    m_ui->PageControl1->setCurrentIndex(1);
}

void TMainForm::MakePrintThumbnails()
{
    PrintChoices.PrintAll = true;
    PrintThumbnailOverview();
    m_ui->PageControl1->setCurrentIndex(1);
}

void TMainForm::DruckenBitBtnClick()
{
    m_ui->PopupMenu1->popup(QCursor::pos());
}

void TMainForm::AlleDrucken1Click()
{
    MakeWizardChoiceClick("PrintAllRadioButton");
}

void TMainForm::AusgewhlteDrucken1Click()
{
    MakeWizardChoiceClick("PrintRadioButton");
}

void TMainForm::bersichtThumbnailsDrucken2Click()
{
    MakeWizardChoiceClick("ThumbnailRadioButton");
}

void TMainForm::AlleBilderausdemKorvantadrucken1Click()
{
    AlleDrucken1Click();
}

void TMainForm::AusgewhlteBilderausdemKorvantadrucken1Click()
{
    AusgewhlteDrucken1Click();
}
