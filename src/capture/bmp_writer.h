// Writing a BMP file so that a failure never costs another file: the bytes go to a
// temporary file of a fresh name beside the target, which takes the target's name only once
// it is complete, and never the place of a file it was not allowed to replace.
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
// answers ERROR_CALL_NOT_IMPLEMENTED; there the old file first steps aside under a
// temporary name and is deleted only once the new one is in place (or goes back if the
// new one cannot be put there), so no path loses both.
bool ReplaceFileWith(const FileReplaceCalls& calls, const char* from, const char* to);

// Writes path (code page 932, in a buffer of size bytes) from the info header, its colour
// table (read only when the bit count has one) and the pixel rows. When the name is
// taken, the file gets the first free name with "-2", "-3", ... before the extension, and
// path then holds that name: only a file named exactly replaceable (may be null) is ever
// replaced. True only when the whole file is in place; on false nothing is left behind and
// no other file has changed. Headers that IsWritableBmp refuses write nothing.
bool WriteBmpFile(char* path, size_t size, const BmpInfoHeader& info,
                  const BmpPaletteEntry* palette, const void* pixels, const char* replaceable);

#endif
