#pragma once
// Gallery.ini in the program folder: the gallery's settings (section SETTINGS) and the FTP
// access data (section FTP), password included. The file is kept readable by its owner only.
#include <QString>

// The program folder's Gallery.ini.
QString GalleryIniPath();
// Makes Gallery.ini readable and writable by its owner only (when it exists).
void ProtectGalleryIni();
