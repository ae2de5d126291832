#pragma once
// Result codes of the imaging kernel.
//
// Every L_ function returns LE_SUCCESS (1) on success and 0 or a negative code on failure.
// The codes are those of the program's error table (its texts live in imaging/LErrCode);
// the names below are the ones the kernel itself uses.

inline constexpr int LE_SUCCESS = 1;
inline constexpr int LE_FAILURE = 0;                 // "Function not successful"
inline constexpr int LE_NO_MEMORY = -1;              // also: a declared size beyond the memory limit
inline constexpr int LE_NO_BITMAP = -2;              // the bitmap is not allocated / handle missing
inline constexpr int LE_FILE_SEEK = -4;
inline constexpr int LE_FILE_WRITE = -5;             // the output could not be created or written
inline constexpr int LE_FILE_GONE = -6;
inline constexpr int LE_FILE_READ = -7;              // read error, truncated or damaged data
inline constexpr int LE_INVALID_FILENAME = -8;       // no file name given
inline constexpr int LE_FILE_FORMAT = -9;            // not a picture the kernel knows
inline constexpr int LE_FILE_NOT_FOUND = -10;
inline constexpr int LE_INVALID_SIZE = -11;          // width or height zero, negative or absurd
inline constexpr int LE_SUBTYPE_NOT_SUPPORTED = -12; // known format, sub-type not readable
inline constexpr int LE_INVALID_PARAMETER = -13;
inline constexpr int LE_FILE_OPEN = -14;             // the input exists but cannot be opened
inline constexpr int LE_UNKNOWN_COMPRESSION = -15;
inline constexpr int LE_NOT_SUPPORTED = -16;         // e.g. a save format the kernel does not write
inline constexpr int LE_CRC = -19;                   // a checksum of the data does not match
inline constexpr int LE_INVALID_QFACTOR = -21;       // JPEG quality factor outside 2..255
inline constexpr int LE_INVALID_BITS = -27;          // bits per pixel the call cannot take
inline constexpr int LE_STOP_PAGES = -29;            // a load-row callback: the wanted pages are in
inline constexpr int LE_USER_ABORT = -100;           // a callback stopped the operation
inline constexpr int LE_PAGE_NOT_FOUND = -310;       // page number beyond the file's pages
