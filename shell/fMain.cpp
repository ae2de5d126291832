#include "shell/fMain.h"
#include "shell/Windows.h"

#include "controls/HTMListBox.h"
#include "platform/vcl/Files.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/Guard.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Archive.h"
#include "shell/core/Helpers.h"
#include "shell/fMain_help.h"
#include "shell/fMain_internal.h"
#include "ui_fMain.h"

#include <QDir>
#include <QTimer>

TMainForm* MainForm = nullptr;

TMainForm::TMainForm(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TMainForm>())
{
    // The preview timers: one shot each, started by a click in their list.
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    for (QTimer* timer : {Timer1, Timer2}) {
        timer->setInterval(200);
        timer->setSingleShot(true);
    }

    Load([this] {
        m_ui->setupUi(this);
        // A dialog has no menu bar or status bar of its own: the menu bar sits above the
        // window's layout, the progress bar at the right of the status bar.
        m_ui->MainLayout->setMenuBar(m_ui->MainMenu1);
        m_ui->StatusBar1->addPermanentWidget(m_ui->PicProgressBar);
    });
}

TMainForm::~TMainForm() = default;

void TMainForm::BindEvents()
{
    Bind(m_ui->FullscreenCheckBox, &QCheckBox::toggled, &TMainForm::FullscreenCheckBoxClick);
    for (QRadioButton* radio : {m_ui->ONRadioButton, m_ui->OFFRadioButton, m_ui->RNDRadioButton}) {
        Bind(radio, &QRadioButton::toggled, [this](bool checked) {
            if (checked)
                OFFRadioButtonClick();
        });
    }
    Bind(m_ui->Programmbeenden1, &QAction::triggered, &TMainForm::Programmbeenden1Click);
    Bind(m_ui->SpinEdit1, &QSpinBox::valueChanged, [this](int) { SpinEdit1Change(); });
    Bind(m_ui->ShowAgainButton, &QPushButton::clicked, &TMainForm::ShowAgainButtonClick);
    Bind(m_ui->OpenBitBtn, &QPushButton::clicked, [this] { OpenBitBtnClick(); });
    Bind(m_ui->Hilfedatei1, &QAction::triggered, [] { Hilfedatei1Click(); });
    Bind(m_ui->Update1, &QAction::triggered, [] { Update1Click(); });
    Bind(m_ui->Info1, &QAction::triggered, [] { Info1Click(); });
    BindPrintEvents();
    // ---- building the slideshow (fMain_building.cpp) ----
    // Before the archive's handlers: a new slideshow takes the texts typed so far along.
    Bind(m_ui->NewBitBtn, &QPushButton::clicked, &TMainForm::FlushPicturesIni);
    Bind(m_ui->NewDiashow1, &QAction::triggered, &TMainForm::FlushPicturesIni);
    Bind(m_ui->SpeedButton1, &QToolButton::clicked, &TMainForm::SpeedButton1Click);
    Bind(m_ui->SpeedButton2, &QToolButton::clicked, &TMainForm::SpeedButton2Click);
    Bind(m_ui->SpeedButton3, &QToolButton::clicked, &TMainForm::SpeedButton3Click);
    Bind(m_ui->SpeedButton4, &QToolButton::clicked, &TMainForm::SpeedButton4Click);
    Bind(m_ui->TextEdit, &QLineEdit::textEdited, &TMainForm::TextEditChange);
    // ---- end of building the slideshow ----
    // ---- the slideshow archive ----
    Bind(m_ui->NewBitBtn, &QPushButton::clicked, &TMainForm::NewBitBtnClick);
    Bind(m_ui->Open1BitBtn, &QPushButton::clicked, &TMainForm::Open1BitBtnClick);
    Bind(m_ui->Delete1BitBtn, &QPushButton::clicked, &TMainForm::Delete1BitBtnClick);
    Bind(m_ui->NewDiashow1, &QAction::triggered, &TMainForm::NewDiashow1Click);
    Bind(m_ui->OpenDiashow1, &QAction::triggered, &TMainForm::OpenDiashow1Click);
    Bind(m_ui->DeleteDiashow1, &QAction::triggered, &TMainForm::DeleteDiashow1Click);
    m_ui->OpenListBox->OnDblClick = [this](QObject*) {
        try {
            OpenListBoxDblClick();
        } catch (...) {
            HandleException(std::current_exception());
        }
    };
    // ---- end of the slideshow archive ----
    // ---- turning pictures, dragging, keys, title and time (fMain_turn_drag.cpp) ----
    const std::pair<QToolButton*, const char*> turns[] = {
        {m_ui->SpeedButton5, "90"}, {m_ui->SpeedButton6, "-90"}, {m_ui->SpeedButton7, "180"},
        {m_ui->SpeedButton9, "FlipV"}, {m_ui->SpeedButton10, "FlipH"}};
    for (const auto& [button, operation] : turns) {
        const QString op = QString::fromLatin1(operation);
        Bind(button, &QToolButton::clicked, [this, op] { RotateOrFlipPicture(op); });
    }
    m_ui->FileListBox->OnDragOver = [this](QObject*, QObject*, int, int, TDragState, bool& accept) {
        FileListBoxDragOver(accept);
    };
    m_ui->FileListBox->OnKeyDown = [this](QObject*, int& key, TShiftState) {
        Guard([&] { DiashowListBoxKeyDown(key); });
    };
    Bind(m_ui->TitleEdit, &QLineEdit::textChanged, &TMainForm::TitleEditChange);
    Bind(m_ui->SecEdit, &QLineEdit::textChanged, &TMainForm::SecEditChange);
    BindDiashowListBoxEvents();
    // ---- end of turning pictures, dragging, keys, title and time ----
    BindAudioEvents();
    // ---- the preview (fMain_preview.cpp) ----
    m_ui->FileListBox->OnClick = [this](QObject*) { Guard([&] { FileListBoxClick(); }); };
    m_ui->FileListBox->OnDblClick = [this](QObject*) { Guard([&] { FileListBoxDblClick(); }); };
    Bind(Timer1, &QTimer::timeout, &TMainForm::Timer1Timer);
    Bind(Timer2, &QTimer::timeout, &TMainForm::Timer2Timer);
    // ---- end of the preview ----
    BindMakeEvents();
    Bind(m_ui->BetrachterBitBtn, &QPushButton::clicked, &TMainForm::BetrachterBitBtnClick);
    BindGeneralEvents();
}

void TMainForm::CreateDiashowListBox()
{
    auto* box = new THTMListBox(m_ui->ListBoxPanel);
    box->setObjectName(QStringLiteral("DiashowListBox"));
    box->setGeometry(0, 0, 50, 50);
    box->setColor(clWhite);
    box->setDragMode(dmAutomatic);
    box->setEllipsis(false);
    TFont font;
    font.Name = QStringLiteral("MS Sans Serif");
    font.SetHeight(-11);
    font.Color = clBlack;
    box->setFontOf(font);
    box->setIncrLookup(true);
    box->setItemHeight(70);
    box->setMultiSelect(true);
    box->setMultiline(false);
    box->setToolTip(QString());
    TGradientStyle& selection = box->SelectionColors();
    selection.setBorderColor(clHighlight);
    selection.setColorFrom(clHighlight);
    selection.setColorTo(clNone);
    selection.setDirection(false);
    box->setSelectionFontColor(clHighlightText);
    box->setShadowOffset(1);
    box->setShowSelection(true);
    box->setSorted(false);
    box->setSortWithHTML(false);
    // Alone in the panel, and filling it.
    m_ui->ListBoxPanelLayout->addWidget(box);
    DiashowListBox = box;
}

void TMainForm::FreeDiashowListBox()
{
    THTMListBox* box = DiashowListBox;
    if (!box)
        return;
    // Picture texts still waiting to be saved are written while the list holds them.
    FlushPicturesIni();
    DiashowListBox = nullptr;
    // The list may be freed from one of its own handlers: it goes once control is back in
    // the event loop, and is no longer found by its name meanwhile.
    m_ui->ListBoxPanelLayout->removeWidget(box);
    box->hide();
    box->setObjectName(QString());
    box->deleteLater();
}

void TMainForm::DeleteFilesByMask(const QString& mask)
{
    const QString folder = AddBackslash(ExtractFilePath(mask));
    if (!QDir::isAbsolutePath(folder))
        return;
    TBusyCursor busy;
    ForEachFile(mask, [&folder](const QString& name) { DeleteFile(folder + name); });
}

void TMainForm::ClearTempPicFolder()
{
    if (!TempPicFolder.isEmpty())
        DeleteFilesByMask(TempPicFolder + QStringLiteral("*.*"));
}

void TMainForm::DeleteConvertedCopies(const QString& folder)
{
    // Only the JPEG copies this run made of TIFF, GIF, BMP and ".jpeg" pictures.
    DeleteOwnConvertedCopies(folder);
}

void TMainForm::DeleteStaleThumbnails()
{
    ::DeleteStaleThumbnails(DiashowPath());
}

void TMainForm::SetDiashowMenusEnabled(bool enabled)
{
    for (QMenu* menu : {m_ui->Diashow1, m_ui->Drucken1, m_ui->Import1, m_ui->EinstellungenDiashow1})
        menu->menuAction()->setEnabled(enabled);
    m_ui->CDfrFotolaborerstellen1->setEnabled(enabled);
}

void TMainForm::ListDiashows()
{
    TBusyCursor busy;
    TListBox& list = *m_ui->OpenListBox;
    list.Items().Clear();
    int selected = -1;
    for (const TArchiveEntry& entry : ArchiveEntries(ArchiveRoot)) {
        const int index = list.Items().Add(entry.Line());
        if (entry.Title == DiashowTitle)
            selected = index;
    }
    if (selected >= 0)
        list.setItemIndex(selected);
}

void TMainForm::Programmbeenden1Click()
{
    close();
}
