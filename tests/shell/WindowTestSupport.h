#pragma once
// Helpers of the window tests: a program folder in a language, showing a window modally
// again, and the user leaving for another program and coming back.
#include "support/TestEnv.h"

#include "platform/system/ProgramFolder.h"
#include "platform/vcl/Forms.h"
#include "shell/core/Language.h"
#include "shell/core/ProductInfo.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace kvtest {

inline void WriteTextFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(path.left(path.lastIndexOf('/')));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    f.write(bytes);
}

// form.ShowModal() as on a desktop, where the window below takes the activation back when a
// window closes. The offscreen platform leaves a closed window the focus window, so that
// showing it again would activate nothing; a window shown and hidden first takes its place.
inline int ShowModal(TForm& form)
{
    {
        QWidget below;
        below.show();
        below.activateWindow();
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    return form.ShowModal();
}

// The user leaves for another program and comes back to window.
inline void SwitchAwayAndBack(QWidget& window)
{
    QApplication::setActiveWindow(nullptr);
    QEvent away(QEvent::ApplicationDeactivate);
    QCoreApplication::sendEvent(qApp, &away);
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(&window);
    QEvent back(QEvent::ApplicationActivate);
    QCoreApplication::sendEvent(qApp, &back);
    QCoreApplication::processEvents();
}

// A program folder with Generator.ini in a language, the shipped Language.ini and dialog
// pictures, the language texts and the product information loaded; the language is unloaded
// again when the object goes.
class TestProgramFolder {
public:
    explicit TestProgramFolder(const QString& language = QStringLiteral("GERMAN"))
        : Folder(MakeTempFolder(QStringLiteral("program")))
    {
        WriteTextFile(Folder + "Generator.ini", "[SETTINGS]\r\nLanguage=" + language.toUtf8() + "\r\n");
        EXPECT_TRUE(QFile::copy(SourceDir() + "data/Language.ini", Folder + "Language.ini"));
        QDir().mkpath(Folder + "recom");
        for (const char* picture : {"about.png", "banner.png", "side.png"})
            EXPECT_TRUE(QFile::copy(SourceDir() + "data/recom/" + picture, Folder + "recom/" + picture));
        SetProgramFolder(Folder);
        SetLanguageMessageHandler(nullptr);
        LoadLanguage();
        FillProductInfo();
    }
    ~TestProgramFolder()
    {
        UnloadLanguage();
        ProductInfo = TProductInfo();
    }
    TestProgramFolder(const TestProgramFolder&) = delete;
    TestProgramFolder& operator=(const TestProgramFolder&) = delete;

    const QString Folder;  // with a trailing "/"
};

} // namespace kvtest
