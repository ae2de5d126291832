#pragma once
// Text file encodings and the safe replacement of files.
//
// Text files are read as UTF-8 when their bytes are valid UTF-8 (a leading byte order mark
// is skipped) and as Windows-1252 otherwise; they are written as UTF-8 without a byte order
// mark. HTML pages without a declared character set are written in Windows-1252 with numeric
// character references for everything outside it.
#include "platform/vcl/SafeFile.h"

#include <QByteArray>
#include <QString>

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(const QByteArray& bytes);

// UTF-8 (without a leading byte order mark) when valid, else Windows-1252. Bytes that start
// with the UTF-8 byte order mark are always UTF-8 (a bad sequence gives U+FFFD).
QString DecodeText(const QByteArray& bytes);
// Windows-1252; the five unassigned bytes give U+0081, U+008D, U+008F, U+0090, U+009D.
QString DecodeWindows1252(const QByteArray& bytes);
// UTF-8 without a byte order mark.
QByteArray EncodeText(const QString& text);
// Windows-1252, every character outside it as "&#N;" (N decimal code point).
QByteArray EncodeWindows1252Html(const QString& text);

// The whole file. A missing or unreadable file raises EInOutError
// "Cannot open file \"<name>\". <reason>" (ErrorCode 2 when the file does not exist, else 5).
QByteArray ReadFileBytes(const QString& fileName);
// DecodeText(ReadFileBytes(fileName)).
QString ReadTextFile(const QString& fileName);

// UTF-8 for a text file: EncodeText, with a byte order mark in front only when the text itself
// starts with U+FEFF (which the reader would otherwise take for the mark and drop).
QByteArray EncodeTextFile(const QString& text);

// True for an existing regular file that is not to be replaced: its mode grants no write
// access to anyone (also when running as root), or this user may not write it.
bool IsWriteProtected(const QString& fileName);

// WriteFileSafely, the replacement of a file as a whole, lives in SafeFile.h.
