// The exercise makers (lab/cases.h): the same size and seed give the very
// bytes the page's 换一题 has always made for them, so that a link
// ex=<size>-<seed> shared before still gives the same exercise. The
// digests below were taken from the page's generator of the time over
// seeds 1 to 1000 in every size; one exercise per program is spelled out.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "cases.h"

namespace {

using Maker = int (*)(int, uint32_t, Case *);

// Digest(make, size): FNV-1a over the exercises of seeds 1..1000, each
// followed by a zero byte.
uint32_t Digest(Maker make, int size) {
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

std::string Make(Maker make, int size, uint32_t seed) {
    Case c;
    make(size, seed, &c);
    return std::string(reinterpret_cast<const char *>(c.bytes), c.length);
}

TEST(CasesTest, ThousandSeedsInEverySizeGiveTheBytesLinksHaveAlwaysGiven) {
    const struct {
        Maker make;
        uint32_t digests[3];
    } programs[] = {
        {MakeEvaluatorCase, {0xfa75ada3u, 0x58f5e2e9u, 0xecf645c8u}},
        {MakeBitreeCase, {0x8fb2aceeu, 0xd77c2360u, 0xcca38a89u}},
        {MakeTranslatorCase, {0xfa103c10u, 0x4a29fe20u, 0xcc7f2edeu}},
        {MakeJosephusCase, {0x35829e50u, 0x71e66a41u, 0xb575625au}},
    };
    for (int p = 0; p < 4; p++) {
        for (int size = CASE_SMALL; size <= CASE_LARGE; size++) {
            EXPECT_EQ(Digest(programs[p].make, size), programs[p].digests[size]) << "program " << p << " size " << size;
        }
    }
}

TEST(CasesTest, TheLargestSeedAPageMakesGivesEachProgramItsInput) {
    EXPECT_EQ(Make(MakeEvaluatorCase, CASE_MEDIUM, 2147483647u), "20*(6-11)*15*(8+11)\n");
    EXPECT_EQ(Make(MakeBitreeCase, CASE_MEDIUM, 2147483647u), "0\nBZORKYHA ZBHYKRAO\n1\n-7--889\n2\n-*9*282\n");
    EXPECT_EQ(Make(MakeTranslatorCase, CASE_MEDIUM, 2147483647u), "3\nB = e\nZ = Onhs\nO = nexe\nB(xazh)(dnx)Z");
    EXPECT_EQ(Make(MakeJosephusCase, CASE_MEDIUM, 2147483647u), "8 12 3 7 7 2 16 11 16 6");
}

TEST(CasesTest, AnUnknownSizeMakesNothingAndSizesAreNamedAsLinksSpellThem) {
    Case c;
    c.length = 5;
    EXPECT_EQ(MakeJosephusCase(3, 1, &c), 0);
    EXPECT_EQ(c.length, 0u);
    EXPECT_EQ(MakeEvaluatorCase(-1, 1, &c), 0);
    EXPECT_EQ(CaseSizeNamed("small"), CASE_SMALL);
    EXPECT_EQ(CaseSizeNamed("medium"), CASE_MEDIUM);
    EXPECT_EQ(CaseSizeNamed("large"), CASE_LARGE);
    EXPECT_EQ(CaseSizeNamed("huge"), -1);
    EXPECT_EQ(CaseSizeNamed(nullptr), -1);
}

}  // namespace
