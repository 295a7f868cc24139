/* Unit tests of the linked character stack and queue, their empty states
 * and their two ways of meeting exhausted memory. */
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "queue.h"
#include "stack.h"
#include "support.h"

namespace {

/* The program never destroys a container; a test frees its own. */
void FreeStack(LinkStack *S) {
    char c;
    while (Pop(S, &c) == OK) {}
    std::free(S->top);
}

void FreeQueue(LinkQueue *Q) {
    char c;
    while (DeQueue(Q, &c) == OK) {}
    std::free(Q->front);
}

/* ---------------------------------------------------------------- stack */

TEST(LinkStack, FreshStackIsEmptyAndPopLeavesTheCharacter) {
    LinkStack S;
    InitStack(&S);
    EXPECT_EQ(StackEmpty(&S), TRUE);
    EXPECT_EQ(S.base, S.top);
    EXPECT_EQ(S.top->next, nullptr);
    char c = 'q';
    EXPECT_EQ(Pop(&S, &c), ERROR);
    EXPECT_EQ(c, 'q');
    EXPECT_EQ(S.count, 0);
    FreeStack(&S);
}

TEST(LinkStack, PopsInReverseOrderAndIsReusableWhenEmptied) {
    LinkStack S;
    InitStack(&S);
    for (char c : std::string("abc")) EXPECT_EQ(Push(&S, c), OK);
    EXPECT_EQ(S.count, 3);
    EXPECT_EQ(StackEmpty(&S), FALSE);
    EXPECT_EQ(S.top->next->data, 'c');
    EXPECT_EQ(S.base->data, 'a');
    EXPECT_EQ(S.base->next, nullptr);

    std::string popped;
    char c;
    while (Pop(&S, &c) == OK) popped += c;
    EXPECT_EQ(popped, "cba");
    EXPECT_EQ(S.count, 0);
    EXPECT_EQ(S.base, S.top);
    EXPECT_EQ(S.top->next, nullptr);
    EXPECT_EQ(StackEmpty(&S), TRUE);

    EXPECT_EQ(Push(&S, 'x'), OK);  /* the new node is both top and bottom */
    EXPECT_EQ(S.top->next, S.base);
    EXPECT_EQ(S.base->data, 'x');
    EXPECT_EQ(S.base->next, nullptr);
    EXPECT_EQ(S.count, 1);
    FreeStack(&S);
}

TEST(LinkStack, KeepsEveryByteValue) {
    LinkStack S;
    InitStack(&S);
    for (int b = 0; b < 256; b++) Push(&S, static_cast<char>(b));
    for (int b = 255; b >= 0; b--) {
        char c = 0;
        ASSERT_EQ(Pop(&S, &c), OK);
        EXPECT_EQ(static_cast<unsigned char>(c), b);
    }
    EXPECT_EQ(StackEmpty(&S), TRUE);
    FreeStack(&S);
}

TEST(LinkStack, FailedPushReturnsErrorAndChangesNothing) {
    LinkStack S;
    InitStack(&S);
    FailAllocationAfter(0);
    EXPECT_EQ(Push(&S, 'z'), ERROR);  /* on an empty stack */
    AllowAllAllocations();
    EXPECT_EQ(StackEmpty(&S), TRUE);
    EXPECT_EQ(S.base, S.top);

    Push(&S, 'a');
    Push(&S, 'b');
    LinkNode *top = S.top->next, *base = S.base;
    FailAllocationAfter(0);
    EXPECT_EQ(Push(&S, 'c'), ERROR);  /* on a filled one */
    AllowAllAllocations();
    EXPECT_EQ(S.count, 2);
    EXPECT_EQ(S.top->next, top);
    EXPECT_EQ(S.base, base);
    char c;
    Pop(&S, &c);
    EXPECT_EQ(c, 'b');
    FreeStack(&S);
}

TEST(LinkStackDeathTest, InitStackWithoutMemoryExitsMinusOneSilently) {
    EXPECT_EXIT(
        {
            FailAllocationAfter(0);
            LinkStack S;
            InitStack(&S);
        },
        testing::ExitedWithCode(255), testing::Eq(std::string()));
}

/* ---------------------------------------------------------------- queue */

TEST(LinkQueue, FreshQueueIsEmptyAndDeQueueLeavesTheCharacter) {
    LinkQueue Q;
    InitQueue(&Q);
    EXPECT_EQ(QueueEmpty(&Q), TRUE);
    EXPECT_EQ(QueueLength(&Q), 0);
    EXPECT_EQ(Q.front, Q.rear);
    EXPECT_EQ(Q.front->next, nullptr);
    char c = 'q';
    EXPECT_EQ(DeQueue(&Q, &c), ERROR);
    EXPECT_EQ(c, 'q');
    FreeQueue(&Q);
}

TEST(LinkQueue, TakesInOrderAndIsReusableWhenEmptied) {
    LinkQueue Q;
    InitQueue(&Q);
    EXPECT_EQ(EnQueue(&Q, 'a'), OK);
    EXPECT_EQ(QueueLength(&Q), 1);
    EnQueue(&Q, 'b');
    EnQueue(&Q, 'c');
    EXPECT_EQ(QueueLength(&Q), 3);
    EXPECT_EQ(Q.rear->data, 'c');
    EXPECT_EQ(Q.rear->next, nullptr);

    std::string taken;
    char c;
    while (DeQueue(&Q, &c) == OK) taken += c;
    EXPECT_EQ(taken, "abc");
    EXPECT_EQ(Q.rear, Q.front);
    EXPECT_EQ(Q.front->next, nullptr);
    EXPECT_EQ(QueueEmpty(&Q), TRUE);
    EXPECT_EQ(QueueLength(&Q), 0);

    EnQueue(&Q, 'x');
    EXPECT_EQ(Q.front->next, Q.rear);
    EXPECT_EQ(QueueLength(&Q), 1);
    DeQueue(&Q, &c);
    EXPECT_EQ(c, 'x');
    FreeQueue(&Q);
}

TEST(LinkQueue, CountsManyAndKeepsEveryByteValue) {
    LinkQueue Q;
    InitQueue(&Q);
    for (int b = 0; b < 256; b++) EnQueue(&Q, static_cast<char>(b));
    EXPECT_EQ(QueueLength(&Q), 256);
    char c = 0;
    DeQueue(&Q, &c);
    EXPECT_EQ(QueueLength(&Q), 255);
    for (int b = 1; b < 256; b++) {
        ASSERT_EQ(DeQueue(&Q, &c), OK);
        EXPECT_EQ(static_cast<unsigned char>(c), b);
    }
    EXPECT_EQ(QueueEmpty(&Q), TRUE);
    FreeQueue(&Q);
}

TEST(LinkQueueDeathTest, InitQueueWithoutMemoryExitsMinusOneSilently) {
    EXPECT_EXIT(
        {
            FailAllocationAfter(0);
            LinkQueue Q;
            InitQueue(&Q);
        },
        testing::ExitedWithCode(255), testing::Eq(std::string()));
}

TEST(LinkQueueDeathTest, EnQueueWithoutMemoryExitsMinusOneSilently) {
    EXPECT_EXIT(
        {
            LinkQueue Q;
            InitQueue(&Q);
            EnQueue(&Q, 'a');
            FailAllocationAfter(0);
            EnQueue(&Q, 'b');
        },
        testing::ExitedWithCode(255), testing::Eq(std::string()));
}

}  // namespace
