/* express.cpp -- building and evaluating prefix expression trees.
 *
 * Characters are consumed from left to right at the global index flag: an
 * operator takes the two complete expressions that follow it, an operand
 * stands alone. Reading stops after the first complete expression, so
 * characters behind it are never read. Values are 32-bit ints; sums,
 * differences and products wrap around (two's complement). */
#include "express.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "alloc.h"
#include "step.h"

int flag = 0;

/* ============================ Building ==================================== */

/* Classify c: 0 for the operators '+', '-', '*' and '/', 1 for a digit, and
 * for any other character its own code as a signed byte (so never 0 for a
 * character of a string). */
int exp(char c) {
    if (c == '+' || c == '-' || c == '*' || c == '/') return 0;
    if (c >= '0' && c <= '9') return 1;
    return static_cast<signed char>(c);
}

/* Build the tree of the expression that starts at index flag of str, advance
 * flag past it and return the root. Returns null, with nothing allocated,
 * when str ends before every operator has both operands (as "+1", "*"):
 * flag is then the length of str, and the caller must set it back to 0.
 * Also returns null, flag unchanged, when flag is not an index inside str.
 * Ends the program when memory runs out (AllocNode). */
BiTree CreateExpressTree(const char str[]) {
    STEP_CALL;
    if (flag < 0 || flag >= static_cast<int>(strlen(str))) {  STEP(STEP_SHORT, str, flag);
        return nullptr;
    }

    BiTree T = static_cast<BiTree>(AllocNode(sizeof(BiTNode)));
    T->data = str[flag];
    T->lchild = nullptr;
    T->rchild = nullptr;
    flag++;                                  STEP(STEP_NODE, T, exp(T->data));
    if (exp(T->data) == 0) {                 /* an operator: two operands follow */
        T->lchild = CreateExpressTree(str);
        if (T->lchild != nullptr) T->rchild = CreateExpressTree(str);
        if (T->rchild == nullptr) {          /* an operand is missing */
            DestroyBiTree(T);
            return nullptr;
        }
    }
    return T;
}

/* ============================ Evaluation ================================== */

/* Compute the value of the expression tree T (built by CreateExpressTree)
 * into *value. An operand is its character code minus that of '0'. Division
 * truncates toward zero, and INT_MIN / -1 gives INT_MIN (the quotient wraps
 * like the other operations). Returns ERROR, leaving *value unchanged, when
 * a divisor is 0; otherwise OK. */
Status Calculate(BiTree T, int *value) {
    STEP_CALL;
    if (T->lchild == nullptr && T->rchild == nullptr) {
        *value = static_cast<signed char>(T->data) - '0';  STEP(STEP_VALUE, T, *value);
        return OK;
    }
    int left, right;
    if (Calculate(T->lchild, &left) != OK) return ERROR;
    if (Calculate(T->rchild, &right) != OK) return ERROR;

    /* Wrapping arithmetic is done on unsigned 32-bit values, which wrap by
     * definition, and converted back. */
    uint32_t a = static_cast<uint32_t>(left);
    uint32_t b = static_cast<uint32_t>(right);
    if (T->data == '+') {
        *value = static_cast<int32_t>(a + b);  STEP(STEP_VALUE, T, *value);
    } else if (T->data == '-') {
        *value = static_cast<int32_t>(a - b);  STEP(STEP_VALUE, T, *value);
    } else if (T->data == '*') {
        *value = static_cast<int32_t>(a * b);  STEP(STEP_VALUE, T, *value);
    } else {                                 /* '/' */
        if (right == 0) {                    STEP(STEP_ZERO, T, 0);
            return ERROR;                    /* no value: the divisor is 0 */
        }
        if (left == INT_MIN && right == -1) {
            *value = INT_MIN;                STEP(STEP_VALUE, T, *value);
        } else {
            *value = left / right;           STEP(STEP_VALUE, T, *value);
        }
    }
    return OK;
}
