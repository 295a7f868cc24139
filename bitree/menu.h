/* menu.h -- the workbench's dialogue on the console.
 *
 * A choice's reading and building (ReadTrees, ReadExpression) stand apart
 * from its printing. A session reports its steps to the step hook
 * (step.h). */
#ifndef BITREE_MENU_H
#define BITREE_MENU_H

#include "bitree.h"
#include "thread.h"

int ReadTrees(char preorder[], char inorder[], BiTree *T, BiThrTree *Q);
int ReadExpression(char expression[], BiTree *T);
int RunMenu(void);

#endif
