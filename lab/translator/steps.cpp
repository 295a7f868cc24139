/* steps.cpp -- the step writer of translator for the browser
 * edition.
 *
 * WriteSteps takes the same argument as translator, the rule file, reads it
 * as translator's main does (StartFromRuleFile), and runs the translator's
 * own PreDeal and MidDeal with the step hook set (translator/step.h): each
 * byte PreDeal lays on the stack L, each bracket group it takes into the
 * queue and puts back, and each rule pass MidDeal runs becomes a record
 * below, with the containers as they stand after it; the rewritten marks
 * are the characters of a replacement that Rewrite appended. At the end it
 * notes each symbol's word (WordFor). It writes all of it as one JSON
 * object on stdout (strings as told in json.h); it writes no
 * translate.txt.
 *
 * Layout:
 *   {"program":"translator","ok":true,
 *    "sentence":"X(ehn)","ruleCount":2,
 *    "expansion":[STEP,...],
 *    "passes":[PASS,...],"passCount":2,
 *    "words":{"symbols":[{"symbol":"t","word":"\u00cc\u00ec"},...],
 *             "length":9,"bytes":20}}
 *   sentence   the coded sentence as read, without its line end
 *   ruleCount  N, the count of the file's first line
 *
 * A PART is a sentence or a container's contents, written in part when it
 * is long:
 *   {"text":"tYdenehe","length":8}
 *   text    its first characters, at most SHOWN of them (one byte each)
 *   length  how many characters it has in all; more than text holds when
 *           it was cut
 *
 * STEP, one step of the bracket expansion, as the sentence is read from its
 * last byte to its first:
 *   {"at":5,"read":")","action":"push","stack":PART,"queue":PART}
 *   {"at":1,"read":"(","action":"take","theta":"e","stack":PART,"queue":PART}
 *   {"at":1,"read":"(","action":"put","theta":"e","stack":PART,"queue":PART}
 *   at      the position of the byte read, 0 for the sentence's first
 *   read    the byte read
 *   action  push: the byte was pushed on the stack;
 *           take: at a "(", the group's first character theta was popped
 *           and the characters after it, up to the group's ")", moved into
 *           the queue (the ")" is dropped);
 *           put: the queue emptied back onto the stack as theta and each
 *           character in turn, then theta once more
 *   stack   the stack after the step, its top first (so text reads the
 *           sentence from the left)
 *   queue   the queue after the step, its front first
 *   src     SRC of the statement that did the step: push, PreDeal's push
 *           of the byte; take, TakeGroup's pop of theta; put, the first
 *           stack or queue operation of PutGroup (the DeQueue of the first
 *           character, or the push of theta for a group of one character)
 * Each "(" gives a take and a put step, every other byte a push step.
 *
 * SRC is {"file":"translator/rewrite.cpp","line":70,"func":"PreDeal",
 *         "chain":["PreDeal"]} as json.h's JsonSrc writes it: the file, line
 * and function of the statement, and the functions on the call stack then,
 * outermost first.
 *
 * PASS, one rule pass (pass i applies rule i, the file's line i+2):
 *   {"rule":0,"symbol":"X","replacement":"tYd",
 *    "before":PART,"after":PART,"rewritten":[0,1,2],
 *    "rewrittenSrc":[SRC,SRC,SRC],"src":SRC}
 *   before     the sentence before the pass (pass 0 takes it from the stack)
 *   after      the sentence the pass left in the queue
 *   rewritten  the positions in after.text (counted from 0) that the
 *              replacement of a symbol wrote, in increasing order: the
 *              characters that Rewrite appended from a replacement
 *   rewrittenSrc  for each entry of rewritten, SRC of that append
 *   src        SRC of MidDeal's statement that ran the pass (RulePass)
 * Only the first MAXPASSES passes are described; passCount says how many
 * ran. The passes stop early, as the translator's do, once the sentence is
 * empty; with N below 1 none runs. A file that ends right after its count
 * has no rule to describe: its one pass is counted, not described.
 *
 * words: the final sentence, which the translator writes to translate.txt
 * word by word: symbols lists its first SHOWN symbols, each with the bytes
 * of its word (GBK, to be decoded by the page); length is the number of
 * symbols in all and bytes the size of translate.txt, the sum of all the
 * words' sizes. With N below 1 the sentence stays on the stack and the
 * output is empty: no symbols, length 0, bytes 0.
 *
 * When the translator refuses the rule file or stops the run (a missing or
 * unreadable file, a bad line, a "(" without its group, a sentence that
 * grows past its bound, no memory), the writer stops at the same point with
 * the same message on stderr and the same exit status, and stdout holds
 * only the stop record of json.h, e.g.
 *   {"program":"translator","ok":false,"stopped":"read"}
 * "stopped" is "read", "expansion" or "passes": the phase that stopped
 * ("words" only when memory for the description itself runs out).
 *
 * Bounds: a PART is at most SHOWN escaped bytes (6 each) plus its length;
 * the sentence is at most 39 bytes, so the expansion has at most 78 steps
 * of at most about 2.6 KB; a pass is at most about 3.5 KB and SHOWN
 * rewrittenSrc entries of about 150 bytes (33 KB); the words at most SHOWN
 * entries of about 60 bytes. In all under 4 MB. */
#include <cstddef>
#include <cstdio>

#include "rewrite.h"
#include "rulefile.h"
#include "step.h"
#include "words.h"

#include "json.h"

/* Characters of a sentence or container written out; the rest is counted. */
constexpr int SHOWN = 200;

/* The most rule passes described; the rest run without a description. */
constexpr int MAXPASSES = 100;

/* ============================ Parts ======================================= */

/* Writes the chain of characters that starts at node first and holds
 * `length` characters as a PART: the first SHOWN of them and the length. */
static void PutPart(const LinkNode *first, long long length) {
    char text[SHOWN];
    int shown = 0;
    for (const LinkNode *p = first; p != nullptr && shown < SHOWN && shown < length;
         p = p->next)
        text[shown++] = p->data;
    JsonPut("{\"text\":");
    JsonString(text, static_cast<std::size_t>(shown));
    JsonPut(",\"length\":");
    JsonInt(length);
    JsonPut("}");
}

/* ============================ Expansion =================================== */

/* The expansion as the hook tells it. */
static int expansionSteps;   /* STEP records written so far */
static int bytesRead;        /* bytes of the sentence PreDeal has read */
static int stepOpen;         /* 1 while a take or put record is being written */

/* Opens a STEP record whose src is this site. */
static void OpenStep(const StepSite &site) {
    if (expansionSteps++ > 0) JsonPut(",");
    JsonPut("{\"src\":");
    JsonSrc(site);
    stepOpen = 1;
}

/* Closes the open STEP record: the byte read at position at, the action,
 * theta (for take and put; 0 for push) and both containers as they are now. */
static void CloseStep(int at, const char *action, char theta) {
    JsonPut(",\"at\":");
    JsonInt(at);
    JsonPut(",\"read\":");
    JsonChar(W.ch[at]);
    JsonPut(",\"action\":\"");
    JsonPut(action);
    JsonPut("\"");
    if (theta != 0) {
        JsonPut(",\"theta\":");
        JsonChar(theta);
    }
    JsonPut(",\"stack\":");
    PutPart(L.top->next, L.count);
    JsonPut(",\"queue\":");
    PutPart(Q.front->next, QueueLength(&Q));
    JsonPut("}");
    stepOpen = 0;
}

/* The hook during PreDeal: a push is a record of its own; the first stack
 * or queue operation of a group's half opens its record, and the end of
 * the half (take, put) closes it. A put reads no byte of its own: it
 * belongs to the "(" its take read. */
static void NoteExpansion(StepKind kind, const StepSite &site, char c) {
    if (kind == STEP_LAY) {
        OpenStep(site);
        CloseStep(W.length - 1 - bytesRead++, "push", 0);
    } else if (kind == STEP_TAKE) {
        CloseStep(W.length - 1 - bytesRead++, "take", c);
    } else if (kind == STEP_PUT) {
        CloseStep(W.length - bytesRead, "put", c);
    } else if (!stepOpen) {
        OpenStep(site);
    }
}

/* ============================ Rule passes ================================= */

/* A sentence between passes, as a PART shows it. */
struct Shown {
    char text[SHOWN];        /* its first characters */
    int shown;               /* characters in text */
    long long length;        /* characters in all */
};

static Shown last;           /* the sentence the last pass left (or PreDeal) */
static int passes;           /* passes that ran */
static long long made;       /* characters the running pass has made */
static int rewritten[SHOWN]; /* positions that the running pass's replacements wrote */
static int marked;           /* positions in rewritten[] */
static int passOpen;         /* 1 while the running pass's record is being written */

/* Notes the chain of characters that starts at node first and holds
 * `length` characters as the sentence of the last pass. */
static void Keep(const LinkNode *first, long long length) {
    last.shown = 0;
    for (const LinkNode *p = first; p != nullptr && last.shown < SHOWN && last.shown < length;
         p = p->next)
        last.text[last.shown++] = p->data;
    last.length = length;
}

/* Opens the running pass's record, if not yet open: its rewrittenSrc. */
static void OpenPass() {
    if (passOpen) return;
    if (passes > 0) JsonPut(",");
    JsonPut("{\"rewrittenSrc\":[");
    passOpen = 1;
}

/* The hook during MidDeal: each character a pass appends counts towards
 * its sentence, those of a replacement are marked; the end of a pass
 * writes its record. Passes from MAXPASSES on are only counted. */
static void NotePass(StepKind kind, const StepSite &site, char) {
    if (kind == STEP_KEEP || kind == STEP_REPLACE) {
        if (passes < MAXPASSES && kind == STEP_REPLACE && made < SHOWN) {
            OpenPass();
            if (marked > 0) JsonPut(",");
            JsonSrc(site);
            rewritten[marked++] = static_cast<int>(made);
        }
        made++;
        return;
    }
    if (kind != STEP_PASS) return;
    /* A file that ends right after its count runs pass 0 on an empty
     * sentence before any rule line was read: R was never made, there is
     * no rule to describe, and the pass is only counted. (A pass after the
     * first needs a sentence, and a sentence comes after every rule line.) */
    if (passes < MAXPASSES && R != nullptr) {
        const Rule *r = &R[passes];
        OpenPass();
        JsonPut("],\"rule\":");
        JsonInt(passes);
        JsonPut(",\"symbol\":");
        JsonChar(r->symbol);
        JsonPut(",\"replacement\":");
        JsonString(r->replacement, static_cast<std::size_t>(r->length));
        JsonPut(",\"before\":{\"text\":");
        JsonString(last.text, static_cast<std::size_t>(last.shown));
        JsonPut(",\"length\":");
        JsonInt(last.length);
        JsonPut("},\"after\":");
        PutPart(Q.front->next, made);
        JsonPut(",\"rewritten\":[");
        for (int m = 0; m < marked; m++) {
            if (m > 0) JsonPut(",");
            JsonInt(rewritten[m]);
        }
        JsonPut("],\"src\":");
        JsonSrc(site);
        JsonPut("}");
        Keep(Q.front->next, made);
    }
    passes++;
    made = 0;
    marked = 0;
    passOpen = 0;
}

/* ============================ Words ======================================= */

/* Writes the words of the final sentence in Q, which stays as it is. */
static void PutWords() {
    JsonPut("{\"symbols\":[");
    long long length = 0;                    /* symbols in the sentence */
    long long bytes = 0;                     /* bytes of all their words */
    for (const LinkNode *p = Q.front->next; p != nullptr; p = p->next) {
        Word word = WordFor(p->data);
        if (length < SHOWN) {
            if (length > 0) JsonPut(",");
            JsonPut("{\"symbol\":");
            JsonChar(p->data);
            JsonPut(",\"word\":");
            JsonString(word.gbk, word.size);
            JsonPut("}");
        }
        length++;
        bytes += static_cast<long long>(word.size);
    }
    JsonPut("],\"length\":");
    JsonInt(length);
    JsonPut(",\"bytes\":");
    JsonInt(bytes);
    JsonPut("}");
}

/* ============================ Entry point ================================= */

/* Describes the translation of the rule file argv[1] (see the top of this
 * file). Reads the file as translator's main does (StartFromRuleFile),
 * with the same refusals. Returns 0 after writing the description. */
extern "C" int WriteSteps(int argc, char **argv) {
    JsonBegin("translator", "read");
    StartFromRuleFile(argc, argv);

    JsonPut("{\"program\":\"translator\",\"ok\":true,\"sentence\":");
    JsonString(W.ch, static_cast<std::size_t>(W.length));
    JsonPut(",\"ruleCount\":");
    JsonInt(N);

    JsonPhase("expansion");
    JsonPut(",\"expansion\":[");
    StepHook = NoteExpansion;
    PreDeal();

    JsonPhase("passes");
    JsonPut("],\"passes\":[");
    Keep(L.top->next, L.count);
    StepHook = NotePass;
    MidDeal();
    StepHook = nullptr;
    JsonPut("],\"passCount\":");
    JsonInt(passes);

    JsonPhase("words");
    JsonPut(",\"words\":");
    PutWords();
    JsonPut("}");
    return JsonEnd();
}
