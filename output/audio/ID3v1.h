#pragma once
// TID3v1: the 128-byte tag at the end of an MP3 file. The readers only need to know that the
// last 128 bytes can be read; the tag's fields are kept for completeness.
#include <QString>

class TByteSource;

class TID3v1 {
public:
    bool Exists = false;  // the last 128 bytes begin with "TAG"
    QString Title;
    QString Artist;
    QString Album;
    QString Year;
    QString Comment;

    void ResetData();
    // False when the file has fewer than 128 bytes or cannot be read.
    bool ReadFromFile(const QString& fileName);
    bool Read(TByteSource& source);
};
