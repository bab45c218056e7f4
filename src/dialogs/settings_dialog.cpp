// The settings dialog (see settings_dialog.h).
#include "dialogs/settings_dialog.h"

#include <commctrl.h>
#include <shlobj.h>

#include "base/app_class.h"
#include "base/hotkey_codec.h"
#include "base/settings.h"
#include "base/sjis.h"
#include "base/system_path.h"
#include "base/winutil.h"
#include "dialogs/dialog_text.h"
#include "dialogs/dialog_util.h"
#include "resource.h"

#ifndef BIF_NEWDIALOGSTYLE
#define BIF_NEWDIALOGSTYLE 0x0040
#endif

namespace {

const char kHotkeyCaption[] = "ホットキーの設定";

// One dialog at a time: the record it edits, and its handle while it is open.
AppInfo WorkingCopy;
HWND SettingsDialog;

// A hotkey field takes a key typed alone as Ctrl+Alt plus that key.
void ApplyHotkeyRules(HWND control) {
    SendMessageA(control, HKM_SETRULES, HKCOMB_NONE, HOTKEYF_CONTROL | HOTKEYF_ALT);
}

// The edit holds any length; the setting keeps 259 bytes. The text is read with two
// bytes to spare so that the cut is made here, between characters, rather than by the
// control, which may stop in the middle of a double-byte character.
void ReadFolderEdit(HWND dialog, char* folder) {
    char text[SAVE_FOLDER_SIZE + 2];
    GetDlgItemTextA(dialog, IDC_SAVEFOLDER, text, sizeof text);
    CopyTextBounded(folder, text, SAVE_FOLDER_SIZE);
}

// OK saves before the dialog ends, so that a settings file that cannot be written (beside
// a program under Program Files, on a read-only share, held by another program) is named
// at once, with the user's values still in the dialog.
bool SaveWorkingCopy(HWND dialog) {
    if (SaveSettings(&WorkingCopy))
        return true;
    static const char kNotSaved[] = "設定を次のファイルに保存できませんでした。\n";
    char text[sizeof kNotSaved + MODULE_PATH_SIZE];
    CopyTextBounded(text, kNotSaved, sizeof text);
    GetModulePath(text + sizeof kNotSaved - 1, MODULE_PATH_SIZE, ".ini");  // left empty if none
    ShowMessageBox(dialog, kHotkeyCaption, text, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

BOOL OnInitDialog(HWND dialog) {
    SettingsDialog = dialog;
    PlaceWindowAtCursor(dialog);
    // Shared icons: the dialog never destroys them, so opening it costs none.
    SetWindowIcon(dialog, ICON_BIG, GetAppIcon(true));
    SetWindowIcon(dialog, ICON_SMALL, GetAppIcon(false));
    SetDlgItemTextA(dialog, IDC_SAVEFOLDER, WorkingCopy.saveFolder);
    SetHotkeyControl(dialog, IDC_HOTKEY_CAPTURE, WorkingCopy.hotkeyCapture);
    SetHotkeyControl(dialog, IDC_HOTKEY_SETWALLPAPER, WorkingCopy.hotkeySetWallpaper);
    SetHotkeyControl(dialog, IDC_HOTKEY_REMOVEWALLPAPER, WorkingCopy.hotkeyRemoveWallpaper);
    return TRUE;
}

void OnBrowse(HWND dialog) {
    char folder[MAX_PATH];
    ReadFolderEdit(dialog, folder);
    if (PickFolder(dialog, "", folder, folder))
        SetDlgItemTextA(dialog, IDC_SAVEFOLDER, folder);
}

BOOL OnCommand(HWND dialog, WORD id) {
    switch (id) {
        case IDOK:
            if (CollectSettings(dialog) && SaveWorkingCopy(dialog))
                EndDialog(dialog, IDOK);
            break;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            break;
        case IDC_BROWSE:
            OnBrowse(dialog);
            break;
    }
    return TRUE;
}

BOOL OnClose(HWND dialog) {
    switch (ShowMessageBox(dialog, kHotkeyCaption, "保存しますか？",
                           MB_YESNOCANCEL | MB_ICONEXCLAMATION)) {
        case IDYES:
            SendMessageA(dialog, WM_COMMAND, IDOK, 0);
            // Handled either way: saved and ended, or kept open after the clash message.
            // Left to the dialog manager, WM_CLOSE would end it with IDCANCEL.
            return TRUE;
        case IDNO:
            SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            return FALSE;
        default:
            return TRUE;
    }
}

// BIF_NEWDIALOGSTYLE needs COM initialised on the calling thread (shell32 5.0 and later may
// show an empty tree without it). ole32 is loaded by full path only while the picker is
// open, so the import table and the start-up stay as they are.
class OleSession {
  public:
    OleSession() : library_(LoadSystemLibrary("ole32.dll")), uninitialize_(NULL) {
        typedef HRESULT(WINAPI * Initialize)(LPVOID reserved);
        Initialize initialize =
            library_ != NULL ? (Initialize)(void*)GetProcAddress(library_, "OleInitialize") : NULL;
        Uninitialize uninitialize =
            library_ != NULL ? (Uninitialize)(void*)GetProcAddress(library_, "OleUninitialize")
                             : NULL;
        // S_FALSE (already initialised here) is a success that must be balanced too.
        if (initialize != NULL && uninitialize != NULL && SUCCEEDED(initialize(NULL)))
            uninitialize_ = uninitialize;
    }
    ~OleSession() {
        if (uninitialize_ != NULL)
            uninitialize_();
        if (library_ != NULL)
            FreeLibrary(library_);
    }
    bool Initialised() const { return uninitialize_ != NULL; }

  private:
    typedef void(WINAPI* Uninitialize)(void);
    OleSession(const OleSession&) = delete;
    HMODULE library_;
    Uninitialize uninitialize_;
};

int CALLBACK BrowseCallback(HWND picker, UINT message, LPARAM lParam, LPARAM data) {
    switch (message) {
        case BFFM_INITIALIZED:
            if (data != 0)
                SendMessageA(picker, BFFM_SETSELECTIONA, TRUE, data);
            break;
        case BFFM_SELCHANGED:
            // OK only for folders of the file system.
            if (lParam != 0) {
                char scratch[MAX_PATH];
                BOOL isFolder = SHGetPathFromIDListA((LPCITEMIDLIST)lParam, scratch);
                SendMessageA(picker, BFFM_ENABLEOK, 0, isFolder ? 1 : 0);
            }
            break;
    }
    return 0;
}

}  // namespace

bool BringSettingsDialogToFront() {
    if (SettingsDialog == NULL)
        return false;
    BringDialogToFront(SettingsDialog);
    return true;
}

BOOL ShowSettingsDialog(HWND window, AppInfo* appInfo) {
    if (BringSettingsDialogToFront())
        return TRUE;
    WorkingCopy = *appInfo;
    WorkingCopy.saveFolder[SAVE_FOLDER_SIZE - 1] = '\0';
    LoadCommonControls();  // the hotkey fields
    INT_PTR result = DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_SETTINGS), window,
                                     SettingsDialogProc, 0);
    if (result == IDOK)
        *appInfo = WorkingCopy;  // saved by the OK button
    SettingsDialog = NULL;
    return TRUE;
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(dialog);
        case WM_COMMAND:
            return OnCommand(dialog, LOWORD(wParam));
        case WM_CLOSE:
            return OnClose(dialog);
        case WM_NCHITTEST:
            return AnswerBackgroundAsCaption(dialog, wParam, lParam);
        default:
            return FALSE;
    }
}

BOOL CollectSettings(HWND dialog) {
    HotkeySpec first, second, third;
    GetHotkeyControl(dialog, IDC_HOTKEY_CAPTURE, &first);
    GetHotkeyControl(dialog, IDC_HOTKEY_SETWALLPAPER, &second);
    GetHotkeyControl(dialog, IDC_HOTKEY_REMOVEWALLPAPER, &third);
    if (HotkeysClash(first, second, third)) {
        ShowMessageBox(dialog, kHotkeyCaption,
                       "ホットキーが重複しています。\n異なるホットキーを割り当ててください。",
                       MB_OK);
        return FALSE;
    }
    WorkingCopy.hotkeyCapture = first;
    WorkingCopy.hotkeySetWallpaper = second;
    WorkingCopy.hotkeyRemoveWallpaper = third;
    ReadFolderEdit(dialog, WorkingCopy.saveFolder);
    return TRUE;
}

BOOL SetHotkeyControl(HWND dialog, int controlId, const HotkeySpec& hotkey) {
    HWND control = GetDlgItem(dialog, controlId);
    ApplyHotkeyRules(control);
    SendMessageA(control, HKM_SETHOTKEY, HotkeyToControlValue(hotkey), 0);
    return TRUE;
}

BOOL GetHotkeyControl(HWND dialog, int controlId, HotkeySpec* hotkey) {
    LRESULT value = SendDlgItemMessageA(dialog, controlId, HKM_GETHOTKEY, 0, 0);
    *hotkey = HotkeyFromControlValue((uint32_t)value);
    return TRUE;
}

BOOL PickFolder(HWND owner, const char* title, const char* initialPath, char* resultPath) {
    IMalloc* allocator = NULL;
    if (FAILED(SHGetMalloc(&allocator)) || allocator == NULL)
        return FALSE;
    // Where COM cannot be initialised (no ole32, or a thread already in a multithreaded
    // apartment), the old style, which does without it.
    OleSession ole;
    BROWSEINFOA browse;
    ZeroMemory(&browse, sizeof browse);
    browse.hwndOwner = owner;
    browse.lpszTitle = title;
    browse.ulFlags = BIF_RETURNONLYFSDIRS | (ole.Initialised() ? BIF_NEWDIALOGSTYLE : 0);
    browse.lpfn = BrowseCallback;
    browse.lParam = (LPARAM)initialPath;
    BOOL chosen = FALSE;
    LPITEMIDLIST item = SHBrowseForFolderA(&browse);
    if (item != NULL) {
        chosen = SHGetPathFromIDListA(item, resultPath);
        allocator->Free(item);
    }
    allocator->Release();
    return chosen;
}
