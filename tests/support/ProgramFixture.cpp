#include "ProgramFixture.h"
#include "TestEnv.h"

#include "platform/system/DriveMap.h"
#include "platform/system/ProgramFolder.h"
#include "platform/system/ShellFolders.h"
#include "platform/vcl/IniFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <cstdlib>

namespace kvtest {

namespace {

// What the program folder holds besides the programs.
const char* const kShipped[] = {"Language.ini", "Effects.ini", "recom", "diashow", "encoder", "tips", "help",
                                "Bumble Bee - Tessmark.mp3"};

void CopyTree(const QString& src, const QString& dst)
{
    if (QFileInfo(src).isFile()) {
        QDir().mkpath(QFileInfo(dst).absolutePath());
        EXPECT_TRUE(QFile::copy(src, dst)) << dst.toStdString();
        return;
    }
    QDirIterator it(src, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        CopyTree(file, dst + file.mid(src.size()));
    }
}

QString Section(const QString& folder)
{
    QDir().mkpath(folder);
    return folder;
}

} // namespace

QByteArray ReadFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

QString ProgramFixture::BuildDir()
{
    const char* dir = std::getenv("KORVANTA_BUILD_DIR");
    return dir ? QString::fromLocal8Bit(dir) + QLatin1Char('/') : QString();
}

ProgramFixture::ProgramFixture(const QString& language)
    : Folder(MakeTempFolder(QStringLiteral("program"))),
      Home(MakeTempFolder(QStringLiteral("home"))),
      Desktop(Section(Home + QStringLiteral("Schreibtisch/"))),
      Documents(Section(Home + QStringLiteral("Dokumente/"))),
      m_language(language),
      m_savedHome(qgetenv("HOME")),
      m_savedConfigHome(qgetenv("XDG_CONFIG_HOME"))
{
    const QString build = BuildDir();
    if (!QFileInfo::exists(build + QStringLiteral("diashow/Archive_0001/Pictures.ini"))) {
        ADD_FAILURE() << "no generated samples in the build tree \"" << build.toStdString()
                      << "\": build the target kv_data first";
        return;
    }
    for (const char* name : kShipped)
        CopyTree(build + QLatin1String(name), Folder + QLatin1String(name));
    EXPECT_TRUE(QFile::copy(SourceDir() + QStringLiteral("data/Generator.ini"), Folder + QStringLiteral("Generator.ini")));
    QFile::setPermissions(Folder + QStringLiteral("Generator.ini"), QFile::ReadOwner | QFile::WriteOwner);
    SetSetting(QStringLiteral("Language"), language);
    // A shown main window offers the tip of the day at its first activation; tests that want
    // it delete the marker.
    WriteFile(Folder + QStringLiteral("NoTip.ini"), QByteArray());
    // The gallery's settings as shipped (the build tree's copy may hold a user's changes).
    EXPECT_TRUE(QFile::copy(SourceDir() + QStringLiteral("data/Gallery.ini"), Folder + QStringLiteral("Gallery.ini")));

    qputenv("HOME", QDir::cleanPath(Home).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (Home + QStringLiteral(".config")).toLocal8Bit());
    WriteFile(Home + QStringLiteral(".config/user-dirs.dirs"),
              "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\nXDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n");
    SetProgramFolder(Folder);
    SetMountTableOverride(QString());
    InitWindowsInfo();
    m_ready = true;
}

ProgramFixture::~ProgramFixture()
{
    qputenv("HOME", m_savedHome);
    qputenv("XDG_CONFIG_HOME", m_savedConfigHome);
    ClearDriveMapOverrides();
    InitWindowsInfo();
}

QString ProgramFixture::ArchiveRoot() const
{
    return Home + QStringLiteral("Korvanta/");
}

void ProgramFixture::SetSetting(const QString& key, const QString& value) const
{
    TIniFile(Folder + QStringLiteral("Generator.ini")).WriteString(QStringLiteral("SETTINGS"), key, value);
}

void ProgramFixture::InstallPlayer() const
{
    const QString player = Folder + QStringLiteral("diashow/Diashow-Player");
    WriteFile(player, "#!/bin/sh\nexit 0\n");
    QFile::setPermissions(player, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace kvtest
