// The settings store: AppInfo in the INI file beside the executable, and the small INI
// routines the tool windows use for their own sections of the same file.
#ifndef KELVARIN_BASE_SETTINGS_H
#define KELVARIN_BASE_SETTINGS_H

#include <windows.h>

#include "base/app_info.h"

enum { MODULE_PATH_SIZE = 261 };

extern const char kSettingsSection[];
extern const char kKeyShowLoupe[];
extern const char kKeyShowCurInf[];
extern const char kKeySaveFolder[];
extern const char kKeyHotkeyCapture[];
extern const char kKeyHotkeySetWallpaper[];
extern const char kKeyHotkeyRemoveWallpaper[];

// GetModuleFileNameA that also fails when the path was cut to fit (the buffer is then
// left empty).
bool GetWholeModuleFileName(HMODULE module, char* out, DWORD size);
// The executable's full path, lowercased, with its extension replaced by extension
// (with its dot) when one is given. False when the path cannot be obtained.
BOOL GetModulePath(char* out, DWORD size, const char* extension);
// The executable's folder, without a trailing separator and not lowercased.
BOOL GetModuleDirectory(char* out, DWORD size);

bool ReadIniBool(const char* file, const char* section, const char* key, bool fallback);
int ReadIniInt(const char* file, const char* section, const char* key, int fallback);
BOOL WriteIniBool(const char* file, const char* section, const char* key, bool value);
BOOL WriteIniInt(const char* file, const char* section, const char* key, int value);
// Puts the profile writes of file on disk: Windows 9x keeps them in a cache and reports
// success before anything is written. False when the file is not there afterwards.
bool FlushIniFile(const char* file);

BOOL LoadSettings(AppInfo* info);
// TRUE only when every key was written.
BOOL SaveSettings(const AppInfo* info);

#endif
