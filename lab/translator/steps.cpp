/* steps.cpp -- the step writer of translator for the browser edition.
 *
 * WriteSteps takes the same argument as translator, the rule file, and does
 * what translator's main does, in its order: StartFromRuleFile, PreDeal,
 * MidDeal, Translate (so it writes the same translate.txt). The step hook
 * (translator/step.h) is set all the while: every STEP the program reaches
 * becomes one step of the trace, with the stack L and the queue Q as they
 * stand after it. The trace is the envelope of lab/README.md, written with
 * json.h (strings one character per byte; the page decodes GBK itself):
 *
 *   {"program":"translator","input":INPUT,"steps":[STEP,...],
 *    "ok":true,"stopped":false}
 *
 * INPUT, the rule file as read:
 *   {"count":2,"rules":[{"symbol":"X","replacement":"tYd"},...],
 *    "sentence":"X(ehn)"}
 *   count     N, the count of the file's first line
 *   rules     the rules in file order, at most MAXRULES of them: all N when
 *             the sentence line was read, else the first one if it was
 *   sentence  the coded sentence without its line end
 *
 * A PART is a sentence or a container's contents, written in part when it
 * is long: {"text":"tYdenehe","length":8}: its first characters (at most
 * SHOWN of a sentence, CONTAINER of L or Q) and how many it has in all.
 *
 * STEP: kind, src and chain as json.h's JsonStep writes them ("chain"
 * starts at "main": WriteSteps stands where main stands, and its frame
 * bears main's name), then the state after the step:
 *   c          the character the step moved (not in a pass step)
 *   stack      PART of L, its top first
 *   queue      PART of Q, its front first
 * The bracket expansion (PreDeal, TakeGroup, PutGroup), as the sentence is
 * read from its last byte to its first:
 *   lay        c, a byte of the sentence, was pushed onto L
 *   pop        at a "(", c came off L: the group's first character θ, then
 *              each one after it, the group's ")" last
 *   enqueue    c went into Q
 *   take       the group is in Q (c is θ)
 *   dequeue    c came out of Q
 *   push       c went onto L (θ, then the character dequeued; θ at the end)
 *   put        the group stands on L expanded (c is θ)
 *   read       the position in INPUT.sentence of the byte being read
 *   theta      θ, in the steps of a group from its first pop to its put
 *   first      true in the pop of θ (absent in the other pops)
 * The rule passes (MidDeal, RulePass, Rewrite); pass i applies rule i:
 *   read       (kind) c, a character of the sentence before the pass, came
 *              off L (pass 0) or from the front of Q
 *   keep       c was appended to Q as it was
 *   replace    c, a character of the rule's replacement, was appended
 *   pass       the pass ended
 *   at         the pass's number, i+1 (the 对照 panel's unit)
 *   rule       i, the rule's index in INPUT.rules
 *   sentence   PART of the sentence the pass has made so far
 *   rewritten  the positions in sentence.text (from 0, increasing) that a
 *              replacement wrote
 *   waiting    characters of the sentence before the pass not yet read
 *   before     (pass steps) PART of the sentence the pass read
 * The words (Translate):
 *   word       c came from the front of Q and its word went out: the word's
 *              GBK bytes are "word"
 *   index      how many words went out before it
 *   output     PART of translate.txt's bytes so far (at most OUTSHOWN)
 *
 * When the translator refuses the rule file or stops (a missing or
 * unreadable file, a bad line, a "(" without its group, a sentence that
 * grows past its bound, no memory, an output it cannot write), the writer
 * stops at the same point with the same message on stderr and the same exit
 * status; the envelope then holds the steps so far with "ok":false and the
 * phase as "stopped" ("read" before any step, then "expansion", "passes" or
 * "words").
 *
 * Bound: a step is at most about 8 KB (its PARTs, each byte escaped in at
 * most 6); once the text passes LIMIT bytes, 64 KB short of 4 MB, no
 * further step is recorded and the envelope says "stopped":"bound", so a
 * trace stays under 4 MB; the run itself goes on to its end, so
 * translate.txt is whole. */
#include <cstddef>
#include <cstdio>

#include "rewrite.h"
#include "rulefile.h"
#include "step.h"
#include "words.h"

#include "json.h"

constexpr int SHOWN = 200;                   /* characters of a sentence written */
constexpr int CONTAINER = 64;                /* characters of L or Q written */
constexpr int OUTSHOWN = 400;                /* bytes of translate.txt written */
constexpr int MAXRULES = 10000;              /* rules listed in the input */
constexpr std::size_t LIMIT = (4u << 20) - (64u << 10);  /* bytes of trace past which no step is recorded */

/* ============================ Parts ======================================= */

/* Writes the chain of characters from node first, `length` of them, as a
 * PART holding at most `most` of them. */
static void PutPart(const LinkNode *first, long long length, int most) {
    char text[SHOWN];
    int shown = 0;
    for (const LinkNode *p = first; p != nullptr && shown < most && shown < length; p = p->next)
        text[shown++] = p->data;
    JsonPut("{\"text\":");
    JsonString(text, static_cast<std::size_t>(shown));
    JsonPut(",\"length\":");
    JsonInt(length);
    JsonPut("}");
}

/* A sentence kept by the writer as it grows: its first SHOWN characters
 * and how many it has. */
struct Kept {
    char text[OUTSHOWN];
    int shown;
    long long length;
};

/* Appends c to k, keeping at most `most` characters. */
static void KeepChar(Kept *k, char c, int most) {
    if (k->shown < most) k->text[k->shown++] = c;
    k->length++;
}

/* Writes k as a PART. */
static void PutKept(const Kept &k) {
    JsonPut("{\"text\":");
    JsonString(k.text, static_cast<std::size_t>(k.shown));
    JsonPut(",\"length\":");
    JsonInt(k.length);
    JsonPut("}");
}

/* ============================ What the steps tell ========================= */

static long long queued;     /* characters in Q, counted from the steps */
static int next;             /* position in W of the byte PreDeal reads next */
static int inGroup;          /* 1 from a group's first pop to its put */
static char theta;           /* that group's first character */
static int passes;           /* rule passes ended */
static long long waiting;    /* characters of the previous sentence not yet read */
static Kept made;            /* the sentence the running pass has made */
static Kept before;          /* the sentence it reads */
static int rewritten[SHOWN]; /* positions of made that a replacement wrote */
static int marked;           /* entries in rewritten */
static Kept output;          /* the bytes of translate.txt so far */
static long long words;      /* words put out */

/* The kinds' names in the trace, in the order of StepKind. */
static const char *const KIND[] = {"lay", "take", "put", "pop", "enqueue", "dequeue", "push",
                                   "read", "keep", "replace", "pass", "word"};

/* Brings the counts up to date with a step, so that nothing here walks a
 * container. */
static void Count(StepKind kind, char c) {
    switch (kind) {
    case STEP_LAY: next--; break;
    case STEP_POP:
        if (!inGroup) theta = c;
        inGroup = 1;
        break;
    case STEP_ENQUEUE: queued++; break;
    case STEP_DEQUEUE: queued--; break;
    case STEP_READ:
        waiting--;
        if (passes > 0) queued--;
        break;
    case STEP_REPLACE:
        if (made.length < SHOWN) rewritten[marked++] = static_cast<int>(made.length);
        KeepChar(&made, c, SHOWN);
        queued++;
        break;
    case STEP_KEEP:
        KeepChar(&made, c, SHOWN);
        queued++;
        break;
    case STEP_WORD: {
        queued--;
        Word word = WordFor(c);
        for (std::size_t k = 0; k < word.size; k++) KeepChar(&output, word.gbk[k], OUTSHOWN);
        break;
    }
    default: break;
    }
}

/* Starts the next pass's counts: it reads what the last one made. */
static void NextPass() {
    before = made;
    waiting = made.length;
    made.shown = 0;
    made.length = 0;
    marked = 0;
    passes++;
}

/* The hook: records the step, its state after it, and counts it. Once
 * the bound leaves a step out, the hook takes itself off: no later step is
 * recorded, and the rest of the run goes as fast as a console run. */
static void NoteStep(StepKind kind, const StepSite &site, char c) {
    int read = next;                         /* the byte of the expansion read now */
    int first = kind == STEP_POP && !inGroup;  /* the pop of a group's θ */
    Count(kind, c);
    if (!JsonStep(KIND[kind], site)) {
        StepHook = nullptr;
        return;
    }
    if (kind != STEP_PASS) {
        JsonPut(",\"c\":");
        JsonChar(c);
    }
    JsonPut(",\"stack\":");
    PutPart(L.top->next, L.count, CONTAINER);
    JsonPut(",\"queue\":");
    PutPart(Q.front->next, queued, CONTAINER);
    if (kind <= STEP_PUSH) {
        JsonPut(",\"read\":");
        JsonInt(read);
        if (inGroup) {
            JsonPut(",\"theta\":");
            JsonChar(theta);
        }
        if (first) JsonPut(",\"first\":true");
    } else if (kind <= STEP_PASS) {
        JsonPut(",\"at\":");
        JsonInt(passes + 1);
        JsonPut(",\"rule\":");
        JsonInt(passes);
        JsonPut(",\"sentence\":");
        PutKept(made);
        JsonPut(",\"rewritten\":[");
        for (int m = 0; m < marked; m++) {
            if (m > 0) JsonPut(",");
            JsonInt(rewritten[m]);
        }
        JsonPut("],\"waiting\":");
        JsonInt(waiting);
        if (kind == STEP_PASS) {
            JsonPut(",\"before\":");
            PutKept(before);
        }
    } else {
        Word word = WordFor(c);
        JsonPut(",\"word\":");
        JsonString(word.gbk, word.size);
        JsonPut(",\"index\":");
        JsonInt(words);
        JsonPut(",\"output\":");
        PutKept(output);
    }
    JsonStepEnd();
    if (kind == STEP_PUT) {
        inGroup = 0;
        next--;
    }
    if (kind == STEP_WORD) words++;
    if (kind == STEP_PASS) NextPass();
}

/* ============================ Input ======================================= */

/* Writes the rule file as read: its count, its rules, its sentence. */
static void PutInput() {
    int listed = 0;                          /* rules that were read, to list */
    if (W.length > 0 && N > 0) listed = N < MAXRULES ? N : MAXRULES;
    else if (N > 0 && R != nullptr) listed = 1;
    JsonPut(",\"input\":{\"count\":");
    JsonInt(N);
    JsonPut(",\"rules\":[");
    for (int i = 0; i < listed; i++) {
        if (i > 0) JsonPut(",");
        JsonPut("{\"symbol\":");
        JsonChar(R[i].symbol);
        JsonPut(",\"replacement\":");
        JsonString(R[i].replacement, static_cast<std::size_t>(R[i].length));
        JsonPut("}");
    }
    JsonPut("],\"sentence\":");
    JsonString(W.ch, static_cast<std::size_t>(W.length));
    JsonPut("}");
}

/* ============================ Entry point ================================= */

/* Traces the translation of the rule file argv[1] (see the top of this
 * file), with translator's refusals. Returns 0 after writing the trace. */
extern "C" int WriteSteps(int argc, char **argv) {
    static const StepCall mainFrame = {"main", nullptr};
    JsonTrace("translator", "read", LIMIT);
    StartFromRuleFile(argc, argv);
    PutInput();
    JsonStepsBegin();

    queued = 0;
    next = W.length - 1;
    inGroup = 0;
    passes = 0;
    marked = 0;
    made.shown = 0;
    made.length = 0;
    output.shown = 0;
    output.length = 0;
    words = 0;
    StepTop = &mainFrame;
    StepHook = NoteStep;

    JsonPhase("expansion");
    PreDeal();
    JsonPhase("passes");
    waiting = L.count;                       /* pass 0 reads the stack, top first */
    before.shown = 0;
    for (const LinkNode *p = L.top->next; p != nullptr && before.shown < SHOWN; p = p->next)
        before.text[before.shown++] = p->data;
    before.length = L.count;
    MidDeal();
    JsonPhase("words");
    Translate();

    StepHook = nullptr;
    StepTop = nullptr;
    return JsonFinish(1);
}
