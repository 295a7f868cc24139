// lab_test.h -- what the tests of the comparison share: the common ones
// here (compare_test.cpp) and each program's own (tests/<name>/lab_test.cpp,
// built into the same binary by tests/lab/CMakeLists.txt).
#ifndef TESTS_LAB_LAB_TEST_H
#define TESTS_LAB_LAB_TEST_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "cases.h"
#include "compare_parts.h"
#include "gbk.h"

namespace lab_test {

// Gbk(utf8): the text in GBK, as the programs write it (ASCII and the
// two-byte characters these tests use).
inline std::string Gbk(const std::string &utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += static_cast<char>(b);
            i++;
            continue;
        }
        int n = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
        unsigned cp = b & (n == 2 ? 0x1F : n == 3 ? 0x0F : 0x07);
        for (int k = 1; k < n; k++) cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += n;
        for (int at = 0; at < 126 * 191; at++) {
            if (kGbk[at] == cp) {
                out += static_cast<char>(0x81 + at / 191);
                out += static_cast<char>(0x40 + at % 191);
                break;
            }
        }
    }
    return out;
}

inline Bytes Of(const std::string &s) {
    return Bytes{reinterpret_cast<const unsigned char *>(s.data()), s.size()};
}

inline std::string Replace(std::string s, const std::string &from, const std::string &to) {
    size_t at = s.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return s.replace(at, from.size(), to);
}

inline std::string Format(const Compared &r) {
    static char text[8192];  // one test at a time: gtest runs them in turn
    CompareFormat(&r, text, sizeof text);
    return text;
}

// Report(): a Compared kept out of the tests' stack frames (it is large).
inline Compared &Report() {
    static Compared report;
    return report;
}

// The exercise makers (lab/cases.h): the same size and seed give the very
// bytes the page's 换一题 has always made for them, so that a link
// ex=<size>-<seed> shared before still gives the same exercise. Each
// program's digests were taken from the page's generator of the time over
// seeds 1 to 1000 in every size.
using Maker = int (*)(int, uint32_t, Case *);

// Digest(make, size): FNV-1a over the exercises of seeds 1..1000, each
// followed by a zero byte.
inline uint32_t Digest(Maker make, int size) {
    uint32_t h = 0x811c9dc5u;
    Case c;
    for (uint32_t seed = 1; seed <= 1000; seed++) {
        EXPECT_EQ(make(size, seed, &c), 1);
        for (size_t k = 0; k <= c.length; k++) {
            h ^= k < c.length ? c.bytes[k] : 0;
            h *= 0x01000193u;
        }
    }
    return h;
}

// ExpectDigests(make, digests): Digest(make, size) is digests[size] in
// every size, CASE_SMALL to CASE_LARGE.
inline void ExpectDigests(Maker make, const uint32_t (&digests)[CASE_LARGE + 1]) {
    for (int size = CASE_SMALL; size <= CASE_LARGE; size++)
        EXPECT_EQ(Digest(make, size), digests[size]) << "size " << size;
}

inline std::string Make(Maker make, int size, uint32_t seed) {
    Case c;
    make(size, seed, &c);
    return std::string(reinterpret_cast<const char *>(c.bytes), c.length);
}

}  // namespace lab_test

#endif
