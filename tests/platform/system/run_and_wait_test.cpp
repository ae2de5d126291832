// Starting a program and waiting for it: where the program is found, its exit code, events
// meanwhile, and stopping the wait.
#include "support/TestEnv.h"

#include "platform/system/RunAndWait.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QString Script(const QString& path, const QByteArray& body)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n" + body);
    f.close();
    f.setPermissions(f.permissions() | QFile::ExeOwner);
    return path;
}

TEST(RunAndWait, ProgramInTheFolderComesBeforePathAndGetsItsParameters)
{
    const QString folder = kvtest::MakeTempFolder(QStringLiteral("prog"));
    Script(folder + "sh", "exit 99\n");  // found in the folder before /bin/sh
    Script(folder + "count", "[ \"$2\" = \"two words\" ] && [ \"$(pwd)\" = \"$3\" ] && exit $1\nexit 1\n");
    TRunAndWait run;
    run.Folder = folder;
    run.Program = QStringLiteral("sh");
    EXPECT_EQ(RunAndWait(run), 99);
    run.Program = QStringLiteral("count");
    run.Parameters = QStringLiteral("7 \"two words\" ") + QDir(folder).canonicalPath();
    EXPECT_EQ(RunAndWait(run), 7);

    run.Program = QStringLiteral("no-such-program");
    EXPECT_EQ(RunAndWait(run), -1);
    EXPECT_TRUE(FindProgram(folder, QStringLiteral("no-such-program")).isEmpty());
    EXPECT_TRUE(FindProgram(QString(), QStringLiteral("sh")).startsWith(QLatin1Char('/')));  // from PATH
    EXPECT_TRUE(FindProgram(QString(), folder + QStringLiteral("missing")).isEmpty());
}

TEST(RunAndWait, EventsRunWhileWaitingAndStoppingEndsTheProgram)
{
    const QString folder = kvtest::MakeTempFolder(QStringLiteral("prog"));
    const QString marker = folder + "ended";
    Script(folder + "slow", "i=0\nwhile [ $i -lt 300 ]; do sleep 0.1; i=$((i+1)); done\n: > \"$1\"\n");
    TRunAndWait run;
    run.Folder = folder;
    run.Program = QStringLiteral("slow");
    run.Parameters = marker;
    int rounds = 0;
    run.ProcessEvents = [&] { ++rounds; };
    run.StopWaiting = [&] { return rounds >= 3; };
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(RunAndWait(run), -2);
    EXPECT_EQ(rounds, 3);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_FALSE(QFile::exists(marker));
}

} // namespace
