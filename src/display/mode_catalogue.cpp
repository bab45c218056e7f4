// Display mode catalogue logic: sorting the driver's mode list into menu order and
// keeping one record per colour depth and size.
#include "display/mode_catalogue.h"

#include <string.h>

#include "base/text.h"

namespace {

int CompareUnsigned(uint32_t a, uint32_t b) {
    // Never a - b: the difference of two 32-bit fields does not fit an int.
    if (a > b) {
        return 1;
    }
    if (a < b) {
        return -1;
    }
    return 0;
}

int CompareSizeFields(const DisplayModeRecord* a, const DisplayModeRecord* b) {
    int order = CompareUnsigned(a->dmBitsPerPel, b->dmBitsPerPel);
    if (order == 0) {
        order = CompareUnsigned(a->dmPelsWidth, b->dmPelsWidth);
    }
    if (order == 0) {
        order = CompareUnsigned(a->dmPelsHeight, b->dmPelsHeight);
    }
    return order;
}

}  // namespace

int CompareDisplayModes(const void* a, const void* b) {
    const DisplayModeRecord* left = static_cast<const DisplayModeRecord*>(a);
    const DisplayModeRecord* right = static_cast<const DisplayModeRecord*>(b);
    int order = CompareSizeFields(left, right);
    if (order == 0) {
        // Highest rate first, so that de-duplication by size keeps it.
        order = CompareUnsigned(right->dmDisplayFrequency, left->dmDisplayFrequency);
    }
    return order;
}

int CompareDisplaySizes(const void* a, const void* b) {
    return CompareSizeFields(static_cast<const DisplayModeRecord*>(a),
                             static_cast<const DisplayModeRecord*>(b));
}

int RemoveAdjacentDuplicates(void* base, int count, size_t size,
                             int (*compare)(const void*, const void*)) {
    if (count <= 0) {
        return 0;
    }
    unsigned char* const first = static_cast<unsigned char*>(base);
    unsigned char* const last = first + static_cast<size_t>(count - 1) * size;
    unsigned char* out = first;
    unsigned char* scan = first;
    for (;;) {
        // Stretch of elements each unlike its successor; it ends on the last element
        // or on the first of a run of equals.
        unsigned char* end = scan;
        while (end < last && compare(end, end + size) != 0) {
            end += size;
        }
        const size_t length = static_cast<size_t>(end - scan) + size;
        memmove(out, scan, length);  // out never passes scan, but may overlap it
        out += length;
        const unsigned char* kept = out - size;
        unsigned char* next = end + size;
        while (next <= last && compare(kept, next) == 0) {
            next += size;
        }
        if (next > last) {
            break;
        }
        scan = next;
    }
    return static_cast<int>(static_cast<size_t>(out - first) / size);
}

int CountSameDepth(const DisplayModeRecord* table, int count, int index) {
    if (index < 0 || index >= count) {
        return 0;
    }
    const uint32_t depth = table[index].dmBitsPerPel;
    int end = index + 1;
    while (end < count && table[end].dmBitsPerPel == depth) {
        ++end;
    }
    return end - index;
}

bool IsSameDisplayMode(const DisplayModeRecord* a, const DisplayModeRecord* b) {
    return CompareDisplayModes(a, b) == 0;
}

void PrepareModeQuery(DisplayModeRecord* record) {
    memset(record, 0, sizeof(*record));
    record->dmSize = kDisplayModeRecordSize;
    record->dmFields = kModeQueryFields;
}

int BuildDisplayModeTableFrom(DisplayModeRecord* table, int capacity,
                              DisplayModeEnumerator enumerate, void* context) {
    // One scratch record for the whole listing: the driver sees what it wrote last time.
    DisplayModeRecord scratch;
    PrepareModeQuery(&scratch);
    if (capacity <= 0) {
        return 0;
    }
    int listed = 0;
    for (uint32_t index = 0;; ++index) {
        // The rest of the record is left as the last call wrote it, but not the two sizes: a
        // driver's own dmSize or dmDriverExtra would let the next call write past it.
        scratch.dmSize = kDisplayModeRecordSize;
        scratch.dmDriverExtra = 0;
        if (!enumerate(context, index, &scratch)) {
            break;
        }
        memcpy(&table[listed], &scratch, sizeof(scratch));
        ++listed;
        if (listed >= capacity) {
            break;  // later modes are never asked for
        }
    }
    if (listed == 0) {
        return 0;
    }
    SortRecords(table, static_cast<size_t>(listed), sizeof(DisplayModeRecord), CompareDisplayModes);
    const int kept =
        RemoveAdjacentDuplicates(table, listed, sizeof(DisplayModeRecord), CompareDisplaySizes);
    return kept < 0 ? 0 : kept;
}
