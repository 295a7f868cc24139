/* bitree.cpp -- rebuilding a tree from two traversals, walking it and
 * printing it.
 *
 * The first character of a preorder range is the root of its subtree; its
 * position in the inorder range splits that range into the left and the
 * right subtree, and the sizes of the two parts split the preorder range
 * the same way. The printers write one byte per node to standard output,
 * with nothing between the bytes. */
#include "bitree.h"

#include <cstdio>
#include <cstdlib>

#include "alloc.h"
#include "step.h"

/* ============================ Building ==================================== */

/* Build the subtree whose preorder is preorder[s1..end1] and whose inorder
 * is inorder[s2..end2] (inclusive ranges, which the caller keeps inside its
 * strings) and return its root. The root's character is searched in the inorder
 * range from the left, and the first match is taken; the search never leaves
 * the range. Returns null, with nothing allocated, when the pair is not the
 * preorder and inorder of one tree as this rule reads it: the ranges are
 * empty or of different lengths, or some root's character is missing from
 * its inorder range. Ends the program when memory runs out (AllocNode). */
BiTree PreInCreate(const char preorder[], const char inorder[], int s1, int end1, int s2,
                   int end2) {
    STEP_CALL;
    if (end1 < s1 || end1 - s1 != end2 - s2) {  STEP_RANGES(STEP_UNEVEN, nullptr, 0, preorder, inorder, s1, end1, s2, end2);
        return nullptr;
    }

    int i = s2;
    while (i <= end2 && inorder[i] != preorder[s1]) i++;
    if (i > end2) {                          STEP_RANGES(STEP_MISSING, nullptr, i, preorder, inorder, s1, end1, s2, end2);
        return nullptr;                      /* root's character not in range */
    }

    BiTree root = static_cast<BiTree>(AllocNode(sizeof(BiTNode)));
    root->data = preorder[s1];
    root->lchild = nullptr;
    root->rchild = nullptr;

    /* The root splits the inorder range: the left subtree's nodes stand
     * before it, the right subtree's after it. */
    int left = i - s2;
    int right = end2 - i;                    STEP_RANGES(STEP_SPLIT, root, i, preorder, inorder, s1, end1, s2, end2);
    if (left != 0) {
        root->lchild = PreInCreate(preorder, inorder, s1 + 1, s1 + left, s2, s2 + left - 1);
        if (root->lchild == nullptr) {
            DestroyBiTree(root);
            return nullptr;
        }
    }
    if (right != 0) {
        root->rchild = PreInCreate(preorder, inorder, end1 - right + 1, end1, end2 - right + 1,
                                   end2);
        if (root->rchild == nullptr) {
            DestroyBiTree(root);
            return nullptr;
        }
    }
    return root;
}

/* Free every node of T (a null T is fine). */
void DestroyBiTree(BiTree T) {
    if (T == nullptr) return;
    DestroyBiTree(T->lchild);
    DestroyBiTree(T->rchild);
    free(T);
}

/* ============================ Traversals ================================== */

/* Call Visit on every node of T in preorder (node, left, right); nothing
 * for an empty tree. The printers below and the browser edition's step
 * writer walk the tree through these. */
void PreOrderTraverse(BiTree T, void (*Visit)(BiTree node)) {
    STEP_CALL;
    if (T == nullptr) return;
    Visit(T);                                STEP(STEP_PREORDER, T, 0);
    PreOrderTraverse(T->lchild, Visit);
    PreOrderTraverse(T->rchild, Visit);
}

/* Call Visit on every node of T in inorder (left, node, right). */
void InOrderTraverse(BiTree T, void (*Visit)(BiTree node)) {
    STEP_CALL;
    if (T == nullptr) return;
    InOrderTraverse(T->lchild, Visit);
    Visit(T);                                STEP(STEP_INORDER, T, 0);
    InOrderTraverse(T->rchild, Visit);
}

/* Call Visit on every node of T in post-order (left, right, node). */
void PostOrderTraverse(BiTree T, void (*Visit)(BiTree node)) {
    STEP_CALL;
    if (T == nullptr) return;
    PostOrderTraverse(T->lchild, Visit);
    PostOrderTraverse(T->rchild, Visit);
    Visit(T);                                STEP(STEP_POSTORDER, T, 0);
}

/* ============================ Printers ==================================== */

/* Write the node's character to standard output, as one byte. */
static void PrintData(BiTree node) {
    putchar(node->data);
}

/* Write the characters of T in preorder (node, left, right). Returns OK. */
Status PrePrint(BiTree T) {
    STEP_CALL;
    PreOrderTraverse(T, PrintData);
    return OK;
}

/* Write the characters of T in inorder (left, node, right). Returns OK. */
Status InPrint(BiTree T) {
    STEP_CALL;
    InOrderTraverse(T, PrintData);
    return OK;
}

/* Write the characters of T in post-order (left, right, node). Returns OK. */
Status PostPrint(BiTree T) {
    STEP_CALL;
    PostOrderTraverse(T, PrintData);
    return OK;
}
