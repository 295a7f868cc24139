/* rulefile.cpp -- reading the rule file into the rule table and the
 * sentence, refusing the lines that the translator cannot use. */
#include "rulefile.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "messages.h"

char buf[1024];
Rule *R;
std::size_t Rsize;
int N;
SqString W;

static std::size_t Rused;  /* records of R filled so far */

/* ============================ Lines ======================================= */

/* One line as ReadLine leaves it in buf. */
struct Line {
    std::size_t length;  /* bytes before the terminator; may exceed what buf keeps */
    bool ended;          /* true when "\n" or "\r\n" ended it, false at the end of the file */
};

/* Reads the next line of fp into buf (its first 1023 bytes, zero-terminated,
 * without its terminator) and describes it in *line. Reading byte by byte
 * keeps zero bytes and lines of any length countable. Returns false when no
 * byte is left or reading fails; buf and *line are then meaningless. */
static bool ReadLine(std::FILE *fp, Line *line) {
    const std::size_t keep = sizeof buf - 1;
    std::size_t length = 0;
    bool lastWasReturn = false;
    int c;
    while ((c = std::getc(fp)) != EOF && c != '\n') {
        if (length < keep) buf[length] = static_cast<char>(c);
        length++;
        lastWasReturn = (c == '\r');
    }
    if (std::ferror(fp) || (c == EOF && length == 0)) return false;
    line->ended = (c == '\n');
    if (line->ended && lastWasReturn) length--;  /* "\r\n": the "\r" is terminator */
    buf[length < keep ? length : keep] = '\0';
    line->length = length;
    return true;
}

/* ============================ Count ======================================= */

int ParseCount(const char *s) {
    while (*s == ' ' || (*s >= '\t' && *s <= '\r')) s++;
    bool negative = false;
    if (*s == '+' || *s == '-') {
        negative = (*s == '-');
        s++;
    }
    long long value = 0;  /* stops growing once past the int range, so it cannot overflow */
    for (; *s >= '0' && *s <= '9'; s++) {
        if (value <= INT_MAX) value = value * 10 + (*s - '0');
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

/* ============================ Rules and sentence ========================== */

/* Makes a record of R from the rule line in buf, line `number` of the file
 * (counted from 0). The table doubles when it is full, so a huge count costs
 * nothing until its rule lines are really there. */
static void AddRule(long long number, const Line *line) {
    if (line->length < 3) RefuseAtLine(number + 1, TEXT_SHORT_RULE);
    if (line->length > 4 + MAXREPLACE) RefuseAtLine(number + 1, TEXT_LONG_REPLACEMENT);
    if (Rused == Rsize) {
        std::size_t room = (Rsize == 0) ? 8 : Rsize * 2;
        void *grown = (room <= SIZE_MAX / sizeof(Rule)) ? std::realloc(R, room * sizeof(Rule)) : nullptr;
        if (grown == nullptr) StopOutOfMemory(TEXT_NO_MEMORY_FOR_RULES);
        R = static_cast<Rule *>(grown);
        Rsize = room;
    }
    Rule *r = &R[Rused++];
    r->symbol = buf[0];
    r->length = (line->length > 4) ? static_cast<int>(line->length - 4) : 0;
    std::memcpy(r->replacement, buf + 4, r->length);
    r->replacement[r->length] = '\0';
}

/* Copies the sentence line in buf into W. Its terminator counts as one byte
 * towards MAXSENTENCE, "\r\n" as well as "\n", as the line would count on a
 * system whose text files end lines with "\n". */
static void TakeSentence(const Line *line) {
    std::size_t bytes = line->length + (line->ended ? 1 : 0);
    if (bytes > MAXSENTENCE) Refuse(TEXT_LONG_SENTENCE);
    std::memcpy(W.ch, buf, line->length);
    W.ch[line->length] = '\0';
    W.length = static_cast<int>(line->length);
}

bool ReadRuleFile(std::FILE *fp) {
    Line line;
    N = 0;
    Rused = 0;
    W.ch[0] = '\0';
    W.length = 0;
    for (long long i = 0; ReadLine(fp, &line); i++) {
        if (i == 0) {
            N = ParseCount(buf);
        } else if (i <= N) {
            AddRule(i, &line);
        } else {
            TakeSentence(&line);  /* i == N + 1 */
        }
        /* Stop after the sentence line; a count below 0 has no sentence line. */
        if (i >= static_cast<long long>(N) + 1) break;
    }
    return !std::ferror(fp);
}
