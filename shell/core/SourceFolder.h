#pragma once
// Widget-free rules of the source folder: the flat file name of a path that keys the
// thumbnail cache, the names of the JPEG copies made of other picture formats, and the
// display names of the imaging kernel's file formats.
#include <QString>
#include <QtGlobal>

// The flat name of a path, character by character:
//   blank ' . - ! $ % = " § ? , ´ ` € é á ú ó ê â û ô  become '_'
//   &                                                 becomes 'a'
//   * : ( ) \ / > <                                   become 'x'
// then ä ö ü Ä Ö Ü ß expand to ae oe ue Ae Oe Ue ss, and A to Z are lower-cased (other
// letters keep their case): "/Fotos/Bild-1.JPG" -> "xfotosxbild_1_jpg".
QString MakeDosName(const QString& path);

// The file name in the thumbnail cache for the picture at path with that size in bytes and
// modification time (milliseconds since the epoch): MakeDosName(path) + "_" + size + "_" +
// time + ".jpg". Another file put under the same path gets another entry. A flat name over 200
// bytes is cut and ends in "_" and 12 hex digits of the whole path's hash, so the cache name
// stays a valid file name for any path.
QString ThumbnailCacheName(const QString& path, qint64 size, qint64 modifiedMs);

// The suffix of the JPEG copy for a picture whose upper-cased name contains ext (".TIF",
// ".GIF", ".JPEG", ".BMP"): "_tiff.jpg", "_gif.jpg", "_jpeg.jpg", "_bmp.jpg"; "" otherwise.
QString ConvertedCopySuffix(const QString& upperExt);

// The display name of a kernel file format number; "NOT SUPPORTED" for numbers without one.
QString FileFormatName(int format);
