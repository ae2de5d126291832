#include "output/GallerySettings.h"

#include "platform/system/ProgramFolder.h"

#include <QFile>

QString GalleryIniPath() { return ProgramFolder() + QStringLiteral("Gallery.ini"); }

void ProtectGalleryIni()
{
    QFile file(GalleryIniPath());
    if (file.exists())
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
