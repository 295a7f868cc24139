/* scanner.cpp -- the scanner, the precedence relation and the arithmetic.
 *
 * Read takes the next number or operator character out of Express and marks
 * each consumed character with '$'. PriorityCom tells the driver whether to
 * push, cancel a bracket pair or operate, and stops the run on a syntax
 * error. Calculate does 32-bit two's-complement arithmetic: the sums,
 * differences and products are computed in unsigned arithmetic, where
 * wrapping is defined, and converted back. */
#include "scanner.h"

#include <cstdint>
#include <cstdlib>

#include "state.h"
#include "status.h"
#include "step.h"
#include "texts.h"

/* ============================ Scanner ===================================== */

/* Returns 1 when the character at position i of Express is an ASCII digit,
 * else 0. */
int IsNum(int i) {
    return (Express[i] >= '0' && Express[i] <= '9') ? 1 : 0;
}

/* Scan the next item of Express, skipping the '$' of consumed positions.
 * Returns 1 after a number (its value in Value, wrapped to 32 bits), 0 after
 * one operator character (in C), and -1 when nothing is left, changing
 * nothing. */
int Read() {
    int i = 0;
    while (Express[i] != '\0') {
        if (Express[i] == '$') {
            i++;
        } else if (!IsNum(i)) {
            C = Express[i];
            Express[i] = '$';
            return 0;
        } else {
            uint32_t value = 0;
            while (IsNum(i)) {
                value = value * 10u + static_cast<uint32_t>(Express[i] - '0');
                Express[i] = '$';
                i++;
            }
            Value = static_cast<int32_t>(value);
            return 1;
        }
    }
    return -1;
}

/* ============================ Precedence relation ========================= */

/* Number of characters with a row and a column in the relation. */
constexpr int OPERATOR_COUNT = 7;

/* Index of an operator character in the relation's rows and columns, or -1
 * for any other character. */
static int OperatorIndex(char c) {
    switch (c) {
        case '+': return 0;
        case '-': return 1;
        case '*': return 2;
        case '/': return 3;
        case '(': return 4;
        case ')': return 5;
        case '#': return 6;
        default: return -1;
    }
}

/* Error cells of the relation. */
constexpr int ERR = 2;

/* Rows: the top of OPTR; columns: the incoming character; both in the order
 * + - * / ( ) #. 1: the top goes first (operate), -1: the incoming one goes
 * first (push), 0: the pair cancels. */
static const int PRIORITY[OPERATOR_COUNT][OPERATOR_COUNT] = {
    /*          +   -   *   /   (    )    #  */
    /* + */ {  1,  1, -1, -1, -1,   1,   1 },
    /* - */ {  1,  1, -1, -1, -1,   1,   1 },
    /* * */ {  1,  1,  1,  1, -1,   1,   1 },
    /* / */ {  1,  1,  1,  1, -1,   1,   1 },
    /* ( */ { -1, -1, -1, -1, -1,   0, ERR },
    /* ) */ {  1,  1,  1,  1, ERR,  1,   1 },
    /* # */ { -1, -1, -1, -1, -1, ERR,   0 },
};

/* Relation between t, the top of OPTR, and the incoming character c:
 * returns 1, -1 or 0. On an error cell, or when either character is none of
 * + - * / ( ) #, writes the syntax error text to fp2 and ends the program
 * with exit status -1 instead of returning. */
int PriorityCom(char t, char c) {                               STEP_CALL;
    int row = OperatorIndex(t);
    int col = OperatorIndex(c);
    if (row < 0 || col < 0 || PRIORITY[row][col] == ERR) {
        WRITE_TEXT(fp2, TEXT_SYNTAX_ERROR);                     STEP(STEP_SYNTAX_ERROR, t, 0, c, 0, 0);
        exit(-1);
    }
    return PRIORITY[row][col];
}

/* ============================ Arithmetic ================================== */

/* Returns a op b in 32-bit two's-complement arithmetic, for op one of
 * + - * /. The quotient is truncated toward zero; -2147483648 / -1 wraps to
 * -2147483648. On division by zero writes "error" to fp2 and ends the
 * program with exit status -1 instead of returning. */
int Calculate(int a, char op, int b) {                          STEP_CALL;
    uint32_t ua = static_cast<uint32_t>(a);
    uint32_t ub = static_cast<uint32_t>(b);
    switch (op) {
        case '+': return static_cast<int32_t>(ua + ub);
        case '-': return static_cast<int32_t>(ua - ub);
        case '*': return static_cast<int32_t>(ua * ub);
        default:
            if (b == 0) {
                WRITE_TEXT(fp2, TEXT_DIVIDE_ERROR);             STEP(STEP_DIVIDE_ERROR, 0, 0, op, a, b);
                exit(-1);
            }
            if (b == -1) return static_cast<int32_t>(0u - ua);
            return a / b;
    }
}
