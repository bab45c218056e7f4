// Text routines with no C runtime underneath (see text.h).
#include "base/text.h"

#include <limits.h>
#include <stdint.h>
#include <string.h>

namespace {

// Appends to a bounded buffer while counting every byte the whole text has.
struct Sink {
    char* out;
    size_t size;
    size_t length;

    void Put(char c) {
        if (length + 1 < size)
            out[length] = c;
        ++length;
    }
    void Pad(char c, int count) {
        for (; count > 0; --count)
            Put(c);
    }
};

// The digits of value, least significant first; returns how many.
int Digits(unsigned long value, unsigned base, bool upper, char* digits) {
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    int count = 0;
    do {
        digits[count++] = set[value % base];
        value /= base;
    } while (value != 0);
    return count;
}

}  // namespace

int FormatTextV(char* out, size_t size, const char* format, va_list args) {
    Sink sink = {out, size, 0};
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            sink.Put(*p);
            continue;
        }
        const char* start = p++;
        bool left = false, zero = false;
        for (;; ++p) {
            if (*p == '-')
                left = true;
            else if (*p == '0')
                zero = true;
            else
                break;
        }
        int width = 0;
        for (; *p >= '0' && *p <= '9'; ++p)
            width = width < 1000 ? width * 10 + (*p - '0') : width;
        char digits[24];
        int count = 0;
        bool negative = false;
        const char* text = NULL;
        switch (*p) {
            case 'd':
            case 'i': {
                int value = va_arg(args, int);
                negative = value < 0;
                // The magnitude through unsigned, so that INT_MIN does not overflow.
                unsigned magnitude =
                    negative ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
                count = Digits(magnitude, 10, false, digits);
                break;
            }
            case 'u':
                count = Digits(va_arg(args, unsigned), 10, false, digits);
                break;
            case 'x':
            case 'X':
                count = Digits(va_arg(args, unsigned), 16, *p == 'X', digits);
                break;
            case 'c':
                digits[0] = static_cast<char>(va_arg(args, int));
                count = 1;
                break;
            case 's':
                text = va_arg(args, const char*);
                if (text == NULL)
                    text = "(null)";
                break;
            case '%':
                sink.Put('%');
                continue;
            default:  // not a conversion this program uses: copied as it stands
                for (; start <= p && *start != '\0'; ++start)
                    sink.Put(*start);
                if (*p == '\0')
                    --p;
                continue;
        }
        int body = text != NULL ? static_cast<int>(TextLength(text)) : count + (negative ? 1 : 0);
        int pad = width > body ? width - body : 0;
        if (!left && !(zero && text == NULL))
            sink.Pad(' ', pad);
        if (negative)
            sink.Put('-');
        if (!left && zero && text == NULL)
            sink.Pad('0', pad);
        if (text != NULL) {
            for (; *text != '\0'; ++text)
                sink.Put(*text);
        } else {
            while (count > 0)
                sink.Put(digits[--count]);
        }
        if (left)
            sink.Pad(' ', pad);
    }
    if (size > 0)
        out[sink.length < size ? sink.length : size - 1] = '\0';
    return sink.length > INT_MAX ? INT_MAX : static_cast<int>(sink.length);
}

int FormatText(char* out, size_t size, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int length = FormatTextV(out, size, format, args);
    va_end(args);
    return length;
}

bool ReadDecimal(const char* text, int* value) {
    const char* p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    if (*p < '0' || *p > '9')
        return false;
    // Accumulated as a negative number, whose range reaches INT_MIN.
    int number = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        int digit = *p - '0';
        number = number < (INT_MIN + digit) / 10 ? INT_MIN : number * 10 - digit;
    }
    if (!negative)
        number = number == INT_MIN ? INT_MAX : -number;
    *value = number;
    return true;
}

size_t TextLength(const char* text) {
    const char* end = text;
    while (*end != '\0')
        ++end;
    return static_cast<size_t>(end - text);
}

int CompareText(const char* a, const char* b) {
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
    for (; *x != '\0' && *x == *y; ++x, ++y) {
    }
    return *x < *y ? -1 : *x > *y ? 1 : 0;
}

const char* FindChar(const char* text, char c) {
    for (;; ++text) {
        if (*text == c)
            return text;
        if (*text == '\0')
            return NULL;
    }
}

namespace {

void SwapRecords(unsigned char* a, unsigned char* b, size_t size) {
    // Four bytes at a time while they last (fixed-size copies compile to plain moves).
    for (; size >= 4; size -= 4, a += 4, b += 4) {
        uint32_t x, y;
        memcpy(&x, a, 4);
        memcpy(&y, b, 4);
        memcpy(a, &y, 4);
        memcpy(b, &x, 4);
    }
    for (; size != 0; --size, ++a, ++b) {
        unsigned char t = *a;
        *a = *b;
        *b = t;
    }
}

// Moves the record at root down the heap of count records until neither child is larger.
void SiftDown(unsigned char* base, size_t root, size_t count, size_t size,
              int (*compare)(const void*, const void*)) {
    for (;;) {
        size_t child = 2 * root + 1;
        if (child >= count)
            return;
        if (child + 1 < count && compare(base + child * size, base + (child + 1) * size) < 0)
            ++child;
        if (compare(base + root * size, base + child * size) >= 0)
            return;
        SwapRecords(base + root * size, base + child * size, size);
        root = child;
    }
}

}  // namespace

void SortRecords(void* records, size_t count, size_t size,
                 int (*compare)(const void*, const void*)) {
    unsigned char* base = static_cast<unsigned char*>(records);
    for (size_t i = count / 2; i-- > 0;)
        SiftDown(base, i, count, size, compare);
    for (size_t end = count; end-- > 1;) {
        SwapRecords(base, base + end * size, size);
        SiftDown(base, 0, end, size, compare);
    }
}
