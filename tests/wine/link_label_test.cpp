// The link label on a window of our own that reflects hover and leave as the About box
// does: its colours and frame read back from the screen, its notifications, and its clean
// exit when the window goes while the link is hot.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "dialogs/link_label.h"

namespace {

std::vector<NMLINKLABEL> Notes;
WNDPROC StaticProc, LinkProc;
bool RestoredAtDestroy, PropertiesLeft, InnerSawEnd, OuterSawEnd;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_NOTIFY)
        return DefWindowProcA(window, message, wParam, lParam);
    const NMLINKLABEL* note = (const NMLINKLABEL*)lParam;
    Notes.push_back(*note);
    if (note->hdr.code != LLN_CLICK)  // reflected
        SendMessageA(note->hdr.hwndFrom, WM_NOTIFY, note->hdr.idFrom, lParam);
    return 0;
}

BOOL CALLBACK FindLinkProperty(HWND, LPCSTR name, HANDLE) {
    PropertiesLeft |= HIWORD(name) != 0 && strncmp(name, "LLPROP_", 7) == 0;
    return TRUE;
}

// The static's own procedure under the link's: at WM_DESTROY it should be back in place
// with the properties gone.
LRESULT CALLBACK InnerProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        RestoredAtDestroy = (WNDPROC)GetWindowLongPtrA(control, GWLP_WNDPROC) == InnerProc;
        EnumPropsA(control, FindLinkProperty);
    }
    InnerSawEnd |= message == WM_NCDESTROY;
    return CallWindowProcA(StaticProc, control, message, wParam, lParam);
}

// A procedure installed over the link's, as a tooltip subclasses its tool.
LRESULT CALLBACK OuterProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    OuterSawEnd |= message == WM_NCDESTROY;
    return CallWindowProcA(LinkProc, control, message, wParam, lParam);
}

void Pump(DWORD ms) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(10)) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
}

int Count(UINT code) {
    int n = 0;
    for (const NMLINKLABEL& note : Notes)
        n += note.hdr.code == code;
    return n;
}

// SetCursorPos can be undone by pending X events, so the pointer is placed once (until two
// readings agree) and the window is moved under it instead.
const int kPointerX = 400, kPointerY = 300;

class LinkLabelTest : public testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = "LinkLabelTestParent";
        RegisterClassA(&wc);
        parent = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                                 300, 80, NULL, NULL, wc.hInstance, NULL);
        link = CreateWindowExA(0, "STATIC", "https://kelvarin.github.io/",
                               WS_CHILD | WS_VISIBLE | SS_NOTIFY, 20, 20, 220, 24, parent,
                               (HMENU)1008, wc.hInstance, NULL);
        ASSERT_NE(link, (HWND)NULL);
        StaticProc = (WNDPROC)SetWindowLongPtrA(link, GWLP_WNDPROC, (LONG_PTR)InnerProc);
        ASSERT_TRUE(SubclassLinkLabel(link));
        for (int settled = 0, tries = 0; settled < 2 && tries < 30; ++tries, Pump(100)) {
            POINT now;
            GetCursorPos(&now);
            settled = now.x == kPointerX && now.y == kPointerY ? settled + 1 : 0;
            if (settled == 0)
                SetCursorPos(kPointerX, kPointerY);
        }
        MoveOutside();
        Notes.clear();
    }
    void TearDown() override { DestroyWindow(parent); }

    // The link's point (30, 12) under the pointer, then the move it would have reported.
    void MoveInside() {
        PlaceParent(kPointerX - 50, kPointerY - 32);
        SendMessageA(link, WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(30, 12));
    }
    void MoveOutside() { PlaceParent(kPointerX + 100, kPointerY + 100); }
    void PlaceParent(int x, int y) {
        SetWindowPos(parent, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump(150);  // long enough for the leave timer to tick
    }

    // The control on the screen: its blue and red text pixels, and two opposite corners.
    struct Look {
        int blue = 0, red = 0;
        COLORREF corner, farCorner;
    };
    Look Paint() {
        RedrawWindow(link, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        GdiFlush();
        Pump(50);
        Look look;
        RECT r;
        GetWindowRect(link, &r);
        HDC screen = GetDC(NULL);
        for (int w = r.right - r.left, i = 0; i < w * (r.bottom - r.top); ++i) {
            COLORREF c = GetPixel(screen, r.left + i % w, r.top + i / w);
            look.blue += GetBValue(c) > 180 && GetRValue(c) < 90 && GetGValue(c) < 90;
            look.red += GetRValue(c) > 180 && GetGValue(c) < 90 && GetBValue(c) < 90;
        }
        look.corner = GetPixel(screen, r.left, r.top);
        look.farCorner = GetPixel(screen, r.right - 1, r.bottom - 1);
        ReleaseDC(NULL, screen);
        return look;
    }

    HWND parent = NULL, link = NULL;
};

TEST_F(LinkLabelTest, HoverTurnsItRedPressFramesItAndOnlyAReleaseOnItClicks) {
    Look look = Paint();
    EXPECT_GT(look.blue, 20);
    EXPECT_EQ(look.red, 0);
    EXPECT_EQ(look.farCorner, GetSysColor(COLOR_BTNFACE));

    // One hover a move, with the move's keys and position; red once reflected.
    MoveInside();
    Notes.clear();
    for (int i = 0; i < 3; ++i)
        SendMessageA(link, WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(30 + i, 12));
    ASSERT_EQ(Count(LLN_MOUSEHOVER), 3);
    EXPECT_EQ(Notes[2].hdr.hwndFrom, link);
    EXPECT_EQ(Notes[2].hdr.idFrom, 1008u);
    EXPECT_EQ(Notes[2].keyFlags, (UINT)MK_SHIFT);
    EXPECT_EQ(Notes[2].position, MAKELPARAM(32, 12));
    look = Paint();
    EXPECT_GT(look.red, 20);
    EXPECT_EQ(look.blue, 0);

    // Pressed while hot: a gray frame; released on it: one click.
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 12));
    look = Paint();
    EXPECT_EQ(look.corner, RGB(128, 128, 128));
    EXPECT_EQ(look.farCorner, RGB(128, 128, 128));
    SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(30, 12));
    EXPECT_EQ(Count(LLN_CLICK), 1);
    EXPECT_EQ(GetCapture(), (HWND)NULL);

    // Inside, the timer reports nothing. Pressed, then off the link: the next tick leaves,
    // blue and unframed, and the release clicks nothing.
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 12));
    Pump(200);
    EXPECT_EQ(Count(LLN_MOUSELEAVE), 0);
    MoveOutside();
    EXPECT_EQ(Count(LLN_MOUSELEAVE), 1);
    look = Paint();
    EXPECT_GT(look.blue, 20);
    EXPECT_EQ(look.corner, GetSysColor(COLOR_BTNFACE));
    SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(400, 400));
    EXPECT_EQ(Count(LLN_CLICK), 1);
    EXPECT_EQ(GetCapture(), (HWND)NULL);
}

// A dialog moved to a monitor of another scale hands its controls its plain font at the new
// size: the link draws an underlined copy, let go at the next font; an underlined font (the
// About box's own) is used as it is.
TEST_F(LinkLabelTest, APlainFontBecomesAnUnderlinedCopyAtItsSize) {
    LOGFONTA want = {-12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Tahoma"}, got;
    HFONT plain = CreateFontIndirectA(&want), copy;
    SendMessageA(link, WM_SETFONT, (WPARAM)plain, TRUE);
    copy = (HFONT)SendMessageA(link, WM_GETFONT, 0, 0);
    EXPECT_TRUE(copy != plain && GetObjectA(copy, sizeof got, &got) && got.lfUnderline);
    EXPECT_EQ(got.lfHeight, -12);
    want.lfUnderline = TRUE;
    HFONT underlined = CreateFontIndirectA(&want);
    SendMessageA(link, WM_SETFONT, (WPARAM)underlined, TRUE);
    EXPECT_EQ((HFONT)SendMessageA(link, WM_GETFONT, 0, 0), underlined);
    EXPECT_EQ(GetObjectType(copy), 0u) << "the copy kept";
    DestroyWindow(parent);
    DeleteObject(plain);
    DeleteObject(underlined);
}

TEST_F(LinkLabelTest, GoingWhileHotRestoresTheProcedureAndRemovesTheProperties) {
    MoveInside();
    ASSERT_EQ((UINT_PTR)GetPropA(link, LLPROP_CONTROLSTATE), 1u);
    RestoredAtDestroy = PropertiesLeft = false;
    DestroyWindow(parent);
    EXPECT_TRUE(RestoredAtDestroy);
    EXPECT_FALSE(PropertiesLeft);
}

// Putting the old procedure back under a later one would cut that one out before
// WM_NCDESTROY, where it cleans up: the link then stays in the chain to the end.
TEST_F(LinkLabelTest, ALaterSubclassStillSeesTheLastMessage) {
    LinkProc = (WNDPROC)SetWindowLongPtrA(link, GWLP_WNDPROC, (LONG_PTR)OuterProc);
    InnerSawEnd = OuterSawEnd = false;
    DestroyWindow(parent);
    EXPECT_TRUE(OuterSawEnd);
    EXPECT_TRUE(InnerSawEnd);
}

}  // namespace
