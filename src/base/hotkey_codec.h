// Translation between a HotkeySpec and the hotkey control's 16-bit value, whose high
// byte holds the control's own modifier flags. No operating system here.
#ifndef KELVARIN_BASE_HOTKEY_CODEC_H
#define KELVARIN_BASE_HOTKEY_CODEC_H

#include <stdint.h>

#include "base/app_info.h"

struct HotkeyModifierPair {
    uint8_t controlFlag;  // HOTKEYF_*
    uint8_t modifier;     // MOD_* (0x08 records the extended-key flag)
};

extern const HotkeyModifierPair HotkeyModifierMap[4];

// 0x08 in modifiers marks an extended key for the control; it is never registered.
enum { HOTKEY_EXTENDED_MODIFIER = 0x08 };

bool IsEmptyHotkey(const HotkeySpec& hotkey);
uint16_t HotkeyToControlValue(const HotkeySpec& hotkey);
HotkeySpec HotkeyFromControlValue(uint32_t value);
// The modifiers passed to RegisterHotKey.
uint32_t RegisteredModifiers(const HotkeySpec& hotkey);

#endif
