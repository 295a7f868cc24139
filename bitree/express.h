/* express.h -- the expression tree of a prefix (Polish) expression.
 *
 * Operators are '+', '-', '*' and '/', all binary; every other character is
 * a one-character operand (a digit stands for its value). An operator node
 * has both children, an operand node none. The tree uses BiTNode, so the
 * printers give the prefix (preorder), infix (inorder, no brackets) and
 * postfix (post-order) forms. */
#ifndef BITREE_EXPRESS_H
#define BITREE_EXPRESS_H

#include "bitree.h"
#include "status.h"

/* Index in the expression of the next character to read; 0 at start, and
 * set back to 0 by the menu after every expression. */
extern int flag;

int exp(char c);
BiTree CreateExpressTree(const char str[]);
Status Calculate(BiTree T, int *value);

#endif
