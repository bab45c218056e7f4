// Win32 side of the display mode catalogue: EnumDisplaySettingsA feeds the catalogue
// logic, and records pass to the system as DEVMODEA in their 148-byte form.
#include "display/display_modes.h"

#include <stddef.h>
#include <string.h>

// DisplayModeRecord must be byte-for-byte the first 148 bytes of DEVMODEA.
static_assert(sizeof(DEVMODEA) >= sizeof(DisplayModeRecord), "DEVMODEA shorter than 148 bytes");
static_assert(offsetof(DEVMODEA, dmSpecVersion) == offsetof(DisplayModeRecord, dmSpecVersion),
              "DEVMODEA layout");
static_assert(offsetof(DEVMODEA, dmSize) == offsetof(DisplayModeRecord, dmSize), "DEVMODEA layout");
static_assert(offsetof(DEVMODEA, dmFields) == offsetof(DisplayModeRecord, dmFields),
              "DEVMODEA layout");
static_assert(offsetof(DEVMODEA, dmPosition) == offsetof(DisplayModeRecord, dmPrinterOrPosition),
              "DEVMODEA layout");
static_assert(offsetof(DEVMODEA, dmColor) == offsetof(DisplayModeRecord, dmColor),
              "DEVMODEA layout");
static_assert(offsetof(DEVMODEA, dmCollate) == offsetof(DisplayModeRecord, dmCollate),
              "DEVMODEA layout");
static_assert(offsetof(DEVMODEA, dmFormName) == offsetof(DisplayModeRecord, dmFormName),
              "DEVMODEA layout");
static_assert(offsetof(DEVMODEA, dmLogPixels) == offsetof(DisplayModeRecord, dmLogPixels),
              "DEVMODEA layout");
static_assert(offsetof(DEVMODEA, dmBitsPerPel) == offsetof(DisplayModeRecord, dmBitsPerPel),
              "DEVMODEA layout");
static_assert(offsetof(DEVMODEA, dmPelsWidth) == offsetof(DisplayModeRecord, dmPelsWidth),
              "DEVMODEA layout");
static_assert(offsetof(DEVMODEA, dmPelsHeight) == offsetof(DisplayModeRecord, dmPelsHeight),
              "DEVMODEA layout");
static_assert(offsetof(DEVMODEA, dmDisplayFlags) == offsetof(DisplayModeRecord, dmDisplayFlags),
              "DEVMODEA layout");
static_assert(offsetof(DEVMODEA, dmDisplayFrequency) ==
                  offsetof(DisplayModeRecord, dmDisplayFrequency),
              "DEVMODEA layout");
static_assert(offsetof(DEVMODEA, dmICMMethod) == offsetof(DisplayModeRecord, dmICMMethod),
              "DEVMODEA layout");
static_assert(offsetof(DEVMODEA, dmDitherType) == offsetof(DisplayModeRecord, dmDitherType),
              "DEVMODEA layout");
static_assert(offsetof(DEVMODEA, dmReserved2) == offsetof(DisplayModeRecord, dmReserved2),
              "DEVMODEA layout");
static_assert((DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT) == kModeQueryFields, "query fields");

// Named .bss explicitly: with -fdata-sections mingw's GCC puts zero-initialised objects in a
// .data$ section, which would store the 606 KB table as zeros in the executable.
__attribute__((section(".bss"))) DisplayModeRecord DisplayModeTable[kDisplayModeTableCapacity];

namespace {

BOOL WINAPI SystemEnumerate(LPCSTR device, DWORD index, DEVMODEA* mode) {
    return EnumDisplaySettingsA(device, index, mode);
}

LONG WINAPI SystemChange(DEVMODEA* mode, DWORD flags) {
    return ChangeDisplaySettingsA(mode, flags);
}

bool EnumerateDesktopMode(void*, uint32_t index, DisplayModeRecord* scratch) {
    return DisplayModeSystem.enumerate(NULL, index, AsDevMode(scratch)) != FALSE;
}

}  // namespace

// Plain functions rather than the imports themselves, so that the table is constant data.
const DisplayModeCalls kSystemDisplayModeCalls = {SystemEnumerate, SystemChange};
DisplayModeCalls DisplayModeSystem = {SystemEnumerate, SystemChange};

int BuildDisplayModeTable(DisplayModeRecord* table, int capacity) {
    return BuildDisplayModeTableFrom(table, capacity, EnumerateDesktopMode, NULL);
}

BOOL GetDisplayModeEntry(UINT index, DisplayModeRecord* record) {
    const UINT entry = LOWORD(index);
    if (entry < static_cast<UINT>(kDisplayModeTableCapacity)) {
        memcpy(record, &DisplayModeTable[entry], sizeof(*record));
    } else {
        // Callers never pass such an index; an empty record beats reading past the table.
        memset(record, 0, sizeof(*record));
    }
    return TRUE;
}

namespace {

bool HasModeSize(const DisplayModeRecord& mode) {
    return mode.dmPelsWidth != 0 && mode.dmPelsHeight != 0 && mode.dmBitsPerPel != 0;
}

// The mode in force as the screen's device caps give it. The depth counts every plane,
// as the driver's list does for the planar 16-colour modes.
bool ReadScreenMode(DisplayModeRecord* record) {
    HDC screen = GetDC(NULL);
    if (screen == NULL)
        return false;
    record->dmPelsWidth = (DWORD)GetDeviceCaps(screen, HORZRES);
    record->dmPelsHeight = (DWORD)GetDeviceCaps(screen, VERTRES);
    record->dmBitsPerPel =
        (DWORD)(GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES));
    record->dmDisplayFrequency = (DWORD)GetDeviceCaps(screen, VREFRESH);
    ReleaseDC(NULL, screen);
    return HasModeSize(*record);
}

}  // namespace

// Windows 95 has no query of the mode in force: ENUM_CURRENT_SETTINGS fails there, or
// succeeds and leaves the record as it was. The device caps then stand in for the
// tooltip, the check mark and the way back from a refused switch.
BOOL GetCurrentDisplayMode(DisplayModeRecord* record) {
    PrepareModeQuery(record);
    if (DisplayModeSystem.enumerate(NULL, ENUM_CURRENT_SETTINGS, AsDevMode(record)) &&
        HasModeSize(*record))
        return TRUE;
    PrepareModeQuery(record);
    if (ReadScreenMode(record))
        return TRUE;
    PrepareModeQuery(record);
    return FALSE;
}
