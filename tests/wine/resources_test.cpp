// The resources compiled into Kelvarin.exe, read back through the real Win32 API: the
// tray menus, the settings and About dialog templates, the link cursor, the icon and the
// version block. The exe is mapped as a data file from ..\Kelvarin.exe beside this test.
#include <windows.h>
#include <commctrl.h>
#include <mbstring.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/about_box.h"
#include "resource.h"
#include "version.h"

namespace {

const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);  // 0x0411

// Menu, dialog and control texts reach the ANSI side in code page 932; the literals in
// this file are compiled to the same bytes.
std::string ToCp932(const WCHAR* text, int length) {
    if (length == 0)
        return std::string();
    int size = WideCharToMultiByte(932, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(932, 0, text, length, &out[0], size, nullptr, nullptr);
    return out;
}

// ---------------------------------------------------------------------------
// A reader for the classic DLGTEMPLATE / DLGITEMTEMPLATE layout (all little-endian
// WORDs; strings UTF-16; "sz_Or_Ord" fields: 0 = none, 0xFFFF = ordinal, else a string).

struct DialogItem {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    WORD id = 0;
    std::string cls, text;
    WORD extraBytes = 0;
};

struct DialogTemplate {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string menu, cls, caption, font;
    WORD pointSize = 0;
    std::vector<DialogItem> items;
};

class TemplateReader {
  public:
    TemplateReader(const BYTE* data, DWORD size) : begin_(data), p_(data), end_(data + size) {}

    bool ok() const { return ok_; }

    WORD Word() {
        if (end_ - p_ < 2)
            return Fail();
        WORD w = static_cast<WORD>(p_[0] | (p_[1] << 8));
        p_ += 2;
        return w;
    }

    DWORD Dword() {
        DWORD lo = Word();
        return lo | (static_cast<DWORD>(Word()) << 16);
    }

    short Short() { return static_cast<short>(Word()); }

    std::string String() {
        std::vector<WCHAR> text;
        for (WORD w = Word(); ok_ && w != 0; w = Word())
            text.push_back(w);
        return ToCp932(text.data(), static_cast<int>(text.size()));
    }

    // A class or title field: the predefined control classes may be stored as atoms.
    std::string NameOrOrdinal() {
        WORD first = Word();
        if (first == 0)
            return std::string();
        if (first != 0xFFFF) {
            p_ -= 2;
            return String();
        }
        WORD ordinal = Word();
        switch (ordinal) {
            case 0x80:
                return "BUTTON";
            case 0x81:
                return "EDIT";
            case 0x82:
                return "STATIC";
            default:
                return "#" + std::to_string(ordinal);
        }
    }

    void AlignDword() {
        while ((p_ - begin_) % 4 != 0 && p_ < end_)
            ++p_;
    }

    void Skip(WORD bytes) {
        if (end_ - p_ < bytes) {
            Fail();
            return;
        }
        p_ += bytes;
    }

  private:
    WORD Fail() {
        ok_ = false;
        p_ = end_;
        return 0;
    }

    const BYTE* begin_;
    const BYTE* p_;
    const BYTE* end_;
    bool ok_ = true;
};

// Fills `out` from the DIALOG resource `id`; false (with a gtest failure) when it is
// missing, extended, or shorter than its own contents say.
bool ReadDialogTemplate(HMODULE module, WORD id, DialogTemplate* out) {
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /*RT_DIALOG*/);
    HGLOBAL handle = info ? LoadResource(module, info) : nullptr;
    const BYTE* data = handle ? static_cast<const BYTE*>(LockResource(handle)) : nullptr;
    if (data == nullptr) {
        ADD_FAILURE() << "dialog " << id << " not found";
        return false;
    }
    TemplateReader r(data, SizeofResource(module, info));
    if (r.Word() == 1 && r.Word() == 0xFFFF) {
        ADD_FAILURE() << "dialog " << id
                      << " is a DLGTEMPLATEEX; this reader knows the classic form";
        return false;
    }
    r = TemplateReader(data, SizeofResource(module, info));
    out->style = r.Dword();
    out->exStyle = r.Dword();
    WORD count = r.Word();
    out->x = r.Short();
    out->y = r.Short();
    out->cx = r.Short();
    out->cy = r.Short();
    out->menu = r.NameOrOrdinal();
    out->cls = r.NameOrOrdinal();
    out->caption = r.String();
    if (out->style & DS_SETFONT) {
        out->pointSize = r.Word();
        out->font = r.String();
    }
    for (WORD n = 0; n < count && r.ok(); ++n) {
        DialogItem item;
        r.AlignDword();
        item.style = r.Dword();
        item.exStyle = r.Dword();
        item.x = r.Short();
        item.y = r.Short();
        item.cx = r.Short();
        item.cy = r.Short();
        item.id = r.Word();
        item.cls = r.NameOrOrdinal();
        item.text = r.NameOrOrdinal();
        item.extraBytes = r.Word();
        r.Skip(item.extraBytes);
        out->items.push_back(item);
    }
    EXPECT_TRUE(r.ok()) << "dialog " << id << " ends inside its own data";
    return r.ok();
}

// ---------------------------------------------------------------------------
// What the dialogs must hold, control by control in tab order.

struct ExpectedControl {
    WORD id;
    const char* cls;
    const char* text;
    DWORD style;  // complete, WS_CHILD and WS_VISIBLE included
    short x, y, cx, cy;
};

const DWORD kChild = WS_CHILD | WS_VISIBLE;
const WORD kNoId = 0xFFFF;  // -1 in a classic template's 16-bit identifier

const ExpectedControl kSettingsControls[] = {
    {kNoId, "STATIC", "保存フォルダ", kChild | SS_RIGHT | WS_GROUP, 7, 10, 44, 8},
    {1035, "EDIT", "", kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 55, 7, 130, 14},
    {1036, "BUTTON", "参照", kChild | BS_PUSHBUTTON | WS_TABSTOP, 188, 7, 19, 14},
    {kNoId, "BUTTON", "ホットキーの設定", kChild | BS_GROUPBOX, 7, 25, 200, 74},
    {kNoId, "STATIC", "ｽｸﾘｰﾝ ｷｬﾌﾟﾁｬ", kChild | SS_RIGHT | WS_GROUP, 14, 42, 44, 8},
    {1020, "msctls_hotkey32", "HotKey2", kChild | WS_BORDER | WS_TABSTOP, 62, 39, 134, 14},
    {kNoId, "STATIC", "壁紙に設定", kChild | SS_RIGHT | WS_GROUP, 14, 60, 44, 8},
    {1021, "msctls_hotkey32", "HotKey2", kChild | WS_BORDER | WS_TABSTOP, 62, 57, 134, 14},
    {kNoId, "STATIC", "壁紙をはがす", kChild | SS_RIGHT | WS_GROUP, 14, 78, 44, 8},
    {1022, "msctls_hotkey32", "HotKey2", kChild | WS_BORDER | WS_TABSTOP, 62, 75, 134, 14},
    {IDOK, "BUTTON", "OK", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 107, 106, 50, 14},
    {IDCANCEL, "BUTTON", "ｷｬﾝｾﾙ", kChild | BS_PUSHBUTTON | WS_TABSTOP, 157, 106, 50, 14},
};

const ExpectedControl kAboutControls[] = {
    {1006, "STATIC", "IDI_ICON", kChild | SS_ICON, 7, 7, 20, 20},
    {1009, "STATIC", "", kChild | SS_NOTIFY | SS_NOPREFIX, 30, 7, 96, 8},
    {1008, "STATIC", KELVARIN_SUPPORT_URL, kChild | SS_NOTIFY | SS_NOPREFIX, 30, 16, 102, 8},
    {1007, "STATIC", "", kChild | SS_NOTIFY | SS_NOPREFIX, 30, 25, 102, 8},
    {IDOK, "BUTTON", "OK", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 45, 35, 45, 14},
};

// WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT
const DWORD kDialogStyle = 0x80C800C0;
const char kDialogFont[] = "ＭＳ Ｐゴシック";

template <size_t N>
void ExpectControls(const DialogTemplate& dialog, const ExpectedControl (&expected)[N]) {
    ASSERT_EQ(dialog.items.size(), N);
    for (size_t n = 0; n < N; ++n) {
        const DialogItem& got = dialog.items[n];
        const ExpectedControl& want = expected[n];
        SCOPED_TRACE("control #" + std::to_string(n) + " \"" + want.text + "\"");
        EXPECT_EQ(got.id, want.id);
        // Class names are case-insensitive to the window manager; windres stores them in
        // capitals.
        EXPECT_EQ(lstrcmpiA(got.cls.c_str(), want.cls), 0) << got.cls;
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.style, want.style) << std::hex << got.style << " != " << want.style;
        EXPECT_EQ(got.exStyle, 0u);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        EXPECT_EQ(got.extraBytes, 0);
    }
}

INT_PTR CALLBACK InertDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// The children of a dialog in creation (tab) order: the dialog manager creates one
// window per template item, each below the previous one in Z order.
std::vector<HWND> ChildrenInOrder(HWND dialog) {
    std::vector<HWND> out;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        out.push_back(child);
    return out;
}

template <size_t N>
void ExpectLiveControls(HWND dialog, const ExpectedControl (&expected)[N]) {
    std::vector<HWND> children = ChildrenInOrder(dialog);
    ASSERT_EQ(children.size(), N);
    for (size_t n = 0; n < N; ++n) {
        SCOPED_TRACE("control #" + std::to_string(n) + " \"" + expected[n].text + "\"");
        char cls[64] = "";
        GetClassNameA(children[n], cls, sizeof cls);
        EXPECT_EQ(lstrcmpiA(cls, expected[n].cls), 0) << cls;
        EXPECT_EQ(static_cast<WORD>(GetDlgCtrlID(children[n])), expected[n].id);
    }
}

// ---------------------------------------------------------------------------

class ResourcesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        char path[MAX_PATH] = "";
        // The 32-bit product's folder when a 64-bit run audits it, else this build's.
        DWORD length = GetEnvironmentVariableA("KELVARIN_PRODUCT_DIR", path, sizeof path - 1);
        if (length != 0 && length < sizeof path - 1) {
            exePath_ = std::string(path) + "\\Kelvarin.exe";
            module_ = LoadLibraryExA(exePath_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
            return;
        }
        GetModuleFileNameA(nullptr, path, sizeof path);
        // Cut after the last real backslash; a CP932 trail byte may also be 0x5C.
        unsigned char* slash = _mbsrchr(reinterpret_cast<unsigned char*>(path), '\\');
        if (slash)
            slash[1] = '\0';
        exePath_ = std::string(path) + "..\\Kelvarin.exe";
        module_ = LoadLibraryExA(exePath_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }

    static void TearDownTestSuite() {
        if (module_)
            FreeLibrary(module_);
        module_ = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(module_, nullptr) << "cannot map " << exePath_ << ", error " << GetLastError();
    }

    static HMODULE module_;
    static std::string exePath_;
};

HMODULE ResourcesTest::module_ = nullptr;
std::string ResourcesTest::exePath_;

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
    return TRUE;
}

// FindResourceEx falls back to neutral resources, so list the languages actually stored.
TEST_F(ResourcesTest, EveryResourceIsStoredOnceInJapanese) {
    struct {
        const char* type;
        const char* name;
    } const resources[] = {
        {MAKEINTRESOURCEA(4) /*RT_MENU*/, MAKEINTRESOURCEA(IDM_MAINMENU)},
        {MAKEINTRESOURCEA(5) /*RT_DIALOG*/, MAKEINTRESOURCEA(IDD_SETTINGS)},
        {MAKEINTRESOURCEA(5) /*RT_DIALOG*/, MAKEINTRESOURCEA(IDD_ABOUT)},
        {MAKEINTRESOURCEA(12) /*RT_GROUP_CURSOR*/, MAKEINTRESOURCEA(IDC_LINKHAND)},
        {MAKEINTRESOURCEA(14) /*RT_GROUP_ICON*/, "IDI_ICON"},
        {MAKEINTRESOURCEA(16) /*RT_VERSION*/, MAKEINTRESOURCEA(1)},
    };
    for (const auto& r : resources) {
        SCOPED_TRACE(IS_INTRESOURCE(r.name) ? std::to_string(LOWORD(r.name)) : r.name);
        std::vector<WORD> languages;
        EnumResourceLanguagesA(module_, r.type, r.name, CollectLanguage,
                               reinterpret_cast<LONG_PTR>(&languages));
        EXPECT_EQ(languages, std::vector<WORD>{kJapanese});
    }
}

TEST_F(ResourcesTest, MainMenuIsPopupZeroOfMenu127) {
    HMENU menu = LoadMenuA(module_, MAKEINTRESOURCEA(IDM_MAINMENU));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    char caption[64] = "";
    GetMenuStringA(menu, 0, caption, sizeof caption, MF_BYPOSITION);
    EXPECT_STREQ(caption, "ﾎﾟｯﾌﾟｱｯﾌﾟ");
    GetMenuStringA(menu, 1, caption, sizeof caption, MF_BYPOSITION);
    EXPECT_STREQ(caption, "解像度リスト");

    struct {
        UINT id;  // 0 with a null text: a separator
        const char* text;
    } const expected[] = {
        {40044, "中央に表示(&C)"},
        {40045, "並べて表示(&T)"},
        {40046, "拡大して表示(&Z)"},
        {0, nullptr},
        {40049, "壁紙をはがす(&N)"},
        {0, nullptr},
        {40051, "虫眼鏡(&L)"},
        {40052, "ｶｰｿﾙ座標(&M)"},
        {0, nullptr},
        {40056, "画面のﾌﾟﾛﾊﾟﾃｨ(&S)..."},
        {40048, "設定(&P)..."},
        {40002, "About(&A)"},
        {0, nullptr},
        {40001, "終了(&Q)"},
    };
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(sizeof expected / sizeof expected[0]));
    for (int pos = 0; pos < GetMenuItemCount(popup); ++pos) {
        SCOPED_TRACE("position " + std::to_string(pos));
        MENUITEMINFOA item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_TYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU;
        char text[64] = "";
        item.dwTypeData = text;
        item.cch = sizeof text;
        ASSERT_TRUE(GetMenuItemInfoA(popup, pos, TRUE, &item));
        EXPECT_EQ(item.hSubMenu, nullptr);
        if (expected[pos].text == nullptr) {
            // The menu loader marks separators disabled by itself; nothing else is set.
            EXPECT_EQ(item.fType, static_cast<UINT>(MFT_SEPARATOR));
            EXPECT_EQ(item.fState & ~static_cast<UINT>(MFS_DISABLED), 0u);
            continue;
        }
        EXPECT_EQ(item.fType, static_cast<UINT>(MFT_STRING));
        // Nothing greyed, checked or default: the check marks are set when the menu opens.
        EXPECT_EQ(item.fState, 0u);
        EXPECT_EQ(item.wID, expected[pos].id);
        EXPECT_STREQ(text, expected[pos].text);
        char byCommand[64] = "";
        GetMenuStringA(popup, expected[pos].id, byCommand, sizeof byCommand, MF_BYCOMMAND);
        EXPECT_STREQ(byCommand, expected[pos].text);
    }
    DestroyMenu(menu);
}

TEST_F(ResourcesTest, ResolutionPopupHoldsOnlyTheGreyedPlaceholder) {
    HMENU menu = LoadMenuA(module_, MAKEINTRESOURCEA(IDM_MAINMENU));
    ASSERT_NE(menu, nullptr);
    HMENU popup = GetSubMenu(menu, 1);
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 1);
    EXPECT_EQ(GetMenuItemID(popup, 0), 40007u);
    char text[64] = "";
    GetMenuStringA(popup, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "（なし）");
    UINT state = GetMenuState(popup, 0, MF_BYPOSITION);
    EXPECT_TRUE(state & MF_GRAYED) << std::hex << state;
    EXPECT_FALSE(state & (MF_CHECKED | MF_SEPARATOR | MF_POPUP)) << std::hex << state;
    // The program deletes the placeholder by command after filling the popup.
    EXPECT_TRUE(DeleteMenu(popup, 40007, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuItemCount(popup), 0);
    DestroyMenu(menu);
}

TEST_F(ResourcesTest, SettingsDialogTemplate) {
    DialogTemplate dialog;
    ASSERT_TRUE(ReadDialogTemplate(module_, IDD_SETTINGS, &dialog));
    EXPECT_EQ(dialog.style, kDialogStyle) << std::hex << dialog.style;
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(dialog.cx, 214);
    EXPECT_EQ(dialog.cy, 127);
    EXPECT_EQ(dialog.menu, "");
    EXPECT_EQ(dialog.cls, "");
    EXPECT_EQ(dialog.caption, "設定");
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(dialog.font, kDialogFont);
    ExpectControls(dialog, kSettingsControls);
}

TEST_F(ResourcesTest, AboutDialogTemplate) {
    DialogTemplate dialog;
    ASSERT_TRUE(ReadDialogTemplate(module_, IDD_ABOUT, &dialog));
    EXPECT_EQ(dialog.style, kDialogStyle) << std::hex << dialog.style;
    EXPECT_EQ(dialog.exStyle, 0u);
    EXPECT_EQ(dialog.cx, 139);
    EXPECT_EQ(dialog.cy, 56);
    EXPECT_EQ(dialog.menu, "");
    EXPECT_EQ(dialog.cls, "");
    EXPECT_EQ(dialog.caption, "について");
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(dialog.font, kDialogFont);
    ExpectControls(dialog, kAboutControls);
}

TEST_F(ResourcesTest, SettingsDialogCreatesWorkingHotkeyControls) {
    InitCommonControls();  // registers msctls_hotkey32
    HWND dialog =
        CreateDialogParamA(module_, MAKEINTRESOURCEA(IDD_SETTINGS), nullptr, InertDialogProc, 0);
    ASSERT_NE(dialog, nullptr) << "error " << GetLastError();
    char caption[32] = "";
    GetWindowTextA(dialog, caption, sizeof caption);
    EXPECT_STREQ(caption, "設定");
    ExpectLiveControls(dialog, kSettingsControls);
    // Each field is a real hotkey control: Ctrl+Alt+A goes in and comes back out.
    const WORD ctrlAltA = MAKEWORD('A', HOTKEYF_CONTROL | HOTKEYF_ALT);
    for (int id : {1020, 1021, 1022}) {
        SendDlgItemMessageA(dialog, id, HKM_SETHOTKEY, ctrlAltA, 0);
        EXPECT_EQ(LOWORD(SendDlgItemMessageA(dialog, id, HKM_GETHOTKEY, 0, 0)), ctrlAltA)
            << "control " << id;
    }
    DestroyWindow(dialog);
}

TEST_F(ResourcesTest, AboutDialogCreatesWithTheProgramIcon) {
    HWND dialog =
        CreateDialogParamA(module_, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, InertDialogProc, 0);
    ASSERT_NE(dialog, nullptr) << "error " << GetLastError();
    char text[64] = "";
    GetWindowTextA(dialog, text, sizeof text);
    EXPECT_STREQ(text, "について");
    ExpectLiveControls(dialog, kAboutControls);
    // The icon control's text names the icon resource; the dialog manager loads it from
    // the same module when it creates the control.
    EXPECT_NE(SendDlgItemMessageA(dialog, IDC_ABOUT_ICON, STM_GETICON, 0, 0), 0);
    GetDlgItemTextA(dialog, IDC_ABOUT_URL, text, sizeof text);
    EXPECT_STREQ(text, KELVARIN_SUPPORT_URL);
    // The box's procedure answers only its links' notifications (no link is set up here).
    NMHDR tip = {dialog, (UINT_PTR)GetDlgItem(dialog, IDC_ABOUT_URL), TTN_SHOW};
    EXPECT_EQ(AboutBoxProc(dialog, WM_NOTIFY, tip.idFrom, (LPARAM)&tip), FALSE);
    DestroyWindow(dialog);
}

TEST_F(ResourcesTest, LinkCursorIsMonochromeWithTheHotSpotOnTheFingertip) {
    HCURSOR cursor = LoadCursorA(module_, MAKEINTRESOURCEA(IDC_LINKHAND));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 7u);
    EXPECT_EQ(info.yHotspot, 0u);
    // Monochrome: no colour bitmap, one 1-bpp mask holding the AND plane over the XOR plane.
    EXPECT_EQ(info.hbmColor, nullptr);
    BITMAP mask = {};
    ASSERT_EQ(GetObjectA(info.hbmMask, sizeof mask, &mask), static_cast<int>(sizeof mask));
    EXPECT_EQ(mask.bmWidth, 32);
    EXPECT_EQ(mask.bmHeight, 64);
    EXPECT_EQ(mask.bmBitsPixel, 1);
    // The hot spot pixel is drawn (AND bit 0) and nothing is drawn above it: it is the
    // tip of the picture, not a point in empty space.
    BYTE bits[64 * 4] = {};
    ASSERT_EQ(GetBitmapBits(info.hbmMask, sizeof bits, bits), static_cast<LONG>(sizeof bits));
    auto andBit = [&](int x, int y) { return (bits[y * 4 + x / 8] >> (7 - x % 8)) & 1; };
    EXPECT_EQ(andBit(7, 0), 0);
    int opaque = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            opaque += !andBit(x, y);
    EXPECT_GT(opaque, 100) << "the hand covers only " << opaque << " pixels";
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST_F(ResourcesTest, IconHasItsOwnImageAtTheLargeAndEachScaledSmallSize) {
    // The group directory: a 6-byte header, then 14-byte entries (width, height, colours,
    // reserved, planes, bit count, bytes, RT_ICON id).
    HRSRC group = FindResourceA(module_, "IDI_ICON", MAKEINTRESOURCEA(14) /*RT_GROUP_ICON*/);
    ASSERT_NE(group, nullptr);
    const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(module_, group)));
    ASSERT_NE(dir, nullptr);
    const int count = dir[4] | (dir[5] << 8);
    ASSERT_EQ(SizeofResource(module_, group), 6u + 14u * count);
    std::vector<int> sizes;
    for (int n = 0; n < count; ++n) {
        const BYTE* e = dir + 6 + 14 * n;
        const int size = e[0];
        const WORD imageId = static_cast<WORD>(e[12] | (e[13] << 8));
        sizes.push_back(size);
        SCOPED_TRACE("image " + std::to_string(size));
        HRSRC image = FindResourceA(module_, MAKEINTRESOURCEA(imageId), MAKEINTRESOURCEA(3));
        ASSERT_NE(image, nullptr);
        const BITMAPINFOHEADER* bmi =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module_, image)));
        ASSERT_NE(bmi, nullptr);
        EXPECT_EQ(bmi->biSize, sizeof(BITMAPINFOHEADER));
        EXPECT_EQ(bmi->biWidth, size);
        EXPECT_EQ(bmi->biHeight, 2 * size);  // colour plane and AND mask
        const int bpp = bmi->biBitCount;
        EXPECT_TRUE(bpp == 4 || bpp == 8 || bpp == 32) << bpp;
        // Header, palette, colour rows and mask rows, each row padded to 4 bytes.
        const DWORD colours = bpp <= 8 ? (bmi->biClrUsed ? bmi->biClrUsed : 1u << bpp) : 0;
        const DWORD stride = (size * bpp + 31) / 32 * 4, maskStride = (size + 31) / 32 * 4;
        EXPECT_EQ(SizeofResource(module_, image),
                  bmi->biSize + 4 * colours + (stride + maskStride) * size);
    }
    EXPECT_EQ(sizes, (std::vector<int>{32, 24, 20, 16}));  // small at 100, 125, 150 %

    for (int size : {16, 20, 24, 32}) {
        SCOPED_TRACE("loaded at " + std::to_string(size));
        HICON icon = static_cast<HICON>(LoadImageA(module_, "IDI_ICON", IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr);
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        EXPECT_TRUE(info.fIcon);
        BITMAP colour = {};
        ASSERT_NE(info.hbmColor, nullptr);
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

TEST_F(ResourcesTest, VersionBlockIsJapaneseUnicodeWithTheProgramsVersion) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(exePath_.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(exePath_.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(length, sizeof *fixed);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    // 0.0.1.13: the high words first
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00000000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x0001000Du);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00000000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x0001000Du);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, 4u);  // exactly one language / code page pair
    EXPECT_EQ(translation[0], 0x0411);
    EXPECT_EQ(translation[1], 0x04B0);

    struct {
        const char* name;
        const char* value;
    } const strings[] = {
        {"ProductName", "Kelvarin"},
        {"FileDescription", "Kelvarin"},
        {"ProductVersion", "0.1D"},
        {"FileVersion", "0.1D"},
        {"OriginalFilename", "Kelvarin.exe"},
        {"CompanyName", KELVARIN_COMPANY_NAME},
        {"LegalCopyright", KELVARIN_LEGAL_COPYRIGHT},
        {"InternalName", KELVARIN_INTERNAL_NAME},
    };
    for (const auto& s : strings) {
        // The sub-block the About box builds from the translation: lower-case hex.
        const std::string path = std::string("\\StringFileInfo\\041104b0\\") + s.name;
        char* value = nullptr;
        SCOPED_TRACE(path);
        ASSERT_TRUE(
            VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length));
        EXPECT_STREQ(value, s.value);
    }
}

}  // namespace
