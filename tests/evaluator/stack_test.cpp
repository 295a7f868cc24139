// Unit tests of the operator and operand stacks: order, the head node and
// base invariants, empty pops, allocation failure and the bottom-first print.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "alloc_fail.h"
#include "stack.h"
#include "state.h"
#include "status.h"

namespace {

// The stacks have no destroy operation (they live for the program's run);
// the tests give back what each test built, so leak checking stays on.
void Release(SqStack *S) {
    for (char e; PopSq(S, &e) == OK;) {}
    free(S->top);
}
void Release(TqStack *S) {
    for (int e; PopTq(S, &e) == OK;) {}
    free(S->top);
}

// Captures what the print operations write to fp2.
struct Capture {
    Capture() { fp2 = tmpfile(); }
    ~Capture() { fclose(fp2); }
    std::string Text() {
        std::string s;
        rewind(fp2);
        for (int c; (c = fgetc(fp2)) != EOF;) s += static_cast<char>(c);
        return s;
    }
};

TEST(SqStack, KeepsLastInFirstOutOrderAndCount) {
    SqStack S;
    InitSqStack(&S);
    EXPECT_EQ(SqStackEmpty(&S), TRUE);
    for (char c : std::string("#+*(")) ASSERT_EQ(PushSq(&S, c), OK);
    EXPECT_EQ(S.count, 4);
    EXPECT_EQ(SqStackEmpty(&S), FALSE);
    char top = 0;
    ASSERT_EQ(GetSqTop(&S, &top), OK);
    EXPECT_EQ(top, '(');
    std::string popped;
    for (char e; PopSq(&S, &e) == OK;) {
        popped += e;
        EXPECT_EQ(S.count, 4 - static_cast<int>(popped.size()));
    }
    EXPECT_EQ(popped, "(*+#");
    Release(&S);
}

TEST(SqStack, BaseFollowsTheBottomAndReturnsToTheHeadNode) {
    SqStack S;
    InitSqStack(&S);
    SqNode *head = S.top;
    EXPECT_EQ(S.base, head);
    PushSq(&S, '#');
    EXPECT_EQ(S.base, head->next);
    SqNode *bottom = S.base;
    PushSq(&S, '+');
    EXPECT_EQ(S.base, bottom);
    EXPECT_EQ(S.top, head);
    char e;
    PopSq(&S, &e);
    PopSq(&S, &e);
    EXPECT_EQ(S.base, head);
    EXPECT_EQ(head->next, nullptr);
    EXPECT_EQ(SqStackEmpty(&S), TRUE);
    Release(&S);
}

TEST(SqStack, EmptyPopAndTopFailAndLeaveTheDestination) {
    SqStack S;
    InitSqStack(&S);
    char e = 'x';
    EXPECT_EQ(PopSq(&S, &e), ERROR);
    EXPECT_EQ(GetSqTop(&S, &e), ERROR);
    EXPECT_EQ(e, 'x');
    PushSq(&S, '#');
    PopSq(&S, &e);
    e = 'y';
    EXPECT_EQ(PopSq(&S, &e), ERROR);
    EXPECT_EQ(e, 'y');
    Release(&S);
}

TEST(SqStack, FailedPushLeavesTheStackUnchanged) {
    SqStack S;
    InitSqStack(&S);
    PushSq(&S, '#');
    SqNode *base = S.base, *first = S.top->next;
    FailAllocationAfter(0);
    EXPECT_EQ(PushSq(&S, '+'), ERROR);
    EXPECT_EQ(S.count, 1);
    EXPECT_EQ(S.base, base);
    EXPECT_EQ(S.top->next, first);
    EXPECT_EQ(PushSq(&S, '+'), OK);
    EXPECT_EQ(S.count, 2);
    Release(&S);
}

TEST(SqStackDeathTest, FailedInitEndsTheProgramWithOverflow) {
    SqStack S;
    EXPECT_EXIT((FailAllocationAfter(0), InitSqStack(&S)), testing::ExitedWithCode(255), "");
}

TEST(SqStack, PrintsBottomFirstThenATab) {
    Capture out;
    SqStack S;
    InitSqStack(&S);
    PrintSq(&S);
    for (char c : std::string("#+*")) PushSq(&S, c);
    EXPECT_EQ(PrintSq(&S), OK);
    EXPECT_EQ(out.Text(), "\t# + * \t");
    EXPECT_EQ(S.count, 3);
    Release(&S);
}

TEST(SqStack, RefusesToPrintPastItsArray) {
    Capture out;
    SqStack S;
    InitSqStack(&S);
    for (int i = 0; i < PRINT_CAPACITY; i++) PushSq(&S, '(');
    EXPECT_EQ(PrintSq(&S), OK);
    size_t full = out.Text().size();
    EXPECT_EQ(full, 2u * PRINT_CAPACITY + 1);
    PushSq(&S, '(');
    EXPECT_EQ(PrintSq(&S), ERROR);
    EXPECT_EQ(out.Text().size(), full);
    Release(&S);
}

TEST(TqStack, KeepsOrderBaseAndCount) {
    TqStack S;
    InitTqStack(&S);
    TqNode *head = S.top;
    EXPECT_EQ(TqStackEmpty(&S), TRUE);
    PushTq(&S, 3);
    EXPECT_EQ(S.base, head->next);
    PushTq(&S, -15);
    PushTq(&S, 2147483647);
    EXPECT_EQ(S.count, 3);
    EXPECT_EQ(TqStackEmpty(&S), FALSE);
    int e = 0;
    PopTq(&S, &e);
    EXPECT_EQ(e, 2147483647);
    PopTq(&S, &e);
    EXPECT_EQ(e, -15);
    PopTq(&S, &e);
    EXPECT_EQ(e, 3);
    EXPECT_EQ(S.base, head);
    EXPECT_EQ(head->next, nullptr);
    EXPECT_EQ(TqStackEmpty(&S), TRUE);
    e = 42;
    EXPECT_EQ(PopTq(&S, &e), ERROR);
    EXPECT_EQ(e, 42);
    Release(&S);
}

TEST(TqStack, FailedPushLeavesTheStackUnchanged) {
    TqStack S;
    InitTqStack(&S);
    FailAllocationAfter(0);
    EXPECT_EQ(PushTq(&S, 7), ERROR);
    EXPECT_EQ(S.count, 0);
    EXPECT_EQ(S.base, S.top);
    EXPECT_EQ(TqStackEmpty(&S), TRUE);
    Release(&S);
}

TEST(TqStackDeathTest, FailedInitEndsTheProgramWithOverflow) {
    TqStack S;
    EXPECT_EXIT((FailAllocationAfter(0), InitTqStack(&S)), testing::ExitedWithCode(255), "");
}

TEST(TqStack, PrintsBottomFirstInDecimal) {
    Capture out;
    TqStack S;
    InitTqStack(&S);
    PrintTq(&S);
    PushTq(&S, 3);
    PushTq(&S, 15);
    PushTq(&S, -2147483647 - 1);
    PrintTq(&S);
    EXPECT_EQ(out.Text(), "\t3 15 -2147483648 \t");
    Release(&S);
}

TEST(TqStack, RefusesToPrintPastItsArray) {
    Capture out;
    TqStack S;
    InitTqStack(&S);
    for (int i = 0; i < PRINT_CAPACITY; i++) PushTq(&S, 7);
    EXPECT_EQ(PrintTq(&S), OK);
    size_t full = out.Text().size();
    EXPECT_EQ(full, 2u * PRINT_CAPACITY + 1);
    PushTq(&S, 7);
    EXPECT_EQ(PrintTq(&S), ERROR);
    EXPECT_EQ(out.Text().size(), full);
    Release(&S);
}

}  // namespace
