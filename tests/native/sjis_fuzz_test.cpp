// Seeded random texts through the Shift-JIS routines, under the sanitizers: exact-size
// buffers catch any overrun, and each result is checked against a plain reference built
// from a one-pass classification of the bytes. The run stops after a fixed budget.
#include "base/sjis.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// Bytes chosen to hit every class: separators, dots, letters, lead and trail ranges,
// 0x7F, half-width kana, bytes above the lead range.
const unsigned char kAlphabet[] = {'\\', '\\', '.',  '.',  'A',  'Z',  'a',  'z',  ':',  ' ',
                                   '@',  0x40, 0x5C, 0x7E, 0x7F, 0x80, 0x81, 0x83, 0x95, 0x9F,
                                   0xA0, 0xB1, 0xDF, 0xE0, 0xEA, 0xFC, 0xFD, 0xFF, 0x30, 0x3F};

std::string RandomText(std::mt19937& rng, size_t maxLength) {
    std::uniform_int_distribution<size_t> length(0, maxLength);
    std::uniform_int_distribution<size_t> pick(0, sizeof kAlphabet - 1);
    std::string text(length(rng), ' ');
    for (char& c : text)
        c = static_cast<char>(kAlphabet[pick(rng)]);
    return text;
}

// Kinds of every byte in one forward pass.
std::vector<SjisKind> Kinds(const std::string& text) {
    std::vector<SjisKind> kinds(text.size());
    SjisKind previous = SJIS_SINGLE;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned c = static_cast<unsigned char>(text[i]);
        bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        bool trail = c >= 0x40 && c <= 0xFC && c != 0x7F;
        kinds[i] = previous == SJIS_LEAD ? (trail ? SJIS_TRAIL : SJIS_SINGLE)
                                         : (lead ? SJIS_LEAD : SJIS_SINGLE);
        previous = kinds[i];
    }
    return kinds;
}

long LastRealBackslash(const std::string& text) {
    std::vector<SjisKind> kinds = Kinds(text);
    for (long i = static_cast<long>(text.size()) - 1; i >= 0; --i) {
        if (text[i] == '\\' && kinds[i] == SJIS_SINGLE)
            return i;
    }
    return -1;
}

// The longest prefix of at most size - 1 bytes that does not end inside a character.
std::string BoundedPrefix(const std::string& text, size_t size) {
    if (text.size() <= size - 1)
        return text;
    std::vector<SjisKind> kinds = Kinds(text);
    size_t n = size - 1;
    if (kinds[n] == SJIS_TRAIL)
        --n;
    return text.substr(0, n);
}

struct Budget {
    std::chrono::steady_clock::time_point end =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    bool Left() const { return std::chrono::steady_clock::now() < end; }
};

TEST(SjisRandom, KindsAndCaseFolding) {
    std::mt19937 rng(20261207);
    Budget budget;
    for (int round = 0; round < 20000 && budget.Left(); ++round) {
        std::string text = RandomText(rng, 40);
        std::vector<SjisKind> kinds = Kinds(text);
        for (size_t i = 0; i <= text.size() + 1; ++i) {
            SjisKind expected = i < text.size() ? kinds[i] : SJIS_SINGLE;
            ASSERT_EQ(SjisByteKind(text.c_str(), i), expected) << round << " at " << i;
        }
        std::vector<char> buffer(text.begin(), text.end());
        buffer.push_back('\0');
        LowerAsciiLetters(buffer.data());
        for (size_t i = 0; i < text.size(); ++i) {
            char c = text[i];
            char expected = (kinds[i] == SJIS_SINGLE && c >= 'A' && c <= 'Z') ? c + 32 : c;
            ASSERT_EQ(buffer[i], expected) << round << " at " << i;
        }
    }
}

TEST(SjisRandom, CuttingPaths) {
    std::mt19937 rng(7);
    Budget budget;
    for (int round = 0; round < 20000 && budget.Left(); ++round) {
        std::string path = RandomText(rng, 60);
        long slash = LastRealBackslash(path);

        std::vector<char> buffer(path.begin(), path.end());
        buffer.push_back('\0');
        char* component = RemoveLastComponent(buffer.data());
        if (slash < 0) {
            ASSERT_EQ(component, buffer.data());
            ASSERT_EQ(std::string(buffer.data()), path);
        } else {
            ASSERT_EQ(std::string(buffer.data()), path.substr(0, slash));
            ASSERT_EQ(std::string(component), path.substr(slash + 1));
        }

        std::vector<char> extBuffer(path.begin(), path.end());
        extBuffer.push_back('\0');
        char* ext = RemoveExtension(extBuffer.data());
        std::string last = path.substr(slash + 1);
        size_t dot = last.rfind('.');
        if (dot == std::string::npos) {
            ASSERT_EQ(std::string(extBuffer.data()), path);
            ASSERT_EQ(*ext, '\0');
        } else {
            ASSERT_EQ(std::string(extBuffer.data()), path.substr(0, slash + 1 + dot));
            ASSERT_EQ(std::string(ext), last.substr(dot + 1));
        }
    }
}

TEST(SjisRandom, BoundedCopiesAndJoins) {
    std::mt19937 rng(99);
    std::uniform_int_distribution<size_t> sizes(1, 70);
    Budget budget;
    for (int round = 0; round < 20000 && budget.Left(); ++round) {
        std::string source = RandomText(rng, 70);
        size_t size = sizes(rng);
        std::unique_ptr<char[]> dest(new char[size]);  // exact size: overruns are caught
        CopyTextBounded(dest.get(), source.c_str(), size);
        ASSERT_EQ(std::string(dest.get()), BoundedPrefix(source, size)) << round;

        std::string folder = RandomText(rng, 30);
        if (rng() % 6 == 0)
            folder += static_cast<char>(rng() % 2 ? 0x81 : 0xFC);  // may leave a lone lead byte
        std::string name = RandomText(rng, 20);
        if (rng() % 8 == 0)
            name = rng() % 2 ? "." : "..";
        size_t joinSize = sizes(rng);
        std::unique_ptr<char[]> joined(new char[joinSize]);
        bool whole = JoinPath(joined.get(), joinSize, folder.c_str(), name.c_str());
        std::string result(joined.get());
        ASSERT_LT(result.size(), joinSize);
        if (folder.empty()) {
            ASSERT_EQ(result, BoundedPrefix(name, joinSize));
            ASSERT_EQ(whole, result == name);
        } else if (Kinds(folder).back() == SJIS_LEAD) {
            ASSERT_FALSE(whole) << round;
            ASSERT_EQ(result, "") << round;
        } else if (name != "." && name != "..") {
            std::string full = folder;
            if (!folder.empty()) {
                std::vector<SjisKind> kinds = Kinds(folder);
                bool endsInSeparator = folder.back() == '\\' && kinds.back() == SJIS_SINGLE;
                if (!endsInSeparator)
                    full += '\\';
            }
            full += name;
            if (whole) {
                ASSERT_EQ(result, full) << round;
            } else {
                // A cut result is a prefix of the whole one and ends on a character.
                ASSERT_LT(result.size(), full.size()) << round;
                ASSERT_EQ(full.compare(0, result.size(), result), 0) << round;
            }
        } else if (name == "..") {
            ASSERT_LE(result.size(), folder.size() + 1) << testing::PrintToString(folder);
        }
    }
}

}  // namespace
