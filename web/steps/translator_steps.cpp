/* translator_steps.cpp -- the step writer of translator for the browser
 * edition.
 *
 * WriteSteps takes the same argument as translator, the rule file, reads it
 * with the translator's own ReadRuleFile, and runs the translator's own
 * steps one by one: each byte laid on the stack L (PushChecked), each
 * bracket group in its two halves (TakeGroup, PutGroup), each rule pass
 * (RulePass). After each step it notes the containers, and at the end each
 * symbol's word (WordFor). It writes all of it as one JSON object on stdout
 * (strings as told in json.h); it writes no translate.txt.
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
 * Each "(" gives a take and a put step, every other byte a push step.
 *
 * PASS, one rule pass (pass i applies rule i, the file's line i+2):
 *   {"rule":0,"symbol":"X","replacement":"tYd",
 *    "before":PART,"after":PART,"rewritten":[0,1,2]}
 *   before     the sentence before the pass (pass 0 takes it from the stack)
 *   after      the sentence the pass left in the queue
 *   rewritten  the positions in after.text (counted from 0) that the
 *              replacement of a symbol wrote, in increasing order
 * Only the first MAXPASSES passes are described; passCount says how many
 * ran. The passes stop early, as the translator's do, once the sentence is
 * empty; with N below 1 none runs.
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
 * the sentence is at most 39 bytes, so the expansion has at most 78 steps;
 * a pass is at most about 3.5 KB; the words at most SHOWN entries of about
 * 60 bytes. In all under 1 MB. */
#include <cstddef>
#include <cstdio>

#include "messages.h"
#include "rewrite.h"
#include "rulefile.h"
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

/* Writes one STEP: the byte read at position at, the action, theta (for
 * take and put; 0 for push) and both containers as they are now. */
static void PutStep(int at, const char *action, char theta) {
    static int steps;                        /* steps written so far */
    if (steps++ > 0) JsonPut(",");
    JsonPut("{\"at\":");
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
}

/* The expansion as PreDeal makes it, step by step, with a STEP after each. */
static void ExpandSteps() {
    for (int k = W.length - 1; k >= 0; k--) {
        char c = W.ch[k];
        if (c != '(') {
            PushChecked(c);
            PutStep(k, "push", 0);
            continue;
        }
        char theta;
        TakeGroup(&theta);
        PutStep(k, "take", theta);
        PutGroup(theta);
        PutStep(k, "put", theta);
    }
}

/* ============================ Rule passes ================================= */

/* Runs rule pass i (RulePass) on the sentence of `length` characters, which
 * starts at node first (on L for pass 0, in Q after it), and returns the new
 * sentence's length. Passes below MAXPASSES are written as a PASS; marking
 * the rewritten positions needs the sentence before the pass, so they are
 * found first: a character equal to the rule's symbol gives the
 * replacement's characters, any other character one character. */
static std::size_t PassStep(int i, const LinkNode *first, std::size_t length) {
    if (i >= MAXPASSES) return RulePass(i, length);
    const Rule *r = &R[i];
    if (i > 0) JsonPut(",");
    JsonPut("{\"rule\":");
    JsonInt(i);
    JsonPut(",\"symbol\":");
    JsonChar(r->symbol);
    JsonPut(",\"replacement\":");
    JsonString(r->replacement, static_cast<std::size_t>(r->length));
    JsonPut(",\"before\":");
    PutPart(first, static_cast<long long>(length));

    static int rewritten[SHOWN];             /* positions that a replacement wrote */
    int marked = 0;                          /* positions in rewritten[] */
    long long at = 0;                        /* position in the new sentence */
    std::size_t k = 0;                       /* characters of the old one taken */
    for (const LinkNode *p = first; p != nullptr && k < length && at < SHOWN; p = p->next, k++) {
        if (p->data != r->symbol) {
            at++;
            continue;
        }
        for (int j = 0; j < r->length && at < SHOWN; j++) rewritten[marked++] = static_cast<int>(at++);
    }

    std::size_t made = RulePass(i, length);
    JsonPut(",\"after\":");
    PutPart(Q.front->next, static_cast<long long>(made));
    JsonPut(",\"rewritten\":[");
    for (int m = 0; m < marked; m++) {
        if (m > 0) JsonPut(",");
        JsonInt(rewritten[m]);
    }
    JsonPut("]}");
    return made;
}

/* The passes as MidDeal makes them, each through PassStep. Returns the
 * number of passes that ran. */
static int PassSteps() {
    if (N < 1) return 0;
    std::size_t length = PassStep(0, L.top->next, static_cast<std::size_t>(L.count));
    int i = 1;
    /* An empty sentence needs no more passes, as in MidDeal. */
    for (; i < N && length > 0; i++) length = PassStep(i, Q.front->next, length);
    return i;
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
    ExpandSteps();

    JsonPhase("passes");
    JsonPut("],\"passes\":[");
    int passes = PassSteps();
    JsonPut("],\"passCount\":");
    JsonInt(passes);

    JsonPhase("words");
    JsonPut(",\"words\":");
    PutWords();
    JsonPut("}");
    return JsonEnd();
}
