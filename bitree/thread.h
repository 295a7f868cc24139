/* thread.h -- the post-order threaded tree.
 *
 * A second copy of the tree whose nodes also know their parent and carry a
 * tag per link. Threading turns every empty child link into a thread: an
 * empty left link points to the node's post-order predecessor, an empty
 * right link to its successor. The walk then lists the tree in post-order
 * with no recursion and no stack, by the tags, threads and parent links. */
#ifndef BITREE_THREAD_H
#define BITREE_THREAD_H

#include "status.h"

constexpr int Link = 0;     /* the link points to a real child */
constexpr int Thread = 1;   /* the link is a thread to a post-order neighbour */

struct BiThrNode {
    char data;              /* the node's character (one byte) */
    BiThrNode *lchild;      /* left child, or the predecessor when ltag is Thread */
    BiThrNode *rchild;      /* right child, or the successor when rtag is Thread */
    BiThrNode *parent;      /* the node's parent; null at the root */
    int ltag;               /* Link or Thread: the kind of lchild */
    int rtag;               /* Link or Thread: the kind of rchild */
};
typedef BiThrNode *BiThrTree;   /* pointer to the root; null is the empty tree */

/* The node handled just before the current one, while threading and while
 * walking. Null at program start; set it to null before threading a tree. */
extern BiThrTree pre;

BiThrTree PreInCreateThr(const char preorder[], const char inorder[], int s1, int end1, int s2,
                         int end2, BiThrTree Parent);
Status PostCreatBiThrTree(BiThrTree T);
Status PostPrintBiThrTree(BiThrTree T);
void DestroyBiThrTree(BiThrTree T);
void PostOrderTraverseThr(BiThrTree T, void (*Visit)(BiThrTree node));

#endif
