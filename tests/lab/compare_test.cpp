// The comparison of a student's output with ours (lab/compare.h), the part
// common to all programs, as a program without its own part meets it
// (PlainComparison): lines and tokens, named by line and column alone.
// Each program's own part is checked on its real output in its
// tests/<name>/lab_test.cpp.
#include <gtest/gtest.h>

#include <string>

#include "lab_test.h"

namespace {

using namespace lab_test;

TEST(CompareTest, AProgramWithoutItsOwnPartIsComparedLineByLineWithNoStep) {
    const std::string ours = "alpha beta\ngamma delta\n";
    const CompareProgram *plain = PlainComparison("sample", nullptr);
    CompareOutputs(plain, Of(ours), Of(ours), 0, &Report());
    EXPECT_EQ(Report().verdict, COMPARE_SAME);
    EXPECT_STREQ(Report().headline, "对照 sample 的 stdout（控制台输出）：完全一致");

    CompareOutputs(plain, Of(ours), Of("alpha beta\r\ngamma  delta\r\n"), 0, &Report());
    EXPECT_EQ(Report().verdict, COMPARE_FORM);
    EXPECT_EQ(Report().note_count, 2);

    plain = PlainComparison("sample", "sample.txt");
    CompareOutputs(plain, Of(ours), Of(Replace(ours, "delta", "delts")), 0, &Report());
    EXPECT_EQ(Report().verdict, COMPARE_DIFFERENT);
    EXPECT_EQ(Report().step, 0);
    EXPECT_EQ(Report().line, 2);
    EXPECT_EQ(Report().column, 11);
    EXPECT_STREQ(Report().where, "第 2 行，第 11 个字符");
    EXPECT_EQ(Format(Report()).substr(0, std::string("对照 sample 的 sample.txt：内容不同\n").size()),
              "对照 sample 的 sample.txt：内容不同\n");
}

}  // namespace
