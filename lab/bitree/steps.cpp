/* steps.cpp -- the step writer of bitree for the browser edition.
 *
 * WriteSteps runs the workbench's own RunMenu on the menu session on stdin,
 * with the step hook set (bitree/step.h) and the dialogue that RunMenu
 * prints sent to the null device, and writes what the page draws as one
 * JSON object on stdout (strings as told in json.h). Nothing is recomputed:
 * each choice, tree, thread, walk and value below is one that the hook
 * reported from the workbench's own functions while they ran.
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
 *    "nodes":[NODE+THREADS,...],"walk":[1,2,0],
 *    "treeSrc":SRC,"threadsSrc":SRC,"walkSrc":[SRC,SRC,SRC]}
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
 *     treeSrc   SRC of the statement that built the tree (ReadTrees)
 *     threadsSrc  SRC of the threading of the copy (ReadTrees)
 *     walkSrc   for each entry of walk, SRC of its visit in
 *               PostOrderTraverseThr: while following threads, or climbing
 *   {"choice":0,"ok":false,"why":"mismatch"}  the pair makes no tree
 *   {"choice":0,"ok":false,"why":"long"}      a token over 1023 bytes
 *   {"choice":0,"ok":false,"why":"end"}       the input ended inside the
 *                                             choice; the session ends
 *
 * Choice 1, the expression tree and its three walks:
 *   {"choice":1,"ok":true,"expression":"*+123","nodes":[NODE,...],
 *    "prefix":[0,1,2,3,4],"infix":[2,1,3,0,4],"postfix":[2,3,1,4,0],
 *    "treeSrc":SRC,"prefixSrc":[SRC,...],"infixSrc":[SRC,...],"postfixSrc":[SRC,...]}
 *     expression  the token as read (characters after the first complete
 *                 expression are in it, but not in the tree)
 *     prefix, infix, postfix  the nodes in the order each printed form
 *                 writes them
 *     treeSrc     SRC of the statement that built the tree (ReadExpression)
 *     prefixSrc, infixSrc, postfixSrc  for each entry of the walk of that
 *                 name, SRC of its visit (PreOrderTraverse, InOrderTraverse,
 *                 PostOrderTraverse)
 *   {"choice":1,"ok":false,"why":"incomplete"}  an operator lacks an operand
 *   "why":"long" and "why":"end" as for choice 0
 *
 * Choice 2, the value computed bottom up:
 *   {"choice":2,"ok":true,"expression":"-93","nodes":[NODE,...],
 *    "values":[{"node":1,"value":9,"src":SRC},...,{"node":0,"value":6,"src":SRC}],
 *    "value":6,"divideByZero":-1,"treeSrc":SRC}
 *     values  every node in the order the evaluation gives it its value
 *             (post-order: both operands before their operator; operands,
 *             the nodes without children, included), up to and without the
 *             node where a division by zero stops it; src is the statement
 *             of Calculate that gave the value
 *     value   the value printed; null after a division by zero
 *     divideByZero  the number of the '/' node whose divisor is 0, -1 if none
 *   "why":"incomplete", "long" and "end" as for choice 1
 *
 * Any other choice, which the console answers with "请输入正确功能序号":
 *   {"choice":5,"ok":false,"why":"choice"}  an integer other than 0, 1, 2
 *   {"choice":null,"ok":false,"why":"choice"}  not a number, or one
 *                                           outside int
 *
 * SRC is {"file":"bitree/thread.cpp","line":124,"func":"PostOrderTraverseThr",
 *         "chain":["RunMenu","TreeChoice","PostPrintBiThrTree","PostOrderTraverseThr"]}
 * as json.h's JsonSrc and JsonSaved write it: the file, line and function of
 * the statement, the functions on the call stack then, outermost first (a
 * function that called itself stands once), and "depth":D when the
 * statement's function was D calls deep in itself (the recursive walks and
 * Calculate).
 *
 * If memory runs out, the stop record of json.h ("stopped":"choices")
 * stands instead of all this.
 *
 * Bounds: a token holds at most 1023 bytes, so a tree has at most 1023
 * nodes; a choice is described in about 600 KB at most (two tokens of
 * escaped bytes, 1023 nodes of about 110 bytes, the walks and their SRC of
 * about 150 bytes per node and walk), and at most MAXCHOICES choices are
 * described: under 60 MB in all, and under 1 MB for a session of small
 * trees. */
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "bitree.h"
#include "express.h"
#include "menu.h"
#include "status.h"
#include "step.h"
#include "thread.h"
#include "token.h"

#include "json.h"

/* The most choices described; later ones are left out ("cut"). */
constexpr int MAXCHOICES = 100;

/* ============================ Numbering nodes ============================= */

/* A tree has at most one node per byte of its token. */
constexpr int MAXNODES = TOKEN_MAX;

static BiTree nodes[MAXNODES];       /* the tree's nodes in preorder: node k is nodes[k] */
static int count;                    /* nodes in nodes[] */
static BiThrTree thrNodes[MAXNODES]; /* the threaded copy's nodes in preorder */
static int thrCount;                 /* nodes in thrNodes[] */
static int order[MAXNODES];          /* node numbers in the order of one walk */
static int orderCount;               /* numbers in order[] */
static int inorder[MAXNODES];        /* position of node k in the inorder */
static int depth[MAXNODES];          /* level of node k, 0 at the root */

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

/* Visit functions for the numbering walks: number a node, or note its
 * number in order[]. The bounds cannot be reached (see MAXNODES). */
static void Number(BiTree p) {
    if (count < MAXNODES) nodes[count++] = p;
}
static void NoteOrder(BiTree p) {
    if (orderCount < MAXNODES) order[orderCount++] = NumberOf(p);
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

/* ============================ Describing a tree =========================== */

/* Numbers the nodes of T (not empty) and writes "nodes":[NODE,...]; with a
 * threaded copy Q of the same pair (or null), each NODE also carries Q's
 * tags and links. Leaves nodes[] numbered for the walks. */
static void PutNodes(BiTree T, BiThrTree Q) {
    auto hook = StepHook;                    /* the numbering walks are not steps */
    StepHook = nullptr;
    count = 0;
    PreOrderTraverse(T, Number);
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
    StepHook = hook;
}

/* ============================ Choices ===================================== */

/* The session as the hook tells it. A choice's record is opened when its
 * tokens have been read (or at once, for a choice that is no choice), grows
 * with the steps of its walks, and is closed by the next choice or the end
 * of the session. */
static int described;        /* choices written so far */
static int cut;              /* 1 once a choice was left out: the rest are not described */
static int recording;        /* 1 while a choice's record is open */
static int sel;              /* the choice being made: 0, 1 or 2 */
static BiTree tree;          /* the tree the choice built, null if none */
static BiThrTree copy;       /* choice 0's threaded copy */
static SavedSrc treeSrc;     /* the site that built the tree */
static SavedSrc threadsSrc;  /* the site that threaded the copy */
static StepKind walking;     /* the walk whose SRC array is open; STEP_READ for none */
static int zeroAt;           /* choice 2: the node of a divisor 0, -1 for none */
static int value;            /* choice 2: the value of the node valued last */
static int valued;           /* choice 2: values written so far */

/* Orders of choice 1's three walks, node numbers in the order visited. */
static int walks[3][MAXNODES];
static int walked[3];        /* numbers in each of walks[] */

/* The number of a node the hook tells of: a tree node, or a node of the
 * threaded copy. */
static int NodeOf(StepKind kind, const void *what) {
    if (kind == STEP_WALK) return ThrNumberOf(static_cast<BiThrTree>(const_cast<void *>(what)));
    return NumberOf(static_cast<BiTree>(const_cast<void *>(what)));
}

/* Writes the end of a choice that built nothing: "ok":false and why. */
static void PutFailure(const char *why) {
    JsonPut("\"ok\":false,\"why\":\"");
    JsonPut(why);
    JsonPut("\"}");
}

/* Opens the record of a choice, "{" and "choice":c, c < 0 giving null;
 * returns 0 when it is one more than MAXCHOICES, which are left out. */
static int OpenChoice(int c) {
    if (described == MAXCHOICES) {
        cut = 1;
        return 0;
    }
    if (described++ > 0) JsonPut(",");
    JsonPut("{\"choice\":");
    if (c < 0) JsonPut("null");
    else JsonInt(c);
    JsonPut(",");
    return 1;
}

/* Closes the open walk's SRC array, if any. */
static void EndWalk() {
    if (walking != STEP_READ) JsonPut("]");
    walking = STEP_READ;
}

/* Closes the open choice's record with what its walks gave. */
static void CloseChoice() {
    if (!recording) return;
    EndWalk();
    if (sel == 0) {
        JsonPut(",\"walk\":");
        PutOrder();
    } else if (sel == 1) {
        const char *names[3] = {",\"prefix\":", ",\"infix\":", ",\"postfix\":"};
        for (int w = 0; w < 3; w++) {
            JsonPut(names[w]);
            JsonPut("[");
            for (int k = 0; k < walked[w]; k++) {
                if (k > 0) JsonPut(",");
                JsonInt(walks[w][k]);
            }
            JsonPut("]");
        }
    } else {
        JsonPut("],\"value\":");
        if (zeroAt < 0) JsonInt(value);
        else JsonPut("null");
        JsonPut(",\"divideByZero\":");
        JsonInt(zeroAt);
    }
    JsonPut("}");
    recording = 0;
}

/* The choice's tokens were read into token (choice 0: the preorder), with
 * the reader's result got: writes the head of the choice's record, or all
 * of it when it built nothing, and leaves it open for the walks. */
static void PutRead(const char *token, int got) {
    if (!OpenChoice(sel)) return;
    if (got == TOKEN_END) return PutFailure("end");
    if (got == TOKEN_TOO_LONG) return PutFailure("long");
    if (tree == nullptr) return PutFailure(sel == 0 ? "mismatch" : "incomplete");
    JsonPut(sel == 0 ? "\"ok\":true,\"preorder\":" : "\"ok\":true,\"expression\":");
    JsonString(token, std::strlen(token));
    JsonPut(",");
    PutNodes(tree, sel == 0 ? copy : nullptr);
    if (sel == 0) {
        /* The tree was built from the pair, so its inorder is the second
         * token as read. */
        char inorderText[MAXNODES];
        int shown = 0;
        orderCount = 0;
        auto hook = StepHook;
        StepHook = nullptr;
        InOrderTraverse(tree, NoteOrder);
        StepHook = hook;
        for (int k = 0; k < orderCount; k++) inorderText[shown++] = nodes[order[k]]->data;
        JsonPut(",\"inorder\":");
        JsonString(inorderText, static_cast<std::size_t>(shown));
        JsonPut(",\"threadsSrc\":");
        JsonSaved(threadsSrc);
    }
    JsonPut(",\"treeSrc\":");
    JsonSaved(treeSrc);
    orderCount = 0;
    walked[0] = walked[1] = walked[2] = 0;
    walking = STEP_READ;
    zeroAt = -1;
    valued = 0;
    if (sel == 2) JsonPut(",\"values\":[");
    recording = 1;
}

/* The SRC arrays of the walks: the threaded walk's, then choice 1's three. */
static const char *const WALK_ARRAYS[] = {",\"walkSrc\":[", ",\"prefixSrc\":[", ",\"infixSrc\":[",
                                          ",\"postfixSrc\":["};

/* Notes a walk's visit of node k at site: its number in the walk's order,
 * its SRC in the walk's SRC array, which it opens when it is the first. */
static void PutVisit(StepKind kind, const StepSite &site, int k) {
    int w = kind == STEP_WALK ? 0 : kind - STEP_PREORDER + 1;
    if (walking != kind) {
        EndWalk();
        JsonPut(WALK_ARRAYS[w]);
        walking = kind;
    } else {
        JsonPut(",");
    }
    JsonSrc(site);
    if (w == 0) {
        if (orderCount < MAXNODES) order[orderCount++] = k;
    } else if (walked[w - 1] < MAXNODES) {
        walks[w - 1][walked[w - 1]++] = k;
    }
}

/* The step hook (see above). Choice 0 prints its tree's preorder and
 * inorder before the threaded walk: only the threaded walk is its
 * picture's. */
static void NoteStep(StepKind kind, const StepSite &site, const void *what, int got) {
    if (cut) return;
    switch (kind) {
    case STEP_CHOICE: {
        CloseChoice();
        if (got == CHOICE_END) return;
        tree = nullptr;
        copy = nullptr;
        if (got == CHOICE_INVALID) {
            if (OpenChoice(-1)) PutFailure("choice");
            return;
        }
        sel = *static_cast<const int *>(what);
        if (sel < 0 || sel > 2) {
            if (OpenChoice(sel)) PutFailure("choice");
        }
        return;
    }
    case STEP_TREE:
        tree = static_cast<BiTree>(const_cast<void *>(what));
        JsonSave(site, &treeSrc);
        return;
    case STEP_COPY:
        copy = static_cast<BiThrTree>(const_cast<void *>(what));
        return;
    case STEP_THREADS:
        JsonSave(site, &threadsSrc);
        return;
    case STEP_READ:
        PutRead(static_cast<const char *>(what), got);
        return;
    case STEP_WALK:
        if (recording && sel == 0) PutVisit(kind, site, NodeOf(kind, what));
        return;
    case STEP_PREORDER:
    case STEP_INORDER:
    case STEP_POSTORDER:
        if (recording && sel == 1) PutVisit(kind, site, NodeOf(kind, what));
        return;
    case STEP_VALUE:
        if (!recording || sel != 2) return;
        if (valued++ > 0) JsonPut(",");
        JsonPut("{\"node\":");
        JsonInt(NodeOf(kind, what));
        JsonPut(",\"value\":");
        JsonInt(got);
        JsonPut(",\"src\":");
        JsonSrc(site);
        JsonPut("}");
        value = got;
        return;
    case STEP_ZERO:
        if (recording && sel == 2) zeroAt = NodeOf(kind, what);
        return;
    }
}

/* ============================ Entry point ================================= */

/* Describes the menu session on stdin (see the top of this file); argc and
 * argv are not used, as bitree takes no arguments. RunMenu's dialogue goes
 * to the null device while it runs, and standard output is given back for
 * the description. Returns 0. */
extern "C" int WriteSteps(int argc, char **argv) {
    (void)argc;
    (void)argv;
    JsonBegin("bitree", "choices");
    JsonPut("{\"program\":\"bitree\",\"choices\":[");
    described = cut = recording = 0;

    /* The dialogue goes to the null device: standard output is kept as
     * console and given back afterwards. */
    std::fflush(stdout);
    int console = dup(STDOUT_FILENO);
    int null = open("/dev/null", O_WRONLY);
    if (console < 0 || null < 0 || dup2(null, STDOUT_FILENO) < 0) std::exit(-1);
    close(null);
    StepHook = NoteStep;
    RunMenu();
    StepHook = nullptr;
    CloseChoice();
    std::fflush(stdout);
    dup2(console, STDOUT_FILENO);
    close(console);
    std::clearerr(stdout);

    JsonPut(cut ? "],\"cut\":true}" : "],\"cut\":false}");
    return JsonEnd();
}
