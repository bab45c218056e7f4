// Settings store over the private-profile functions (see settings.h).
#include "base/settings.h"

#include "base/text.h"

#include "base/settings_codec.h"
#include "base/sjis.h"

const char kSettingsSection[] = "Kelvarin";
const char kKeyShowLoupe[] = "虫眼鏡を表示";
const char kKeyShowCurInf[] = "カーソル座標窓を表示";
const char kKeySaveFolder[] = "画像ファイルの保存先フォルダ";
const char kKeyHotkeyCapture[] = "ｽｸﾘｰﾝ ｷｬﾌﾟﾁｬ";
const char kKeyHotkeySetWallpaper[] = "壁紙に設定";
const char kKeyHotkeyRemoveWallpaper[] = "壁紙をはがす";

namespace {

enum { INI_VALUE_SIZE = 260 };

}  // namespace

// GetModuleFileNameA: 0 is failure, and a result equal to the size means the path was
// cut (the buffer then need not be terminated on older systems).
bool GetWholeModuleFileName(HMODULE module, char* out, DWORD size) {
    DWORD length = GetModuleFileNameA(module, out, size);
    if (length == 0 || length >= size) {
        if (size > 0)
            out[0] = '\0';
        return false;
    }
    return true;
}

BOOL GetModulePath(char* out, DWORD size, const char* extension) {
    if (!GetWholeModuleFileName(GetModuleHandleA(NULL), out, size))
        return FALSE;
    if (extension != NULL) {
        RemoveExtension(out);
        size_t length = TextLength(out);
        // A path so long that the extension does not fit would name the executable
        // itself ("...\\name."), and the settings would be written into the program.
        if (length + TextLength(extension) >= size) {
            out[0] = '\0';
            return FALSE;
        }
        CopyTextBounded(out + length, extension, size - length);
    }
    LowerAsciiLetters(out);
    return TRUE;
}

BOOL GetModuleDirectory(char* out, DWORD size) {
    if (GetWholeModuleFileName(GetModuleHandleA(NULL), out, size))
        RemoveLastComponent(out);
    return TRUE;
}

bool ReadIniBool(const char* file, const char* section, const char* key, bool fallback) {
    char value[INI_VALUE_SIZE + 1];
    GetPrivateProfileStringA(section, key, "", value, sizeof value, file);
    return ParseIniBool(value, fallback);
}

int ReadIniInt(const char* file, const char* section, const char* key, int fallback) {
    char value[INI_VALUE_SIZE];
    GetPrivateProfileStringA(section, key, "", value, sizeof value, file);
    return ParseIniInt(value, fallback);
}

BOOL WriteIniBool(const char* file, const char* section, const char* key, bool value) {
    return WriteIniInt(file, section, key, value ? 1 : 0);
}

BOOL WriteIniInt(const char* file, const char* section, const char* key, int value) {
    char text[INI_VALUE_SIZE + 1];
    FormatIniInt(text, sizeof text, value);
    return WritePrivateProfileStringA(section, key, text, file);
}

// All three names null flush the cache for the file. The call answers FALSE whether or not
// the flush worked, so the file itself is looked at instead.
bool FlushIniFile(const char* file) {
    WritePrivateProfileStringA(NULL, NULL, NULL, file);
    return GetFileAttributesA(file) != INVALID_FILE_ATTRIBUTES;
}

BOOL LoadSettings(AppInfo* info) {
    char iniPath[MODULE_PATH_SIZE];
    char defaultFolder[MODULE_PATH_SIZE];
    ZeroMemory(info, sizeof *info);
    if (!GetModulePath(iniPath, sizeof iniPath, ".ini")) {
        // Without the executable's path there is no INI file to read: defaults only.
        GetModuleDirectory(info->saveFolder, sizeof info->saveFolder);
        return TRUE;
    }
    info->showLoupe = ReadIniBool(iniPath, kSettingsSection, kKeyShowLoupe, false) ? 1 : 0;
    info->showCurInf = ReadIniBool(iniPath, kSettingsSection, kKeyShowCurInf, false) ? 1 : 0;
    GetModuleDirectory(defaultFolder, sizeof defaultFolder);
    GetPrivateProfileStringA(kSettingsSection, kKeySaveFolder, defaultFolder, info->saveFolder,
                             sizeof info->saveFolder, iniPath);
    // An over-long value is cut by bytes and may end in half a double-byte character;
    // a value that fitted is kept as it stands.
    size_t folderLength = TextLength(info->saveFolder);
    if (folderLength == sizeof info->saveFolder - 1 &&
        SjisByteKind(info->saveFolder, folderLength - 1) == SJIS_LEAD)
        info->saveFolder[folderLength - 1] = '\0';
    info->hotkeyCapture = DecodeHotkey(ReadIniInt(iniPath, kSettingsSection, kKeyHotkeyCapture, 0));
    info->hotkeySetWallpaper =
        DecodeHotkey(ReadIniInt(iniPath, kSettingsSection, kKeyHotkeySetWallpaper, 0));
    info->hotkeyRemoveWallpaper =
        DecodeHotkey(ReadIniInt(iniPath, kSettingsSection, kKeyHotkeyRemoveWallpaper, 0));
    return TRUE;
}

BOOL SaveSettings(const AppInfo* info) {
    char iniPath[MODULE_PATH_SIZE];
    // No executable path, no INI file: writing to whatever the buffer held would put a
    // stray file somewhere unknown, so nothing is saved.
    if (!GetModulePath(iniPath, sizeof iniPath, ".ini"))
        return FALSE;
    // Every key is tried even after one has failed: as much as can be kept is kept.
    bool saved = WriteIniBool(iniPath, kSettingsSection, kKeyShowLoupe, info->showLoupe != 0);
    saved = WriteIniBool(iniPath, kSettingsSection, kKeyShowCurInf, info->showCurInf != 0) && saved;
    // The record is copied whole and may come from elsewhere: never read past it.
    char folder[SAVE_FOLDER_SIZE];
    CopyTextBounded(folder, info->saveFolder, sizeof folder);
    saved = WritePrivateProfileStringA(kSettingsSection, kKeySaveFolder, folder, iniPath) && saved;
    saved = WriteIniInt(iniPath, kSettingsSection, kKeyHotkeyCapture,
                        EncodeHotkey(info->hotkeyCapture)) &&
            saved;
    saved = WriteIniInt(iniPath, kSettingsSection, kKeyHotkeySetWallpaper,
                        EncodeHotkey(info->hotkeySetWallpaper)) &&
            saved;
    saved = WriteIniInt(iniPath, kSettingsSection, kKeyHotkeyRemoveWallpaper,
                        EncodeHotkey(info->hotkeyRemoveWallpaper)) &&
            saved;
    saved = FlushIniFile(iniPath) && saved;
    return saved ? TRUE : FALSE;
}
