// Temporary-file-then-replace BMP writing (see bmp_writer.h).
#include "capture/bmp_writer.h"

#include <stddef.h>

#include "base/sjis.h"
#include "base/text.h"

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

const DWORD kTemporaryTries = 100;
const unsigned kLastNumber = 999;  // "-999" is the last numbered name tried

// CREATE_NEW answers ERROR_FILE_EXISTS, a move onto an existing name ERROR_ALREADY_EXISTS.
bool NameTaken() {
    DWORD error = GetLastError();
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

// Hands claim "kelXXXX.tmp" names in path's folder (a bare name's folder is the current
// directory) until it takes one, passing over a name only while it is taken. The same
// folder keeps the final rename on one volume; the names are no longer than the program's
// capture names, so they fit wherever a capture path fits; the start varies so that two
// writers in one folder do not walk the same names in step.
template <typename Claim>
bool ClaimTemporaryName(const char* path, char* temp, size_t size, Claim claim) {
    CopyTextBounded(temp, path, size);
    if (TextLength(temp) != TextLength(path))
        return false;
    char* name = RemoveLastComponent(temp);
    size_t folder = name == temp ? 0 : (size_t)(name - temp);  // up to and with the separator
    if (folder > 0)
        temp[folder - 1] = '\\';
    const DWORD start = GetTickCount();
    for (DWORD i = 0; i < kTemporaryTries; ++i) {
        int length = FormatText(temp + folder, size - folder, "kel%04X.tmp",
                                (unsigned)((start + i) & 0xFFFF));
        if ((size_t)length >= size - folder)
            return false;
        if (claim(temp))
            return true;
        if (!NameTaken())
            return false;
    }
    return false;
}

// Renames the finished temporary file to path or, while names are taken, to the next
// numbered one; path then holds the name used (or, on failure, the name asked for).
bool PlaceFile(const char* temp, char* path, size_t size, const char* replaceable) {
    char wanted[MAX_PATH + 1];
    CopyTextBounded(wanted, path, sizeof wanted);
    const char* extension = FindExtension(wanted);
    for (unsigned number = 1; number <= kLastNumber; ++number) {
        if (number > 1) {
            size_t stem = (size_t)(extension - wanted);
            if (stem >= size)
                break;
            for (size_t i = 0; i < stem; ++i)
                path[i] = wanted[i];
            int length = FormatText(path + stem, size - stem, "-%u%s", number, extension);
            if ((size_t)length >= size - stem)
                break;
        }
        const bool own = replaceable != NULL && lstrcmpiA(path, replaceable) == 0;
        if (own ? ReplaceFileWith(kSystemCalls, temp, path) : MoveFileA(temp, path) != FALSE)
            return true;
        // The file it may replace can be held open by a viewer: then the next free name.
        // A DOS-style rename onto a taken name may answer "access denied" rather than
        // "exists" (Windows 9x): a name that is there now is taken, whatever the error.
        if (!own && !NameTaken() && GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            break;
    }
    CopyTextBounded(path, wanted, size);
    return false;
}

// Plain WriteFile on a handle: the C runtime's streams would add a buffer copy and, under
// Wine, more calls into the server per file than the rename that follows. At most 1 MB a
// call: one write of 64 MB or more to a network share fails on XP and Server 2003, and
// the picture of several large monitors is bigger than that.
const size_t kWritePiece = 1024 * 1024;

bool WriteToFile(void* file, const void* bytes, size_t size) {
    const char* next = (const char*)bytes;
    for (size_t left = size; left > 0;) {
        const DWORD piece = (DWORD)(left < kWritePiece ? left : kWritePiece);
        DWORD written = 0;
        if (!WriteFile((HANDLE)file, next, piece, &written, NULL) || written != piece)
            return false;
        next += piece;
        left -= piece;
    }
    return true;
}

}  // namespace

bool ReplaceFileWith(const FileReplaceCalls& calls, const char* from, const char* to) {
    if (calls.moveFileEx(from, to, MOVEFILE_REPLACE_EXISTING))
        return true;
    if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
        return false;
    char aside[MAX_PATH + 1];
    const bool stepped = ClaimTemporaryName(to, aside, sizeof aside, [&](const char* name) {
        return calls.moveFile(to, name) != FALSE;
    });
    if (calls.moveFile(from, to)) {
        if (stepped)
            calls.deleteFile(aside);
        return true;
    }
    if (stepped)
        calls.moveFile(aside, to);
    return false;
}

bool WriteBmpFile(char* path, size_t size, const BmpInfoHeader& info,
                  const BmpPaletteEntry* palette, const void* pixels, const char* replaceable) {
    // CREATE_NEW: neither a user's file nor a link planted under the name is written through.
    HANDLE file = INVALID_HANDLE_VALUE;
    char temp[MAX_PATH + 1];
    if (!IsWritableBmp(info) || !ClaimTemporaryName(path, temp, sizeof temp, [&](const char* name) {
            file =
                CreateFileA(name, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
            return file != INVALID_HANDLE_VALUE;
        })) {
        return false;
    }
    bool written = WriteBmpBytes(info, palette, pixels, WriteToFile, file);
    written = CloseHandle(file) && written;
    if (written && PlaceFile(temp, path, size, replaceable))
        return true;
    DeleteFileA(temp);
    return false;
}
