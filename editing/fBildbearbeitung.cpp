// The editor window: creation, the binding table, showing and closing, the status line.
#include "editing/fBildbearbeitung.h"
#include "editing/EditorInternal.h"
#include "editing/PictureWriter.h"
#include "shell/Windows.h"

#include "imaging/LEADImage.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Files.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/ProductInfo.h"
#include "shell/core/SourceFolder.h"
#include "ui_fBildbearbeitung.h"

#include <QFileInfo>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>

TBildbeaerbeitungForm* BildbeaerbeitungForm = nullptr;

TBildbeaerbeitungForm::TBildbeaerbeitungForm(QWidget* parent)
    : TForm(parent), m_ui(std::make_unique<Ui::TBildbeaerbeitungForm>()), m_writer(std::make_unique<TPictureWriter>())
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    Load([this] { m_ui->setupUi(this); });
    CreateArt();
}

TBildbeaerbeitungForm::~TBildbeaerbeitungForm() = default;

void TBildbeaerbeitungForm::BindEvents()
{
    Ui::TBildbeaerbeitungForm& ui = *m_ui;
    Bind(ui.ZoomTrackBar, &QSlider::valueChanged, &TBildbeaerbeitungForm::ZoomTrackBarChange);
    Bind(ui.Button1, &QPushButton::clicked, &TBildbeaerbeitungForm::Button1Click);
    Bind(ui.EinpassenBitBtn, &QPushButton::clicked, &TBildbeaerbeitungForm::EinpassenBitBtnClick);
    Bind(ui.BitBtn1, &QPushButton::clicked, &TBildbeaerbeitungForm::BitBtn1Click);
    Bind(ui.Image3, &QPushButton::clicked, [this] { TransformPicture(QStringLiteral("-90")); });
    Bind(ui.Image4, &QPushButton::clicked, [this] { TransformPicture(QStringLiteral("90")); });
    Bind(ui.Image5, &QPushButton::clicked, [this] { TransformPicture(QStringLiteral("180")); });
    Bind(ui.Image6, &QPushButton::clicked, [this] { TransformPicture(QStringLiteral("FlipV")); });
    Bind(ui.Image7, &QPushButton::clicked, [this] { TransformPicture(QStringLiteral("FlipH")); });
    Bind(ui.Image9, &QPushButton::clicked, [this] { ToolHandOff(FreeCrop); });
    Bind(ui.Image10, &QPushButton::clicked, &TBildbeaerbeitungForm::Image10Click);
    Bind(ui.Image11, &QPushButton::clicked, [this] { ToolHandOff(PrintFormatCrop); });
    Bind(ui.Image12, &QPushButton::clicked, [this] { ToolHandOff(AutoImprove); });
    Bind(ui.Image14, &QPushButton::clicked, [this] { ToolHandOff(PainterColours); });
    Bind(ui.Image15, &QPushButton::clicked, &TBildbeaerbeitungForm::Image15Click);
    Bind(ui.Image16, &QPushButton::clicked, &TBildbeaerbeitungForm::Image16Click);
    Bind(ui.Image17, &QPushButton::clicked, [this] { ToolHandOff(PainterEffects); });
    Bind(ui.Image19, &QPushButton::clicked, [this] { ToolHandOff(RedEye); });
    Bind(ui.UndoImage, &QPushButton::clicked, &TBildbeaerbeitungForm::UndoImageClick);
    Bind(ui.UndoBitBtn1, &QPushButton::clicked, &TBildbeaerbeitungForm::UndoImageClick);
    Bind(ui.RedoImage, &QPushButton::clicked, &TBildbeaerbeitungForm::RedoImageClick);
    Bind(ui.CloseImage, &QPushButton::clicked, [this] { close(); });

    TLEADImage* view = ui.BildbViewLEADImage;
    view->OnChange = [this](QObject*) { Guard([this] { BildbViewLEADImageChange(); }); };
    view->OnMouseDown = [this](QObject*, TMouseButton button, TShiftState, int x, int y) {
        if (button == mbLeft)
            Guard([&] { ViewMouseDown(x, y); });
    };
    view->OnMouseMove = [this](QObject*, TShiftState, int x, int y) {
        Guard([&] { ViewMouseMove(x, y); }, TGuardMode::Queue);
    };
    view->OnMouseUp = [this](QObject*, TMouseButton, TShiftState, int, int) { Guard([&] { ViewMouseUp(); }); };
    view->OnResize = [this](QObject*) { Guard([this] { ViewResizeOrScroll(true); }); };
    view->OnScroll = [this](QObject*) { Guard([this] { ViewResizeOrScroll(false); }); };
    BindCropAndRedEye();
}

void TBildbeaerbeitungForm::FormCreate()
{
    const QString banner = ProgramFolder + QStringLiteral("recom/") + ProductInfo.BannerImage;
    if (!ProductInfo.BannerImage.isEmpty() && QFileInfo::exists(banner))
        m_ui->Image1->setPixmap(QPixmap(banner));
}

void TBildbeaerbeitungForm::FormShow()
{
    m_panHeld = false;
    m_panned = false;
    m_panDx = m_panDy = 0;
    m_lastX = m_lastY = 0;
    UndoIndex = 0;
    UndoTop = 0;
    SetUndoEnabled(false);
    SetRedoEnabled(false);
    RedEyeMode = false;
    m_ui->EffectsPanel->setEnabled(true);
    EffectsPanelEnter();
    // The banner may have come after the window was made (the program folder is set later).
    if (m_ui->Image1->pixmap().isNull())
        FormCreate();
    LoadSelectedPicture();
    ShowPictureInfo();
    if (MainCaption)
        setWindowTitle(MainCaption());
    TLEADImage* view = m_ui->BildbViewLEADImage;
    view->setAutoFloater(false);
    view->SetRgnFrameType(0);
    view->setCursor(crCross);
    EinpassenBitBtnClick();
}

void TBildbeaerbeitungForm::EffectsPanelEnter()
{
    Ui::TBildbeaerbeitungForm& ui = *m_ui;
    const bool on = ui.EffectsPanel->isEnabled();
    for (QPushButton* button : {ui.Image3, ui.Image4, ui.Image5, ui.Image6, ui.Image7, ui.Image10, ui.Image15,
                                ui.Image16})
        button->setEnabled(on);
    // The tool panels and the painter effects dialog only once they are there.
    const std::pair<QPushButton*, const std::function<void()>*> handOffs[] = {
        {ui.Image9, &FreeCrop},        {ui.Image11, &PrintFormatCrop}, {ui.Image12, &AutoImprove},
        {ui.Image14, &PainterColours}, {ui.Image17, &PainterEffects},  {ui.Image19, &RedEye},
    };
    for (const auto& [button, entry] : handOffs)
        button->setEnabled(on && bool(*entry));
}

QString TBildbeaerbeitungForm::PictureInfoText() const
{
    const TLEADImage& view = *m_ui->BildbViewLEADImage;
    const QString picture = SelectedPicture ? SelectedPicture() : QString();
    QString text = ExtractFileName(picture) + QLatin1Char(' ');
    const int format = view.InfoFormat();
    const QString name = FileFormatName(format);
    if (name == QLatin1String("NOT SUPPORTED"))
        text += QStringLiteral("     ") + QString::number(format);
    else
        text += QStringLiteral("   ") + name;
    text += QStringLiteral("     %1x%2").arg(view.BitmapWidth()).arg(view.BitmapHeight());
    text += QStringLiteral("     %1Bit Farben  ").arg(view.BitmapBits());
    text += QStringLiteral("     ") + view.InfoCompress();
    return text;
}

void TBildbeaerbeitungForm::ShowPictureInfo()
{
    m_ui->StatusBar1->showMessage(PictureInfoText());
    m_ui->StatusBar1->repaint();
}

void TBildbeaerbeitungForm::LoadSelectedPicture()
{
    TLEADImage* view = m_ui->BildbViewLEADImage;
    view->Load(SelectedPicture ? SelectedPicture() : QString(), 0, 1, -1);
    view->setPaintSizeMode(view->BitmapHeight() <= view->viewport()->height() ? TLEADImage::smNormal
                                                                               : TLEADImage::smFit);
    view->ForceRepaint();
    view->show();
}

void TBildbeaerbeitungForm::SaveTemp()
{
    FinishWrites();
    m_ui->BildbViewLEADImage->Save(TempFile(), 10, 24, 3, 0);
}

void TBildbeaerbeitungForm::QueueTemp()
{
    WriteView(TempFile(), 10, 3);
}

void TBildbeaerbeitungForm::HideToolPanels()
{
    m_ui->ZuschneidenPanel->hide();
    m_ui->RedeyePanel->hide();
    m_ui->EffectsPanel->show();
    m_ui->ZoomPanel->show();
}

void TBildbeaerbeitungForm::ToolHandOff(const std::function<void()>& entry)
{
    if (!entry)
        return;
    ResetMarking();
    SaveTemp();
    entry();
}

void TBildbeaerbeitungForm::FormClose(TCloseAction& /*action*/)
{
    const QString picture = SelectedPicture ? SelectedPicture() : QString();
    bool keepUndoFiles = false;
    if (UndoIndex > 0) {
        const int answer = MessageDlg(QStringLiteral("Alle Änderungen an diesem Bild speichern?"), mtInformation,
                                      {mbYes, mbNo});
        if (answer != mrNo) {
            // The picture is replaced only by a whole copy of Temp.jpg; when that fails the
            // picture stays as it was and Temp.jpg and the undo files are kept.
            if (!CopyOver(TempFile(), picture)) {
                keepUndoFiles = true;
                MessageDlg(QStringLiteral("Die Änderungen konnten nicht in \"%1\" gespeichert werden. Das Bild bleibt "
                                          "unverändert; die bearbeitete Fassung liegt in \"%2\".")
                               .arg(picture, TempFile()),
                           mtError, {mbOK});
            } else {
                CommitChange(true);
            }
        } else {
            CopyOver(UndoFile(1), TempFile());
            m_ui->BildbViewLEADImage->Load(TempFile(), 0, 1, -1);
            CommitChange(true);
        }
    }
    HideToolPanels();
    if (!keepUndoFiles)
        DeleteUndoFiles();
}

bool TBildbeaerbeitungForm::CopyOver(const QString& src, const QString& dst)
{
    if (src.isEmpty() || dst.isEmpty() || !FileExists(src))
        return false;
    return CopyFile(src, dst, false);
}

void TBildbeaerbeitungForm::DeleteUndoFiles()
{
    TSearchRec rec;
    QStringList names;
    if (FindFirst(ProgramFolder + QStringLiteral("UNDO*.jpg"), faAnyFile & ~faDirectory, rec) == 0) {
        do {
            names << rec.Name;
        } while (FindNext(rec) == 0);
    }
    FindClose(rec);
    for (const QString& name : names)
        DeleteFile(ProgramFolder + name);
}

QString TBildbeaerbeitungForm::UndoFile(int n) const
{
    return ProgramFolder + QStringLiteral("UNDO_") + QString::number(n) + QStringLiteral(".jpg");
}
