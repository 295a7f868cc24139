// Rebuilding a tree from preorder and inorder, and the three printers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "alloc_fail.h"
#include "bitree.h"
#include "texts.h"
#include "token.h"

namespace {

// What a printer writes for T.
std::string Printed(Status (*printer)(BiTree), BiTree T) {
    testing::internal::CaptureStdout();
    Status status = printer(T);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(status, OK);
    return out;
}

BiTree Build(const std::string &pre, const std::string &in) {
    return PreInCreate(pre.c_str(), in.c_str(), 0, static_cast<int>(pre.size()) - 1, 0,
                       static_cast<int>(in.size()) - 1);
}

// Rebuild, then check that the tree prints the given orders back.
void ExpectRoundTrip(const std::string &pre, const std::string &in, const std::string &post) {
    BiTree T = Build(pre, in);
    ASSERT_NE(T, nullptr) << pre << " / " << in;
    EXPECT_EQ(Printed(PrePrint, T), pre);
    EXPECT_EQ(Printed(InPrint, T), in);
    EXPECT_EQ(Printed(PostPrint, T), post);
    DestroyBiTree(T);
}

TEST(PreInCreate, ShapesOfTheWorkedExamples) {
    BiTree T = Build("A", "A");
    ASSERT_NE(T, nullptr);
    EXPECT_EQ(T->data, 'A');
    EXPECT_EQ(T->lchild, nullptr);
    EXPECT_EQ(T->rchild, nullptr);
    DestroyBiTree(T);

    T = Build("ABC", "BAC");                 // A with children B and C
    ASSERT_NE(T, nullptr);
    EXPECT_EQ(T->lchild->data, 'B');
    EXPECT_EQ(T->rchild->data, 'C');
    EXPECT_EQ(T->lchild->lchild, nullptr);
    EXPECT_EQ(T->rchild->rchild, nullptr);
    DestroyBiTree(T);

    T = Build("ABC", "CBA");                 // chain of left children
    ASSERT_NE(T, nullptr);
    EXPECT_EQ(T->rchild, nullptr);
    EXPECT_EQ(T->lchild->rchild, nullptr);
    EXPECT_EQ(T->lchild->lchild->data, 'C');
    DestroyBiTree(T);

    T = Build("AA", "AA");                   // repeats: first match, a right child
    ASSERT_NE(T, nullptr);
    EXPECT_EQ(T->lchild, nullptr);
    ASSERT_NE(T->rchild, nullptr);
    EXPECT_EQ(T->rchild->data, 'A');
    DestroyBiTree(T);
}

TEST(PreInCreate, PrintsTheSequencesBack) {
    ExpectRoundTrip("A", "A", "A");
    ExpectRoundTrip("ABC", "BAC", "BCA");
    ExpectRoundTrip("ABC", "CBA", "CBA");
    ExpectRoundTrip("ABC", "ABC", "CBA");
    ExpectRoundTrip("ABDECF", "DBEAFC", "DEBFCA");
    ExpectRoundTrip("AA", "AA", "AA");
    ExpectRoundTrip("\xd6\xd0\xce\xc4", "\xd6\xd0\xce\xc4", "\xc4\xce\xd0\xd6");  // 中文, per byte
}

TEST(PreInCreate, RefusesInconsistentPairs) {
    EXPECT_EQ(Build("AAB", "BAA"), nullptr);  // first match is the wrong A
    EXPECT_EQ(Build("AB", "A"), nullptr);     // unequal lengths
    EXPECT_EQ(Build("A", "AB"), nullptr);
    EXPECT_EQ(Build("ABC", "XYZ"), nullptr);  // root missing
    EXPECT_EQ(Build("ABC", "BAD"), nullptr);  // fails deep, after nodes were built
    EXPECT_EQ(Build("ABCD", "CBAE"), nullptr);
    EXPECT_EQ(Build("", ""), nullptr);        // no nodes at all
}

// The search stops at the end of its range: here the inorder sequence sits
// in a heap block of its exact length with no terminator, and the last
// subtree's root is missing from its one-byte range (AddressSanitizer would
// report a read past the block).
TEST(PreInCreate, SearchNeverLeavesItsRange) {
    char *in = static_cast<char *>(malloc(3));
    memcpy(in, "BAD", 3);
    EXPECT_EQ(PreInCreate("ABC", in, 0, 2, 0, 2), nullptr);
    memcpy(in, "BAC", 3);
    BiTree T = PreInCreate("ABC", in, 0, 2, 0, 2);
    EXPECT_NE(T, nullptr);
    DestroyBiTree(T);
    free(in);
}

TEST(Printers, EmptyTreeWritesNothing) {
    EXPECT_EQ(Printed(PrePrint, nullptr), "");
    EXPECT_EQ(Printed(InPrint, nullptr), "");
    EXPECT_EQ(Printed(PostPrint, nullptr), "");
}

// A sequence of 1023 equal characters, the longest token, gives a chain of
// 1023 nodes, each the right child of the one before: the deepest recursion
// the console allows, in building, printing and freeing.
TEST(PreInCreate, ChainOf1023Nodes) {
    std::string seq(TOKEN_MAX, 'A');
    BiTree T = Build(seq, seq);
    ASSERT_NE(T, nullptr);
    int depth = 0;
    for (BiTree p = T; p != nullptr; p = p->rchild) {
        EXPECT_EQ(p->lchild, nullptr);
        depth++;
    }
    EXPECT_EQ(depth, TOKEN_MAX);
    EXPECT_EQ(Printed(PostPrint, T), seq);
    DestroyBiTree(T);
}

// Running out of memory part way through a build ends the program with
// exactly the one message line on stderr and exit status -1.
TEST(PreInCreateDeathTest, RunningOutOfMemoryEndsTheProgram) {
    EXPECT_EXIT((FailAllocationAfter(2), Build("ABC", "BAC")), testing::ExitedWithCode(255),
                std::string(TEXT_NO_MEMORY));
}

}  // namespace
