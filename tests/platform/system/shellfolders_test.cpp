#include "platform/system/ShellFolders.h"

#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace {

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = QByteArray(old);
        setenv(name, value.toLocal8Bit().constData(), 1);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name, m_old->constData(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<QByteArray> m_old;
};

// A fresh home with its XDG folders; user-dirs.dirs gets `userDirs` unless it is null.
struct FakeHome {
    explicit FakeHome(const char* userDirs)
        : home(QDir::cleanPath(kvtest::MakeTempFolder("home"))),
          envHome("HOME", home),
          envConfig("XDG_CONFIG_HOME", home + "/cfg"),
          envData("XDG_DATA_HOME", home + "/data"),
          envCache("XDG_CACHE_HOME", home + "/cache")
    {
        QDir().mkpath(home + "/cfg");
        if (userDirs) {
            QFile f(home + "/cfg/user-dirs.dirs");
            if (f.open(QIODevice::WriteOnly))
                f.write(userDirs);
        }
        InitWindowsInfo();
    }
    QString home;
    ScopedEnv envHome, envConfig, envData, envCache;
};

} // namespace

TEST(ShellFolders, FromUserDirsAndEnvironment)
{
    ScopedEnv user("USER", "anna");
    FakeHome fake("# written by xdg-user-dirs-update\n"
                  "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                  "XDG_DOCUMENTS_DIR=\"/srv/docs/\"\n"
                  "XDG_TEMPLATES_DIR=\"$HOME/Vorlagen \\\"neu\\\"\"\n");
    const QString& h = fake.home;
    EXPECT_EQ(WindowsInfo.Desktop, h + "/Schreibtisch");
    EXPECT_EQ(WindowsInfo.Personal, "/srv/docs");
    EXPECT_EQ(WindowsInfo.Templates, h + "/Vorlagen \"neu\"");
    EXPECT_EQ(WindowsInfo.Fonts, h + "/data/fonts");
    EXPECT_EQ(WindowsInfo.StartMenu, h + "/data/applications");
    EXPECT_EQ(WindowsInfo.Programs, h + "/data/applications");
    EXPECT_EQ(WindowsInfo.Startup, h + "/cfg/autostart");
    EXPECT_EQ(WindowsInfo.Cache, h + "/cache");
    EXPECT_EQ(WindowsInfo.LogonUserName, "anna");
    EXPECT_EQ(WindowsInfo.WindowsFamily, "Linux");
    EXPECT_EQ(WindowsInfo.ProgramFilesDir, "/opt");
    EXPECT_EQ(WindowsInfo.SystemRoot, h + "/data/korvanta");
    EXPECT_TRUE(WindowsInfo.AddressBookFile.isEmpty());
    EXPECT_EQ(WindowsInfo.TempPath, QDir::tempPath() + "/");
}

TEST(ShellFolders, UnconfiguredFoldersNeverEmptyOrRelative)
{
    struct Case {
        const char* userDirs;   // null: no user-dirs.dirs at all
        const char* makeInHome;  // a folder made in the home before reading, or null
        const char* desktop;     // expected, relative to the home ("" is the home itself)
        const char* personal;
    };
    const Case cases[] = {
        {nullptr, nullptr, "", ""},
        {nullptr, "Desktop", "/Desktop", ""},
        {"XDG_MUSIC_DIR=\"$HOME/Music\"\n", "Documents", "", "/Documents"},
        // Relative values are not taken: they would lead into the current folder.
        {"XDG_DESKTOP_DIR=\"Desktop\"\nXDG_DOCUMENTS_DIR=\"\"\n", nullptr, "", ""},
        {"XDG_DESKTOP_DIR=\"$HOME/\"\n", nullptr, "", ""},
    };
    for (const Case& c : cases) {
        FakeHome fake(c.userDirs);
        if (c.makeInHome) {
            QDir().mkpath(fake.home + "/" + c.makeInHome);
            InitWindowsInfo();
        }
        EXPECT_EQ(WindowsInfo.Desktop, fake.home + c.desktop) << (c.userDirs ? c.userDirs : "-");
        EXPECT_EQ(WindowsInfo.Personal, fake.home + c.personal) << (c.userDirs ? c.userDirs : "-");
        EXPECT_TRUE(WindowsInfo.Templates.isEmpty());
    }
}

TEST(ShellFolders, NoTrailingSlashesAndUserFallbacks)
{
    ScopedEnv user("USER", "");
    ScopedEnv logname("LOGNAME", "bert");
    FakeHome fake(nullptr);
    ScopedEnv slashHome("HOME", fake.home + "/");
    InitWindowsInfo();
    EXPECT_EQ(WindowsInfo.LogonUserName, "bert");
    for (const QString& folder : {WindowsInfo.Desktop, WindowsInfo.Personal, WindowsInfo.Fonts,
                                  WindowsInfo.StartMenu, WindowsInfo.Startup, WindowsInfo.Cache}) {
        EXPECT_FALSE(folder.endsWith('/')) << folder.toStdString();
        EXPECT_TRUE(folder.startsWith('/')) << folder.toStdString();
    }
    EXPECT_EQ(WindowsInfo.Desktop, fake.home);
}
