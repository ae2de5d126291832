#include "shell/core/Language.h"
#include "shell/core/ProductInfo.h"

#include "platform/system/ProgramFolder.h"
#include "support/TestEnv.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

const QByteArray kLanguageIni =
    "[GERMAN]\n"
    "515=Abbrechen\n"
    "1000=tausend\n"
    "10000=zehntausend\n"
    "100001=Diashow wird geladen\n"
    "[ENGLISH]\n"
    "515=Cancel\n"
    "100001=Loading the slideshow\n"
    "[SWEDISH]\n"
    "515=Avbryt\n";

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = kvtest::MakeTempFolder("program");
        SetProgramFolder(folder);
        SetLanguageMessageHandler(nullptr);
        ClearRecordedLanguageMessages();
    }
    void TearDown() override
    {
        SetLanguageMessageHandler(nullptr);
        UnloadLanguage();
    }
    void writeGenerator(const QByteArray& settings)
    {
        writeFile(folder + "Generator.ini", "[SETTINGS]\n" + settings);
    }
    void writeLanguage() { writeFile(folder + "Language.ini", kLanguageIni); }

    QString folder;
};

} // namespace

TEST_F(LanguageTest, MissingFilesAreReportedWithTheFolderInFront)
{
    LoadLanguage();
    EXPECT_EQ(RecordedLanguageMessages(),
              QStringList({folder + "Generator.ini nicht gefunden!",
                           folder + "Language.ini nicht gefunden!"}));
    EXPECT_EQ(LanguageFolder, folder);
    EXPECT_EQ(LanguageName, "GERMAN");
    ASSERT_TRUE(LanguageIni);
    EXPECT_EQ(GetLangText(515), "");
}

TEST_F(LanguageTest, EachMissingFileHasItsOwnMessage)
{
    writeLanguage();
    LoadLanguage();
    EXPECT_EQ(RecordedLanguageMessages(), QStringList({folder + "Generator.ini nicht gefunden!"}));
    EXPECT_EQ(GetLangText(515), "Abbrechen");  // the default language still reads its texts

    UnloadLanguage();
    ClearRecordedLanguageMessages();
    QFile::remove(folder + "Language.ini");
    writeGenerator("Language=ENGLISH\n");
    LoadLanguage();
    EXPECT_EQ(RecordedLanguageMessages(), QStringList({folder + "Language.ini nicht gefunden!"}));
    EXPECT_EQ(LanguageName, "ENGLISH");
}

TEST_F(LanguageTest, InstalledHandlerReceivesTheMessagesInsteadOfTheRecord)
{
    QStringList shown;
    SetLanguageMessageHandler([&shown](const QString& m) { shown.append(m); });
    LoadLanguage();
    EXPECT_EQ(shown.size(), 2);
    EXPECT_TRUE(RecordedLanguageMessages().isEmpty());
}

TEST_F(LanguageTest, NoLanguageKeyGivesGerman)
{
    writeGenerator("Drive=C\n");
    writeLanguage();
    LoadLanguage();
    EXPECT_TRUE(RecordedLanguageMessages().isEmpty());
    EXPECT_EQ(LanguageName, "GERMAN");
    EXPECT_EQ(GetLangText(515), "Abbrechen");
}

TEST_F(LanguageTest, LanguageValueIsUpperCasedAndAnUnknownOneGivesGerman)
{
    struct Case {
        QByteArray value;
        QString name;
        QString text;
        QStringList messages;
    };
    writeLanguage();
    const QList<Case> cases = {
        {"english", "ENGLISH", "Cancel", {}},
        {" Swedish ", "SWEDISH", "Avbryt", {}},
        {"FRENCH", "GERMAN", "Abbrechen", {folder + "Generator.ini: Sprache \"FRENCH\" unbekannt, GERMAN wird verwendet!"}},
        {"engl", "GERMAN", "Abbrechen", {folder + "Generator.ini: Sprache \"engl\" unbekannt, GERMAN wird verwendet!"}},
    };
    for (const Case& c : cases) {
        UnloadLanguage();
        ClearRecordedLanguageMessages();
        writeGenerator("Language=" + c.value + "\n");
        LoadLanguage();
        EXPECT_EQ(LanguageName, c.name) << c.value.constData();
        EXPECT_EQ(GetLangText(515), c.text) << c.value.constData();
        EXPECT_EQ(RecordedLanguageMessages(), c.messages) << c.value.constData();
    }
}

TEST_F(LanguageTest, ALanguageFileWithoutTheChosenSectionIsNamed)
{
    writeGenerator("Language=SWEDISH\n");
    for (const QByteArray& content : {QByteArray(), QByteArray("[GERMAN]\n515=Abbrechen\n")}) {
        UnloadLanguage();
        ClearRecordedLanguageMessages();
        writeFile(folder + "Language.ini", content);
        LoadLanguage();
        EXPECT_EQ(RecordedLanguageMessages(), QStringList{folder + "Language.ini: [SWEDISH] nicht gefunden!"});
    }
}

TEST_F(LanguageTest, TextsAreLookedUpByTheirDecimalNumber)
{
    writeGenerator("Language=GERMAN\n");
    writeLanguage();
    LoadLanguage();
    EXPECT_EQ(GetLangText(100001), "Diashow wird geladen");
    EXPECT_EQ(GetLangText(10000), "zehntausend");
    EXPECT_EQ(GetLangText(1000), "tausend");
    EXPECT_EQ(GetLangText(100000), "");
    EXPECT_EQ(GetLangText(-515), "");
}

TEST_F(LanguageTest, NoFallbackToAnotherLanguage)
{
    writeGenerator("Language=SWEDISH\n");
    writeLanguage();
    LoadLanguage();
    EXPECT_EQ(GetLangText(515), "Avbryt");
    EXPECT_EQ(GetLangText(100001), "");  // only in GERMAN and ENGLISH
}

TEST_F(LanguageTest, NoTextsBeforeLoadingOrAfterUnloading)
{
    UnloadLanguage();
    EXPECT_EQ(GetLangText(515), "");
    writeGenerator("Language=GERMAN\n");
    writeLanguage();
    LoadLanguage();
    EXPECT_EQ(LangText(515).Text(), "Abbrechen");
    UnloadLanguage();
    EXPECT_EQ(GetLangText(515), "");
}

TEST_F(LanguageTest, ShippedFilesGiveGermanTexts)
{
    const QString data = kvtest::SourceDir() + "data/";
    ASSERT_TRUE(QFile::copy(data + "Generator.ini", folder + "Generator.ini"));
    ASSERT_TRUE(QFile::copy(data + "Language.ini", folder + "Language.ini"));
    LoadLanguage();
    EXPECT_TRUE(RecordedLanguageMessages().isEmpty());
    EXPECT_EQ(LanguageName, "GERMAN");
    EXPECT_EQ(GetLangText(520), QString::fromUtf8("Diashow öffnen"));
}

TEST_F(LanguageTest, ProductInfoFollowsTheLanguageOfTheTexts)
{
    writeGenerator("Language=english\n");
    LoadLanguage();
    FillProductInfo();
    EXPECT_EQ(ProductInfo.ProductName, "Korvanta");
    EXPECT_EQ(ProductInfo.EditionText, MakeProductInfo("ENGLISH").EditionText);
}

TEST(ProductInfo, EveryLanguageHasEveryValue)
{
    for (const char* language : {"GERMAN", "ENGLISH", "SWEDISH", "FRENCH"}) {
        SCOPED_TRACE(language);
        const TProductInfo p = MakeProductInfo(language);
        EXPECT_EQ(p.ProductName, "Korvanta");
        for (const QString* field : {&p.EditionText, &p.VersionText, &p.CompanyName, &p.MailAddress,
                                     &p.WebText, &p.WebURL, &p.FooterURL, &p.FooterCompany,
                                     &p.AboutImage, &p.SideImage, &p.BannerImage, &p.HelpFile})
            EXPECT_FALSE(field->isEmpty());
        // Picture and help names are joined to "recom/" and "help/" of the program folder.
        EXPECT_FALSE(p.BannerImage.contains('/'));
        EXPECT_FALSE(p.HelpFile.contains('/'));
        EXPECT_FALSE(p.MailAddress.startsWith("mailto:"));
    }
    EXPECT_NE(MakeProductInfo("GERMAN").EditionText, MakeProductInfo("ENGLISH").EditionText);
    EXPECT_NE(MakeProductInfo("SWEDISH").EditionText, MakeProductInfo("ENGLISH").EditionText);
    EXPECT_EQ(MakeProductInfo("FRENCH").EditionText, MakeProductInfo("GERMAN").EditionText);
}
