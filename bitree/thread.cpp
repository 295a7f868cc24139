/* thread.cpp -- building, threading and walking the post-order threaded tree.
 *
 * After threading, for every node: a missing left child gives ltag Thread
 * and lchild = the post-order predecessor (null for the first node); a
 * missing right child gives rtag Thread and rchild = the post-order
 * successor, except at the root, the last node, whose missing right child
 * stays a null Link. Parent links never change. */
#include "thread.h"

#include <cstdio>
#include <cstdlib>

#include "alloc.h"
#include "step.h"

BiThrTree pre = nullptr;

/* ============================ Building ==================================== */

/* Build the subtree whose preorder is preorder[s1..end1] and whose inorder
 * is inorder[s2..end2] (inclusive ranges inside the strings), record Parent
 * as its root's parent, and return the root. Every new node has both tags Link; a
 * missing child is a null Link. The search and the split are those of
 * PreInCreate, and so is the failure: null, with nothing allocated, for an
 * inconsistent pair. Ends the program when memory runs out (AllocNode). */
BiThrTree PreInCreateThr(const char preorder[], const char inorder[], int s1, int end1, int s2,
                         int end2, BiThrTree Parent) {
    if (end1 < s1 || end1 - s1 != end2 - s2) return nullptr;

    int i = s2;
    while (i <= end2 && inorder[i] != preorder[s1]) i++;
    if (i > end2) return nullptr;            /* root's character not in range */

    BiThrTree root = static_cast<BiThrTree>(AllocNode(sizeof(BiThrNode)));
    root->data = preorder[s1];
    root->lchild = nullptr;
    root->rchild = nullptr;
    root->parent = Parent;
    root->ltag = Link;
    root->rtag = Link;

    int left = i - s2;                       /* nodes in the left subtree */
    int right = end2 - i;                    /* nodes in the right subtree */
    if (left != 0) {
        root->lchild = PreInCreateThr(preorder, inorder, s1 + 1, s1 + left, s2, s2 + left - 1,
                                      root);
        if (root->lchild == nullptr) {
            DestroyBiThrTree(root);
            return nullptr;
        }
    }
    if (right != 0) {
        root->rchild = PreInCreateThr(preorder, inorder, end1 - right + 1, end1,
                                      end2 - right + 1, end2, root);
        if (root->rchild == nullptr) {
            DestroyBiThrTree(root);
            return nullptr;
        }
    }
    return root;
}

/* Free every node of T, threaded or not (a null T is fine). A link leads to
 * a child only when its tag is Link and it is not null. */
void DestroyBiThrTree(BiThrTree T) {
    if (T == nullptr) return;
    if (T->ltag == Link) DestroyBiThrTree(T->lchild);
    if (T->rtag == Link) DestroyBiThrTree(T->rchild);
    free(T);
}

/* ============================ Threading =================================== */

/* Thread the tree T in post-order. The global pre must be null when this is
 * called on a whole tree; on return it is T's root. Call it once per tree:
 * it follows the links without looking at the tags. Returns OK. */
Status PostCreatBiThrTree(BiThrTree T) {
    STEP_CALL;
    if (T == nullptr) return OK;
    /* Both links still hold the real children here: a node's lchild changes
     * only below, in its own visit, and its rchild only in the visit of the
     * node after it. */
    PostCreatBiThrTree(T->lchild);
    PostCreatBiThrTree(T->rchild);
    if (T->lchild == nullptr) {              /* left thread to the predecessor */
        T->lchild = pre;
        T->ltag = Thread;                    STEP(STEP_LTHREAD, T, 0);
    }
    if (pre != nullptr && pre->rchild == nullptr) {   /* predecessor's right thread */
        pre->rchild = T;
        pre->rtag = Thread;                  STEP(STEP_RTHREAD, pre, 0);
    }
    pre = T;
    return OK;
}

/* ============================ Walk ======================================== */

/* True when every node below p has been visited, so that p is due next; pre
 * is the node visited last. That is so when p's right child was visited
 * last (or, for a tree of one node, when both are still null), and also
 * when p has no right subtree (a right thread, or the root's null link) and
 * its left child was visited last. */
static int SubtreesDone(BiThrTree p) {
    if (p->rchild == pre) return TRUE;
    int noRightSubtree = p->rtag == Thread || p->rchild == nullptr;
    return noRightSubtree && p->ltag == Link && p->lchild == pre;
}

/* Call Visit on every node of the threaded tree T in post-order. Uses no
 * stack and no recursion: the cursor p and the global pre, the node visited
 * last, are its only working state. Changes no node; on return pre is T
 * (null for an empty T). The printer below walks the tree through this. */
void PostOrderTraverseThr(BiThrTree T, void (*Visit)(BiThrTree node)) {
    STEP_CALL;
    if (T == nullptr) return;
    BiThrTree p = T;
    pre = nullptr;
    while (pre != T) {
        /* Descend to the leftmost node of the subtree at p. */
        while (p->ltag == Link) p = p->lchild;
        /* Nodes without a right child: visit them, following their threads. */
        while (p != nullptr && p->rtag == Thread) {
            Visit(p);                        STEP(STEP_WALK, p, 0);
            pre = p;
            p = p->rchild;
        }
        /* Climb while the node's subtrees are finished. */
        while (pre != T && SubtreesDone(p)) {
            Visit(p);                        STEP(STEP_WALK, p, 0);
            pre = p;
            if (pre != T) p = p->parent;
        }
        /* Enter the right subtree, which is still to be visited. */
        if (p->rtag == Link) p = p->rchild;
    }
}

/* Write the node's character to standard output, as one byte. */
static void PrintThrData(BiThrTree node) {
    putchar(node->data);
}

/* Write the characters of the threaded tree T in post-order to standard
 * output, one byte per node, by the walk above. Returns OK. */
Status PostPrintBiThrTree(BiThrTree T) {
    STEP_CALL;
    PostOrderTraverseThr(T, PrintThrData);
    return OK;
}
