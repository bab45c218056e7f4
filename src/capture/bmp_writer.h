// Writing a BMP file so that a failure never costs an earlier file: the bytes go to a
// temporary file beside the target ("kelvarin.tmp" in the same folder), which replaces the
// target only once it is complete.
#ifndef KELVARIN_CAPTURE_BMP_WRITER_H
#define KELVARIN_CAPTURE_BMP_WRITER_H

#include <windows.h>

#include "capture/bmp_format.h"

// The three calls that put a finished file in place of another.
struct FileReplaceCalls {
    BOOL(WINAPI* moveFileEx)(LPCSTR from, LPCSTR to, DWORD flags);
    BOOL(WINAPI* deleteFile)(LPCSTR path);
    BOOL(WINAPI* moveFile)(LPCSTR from, LPCSTR to);
};

// Moves from onto to, replacing to if it exists. Windows 95 exports MoveFileExA but
// answers ERROR_CALL_NOT_IMPLEMENTED; there the old file is deleted and the new one
// renamed, which is not atomic but is the best that system offers.
bool ReplaceFileWith(const FileReplaceCalls& calls, const char* from, const char* to);

// Writes path (code page 932) from the info header, its colour table (read only when the
// bit count has one) and the pixel rows. True only when the whole file is in place; on
// false nothing is left behind and an earlier file of that name is unchanged. Headers
// that IsWritableBmp refuses write nothing.
bool WriteBmpFile(const char* path, const BmpInfoHeader& info, const BmpPaletteEntry* palette,
                  const void* pixels);

#endif
