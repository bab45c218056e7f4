// Shift-JIS aware path and text routines (see sjis.h).
#include "base/sjis.h"

#include "base/text.h"

namespace {

bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsTrailByte(unsigned char c) {
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

}  // namespace

SjisKind SjisByteKind(const char* text, size_t index) {
    SjisKind previous = SJIS_SINGLE;
    for (size_t i = 0; text[i] != '\0'; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        SjisKind kind;
        if (previous == SJIS_LEAD) {
            kind = IsTrailByte(c) ? SJIS_TRAIL : SJIS_SINGLE;
        } else {
            kind = IsLeadByte(c) ? SJIS_LEAD : SJIS_SINGLE;
        }
        if (i == index)
            return kind;
        previous = kind;
    }
    return SJIS_SINGLE;
}

bool IsRealBackslash(const char* text, size_t index) {
    return text[index] == '\\' && SjisByteKind(text, index) == SJIS_SINGLE;
}

const char* SjisNextChar(const char* p) {
    if (*p == '\0')
        return p;
    if (IsLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0')
        return p + 2;
    return p + 1;
}

char* SjisNextChar(char* p) {
    return const_cast<char*>(SjisNextChar(static_cast<const char*>(p)));
}

void LowerAsciiLetters(char* text) {
    for (char* p = text; *p != '\0'; p = SjisNextChar(p)) {
        // Lead bytes are skipped together with their trail byte by SjisNextChar; only
        // the plain ASCII capitals change, as in the C locale.
        if (*p >= 'A' && *p <= 'Z')
            *p = static_cast<char>(*p - 'A' + 'a');
    }
}

char* TextEnd(char* text) {
    return text + TextLength(text);
}

const char* TextEnd(const char* text) {
    return text + TextLength(text);
}

char* FindExtension(char* path) {
    char* end = TextEnd(path);
    for (size_t i = static_cast<size_t>(end - path); i-- > 0;) {
        if (IsRealBackslash(path, i))
            return end;
        if (path[i] == '.')
            return path + i;
    }
    return end;
}

char* RemoveExtension(char* path) {
    char* dot = FindExtension(path);
    if (*dot == '\0')
        return dot;
    *dot = '\0';
    return dot + 1;
}

char* RemoveLastComponent(char* path) {
    for (size_t i = TextLength(path); i-- > 0;) {
        if (IsRealBackslash(path, i)) {
            path[i] = '\0';
            return path + i + 1;
        }
    }
    return path;
}

void CopyTextBounded(char* dest, const char* src, size_t size) {
    if (size == 0)
        return;
    size_t n = size;
    // When the first byte left out would be a trail byte, its lead byte goes too.
    if (SjisByteKind(src, size - 1) == SJIS_TRAIL)
        n = size - 1;
    // The rest of the buffer is zeroed, so that no stale byte follows the text.
    size_t i = 0;
    for (; i < n - 1 && src[i] != '\0'; ++i)
        dest[i] = src[i];
    for (; i < n; ++i)
        dest[i] = '\0';
}

bool JoinPath(char* dest, size_t size, const char* folder, const char* name) {
    if (size == 0)
        return false;
    if (folder[0] == '\0') {
        CopyTextBounded(dest, name, size);
        return TextLength(dest) == TextLength(name);
    }
    // A folder that ends in an unpaired lead byte would take the separator as its trail
    // byte, and the path would name a file one level up: no such folder exists.
    size_t folderLength = TextLength(folder);
    if (SjisByteKind(folder, folderLength - 1) == SJIS_LEAD) {
        dest[0] = '\0';
        return false;
    }
    CopyTextBounded(dest, folder, size);
    size_t length = TextLength(dest);
    // A folder that does not fit cannot be joined to anything: keep the cut folder only.
    if (length != folderLength)
        return false;
    if (CompareText(name, ".") == 0)
        return true;
    if (CompareText(name, "..") != 0) {
        if (length == 0 || !IsRealBackslash(dest, length - 1)) {
            if (length + 1 >= size)
                return false;  // no room for a separator, let alone a name
            dest[length++] = '\\';
            dest[length] = '\0';
        }
        // The name goes in whole when it fits, otherwise cut without splitting a
        // character; nothing is ever written past dest[size - 1].
        CopyTextBounded(dest + length, name, size - length);
        return TextLength(dest + length) == TextLength(name);
    }
    // "..": drop the last component and its separator. A folder directly below a drive
    // root keeps the root's separator. A folder without any real separator is left
    // as it is: there is nothing to go up to.
    size_t i = length;
    while (i > 0 && !IsRealBackslash(dest, i - 1))
        --i;
    if (i == 0)
        return true;
    dest[i - 1] = '\0';
    if (FindChar(dest, '\\') == nullptr) {
        dest[i - 1] = '\\';
        dest[i] = '\0';
    }
    return true;
}
