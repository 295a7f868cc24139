/* rulefile.cpp -- reading the rule file into the rule table and the
 * sentence, refusing the lines that the translator cannot use. */
#include "rulefile.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "messages.h"
#include "rewrite.h"

const char *RulePath = "";
char buf[1024];
Rule *R;
std::size_t Rsize;
int N;
SqString W;

static std::size_t Rused;  /* records of R filled so far */

/* Records the rule table has room for after its first growth. */
constexpr std::size_t FIRST_TABLE_SIZE = 8;

/* The UTF-8 byte order mark that some editors write at the start of a file. */
static const unsigned char BYTE_ORDER_MARK[] = {0xEF, 0xBB, 0xBF};

/* ============================ Count ======================================= */

/* Reads line 0 of fp, whatever its length, and sets N to its value as atoi
 * would give it for the whole line: white space skipped, an optional sign,
 * the digits up to the first other byte, 0 when there are none; a value
 * beyond the int range is clamped to it. A UTF-8 byte order mark at the
 * start of the file is skipped first. Refuses the run (exit REFUSED) for a
 * file that starts with a UTF-16 byte order mark, FF FE or FE FF, and for a
 * zero byte in the line: in UTF-16 every ASCII character carries one, and
 * without the check such a file would translate to nothing, as if it were
 * fine. Returns false, leaving N unchanged, when no byte can be read at
 * all; a read that fails later shows in ferror(fp). */
static bool ReadCount(std::FILE *fp) {
    int c = std::getc(fp);
    if (c == EOF) return false;
    if (c == 0xFF || c == 0xFE) {
        int second = std::getc(fp);
        if ((c == 0xFF && second == 0xFE) || (c == 0xFE && second == 0xFF)) {
            RefuseRuleFile(RulePath, TEXT_UTF16);
        }
        std::ungetc(second, fp);  /* no mark: c is an ordinary first byte */
    }
    std::size_t marked = 0;  /* bytes of the UTF-8 byte order mark found so far */
    while (marked < sizeof BYTE_ORDER_MARK && c == BYTE_ORDER_MARK[marked]) {
        c = std::getc(fp);
        marked++;
    }
    bool negative = false;
    long long value = 0;  /* stops growing once past the int range, so it cannot overflow */
    /* Part of a mark is no mark: its bytes are neither white space, sign nor
     * digit, so the count is 0. */
    if (marked == 0 || marked == sizeof BYTE_ORDER_MARK) {
        while (c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r') c = std::getc(fp);
        if (c == '+' || c == '-') {
            negative = (c == '-');
            c = std::getc(fp);
        }
        for (; c >= '0' && c <= '9'; c = std::getc(fp)) {
            if (value <= INT_MAX) value = value * 10 + (c - '0');
        }
    }
    bool zero = false;  /* the line holds a zero byte */
    for (; c != EOF && c != '\n'; c = std::getc(fp)) {  /* the rest of the line */
        if (c == '\0') zero = true;
    }
    if (zero) RefuseAtLine(RulePath, 1, TEXT_NUL_LINE);
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    N = static_cast<int>(value);
    return true;
}

/* ============================ Lines ======================================= */

/* One line as ReadLine leaves it in buf. */
struct Line {
    std::size_t length;  /* bytes before the terminator; may exceed what buf keeps */
    bool ended;          /* true when "\n" or "\r\n" ended it, false at the end of the file */
    bool zero;           /* true when the line holds a zero byte, which no text line does */
};

/* Reads the next line of fp into buf (its first 1023 bytes, zero-terminated,
 * without its terminator) and describes it in *line. Reading byte by byte
 * keeps zero bytes visible and lines of any length countable. Returns false
 * when no byte is left or reading fails; buf and *line are then
 * meaningless. */
static bool ReadLine(std::FILE *fp, Line *line) {
    const std::size_t keep = sizeof buf - 1;
    std::size_t length = 0;
    bool lastWasReturn = false;
    bool zero = false;
    int c;
    while ((c = std::getc(fp)) != EOF && c != '\n') {
        if (length < keep) buf[length] = static_cast<char>(c);
        length++;
        lastWasReturn = (c == '\r');
        if (c == '\0') zero = true;
    }
    if (std::ferror(fp) || (c == EOF && length == 0)) return false;
    line->ended = (c == '\n');
    line->zero = zero;
    if (line->ended && lastWasReturn) length--;  /* "\r\n": the "\r" is terminator */
    buf[length < keep ? length : keep] = '\0';
    line->length = length;
    return true;
}

/* ============================ Rules and sentence ========================== */

/* Makes a record of R from the rule line in buf, line `number` of the file
 * (counted from 0). The table doubles when it is full, so a huge count costs
 * nothing until its rule lines are really there. */
static void AddRule(long long number, const Line *line) {
    if (line->length < MINRULELINE) RefuseAtLine(RulePath, number + 1, TEXT_SHORT_RULE_LINE);
    if (line->length > REPLACEMENT_COLUMN + MAXREPLACE) {
        RefuseAtLine(RulePath, number + 1, TEXT_LONG_REPLACEMENT_LINE);
    }
    if (Rused == Rsize) {
        std::size_t room = (Rsize == 0) ? FIRST_TABLE_SIZE : Rsize * 2;
        void *grown = (room <= SIZE_MAX / sizeof(Rule)) ? std::realloc(R, room * sizeof(Rule)) : nullptr;
        if (grown == nullptr) StopAtLine(RulePath, number + 1, TEXT_NO_MEMORY_LINE);
        R = static_cast<Rule *>(grown);
        Rsize = room;
    }
    Rule *r = &R[Rused++];
    r->symbol = buf[0];
    r->length = (line->length > REPLACEMENT_COLUMN)
                    ? static_cast<int>(line->length - REPLACEMENT_COLUMN) : 0;
    std::memcpy(r->replacement, buf + REPLACEMENT_COLUMN, r->length);
    r->replacement[r->length] = '\0';
}

/* Copies the sentence line in buf, line `number` of the file (counted from
 * 0), into W. Its terminator counts as one byte towards MAXSENTENCE, "\r\n"
 * as well as "\n", as the line would count on a system whose text files end
 * lines with "\n". */
static void TakeSentence(long long number, const Line *line) {
    std::size_t bytes = line->length + (line->ended ? 1 : 0);
    if (bytes > MAXSENTENCE) RefuseAtLine(RulePath, number + 1, TEXT_LONG_SENTENCE_LINE);
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
    if (!ReadCount(fp)) return !std::ferror(fp);
    /* Lines 1 to N are rules, line N+1 the sentence; a count below 0 leaves
     * no line to read. */
    for (long long i = 1; i <= static_cast<long long>(N) + 1 && ReadLine(fp, &line); i++) {
        if (line.zero) RefuseAtLine(RulePath, i + 1, TEXT_NUL_LINE);
        if (i <= N) {
            AddRule(i, &line);
        } else {
            TakeSentence(i, &line);
        }
    }
    return !std::ferror(fp);
}

/* ============================ Starting ==================================== */

void StartFromRuleFile(int argc, char *argv[]) {
    if (argc < 2) Refuse(TEXT_USAGE);
    RulePath = argv[1];
    std::FILE *fp = std::fopen(RulePath, "r");
    if (fp == nullptr) RefuseFile(RulePath);
    Start();
    bool readable = ReadRuleFile(fp);
    std::fclose(fp);
    if (!readable) RefuseFile(RulePath);
}
