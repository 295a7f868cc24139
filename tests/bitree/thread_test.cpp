// The parent-linked copy, post-order threading and the stackless walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bitree.h"
#include "thread.h"
#include "token.h"

namespace {

std::string Printed(Status (*printer)(BiTree), BiTree T) {
    testing::internal::CaptureStdout();
    printer(T);
    return testing::internal::GetCapturedStdout();
}

std::string Walked(BiThrTree T) {
    testing::internal::CaptureStdout();
    PostPrintBiThrTree(T);
    return testing::internal::GetCapturedStdout();
}

BiThrTree BuildThr(const std::string &pre_, const std::string &in) {
    return PreInCreateThr(pre_.c_str(), in.c_str(), 0, static_cast<int>(pre_.size()) - 1, 0,
                          static_cast<int>(in.size()) - 1, nullptr);
}

// Build and thread the tree of a consistent pair, as choice 0 does.
BiThrTree Threaded(const std::string &pre_, const std::string &in) {
    BiThrTree T = BuildThr(pre_, in);
    EXPECT_NE(T, nullptr);
    pre = nullptr;
    PostCreatBiThrTree(T);
    EXPECT_EQ(pre, T);
    return T;
}

// Find the node holding c (the characters of these trees are distinct).
// Only real links are followed, so this works before and after threading.
BiThrTree Find(BiThrTree T, char c) {
    if (T == nullptr) return nullptr;
    if (T->data == c) return T;
    BiThrTree hit = T->ltag == Link ? Find(T->lchild, c) : nullptr;
    if (hit == nullptr && T->rtag == Link) hit = Find(T->rchild, c);
    return hit;
}

// ---------------------------------------------------------------- tags

TEST(Threading, SingleNode) {
    BiThrTree A = Threaded("A", "A");
    EXPECT_EQ(A->ltag, Thread);
    EXPECT_EQ(A->lchild, nullptr);
    EXPECT_EQ(A->rtag, Link);
    EXPECT_EQ(A->rchild, nullptr);
    EXPECT_EQ(A->parent, nullptr);
    EXPECT_EQ(Walked(A), "A");
    DestroyBiThrTree(A);
}

TEST(Threading, BuildingLeavesAllTagsLinkAndSetsParents) {
    BiThrTree A = BuildThr("ABC", "BAC");
    BiThrTree B = A->lchild, C = A->rchild;
    for (BiThrTree n : {A, B, C}) {
        EXPECT_EQ(n->ltag, Link);
        EXPECT_EQ(n->rtag, Link);
    }
    EXPECT_EQ(B->lchild, nullptr);
    EXPECT_EQ(C->rchild, nullptr);
    EXPECT_EQ(A->parent, nullptr);
    EXPECT_EQ(B->parent, A);
    EXPECT_EQ(C->parent, A);
    DestroyBiThrTree(A);
}

TEST(Threading, ThreeNodes) {
    BiThrTree A = Threaded("ABC", "BAC");
    BiThrTree B = Find(A, 'B'), C = Find(A, 'C');
    ASSERT_TRUE(B != nullptr && C != nullptr);
    EXPECT_EQ(B->ltag, Thread);
    EXPECT_EQ(B->lchild, nullptr);
    EXPECT_EQ(B->rtag, Thread);
    EXPECT_EQ(B->rchild, C);
    EXPECT_EQ(C->ltag, Thread);
    EXPECT_EQ(C->lchild, B);
    EXPECT_EQ(C->rtag, Thread);
    EXPECT_EQ(C->rchild, A);
    EXPECT_EQ(A->ltag, Link);
    EXPECT_EQ(A->lchild, B);
    EXPECT_EQ(A->rtag, Link);
    EXPECT_EQ(A->rchild, C);
    EXPECT_EQ(B->parent, A);
    EXPECT_EQ(C->parent, A);
    DestroyBiThrTree(A);
}

TEST(Threading, SecondTreeDoesNotTouchTheFirst) {
    BiThrTree first = Threaded("ABC", "BAC");
    std::vector<BiThrNode> before = {*first, *first->lchild, *first->rchild};

    BiThrTree second = Threaded("DEF", "EDF");
    BiThrTree E = Find(second, 'E');
    EXPECT_EQ(E->ltag, Thread);
    EXPECT_EQ(E->lchild, nullptr);           // first in post-order: null thread
    EXPECT_EQ(E->rchild, Find(second, 'F'));

    std::vector<BiThrNode> after = {*first, *first->lchild, *first->rchild};
    for (size_t k = 0; k < before.size(); k++) {
        EXPECT_EQ(before[k].lchild, after[k].lchild);
        EXPECT_EQ(before[k].rchild, after[k].rchild);
        EXPECT_EQ(before[k].parent, after[k].parent);
        EXPECT_EQ(before[k].ltag, after[k].ltag);
        EXPECT_EQ(before[k].rtag, after[k].rtag);
    }
    EXPECT_EQ(Walked(first), "BCA");
    EXPECT_EQ(Walked(second), "EFD");
    DestroyBiThrTree(first);
    DestroyBiThrTree(second);
}

// ---------------------------------------------------------------- walk

TEST(Walk, WorkedExamples) {
    struct { const char *pre, *in, *post; } cases[] = {
        {"ABDECF", "DBEAFC", "DEBFCA"},
        {"ABC", "ABC", "CBA"},               // chain of right children
        {"ABC", "CBA", "CBA"},               // root with a left subtree only
        {"AB", "BA", "BA"},
        {"ABCD", "ACDB", "DCBA"},            // B: left child C, which has a right child
        {"ABCDE", "DCBAE", "DCBEA"},         // left-only nodes with a right sibling above
        {"ABCDEF", "BDCAFE", "DCBFEA"},
    };
    for (const auto &c : cases) {
        BiThrTree T = Threaded(c.pre, c.in);
        EXPECT_EQ(Walked(T), c.post) << c.pre << " / " << c.in;
        EXPECT_EQ(pre, T);
        EXPECT_EQ(Walked(T), c.post) << "second walk of " << c.pre;
        DestroyBiThrTree(T);
    }
}

TEST(Walk, EmptyTreeWritesNothing) {
    EXPECT_EQ(Walked(nullptr), "");
}

// ------------------------------------------------- random and deep trees

BiThrTree NewNode(char c, BiThrTree parent) {
    BiThrTree n = static_cast<BiThrTree>(malloc(sizeof(BiThrNode)));
    n->data = c;
    n->lchild = n->rchild = nullptr;
    n->parent = parent;
    n->ltag = n->rtag = Link;
    return n;
}

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
const unsigned kLetters = sizeof(kAlphabet) - 1;  // 62 distinct characters

// A tree of n nodes whose shape and characters come from rng.
BiThrTree RandomTree(int n, BiThrTree parent, std::mt19937 &rng) {
    if (n == 0) return nullptr;
    BiThrTree t = NewNode(kAlphabet[rng() % kLetters], parent);
    int left = static_cast<int>(rng() % n);
    t->lchild = RandomTree(left, t, rng);
    t->rchild = RandomTree(n - 1 - left, t, rng);
    return t;
}

// A chain of n nodes; right[k] says whether node k+1 is a right child.
BiThrTree Chain(int n, const std::vector<bool> &right) {
    BiThrTree root = NewNode(kAlphabet[0], nullptr), p = root;
    for (int k = 1; k < n; k++) {
        BiThrTree c = NewNode(kAlphabet[k % kLetters], p);
        (right[k - 1] ? p->rchild : p->lchild) = c;
        p = c;
    }
    return root;
}

void PostOrder(BiThrTree t, std::vector<BiThrTree> &out) {
    if (t == nullptr) return;
    PostOrder(t->lchild, out);
    PostOrder(t->rchild, out);
    out.push_back(t);
}

// Thread t and check every link against its recursive post-order, then
// check that the walk writes exactly that order. Frees t.
void CheckThreadAndWalk(BiThrTree t) {
    std::vector<BiThrTree> order;            // taken on the real links
    PostOrder(t, order);
    std::vector<BiThrTree> left, right;
    std::string expected;
    for (BiThrTree n : order) {
        left.push_back(n->lchild);
        right.push_back(n->rchild);
        expected += n->data;
    }

    pre = nullptr;
    PostCreatBiThrTree(t);
    size_t count = order.size();
    for (size_t k = 0; k < count; k++) {
        BiThrTree n = order[k];
        BiThrTree before = k > 0 ? order[k - 1] : nullptr;
        if (left[k] != nullptr) {
            ASSERT_EQ(n->ltag, Link);
            ASSERT_EQ(n->lchild, left[k]);
        } else {
            ASSERT_EQ(n->ltag, Thread);
            ASSERT_EQ(n->lchild, before);
        }
        if (right[k] != nullptr) {
            ASSERT_EQ(n->rtag, Link);
            ASSERT_EQ(n->rchild, right[k]);
        } else if (k + 1 < count) {
            ASSERT_EQ(n->rtag, Thread);
            ASSERT_EQ(n->rchild, order[k + 1]);
        } else {                             // the root, last in post-order
            ASSERT_EQ(n->rtag, Link);
            ASSERT_EQ(n->rchild, nullptr);
        }
    }
    EXPECT_EQ(Walked(t), expected);
    EXPECT_EQ(pre, t);
    DestroyBiThrTree(t);
}

TEST(Walk, MatchesRecursivePostOrderOnRandomTrees) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 2000; round++) {
        int n = 1 + static_cast<int>(rng() % (round < 1500 ? 12 : 300));
        CheckThreadAndWalk(RandomTree(n, nullptr, rng));
    }
}

// Chains as long as the longest token, the deepest trees the console gives.
TEST(Walk, ChainsOf1023Nodes) {
    const int n = TOKEN_MAX;
    std::vector<bool> allLeft(n, false), allRight(n, true), zigzag(n), mixed(n);
    std::mt19937 rng(7);
    for (int k = 0; k < n; k++) {
        zigzag[k] = k % 2 == 1;
        mixed[k] = rng() % 2 == 1;
    }
    CheckThreadAndWalk(Chain(n, allLeft));
    CheckThreadAndWalk(Chain(n, allRight));
    CheckThreadAndWalk(Chain(n, zigzag));
    CheckThreadAndWalk(Chain(n, mixed));
}

// The preorder, inorder and post-order of t, taken on its real links.
void Orders(BiThrTree t, std::string &p, std::string &i, std::string &o) {
    if (t == nullptr) return;
    p += t->data;
    std::string lp, li, lo, rp, ri, ro;
    Orders(t->lchild, lp, li, lo);
    Orders(t->rchild, rp, ri, ro);
    p += lp + rp;
    i += li + t->data + ri;
    o += lo + ro + t->data;
}

// Random trees with distinct characters, rebuilt from their preorder and
// inorder by both builders: the plain tree prints all three orders back and
// the threaded copy walks in the same post-order.
TEST(Walk, RebuiltRandomTreesWithDistinctCharacters) {
    std::mt19937 rng(99);
    for (int round = 0; round < 500; round++) {
        int n = 1 + static_cast<int>(rng() % kLetters);
        BiThrTree shape = RandomTree(n, nullptr, rng);
        std::vector<BiThrTree> nodes;
        PostOrder(shape, nodes);
        std::string letters = kAlphabet;
        std::shuffle(letters.begin(), letters.end(), rng);
        for (size_t k = 0; k < nodes.size(); k++) nodes[k]->data = letters[k];
        std::string p, i, o;
        Orders(shape, p, i, o);
        DestroyBiThrTree(shape);

        BiTree plain = PreInCreate(p.c_str(), i.c_str(), 0, n - 1, 0, n - 1);
        ASSERT_NE(plain, nullptr) << p << " / " << i;
        EXPECT_EQ(Printed(PrePrint, plain), p);
        EXPECT_EQ(Printed(InPrint, plain), i);
        EXPECT_EQ(Printed(PostPrint, plain), o) << p << " / " << i;
        DestroyBiTree(plain);

        BiThrTree T = Threaded(p, i);
        EXPECT_EQ(Walked(T), o) << p << " / " << i;
        DestroyBiThrTree(T);
    }
}

TEST(PreInCreateThr, RefusesInconsistentPairs) {
    EXPECT_EQ(BuildThr("AAB", "BAA"), nullptr);
    EXPECT_EQ(BuildThr("AB", "A"), nullptr);
    EXPECT_EQ(BuildThr("ABC", "XYZ"), nullptr);
    EXPECT_EQ(BuildThr("ABCD", "CBAE"), nullptr);
    EXPECT_EQ(BuildThr("", ""), nullptr);
}

}  // namespace
