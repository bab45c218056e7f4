// The link label's window procedure (see link_label.h).
#include "dialogs/link_label.h"

#include "base/winutil.h"

namespace {

const UINT_PTR kLeaveTimer = 1;
enum { STATE_NORMAL = 0, STATE_HOT = 1 };

LRESULT CallOriginal(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC original = (WNDPROC)GetPropA(control, LLPROP_ORIGINALPROC);
    if (original == NULL)
        return DefWindowProcA(control, message, wParam, lParam);
    return CallWindowProcA(original, control, message, wParam, lParam);
}

// Where the pointer is now, not where a message says it was: the leave timer has no
// position of its own, and a covered control still counts its own rectangle.
bool IsPointerInside(HWND control) {
    POINT point;
    RECT client;
    GetCursorClientPos(control, &point);
    GetClientRect(control, &client);
    return PtInRect(&client, point) != FALSE;
}

bool IsHot(HWND control) {
    return ((UINT_PTR)GetPropA(control, LLPROP_CONTROLSTATE) & 1) != 0;
}

void SetState(HWND control, UINT_PTR state) {
    SetPropA(control, LLPROP_CONTROLSTATE, (HANDLE)state);
}

void NotifyParent(HWND control, UINT code, WPARAM keyFlags, LPARAM position) {
    NMLINKLABEL notify;
    ZeroMemory(&notify, sizeof notify);
    FillNotifyHeader(&notify.hdr, control, code);
    notify.keyFlags = (UINT)keyFlags;
    notify.position = (LONG)position;
    SendMessageA(GetParent(control), WM_NOTIFY, notify.hdr.idFrom, (LPARAM)&notify);
}

void DrawLink(HWND control, HDC dc) {
    int length = GetWindowTextLengthA(control);
    char* text = (char*)AllocateBlock((size_t)length + 1);
    if (text == NULL)
        return;
    int copied = GetWindowTextA(control, text, length + 1);
    RECT client;
    GetClientRect(control, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    bool hot = IsHot(control);
    SetTextColor(dc, hot ? RGB(255, 0, 0) : RGB(0, 0, 255));
    if (hot && GetCapture() == control)
        FrameRect(dc, &client, (HBRUSH)GetStockObject(GRAY_BRUSH));
    SelectObject(dc, (HFONT)SendMessageA(control, WM_GETFONT, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, 1, 0, text, copied);
    ReleaseBlock(text);
}

LRESULT OnPaint(HWND control) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(control, &paint);
    if (dc != NULL) {
        int saved = SaveDC(dc);
        DrawLink(control, dc);
        RestoreDC(dc, saved);  // also lets go of the font
    }
    EndPaint(control, &paint);
    return 0;
}

LRESULT OnNcHitTest(HWND control, WPARAM wParam, LPARAM lParam) {
    if (IsPointerInside(control))
        return HTCLIENT;  // a static is otherwise transparent to the mouse
    return CallOriginal(control, WM_NCHITTEST, wParam, lParam);
}

LRESULT OnMouseMove(HWND control, WPARAM wParam, LPARAM lParam) {
    if (IsPointerInside(control)) {
        // No message comes once the pointer has left: the timer looks for it.
        SetTimer(control, kLeaveTimer, 0, NULL);
        NotifyParent(control, LLN_MOUSEHOVER, wParam, lParam);
    }
    return CallOriginal(control, WM_MOUSEMOVE, wParam, lParam);
}

LRESULT OnTimer(HWND control, WPARAM id, LPARAM lParam) {
    if (id != kLeaveTimer)
        return CallOriginal(control, WM_TIMER, id, lParam);
    if (!IsPointerInside(control)) {
        KillTimer(control, kLeaveTimer);
        NotifyParent(control, LLN_MOUSELEAVE, 0, 0);
    }
    return 0;
}

LRESULT OnLButtonDown(HWND control, WPARAM wParam, LPARAM lParam) {
    SetCapture(control);
    RepaintWindow(control, FALSE);
    return CallOriginal(control, WM_LBUTTONDOWN, wParam, lParam);
}

LRESULT OnLButtonUp(HWND control, WPARAM wParam, LPARAM lParam) {
    if (GetCapture() == control) {
        ReleaseCapture();
        if (IsPointerInside(control))
            NotifyParent(control, LLN_CLICK, 0, 0);
    }
    return CallOriginal(control, WM_LBUTTONUP, wParam, lParam);
}

// The parent's reflection of a hover or leave: only now does the look change.
LRESULT OnNotify(HWND control, WPARAM wParam, LPARAM lParam) {
    const NMHDR* header = (const NMHDR*)lParam;
    if (header != NULL && header->code == LLN_MOUSELEAVE) {
        SetState(control, STATE_NORMAL);
        RepaintWindow(control, FALSE);
        return 0;
    }
    if (header != NULL && header->code == LLN_MOUSEHOVER) {
        if (IsPointerInside(control))
            SetState(control, STATE_HOT);
        RepaintWindow(control, FALSE);
        return 0;
    }
    return CallOriginal(control, WM_NOTIFY, wParam, lParam);
}

// A dialog moved to a monitor of another scale hands its controls the plain dialog font at
// the new size: the link keeps its underline with an underlined copy of its own, kept
// until the next font or its end. A font underlined already is used as it is.
LRESULT OnSetFont(HWND control, WPARAM wParam, LPARAM lParam) {
    HGDIOBJ previous = RemovePropA(control, LLPROP_FONT);
    HFONT font = (HFONT)wParam;
    LOGFONTA logFont;
    if (font != NULL && GetObjectA(font, sizeof logFont, &logFont) && !logFont.lfUnderline) {
        logFont.lfUnderline = TRUE;
        HFONT own = CreateFontIndirectA(&logFont);
        if (own != NULL) {
            font = own;
            SetPropA(control, LLPROP_FONT, own);
        }
    }
    LRESULT result = CallOriginal(control, WM_SETFONT, (WPARAM)font, lParam);
    if (previous != NULL)
        DeleteObject(previous);
    return result;
}

void RemoveProperties(HWND control) {
    RemovePropA(control, LLPROP_ORIGINALPROC);
    RemovePropA(control, LLPROP_CONTROLSTATE);
    HGDIOBJ font = RemovePropA(control, LLPROP_FONT);
    if (font != NULL)
        DeleteObject(font);
}

// The control goes back to its own procedure, without our properties, before that
// procedure sees WM_DESTROY. Only when nothing has subclassed it after us, though: putting
// our predecessor back would cut a later procedure out of the chain before WM_NCDESTROY,
// which is where it cleans up after itself (a tooltip's subclass of its tool does). Then
// we stay in the chain and leave at WM_NCDESTROY.
LRESULT OnDestroy(HWND control, WPARAM wParam, LPARAM lParam) {
    WNDPROC original = (WNDPROC)GetPropA(control, LLPROP_ORIGINALPROC);
    if ((WNDPROC)GetWindowLongPtrA(control, GWLP_WNDPROC) == LinkLabelProc) {
        SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)original);
        RemoveProperties(control);
    }
    return CallWindowProcA(original, control, WM_DESTROY, wParam, lParam);
}

LRESULT OnNcDestroy(HWND control, WPARAM wParam, LPARAM lParam) {
    WNDPROC original = (WNDPROC)GetPropA(control, LLPROP_ORIGINALPROC);
    RemoveProperties(control);
    if (original == NULL)
        return DefWindowProcA(control, WM_NCDESTROY, wParam, lParam);
    return CallWindowProcA(original, control, WM_NCDESTROY, wParam, lParam);
}

}  // namespace

BOOL SubclassLinkLabel(HWND control) {
    LONG_PTR original = SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)LinkLabelProc);
    SetPropA(control, LLPROP_ORIGINALPROC, (HANDLE)original);
    SetState(control, STATE_NORMAL);
    return TRUE;
}

LRESULT CALLBACK LinkLabelProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            return OnPaint(control);
        case WM_NCHITTEST:
            return OnNcHitTest(control, wParam, lParam);
        case WM_MOUSEMOVE:
            return OnMouseMove(control, wParam, lParam);
        case WM_TIMER:
            return OnTimer(control, wParam, lParam);
        case WM_LBUTTONDOWN:
            return OnLButtonDown(control, wParam, lParam);
        case WM_LBUTTONUP:
            return OnLButtonUp(control, wParam, lParam);
        case WM_NOTIFY:
            return OnNotify(control, wParam, lParam);
        case WM_SETFONT:
            return OnSetFont(control, wParam, lParam);
        case WM_DESTROY:
            return OnDestroy(control, wParam, lParam);
        case WM_NCDESTROY:
            return OnNcDestroy(control, wParam, lParam);
        default:
            return CallOriginal(control, message, wParam, lParam);
    }
}
