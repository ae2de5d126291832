#pragma once
// TFTPForm: uploads the finished gallery to the user's web space. The server settings are
// Gallery.ini's section FTP; the gallery folder becomes a list of text commands ("copy |
// local | server"), run through the FTP client with a log line per transfer and a progress
// bar. A second click on the upload button while the upload runs aborts it; that click is let
// through while the window's other controls are disabled. A failed step's log line has the
// server's reply beneath it. When anything failed the window stays open with its log.
#include "platform/net/FtpClient.h"
#include "platform/vcl/Forms.h"

#include <QSet>
#include <QStringList>

#include <memory>

namespace Ui {
class TFTPForm;
}

class TFTPForm : public TForm {
    Q_OBJECT
public:
    explicit TFTPForm(QWidget* parent = nullptr);
    ~TFTPForm() override;

    Ui::TFTPForm* ui() const { return m_ui.get(); }

    // The folder to upload (the gallery window's GalleryFolder).
    QString GalleryFolder;

    QString FHost, FPort, FUser, FPassword, ServerDir;
    QString CurrentCommand;  // the display text of the command being run
    QStringList CommandList;
    bool FConnected = false;

    void LoadFtpSettings();
    void SaveFtpSettings();
    bool ConnectFtpServer();
    void BuildUploadList();
    // Runs every line of CommandList; the form closes after the last one unless anything
    // failed.
    void RunFtpCommands();
    // Runs one command line.
    void ExecuteCommand(const QString& line);

    TFtpClient& Client() { return m_client; }
    // True when a command of the last run failed.
    bool AnythingFailed() const { return m_failed; }
    bool Running() const { return m_running; }

protected:
    void BindEvents() override;
    void FormCreate() override;
    void FormActivate() override;
    void FormClose(TCloseAction& action) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BitBtn1Click();
    void Log(const QString& status);
    void LogReason();
    void BindClient();
    void SetRunning(bool running);

    std::unique_ptr<Ui::TFTPForm> m_ui;
    TFtpClient m_client;
    bool m_failed = false;
    bool m_running = false;
    QSet<const QWidget*> m_windowsBeforeRun;
    QString m_problemsNamed;  // the values of Gallery.ini named as replaced
};
