// The main window's close: the work files it deletes (and those it leaves), the
// advertisement window of the German edition, the settings it saves; and DeleteFilesByMask.
#include "MainWindowTestSupport.h"

#include "platform/vcl/IniFiles.h"
#include "shell/fWerbung.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

using kvtest::CloseAndEnd;
using kvtest::ProgramFixture;
using kvtest::Start;
using kvtest::WriteFile;

bool Exists(const QString& path) { return QFileInfo::exists(path); }

} // namespace

TEST(Close, DeletesTheWorkFilesOfTheProgramFolderAndNothingElse)
{
    ProgramFixture program("ENGLISH");
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(Start());
    const QString p = program.Folder;
    const QStringList doomed = {p + "UNDO_1.jpg", p + "UNDO_12.JPG", p + "undo_3.jpg", p + "UNDO.jpg",
                                p + "Temp.jpg", p + "temp.JPG", p + "prev.jpg", p + "Print.txt",
                                p + "thumbs/cxxfotosxbild_1_jpg.jpg", p + "thumbs/.hidden", p + "thumbs/noext",
                                p + "temppic/Bild.tif", p + "temppic/Bild_tiff.jpg", p + "temppic/.x"};
    const QStringList kept = {p + "UNDO_1.png", p + "Temp.jpeg", p + "Temp.jpg.bak", p + "MyTemp.jpg",
                              p + "preview.jpg", p + "Print.txt.old", p + "Print.doc", p + "NoTip.ini",
                              p + "thumbs/sub/a.jpg", p + "temppic/sub/b.jpg", p + "gallery/gallery.html",
                              MainForm->ArchiveRoot + "Archive_0001/Temp.jpg"};
    for (const QString& file : doomed + kept)
        WriteFile(file, "x");
    const QStringList shipped = kvtest::FilesIn(p);

    CloseAndEnd();
    for (const QString& file : doomed)
        EXPECT_FALSE(Exists(file)) << file.toStdString();
    for (const QString& file : kept)
        EXPECT_TRUE(Exists(file)) << file.toStdString();
    for (const QString& folder : {p + "thumbs", p + "temppic"})
        EXPECT_TRUE(QFileInfo(folder).isDir());
    QStringList left = shipped;
    for (const QString& file : doomed)
        left.removeAll(QFileInfo(file).fileName());
    // The program's lock goes with the program.
    EXPECT_TRUE(left.contains(".korvanta.lock"));
    left.removeAll(".korvanta.lock");
    EXPECT_EQ(kvtest::FilesIn(p), left);
}

namespace {

struct AdvertisementCase {
    const char* Language;
    bool Marker;  // NoWer.ini in the program folder
    bool Shown;
};

class CloseAdvertisement : public ::testing::TestWithParam<AdvertisementCase> {};

} // namespace

TEST_P(CloseAdvertisement, ShowsOnlyInTheGermanEditionWithoutTheMarker)
{
    const AdvertisementCase& c = GetParam();
    ProgramFixture program(c.Language);
    ASSERT_TRUE(program.Ready());
    if (c.Marker)
        WriteFile(program.Folder + "NoWer.ini", "");
    ASSERT_TRUE(Start());
    MainForm->Show();
    bool mainHidden = false;
    bool workFilesKept = false;
    WriteFile(program.Folder + "Temp.jpg", "x");
    if (c.Shown) {
        kvtest::Ui().ExpectModal("TWerbungForm", mrOk, [&](TForm&) {
            mainHidden = !MainForm->isVisible();
            workFilesKept = Exists(program.Folder + "Temp.jpg");
        });
    }
    CloseAndEnd();
    EXPECT_EQ(kvtest::Ui().AskedOf(TAskKind::ModalWindow).size(), c.Shown ? 1u : 0u);
    if (c.Shown) {
        // The window shows last, over no main window, after the work files went.
        EXPECT_TRUE(mainHidden);
        EXPECT_FALSE(workFilesKept);
    }
    EXPECT_EQ(Exists(program.Folder + "NoWer.ini"), c.Marker);
}

INSTANTIATE_TEST_SUITE_P(Editions, CloseAdvertisement,
                         ::testing::Values(AdvertisementCase{"GERMAN", false, true},
                                           AdvertisementCase{"GERMAN", true, false},
                                           AdvertisementCase{"ENGLISH", false, false},
                                           AdvertisementCase{"SWEDISH", false, false}),
                         [](const auto& info) {
                             return std::string(info.param.Language) + (info.param.Marker ? "_Marker" : "");
                         });

TEST(Close, SavesTheSettingsAndTheLastSourceFolder)
{
    ProgramFixture program("ENGLISH");
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(Start());
    MainForm->ui()->EndlessPlayCheckBox->setChecked(true);
    // The folder the user chose, not the temporary folder a read went through.
    MainForm->SourcePicturesPath = program.Home + "Fotos/";
    MainForm->SourceFolder = MainForm->TempPicFolder;
    CloseAndEnd();
    const TIniFile ini(program.Folder + "Generator.ini");
    EXPECT_EQ(ini.ReadString("SETTINGS", "StopDiashowAtEnd", ""), "FALSE");
    EXPECT_EQ(ini.ReadString("SETTINGS", "SourcePicturesPath", ""), program.Home + "Fotos/");
    EXPECT_EQ(ini.ReadString("SETTINGS", "Language", ""), "ENGLISH");
}

TEST(DeleteFilesByMask, DeletesTheMatchingFilesOfTheMasksFolder)
{
    ProgramFixture program("ENGLISH");
    ASSERT_TRUE(program.Ready());
    ASSERT_TRUE(Start());
    struct Case {
        const char* Mask;     // below the test folder ("" for a relative mask)
        QStringList Deleted;  // of the files below
    };
    const QStringList files = {"a.jpg", "b.JPG", "c.jpeg", "d.txt", "noext", ".hidden.jpg", "ro.jpg", "sub/e.jpg"};
    const Case cases[] = {
        {"*.jpg", {"a.jpg", "b.JPG", ".hidden.jpg"}},
        {"*.*", {"a.jpg", "b.JPG", "c.jpeg", "d.txt", "noext", ".hidden.jpg"}},
        {"?.txt", {"d.txt"}},
        {"noext", {"noext"}},
        {"A.JPG", {"a.jpg"}},
        {"sub/*.jpg", {"sub/e.jpg"}},
        {"missing/*.*", {}},
        {"*.gif", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Mask);
        const QString folder = kvtest::MakeTempFolder("mask");
        for (const QString& file : files)
            WriteFile(folder + file, "x");
        QDir().mkpath(folder + "dir.jpg");
        QFile::setPermissions(folder + "ro.jpg", QFile::ReadOwner);  // read-only files stay
        MainForm->DeleteFilesByMask(folder + c.Mask);
        for (const QString& file : files)
            EXPECT_EQ(Exists(folder + file), !c.Deleted.contains(file)) << file.toStdString();
        EXPECT_TRUE(QFileInfo(folder + "dir.jpg").isDir());
    }

    // A mask without a folder names no folder: the current one is left alone.
    const QString current = kvtest::MakeTempFolder("current");
    WriteFile(current + "a.jpg", "x");
    const QString saved = QDir::currentPath();
    QDir::setCurrent(current);
    MainForm->DeleteFilesByMask("*.jpg");
    QDir::setCurrent(saved);
    EXPECT_TRUE(Exists(current + "a.jpg"));
    EXPECT_EQ(Screen->Cursor(), crDefault);
    EndProgram();
}
