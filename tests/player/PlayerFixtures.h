#pragma once
// A player folder for the player tests: its Settings.ini, texts and effects, and slideshows
// with pictures and music titles.
#include "support/ProgramFixture.h"
#include "support/TestEnv.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace kvtest {

struct PlayerShows {
    QString Path = MakeTempFolder("player");  // with a trailing "/"

    // Settings.ini with extra lines first (the first of two equal keys counts).
    void Settings(const QByteArray& extra) const
    {
        WriteFile(Path + "Settings.ini", "[SETTINGS]\r\n" + extra + "Fullscreen=FALSE\r\nStopDiashowAtEnd=TRUE\r\n"
                                         "BKGColor=0\r\nTextColor=16777215\r\nEffectMode=OFF\r\n");
        WriteFile(Path + "Language.ini", "[PLAYER]\r\n100001=Laden\r\n100002=Pause\r\n100003=Ende\r\n100004=Esc\r\n");
    }
    // A slideshow in folder: one picture per colour, seconds per picture as typed.
    void Show(const QString& folder, const QByteArray& time, const QList<QColor>& colours) const
    {
        QByteArray lines;
        for (int i = 0; i < colours.size(); ++i) {
            const QString name = QStringLiteral("p%1.jpg").arg(i);
            QImage image(160, 120, QImage::Format_RGB32);
            image.fill(colours[i]);
            QDir().mkpath(Path + folder);
            EXPECT_TRUE(image.save(Path + folder + "/" + name, "JPEG", 95));
            lines += name.toUtf8() + "\r\n";
        }
        WriteFile(Path + folder + "/Diashow.ini", "[DIASHOW]\r\nTitel=" + folder.toUtf8() + "\r\nTime=" + time + "\r\n");
        WriteFile(Path + folder + "/Pictures.ini", lines);
    }
};

} // namespace kvtest
