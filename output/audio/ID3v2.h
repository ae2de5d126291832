#pragma once
// TID3v2: the ID3 version 2 tag at the start of an MP3 file, read for where the audio data
// begins. Only the header is read; the tag's frames are skipped.
#include <QString>

#include <cstdint>

class TByteSource;

class TID3v2 {
public:
    bool Exists = false;       // the file starts with "ID3"
    std::uint8_t VersionID = 0;  // the tag's major version (byte 3)
    int Size = 0;              // the whole tag with its 10-byte header; 0 without a tag or
                               // when the stated size reaches beyond the file

    void ResetData();
    // Reads the 10-byte header; false when the file has fewer than 10 bytes or cannot be read.
    bool ReadFromFile(const QString& fileName);
    bool Read(TByteSource& source);
};
