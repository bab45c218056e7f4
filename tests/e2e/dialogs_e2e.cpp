// The settings dialog and the About box as a user meets them: opened from the main menu's
// commands, filled from the INI file and the version block, confirmed, refused, cancelled.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

#include "harness.h"
#include "objects.h"
#include "version.h"

namespace {

using e2e::HotkeyHeldElsewhere;
using e2e::Program;
using e2e::ReadIniValue;
using e2e::ScratchInstall;

const WPARAM kSettings = 40048, kAbout = 40002;
const char kFolderKey[] = "画像ファイルの保存先フォルダ";
const char* const kHotkeyKeys[] = {"ｽｸﾘｰﾝ ｷｬﾌﾟﾁｬ", "壁紙に設定", "壁紙をはがす"};
const int kHotkeyFields[] = {1020, 1021, 1022};
const char kHotkeyCaption[] = "ホットキーの設定";
const char kClash[] = "ホットキーが重複しています。\n異なるホットキーを割り当ててください。";
const char kAboutTitle[] = "Kelvarin について";

// A running Kelvarin with Ctrl+Alt+P (848) and extended Ctrl+Home (2596) as its first two
// hotkeys, the third empty.
class DialogTest : public testing::Test {
  protected:
    void SetUp() override {
        install.reset(new ScratchInstall("kelvarin_dialogs"));
        ini = install->IniPath();
        WritePrivateProfileStringA("Kelvarin", kFolderKey, "C:\\撮影", ini.c_str());
        const char* values[] = {"848", "2596", "0"};
        for (int i = 0; i < 3; ++i)
            WritePrivateProfileStringA("Kelvarin", kHotkeyKeys[i], values[i], ini.c_str());
        WritePrivateProfileStringA(NULL, NULL, NULL, ini.c_str());
        ASSERT_TRUE(program.Start(install->Exe()));
        window = program.WaitMainWindow();
        ASSERT_NE(window, (HWND)NULL);
    }

    // Sent, not posted: it returns only once the program has handled it, and a second
    // modal dialog would keep it from returning in time.
    bool Command(WPARAM id) {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(window, WM_COMMAND, id, 0, SMTO_NORMAL, 10000, &result) != 0;
    }
    HWND Open(WPARAM id, const char* title) {
        PostMessageA(window, WM_COMMAND, id, 0);
        return e2e::WaitProcessDialog(program.Pid(), title, "", 10000);
    }
    // A message box's answer, as its button gives it.
    bool Answer(const char* text, WPARAM button) {
        HWND box = e2e::WaitProcessDialog(program.Pid(), kHotkeyCaption, text);
        PostMessageA(box, WM_COMMAND, button, 0);
        return box != NULL && e2e::WaitUntil([&] { return !IsWindow(box); });
    }
    // Gone, and the command that showed it finished: the program takes a sent message
    // only once it is back in a message loop, after saving and registering the hotkeys.
    bool Closed(HWND dialog) {
        DWORD_PTR result = 0;
        return e2e::WaitUntil([&] { return !IsWindow(dialog); }) &&
               SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) != 0;
    }
    WORD Field(HWND dialog, int i) {
        return LOWORD(SendDlgItemMessageA(dialog, kHotkeyFields[i], HKM_GETHOTKEY, 0, 0));
    }
    void SetField(HWND dialog, int i, BYTE flags, BYTE vk) {
        SendDlgItemMessageA(dialog, kHotkeyFields[i], HKM_SETHOTKEY, MAKEWORD(vk, flags), 0);
    }
    std::string Ini(int i) { return ReadIniValue(ini, kHotkeyKeys[i]); }
    // The INI file as the program read it at the start, and its first hotkey in force.
    void ExpectUnchanged() {
        EXPECT_EQ(ReadIniValue(ini, kFolderKey), "C:\\撮影");
        EXPECT_EQ(Ini(0), "848");
        EXPECT_EQ(Ini(2), "0");
    }

    std::unique_ptr<ScratchInstall> install;
    std::string ini;
    Program program;
    HWND window = NULL;
};

TEST_F(DialogTest, SettingsShowTheIniValuesAndOkSavesAtOnce) {
    ASSERT_TRUE(HotkeyHeldElsewhere(MOD_CONTROL | MOD_ALT, 'P'));
    HWND dialog = Open(kSettings, "設定");
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(e2e::WindowText(GetDlgItem(dialog, 1035)), "C:\\撮影");
    EXPECT_EQ(Field(dialog, 0), 0x0650);  // MOD_CONTROL|MOD_ALT as HOTKEYF_CONTROL|HOTKEYF_ALT
    EXPECT_EQ(Field(dialog, 1), 0x0A24);  // the extended mark comes back as HOTKEYF_EXT
    EXPECT_EQ(Field(dialog, 2), 0);
    // Released while the dialog is open: another program may take them.
    EXPECT_FALSE(HotkeyHeldElsewhere(MOD_CONTROL | MOD_ALT, 'P'));
    EXPECT_FALSE(HotkeyHeldElsewhere(MOD_CONTROL, VK_HOME));
    EXPECT_TRUE(Command(kSettings));
    EXPECT_EQ(e2e::FindProcessWindows(program.Pid(), "#32770", true, "設定").size(), 1u);

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
    std::string longFolder = std::string(258, 'x') + "表" + std::string(40, 'y');
    SetDlgItemTextA(dialog, 1035, longFolder.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(Closed(dialog));
    EXPECT_EQ(ReadIniValue(ini, kFolderKey), std::string(258, 'x'));
    dialog = Open(kSettings, "設定");  // and it is what the program now holds
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(e2e::WindowText(GetDlgItem(dialog, 1035)), std::string(258, 'x'));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

TEST_F(DialogTest, ClashingHotkeysAreRefusedAndTheDialogStays) {
    HWND dialog = Open(kSettings, "設定");
    ASSERT_NE(dialog, (HWND)NULL);
    SetField(dialog, 0, HOTKEYF_CONTROL | HOTKEYF_ALT, 'A');
    SetField(dialog, 2, HOTKEYF_CONTROL | HOTKEYF_ALT, 'A');
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(Answer(kClash, IDOK));
    // Yes to the close prompt runs the same check: the dialog still stays.
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Answer("保存しますか？", IDYES));
    ASSERT_TRUE(Answer(kClash, IDOK));
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(dialog));
    ExpectUnchanged();
    // Cancel keeps the edits; No closes without saving and the old keys are back.
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Answer("保存しますか？", IDCANCEL));
    EXPECT_EQ(Field(dialog, 2), 0x0641);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Answer("保存しますか？", IDNO));
    ASSERT_TRUE(Closed(dialog));
    ExpectUnchanged();
    EXPECT_TRUE(HotkeyHeldElsewhere(MOD_CONTROL | MOD_ALT, 'P'));
}

TEST_F(DialogTest, ATypedKeyGetsCtrlAltAndCancelOrEscChangeNothing) {
    HWND dialog = Open(kSettings, "設定");
    ASSERT_NE(dialog, (HWND)NULL);
    SetField(dialog, 1, HOTKEYF_SHIFT, 'Z');
    PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(Closed(dialog));
    EXPECT_EQ(Ini(1), "2596");
    EXPECT_TRUE(HotkeyHeldElsewhere(MOD_CONTROL, VK_HOME));

    dialog = Open(kSettings, "設定");
    ASSERT_NE(dialog, (HWND)NULL);
    SetForegroundWindow(dialog);
    // The folder edit has the focus; the third hotkey field is four tabs on.
    for (int i = 0; i < 4; ++i)
        e2e::PressKey(VK_TAB);
    e2e::PressKey('B');
    EXPECT_TRUE(e2e::WaitUntil([&] { return Field(dialog, 2) == 0x0642; }, 3000))
        << std::hex << Field(dialog, 2);
    e2e::PressKey(VK_ESCAPE);
    ASSERT_TRUE(Closed(dialog));
    ExpectUnchanged();
    EXPECT_TRUE(HotkeyHeldElsewhere(MOD_CONTROL | MOD_ALT, 'P'));
    EXPECT_FALSE(HotkeyHeldElsewhere(MOD_CONTROL | MOD_ALT, 'B'));
}

// Copies of the planted library: beside the program, and, for one opening, in the
// system folder, the only place the About box may take it from.
TEST_F(DialogTest, AboutShowsTheVersionBlockOnceAndOnlyTheSystemsResourceMeter) {
    std::string library = e2e::ProductExe();
    library = library.substr(0, library.rfind('\\')) + "\\tests\\rsrc32.dll";
    std::string planted = install->Folder() + "\\rsrc32.dll";
    ASSERT_TRUE(CopyFileA(library.c_str(), planted.c_str(), FALSE));
    HWND dialog = Open(kAbout, kAboutTitle);
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(e2e::WindowText(GetDlgItem(dialog, 1009)), "Kelvarin ver. 0.1D");
    EXPECT_EQ(e2e::WindowText(GetDlgItem(dialog, 1008)), KELVARIN_SUPPORT_URL);
    EXPECT_EQ(e2e::WindowText(GetDlgItem(dialog, 1007)), "");
    EXPECT_NE(SendDlgItemMessageA(dialog, 1006, STM_GETICON, 0, 0), 0);
    EXPECT_TRUE(Command(kAbout));
    EXPECT_EQ(e2e::FindProcessWindows(program.Pid(), "#32770", true, kAboutTitle).size(), 1u);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(Closed(dialog));

    char system[MAX_PATH];
    GetSystemDirectoryA(system, sizeof system);
    std::string systemCopy = std::string(system) + "\\rsrc32.dll";
    ASSERT_TRUE(CopyFileA(library.c_str(), systemCopy.c_str(), TRUE)) << "left from a run?";
    dialog = Open(kAbout, kAboutTitle);
    std::string line = e2e::WindowText(GetDlgItem(dialog, 1007));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    e2e::WaitUntil([&] { return !IsWindow(dialog); });
    DeleteFileA(systemCopy.c_str());
    DeleteFileA((systemCopy + ".loaded").c_str());
    EXPECT_EQ(line, "システムリソース： 85 ％使用可能");
    EXPECT_FALSE(e2e::FileExists(planted + ".loaded")) << "the copy beside the program ran";
}

// The prefix's https handler is a recorder for the length of a test.
class UrlHandler {
  public:
    UrlHandler() {
        RegQueryValueA(HKEY_CLASSES_ROOT, kKey, saved_, &savedSize_);
        std::string command = "\"" + Tests() + "\\url_recorder.exe\" \"%1\"";
        RegSetValueA(HKEY_CLASSES_ROOT, kKey, REG_SZ, command.c_str(), command.size());
        DeleteFileA(Record().c_str());
    }
    ~UrlHandler() {
        RegSetValueA(HKEY_CLASSES_ROOT, kKey, REG_SZ, saved_, strlen(saved_));
        DeleteFileA(Record().c_str());
    }
    std::string Record() const { return Tests() + "\\url-opened.txt"; }

  private:
    static std::string Tests() {
        std::string exe = e2e::ProductExe();
        return exe.substr(0, exe.rfind('\\')) + "\\tests";
    }
    static constexpr const char* kKey = "https\\shell\\open\\command";
    char saved_[1024] = "";
    LONG savedSize_ = sizeof saved_;
};

POINT Centre(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The cursor shape the program sets with the pointer at a control's centre.
HCURSOR CursorOver(HWND control) {
    POINT centre = Centre(control);
    e2e::MovePointerTo(centre.x, centre.y);
    Sleep(200);
    CURSORINFO info = {sizeof info, 0, NULL, {0, 0}};
    GetCursorInfo(&info);
    return info.hCursor;
}

TEST_F(DialogTest, AboutLinkShowsTheHandAndTipAndAClickOpensTheAddress) {
    UrlHandler handler;
    HWND dialog = Open(kAbout, kAboutTitle);
    ASSERT_NE(dialog, (HWND)NULL);
    HWND link = GetDlgItem(dialog, 1008);
    EXPECT_NE(CursorOver(link), CursorOver(GetDlgItem(dialog, 1009)));
    CursorOver(link);
    std::vector<HWND> tips;
    EXPECT_TRUE(e2e::WaitUntil([&] {
        return !(tips = e2e::FindProcessWindows(program.Pid(), "tooltips_class32", true)).empty();
    }));
    EXPECT_EQ(tips.empty() ? "" : e2e::WindowText(tips[0]), "サポートサイトへ");

    POINT centre = Centre(link);
    e2e::ClickAt(centre.x, centre.y);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dialog); }));
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::FileExists(handler.Record()); }));
    Sleep(200);
    char recorded[512] = "";
    FILE* file = fopen(handler.Record().c_str(), "rb");
    ASSERT_NE(file, (FILE*)NULL);
    fread(recorded, 1, sizeof recorded - 1, file);
    fclose(file);
    EXPECT_NE(std::string(recorded).find(KELVARIN_SUPPORT_URL), std::string::npos) << recorded;
    EXPECT_TRUE(program.Running());
}

// Whatever a dialog fetches it releases: after 30 more openings the program holds the
// icons, windows and handles it held after the first two (which load what Wine sets up
// once). GDI is compared without Wine's cache of window DCs (see objects.h).
TEST_F(DialogTest, OpeningAndClosingTheDialogsLeavesNothingBehind) {
    for (WPARAM command : {kSettings, kAbout}) {
        SCOPED_TRACE(command);
        e2e::ObjectCounts first, last;
        for (int i = 0; i < 32; ++i) {
            HWND dialog = Open(command, NULL);
            ASSERT_NE(dialog, (HWND)NULL);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            ASSERT_TRUE(Closed(dialog));
            if (i == 1) {
                ASSERT_TRUE(e2e::CountProcessObjects(program.Pid(), &first));
            }
        }
        ASSERT_TRUE(e2e::CountProcessObjects(program.Pid(), &last));
        EXPECT_EQ(last.icons, first.icons);
        EXPECT_EQ(last.user, first.user);
        EXPECT_EQ(last.handles, first.handles);
        EXPECT_LT(last.gdi - 3 * last.dcs, first.gdi - 3 * first.dcs + 10);
    }
}

}  // namespace
