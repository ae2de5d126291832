// The FTP upload of a gallery: the command list, the progress, and uploads against a real FTP
// server (pyftpdlib) on 127.0.0.1, started for each test.
#include "shell/WindowTestSupport.h"
#include "support/FullDisk.h"
#include "support/ProgramFixture.h"
#include "support/ScriptedUi.h"

#include "output/gallery/FtpCommands.h"
#include "output/fFTP.h"
#include "platform/vcl/ListBox.h"
#include "ui_fFTP.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using kvtest::TestProgramFolder;

// pyftpdlib serving a fresh folder to user "anna" with password "secret" on a free port.
class FtpServer {
public:
    explicit FtpServer(int bytesPerSecond = 0) : Root(kvtest::MakeTempFolder("ftp-root"))
    {
        QStringList args{kvtest::SourceDir() + "tests/support/ftp_server.py", Root, "anna", "secret"};
        if (bytesPerSecond > 0)
            args << QString::number(bytesPerSecond);
        m_process.start("/usr/bin/python3", args);
        if (!m_process.waitForStarted(10000) || !m_process.waitForReadyRead(10000)) {
            ADD_FAILURE() << "the FTP server did not start: " << m_process.readAllStandardError().toStdString();
            return;
        }
        Port = m_process.readLine().trimmed().toInt();
        EXPECT_GT(Port, 0);
    }
    ~FtpServer()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    const QString Root;
    int Port = 0;

private:
    QProcess m_process;
};

// A gallery folder of files with known bytes.
QString MakeGallery(const QStringList& names, int size = 3000)
{
    const QString folder = kvtest::MakeTempFolder("gallery");
    for (int i = 0; i < names.size(); ++i) {
        QByteArray bytes(size, Qt::Uninitialized);
        for (int b = 0; b < size; ++b)
            bytes[b] = char((b * 7 + i * 13) & 0xFF);
        kvtest::WriteFile(folder + names[i], bytes);
    }
    return folder.chopped(1);  // the gallery window's folder has no trailing "/"
}

// The log lines, one a line.
std::string LogOf(TFTPForm& form)
{
    QStringList lines;
    for (int i = 0; i < form.ui()->ListBox1->Items().Count(); ++i)
        lines << form.ui()->ListBox1->Items()[i];
    return lines.join('\n').toStdString();
}
std::string Lines(const QStringList& lines) { return lines.join('\n').toStdString(); }

// The upload window over a gallery folder with the server's settings typed in.
struct Upload {
    explicit Upload(const QString& gallery)
    {
        form.GalleryFolder = gallery;
        form.Show();
        QCoreApplication::processEvents();
    }
    void Type(const QString& host, const QString& port, const QString& user, const QString& password,
              const QString& folder)
    {
        form.ui()->Edit1->setText(host);
        form.ui()->Edit4->setText(port);
        form.ui()->Edit2->setText(user);
        form.ui()->Edit3->setText(password);
        form.ui()->Edit5->setText(folder);
    }
    void Start() { form.ui()->BitBtn1->click(); }

    QWidget host;
    TFTPForm form{&host};
};

} // namespace

TEST(FtpCommands, UploadListOfAGalleryFolder)
{
    const QString gallery = MakeGallery({"b.jpg", "A.html", ".hidden", "layout.css"});
    EXPECT_EQ(BuildUploadList(gallery, ""),
              QStringList({"copy |" + gallery + "/A.html | A.html", "copy |" + gallery + "/b.jpg | b.jpg",
                           "copy |" + gallery + "/layout.css | layout.css"}));
    EXPECT_EQ(BuildUploadList(gallery, " daten/galerie ").first(), "copy |" + gallery + "/A.html | daten/galerie/A.html");
    EXPECT_EQ(BuildUploadList(gallery, "Public/Galerie").first(), "copy |" + gallery + "/A.html | Public/Galerie/A.html");
    EXPECT_TRUE(BuildUploadList(kvtest::MakeTempFolder("empty"), "x").isEmpty());

    const TFtpCommand c = ParseFtpCommand("  COPY | /home/Anna/x.JPG |  Public/X.jpg ");
    EXPECT_EQ(c.Display(), "COPY /home/Anna/x.JPG Public/X.jpg") << "case is kept";
}

TEST(FtpCommands, ProgressPositions)
{
    EXPECT_EQ(FtpProgressPosition(0, 2), 0);
    EXPECT_EQ(FtpProgressPosition(1, 2), 100);
    QList<int> ten;
    for (int i = 0; i < 10; ++i)
        ten << FtpProgressPosition(i, 10);
    EXPECT_EQ(ten, QList<int>({0, 11, 22, 33, 44, 56, 67, 78, 89, 100}));
    EXPECT_EQ(FtpProgressPosition(0, 1), 100);
}

TEST(FtpUpload, AGalleryArrivesByteForByteAndTheWindowCloses)
{
    TestProgramFolder program("ENGLISH");
    FtpServer server;
    const QString gallery = MakeGallery({"gallery.html", "Beach.jpg", "layout.css"});
    QDir(server.Root).mkpath("Public/Galerie");
    Upload upload(gallery);
    upload.Type("127.0.0.1", QString::number(server.Port), "anna", "secret", "Public/Galerie");
    upload.Start();

    for (const char* name : {"gallery.html", "Beach.jpg", "layout.css"})
        EXPECT_EQ(kvtest::ReadFile(server.Root + "Public/Galerie/" + name), kvtest::ReadFile(gallery + "/" + name))
            << name;
    EXPECT_EQ(LogOf(upload.form),
              Lines({"Upload success copy " + gallery + "/Beach.jpg Public/Galerie/Beach.jpg",
                     "Upload success copy " + gallery + "/gallery.html Public/Galerie/gallery.html",
                     "Upload success copy " + gallery + "/layout.css Public/Galerie/layout.css"}));
    EXPECT_EQ(upload.form.ui()->ProgressBar1->value(), 100);
    EXPECT_FALSE(upload.form.isVisible()) << "closed after the last command";
    EXPECT_FALSE(upload.form.FConnected);

    // The settings were kept, readable by the owner only.
    const QByteArray ini = kvtest::ReadFile(program.Folder + "Gallery.ini");
    EXPECT_TRUE(ini.contains("ServerDir=Public/Galerie"));
    EXPECT_TRUE(ini.contains("password=secret"));
    EXPECT_EQ(QFile(program.Folder + "Gallery.ini").permissions() & 0x0077, 0);
}

TEST(FtpUpload, ConnectionFailuresShowTheTextAndSendNothing)
{
    TestProgramFolder program("ENGLISH");
    FtpServer server;
    const QString gallery = MakeGallery({"a.jpg"});
    struct Case {
        const char* what;
        QString host, port, password, reason;
    } cases[] = {
        {"wrong password", "127.0.0.1", QString::number(server.Port), "wrong", "Login denied"},
        {"closed port", "127.0.0.1", "1", "secret", "Connection Failed"},
        {"port that is no number", "127.0.0.1", "2x1", "secret", "Invalid port"},
        {"unknown host", "no-such-host.invalid", QString::number(server.Port), "secret", "Invalid Host"},
    };
    for (const Case& c : cases) {
        Upload upload(gallery);
        upload.Type(c.host, c.port, "anna", c.password, "");
        kvtest::Ui().ExpectMessage(mrOk, "Could not connect to the FTP server");
        upload.Start();
        EXPECT_EQ(kvtest::Ui().Pending(), 0u) << c.what;
        ASSERT_FALSE(kvtest::Ui().Asked().empty());
        EXPECT_TRUE(kvtest::Ui().Asked().back().Text.contains(c.reason)) << kvtest::Ui().Asked().back().Text.toStdString();
        EXPECT_FALSE(QFileInfo::exists(server.Root + "a.jpg")) << c.what;
        EXPECT_TRUE(upload.form.isVisible()) << c.what << ": the window stays with its message";
        kvtest::Ui().Reset();
        QFile::remove(program.Folder + "Gallery.ini");  // the settings as typed were kept
    }
}

TEST(FtpUpload, AMissingNestedServerFolderIsMadeAndTheGalleryArrivesWhole)
{
    TestProgramFolder program("ENGLISH");
    FtpServer server;
    const QStringList names{"a.jpg", "b.jpg", "gallery.html"};
    const QString gallery = MakeGallery(names);
    Upload upload(gallery);
    upload.Type("127.0.0.1", QString::number(server.Port), "anna", "secret", "daten/galerie/2024");
    upload.Start();
    for (const QString& name : names)
        EXPECT_EQ(kvtest::ReadFile(server.Root + "daten/galerie/2024/" + name), kvtest::ReadFile(gallery + "/" + name))
            << name.toStdString();
    EXPECT_EQ(LogOf(upload.form), Lines({"Upload success copy " + gallery + "/a.jpg daten/galerie/2024/a.jpg",
                                         "Upload success copy " + gallery + "/b.jpg daten/galerie/2024/b.jpg",
                                         "Upload success copy " + gallery + "/gallery.html daten/galerie/2024/gallery.html"}));
    EXPECT_FALSE(upload.form.isVisible());
}

TEST(FtpUpload, ARefusedFileShowsTheServersReplyBeneathItsLineAndTheRunGoesOn)
{
    TestProgramFolder program("ENGLISH");
    FtpServer server;
    QDir(server.Root).mkpath("web/a.jpg");  // a folder where the file should go: 550
    const QString gallery = MakeGallery({"a.jpg", "b.jpg"});
    Upload upload(gallery);
    upload.Type("127.0.0.1", QString::number(server.Port), "anna", "secret", "web");
    upload.Start();
    EXPECT_EQ(LogOf(upload.form), Lines({"ERROR: Upload failure copy " + gallery + "/a.jpg web/a.jpg",
                                         "    550 Is a directory.",
                                         "Upload success copy " + gallery + "/b.jpg web/b.jpg"}));
    EXPECT_EQ(kvtest::ReadFile(server.Root + "web/b.jpg"), kvtest::ReadFile(gallery + "/b.jpg"));
    EXPECT_TRUE(upload.form.isVisible()) << "the log stays to be read";
    EXPECT_FALSE(upload.form.FConnected);
}

TEST(FtpUpload, ASlowServerReceivesAPictureWithoutATimeOut)
{
    // 2 KB a second: a 100 KB picture takes the server about 50 s, most of them after the
    // last byte has left for the socket buffers.
    TestProgramFolder program("ENGLISH");
    FtpServer server(2048);
    const QString gallery = MakeGallery({"big.jpg"}, 100 * 1024);
    Upload upload(gallery);
    upload.Type("127.0.0.1", QString::number(server.Port), "anna", "secret", "");
    upload.Start();
    EXPECT_EQ(LogOf(upload.form), Lines({"Upload success copy " + gallery + "/big.jpg big.jpg"}));
    EXPECT_EQ(kvtest::ReadFile(server.Root + "big.jpg"), kvtest::ReadFile(gallery + "/big.jpg"));
}

TEST(FtpUpload, ASecondClickAbortsASlowUpload)
{
    TestProgramFolder program("ENGLISH");
    FtpServer server(64 * 1024);  // 64 KB a second: 2 MB take half a minute
    const QString gallery = MakeGallery({"big.jpg", "small.jpg"}, 2 * 1024 * 1024);
    Upload upload(gallery);
    upload.Type("127.0.0.1", QString::number(server.Port), "anna", "secret", "");
    // Clicked again once the first bytes are on their way.
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (upload.form.ui()->ProgressLabel->text().contains("bytes sent")) {
            poll.stop();
            upload.form.ui()->BitBtn1->click();
        }
    });
    poll.start();
    QElapsedTimer clock;
    clock.start();
    upload.Start();
    EXPECT_LT(clock.elapsed(), 15000) << "the transfer stopped";
    EXPECT_FALSE(upload.form.FConnected);
    const std::string log = LogOf(upload.form);
    EXPECT_EQ(log.rfind("ERROR: Upload failure copy", 0), 0u) << log;
    EXPECT_FALSE(QFileInfo::exists(server.Root + "small.jpg")) << "no further upload started";
}

TEST(FtpUpload, SettingsComeFromGalleryIni)
{
    TestProgramFolder program("ENGLISH");
    kvtest::WriteTextFile(program.Folder + "Gallery.ini",
                          "[SETTINGS]\r\nSmallPicX=80\r\n[FTP]\r\nhost=ftp.example.org\r\nuser-ID=Anna\r\n"
                          "password=pw\r\nServerDir=Public/Galerie\r\n");
    Upload upload(kvtest::MakeTempFolder("g").chopped(1));
    EXPECT_EQ(upload.form.ui()->Edit1->text(), "ftp.example.org");
    EXPECT_EQ(upload.form.ui()->Edit4->text(), "") << "no port key: the box is emptied";
    EXPECT_EQ(upload.form.ui()->Edit2->text(), "Anna");
    EXPECT_EQ(upload.form.ui()->Edit5->text(), "Public/Galerie");
    EXPECT_EQ(upload.form.FPort, "");
}

TEST(FtpUpload, APortThatCannotBeUsedIsNamedOnceAndLeftOut)
{
    TestProgramFolder program("ENGLISH");
    kvtest::WriteTextFile(program.Folder + "Gallery.ini", "[FTP]\r\nhost=ftp.example.org\r\nport=99999\r\n");
    kvtest::Ui().ExpectMessage(mrOk, program.Folder + "Gallery.ini: [FTP] port=99999");
    Upload upload(kvtest::MakeTempFolder("g").chopped(1));
    EXPECT_EQ(upload.form.ui()->Edit1->text(), "ftp.example.org");
    EXPECT_EQ(upload.form.ui()->Edit4->text(), "");
    EXPECT_EQ(upload.form.FPort, "");
    upload.form.LoadFtpSettings();  // as at the next activation: not named again
}

TEST(FtpUpload, CommandVerbs)
{
    TestProgramFolder program("ENGLISH");
    FtpServer server;
    const QString local = kvtest::MakeTempFolder("local");
    kvtest::WriteFile(local + "x.jpg", "xyz");
    Upload upload(local.chopped(1));
    upload.Type("ftp://127.0.0.1/", QString::number(server.Port), "anna", "secret", "");  // as often typed
    TFTPForm& f = upload.form;
    ASSERT_TRUE(f.ConnectFtpServer());
    f.ExecuteCommand("md | Daten");
    f.ExecuteCommand("cd | Daten");
    f.ExecuteCommand("md | Galerie");
    f.ExecuteCommand("cd | Galerie");
    EXPECT_EQ(f.Client().CurrentDir(), "/Daten/Galerie");
    f.ExecuteCommand("copy | " + local + "x.jpg | Sub\\..\\x.jpg");
    EXPECT_EQ(kvtest::ReadFile(server.Root + "Daten/Galerie/x.jpg"), "xyz");
    f.ExecuteCommand("copy | x.jpg | " + local + "back.jpg");
    EXPECT_EQ(kvtest::ReadFile(local + "back.jpg"), "xyz");
    f.ExecuteCommand("del | x.jpg");
    EXPECT_FALSE(QFileInfo::exists(server.Root + "Daten/Galerie/x.jpg"));
    f.ExecuteCommand("cd..");
    EXPECT_EQ(f.Client().CurrentDir(), "/Daten");
    f.ExecuteCommand("rmdir | Galerie");
    EXPECT_FALSE(QFileInfo::exists(server.Root + "Daten/Galerie"));
    f.ExecuteCommand("cd | Galerie");  // gone: a failure, the folder stays
    EXPECT_EQ(f.Client().CurrentDir(), "/Daten");
    f.ExecuteCommand("cd\\");
    EXPECT_EQ(f.Client().CurrentDir(), "/");
    kvtest::Ui().ExpectMessage(mrOk, "Command unknown!");
    f.ExecuteCommand("move | a | b");

    EXPECT_EQ(LogOf(f), Lines({"MakeDir success md Daten ", "ChangeDir success cd Daten ",
                                     "MakeDir success md Galerie ", "ChangeDir success cd Galerie ",
                                     "Upload success copy " + local + "x.jpg Sub/../x.jpg",
                                     "Download success copy x.jpg " + local + "back.jpg", "Delete success del x.jpg ",
                                     "ChangeDir success cd..  ", "RemoveDir success rmdir Galerie ",
                                     "ERROR: ChangeDir failure cd Galerie ", "    550 No such file or directory.",
                                     "ChangeDir success cd\\  "}));
}

TEST(FtpUpload, ADownloadOntoAFullDiskKeepsTheOldFileAndSaysWhy)
{
    TestProgramFolder program("ENGLISH");
    FtpServer server;
    kvtest::WriteFile(server.Root + "x.jpg", QByteArray(64 * 1024, 'n'));
    kvtest::FullDisk disk;
    const QString target = disk.Folder() + "back.jpg";
    kvtest::WriteFile(target, "old");
    Upload upload(kvtest::MakeTempFolder("local").chopped(1));
    upload.Type("127.0.0.1", QString::number(server.Port), "anna", "secret", "");
    TFTPForm& f = upload.form;
    ASSERT_TRUE(f.ConnectFtpServer());
    disk.Fill();
    f.ExecuteCommand("copy | x.jpg | " + target);
    disk.Release();

    EXPECT_EQ(kvtest::ReadFile(target), "old");
    EXPECT_EQ(QDir(disk.Folder()).entryList(QDir::Files | QDir::Hidden), QStringList({"back.jpg"}));
    const QString log = QString::fromStdString(LogOf(f));
    EXPECT_TRUE(log.startsWith("ERROR: Download failure copy x.jpg " + target)) << LogOf(f);
    EXPECT_TRUE(log.contains("back.jpg\". ")) << LogOf(f);  // the reason names the local file
}
