#include "output/DialogPicture.h"

#include "platform/system/ProgramFolder.h"
#include "platform/vcl/Graphics.h"

#include <QFileInfo>
#include <QLabel>
#include <QPixmap>

void ShowDialogPicture(QLabel& label, const QString& fileName)
{
    const QString picture = ProgramFolder() + QStringLiteral("recom/") + fileName;
    QPixmap pixmap;
    if (!QFileInfo(picture).isFile() || !pixmap.load(picture))
        throw EInvalidGraphic(QStringLiteral("Cannot open file \"%1\"").arg(picture));
    label.setPixmap(pixmap);
}
