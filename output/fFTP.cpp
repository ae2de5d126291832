#include "output/fFTP.h"
#include "shell/Windows.h"

#include "output/gallery/FtpCommands.h"
#include "output/gallery/GallerySettings.h"
#include "platform/system/ProgramFolder.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/Exceptions.h"
#include "platform/vcl/IniFiles.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/SysUtils.h"
#include "shell/core/Language.h"
#include "shell/core/ProductInfo.h"
#include "output/DialogPicture.h"
#include "ui_fFTP.h"

#include <QApplication>

TFTPForm* FTPForm = nullptr;

namespace {

const QString kSection = QStringLiteral("FTP");

QString Slashes(QString path) { return path.replace(QLatin1Char('\\'), QLatin1Char('/')); }

} // namespace

TFTPForm::TFTPForm(QWidget* parent) : TForm(parent), m_ui(std::make_unique<Ui::TFTPForm>())
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    BindClient();
    Load([this] { m_ui->setupUi(this); });
}

TFTPForm::~TFTPForm()
{
    m_client.Idle = nullptr;
    m_client.Disconnect();
}

void TFTPForm::BindEvents()
{
    Bind(m_ui->BitBtn1, &QPushButton::clicked, &TFTPForm::BitBtn1Click);
    Bind(m_ui->Edit1, &QLineEdit::textChanged, [this](const QString& t) { FHost = t; });
    Bind(m_ui->Edit2, &QLineEdit::textChanged, [this](const QString& t) { FUser = t; });
    Bind(m_ui->Edit3, &QLineEdit::textChanged, [this](const QString& t) { FPassword = t; });
    Bind(m_ui->Edit4, &QLineEdit::textChanged, [this](const QString& t) { FPort = t; });
    Bind(m_ui->Edit5, &QLineEdit::textChanged, [this](const QString& t) { ServerDir = t; });
}

void TFTPForm::FormCreate()
{
    m_ui->GroupBox1->setTitle(GetLangText(2800));
    m_ui->Label1->setText(GetLangText(2801));
    m_ui->Label2->setText(GetLangText(2802));
    m_ui->Label3->setText(GetLangText(2803));
    m_ui->Label4->setText(GetLangText(2804));
    m_ui->GroupBox2->setTitle(GetLangText(2805));
    m_ui->Label5->setText(GetLangText(2806));
    m_ui->BitBtn1->setText(GetLangText(2807));

    ShowDialogPicture(*m_ui->Image1, ProductInfo.SideImage);
}

void TFTPForm::FormActivate()
{
    if (m_running)
        return;
    m_ui->ProgressBar1->setValue(0);
    LoadFtpSettings();
}

void TFTPForm::FormClose(TCloseAction&)
{
    if (FConnected || m_client.Connected())
        m_client.Disconnect();
    FConnected = false;
    CommandList.clear();
}

// ---- settings ----------------------------------------------------------------------------------

void TFTPForm::LoadFtpSettings()
{
    QList<TIniProblem> problems;
    const TFtpSettings s = ReadFtpSettings(GalleryIniPath(), problems);
    // Each box's change handler copies the text into its field.
    m_ui->Edit1->setText(s.Host);
    m_ui->Edit4->setText(s.Port);
    m_ui->Edit2->setText(s.User);
    m_ui->Edit3->setText(s.Password);
    m_ui->Edit5->setText(s.ServerDir);
    FHost = m_ui->Edit1->text();
    FPort = m_ui->Edit4->text();
    FUser = m_ui->Edit2->text();
    FPassword = m_ui->Edit3->text();
    ServerDir = m_ui->Edit5->text();
    // Named once for this window, not at every activation.
    const QString named = DescribeIniProblems(problems);
    if (!named.isEmpty() && named != m_problemsNamed) {
        m_problemsNamed = named;
        MessageDlg(GetLangText(3516) + QStringLiteral("\n\n") + named, mtWarning, {mbOK});
    }
}

void TFTPForm::SaveFtpSettings()
{
    TIniFile ini(GalleryIniPath());
    ini.WriteString(kSection, QStringLiteral("ServerDir"), ServerDir);
    ini.WriteString(kSection, QStringLiteral("host"), FHost);
    ini.WriteString(kSection, QStringLiteral("port"), FPort);
    ini.WriteString(kSection, QStringLiteral("user-ID"), FUser);
    ini.WriteString(kSection, QStringLiteral("password"), FPassword);
    ProtectGalleryIni();
}

// ---- the client --------------------------------------------------------------------------------

void TFTPForm::Log(const QString& status)
{
    m_ui->ProgressLabel->setText(status);
    m_ui->ListBox1->Items().Add(status + QLatin1Char(' ') + CurrentCommand);
}

void TFTPForm::LogReason()
{
    // The server's reply (or the client's reason) beneath the failure's line.
    const QString reason = m_client.LastFailureText().trimmed();
    if (!reason.isEmpty())
        m_ui->ListBox1->Items().Add(QStringLiteral("    ") + reason);
}

void TFTPForm::BindClient()
{
    m_client.OnSuccess = [this](TFtpTransaction t) { Log(FtpTransactionName(t) + QStringLiteral(" success")); };
    m_client.OnFailure = [this](TFtpTransaction t) {
        m_failed = true;
        Log(QStringLiteral("ERROR: ") + FtpTransactionName(t) + QStringLiteral(" failure"));
        LogReason();
    };
    m_client.OnUnSupportedFunction = [this](TFtpTransaction t) {
        m_failed = true;
        Log(QStringLiteral("ERROR: ") + FtpTransactionName(t) + QStringLiteral(" unsupported"));
        LogReason();
    };
    m_client.OnConnect = [this] { m_ui->ProgressLabel->setText(QStringLiteral("Connected")); };
    m_client.OnDisconnect = [this] { m_ui->ProgressLabel->setText(QStringLiteral("Disconnected")); };
    m_client.OnHostResolved = [this] { m_ui->ProgressLabel->setText(QStringLiteral("Host resolved")); };
    m_client.OnTransactionStart = [this] { m_ui->ProgressLabel->setText(QStringLiteral("Beginning Data Transfer")); };
    m_client.OnTransactionStop = [this] { m_ui->ProgressLabel->setText(QStringLiteral("Data Transfer Complete")); };
    m_client.OnPacketSent = [this](std::int64_t sent, std::int64_t total) {
        m_ui->ProgressLabel->setText(QString::number(sent) + QStringLiteral(" of ") + QString::number(total) +
                                     QStringLiteral(" bytes sent"));
    };
    m_client.OnPacketRecvd = [this](std::int64_t received, std::int64_t total) {
        if (FConnected)
            m_ui->ProgressLabel->setText(QString::number(received) + QStringLiteral(" of ") + QString::number(total));
    };
    m_client.OnError = [this](int number, const QString& text) {
        m_failed = true;
        FConnected = false;
        MessageDlg(QStringLiteral("Error ") + QString::number(number) + QStringLiteral(": ") + text, mtError, {mbOK});
    };
    // While a command waits on the network the window paints and its upload button takes a
    // second click (the abort); other user input stays out (eventFilter).
    m_client.Idle = [] { QCoreApplication::processEvents(); };
}

bool TFTPForm::eventFilter(QObject* watched, QEvent* event)
{
    // While the upload runs, user input reaches the upload button and windows opened since
    // (message boxes); every other window and control of the program is held back.
    if (m_running && IsUserInput(event->type())) {
        if (const QWidget* widget = qobject_cast<QWidget*>(watched)) {
            const bool uploadButton = widget == m_ui->BitBtn1 || m_ui->BitBtn1->isAncestorOf(widget);
            if (!uploadButton && m_windowsBeforeRun.contains(widget->window()))
                return true;
        }
    }
    return TForm::eventFilter(watched, event);
}

void TFTPForm::SetRunning(bool running)
{
    m_running = running;
    for (QWidget* w : {static_cast<QWidget*>(m_ui->GroupBox1), static_cast<QWidget*>(m_ui->GroupBox2)})
        w->setEnabled(!running);
    if (running) {
        m_windowsBeforeRun.clear();
        for (QWidget* w : QApplication::topLevelWidgets())
            m_windowsBeforeRun.insert(w);
        qApp->installEventFilter(this);
    } else {
        qApp->removeEventFilter(this);
        m_windowsBeforeRun.clear();
    }
}

bool TFTPForm::ConnectFtpServer()
{
    TBusyCursor busy;
    m_ui->ListBox1->Items().Clear();
    try {
        int port = 0;
        if (!TryStrToInt(FPort.trimmed(), port))
            throw EFtpError("Invalid port");
        m_client.Host = FHost;
        m_client.Port = port;
        m_client.TimeOut = 10000;
        m_client.UserID = FUser;
        m_client.Password = FPassword;
        m_client.Connect();
        FConnected = true;
        m_client.SetMode(2);
        return true;
    } catch (const EFtpError& e) {
        SetBusyCursor(false);
        m_failed = true;
        MessageDlg(GetLangText(10028) + QStringLiteral("\n\n") + QString::fromUtf8(e.what()), mtError, {mbOK});
        return false;
    }
}

void TFTPForm::BuildUploadList()
{
    m_ui->ListBox1->Items().Clear();
    CommandList = ::BuildUploadList(GalleryFolder, ServerDir);
}

void TFTPForm::ExecuteCommand(const QString& line)
{
    if (line.trimmed().isEmpty())
        return;
    const TFtpCommand c = ParseFtpCommand(line);
    const QString verb = c.Verb.toLower();
    if (verb == QLatin1String("copy")) {
        // A local file is an absolute path.
        if (c.First.startsWith(QLatin1Char('/'))) {
            const QString remote = Slashes(c.Second);
            CurrentCommand = TFtpCommand{c.Verb, c.First, remote}.Display();
            if (FConnected)
                m_client.Upload(c.First, remote);
        } else if (c.Second.startsWith(QLatin1Char('/'))) {
            const QString remote = Slashes(c.First);
            CurrentCommand = TFtpCommand{c.Verb, remote, c.Second}.Display();
            if (FConnected)
                m_client.Download(remote, c.Second);
        } else {
            CurrentCommand = c.Display();
        }
    } else if (verb == QLatin1String("del")) {
        const QString remote = Slashes(c.First);
        CurrentCommand = TFtpCommand{c.Verb, remote, c.Second}.Display();
        if (FConnected)
            m_client.Delete(remote);
    } else if (verb == QLatin1String("md")) {
        CurrentCommand = c.Display();
        if (FConnected)
            m_client.MakeDirectory(c.First);
    } else if (verb == QLatin1String("rmdir")) {
        CurrentCommand = c.Display();
        if (FConnected)
            m_client.RemoveDir(c.First);
    } else if (verb == QLatin1String("cd")) {
        CurrentCommand = c.Display();
        if (FConnected)
            m_client.ChangeDir(c.First);
    } else if (verb == QLatin1String("cd..")) {
        CurrentCommand = c.Display();
        if (FConnected)
            m_client.ChangeDir(QStringLiteral("../"));
    } else if (verb == QLatin1String("cd\\")) {
        CurrentCommand = c.Display();
        // Up to the top; a step that fails or changes nothing ends it.
        while (FConnected && m_client.CurrentDir() != QLatin1String("/")) {
            const QString before = m_client.CurrentDir();
            if (!m_client.ChangeDir(QStringLiteral("../")) || m_client.CurrentDir() == before)
                break;
        }
    } else {
        m_failed = true;
        MessageDlg(QStringLiteral("Command unknown!"), mtError, {mbOK});
    }
}

void TFTPForm::RunFtpCommands()
{
    const int count = int(CommandList.size());
    for (int i = 0; i < count; ++i) {
        ExecuteCommand(CommandList.value(i));
        m_ui->ProgressBar1->repaint();
        m_ui->ProgressBar1->setValue(FtpProgressPosition(i, count));
        m_ui->ProgressBar1->repaint();
    }
    if (!m_failed) {
        close();
        return;
    }
    // Something failed: the window stays with its log; the connection ends here.
    if (m_client.Connected())
        m_client.Disconnect();
    FConnected = false;
}

void TFTPForm::BitBtn1Click()
{
    SaveFtpSettings();
    if (FConnected || m_running) {
        // The second click: the connection or transfer in progress stops and no further
        // upload starts.
        m_client.Abort();
        m_client.Disconnect();
        FConnected = false;
        m_failed = true;
        return;
    }
    m_failed = false;
    SetRunning(true);
    struct EndRun {
        TFTPForm& form;
        ~EndRun() { form.SetRunning(false); }
    } endRun{*this};
    TLongWork longWork;
    ConnectFtpServer();
    CommandList.clear();
    BuildUploadList();
    RunFtpCommands();
}
