/* cases.cpp -- evaluator's exercise maker (cases.h): one expression with a
 * bracket pair and both levels of precedence, at most 49 characters (the
 * longest line evaluator takes), on a line of its own. */
#include <string.h>

#include "draw.h"

/* Operators, numbers and their ranges per size. */
static const struct { int ops, max; } kExpression[] = {{3, 9}, {5, 20}, {8, 50}};

/* Precedence(op): 1 for + and -, 2 for * and /. */
static int Precedence(char op) {
    return op == '+' || op == '-' ? 1 : 2;
}

/* Infix(pool, node, outer, right, text): writes the expression at node with
 * the brackets its shape needs under an operator of precedence outer (right:
 * it stands right of a '-' or '/', where equal precedence needs them). */
static void Infix(const struct DrawPool *pool, int node, int outer, int right, struct Text *text) {
    const struct DrawNode *n = &pool->nodes[node];
    if (n->op == 0) {
        TextAddNumber(text, n->number);
        return;
    }
    int p = Precedence(n->op);
    int bracket = p < outer || (right && p == outer);
    if (bracket) TextAddChar(text, '(');
    Infix(pool, n->left, p, 0, text);
    TextAddChar(text, n->op);
    Infix(pool, n->right, p, n->op == '-' || n->op == '/', text);
    if (bracket) TextAddChar(text, ')');
}

int MakeEvaluatorCase(int size, uint32_t seed, struct Case *out) {
    out->length = 0;
    out->bytes[0] = '\0';
    if (size < CASE_SMALL || size > CASE_LARGE) return 0;
    struct Draw draw;
    DrawStart(&draw, seed);
    for (;;) {
        struct DrawPool shape, expression;
        shape.count = 0;
        expression.count = 0;
        int root = DrawShape(&draw, &shape, kExpression[size].ops);
        root = DrawOperands(&draw, &shape, root, &expression, kExpression[size].max);
        struct Text text;
        text.length = 0;
        Infix(&expression, root, 0, 0, &text);
        text.bytes[text.length] = '\0';
        if (text.length <= 49 && strchr(text.bytes, '(') && strpbrk(text.bytes, "*/") &&
            strpbrk(text.bytes, "+-")) {
            TextAddChar(&text, '\n');
            return CaseFrom(&text, out);
        }
    }
}
