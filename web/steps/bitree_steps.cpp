/* bitree_steps.cpp -- the step writer of bitree for the browser edition.
 *
 * WriteSteps reads the same menu session from stdin that bitree reads, with
 * the workbench's own readers (ReadChoice, ReadTrees, ReadExpression), so it
 * builds the very trees that the console run prints, and writes what the
 * page draws as one JSON object on stdout (strings as told in json.h).
 * Nothing is recomputed by the page: the nodes, threads, walks and values
 * below all come from the workbench's own functions.
 *
 * Layout:
 *   {"program":"bitree","choices":[CHOICE,...],"cut":false}
 * CHOICE stands for each choice the session makes, in the order the console
 * serves them; "cut" is true when the session makes more than MAXCHOICES
 * choices: only the first MAXCHOICES are described.
 *
 * A NODE is a tree node; nodes are numbered 0, 1, ... in preorder (the
 * order the tree is built in, so node 0 is the root):
 *   {"ch":"A","left":1,"right":2,"inorder":1,"depth":0}
 *     ch       the node's character (one byte)
 *     left     the number of its left child, -1 for none; right likewise
 *     inorder  its position in the inorder, 0 on the left (the column to
 *              draw it in)
 *     depth    its level, 0 at the root (the row to draw it in)
 *
 * Choice 0, the tree from two sequences, threaded and walked:
 *   {"choice":0,"ok":true,"preorder":"ABC","inorder":"BAC",
 *    "nodes":[NODE+THREADS,...],"walk":[1,2,0]}
 *     preorder, inorder  the two sequences as read
 *     nodes     each NODE of the tree with four more fields from the
 *               post-order threaded copy (same numbering):
 *               "ltag":0,"lchild":1,"rtag":1,"rchild":2
 *               ltag 0 (Link): lchild is the left child, as in "left";
 *               ltag 1 (Thread): lchild is the number of the post-order
 *               predecessor the thread points to, -1 for the null thread
 *               of the first node; rtag and rchild likewise, rchild being
 *               the successor (the root keeps rtag 0 and rchild -1 when it
 *               has no right child)
 *     walk      the nodes in the order the walk without a stack visits
 *               them, which is the order of the printed line
 *   {"choice":0,"ok":false,"why":"mismatch"}  the pair makes no tree
 *   {"choice":0,"ok":false,"why":"long"}      a token over 1023 bytes
 *   {"choice":0,"ok":false,"why":"end"}       the input ended inside the
 *                                             choice; the session ends
 *
 * Choice 1, the expression tree and its three walks:
 *   {"choice":1,"ok":true,"expression":"*+123","nodes":[NODE,...],
 *    "prefix":[0,1,2,3,4],"infix":[2,1,3,0,4],"postfix":[2,3,1,4,0]}
 *     expression  the token as read (characters after the first complete
 *                 expression are in it, but not in the tree)
 *     prefix, infix, postfix  the nodes in the order each printed form
 *                 writes them
 *   {"choice":1,"ok":false,"why":"incomplete"}  an operator lacks an operand
 *   "why":"long" and "why":"end" as for choice 0
 *
 * Choice 2, the value computed bottom up:
 *   {"choice":2,"ok":true,"expression":"-93","nodes":[NODE,...],
 *    "values":[{"node":1,"value":9},{"node":2,"value":3},{"node":0,"value":6}],
 *    "value":6,"divideByZero":-1}
 *     values  every node in the order the evaluation gives it its value
 *             (post-order: both operands before their operator; operands,
 *             the nodes without children, included), up to and without the
 *             node where a division by zero stops it
 *     value   the value printed; null after a division by zero
 *     divideByZero  the number of the '/' node whose divisor is 0, -1 if none
 *   "why":"incomplete", "long" and "end" as for choice 1
 *
 * Any other choice, which the console answers with "请输入正确功能序号":
 *   {"choice":5,"ok":false,"why":"choice"}  an integer other than 0, 1, 2
 *   {"choice":null,"ok":false,"why":"choice"}  not a number, or one
 *                                           outside int
 *
 * If memory runs out, the stop record of json.h ("stopped":"choices")
 * stands instead of all this.
 *
 * Bounds: a token holds at most 1023 bytes, so a tree has at most 1023
 * nodes; a choice is described in about 140 KB at most (two tokens of
 * escaped bytes, 1023 nodes of about 110 bytes, the walks), and at most
 * MAXCHOICES choices are described: under 2 MB in all. */
#include <cstdio>
#include <cstring>

#include "bitree.h"
#include "express.h"
#include "menu.h"
#include "status.h"
#include "thread.h"
#include "token.h"

#include "json.h"

/* The most choices described; later ones are left out ("cut"). */
constexpr int MAXCHOICES = 12;

/* ============================ Numbering nodes ============================= */

/* A tree has at most one node per byte of its token. */
constexpr int MAXNODES = TOKEN_MAX;

static BiTree nodes[MAXNODES];       /* the tree's nodes in preorder: node k is nodes[k] */
static int count;                    /* nodes in nodes[] */
static BiThrTree thrNodes[MAXNODES]; /* the threaded copy's nodes in preorder */
static int thrCount;                 /* nodes in thrNodes[] */
static int order[MAXNODES];          /* node numbers in the order of one walk */
static int orderCount;               /* numbers in order[] */

/* The tree's number of node p; -1 for null (or a node not numbered). */
static int NumberOf(BiTree p) {
    if (p == nullptr) return -1;
    for (int k = 0; k < count; k++)
        if (nodes[k] == p) return k;
    return -1;
}

/* The threaded copy's number of node p; -1 for null (or a node not
 * numbered). */
static int ThrNumberOf(BiThrTree p) {
    if (p == nullptr) return -1;
    for (int k = 0; k < thrCount; k++)
        if (thrNodes[k] == p) return k;
    return -1;
}

/* Visit functions for the workbench's walks: number a node, or note its
 * number in order[]. The bounds cannot be reached (see MAXNODES). */
static void Number(BiTree p) {
    if (count < MAXNODES) nodes[count++] = p;
}
static void NoteOrder(BiTree p) {
    if (orderCount < MAXNODES) order[orderCount++] = NumberOf(p);
}
static void NoteThrOrder(BiThrTree p) {
    if (orderCount < MAXNODES) order[orderCount++] = ThrNumberOf(p);
}

/* Numbers the threaded copy at p in preorder, following only the links to
 * real children (tag Link, not null), as DestroyBiThrTree does. */
static void NumberThr(BiThrTree p) {
    if (thrCount < MAXNODES) thrNodes[thrCount++] = p;
    if (p->ltag == Link && p->lchild != nullptr) NumberThr(p->lchild);
    if (p->rtag == Link && p->rchild != nullptr) NumberThr(p->rchild);
}

/* Writes order[] as a JSON array of node numbers. */
static void PutOrder() {
    JsonPut("[");
    for (int k = 0; k < orderCount; k++) {
        if (k > 0) JsonPut(",");
        JsonInt(order[k]);
    }
    JsonPut("]");
}

/* Runs one of the workbench's walks of T and writes the node numbers in the
 * order it visits them. */
static void PutWalk(void (*Traverse)(BiTree T, void (*Visit)(BiTree node)), BiTree T) {
    orderCount = 0;
    Traverse(T, NoteOrder);
    PutOrder();
}

/* ============================ Describing a tree =========================== */

/* Numbers the nodes of T (not empty) and writes "nodes":[NODE,...]; with a
 * threaded copy Q of the same pair (or null), each NODE also carries Q's
 * tags and links. Leaves nodes[] numbered for the walks. */
static void PutNodes(BiTree T, BiThrTree Q) {
    count = 0;
    PreOrderTraverse(T, Number);
    static int inorder[MAXNODES];    /* position of node k in the inorder */
    static int depth[MAXNODES];      /* level of node k, 0 at the root */
    orderCount = 0;
    InOrderTraverse(T, NoteOrder);
    for (int k = 0; k < orderCount; k++) inorder[order[k]] = k;
    /* In preorder a parent comes before its children. */
    depth[0] = 0;
    for (int k = 0; k < count; k++) {
        int left = NumberOf(nodes[k]->lchild);
        int right = NumberOf(nodes[k]->rchild);
        if (left >= 0) depth[left] = depth[k] + 1;
        if (right >= 0) depth[right] = depth[k] + 1;
    }
    thrCount = 0;
    if (Q != nullptr) NumberThr(Q);

    JsonPut("\"nodes\":[");
    for (int k = 0; k < count; k++) {
        if (k > 0) JsonPut(",");
        JsonPut("{\"ch\":");
        JsonChar(nodes[k]->data);
        JsonPut(",\"left\":");
        JsonInt(NumberOf(nodes[k]->lchild));
        JsonPut(",\"right\":");
        JsonInt(NumberOf(nodes[k]->rchild));
        JsonPut(",\"inorder\":");
        JsonInt(inorder[k]);
        JsonPut(",\"depth\":");
        JsonInt(depth[k]);
        if (k < thrCount) {
            BiThrTree p = thrNodes[k];
            JsonPut(",\"ltag\":");
            JsonInt(p->ltag);
            JsonPut(",\"lchild\":");
            JsonInt(ThrNumberOf(p->lchild));
            JsonPut(",\"rtag\":");
            JsonInt(p->rtag);
            JsonPut(",\"rchild\":");
            JsonInt(ThrNumberOf(p->rchild));
        }
        JsonPut("}");
    }
    JsonPut("]");
}

/* ============================ Choices ===================================== */

/* Writes the end of a choice that built nothing: "ok":false and why. */
static void PutFailure(const char *why) {
    JsonPut("\"ok\":false,\"why\":\"");
    JsonPut(why);
    JsonPut("\"}");
}

/* Writes the rest of a choice whose token read gave got (ReadTrees,
 * ReadExpression) and whose tree T is empty: why it is. */
static void PutNoTree(int got, const char *why) {
    if (got == TOKEN_END) PutFailure("end");
    else if (got == TOKEN_TOO_LONG) PutFailure("long");
    else PutFailure(why);
}

/* Choice 0: reads the sequences into preorder and inorder and rebuilds *T
 * and *Q as the console does, then describes them. Returns ERROR when the input
 * ended inside the choice, otherwise OK. */
static Status TreeSteps(char preorder[], char inorder[], BiTree *T, BiThrTree *Q) {
    JsonPut("{\"choice\":0,");
    int got = ReadTrees(preorder, inorder, T, Q);
    if (*T == nullptr || got != TOKEN_READ) {
        PutNoTree(got, "mismatch");
        return got == TOKEN_END ? ERROR : OK;
    }
    JsonPut("\"ok\":true,\"preorder\":");
    JsonString(preorder, std::strlen(preorder));
    JsonPut(",\"inorder\":");
    JsonString(inorder, std::strlen(inorder));
    JsonPut(",");
    PutNodes(*T, *Q);
    JsonPut(",\"walk\":");
    orderCount = 0;
    PostOrderTraverseThr(*Q, NoteThrOrder);
    PutOrder();
    JsonPut("}");
    return OK;
}

/* State of the value walk of choice 2: Calculate is called on each node in
 * post-order, so each call finds the values below it already shown. */
static int stopped;        /* 1 once a division by zero was met */
static int zeroAt;         /* number of the node where it was met, -1 before */
static int valued;         /* values written so far */

/* Visit of the value walk: writes the node's value as Calculate gives it,
 * or notes the division by zero that stops the evaluation there. */
static void PutValue(BiTree p) {
    if (stopped) return;
    int value;
    if (Calculate(p, &value) != OK) {
        stopped = 1;
        zeroAt = NumberOf(p);
        return;
    }
    if (valued++ > 0) JsonPut(",");
    JsonPut("{\"node\":");
    JsonInt(NumberOf(p));
    JsonPut(",\"value\":");
    JsonInt(value);
    JsonPut("}");
}

/* Choices 1 and 2: reads the expression into the buffer expression and
 * builds *T as the console does, then describes the tree and its walks (1) or its values
 * (2). Returns ERROR when the input ended inside the choice, otherwise OK. */
static Status ExpressionSteps(int sel, char expression[], BiTree *T) {
    JsonPut(sel == 1 ? "{\"choice\":1," : "{\"choice\":2,");
    int got = ReadExpression(expression, T);
    if (*T == nullptr || got != TOKEN_READ) {
        PutNoTree(got, "incomplete");
        return got == TOKEN_END ? ERROR : OK;
    }
    JsonPut("\"ok\":true,\"expression\":");
    JsonString(expression, std::strlen(expression));
    JsonPut(",");
    PutNodes(*T, nullptr);
    if (sel == 1) {
        JsonPut(",\"prefix\":");
        PutWalk(PreOrderTraverse, *T);
        JsonPut(",\"infix\":");
        PutWalk(InOrderTraverse, *T);
        JsonPut(",\"postfix\":");
        PutWalk(PostOrderTraverse, *T);
    } else {
        JsonPut(",\"values\":[");
        stopped = 0;
        zeroAt = -1;
        valued = 0;
        PostOrderTraverse(*T, PutValue);
        JsonPut("],\"value\":");
        int value;
        if (Calculate(*T, &value) == OK) JsonInt(value);
        else JsonPut("null");
        JsonPut(",\"divideByZero\":");
        JsonInt(zeroAt);
    }
    JsonPut("}");
    return OK;
}

/* ============================ Entry point ================================= */

/* Describes the menu session on stdin (see the top of this file); argc and
 * argv are not used, as bitree takes no arguments. Frees every tree before
 * it returns. Returns 0. */
extern "C" int WriteSteps(int argc, char **argv) {
    (void)argc;
    (void)argv;
    char first[TOKEN_SIZE];                  /* first token: preorder, or the expression */
    char second[TOKEN_SIZE];                 /* choice 0's second token: inorder */
    BiTree T = nullptr;                      /* tree of the latest choice */
    BiThrTree Q = nullptr;                   /* threaded tree of the latest choice 0 */

    JsonBegin("bitree", "choices");
    JsonPut("{\"program\":\"bitree\",\"choices\":[");
    int described = 0;                       /* choices written so far */
    int cut = 0;                             /* 1 when choices were left out */
    Status going = OK;
    while (going == OK) {
        int sel;
        int got = ReadChoice(stdin, &sel);
        if (got == CHOICE_END) break;
        if (described == MAXCHOICES) {
            cut = 1;
            break;
        }
        if (described++ > 0) JsonPut(",");
        if (got == CHOICE_INVALID) {
            JsonPut("{\"choice\":null,");
            PutFailure("choice");
        } else if (sel == 0) {
            going = TreeSteps(first, second, &T, &Q);
        } else if (sel == 1 || sel == 2) {
            going = ExpressionSteps(sel, first, &T);
        } else {
            JsonPut("{\"choice\":");
            JsonInt(sel);
            JsonPut(",");
            PutFailure("choice");
        }
    }
    JsonPut(cut ? "],\"cut\":true}" : "],\"cut\":false}");

    DestroyBiTree(T);
    DestroyBiThrTree(Q);
    return JsonEnd();
}
