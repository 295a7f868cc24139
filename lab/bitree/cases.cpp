/* cases.cpp -- bitree's exercise maker (cases.h): the lines of one session:
 * choice 0 with the preorder and inorder of a random tree of distinct
 * letters, then choice 1 with a prefix expression of single digits to print
 * three ways, and choice 2 with one to compute. */
#include "draw.h"

/* Nodes of the tree and operators of each expression, per size. */
static const struct { int nodes, ops; } kTree[] = {{5, 2}, {8, 3}, {12, 5}};

/* Walk(pool, node, letters, next, preorder, inorder): gives the shape's
 * nodes the letters in preorder and writes both sequences. */
static void Walk(const struct DrawPool *pool, int node, const char *letters, int *next,
                 struct Text *preorder, struct Text *inorder) {
    char ch = letters[(*next)++];
    TextAddChar(preorder, ch);
    if (pool->nodes[node].left >= 0) Walk(pool, pool->nodes[node].left, letters, next, preorder, inorder);
    TextAddChar(inorder, ch);
    if (pool->nodes[node].right >= 0) Walk(pool, pool->nodes[node].right, letters, next, preorder, inorder);
}

/* Prefix(pool, node, text): writes the expression in prefix form. */
static void Prefix(const struct DrawPool *pool, int node, struct Text *text) {
    const struct DrawNode *n = &pool->nodes[node];
    if (n->op == 0) {
        TextAddNumber(text, n->number);
        return;
    }
    TextAddChar(text, n->op);
    Prefix(pool, n->left, text);
    Prefix(pool, n->right, text);
}

/* Expression(draw, ops, text): draws a prefix expression of ops operators
 * and digits 1 to 9 and writes it. */
static void Expression(struct Draw *draw, int ops, struct Text *text) {
    struct DrawPool shape, expression;
    shape.count = 0;
    expression.count = 0;
    int root = DrawShape(draw, &shape, ops);
    root = DrawOperands(draw, &shape, root, &expression, 9);
    Prefix(&expression, root, text);
}

int MakeBitreeCase(int size, uint32_t seed, struct Case *out) {
    out->length = 0;
    out->bytes[0] = '\0';
    if (size < CASE_SMALL || size > CASE_LARGE) return 0;
    struct Draw draw;
    DrawStart(&draw, seed);
    char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    DrawShuffle(&draw, letters, 26);
    struct DrawPool tree;
    tree.count = 0;
    int root = DrawShape(&draw, &tree, kTree[size].nodes);
    struct Text preorder = {0, {0}}, inorder = {0, {0}}, text = {0, {0}};
    int next = 0;
    Walk(&tree, root, letters, &next, &preorder, &inorder);
    TextAdd(&text, "0\n");
    TextAdd(&text, preorder.bytes);
    TextAddChar(&text, ' ');
    TextAdd(&text, inorder.bytes);
    TextAdd(&text, "\n1\n");
    Expression(&draw, kTree[size].ops, &text);
    TextAdd(&text, "\n2\n");
    Expression(&draw, kTree[size].ops, &text);
    TextAddChar(&text, '\n');
    return CaseFrom(&text, out);
}
