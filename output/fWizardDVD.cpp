#include "output/fWizardDVD.h"

#include "output/VideoContext.h"
#include "output/fDVD.h"
#include "platform/system/DriveMap.h"
#include "platform/system/ProgramFolder.h"
#include "platform/vcl/Application.h"
#include "shell/core/Helpers.h"
#include "shell/core/Language.h"
#include "shell/core/ProductInfo.h"
#include "ui_fWizardDVD.h"

#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QStorageInfo>

TDVDWizardForm* DVDWizardForm = nullptr;
TVideoHooks VideoHooks;

TDVDWizardForm::TDVDWizardForm(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TDVDWizardForm>())
{
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Load([this] { m_ui->setupUi(this); });
}

TDVDWizardForm::~TDVDWizardForm() = default;

void TDVDWizardForm::BindEvents()
{
    Bind(m_ui->WeiterBitBtn, &QPushButton::clicked, &TDVDWizardForm::WeiterBitBtnClick);
    Bind(m_ui->ZurueckBitBtn, &QPushButton::clicked, &TDVDWizardForm::ZurueckBitBtnClick);
    Bind(m_ui->AbortBitBtn, &QPushButton::clicked, &TDVDWizardForm::AbortBitBtnClick);
    Bind(m_ui->HilfeBitBtn, &QPushButton::clicked, &TDVDWizardForm::HilfeBitBtnClick);
    // The kinds refresh the estimate; the standards do not.
    for (QRadioButton* kind : {m_ui->VCDRadioButton, m_ui->SVCDRadioButton, m_ui->NanoVCDRadioButton,
                               m_ui->NanoSVCDRadioButton})
        Bind(kind, &QRadioButton::clicked, [this] { CheckDiskSpace(); });
}

void TDVDWizardForm::FormCreate()
{
    QPixmap side;
    if (side.load(AddBackslash(ProgramFolder()) + QStringLiteral("recom/") + ProductInfo.SideImage))
        m_ui->Image1->setPixmap(side);
    m_ui->Label3->setText(GetLangText(5200));
    m_ui->VCDRadioButton->setText(GetLangText(5201));
    m_ui->SVCDRadioButton->setText(GetLangText(5202));
    m_ui->NanoVCDRadioButton->setText(GetLangText(5203));
    m_ui->NanoSVCDRadioButton->setText(GetLangText(5204));
    m_ui->Label7->setText(GetLangText(5205));
    m_ui->Label6->setText(GetLangText(5206));
    setWindowTitle(GetLangText(5207));
    m_ui->ZurueckBitBtn->setText(GetLangText(6000));
    m_ui->HilfeBitBtn->setText(GetLangText(6001));
    m_ui->AbortBitBtn->setText(GetLangText(6002));
    m_ui->WeiterBitBtn->setText(GetLangText(6003));
}

void TDVDWizardForm::FormActivate()
{
    CheckDiskSpace();
}

void TDVDWizardForm::ReadVolumeInfo(QChar drive)
{
    const QChar d = drive.toUpper();
    if (d < QLatin1Char('A') || d > QLatin1Char('Z'))
        return;
    FreeMB = video::FreeMBFromBytes(DriveFreeSpace(d));
}

video::TVideoKind TDVDWizardForm::Kind() const
{
    if (m_ui->SVCDRadioButton->isChecked())
        return video::TVideoKind::SVCD;
    if (m_ui->NanoVCDRadioButton->isChecked())
        return video::TVideoKind::NanoVCD;
    if (m_ui->NanoSVCDRadioButton->isChecked())
        return video::TVideoKind::NanoSVCD;
    return video::TVideoKind::VCD;
}

namespace {

// The file system that will hold the folder: the folder itself or its nearest existing parent.
QStorageInfo StorageOf(const QString& folder)
{
    QString path = QDir::cleanPath(folder);
    while (!path.isEmpty() && !QFileInfo::exists(path) && path != QLatin1String("/"))
        path = QFileInfo(path).path();
    return QStorageInfo(path.isEmpty() ? QStringLiteral("/") : path);
}

} // namespace

void TDVDWizardForm::ReadVideoFolderSpace(const TVideoContext& c)
{
    // The video folder may lie on another mount than the archive drive's root: the space is
    // measured where the video goes. On the drive's own file system the drive's figure holds.
    const QStorageInfo folder = StorageOf(c.VideoFolder);
    const QStorageInfo drive = StorageOf(DriveRoot(c.Drive));
    if (c.VideoFolder.isEmpty() || !folder.isValid() || (drive.isValid() && folder.rootPath() == drive.rootPath()))
        ReadVolumeInfo(c.Drive);
    else
        FreeMB = video::FreeMBFromBytes(std::max<qint64>(0, folder.bytesAvailable()));
}

bool TDVDWizardForm::CheckDiskSpace()
{
    const TVideoContext c = VideoHooks.Context ? VideoHooks.Context() : TVideoContext{};
    ReadVideoFolderSpace(c);
    m_ui->FreeDiskEdit->setText(QString::number(FreeMB) + QStringLiteral(" MB"));
    if (!video::UsableSeconds(c.DiashowTime)) {
        // No estimate without seconds; the start says why.
        m_ui->DiashowSizeEdit->clear();
        return false;
    }
    const int n = c.PictureCount + 1;
    const double s = video::SecondsPerPicture(c.DiashowTime);
    const long long estimate = video::EstimateMB(Kind(), n, s, c.VideoFrameRate, c.TransitionFrames);
    m_ui->DiashowSizeEdit->setText(QString::number(estimate) + QStringLiteral(" MB"));
    return estimate <= FreeMB;
}

void TDVDWizardForm::StartVideo(const QString& mode)
{
    if (VideoHooks.SavePicturesIni)
        VideoHooks.SavePicturesIni();
    const TVideoContext c = VideoHooks.Context ? VideoHooks.Context() : TVideoContext{};
    if (TDVDForm::RefuseSeconds(c.DiashowTime))
        return;
    if (CheckDiskSpace()) {
        DVDForm->Show();
        DVDForm->VideoMode = mode;
        DVDForm->MakeVideo();
    } else if (VideoHooks.ShowInstructions) {
        VideoHooks.ShowInstructions(GetLangText(4609), GetLangText(4618), false, false);
    }
}

void TDVDWizardForm::WeiterBitBtnClick()
{
    if (!m_ui->VCDRadioButton->isChecked() && !m_ui->SVCDRadioButton->isChecked() &&
        !m_ui->NanoVCDRadioButton->isChecked() && !m_ui->NanoSVCDRadioButton->isChecked()) {
        MessageDlg(GetLangText(10027), mtInformation, {mbOK});
        return;
    }
    hide();
    if (m_ui->NanoVCDRadioButton->isChecked()) {
        DVDForm->HighQuality = true;
        StartVideo(QStringLiteral("VCD"));
    } else if (m_ui->NanoSVCDRadioButton->isChecked()) {
        DVDForm->HighQuality = true;
        StartVideo(QStringLiteral("SVCD"));
    } else if (m_ui->VCDRadioButton->isChecked()) {
        DVDForm->HighQuality = false;
        StartVideo(QStringLiteral("VCD"));
    } else {
        DVDForm->HighQuality = false;
        StartVideo(QStringLiteral("SVCD"));
    }
    close();
}

void TDVDWizardForm::ZurueckBitBtnClick()
{
    close();
}

void TDVDWizardForm::AbortBitBtnClick()
{
    close();
}

void TDVDWizardForm::HilfeBitBtnClick()
{
    const QString page = AddBackslash(ProgramFolder()) + QStringLiteral("help/") + ProductInfo.HelpFile;
    if (ShellOpen(page) <= 32)
        MessageDlg(QStringLiteral("Unable to start internet browser! Make sure you have it properly set-up on your "
                                  "system!"),
                   mtError, {mbOK});
}
