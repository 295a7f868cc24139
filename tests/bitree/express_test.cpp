// Prefix expression trees: classification, building and evaluation.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "bitree.h"
#include "express.h"

namespace {

std::string Printed(Status (*printer)(BiTree), BiTree T) {
    testing::internal::CaptureStdout();
    printer(T);
    return testing::internal::GetCapturedStdout();
}

// Build the tree of str from its first character, as the menu does.
BiTree Tree(const char *str) {
    flag = 0;
    return CreateExpressTree(str);
}

void ExpectForms(const char *str, const char *prefix, const char *infix, const char *postfix) {
    BiTree T = Tree(str);
    ASSERT_NE(T, nullptr) << str;
    EXPECT_EQ(Printed(PrePrint, T), prefix) << str;
    EXPECT_EQ(Printed(InPrint, T), infix) << str;
    EXPECT_EQ(Printed(PostPrint, T), postfix) << str;
    DestroyBiTree(T);
}

// The value of str, or the text "error" when Calculate refuses it.
std::string Value(const char *str) {
    BiTree T = Tree(str);
    EXPECT_NE(T, nullptr) << str;
    if (T == nullptr) return "no tree";
    int value = 12345;
    Status status = Calculate(T, &value);
    DestroyBiTree(T);
    if (status != OK) {
        EXPECT_EQ(value, 12345) << "value changed on error";
        return "error";
    }
    return std::to_string(value);
}

// 2 * 8^10 = 2^31: wraps to INT_MIN.
const std::string kIntMin = "*2*8*8*8*8*8*8*8*8*88";

TEST(Exp, ClassifiesCharacters) {
    for (char c : std::string("+-*/")) EXPECT_EQ(exp(c), 0) << c;
    for (char c = '0'; c <= '9'; c++) EXPECT_EQ(exp(c), 1) << c;
    EXPECT_EQ(exp('a'), 'a');
    EXPECT_EQ(exp('('), '(');
    EXPECT_EQ(exp('\xd6'), -42);             // a GBK lead byte, signed
}

TEST(CreateExpressTree, ShapeAndReadPosition) {
    BiTree T = Tree("*+123");
    ASSERT_NE(T, nullptr);
    EXPECT_EQ(flag, 5);
    EXPECT_EQ(T->data, '*');
    EXPECT_EQ(T->lchild->data, '+');
    EXPECT_EQ(T->rchild->data, '3');
    EXPECT_EQ(T->rchild->lchild, nullptr);
    EXPECT_EQ(T->rchild->rchild, nullptr);
    DestroyBiTree(T);

    T = Tree("5");
    EXPECT_EQ(flag, 1);
    DestroyBiTree(T);
    T = Tree("+12345");                      // only +12 is read
    EXPECT_EQ(flag, 3);
    DestroyBiTree(T);
    T = Tree("1+2");                         // an operand first: one node
    EXPECT_EQ(flag, 1);
    EXPECT_EQ(T->lchild, nullptr);
    DestroyBiTree(T);
}

TEST(CreateExpressTree, ThreeForms) {
    ExpectForms("5", "5", "5", "5");
    ExpectForms("*+123", "*+123", "1+2*3", "12+3*");
    ExpectForms("+1*23", "+1*23", "1+2*3", "123*+");
    ExpectForms("-0-12", "-0-12", "0-1-2", "012--");
    ExpectForms("+12345", "+12", "1+2", "12+");
    ExpectForms("1+2", "1", "1", "1");
    ExpectForms("+ab", "+ab", "a+b", "ab+");
}

TEST(CreateExpressTree, EndsTooEarly) {
    for (const char *str : {"+1", "*", "+*12", "-", "/+1", "**12*3"}) {
        EXPECT_EQ(Tree(str), nullptr) << str;
    }
    flag = -1;                               // a read position before the string
    EXPECT_EQ(CreateExpressTree("+12"), nullptr);
    EXPECT_EQ(flag, -1);
    flag = 0;
}

TEST(Calculate, Values) {
    EXPECT_EQ(Value("5"), "5");
    EXPECT_EQ(Value("*+123"), "9");
    EXPECT_EQ(Value("+1*23"), "7");
    EXPECT_EQ(Value("-0-12"), "1");
    EXPECT_EQ(Value("-93"), "6");
    EXPECT_EQ(Value("/73"), "2");
    EXPECT_EQ(Value("/-052"), "-2");         // truncates toward zero
    EXPECT_EQ(Value("+12345"), "3");
    EXPECT_EQ(Value("+ab"), "99");
}

TEST(Calculate, WrapsAroundWithoutOverflow) {
    EXPECT_EQ(Value("*9*9*9*9*9*9*9*9*99"), "-808182895");
    EXPECT_EQ(Value(kIntMin.c_str()), std::to_string(INT_MIN));
    EXPECT_EQ(Value(("-" + kIntMin + "1").c_str()), std::to_string(INT_MAX));
    EXPECT_EQ(Value(("+-" + kIntMin + "11").c_str()), std::to_string(INT_MIN));
    EXPECT_EQ(Value(("/" + kIntMin + "-01").c_str()), std::to_string(INT_MIN));
    EXPECT_EQ(Value(("/" + kIntMin + "1").c_str()), std::to_string(INT_MIN));
}

TEST(Calculate, DivisionByZeroIsRefused) {
    EXPECT_EQ(Value("/10"), "error");
    EXPECT_EQ(Value("+1/30"), "error");      // deep inside
    EXPECT_EQ(Value("+/301"), "error");      // in the left operand
    EXPECT_EQ(Value("/1-55"), "error");      // a divisor that comes to 0
    EXPECT_EQ(Value("/01"), "0");
}

}  // namespace
