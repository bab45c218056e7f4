// Temporary-file-then-replace BMP writing (see bmp_writer.h).
#include "capture/bmp_writer.h"

#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "app/sjis.h"

// The records the system's calls take are these bytes exactly.
#define KELVARIN_SAME_FIELD(ours, theirs, field)                                \
    static_assert(offsetof(ours, field) == offsetof(theirs, field) &&           \
                      sizeof(((ours*)0)->field) == sizeof(((theirs*)0)->field), \
                  #field)
static_assert(sizeof(BmpInfoHeader) == sizeof(BITMAPINFOHEADER), "info header size");
static_assert(sizeof(BmpFileHeader) == sizeof(BITMAPFILEHEADER), "file header size");
static_assert(sizeof(BmpPaletteEntry) == sizeof(RGBQUAD), "palette entry size");
KELVARIN_SAME_FIELD(BmpInfoHeader, BITMAPINFOHEADER, biSize);
KELVARIN_SAME_FIELD(BmpInfoHeader, BITMAPINFOHEADER, biWidth);
KELVARIN_SAME_FIELD(BmpInfoHeader, BITMAPINFOHEADER, biHeight);
KELVARIN_SAME_FIELD(BmpInfoHeader, BITMAPINFOHEADER, biPlanes);
KELVARIN_SAME_FIELD(BmpInfoHeader, BITMAPINFOHEADER, biBitCount);
KELVARIN_SAME_FIELD(BmpInfoHeader, BITMAPINFOHEADER, biCompression);
KELVARIN_SAME_FIELD(BmpInfoHeader, BITMAPINFOHEADER, biSizeImage);
KELVARIN_SAME_FIELD(BmpInfoHeader, BITMAPINFOHEADER, biXPelsPerMeter);
KELVARIN_SAME_FIELD(BmpInfoHeader, BITMAPINFOHEADER, biYPelsPerMeter);
KELVARIN_SAME_FIELD(BmpInfoHeader, BITMAPINFOHEADER, biClrUsed);
KELVARIN_SAME_FIELD(BmpInfoHeader, BITMAPINFOHEADER, biClrImportant);
KELVARIN_SAME_FIELD(BmpFileHeader, BITMAPFILEHEADER, bfType);
KELVARIN_SAME_FIELD(BmpFileHeader, BITMAPFILEHEADER, bfSize);
KELVARIN_SAME_FIELD(BmpFileHeader, BITMAPFILEHEADER, bfReserved1);
KELVARIN_SAME_FIELD(BmpFileHeader, BITMAPFILEHEADER, bfReserved2);
KELVARIN_SAME_FIELD(BmpFileHeader, BITMAPFILEHEADER, bfOffBits);
KELVARIN_SAME_FIELD(BmpPaletteEntry, RGBQUAD, rgbBlue);
KELVARIN_SAME_FIELD(BmpPaletteEntry, RGBQUAD, rgbReserved);
#undef KELVARIN_SAME_FIELD

namespace {

const FileReplaceCalls kSystemCalls = {MoveFileExA, DeleteFileA, MoveFileA};

// A new, empty, uniquely named file in path's folder (a bare name's folder is the current
// directory), so that the final rename never crosses a volume.
bool CreateTemporaryBeside(const char* path, char* temp) {
    char folder[MAX_PATH + 1];
    CopyTextBounded(folder, path, sizeof folder);
    if (strlen(folder) != strlen(path))
        return false;
    char* name = RemoveLastComponent(folder);
    if (name == folder) {
        strcpy(folder, ".");
    } else {
        name[-1] = '\\';  // keep the separator: "C:" alone means drive C's current folder
        name[0] = '\0';
    }
    return GetTempFileNameA(folder, "kvc", 0, temp) != 0;
}

}  // namespace

bool ReplaceFileWith(const FileReplaceCalls& calls, const char* from, const char* to) {
    if (calls.moveFileEx(from, to, MOVEFILE_REPLACE_EXISTING))
        return true;
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
        return false;
    calls.deleteFile(to);  // a missing file is no obstacle; the move below tells
    return calls.moveFile(from, to) != FALSE;
}

bool WriteBmpFile(const char* path, const BmpInfoHeader& info, const BmpPaletteEntry* palette,
                  const void* pixels) {
    char temp[MAX_PATH];
    if (!IsWritableBmp(info) || !CreateTemporaryBeside(path, temp))
        return false;
    bool written = false;
    FILE* stream = fopen(temp, "wb");
    if (stream != NULL) {
        written = WriteBmpStream(stream, info, palette, pixels);
        written = fclose(stream) == 0 && written;
    }
    if (written && ReplaceFileWith(kSystemCalls, temp, path))
        return true;
    DeleteFileA(temp);
    return false;
}
