#include "shell/core/MediaBackend.h"

#include <QByteArray>
#include <QtGlobal>

void UseFfmpegMediaBackend()
{
    qputenv("QT_MEDIA_BACKEND", QByteArrayLiteral("ffmpeg"));
}
