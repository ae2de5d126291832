#pragma once
// A program folder for the window tests, made from the build tree's program folder
// (KORVANTA_BUILD_DIR): the shipped data, the generated sample slideshows and tune, and a
// Generator.ini (the shipped one, in the language asked for). Drive C (HOME) and the XDG
// desktop and documents folders lie in a fresh temporary folder; no other drive is mounted.
// The environment is restored when the fixture goes.
//
//   kvtest::ProgramFixture program("ENGLISH");
//   ASSERT_TRUE(program.Ready());
//   StartProgram(); ... EndProgram();
#include <QByteArray>
#include <QString>

namespace kvtest {

class ProgramFixture {
public:
    explicit ProgramFixture(const QString& language = QStringLiteral("GERMAN"));
    ~ProgramFixture();
    ProgramFixture(const ProgramFixture&) = delete;
    ProgramFixture& operator=(const ProgramFixture&) = delete;

    // False (and the test has failed) when the build tree holds no generated samples.
    bool Ready() const { return m_ready; }

    const QString Folder;     // the program folder, with a trailing "/"
    const QString Home;       // drive C, with a trailing "/"
    const QString Desktop;    // the XDG desktop folder (made), with a trailing "/"
    const QString Documents;  // the XDG documents folder (made), with a trailing "/"

    // The archive root the program uses on drive C for the fixture's language.
    QString ArchiveRoot() const;
    // Sets a key of Generator.ini's section SETTINGS.
    void SetSetting(const QString& key, const QString& value) const;
    // A stand-in for the player program in the kit ("diashow/Diashow-Player"), executable.
    void InstallPlayer() const;

    // The build tree with a trailing "/".
    static QString BuildDir();

private:
    QString m_language;
    bool m_ready = false;
    QByteArray m_savedHome;
    QByteArray m_savedConfigHome;
};

// Reads a whole file ("" when it cannot be read).
QByteArray ReadFile(const QString& path);
// Writes bytes to path, making its folder.
void WriteFile(const QString& path, const QByteArray& bytes);

} // namespace kvtest
