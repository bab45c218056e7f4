// BMP headers, size rules and the file's byte stream (see bmp_format.h).
#include "capture/bmp_format.h"

#include <string.h>

namespace {

const int32_t kNoSize = -1;
const int32_t kHeadersSize = (int32_t)(sizeof(BmpFileHeader) + sizeof(BmpInfoHeader));

// A 64-bit intermediate as a count, or kNoSize when it does not fit.
int32_t ToCount(int64_t value) {
    return value > INT32_MAX || value < INT32_MIN ? kNoSize : (int32_t)value;
}

}  // namespace

bool InitDibHeader(BmpInfoHeader* header, int32_t width, int32_t height, uint16_t bitCount) {
    memset(header, 0, sizeof *header);
    header->biWidth = width;
    header->biHeight = height;
    header->biBitCount = bitCount;
    header->biSize = sizeof *header;
    header->biPlanes = 1;
    header->biSizeImage = (uint32_t)BmpImageSize(*header);
    return true;
}

int32_t BmpPaletteEntries(const BmpInfoHeader& header) {
    switch (header.biBitCount) {
        case 1:
            return 2;
        case 2:
            return 4;
        case 4:
            return 16;
        case 8:
            return 256;
        case 16:
        case 24:
        case 32:
            return 0;
        default:
            return kNoSize;
    }
}

// Rows are whole 32-bit words.
int32_t BmpRowStride(const BmpInfoHeader& header) {
    if (header.biWidth < 0)
        return kNoSize;
    int64_t bits = (int64_t)header.biWidth * header.biBitCount;
    return ToCount((bits + 31) / 32 * 4);
}

int32_t BmpImageSize(const BmpInfoHeader& header) {
    int32_t stride = BmpRowStride(header);
    return stride < 0 ? kNoSize : ToCount((int64_t)stride * header.biHeight);
}

int32_t BmpPixelOffset(const BmpInfoHeader& header) {
    int32_t entries = BmpPaletteEntries(header);
    return entries < 0 ? kNoSize : kHeadersSize + 4 * entries;
}

int32_t BmpFileSize(const BmpInfoHeader& header) {
    int32_t offset = BmpPixelOffset(header);
    int32_t image = BmpImageSize(header);
    return offset < 0 || image < 0 ? kNoSize : ToCount((int64_t)offset + image);
}

bool FillBmpFileHeader(BmpFileHeader* file, const BmpInfoHeader& info) {
    memset(file, 0, sizeof *file);
    file->bfReserved1 = 0;
    file->bfReserved2 = 0;
    file->bfOffBits = (uint32_t)BmpPixelOffset(info);
    file->bfType = BMP_FILE_TYPE;
    file->bfSize = (uint32_t)BmpFileSize(info);
    return true;
}

bool IsWritableBmp(const BmpInfoHeader& info) {
    return info.biSize == sizeof info && info.biPlanes == 1 && info.biCompression == 0 &&
           info.biWidth > 0 && info.biHeight > 0 && BmpPaletteEntries(info) >= 0 &&
           BmpFileSize(info) > 0 && info.biSizeImage == (uint32_t)BmpImageSize(info);
}

bool WriteBmpBytes(const BmpInfoHeader& info, const BmpPaletteEntry* palette, const void* pixels,
                   BmpSink sink, void* context) {
    BmpFileHeader file;
    FillBmpFileHeader(&file, info);
    size_t entries = (size_t)BmpPaletteEntries(info);
    return sink(context, &file, sizeof file) && sink(context, &info, sizeof info) &&
           (entries == 0 || sink(context, palette, entries * sizeof *palette)) &&
           sink(context, pixels, info.biSizeImage);
}
