/* steps.cpp -- the step writer of bitree for the browser edition.
 *
 * WriteSteps runs the workbench's own RunMenu on the menu session on stdin,
 * with the step hook set (bitree/step.h) and the dialogue that RunMenu
 * prints sent to the null device, and writes the trace of lab/README.md on
 * stdout (strings as told in json.h). Nothing is recomputed: each range,
 * node, thread, visit and value below is one that the hook reported from
 * the workbench's own functions while they ran. The chain of a step starts
 * at RunMenu, the function the writer calls in place of main.
 *
 * The input: "input":{"choices":[CHOICE,...]}, each choice the session
 * made, in order, as it was read:
 *   {"choice":0,"preorder":"ABC","inorder":"BAC"}
 *   {"choice":1,"expression":"*+123"}     (and likewise choice 2)
 *   {"choice":0,"read":"long"}    a token over 1023 bytes, read and dropped
 *   {"choice":1,"read":"end"}     the input ended inside the choice
 *   {"choice":7}                  an integer other than 0, 1, 2
 *   {"choice":null}               not a number, or one outside int
 *
 * Nodes are numbered 0, 1, ... in preorder, which is the order both
 * builders make them in: node k holds byte k of the preorder sequence
 * (choice 0) or of the expression (choices 1 and 2). A tree, or the part
 * of one made so far, is its SHAPE: a string of one digit per node in
 * preorder, 0 for no child, 1 for a left child only, 2 for a right child
 * only, 3 for both (a node made is shown under the call that made it, even
 * before that call has returned and stored the link).
 *
 * Every step has "at", the number of its choice in the session from 1,
 * and, after the step, these fields:
 *   choice     {"choice":0|1|2|n|null}  a choice was read
 *   split      PreInCreate made the root of its ranges:
 *              "pre":[s1,end1],"in":[s2,end2]  the call's ranges
 *              "root":i  where the root was found in the inorder range
 *              "left":[s1,end1,s2,end2]|null, "right":likewise  the
 *              ranges it hands to its two calls (null: no call)
 *              "shape":SHAPE  the nodes made so far
 *              "cols":[i,...]  where each node made so far was found in
 *              the inorder (the column it stands in)
 *   missing    PreInCreate found the root preorder[s1] nowhere in its
 *              inorder range: "pre","in","cols","shape" as for split
 *   uneven     PreInCreate was given ranges of unequal lengths:
 *              "pre","in","cols","shape"
 *   tree       the tree was built: "shape":SHAPE, or null for none
 *   copy       choice 0's copy with parent links: "shape"
 *   thread     threading made an empty link a thread:
 *              "threads":[[node,side,to],...] every thread so far, side 0
 *              left (to the post-order predecessor) or 1 right (to the
 *              successor), to -1 for the first node's null thread;
 *              "shape"
 *   threaded   the threading is done: "threads","shape"
 *   read       the choice's tokens were read: "got":"read"|"long"|"end",
 *              "shape":SHAPE|null, the tree the console now prints from
 *   preorder, inorder, postorder  a printer visited a node: "node",
 *              "seen":[node,...] the nodes printed so far on this line,
 *              "shape"
 *   walk       the threaded walk visited a node: "node","seen","threads",
 *              "shape"
 *   node       CreateExpressTree made a node: "node", "operator":true for
 *              an operator (two operands follow), "shape"
 *   short      CreateExpressTree found the expression ended: "shape"
 *   value      Calculate gave a node its value: "node", "values":[v|null,
 *              ...] per node, every value given so far, "shape"
 *   zero       Calculate met a divisor 0 at "node": "values","shape"
 *
 * "ok" is true when RunMenu ended as the console run ends on success. If
 * memory runs out, json.h's stop record ("stopped":"choices") stands
 * instead.
 *
 * Bound: a token holds at most 1023 bytes, so a tree has at most 1023
 * nodes and a step takes at most about 20 KB (a walk step of such a tree:
 * its shape, up to 1023 nodes seen and 1024 threads). No step is recorded
 * once the text passes LIMIT (8 MB), nor for more than MAXCHOICES
 * choices: the envelope then says "stopped":"bound", and the input holds
 * the choices whose steps were recorded. A session of a few small trees
 * takes a few KB. */
#include <algorithm>
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

/* Bytes of text past which no step is recorded. */
constexpr std::size_t LIMIT = 8u << 20;

/* The most choices recorded. */
constexpr int MAXCHOICES = 100;

/* A tree has at most one node per byte of its token. */
constexpr int MAXNODES = TOKEN_MAX;

/* ============================ The session's input ========================= */

/* What each recorded choice read, for the input (see above). */
struct ChoiceInput {
    int choice;              /* the choice read */
    int number;              /* 1 when it was a number within int */
    int got;                 /* its reader's result; TOKEN_READ until told */
    char first[TOKEN_SIZE];  /* the preorder, or the expression */
    char second[TOKEN_SIZE]; /* choice 0's inorder */
};
static ChoiceInput inputs[MAXCHOICES];
static int choices;          /* choices recorded in inputs[] */
static ChoiceInput *current; /* the record of the choice being made; null when left out */
static int skipping;         /* 1 once a step was left out: no more steps are recorded */

/* ============================ The tree so far ============================= */

static int lc[MAXNODES], rc[MAXNODES];  /* children of node k, -1 for none */
static int cols[MAXNODES];              /* a rebuilt node's position in the inorder */
static int made;                        /* nodes made so far, numbered 0.. */
static int callNode[MAXNODES + 1];      /* the node made by the active call at each depth */
static int callRoot[MAXNODES + 1];      /* a split call's root position in the inorder */

static BiTree nodes[MAXNODES];          /* the built tree's nodes, node k at nodes[k] */
static int count;                       /* nodes in nodes[] */
static BiThrTree thrNodes[MAXNODES];    /* the threaded copy's nodes likewise */
static int thrCount;                    /* nodes in thrNodes[] */

static int threads[MAXNODES + 1][3];    /* the threads so far: node, side, to */
static int threadCount;
static int seen[MAXNODES];              /* nodes visited so far by the walk on */
static int seenCount;
static StepKind walking;                /* the walk seen[] belongs to */
static int values[MAXNODES];            /* values given so far */
static int valued[MAXNODES];            /* 1 where values[k] is given */

/* Visit function that notes a node of the built tree in nodes[]. */
static void Number(BiTree p) {
    if (count < MAXNODES) nodes[count++] = p;
}

/* The number of node p of the built tree; -1 for null. */
static int NumberOf(const BiTNode *p) {
    for (int k = 0; p != nullptr && k < count; k++)
        if (nodes[k] == p) return k;
    return -1;
}

/* Numbers the threaded copy at p in preorder, following only the links to
 * real children (tag Link, not null), as DestroyBiThrTree does. */
static void NumberThr(BiThrTree p) {
    if (thrCount < MAXNODES) thrNodes[thrCount++] = p;
    if (p->ltag == Link && p->lchild != nullptr) NumberThr(p->lchild);
    if (p->rtag == Link && p->rchild != nullptr) NumberThr(p->rchild);
}

/* The number of node p of the threaded copy; -1 for null. */
static int ThrNumberOf(const BiThrNode *p) {
    for (int k = 0; p != nullptr && k < thrCount; k++)
        if (thrNodes[k] == p) return k;
    return -1;
}

/* Takes the shape of the built tree T (null: none) into lc, rc and made,
 * numbering its nodes in nodes[] by the program's own preorder walk (no
 * step: the hook is off meanwhile). */
static void TakeTree(BiTree T) {
    auto hook = StepHook;
    StepHook = nullptr;
    count = 0;
    PreOrderTraverse(T, Number);
    StepHook = hook;
    made = count;
    for (int k = 0; k < count; k++) {
        lc[k] = NumberOf(nodes[k]->lchild);
        rc[k] = NumberOf(nodes[k]->rchild);
    }
}

/* The number of calls of site's function on its stack, itself included. */
static int DepthOf(const StepSite &site) {
    int depth = 0;
    for (const StepCall *f = site.calls; f != nullptr && f->func == site.func; f = f->caller)
        depth++;
    return depth;
}

/* Notes node k, made by a call at depth (1 for the outermost), under the
 * node of the call below it: its left child when left, else its right. */
static void Made(int k, int depth, int left) {
    if (k < 0 || k >= MAXNODES || depth < 1 || depth > MAXNODES) return;
    lc[k] = rc[k] = -1;
    made = std::max(made, k + 1);
    callNode[depth] = k;
    if (depth == 1) return;
    int parent = callNode[depth - 1];
    if (left) lc[parent] = k;
    else rc[parent] = k;
}

/* ============================ Writing fields ============================== */

/* ,"shape":SHAPE of the nodes made so far (null when none and none). */
static void PutShape(int none) {
    JsonPut(",\"shape\":");
    if (none) return JsonPut("null");
    char digits[MAXNODES];
    for (int k = 0; k < made; k++) digits[k] = static_cast<char>('0' + (lc[k] >= 0) + 2 * (rc[k] >= 0));
    JsonString(digits, static_cast<std::size_t>(made));
}

/* ,"name":[a,b] */
static void PutPair(const char *name, int a, int b) {
    JsonPut(name);
    JsonPut("[");
    JsonInt(a);
    JsonPut(",");
    JsonInt(b);
    JsonPut("]");
}

/* ,"name":[a,...] of n ints. */
static void PutInts(const char *name, const int *a, int n) {
    JsonPut(name);
    JsonPut("[");
    for (int k = 0; k < n; k++) {
        if (k > 0) JsonPut(",");
        JsonInt(a[k]);
    }
    JsonPut("]");
}

/* ,"name":[s1,end1,s2,end2], or null when the range is empty. */
static void PutRanges(const char *name, int s1, int end1, int s2, int end2) {
    JsonPut(name);
    if (end1 < s1) return JsonPut("null");
    const int ranges[4] = {s1, end1, s2, end2};
    PutInts("", ranges, 4);
}

/* ,"threads":[[node,side,to],...] */
static void PutThreads() {
    JsonPut(",\"threads\":[");
    for (int k = 0; k < threadCount; k++) {
        JsonPut(k > 0 ? ",[" : "[");
        JsonInt(threads[k][0]);
        JsonPut(",");
        JsonInt(threads[k][1]);
        JsonPut(",");
        JsonInt(threads[k][2]);
        JsonPut("]");
    }
    JsonPut("]");
}

/* ,"values":[v|null,...] */
static void PutValues() {
    JsonPut(",\"values\":[");
    for (int k = 0; k < made; k++) {
        if (k > 0) JsonPut(",");
        if (valued[k]) JsonInt(values[k]);
        else JsonPut("null");
    }
    JsonPut("]");
}

/* Opens a step of kind at site for the choice being made; 0 when it is
 * left out (the bound). */
static int Open(const char *kind, const StepSite &site) {
    if (skipping || !JsonStep(kind, site)) {
        skipping = 1;
        return 0;
    }
    JsonPut(",\"at\":");
    JsonInt(choices);
    return 1;
}

/* ============================ The hook ==================================== */

/* A choice was read (got: ReadChoice's result, sel the int read). */
static void HearChoice(const StepSite &site, int sel, int got) {
    current = nullptr;
    if (got == CHOICE_END || skipping) return;
    if (choices == MAXCHOICES) {             /* left out, as for the size bound */
        skipping = 1;
        json.bounded = 1;
        return;
    }
    ChoiceInput *in = current = &inputs[choices++];
    in->choice = sel;
    in->number = got == CHOICE_READ;
    in->got = TOKEN_READ;
    in->first[0] = in->second[0] = '\0';
    made = count = thrCount = threadCount = seenCount = 0;
    walking = STEP_CHOICE;
    if (!Open("choice", site)) return;
    JsonPut(",\"choice\":");
    if (in->number) JsonInt(sel);
    else JsonPut("null");
    JsonStepEnd();
}

/* A step of PreInCreate (split, missing, uneven). */
static void HearRanges(StepKind kind, const StepSite &site, int i, const StepRanges &r) {
    ChoiceInput *in = current;
    if (in == nullptr) return;
    int depth = DepthOf(site);
    if (depth == 1) {                        /* the outermost call: the two sequences */
        std::snprintf(in->first, sizeof in->first, "%s", r.preorder);
        std::snprintf(in->second, sizeof in->second, "%s", r.inorder);
        made = 0;
    }
    if (kind == STEP_SPLIT) {
        /* A left call's inorder range ends before its caller's root. */
        int left = depth > 1 && r.end2 < callRoot[depth - 1];
        Made(r.s1, depth, left);
        if (r.s1 >= 0 && r.s1 < MAXNODES) cols[r.s1] = i;
        if (depth <= MAXNODES) callRoot[depth] = i;
    }
    const char *kinds[] = {"split", "uneven", "missing"};
    if (!Open(kinds[kind - STEP_SPLIT], site)) return;
    PutPair(",\"pre\":", r.s1, r.end1);
    PutPair(",\"in\":", r.s2, r.end2);
    if (kind == STEP_SPLIT) {
        int left = i - r.s2, right = r.end2 - i;
        JsonPut(",\"root\":");
        JsonInt(i);
        PutRanges(",\"left\":", r.s1 + 1, r.s1 + left, r.s2, r.s2 + left - 1);
        PutRanges(",\"right\":", r.end1 - right + 1, r.end1, r.end2 - right + 1, r.end2);
    }
    PutInts(",\"cols\":", cols, made);
    PutShape(0);
    JsonStepEnd();
}

/* The step hook (see the top of this file). */
static void Hear(StepKind kind, const StepSite &site, const void *what, int value,
                 const StepRanges &ranges) {
    ChoiceInput *in = current;
    switch (kind) {
    case STEP_CHOICE:
        return HearChoice(site, *static_cast<const int *>(what), value);
    case STEP_SPLIT:
    case STEP_UNEVEN:
    case STEP_MISSING:
        return HearRanges(kind, site, value, ranges);
    case STEP_NODE: {
        if (in == nullptr) return;
        int k = flag - 1;                    /* the node holds the byte before flag */
        int depth = DepthOf(site);
        Made(k, depth, depth > 1 && lc[callNode[depth - 1]] < 0);
        if (!Open("node", site)) return;
        JsonPut(",\"node\":");
        JsonInt(k);
        JsonPut(value == 0 ? ",\"operator\":true" : ",\"operator\":false");
        PutShape(0);
        return JsonStepEnd();
    }
    case STEP_SHORT:
        if (in == nullptr || !Open("short", site)) return;
        PutShape(0);
        return JsonStepEnd();
    case STEP_TREE:
        if (in == nullptr) return;
        TakeTree(static_cast<BiTree>(const_cast<void *>(what)));
        for (int k = 0; k < made; k++) valued[k] = 0;
        if (!Open("tree", site)) return;
        PutShape(what == nullptr);
        return JsonStepEnd();
    case STEP_COPY: {
        if (in == nullptr) return;
        thrCount = 0;
        auto *copy = static_cast<BiThrTree>(const_cast<void *>(what));
        if (copy != nullptr) NumberThr(copy);
        if (!Open("copy", site)) return;
        PutShape(copy == nullptr);
        return JsonStepEnd();
    }
    case STEP_LTHREAD:
    case STEP_RTHREAD:
    case STEP_THREADS: {
        if (in == nullptr) return;
        auto *p = static_cast<const BiThrNode *>(what);
        if (kind != STEP_THREADS && threadCount <= MAXNODES) {   /* n + 1 empty links at most */
            int *t = threads[threadCount++];
            t[0] = ThrNumberOf(p);
            t[1] = kind == STEP_RTHREAD;
            t[2] = ThrNumberOf(kind == STEP_RTHREAD ? p->rchild : p->lchild);
        }
        if (!Open(kind == STEP_THREADS ? "threaded" : "thread", site)) return;
        PutThreads();
        PutShape(0);
        return JsonStepEnd();
    }
    case STEP_READ:
        if (in == nullptr) return;
        in->got = value;
        if (value == TOKEN_READ)
            std::snprintf(in->first, sizeof in->first, "%s", static_cast<const char *>(what));
        if (!Open("read", site)) return;
        JsonPut(value == TOKEN_READ ? ",\"got\":\"read\"" : value == TOKEN_END ? ",\"got\":\"end\"" : ",\"got\":\"long\"");
        PutShape(value != TOKEN_READ || count == 0);
        return JsonStepEnd();
    case STEP_WALK:
    case STEP_PREORDER:
    case STEP_INORDER:
    case STEP_POSTORDER: {
        if (in == nullptr) return;
        int k = kind == STEP_WALK ? ThrNumberOf(static_cast<const BiThrNode *>(what))
                                  : NumberOf(static_cast<const BiTNode *>(what));
        if (kind != walking) seenCount = 0;
        walking = kind;
        if (seenCount < MAXNODES) seen[seenCount++] = k;
        const char *kinds[] = {"walk", "preorder", "inorder", "postorder"};
        if (!Open(kinds[kind == STEP_WALK ? 0 : kind - STEP_PREORDER + 1], site)) return;
        JsonPut(",\"node\":");
        JsonInt(k);
        PutInts(",\"seen\":", seen, seenCount);
        if (kind == STEP_WALK) PutThreads();
        PutShape(0);
        return JsonStepEnd();
    }
    case STEP_VALUE:
    case STEP_ZERO: {
        if (in == nullptr) return;
        int k = NumberOf(static_cast<const BiTNode *>(what));
        if (kind == STEP_VALUE && k >= 0) {
            values[k] = value;
            valued[k] = 1;
        }
        if (!Open(kind == STEP_VALUE ? "value" : "zero", site)) return;
        JsonPut(",\"node\":");
        JsonInt(k);
        PutValues();
        PutShape(0);
        return JsonStepEnd();
    }
    }
}

/* ============================ The input =================================== */

/* Appends the input (see the top of this file). */
static void PutInput() {
    JsonPut(",\"input\":{\"choices\":[");
    for (int c = 0; c < choices; c++) {
        const ChoiceInput &in = inputs[c];
        JsonPut(c > 0 ? ",{\"choice\":" : "{\"choice\":");
        if (!in.number) {
            JsonPut("null}");
            continue;
        }
        JsonInt(in.choice);
        if (in.choice >= 0 && in.choice <= 2) {
            if (in.got == TOKEN_END) JsonPut(",\"read\":\"end\"");
            else if (in.got == TOKEN_TOO_LONG) JsonPut(",\"read\":\"long\"");
            else if (in.choice == 0) {
                JsonPut(",\"preorder\":");
                JsonString(in.first, std::strlen(in.first));
                JsonPut(",\"inorder\":");
                JsonString(in.second, std::strlen(in.second));
            } else {
                JsonPut(",\"expression\":");
                JsonString(in.first, std::strlen(in.first));
            }
        }
        JsonPut("}");
    }
    JsonPut("]}");
}

/* ============================ Entry point ================================= */

/* Writes the trace of the menu session on stdin (see the top of this
 * file); argc and argv are not used, as bitree takes no arguments.
 * RunMenu's dialogue goes to the null device while it runs, and standard
 * output is given back for the trace. Returns 0. */
extern "C" int WriteSteps(int argc, char **argv) {
    (void)argc;
    (void)argv;
    JsonTrace("bitree", "choices", LIMIT);
    /* The input is known only once the session is over: it is written
     * then, and moved here, before the steps. */
    std::size_t inputAt = json.length;
    JsonStepsBegin();
    choices = skipping = 0;

    std::fflush(stdout);
    int console = dup(STDOUT_FILENO);
    int null = open("/dev/null", O_WRONLY);
    if (console < 0 || null < 0 || dup2(null, STDOUT_FILENO) < 0) std::exit(-1);
    close(null);
    StepHook = Hear;
    int status = RunMenu();
    StepHook = nullptr;
    std::fflush(stdout);
    dup2(console, STDOUT_FILENO);
    close(console);
    std::clearerr(stdout);

    std::size_t end = json.length;
    PutInput();
    std::rotate(json.bytes + inputAt, json.bytes + end, json.bytes + json.length);
    return JsonFinish(status == RUN_DONE);
}
