// Display mode catalogue logic: ordering, de-duplication and grouping of display mode
// records, with no operating-system call so that it builds and runs anywhere.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The 148-byte DEVMODEA of Windows 95 and NT 4.0 (ending with dmReserved2, no panning
// fields). The catalogue stores whole records because they go back to the system
// unchanged when a mode is chosen; the Win32 side checks this layout against DEVMODEA.
struct DisplayModeRecord {
    uint8_t dmDeviceName[32];
    uint16_t dmSpecVersion;
    uint16_t dmDriverVersion;
    uint16_t dmSize;
    uint16_t dmDriverExtra;
    uint32_t dmFields;
    // Printer fields (dmOrientation .. dmPrintQuality) or, for displays, dmPosition,
    // dmDisplayOrientation and dmDisplayFixedOutput. Neither view is read here.
    uint8_t dmPrinterOrPosition[16];
    int16_t dmColor;
    int16_t dmDuplex;
    int16_t dmYResolution;
    int16_t dmTTOption;
    int16_t dmCollate;
    uint8_t dmFormName[32];
    uint16_t dmLogPixels;
    uint32_t dmBitsPerPel;
    uint32_t dmPelsWidth;
    uint32_t dmPelsHeight;
    uint32_t dmDisplayFlags;
    uint32_t dmDisplayFrequency;
    uint32_t dmICMMethod;
    uint32_t dmICMIntent;
    uint32_t dmMediaType;
    uint32_t dmDitherType;
    uint32_t dmReserved1;
    uint32_t dmReserved2;
};

// The dmSize the catalogue hands to the system, and the dmFields of a query record
// (DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT).
const uint16_t kDisplayModeRecordSize = 148;
const uint32_t kModeQueryFields = 0x001C0000;

static_assert(sizeof(DisplayModeRecord) == kDisplayModeRecordSize, "148-byte DEVMODEA form");
static_assert(offsetof(DisplayModeRecord, dmSize) == 36, "DEVMODEA layout");
static_assert(offsetof(DisplayModeRecord, dmFields) == 40, "DEVMODEA layout");
static_assert(offsetof(DisplayModeRecord, dmColor) == 60, "DEVMODEA layout");
static_assert(offsetof(DisplayModeRecord, dmFormName) == 70, "DEVMODEA layout");
static_assert(offsetof(DisplayModeRecord, dmLogPixels) == 102, "DEVMODEA layout");
static_assert(offsetof(DisplayModeRecord, dmBitsPerPel) == 104, "DEVMODEA layout");
static_assert(offsetof(DisplayModeRecord, dmPelsWidth) == 108, "DEVMODEA layout");
static_assert(offsetof(DisplayModeRecord, dmPelsHeight) == 112, "DEVMODEA layout");
static_assert(offsetof(DisplayModeRecord, dmDisplayFlags) == 116, "DEVMODEA layout");
static_assert(offsetof(DisplayModeRecord, dmDisplayFrequency) == 120, "DEVMODEA layout");
static_assert(offsetof(DisplayModeRecord, dmICMMethod) == 124, "DEVMODEA layout");
static_assert(offsetof(DisplayModeRecord, dmReserved2) == 144, "DEVMODEA layout");

// qsort comparators over two DisplayModeRecords, returning -1, 0 or +1.
// CompareDisplayModes: depth, width, height ascending, then refresh rate descending.
// CompareDisplaySizes: depth, width, height only (the rate is ignored).
// All four fields compare as unsigned 32-bit numbers.
int CompareDisplayModes(const void* a, const void* b);
int CompareDisplaySizes(const void* a, const void* b);

// Keeps the first element of every run of adjacent elements that compare equal (only
// zero / non-zero of compare matters), in place and in order; returns how many remain.
int RemoveAdjacentDuplicates(void* base, int count, size_t size,
                             int (*compare)(const void*, const void*));

// Length of the run of entries from index (inclusive) sharing entry index's colour depth;
// 0 when index is outside 0 .. count-1.
int CountSameDepth(const DisplayModeRecord* table, int count, int index);

// True when depth, width, height and refresh rate are all equal; other fields are ignored.
bool IsSameDisplayMode(const DisplayModeRecord* a, const DisplayModeRecord* b);

// Readies a record for a mode query: every byte zero, dmSize 148, dmFields kModeQueryFields.
void PrepareModeQuery(DisplayModeRecord* record);

// Fills scratch with the mode the driver lists at index; false when there is none.
// scratch still holds the previous call's record, but for dmSize (148) and dmDriverExtra (0).
typedef bool (*DisplayModeEnumerator)(void* context, uint32_t index, DisplayModeRecord* scratch);

// Lists modes through enumerate from index 0 until it fails or capacity records are held,
// sorts them with CompareDisplayModes and keeps one record per (depth, width, height), the
// one with the highest rate. Returns the number of entries, 0 when there are none.
int BuildDisplayModeTableFrom(DisplayModeRecord* table, int capacity,
                              DisplayModeEnumerator enumerate, void* context);
