/* Tests of building the ring and of the elimination. */
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <vector>

#include "ring.h"

namespace {

/* Seat numbers of the leaving list after its head, in order; frees the list. */
std::vector<int> TakeOrder(node *leaving) {
    std::vector<int> order;
    node *p = leaving->next;
    free(leaving);
    while (p != nullptr) {
        node *next = p->next;
        order.push_back(p->num);
        free(p);
        p = next;
    }
    return order;
}

/* Build the ring from steps and eliminate with first count m. */
std::vector<int> Play(int m, const std::vector<int> &steps) {
    int n = static_cast<int>(steps.size());
    node *ring = nullptr, *leaving = nullptr;
    Creat(ring, n, steps.data());
    Josephus(ring, leaving, n, m);
    return TakeOrder(leaving);
}

/* The leaving order worked out on an array, walking the count one seat per
 * unit, so it does not share the ring code's shortcut. */
std::vector<int> WalkedOrder(int m, const std::vector<int> &steps) {
    std::vector<int> seated;
    for (size_t k = 1; k <= steps.size(); k++) seated.push_back(static_cast<int>(k));
    std::vector<int> order;
    size_t at = 0;
    while (!seated.empty()) {
        for (long long i = 1; i < m; i++) at = (at + 1) % seated.size();
        order.push_back(seated[at]);
        m = steps[seated[at] - 1];
        seated.erase(seated.begin() + static_cast<long>(at));
        if (!seated.empty()) at %= seated.size();
    }
    return order;
}

TEST(Creat, SeatsEveryoneInACircle) {
    const int steps[] = {4, -1, 0, 9, 2147483647};
    node *ring = nullptr;
    Creat(ring, 5, steps);
    node *p = ring;
    for (int k = 1; k <= 5; k++) {
        EXPECT_EQ(p->num, k);
        EXPECT_EQ(p->step, steps[k - 1]);
        p = p->next;
    }
    EXPECT_EQ(p, ring);                            // person 5 links back to person 1
    for (int k = 0; k < 5; k++) {
        node *next = p->next;
        free(p);
        p = next;
    }
}

TEST(Creat, NoOneToSeatGivesNoRing) {
    node dummy;
    node *ring = &dummy;
    Creat(ring, 0, nullptr);
    EXPECT_EQ(ring, nullptr);
    ring = &dummy;
    Creat(ring, -5, nullptr);
    EXPECT_EQ(ring, nullptr);
}

TEST(Creat, RingOfOneLinksToItself) {
    const int steps[] = {3};
    node *ring = nullptr;
    Creat(ring, 1, steps);
    EXPECT_EQ(ring->next, ring);
    free(ring);
}

TEST(Josephus, MovesTheRingsOwnNodesAndKeepsTheLastStep) {
    const int steps[] = {6, 7, 8, 9};
    node *ring = nullptr, *leaving = nullptr;
    Creat(ring, 4, steps);
    std::set<node *> seated;
    node *p = ring;
    for (int k = 0; k < 4; k++, p = p->next) seated.insert(p);
    int n = 4, m = 2;
    Josephus(ring, leaving, n, m);
    std::set<node *> moved;
    node *last = nullptr;
    for (p = leaving->next; p != nullptr; p = p->next) {
        moved.insert(p);
        last = p;
    }
    EXPECT_EQ(moved, seated);
    EXPECT_EQ(m, last->step);
    TakeOrder(leaving);
}

TEST(Josephus, CountsLargerThanTheRingGoRoundIt) {
    std::vector<int> steps = {40, 1, 13, 7, 1000, 3, 26, 0, 61};
    for (int m : {10, 17, 100, 999})
        EXPECT_EQ(Play(m, steps), WalkedOrder(m, steps)) << m;
}

}  // namespace
