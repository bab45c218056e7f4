// The About box (see about_box.h).
#include "dialogs/about_box.h"

#include <commctrl.h>
#include <shellapi.h>

#include "base/app_class.h"
#include "base/settings.h"
#include "base/sjis.h"
#include "base/system_path.h"
#include "base/winutil.h"
#include "dialogs/dialog_text.h"
#include "dialogs/dialog_util.h"
#include "dialogs/link_label.h"
#include "resource.h"
#include "version.h"

namespace {

// The C runtime's generator, seeded with 1 as it is by default, so that the same
// openings of every run show the tagline as before.
unsigned NextRandom() {
    static unsigned seed = 1;
    seed = seed * 214013u + 2531011u;
    return (seed >> 16) & 0x7FFF;
}

enum { VERSION_TEXT_SIZE = 261, SYSRES_LINE_SIZE = 35 };

// The open box and a copy of the block it was opened with.
HWND AboutDialog;
AboutBoxParams Params;

struct VersionTexts {
    char company[VERSION_TEXT_SIZE];
    char legal[VERSION_TEXT_SIZE];
    char productVersion[VERSION_TEXT_SIZE];
    char productName[VERSION_TEXT_SIZE];
};

// VERSION.DLL is not among the libraries that the system always takes from its own
// folder, so it is not imported by name but loaded here while the box reads the block.
struct VersionLibrary {
    HMODULE module;
    DWORD(WINAPI* getSize)(LPCSTR path, LPDWORD handle);
    BOOL(WINAPI* getInfo)(LPCSTR path, DWORD handle, DWORD size, LPVOID block);
    BOOL(WINAPI* query)(LPCVOID block, LPCSTR subBlock, LPVOID* value, PUINT length);
};

bool LoadVersionLibrary(VersionLibrary* api) {
    api->module = LoadSystemLibrary("version.dll");
    if (api->module == NULL)
        return false;
    api->getSize = (DWORD(WINAPI*)(LPCSTR, LPDWORD))(void*)GetProcAddress(
        api->module, "GetFileVersionInfoSizeA");
    api->getInfo = (BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID))(void*)GetProcAddress(
        api->module, "GetFileVersionInfoA");
    api->query = (BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT))(void*)GetProcAddress(
        api->module, "VerQueryValueA");
    if (api->getSize != NULL && api->getInfo != NULL && api->query != NULL)
        return true;
    FreeLibrary(api->module);
    return false;
}

// One string of the version block, or "" when it is missing.
void ReadVersionString(const VersionLibrary& api, const void* block, const WORD* translation,
                       const char* name, char* out) {
    out[0] = '\0';
    char query[VERSION_TEXT_SIZE];
    char* value = NULL;
    UINT length = 0;
    if (FormatVersionQuery(query, sizeof query, translation[0], translation[1], name) &&
        api.query(block, query, (void**)&value, &length) && value != NULL) {
        CopyTextBounded(out, value, VERSION_TEXT_SIZE);
    }
}

// False when the file has no version block with a translation table.
bool ReadVersionBlock(const VersionLibrary& api, const char* path, VersionTexts* texts) {
    DWORD ignored = 0;
    DWORD size = api.getSize(path, &ignored);
    if (size == 0)
        return false;
    void* block = AllocateBlock(size);
    if (block == NULL)
        return false;
    WORD* translation = NULL;
    UINT length = 0;
    bool ok = api.getInfo(path, 0, size, block) &&
              api.query(block, "\\VarFileInfo\\Translation", (void**)&translation, &length) &&
              translation != NULL && length >= 2 * sizeof(WORD);
    if (ok) {
        ReadVersionString(api, block, translation, "CompanyName", texts->company);
        ReadVersionString(api, block, translation, "LegalCopyright", texts->legal);
        ReadVersionString(api, block, translation, "ProductVersion", texts->productVersion);
        ReadVersionString(api, block, translation, "ProductName", texts->productName);
        if (texts->productName[0] == '\0')
            ReadVersionString(api, block, translation, "FileDescription", texts->productName);
    }
    ReleaseBlock(block);
    return ok;
}

bool ReadVersionTexts(const char* path, VersionTexts* texts) {
    VersionLibrary api;
    if (!LoadVersionLibrary(&api))
        return false;
    bool ok = ReadVersionBlock(api, path, texts);
    FreeLibrary(api.module);
    return ok;
}

void ShowVersionTexts(HWND dialog, const char* path) {
    VersionTexts texts;
    if (!ReadVersionTexts(path, &texts))
        return;  // the template's title and an empty version line stay
    char title[VERSION_TEXT_SIZE];
    char line[VERSION_TEXT_SIZE];
    FormatAboutTitle(title, sizeof title, texts.productName);
    FormatVersionLine(line, sizeof line, texts.productName, texts.productVersion);
    if (Params.flags & ABF_SETTITLE)
        SetWindowTextA(dialog, title);
    if (Params.flags & ABF_COMPANY)
        SetDlgItemTextA(dialog, Params.companyControl, texts.company);
    if (Params.flags & ABF_LEGAL)
        SetDlgItemTextA(dialog, Params.legalControl, texts.legal);
    if (Params.flags & ABF_VERSION)
        SetDlgItemTextA(dialog, Params.versionControl, line);
}

// The Windows 9x resource meter, from the system folder only.
void ShowSystemResources(HWND dialog, int control) {
    SetDlgItemTextA(dialog, control, "");
    HMODULE meter = LoadSystemLibrary("rsrc32.dll");
    if (meter == NULL)
        return;
    typedef DWORD(WINAPI * FreeResourcesProc)(DWORD);
    FreeResourcesProc freeResources =
        (FreeResourcesProc)(void*)GetProcAddress(meter, "_MyGetFreeSystemResources32@4");
    if (freeResources == NULL) {
        FreeLibrary(meter);
        return;
    }
    int percent = (int)freeResources(0);  // 0: system resources; 1 and 2 are GDI and USER
    FreeLibrary(meter);
    char line[SYSRES_LINE_SIZE];
    FormatSystemResourcesLine(line, sizeof line, percent);
    SetDlgItemTextA(dialog, control, line);
}

// The control shows its target, turns into a link underlined in the dialog's font (the
// dialog owns that font, under fontProperty), and gets a tooltip.
void SetUpLink(HWND dialog, HWND tooltip, int controlId, const char* target,
               const char* fontProperty, const char* tip) {
    HWND control = GetDlgItem(dialog, controlId);
    if (control == NULL || target == NULL)
        return;
    SetWindowTextA(control, target);
    SubclassLinkLabel(control);
    LOGFONTA logFont;
    ZeroMemory(&logFont, sizeof logFont);
    GetObjectA((HFONT)SendMessageA(control, WM_GETFONT, 0, 0), sizeof logFont, &logFont);
    logFont.lfUnderline = 1;
    HFONT font = CreateFontIndirectA(&logFont);
    SetPropA(dialog, fontProperty, (HANDLE)font);
    SendMessageA(control, WM_SETFONT, (WPARAM)font, TRUE);
    TOOLINFOA tool;
    ZeroMemory(&tool, sizeof tool);
    tool.cbSize = TTTOOLINFOA_V1_SIZE;  // the first form, which every version takes
    tool.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
    tool.hwnd = dialog;
    tool.uId = (UINT_PTR)control;
    tool.lpszText = (LPSTR)tip;
    SendMessageA(tooltip, TTM_ADDTOOLA, 0, (LPARAM)&tool);
}

void DeleteLinkFont(HWND dialog, const char* fontProperty) {
    HGDIOBJ font = (HGDIOBJ)RemovePropA(dialog, fontProperty);
    if (font != NULL)
        DeleteObject(font);
}

BOOL OnInitDialog(HWND dialog, const AboutBoxParams* params) {
    AboutDialog = dialog;
    char path[MODULE_PATH_SIZE];
    if (!GetModulePath(path, sizeof path, NULL))
        path[0] = '\0';
    // Shared icons: the box never destroys them, so opening it costs none.
    SetWindowIcon(dialog, ICON_BIG, GetAppIcon(true));
    SetWindowIcon(dialog, ICON_SMALL, GetAppIcon(false));
    PlaceWindowAtCursor(dialog);
    ShowVersionTexts(dialog, path);
    if (params->flags & ABF_SYSRES)
        ShowSystemResources(dialog, params->sysResControl);
    // Owned by the dialog, so it goes with it.
    HWND tooltip =
        CreateWindowExA(0, TOOLTIPS_CLASSA, NULL, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, dialog, NULL, GetModuleHandleA(NULL), NULL);
    if (params->flags & ABF_URLLINK) {
        SetUpLink(dialog, tooltip, params->urlLinkControl, params->urlTarget, ABPROP_FONTURL,
                  "サポートサイトへ");
    }
    if (params->flags & ABF_MAILLINK) {
        SetUpLink(dialog, tooltip, params->mailLinkControl, params->mailTarget, ABPROP_FONTMAIL,
                  "作者へメールを送る");
    }
    if (params->flags & ABF_ICON)
        SendDlgItemMessageA(dialog, params->iconControl, STM_SETICON, (WPARAM)GetAppIcon(true), 0);
    // The generator is never seeded: the same openings of every run show the tagline.
    if (NextRandom() % 1000 == 0)
        SetWindowTextA(dialog, KELVARIN_TAGLINE);
    return TRUE;
}

BOOL OnDestroy(HWND dialog) {
    if (Params.flags & ABF_URLLINK)
        DeleteLinkFont(dialog, ABPROP_FONTURL);
    if (Params.flags & ABF_MAILLINK)
        DeleteLinkFont(dialog, ABPROP_FONTMAIL);
    return TRUE;
}

bool IsLinkControl(HWND dialog, HWND window) {
    return (Params.urlLinkControl != 0 && window == GetDlgItem(dialog, Params.urlLinkControl)) ||
           (Params.mailLinkControl != 0 && window == GetDlgItem(dialog, Params.mailLinkControl));
}

BOOL OnSetCursor(HWND dialog, HWND window) {
    if (!IsLinkControl(dialog, window))
        return FALSE;
    SetCursor(Params.linkCursor);
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

// A click opens the target; hover and leave go straight back to the link, which changes
// its look only when told so.
BOOL OnLinkNotify(HWND dialog, const NMHDR* header, const char* target, bool closeAfterClick) {
    if (header->code == LLN_CLICK) {
        ShellExecuteA(dialog, NULL, target, NULL, NULL, SW_SHOWNORMAL);
        if (closeAfterClick)
            EndDialog(dialog, IDOK);
        return TRUE;
    }
    return (BOOL)SendMessageA(header->hwndFrom, WM_NOTIFY, header->idFrom, (LPARAM)header);
}

// Only the links' own notifications are answered. The tooltip's (TTN_SHOW, NM_CUSTOMDRAW)
// carry the tool's window handle as their id and must get the default answer.
BOOL OnNotify(HWND dialog, const NMHDR* header) {
    if (Params.urlLinkControl != 0 && header->hwndFrom == GetDlgItem(dialog, Params.urlLinkControl))
        return OnLinkNotify(dialog, header, Params.urlTarget, true);
    if (Params.mailLinkControl != 0 &&
        header->hwndFrom == GetDlgItem(dialog, Params.mailLinkControl))
        return OnLinkNotify(dialog, header, Params.mailTarget, false);
    return FALSE;
}

BOOL OnCommand(HWND dialog, WORD id) {
    if (id == IDOK || id == IDCANCEL)
        EndDialog(dialog, id);
    return TRUE;
}

}  // namespace

BOOL ShowAboutBox(HWND parent, const AboutBoxParams* params) {
    if (AboutDialog != NULL) {
        BringDialogToFront(AboutDialog);
        return TRUE;
    }
    Params = *params;
    LoadCommonControls();  // the link's tooltip
    DialogBoxParamA(params->instance, MAKEINTRESOURCEA(params->templateId), parent, AboutBoxProc,
                    (LPARAM)params);
    AboutDialog = NULL;
    return TRUE;
}

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Params.hook != NULL && Params.hook(dialog, message, wParam, lParam))
        return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(dialog, (const AboutBoxParams*)lParam);
        case WM_DESTROY:
            return OnDestroy(dialog);
        case WM_SETCURSOR:
            return OnSetCursor(dialog, (HWND)wParam);
        case WM_NOTIFY:
            return OnNotify(dialog, (const NMHDR*)lParam);
        case WM_NCHITTEST:
            return AnswerBackgroundAsCaption(dialog, wParam, lParam);
        case WM_COMMAND:
            return OnCommand(dialog, LOWORD(wParam));
        default:
            return FALSE;
    }
}

LRESULT AboutCommand(HWND window, WPARAM, LPARAM) {
    AboutBoxParams params;
    ZeroMemory(&params, sizeof params);
    params.flags = ABF_SETTITLE | ABF_ICON | ABF_VERSION | ABF_URLLINK | ABF_SYSRES;
    params.iconControl = IDC_ABOUT_ICON;
    params.versionControl = IDC_ABOUT_VERSION;
    params.urlLinkControl = IDC_ABOUT_URL;
    params.sysResControl = IDC_ABOUT_SYSRES;
    params.urlTarget = KELVARIN_SUPPORT_URL;
    params.templateId = IDD_ABOUT;
    params.instance = GetModuleHandleA(NULL);
    // A resource cursor is shared by the module: loading it again costs nothing.
    params.linkCursor = LoadCursorA(params.instance, MAKEINTRESOURCEA(IDC_LINKHAND));
    ShowAboutBox(window, &params);
    return 0;
}
