// Temporary-file-then-replace BMP writing (see bmp_writer.h).
#include "capture/bmp_writer.h"

#include <stddef.h>

#include "app/sjis.h"
#include "app/text.h"

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

// The temporary file: in path's folder (a bare name's folder is the current directory), so
// that the final rename never crosses a volume, and under a name no longer than the
// program's capture names, so that it fits wherever a capture path fits. A single
// instance writes one file at a time, so one fixed name serves; one left by a crash is
// simply overwritten.
const char kTemporaryName[] = "kelvarin.tmp";

bool TemporaryPathBeside(const char* path, char* temp, size_t size) {
    CopyTextBounded(temp, path, size);
    if (TextLength(temp) != TextLength(path))
        return false;
    char* name = RemoveLastComponent(temp);
    if (lstrcmpiA(name, kTemporaryName) == 0)
        return false;  // the target is the temporary file itself
    size_t folder = name == temp ? 0 : (size_t)(name - temp);  // up to and with the separator
    if (folder + sizeof kTemporaryName > size)
        return false;
    if (folder > 0)
        temp[folder - 1] = '\\';
    memcpy(temp + folder, kTemporaryName, sizeof kTemporaryName);
    return true;
}

// Plain WriteFile on a handle: the C runtime's streams would add a buffer copy and, under
// Wine, more calls into the server per file than the rename that follows.
bool WriteToFile(void* file, const void* bytes, size_t size) {
    DWORD written = 0;
    return WriteFile((HANDLE)file, bytes, (DWORD)size, &written, NULL) && written == size;
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
    char temp[MAX_PATH + 1];
    if (!IsWritableBmp(info) || !TemporaryPathBeside(path, temp, sizeof temp))
        return false;
    HANDLE file =
        CreateFileA(temp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool written = WriteBmpBytes(info, palette, pixels, WriteToFile, file);
    written = CloseHandle(file) && written;
    if (written && ReplaceFileWith(kSystemCalls, temp, path))
        return true;
    DeleteFileA(temp);
    return false;
}
