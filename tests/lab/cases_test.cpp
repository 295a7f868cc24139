// The exercise makers (lab/cases.h), every one the registry gives a maker
// (programs.gen.h): what they share. Each program's own bytes are checked
// in its tests/<name>/lab_test.cpp.
#include <gtest/gtest.h>

#include "lab_test.h"

namespace {

TEST(CasesTest, AnUnknownSizeMakesNothingAndSizesAreNamedAsLinksSpellThem) {
    int makers = 0;
#define DSD_PROGRAM(name, Name, output, input, input_file, compares, makes) \
    DSD_WHEN_##makes({                                                     \
        Case c;                                                            \
        c.length = 5;                                                      \
        EXPECT_EQ(Make##Name##Case(3, 1, &c), 0) << #name;                 \
        EXPECT_EQ(c.length, 0u) << #name;                                  \
        EXPECT_EQ(Make##Name##Case(-1, 1, &c), 0) << #name;                \
        EXPECT_EQ(Make##Name##Case(CASE_LARGE, 1, &c), 1) << #name;        \
        EXPECT_GT(c.length, 0u) << #name;                                  \
        EXPECT_LT(c.length, sizeof c.bytes) << #name;                      \
        makers++;                                                          \
    })
    DSD_EACH_PROGRAM
#undef DSD_PROGRAM
    EXPECT_GT(makers, 0);
    EXPECT_EQ(CaseSizeNamed("small"), CASE_SMALL);
    EXPECT_EQ(CaseSizeNamed("medium"), CASE_MEDIUM);
    EXPECT_EQ(CaseSizeNamed("large"), CASE_LARGE);
    EXPECT_EQ(CaseSizeNamed("huge"), -1);
    EXPECT_EQ(CaseSizeNamed(nullptr), -1);
}

}  // namespace
