// Shared main of every GoogleTest program: a private HOME and XDG folders, an offscreen
// QApplication, the strict scripted interaction service, then the tests.
#include "ScriptedUi.h"
#include "TestEnv.h"
#include "SanitizerOptions.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {
std::unique_ptr<QTemporaryDir> g_root;
int g_counter = 0;
}

namespace kvtest {

QString TestRoot() { return g_root ? g_root->path() : QString(); }
QString TestHome() { return TestRoot() + "/home"; }

QString MakeTempFolder(const QString& name)
{
    QString path = TestRoot() + "/t" + QString::number(++g_counter) + "_" + name;
    QDir().mkpath(path);
    return path + "/";
}

QString SourceDir()
{
    const char* s = std::getenv("KORVANTA_SOURCE_DIR");
    return s ? QString::fromLocal8Bit(s) + "/" : QString("./");
}

} // namespace kvtest

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);

    g_root = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/korvanta-test-XXXXXX");
    const QString home = kvtest::TestHome();
    QDir().mkpath(home);
    const auto set = [](const char* name, const QString& value) {
        QDir().mkpath(value);
        setenv(name, value.toLocal8Bit().constData(), 1);
    };
    set("HOME", home);
    set("XDG_CONFIG_HOME", home + "/.config");
    set("XDG_DATA_HOME", home + "/.local/share");
    set("XDG_CACHE_HOME", home + "/.cache");
    set("XDG_STATE_HOME", home + "/.local/state");
    set("TMPDIR", kvtest::TestRoot() + "/tmp");
    set("XDG_RUNTIME_DIR", kvtest::TestRoot() + "/runtime");
    QFile::setPermissions(kvtest::TestRoot() + "/runtime",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    setenv("KORVANTA_SOURCE_DIR", KV_SOURCE_DIR, 0);
    setenv("KORVANTA_BUILD_DIR", KV_BUILD_DIR, 0);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);

    int result;
    {
        QApplication app(argc, argv);
        kvtest::InstallScriptedUi();
        result = RUN_ALL_TESTS();
        SetInteraction(nullptr);
    }
    g_root.reset();
    return result;
}
