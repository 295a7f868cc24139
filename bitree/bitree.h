/* bitree.h -- the plain linked binary tree and its three printers.
 *
 * A tree is rebuilt from its preorder and inorder sequences, one node per
 * byte (a double-byte GBK character becomes two nodes). The prefix
 * expression trees use the same node type and the same printers. */
#ifndef BITREE_BITREE_H
#define BITREE_BITREE_H

#include "status.h"

struct BiTNode {
    char data;           /* the node's character (one byte) */
    BiTNode *lchild;     /* left child; null when there is none */
    BiTNode *rchild;     /* right child; null when there is none */
};
typedef BiTNode *BiTree; /* a tree is a pointer to its root; null is empty */

BiTree PreInCreate(const char preorder[], const char inorder[], int s1, int end1, int s2,
                   int end2);
Status PrePrint(BiTree T);
Status InPrint(BiTree T);
Status PostPrint(BiTree T);
void DestroyBiTree(BiTree T);
void PreOrderTraverse(BiTree T, void (*Visit)(BiTree node));
void InOrderTraverse(BiTree T, void (*Visit)(BiTree node));
void PostOrderTraverse(BiTree T, void (*Visit)(BiTree node));

#endif
