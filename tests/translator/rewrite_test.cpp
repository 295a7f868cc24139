/* Unit tests of the bracket expansion (PreDeal) and the rule passes
 * (MidDeal) on the program's own stack L and queue Q. */
#include <gtest/gtest.h>

#include <string>

#include "messages.h"
#include "rewrite.h"
#include "rulefile.h"
#include "support.h"

namespace {

/* L and Q are made once, as in the program, and emptied after each test. */
class Rewrite : public testing::Test {
protected:
    void SetUp() override {
        if (L.top == nullptr) Start();
    }
    void TearDown() override {
        AllowAllAllocations();
        char c;
        while (Pop(&L, &c) == OK) {}
        while (DeQueue(&Q, &c) == OK) {}
    }
};
using RewriteDeathTest = Rewrite;

/* Pops everything off L: the sentence from its first character on. */
std::string TakeStack() {
    std::string s;
    char c;
    while (Pop(&L, &c) == OK) s += c;
    return s;
}

/* Dequeues everything from Q. */
std::string TakeQueue() {
    std::string s;
    char c;
    while (DeQueue(&Q, &c) == OK) s += c;
    return s;
}

/* The expansion of `sentence` as PreDeal leaves it on L. */
std::string Expand(const std::string &sentence) {
    Load("0\n" + sentence + "\n");
    PreDeal();
    EXPECT_EQ(QueueEmpty(&Q), TRUE);
    return TakeStack();
}

/* What the expansion and the rule passes make of the rule file `text`. */
std::string Passes(const std::string &text) {
    Load(text);
    PreDeal();
    MidDeal();
    EXPECT_EQ(StackEmpty(&L), TRUE);
    return TakeQueue();
}

/* ---------------------------------------------------------------- expansion */

TEST_F(Rewrite, ExpandsEachGroupAroundItsFirstCharacter) {
    EXPECT_EQ(Expand("(abcd)"), "adacaba");
    EXPECT_EQ(Expand("(t)"), "t");
    EXPECT_EQ(Expand("X(ehn)"), "Xenehe");
    EXPECT_EQ(Expand("(ab)(cd)"), "abacdc");
    EXPECT_EQ(Expand("(a(bc)d)"), "adabacaba");  /* inner groups first */
    EXPECT_EQ(Expand("((ab)c)"), "acaaaba");
    EXPECT_EQ(Expand(""), "");
}


TEST_F(Rewrite, KeepsAnUnclaimedCloseAndFeedsALaterOneToAnEmptyGroup) {
    EXPECT_EQ(Expand("ab)c"), "ab)c");
    EXPECT_EQ(Expand("(a))"), "a)");
    EXPECT_EQ(Expand("()a)"), ")a)");  /* ")" is the group's first character */
}

TEST_F(RewriteDeathTest, RefusesBracketsThatDoNotClose) {
    const std::string refused = AtLine(2, TEXT_UNCLOSED_LINE);  /* the sentence line */
    for (const char *sentence : {"(ab", "()", "a(", "(a", "((ab)", "x(y(z)"}) {
        EXPECT_EXIT(Expand(sentence), testing::ExitedWithCode(REFUSED), testing::Eq(refused))
            << sentence;
    }
}

TEST_F(RewriteDeathTest, PushWithoutMemoryEndsTheRunSilently) {
    EXPECT_EXIT(
        {
            Load("0\nab\n");
            FailAllocationAfter(1);  /* "b" is pushed, "a" is not */
            PreDeal();
        },
        testing::ExitedWithCode(255), testing::Eq(std::string()));
    EXPECT_EXIT(
        {
            Load("0\n(ab)\n");
            FailAllocationAfter(5);  /* ")", "b", "a", the append of "b", then "a" again; "b" fails */
            PreDeal();
        },
        testing::ExitedWithCode(255), testing::Eq(std::string()));
}

/* ---------------------------------------------------------------- passes */

TEST_F(Rewrite, EachPassRewritesExactlyThePreviousSentence) {
    EXPECT_EQ(Passes("2\nX = tYd\nY = sa\nX(ehn)\n"), "tsadenehe");
    EXPECT_EQ(Passes("3\nX = YY\nY = XZ\nZ = t\nX"), "XtXt");
    EXPECT_EQ(Passes("3\nX =\nY = t\nt = d\nXX\n"), "");  /* emptied by pass 0 */
    EXPECT_EQ(Passes("3\nP = z\nQ = z\nR = z\nt$d"), "t$d");  /* "$" is no end mark */
    EXPECT_EQ(Passes("1\n$ = s\n$($x)"), "ssxs");  /* "$" + "$x$" */
    EXPECT_EQ(Passes("2\nX = $t\nt = d\nXt"), "$dd");
}

TEST_F(Rewrite, WithoutRulesTheSentenceStaysOnTheStack) {
    Load("0\nab\n");
    PreDeal();
    MidDeal();
    EXPECT_EQ(QueueEmpty(&Q), TRUE);
    EXPECT_EQ(TakeStack(), "ab");
}


TEST_F(Rewrite, SentenceMayGrowToTheBound) {
    Load("1\na = aaaaaaaa\n");
    for (long i = 0; i < MAXGROWN / 8; i++) Push(&L, 'a');
    MidDeal();
    EXPECT_EQ(QueueLength(&Q), MAXGROWN);
}

TEST_F(RewriteDeathTest, SentenceGrowingPastTheBoundStopsTheRun) {
    const std::string stopped = AtLine(3, TEXT_OVERGROWN_LINE);  /* the rule of a */
    EXPECT_EXIT(
        {
            Load("2\nb = c\na = aaaaaaaaa\n");
            for (long i = 0; i <= MAXGROWN / 9; i++) Push(&L, 'a');
            MidDeal();
        },
        testing::ExitedWithCode(255), testing::Eq(stopped));
}

}  // namespace
