// The settings store against the real private-profile functions: the INI path rule,
// defaults, every key written, hostile values, and a folder with Japanese names.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/settings.h"
#include "base/sjis.h"
#include "import_patch.h"

namespace {

std::string ModuleFile() {
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    return path;
}

std::string IniPath() {
    char path[MODULE_PATH_SIZE];
    EXPECT_TRUE(GetModulePath(path, sizeof path, ".ini"));
    return path;
}

std::string ReadRaw(const std::string& ini, const char* key) {
    char value[20000];
    GetPrivateProfileStringA(kSettingsSection, key, "<missing>", value, sizeof value, ini.c_str());
    return value;
}

void WriteRaw(const std::string& ini, const char* key, const char* value) {
    ASSERT_TRUE(WritePrivateProfileStringA(kSettingsSection, key, value, ini.c_str()));
}

class SettingsFile : public testing::Test {
  protected:
    void SetUp() override {
        ini = IniPath();
        DeleteFileA(ini.c_str());
        WritePrivateProfileStringA(NULL, NULL, NULL, ini.c_str());  // drop any cached copy
    }
    void TearDown() override { DeleteFileA(ini.c_str()); }
    std::string ini;
};

TEST_F(SettingsFile, PathIsTheExecutablesLowercasedWithIni) {
    std::string exe = ModuleFile();
    std::string expected = exe.substr(0, exe.rfind('.')) + ".ini";
    for (char& c : expected)
        c = (char)tolower((unsigned char)c);  // ASCII-only path here
    EXPECT_EQ(ini, expected);
    char folder[MODULE_PATH_SIZE];
    EXPECT_TRUE(GetModuleDirectory(folder, sizeof folder));
    EXPECT_EQ(std::string(folder), exe.substr(0, exe.rfind('\\')));  // not lowercased
    char bare[MODULE_PATH_SIZE];
    EXPECT_TRUE(GetModulePath(bare, sizeof bare, NULL));
    EXPECT_EQ(std::string(bare), expected.substr(0, expected.size() - 4) + ".exe");
}

TEST_F(SettingsFile, FirstStartGivesDefaultsAndSaveWritesAllSixKeys) {
    AppInfo info;
    memset(&info, 0x5A, sizeof info);
    ASSERT_TRUE(LoadSettings(&info));
    EXPECT_EQ(info.showLoupe, 0);
    EXPECT_EQ(info.showCurInf, 0);
    std::string exe = ModuleFile();
    EXPECT_STREQ(info.saveFolder, exe.substr(0, exe.rfind('\\')).c_str());
    EXPECT_EQ(info.hotkeyCapture.modifiers | info.hotkeyCapture.vk, 0u);
    EXPECT_EQ(info.hotkeySetWallpaper.modifiers | info.hotkeySetWallpaper.vk, 0u);
    EXPECT_EQ(info.hotkeyRemoveWallpaper.modifiers | info.hotkeyRemoveWallpaper.vk, 0u);

    ASSERT_TRUE(SaveSettings(&info));
    EXPECT_EQ(ReadRaw(ini, kKeyShowLoupe), "0");
    EXPECT_EQ(ReadRaw(ini, kKeyShowCurInf), "0");
    EXPECT_EQ(ReadRaw(ini, kKeySaveFolder), std::string(info.saveFolder));
    EXPECT_EQ(ReadRaw(ini, kKeyHotkeyCapture), "0");
    EXPECT_EQ(ReadRaw(ini, kKeyHotkeySetWallpaper), "0");
    EXPECT_EQ(ReadRaw(ini, kKeyHotkeyRemoveWallpaper), "0");
    // The keys are Shift-JIS bytes in the file itself.
    FILE* file = fopen(ini.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    char content[4096] = {0};
    fread(content, 1, sizeof content - 1, file);
    fclose(file);
    EXPECT_NE(strstr(content, "[Kelvarin]"), nullptr);
    EXPECT_NE(strstr(content, "\x92\x8E\x8A\xE1\x8B\xBE\x82\xF0\x95\x5C\x8E\xA6=0"), nullptr);
}

// WritePrivateProfileStringA as Windows 9x answers it: a write goes to a cache and succeeds;
// whether the cache reaches the disk is up to the flush (all three names null).
std::vector<std::string> profileCalls;
bool cacheReachesDisk;
BOOL WINAPI CachedProfileWrite(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
    profileCalls.push_back(section != NULL ? key : std::string("flush ") + file);
    if (section == NULL && key == NULL && value == NULL && cacheReachesDisk) {
        HANDLE created = CreateFileA(file, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        CloseHandle(created);
    }
    return section != NULL;  // the flush answers FALSE, flushed or not
}

TEST_F(SettingsFile, SaveFlushesTheCacheAndFailsWhenNothingReachedTheDisk) {
    ImportPatch cached("kernel32.dll", "WritePrivateProfileStringA", (void*)CachedProfileWrite);
    ASSERT_TRUE(cached.Active());
    AppInfo info = {};
    for (bool reaches : {true, false}) {
        DeleteFileA(ini.c_str());
        profileCalls.clear();
        cacheReachesDisk = reaches;
        EXPECT_EQ(SaveSettings(&info), reaches ? TRUE : FALSE);
        ASSERT_EQ(profileCalls.size(), 7u);
        EXPECT_EQ(profileCalls.back(), "flush " + ini);  // after the last key
    }
}

TEST_F(SettingsFile, ValuesRoundTrip) {
    AppInfo info;
    memset(&info, 0, sizeof info);
    info.showLoupe = 1;
    strcpy(info.saveFolder, "C:\\画像\\ソフト表");
    info.hotkeyCapture = {0x03, 0x53};
    info.hotkeySetWallpaper = {0x0A, 0x24};
    info.hotkeyRemoveWallpaper = {0, 0x7B};
    ASSERT_TRUE(SaveSettings(&info));
    EXPECT_EQ(ReadRaw(ini, kKeyHotkeyCapture), "851");
    EXPECT_EQ(ReadRaw(ini, kKeyHotkeySetWallpaper), "2596");
    AppInfo loaded;
    memset(&loaded, 0x11, sizeof loaded);
    ASSERT_TRUE(LoadSettings(&loaded));
    EXPECT_EQ(loaded.showLoupe, 1);
    EXPECT_EQ(loaded.showCurInf, 0);
    EXPECT_STREQ(loaded.saveFolder, info.saveFolder);
    EXPECT_EQ(loaded.hotkeyCapture.modifiers, 3u);
    EXPECT_EQ(loaded.hotkeyCapture.vk, 0x53u);
    EXPECT_EQ(loaded.hotkeySetWallpaper.modifiers, 0x0Au);
    EXPECT_EQ(loaded.hotkeyRemoveWallpaper.modifiers, 0u);
    EXPECT_EQ(loaded.hotkeyRemoveWallpaper.vk, 0x7Bu);
}

TEST_F(SettingsFile, HostileValuesGiveDefaultsOrAreCut) {
    WriteRaw(ini, kKeyShowLoupe, "2");
    WriteRaw(ini, kKeyShowCurInf, "abc");
    WriteRaw(ini, kKeySaveFolder, "");
    WriteRaw(ini, kKeyHotkeyCapture, "-1");
    WriteRaw(ini, kKeyHotkeySetWallpaper, "99999999999999999999");
    WriteRaw(ini, kKeyHotkeyRemoveWallpaper, "0x41");
    AppInfo info;
    ASSERT_TRUE(LoadSettings(&info));
    EXPECT_EQ(info.showLoupe, 1);
    EXPECT_EQ(info.showCurInf, 0);
    EXPECT_STREQ(info.saveFolder, "");  // present but empty: no default
    EXPECT_EQ(info.hotkeyCapture.modifiers, 0xFFu);
    EXPECT_EQ(info.hotkeyCapture.vk, 0xFFu);
    EXPECT_EQ(info.hotkeySetWallpaper.modifiers, 0xFFu);  // saturated, not wrapped
    EXPECT_EQ(info.hotkeySetWallpaper.vk, 0xFFu);
    EXPECT_EQ(info.hotkeyRemoveWallpaper.modifiers | info.hotkeyRemoveWallpaper.vk, 0u);
    ASSERT_TRUE(SaveSettings(&info));
    EXPECT_EQ(ReadRaw(ini, kKeyShowLoupe), "1");
    EXPECT_EQ(ReadRaw(ini, kKeyShowCurInf), "0");
    EXPECT_EQ(ReadRaw(ini, kKeyHotkeyCapture), "65535");

    // A 10,000-byte folder is cut to fit the 260-byte field, terminated.
    std::string longFolder = "C:\\";
    while (longFolder.size() < 10000)
        longFolder += "表ソ\\";
    WriteRaw(ini, kKeySaveFolder, longFolder.c_str());
    memset(&info, 0x7E, sizeof info);
    ASSERT_TRUE(LoadSettings(&info));
    size_t length = strnlen(info.saveFolder, sizeof info.saveFolder);
    ASSERT_LT(length, sizeof info.saveFolder);
    EXPECT_GE(length, 250u);
    EXPECT_EQ(longFolder.compare(0, length, info.saveFolder), 0);
    // The cut ends after a whole character: the last byte is no lone lead byte.
    EXPECT_NE(SjisByteKind(info.saveFolder, length - 1), SJIS_LEAD);
    // Every cut point of 表ソ\ shows up over a few lengths of the prefix.
    for (size_t pad = 0; pad < 5; ++pad) {
        WriteRaw(ini, kKeySaveFolder, (std::string(pad, 'x') + longFolder).c_str());
        ASSERT_TRUE(LoadSettings(&info));
        length = strnlen(info.saveFolder, sizeof info.saveFolder);
        ASSERT_GT(length, 0u);
        EXPECT_NE(SjisByteKind(info.saveFolder, length - 1), SJIS_LEAD) << pad;
    }
}

TEST(SettingsPaths, ACutExtensionIsAFailure) {
    std::string exe = ModuleFile();
    std::vector<char> out(exe.size() + 1, 'z');
    // ".ini" takes the place of ".exe" exactly: it fits.
    EXPECT_TRUE(GetModulePath(out.data(), (DWORD)out.size(), ".ini"));
    // A longer extension does not: no path at all, never "...\\name.inix" cut short.
    std::fill(out.begin(), out.end(), 'z');
    EXPECT_FALSE(GetModulePath(out.data(), (DWORD)out.size(), ".inix"));
    EXPECT_EQ(out[0], '\0');
    // A buffer too small for the executable's own path.
    EXPECT_FALSE(GetModulePath(out.data(), (DWORD)exe.size(), NULL));
    EXPECT_EQ(out[0], '\0');
}

TEST_F(SettingsFile, IniRoutinesReadNumbersAsScanfDoes) {
    const char* section = "虫眼鏡";
    ASSERT_TRUE(WriteIniInt(ini.c_str(), section, "x", -42));
    EXPECT_EQ(ReadIniInt(ini.c_str(), section, "x", 7), -42);
    EXPECT_EQ(ReadIniInt(ini.c_str(), section, "missing", 7), 7);
    ASSERT_TRUE(WriteIniBool(ini.c_str(), section, "b", true));
    EXPECT_TRUE(ReadIniBool(ini.c_str(), section, "b", false));
    WritePrivateProfileStringA(section, "t", "  12 apples", ini.c_str());
    EXPECT_EQ(ReadIniInt(ini.c_str(), section, "t", 0), 12);
    EXPECT_FALSE(ReadIniBool(ini.c_str(), "missing", "b", false));
}

// A copy of this test program, run from a folder with capitals and double-byte names,
// reports what the path routines give there.
const char kChildFlag[] = "--report-paths=";

std::string TempFolder() {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    return temp;
}

TEST(SettingsPaths, UpperCaseAndDoubleByteFolder) {
    // ア (83 41) and 表 (95 5C) carry trail bytes that look like 'A' and '\'.
    std::string folder = TempFolder() + "Kel_ABC_アイ表ソ";
    std::string exe = folder + "\\APP.EXE";
    std::string report = TempFolder() + "kelvarin_paths.txt";
    CreateDirectoryA(folder.c_str(), NULL);
    ASSERT_TRUE(CopyFileA(ModuleFile().c_str(), exe.c_str(), FALSE)) << GetLastError();
    DeleteFileA(report.c_str());

    std::string command = "\"" + exe + "\" " + kChildFlag + report;
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    ASSERT_TRUE(CreateProcessA(exe.c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                               &process));
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    char ini[400] = {0}, directory[400] = {0};
    FILE* file = fopen(report.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    ASSERT_NE(fgets(ini, sizeof ini, file), nullptr);
    ASSERT_NE(fgets(directory, sizeof directory, file), nullptr);
    fclose(file);
    ini[strcspn(ini, "\n")] = '\0';
    directory[strcspn(directory, "\n")] = '\0';

    std::string lowered = folder;
    for (size_t i = 0; i < lowered.size(); ++i) {
        unsigned char c = (unsigned char)lowered[i];
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
            ++i;  // leave both bytes of a double-byte character
        } else if (c >= 'A' && c <= 'Z') {
            lowered[i] = (char)(c + 32);
        }
    }
    EXPECT_EQ(std::string(ini), lowered + "\\app.ini");
    EXPECT_NE(std::string(ini).find("アイ表ソ"), std::string::npos);
    EXPECT_EQ(std::string(directory), folder);

    DeleteFileA(exe.c_str());
    DeleteFileA(report.c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (strncmp(argv[i], kChildFlag, sizeof kChildFlag - 1) == 0) {
            char ini[MODULE_PATH_SIZE], directory[MODULE_PATH_SIZE];
            GetModulePath(ini, sizeof ini, ".ini");
            GetModuleDirectory(directory, sizeof directory);
            FILE* file = fopen(argv[i] + sizeof kChildFlag - 1, "wb");
            if (file == NULL)
                return 2;
            fprintf(file, "%s\n%s\n", ini, directory);
            fclose(file);
            return 0;
        }
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
