// The BMP file format: the two headers as packed little-endian records, the size rules
// that tie header, colour table and pixel rows together, and the byte stream of a file.
// No operating system: the Win32 side checks these records against its own structures.
#ifndef KELVARIN_CAPTURE_BMP_FORMAT_H
#define KELVARIN_CAPTURE_BMP_FORMAT_H

#include <stddef.h>
#include <stdint.h>

// Both records are written to disk as they lie in memory, which is the file's byte order
// only on a little-endian machine (every machine this program runs on).
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "BMP records are little-endian");

#pragma pack(push, 1)
// BITMAPINFOHEADER, 40 bytes.
struct BmpInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;  // positive: the bottom row comes first
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};

// BITMAPFILEHEADER, 14 bytes: no gap after the 2-byte type.
struct BmpFileHeader {
    uint16_t bfType;
    uint32_t bfSize;
    uint16_t bfReserved1;
    uint16_t bfReserved2;
    uint32_t bfOffBits;
};

// RGBQUAD.
struct BmpPaletteEntry {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
};
#pragma pack(pop)

static_assert(sizeof(BmpInfoHeader) == 40, "BITMAPINFOHEADER is 40 bytes");
static_assert(sizeof(BmpFileHeader) == 14, "BITMAPFILEHEADER is 14 bytes");
static_assert(sizeof(BmpPaletteEntry) == 4, "RGBQUAD is 4 bytes");

enum { BMP_FILE_TYPE = 0x4D42 };  // the bytes 'B', 'M'

// Clears the header and fills it for an uncompressed bitmap; biSizeImage last, from the
// rest of it.
bool InitDibHeader(BmpInfoHeader* header, int32_t width, int32_t height, uint16_t bitCount);

// Size rules. Each is a signed count; -1 means the header has no such size (a bit count
// without a palette size, a negative width, or a size beyond 32 bits). A negative height
// gives a negative image size, as the rules make it.
int32_t BmpPaletteEntries(const BmpInfoHeader& header);
int32_t BmpRowStride(const BmpInfoHeader& header);
int32_t BmpImageSize(const BmpInfoHeader& header);
int32_t BmpPixelOffset(const BmpInfoHeader& header);
int32_t BmpFileSize(const BmpInfoHeader& header);

bool FillBmpFileHeader(BmpFileHeader* file, const BmpInfoHeader& info);

// Whether a file can be written from this header: an uncompressed bottom-up bitmap of at
// least one pixel, a bit count with a palette size, biSizeImage as the rules give it, and
// a file size that fits 32 bits. Top-down bitmaps are refused: the program never makes
// them, and a file is better not written than written in a form it never tested.
bool IsWritableBmp(const BmpInfoHeader& info);

// Takes the bytes of a file in order; false (a short write) stops the file.
typedef bool (*BmpSink)(void* context, const void* bytes, size_t size);

// Passes file header, info header, colour table (none for 16 bits and more) and pixel rows
// to sink in file order, stopping at the first piece it refuses. The pixel rows go in one
// piece, unchanged: a bottom-up DIB section's memory is the file's pixel layout. The
// header must be writable (IsWritableBmp).
bool WriteBmpBytes(const BmpInfoHeader& info, const BmpPaletteEntry* palette, const void* pixels,
                   BmpSink sink, void* context);

#endif
