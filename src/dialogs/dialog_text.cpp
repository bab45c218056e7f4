// Hotkey clash rules and About box texts (see dialog_text.h).
#include "dialogs/dialog_text.h"

#include "base/hotkey_codec.h"
#include "base/sjis.h"
#include "base/text.h"

namespace {

// Room for the longest texts the About box joins: two 260-byte values and the words
// around them. The result is then cut on a character boundary.
enum { JOIN_BUFFER_SIZE = 600 };

}  // namespace

bool IsSameHotkey(const HotkeySpec& a, const HotkeySpec& b) {
    if (IsEmptyHotkey(a) || IsEmptyHotkey(b))
        return false;
    // Compared as registered: the extended-key mark is dropped there, so the grey Home and
    // NumPad 7 without NumLock (both VK_HOME) are one combination, and the second would
    // silently never fire.
    return RegisteredModifiers(a) == RegisteredModifiers(b) && a.vk == b.vk;
}

bool HotkeysClash(const HotkeySpec& first, const HotkeySpec& second, const HotkeySpec& third) {
    return IsSameHotkey(first, second) || IsSameHotkey(first, third) || IsSameHotkey(second, third);
}

bool FormatVersionQuery(char* out, size_t size, unsigned language, unsigned codePage,
                        const char* name) {
    char query[JOIN_BUFFER_SIZE];
    int length = FormatText(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s",
                            language & 0xFFFF, codePage & 0xFFFF, name);
    CopyTextBounded(out, query, size);
    return length >= 0 && static_cast<size_t>(length) < size &&
           static_cast<size_t>(length) < sizeof query;
}

void FormatAboutTitle(char* out, size_t size, const char* product) {
    char title[JOIN_BUFFER_SIZE];
    FormatText(title, sizeof title, "%s について", product);
    CopyTextBounded(out, title, size);
}

void FormatVersionLine(char* out, size_t size, const char* product, const char* version) {
    char line[JOIN_BUFFER_SIZE];
    FormatText(line, sizeof line, "%s ver. %s", product, version);
    CopyTextBounded(out, line, size);
}

void FormatSystemResourcesLine(char* out, size_t size, int percent) {
    char line[64];
    FormatText(line, sizeof line, "システムリソース： %d ％使用可能", percent);
    CopyTextBounded(out, line, size);
}
