// The BMP file writer and the client-area copy against the real API: the file in place
// only when complete, an earlier file kept on refusal, the replace that works on both
// system families, the copy by the cursor's hot spot, and the cursor that is shown.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "base/app_info.h"
#include "capture/bmp_writer.h"
#include "capture/capture.h"
#include "import_patch.h"

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A scratch folder whose name ends in 表 (0x95 0x5C): its last byte looks like a separator.
class Scratch : public testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "kelvarin_writer_\x95\x5C";
        Clear();
        CreateDirectoryA(folder_.c_str(), NULL);
    }
    void TearDown() override { Clear(); }
    void Clear() {
        for (const std::string& name : Files())
            DeleteFileA((folder_ + "\\" + name).c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    std::vector<std::string> Files() {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((folder_ + "\\*").c_str(), &data);
        for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data)) {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(data.cFileName);
        }
        if (find != INVALID_HANDLE_VALUE)
            FindClose(find);
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string folder_;
};

template <DWORD error>
BOOL WINAPI MoveFileExFails(LPCSTR, LPCSTR, DWORD) {
    SetLastError(error);
    return FALSE;
}

BOOL WINAPI MoveFileButNotTheNewOne(LPCSTR from, LPCSTR to) {
    return strstr(from, "\\new") == NULL && MoveFileA(from, to);
}

TEST_F(Scratch, ReplaceUsesDeleteAndMoveOnlyWhereMoveFileExIsMissing) {
    std::string from = folder_ + "\\new", to = folder_ + "\\old";
    const FileReplaceCalls system = {MoveFileExA, DeleteFileA, MoveFileA};
    const FileReplaceCalls windows95 = {MoveFileExFails<ERROR_CALL_NOT_IMPLEMENTED>, DeleteFileA,
                                        MoveFileA};
    const FileReplaceCalls denied = {MoveFileExFails<ERROR_ACCESS_DENIED>, DeleteFileA, MoveFileA};
    for (const FileReplaceCalls* calls : {&system, &windows95}) {
        Put(from, "new");
        Put(to, "old");
        EXPECT_TRUE(ReplaceFileWith(*calls, from.c_str(), to.c_str()));
        EXPECT_EQ(Slurp(to) + Slurp(from), "new<missing>");
    }
    Put(from, "new");
    Put(to, "old");
    EXPECT_FALSE(ReplaceFileWith(denied, from.c_str(), to.c_str()));
    EXPECT_EQ(Slurp(to), "old");  // another failure deletes nothing
    // Where the new file cannot be moved in, the earlier one is back in its place.
    const FileReplaceCalls stuck = {MoveFileExFails<ERROR_CALL_NOT_IMPLEMENTED>, DeleteFileA,
                                    MoveFileButNotTheNewOne};
    EXPECT_FALSE(ReplaceFileWith(stuck, from.c_str(), to.c_str()));
    EXPECT_EQ(Files(), (std::vector<std::string>{"new", "old"}));
}

// A rename onto a taken name as Windows 9x may answer it.
BOOL WINAPI MoveFileDeniedWhereTaken(LPCSTR from, LPCSTR to) {
    if (GetFileAttributesA(to) != INVALID_FILE_ATTRIBUTES) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return MoveFileExA(from, to, 0);
}

TEST_F(Scratch, WritesTheWholeFileOrLeavesTheEarlierOne) {
    BmpInfoHeader header, topDown;
    InitDibHeader(&header, 5, 3, 24);
    InitDibHeader(&topDown, 5, -3, 24);
    std::string pixels(header.biSizeImage, '\0');
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<char>(i * 7);
    std::string path = folder_ + "\\05090307.bmp";
    Put(path, "earlier");
    Put(folder_ + "\\kelvarin.tmp", "mine");  // the name temporary files once had
    char name[MAX_PATH + 1];
    strcpy(name, path.c_str());
    ASSERT_TRUE(WriteBmpFile(name, sizeof name, header, NULL, pixels.data(), NULL));
    EXPECT_EQ(name, folder_ + "\\05090307-2.bmp");  // the name is taken: numbered
    std::string file = Slurp(name);
    ASSERT_EQ(file.size(), 54u + 48u);
    EXPECT_EQ(file.substr(54), pixels);
    EXPECT_EQ(Slurp(path) + Slurp(folder_ + "\\kelvarin.tmp"), "earliermine");
    const std::vector<std::string> all = {"05090307-2.bmp", "05090307.bmp", "kelvarin.tmp"};
    EXPECT_EQ(Files(), all);  // no temporary left
    {
        ImportPatch denied("kernel32.dll", "MoveFileA", (void*)MoveFileDeniedWhereTaken);
        ASSERT_TRUE(denied.Active());
        char third[MAX_PATH + 1];
        strcpy(third, path.c_str());
        ASSERT_TRUE(WriteBmpFile(third, sizeof third, header, NULL, pixels.data(), NULL));
        EXPECT_EQ(third, folder_ + "\\05090307-3.bmp");
        DeleteFileA(third);
    }

    // A bit count without a palette size and a top-down picture write nothing.
    BmpInfoHeader odd = header;
    odd.biBitCount = 3;
    EXPECT_FALSE(WriteBmpFile(name, sizeof name, odd, NULL, pixels.data(), path.c_str()));
    EXPECT_FALSE(WriteBmpFile(name, sizeof name, topDown, NULL, pixels.data(), path.c_str()));
    EXPECT_EQ(Slurp(name), file);
    EXPECT_EQ(Files(), all);
}

// Without a window, or with an empty or unreadable client area, nothing is written.
TEST_F(Scratch, CapturesNothingWithoutAClientArea) {
    AppInfo info = {};
    strcpy(info.saveFolder, folder_.c_str());
    HWND main = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    HWND empty = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 20, 10, NULL, NULL, NULL, NULL);
    DestroyWindow(gone);
    SetPropA(main, PROP_APPINFO, (HANDLE)&info);
    char path[MAX_PATH + 1];
    for (HWND source : {(HWND)NULL, empty, gone})
        EXPECT_FALSE(CaptureClientToFile(main, source, true, path)) << source;
    EXPECT_TRUE(Files().empty());
    // Earlier files of the next seconds' names stay; 20 repeats leave one picture a second.
    SYSTEMTIME at;
    ULARGE_INTEGER now;
    GetLocalTime(&at);
    SystemTimeToFileTime(&at, (FILETIME*)&now);
    for (int second = 0; second < 4; ++second, now.QuadPart += 10000000) {
        FileTimeToSystemTime((FILETIME*)&now, &at);
        snprintf(path, sizeof path, "%s\\%02d%02d%02d%02d.bmp", folder_.c_str(), at.wDay, at.wHour,
                 at.wMinute, at.wSecond);
        Put(path, "earlier");
    }
    SetWindowPos(empty, NULL, 0, 0, 20, 10, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(CaptureClientToFile(main, empty, true, path));
    EXPECT_EQ(Slurp(path).size(), 54u + 60u * 10);
    for (int i = 0; i < 19; ++i, Sleep(75))
        EXPECT_TRUE(CaptureClientToFile(main, empty, true, path));
    std::multiset<std::string> seconds;  // the second of each capture, or "earlier"
    for (const std::string& name : Files())
        seconds.insert(Slurp(folder_ + "\\" + name) == "earlier" ? "earlier" : name.substr(0, 8));
    EXPECT_EQ(seconds.count("earlier"), 4u);
    EXPECT_EQ(std::set<std::string>(seconds.begin(), seconds.end()).size(), seconds.size() - 3);
    RemovePropA(main, PROP_APPINFO);
    DestroyWindow(empty);
    DestroyWindow(main);
}

// The box of the pixels in which two 120 x 90 24-bit pictures differ.
RECT Changed(const std::string& a, const std::string& b) {
    RECT box = {120, 90, 0, 0};
    for (int y = 0; y < 90; ++y)
        for (int x = 0; x < 120; ++x)
            if (memcmp(&a[(89 - y) * 360 + x * 3], &b[(89 - y) * 360 + x * 3], 3) != 0)
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                       std::max<LONG>(box.right, x + 1), std::max<LONG>(box.bottom, y + 1)};
    return box;
}

// The cursor this thread shows in front, none while hidden; a cursor handle that cannot be
// drawn (another process's, under Wine) is drawn as the arrow, a drawable one as itself,
// by its hot spot (the I-beam's is 3,9 in Wine) and at its own size.
TEST(CopyToDib, DrawsTheShownCursorByItsHotSpotAtItsOwnSizeOrElseTheArrow) {
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 40, 40, 120,
                                  90, NULL, NULL, NULL, NULL);
    ASSERT_NE(window, (HWND)NULL);
    UpdateWindow(window);
    SetForegroundWindow(window);
    const HCURSOR beam = LoadCursorA(NULL, (LPCSTR)IDC_IBEAM);
    SetCursor(beam);
    HCURSOR shown = NULL;
    POINT at = {0, 0};
    EXPECT_TRUE(GetShownCursor(&shown, &at) && shown == beam);
    ShowCursor(FALSE);
    EXPECT_FALSE(GetShownCursor(&shown, &at)) << "a hidden cursor is reported";
    ShowCursor(TRUE);
    ICONINFO cornered;  // the I-beam's image with its hot spot at the corner
    GetIconInfo(beam, &cornered);
    cornered.xHotspot = cornered.yHotspot = 0;
    std::vector<BYTE> masks(48 * 48 / 8 * 2, 0);  // black, 48 x 48, hot spot 10,20
    const HCURSOR kGiven[] = {NULL,
                              LoadCursorA(NULL, (LPCSTR)IDC_ARROW),
                              (HCURSOR)(UINT_PTR)0x7ff0,
                              CreateCursor(NULL, 10, 20, 48, 48, masks.data(), &masks[288]),
                              beam,
                              CreateIconIndirect(&cornered)};
    const CaptureSource source = {window, {0, 0, 120, 90}, SRCCOPY};
    at = {50, 30};
    std::string drawn[6];
    BITMAPINFO info = {};
    InitDibHeader(reinterpret_cast<BmpInfoHeader*>(&info.bmiHeader), 120, 90, 24);
    for (int i = 0; i < 6; ++i) {
        void* bits = NULL;
        HBITMAP section = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
        EXPECT_TRUE(CopyToDib(section, source, kGiven[i], &at));
        GdiFlush();
        drawn[i].assign(static_cast<char*>(bits), info.bmiHeader.biSizeImage);
        DeleteObject(section);
    }
    DestroyCursor(kGiven[3]);
    DestroyCursor(kGiven[5]);
    DeleteObject(cornered.hbmMask);
    DeleteObject(cornered.hbmColor);
    EXPECT_TRUE(drawn[1] != drawn[0]) << "no arrow drawn";
    EXPECT_TRUE(drawn[2] == drawn[1]) << "the undrawable handle is not replaced by the arrow";
    const RECT large = Changed(drawn[3], drawn[0]), wanted = {40, 10, 88, 58};
    EXPECT_TRUE(EqualRect(&large, &wanted)) << large.left << "," << large.top << " " << large.right;
    RECT beamBox = Changed(drawn[4], drawn[0]), cornerBox = Changed(drawn[5], drawn[0]);
    OffsetRect(&cornerBox, -3, -9);
    EXPECT_TRUE(!IsRectEmpty(&beamBox) && EqualRect(&beamBox, &cornerBox)) << beamBox.left;
    // Nothing copied is a failure: a section another DC holds, a window that has gone.
    HBITMAP section = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, NULL, NULL, 0);
    HDC holder = CreateCompatibleDC(NULL);
    SelectObject(holder, section);
    EXPECT_FALSE(CopyToDib(section, source, NULL, NULL));
    DeleteDC(holder);
    DestroyWindow(window);
    EXPECT_FALSE(CopyToDib(section, source, NULL, NULL));
    DeleteObject(section);
}

}  // namespace
