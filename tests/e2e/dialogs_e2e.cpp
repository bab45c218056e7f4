// The settings dialog and the About box as a user meets them: opened from the main menu's
// commands, filled from the INI file and the version block, confirmed, refused, cancelled.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "harness.h"
#include "version.h"

namespace {

using e2e::HotkeyHeldElsewhere;
using e2e::ReadIniValue;
using e2e::WindowText;

const WPARAM kSettings = 40048, kAbout = 40002;
const char kFolderKey[] = "画像ファイルの保存先フォルダ";
const char* const kHotkeyKeys[] = {"ｽｸﾘｰﾝ ｷｬﾌﾟﾁｬ", "壁紙に設定", "壁紙をはがす"};
const char* const kHotkeyValues[] = {"848", "2596", "0"};
const int kHotkeyFields[] = {1020, 1021, 1022};
const char kClash[] = "ホットキーが重複しています。\n異なるホットキーを割り当ててください。";
const char kAboutTitle[] = "Kelvarin について";

bool Gone(HWND window) {
    return e2e::WaitUntil([&] { return !IsWindow(window); });
}

// A running Kelvarin with Ctrl+Alt+P (848) and extended Ctrl+Home (2596) as its first two
// hotkeys, the third empty.
class DialogTest : public testing::Test {
  protected:
    void SetUp() override {
        WritePrivateProfileStringA("Kelvarin", kFolderKey, "C:\\撮影", ini.c_str());
        for (int i = 0; i < 3; ++i)
            WritePrivateProfileStringA("Kelvarin", kHotkeyKeys[i], kHotkeyValues[i], ini.c_str());
        WritePrivateProfileStringA(NULL, NULL, NULL, ini.c_str());
        ASSERT_TRUE(program.Start(install.Exe()));
        ASSERT_NE(window = program.WaitMainWindow(), (HWND)NULL);
    }
    HWND Open(WPARAM id, const char* title) {
        PostMessageA(window, WM_COMMAND, id, 0);
        return e2e::WaitProcessDialog(program.Pid(), title);
    }
    // The windows titled so after the command is given again. Sent, not posted: it returns
    // once handled, and a second modal dialog would keep it from returning in time.
    size_t CountAfterSecond(WPARAM id, const char* title) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(window, WM_COMMAND, id, 0, SMTO_NORMAL, 3000, &result))
            return 0;
        return e2e::FindProcessWindows(program.Pid(), "#32770", true, title).size();
    }
    // Gone, and the command that showed it finished: the program takes a sent message only
    // once it is back in its loop, after saving the settings and registering the hotkeys.
    bool Closed(HWND dialog) {
        DWORD_PTR result = 0;
        return Gone(dialog) &&
               SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
    }
    // A message box's answer, as its button gives it.
    bool Answer(const char* text, WPARAM button) {
        HWND box = e2e::WaitProcessDialog(program.Pid(), "ホットキーの設定", text);
        PostMessageA(box, WM_COMMAND, button, 0);
        return box != NULL && Gone(box);
    }
    WORD Field(HWND dialog, int i) {
        return LOWORD(SendDlgItemMessageA(dialog, kHotkeyFields[i], HKM_GETHOTKEY, 0, 0));
    }
    void SetField(HWND dialog, int i, BYTE flags, BYTE vk) {
        SendDlgItemMessageA(dialog, kHotkeyFields[i], HKM_SETHOTKEY, MAKEWORD(vk, flags), 0);
    }
    std::string Ini(int i) { return ReadIniValue(ini, kHotkeyKeys[i]); }
    // The INI file as at the start, and its keys held again.
    void ExpectUnchanged() {
        EXPECT_EQ(ReadIniValue(ini, kFolderKey), "C:\\撮影");
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(Ini(i), kHotkeyValues[i]);
        EXPECT_TRUE(HotkeyHeldElsewhere(MOD_CONTROL | MOD_ALT, 'P'));
        EXPECT_TRUE(HotkeyHeldElsewhere(MOD_CONTROL, VK_HOME));
    }

    e2e::ScratchInstall install{"kelvarin_dialogs"};
    std::string ini = install.IniPath();
    e2e::Program program;
    HWND window = NULL;
};

TEST_F(DialogTest, SettingsShowTheIniValuesAndOkSavesAtOnce) {
    ASSERT_TRUE(HotkeyHeldElsewhere(MOD_CONTROL | MOD_ALT, 'P'));
    HWND dialog = Open(kSettings, "設定");
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, 1035)), "C:\\撮影");
    EXPECT_EQ(Field(dialog, 0), 0x0650);  // MOD_CONTROL|MOD_ALT as HOTKEYF_CONTROL|HOTKEYF_ALT
    EXPECT_EQ(Field(dialog, 1), 0x0A24);  // the extended mark comes back as HOTKEYF_EXT
    // Released while the dialog is open: another program may take them.
    EXPECT_FALSE(HotkeyHeldElsewhere(MOD_CONTROL | MOD_ALT, 'P'));
    EXPECT_FALSE(HotkeyHeldElsewhere(MOD_CONTROL, VK_HOME));
    EXPECT_EQ(CountAfterSecond(kSettings, "設定"), 1u);

    SetDlgItemTextA(dialog, 1035, "C:\\表示\\キャプチャ");
    SetField(dialog, 0, HOTKEYF_CONTROL | HOTKEYF_SHIFT, 'Q');
    SetField(dialog, 2, HOTKEYF_ALT | HOTKEYF_EXT, VK_END);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(Closed(dialog));
    EXPECT_EQ(ReadIniValue(ini, kFolderKey), "C:\\表示\\キャプチャ");
    EXPECT_EQ(Ini(0), "1617");  // (MOD_CONTROL|MOD_SHIFT) * 256 + 'Q'
    EXPECT_EQ(Ini(1), "2596");
    EXPECT_EQ(Ini(2), "2339");  // (MOD_ALT|0x08) * 256 + VK_END
    EXPECT_TRUE(HotkeyHeldElsewhere(MOD_CONTROL | MOD_SHIFT, 'Q'));
    EXPECT_TRUE(HotkeyHeldElsewhere(MOD_ALT, VK_END));  // registered without the mark
    EXPECT_TRUE(HotkeyHeldElsewhere(MOD_CONTROL, VK_HOME));
    EXPECT_FALSE(HotkeyHeldElsewhere(MOD_CONTROL | MOD_ALT, 'P'));

    // 259 bytes are kept, cut before a double-byte character that would not fit whole.
    dialog = Open(kSettings, "設定");
    ASSERT_NE(dialog, (HWND)NULL);
    SetDlgItemTextA(dialog, 1035, (std::string(258, 'x') + "表" + std::string(40, 'y')).c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(Closed(dialog));
    EXPECT_EQ(ReadIniValue(ini, kFolderKey), std::string(258, 'x'));

    // A settings file another program holds: OK names it and the dialog keeps its values.
    ASSERT_NE(dialog = Open(kSettings, "設定"), (HWND)NULL);
    SetDlgItemTextA(dialog, 1035, "C:\\held");
    HANDLE hold =
        CreateFileA(ini.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, 0);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Answer(("\n" + ini).c_str(), IDOK));
    CloseHandle(hold);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, 1035)), "C:\\held");
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(Closed(dialog));
    EXPECT_EQ(ReadIniValue(ini, kFolderKey), "C:\\held");
}

TEST_F(DialogTest, ClashesAreRefusedAndNoCancelOrEscChangeNothing) {
    HWND dialog = Open(kSettings, "設定");
    ASSERT_NE(dialog, (HWND)NULL);
    SetField(dialog, 0, HOTKEYF_CONTROL | HOTKEYF_ALT, 'A');
    SetField(dialog, 2, HOTKEYF_CONTROL | HOTKEYF_ALT, 'A');
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(Answer(kClash, IDOK));
    // Yes to the close prompt runs the same check.
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Answer("保存しますか？", IDYES));
    ASSERT_TRUE(Answer(kClash, IDOK));
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(dialog));
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Answer("保存しますか？", IDNO));
    ASSERT_TRUE(Closed(dialog));
    ExpectUnchanged();

    ASSERT_NE(dialog = Open(kSettings, "設定"), (HWND)NULL);
    SetField(dialog, 1, HOTKEYF_SHIFT, 'Z');
    PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(Closed(dialog));
    ExpectUnchanged();

    // A key typed alone becomes Ctrl+Alt plus the key. The folder edit has the focus; the
    // third hotkey field is four tabs on.
    ASSERT_NE(dialog = Open(kSettings, "設定"), (HWND)NULL);
    SetForegroundWindow(dialog);
    for (int i = 0; i < 4; ++i)
        e2e::PressKey(VK_TAB);
    e2e::PressKey('B');
    EXPECT_TRUE(e2e::WaitUntil([&] { return Field(dialog, 2) == 0x0642; }, 3000))
        << std::hex << Field(dialog, 2);
    e2e::PressKey(VK_ESCAPE);
    ASSERT_TRUE(Closed(dialog));
    ExpectUnchanged();
    EXPECT_FALSE(HotkeyHeldElsewhere(MOD_CONTROL | MOD_ALT, 'B'));
}

// The test programs' folder: the planted resource meter and the https handler's recorder.
std::string TestsFolder() {
    std::string exe = e2e::ProductExe();
    return exe.substr(0, exe.rfind('\\')) + "\\tests";
}

// The prefix's https handler is a recorder for the length of a test.
struct UrlHandler {
    const char* key = "https\\shell\\open\\command";
    char saved[1024] = "";
    std::string record = TestsFolder() + "\\url-opened.txt";
    UrlHandler() {
        LONG size = sizeof saved;
        RegQueryValueA(HKEY_CLASSES_ROOT, key, saved, &size);
        std::string command = "\"" + TestsFolder() + "\\url_recorder.exe\" \"%1\"";
        RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, command.c_str(), command.size());
        DeleteFileA(record.c_str());
    }
    ~UrlHandler() {
        RegSetValueA(HKEY_CLASSES_ROOT, key, REG_SZ, saved, strlen(saved));
        DeleteFileA(record.c_str());
    }
};

// The planted meter beside the program is never loaded; a copy in the system folder, the
// only place the box may take it from, is: so the planted one was ready to load too.
TEST_F(DialogTest, AboutShowsTheVersionBlockOnceAndItsLinkOpensTheAddress) {
    UrlHandler handler;
    std::string library = TestsFolder() + "\\rsrc32.dll";
    std::string planted = install.Folder() + "\\rsrc32.dll";
    ASSERT_TRUE(CopyFileA(library.c_str(), planted.c_str(), FALSE));
    HWND dialog = Open(kAbout, kAboutTitle);
    ASSERT_NE(dialog, (HWND)NULL);
    HWND link = GetDlgItem(dialog, 1008);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, 1009)), "Kelvarin ver. 0.1D");
    EXPECT_EQ(WindowText(link), KELVARIN_SUPPORT_URL);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, 1007)), "");
    EXPECT_NE(SendDlgItemMessageA(dialog, 1006, STM_GETICON, 0, 0), 0);
    EXPECT_EQ(CountAfterSecond(kAbout, kAboutTitle), 1u);

    RECT rect;
    GetWindowRect(link, &rect);
    e2e::MovePointerTo((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    std::vector<HWND> tips;
    EXPECT_TRUE(e2e::WaitUntil([&] {
        return !(tips = e2e::FindProcessWindows(program.Pid(), "tooltips_class32", true)).empty();
    }));
    EXPECT_EQ(tips.empty() ? "" : WindowText(tips[0]), "サポートサイトへ");
    e2e::ClickAt((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    EXPECT_TRUE(Gone(dialog));
    std::string recorded;
    EXPECT_TRUE(e2e::WaitUntil([&] {
        std::ifstream file(handler.record);
        recorded.assign(std::istreambuf_iterator<char>(file), {});
        return recorded.find(KELVARIN_SUPPORT_URL) != std::string::npos;
    })) << recorded;
    EXPECT_TRUE(program.Running());

    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    std::string systemCopy = std::string(system) + "\\rsrc32.dll";
    ASSERT_TRUE(CopyFileA(library.c_str(), systemCopy.c_str(), TRUE)) << "left from a run?";
    dialog = Open(kAbout, kAboutTitle);
    std::string line = WindowText(GetDlgItem(dialog, 1007));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    Gone(dialog);
    DeleteFileA(systemCopy.c_str());
    DeleteFileA((systemCopy + ".loaded").c_str());
    EXPECT_EQ(line, "システムリソース： 85 ％使用可能");
    EXPECT_FALSE(e2e::FileExists(planted + ".loaded")) << "the copy beside the program ran";
}

}  // namespace
