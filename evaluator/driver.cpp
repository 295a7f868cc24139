/* driver.cpp -- the evaluation driver and its step-trace table.
 *
 * Start pushes the end mark '#' onto OPTR and loads the expression (the last
 * line of fp1) into Express, followed by another '#'. Run writes the header
 * and one row per step of the operator-precedence method to fp2: the step
 * number, both stacks bottom first, the unconsumed input right-aligned in 16
 * bytes, and the action the step takes. Each step takes exactly one action;
 * the row shows the state before it. */
#include "driver.h"

#include <cstdlib>

#include "scanner.h"
#include "state.h"
#include "status.h"
#include "step.h"
#include "texts.h"

/* ============================ Global state ================================ */

FILE *fp1 = nullptr;
FILE *fp2 = nullptr;
SqStack OPTR;
TqStack OPND;
char Express[EXPRESS_MAX + 2];
int n = 0;
int Value = 0;
char C = '$';

/* ============================ Loading ===================================== */

/* The UTF-8 byte order mark, which some editors (Notepad among them) write at
 * the start of a file saved as UTF-8. */
constexpr int BOM_LENGTH = 3;
static const unsigned char UTF8_BOM[BOM_LENGTH] = {0xEF, 0xBB, 0xBF};

/* Create both stacks, push the end mark '#' and load the last line of fp1
 * into Express, followed by '#'. The line's terminator ("\n" or "\r\n") is
 * not part of it, nor is a UTF-8 byte order mark at the very start of the
 * file; an empty file gives an empty expression. Returns nullptr on success,
 * else the refusal format that names the file: unreadable, UTF-16 (its byte
 * order mark at the very start), a last line longer than EXPRESS_MAX
 * characters, or a NUL byte in it. Ends the program with exit status
 * OVERFLOW when memory runs out. */
const char *Start() {
    InitSqStack(&OPTR);
    InitTqStack(&OPND);
    if (!PushSq(&OPTR, '#')) exit(OVERFLOW);

    /* The start of the file. FF FE and FE FF mark UTF-16, whose every ASCII
     * character carries a zero byte: such a file is refused for what it is.
     * FF or FE followed by anything else is an ordinary first character. The
     * bytes that match the start of a UTF-8 byte order mark are kept as the
     * first characters of the first line; once all of it has matched they
     * are dropped. The byte that ends the start is put back and read anew. */
    int len = 0;
    int ch = getc(fp1);
    if (ch == 0xFF || ch == 0xFE) {
        int second = getc(fp1);
        if ((ch == 0xFF && second == 0xFE) || (ch == 0xFE && second == 0xFF)) return TEXT_UTF16;
        Express[len++] = static_cast<char>(ch);
        ch = second;
    } else {
        while (len < BOM_LENGTH && ch == UTF8_BOM[len]) {
            Express[len++] = static_cast<char>(ch);
            ch = getc(fp1);
        }
        if (len == BOM_LENGTH) len = 0;
    }
    ungetc(ch, fp1);  /* nothing to put back at the end of the file */

    /* Express holds the line being read; a line starts anew with the first
     * character after a '\n', so at the end of the file it holds the last
     * line. len counts up to EXPRESS_MAX + 2, which already means too long;
     * characters beyond the buffer are counted, not stored. */
    constexpr int capacity = EXPRESS_MAX + 1;  /* 49 characters and a '\r' */
    bool nul = false;        /* the line holds a NUL byte */
    bool ended = false;      /* the last character read was '\n' */
    while ((ch = getc(fp1)) != EOF) {
        if (ended) {
            len = 0;
            nul = false;
            ended = false;
        }
        if (ch == '\n') {
            ended = true;
            if (len > 0 && len <= capacity && Express[len - 1] == '\r') len--;
            continue;
        }
        if (ch == '\0') nul = true;
        if (len < capacity) Express[len] = static_cast<char>(ch);
        if (len <= capacity) len++;
    }
    if (ferror(fp1)) return TEXT_CANNOT_READ;
    if (len > EXPRESS_MAX) return TEXT_TOO_LONG;
    if (nul) return TEXT_NUL_BYTE;
    n = len;
    Express[n] = '#';
    Express[n + 1] = '\0';
    return nullptr;
}

/* ============================ Trace rows ================================== */

/* Write the first three columns of a row: the step number and a tab, then
 * OPTR and OPND bottom first, each closed by a tab. Returns OK. */
int ShowUp(int step) {
    fprintf(fp2, "%d\t", step);
    PrintSq(&OPTR);
    PrintTq(&OPND);
    return OK;
}

/* Width of the input column: the unconsumed input is filled on the left with
 * spaces up to this many bytes; a longer rest is written whole. */
constexpr int INPUT_WIDTH = 16;

/* Write the input column: the unconsumed rest of Express right-aligned in
 * INPUT_WIDTH bytes (a longer rest whole), then a tab. With flag 1 (the row
 * after an operate step) first write C back into the position just before
 * the rest, the one Read consumed it from, so the next Read scans it again. */
void PrintString(int flag) {
    int i = 0;
    while (Express[i] == '$') i++;
    if (flag == 1) {
        /* An operate step follows the read of an operator, which consumed a
         * position before i, so i is at least 1 here. */
        i--;
        Express[i] = C;
    }
    fprintf(fp2, "%*s\t", INPUT_WIDTH, Express + i);
}

/* Write the syntax error text as the row's operation column and end the
 * program with exit status -1. */
[[noreturn]] static void SyntaxError() {                        STEP_CALL;
    WRITE_TEXT(fp2, TEXT_SYNTAX_ERROR);                         STEP(STEP_SYNTAX_ERROR, 0, 0, 0, 0, 0);
    exit(-1);
}

/* ============================ Step loop =================================== */

/* Run the operator-precedence method on Express, writing the header, one
 * row per step and the value to fp2. Ends the program with exit status -1
 * on a syntax error (an error cell of the relation, a character outside the
 * alphabet, an operator short of operands, or not exactly one operand left at
 * the end) and on division by zero, whose texts close the row they arise in,
 * and with OVERFLOW, writing nothing more, when a push finds no memory. */
void Run() {                                                    STEP_CALL;
    WRITE_TEXT(fp2, TEXT_HEADER);
    int step = 1;
    ShowUp(step);
    PrintString(0);
    int kind = Read();
    char top = '#';
    GetSqTop(&OPTR, &top);
    while (!(C == '#' && top == '#')) {
        int flag = 0;
        if (kind == 1) {
            if (!PushTq(&OPND, Value)) { exit(OVERFLOW); }      STEP(STEP_PUSH_OPND, 0, 0, 0, Value, 0);
            fprintf(fp2, "%s%d%s", TEXT_PUSH_OPND, Value, TEXT_CLOSE);
        } else {
            int r = PriorityCom(top, C);
            if (r < 0) {
                if (!PushSq(&OPTR, C)) { exit(OVERFLOW); }      STEP(STEP_PUSH_OPTR, top, '<', C, 0, 0);
                fprintf(fp2, "%s%c%s", TEXT_PUSH_OPTR, C, TEXT_CLOSE);
            } else if (r == 0) {
                char dropped;
                PopSq(&OPTR, &dropped);                         STEP(STEP_CANCEL, top, '=', dropped, 0, 0);
                WRITE_TEXT(fp2, TEXT_CANCEL);
            } else {
                char theta = '#';
                int a = 0, b = 0;
                PopSq(&OPTR, &theta);
                if (!PopTq(&OPND, &b) || !PopTq(&OPND, &a)) SyntaxError();
                if (!PushTq(&OPND, Calculate(a, theta, b))) { exit(OVERFLOW); }  STEP(STEP_OPERATE, top, '>', theta, a, b);
                fprintf(fp2, "%s%d%s%c%s%d%s", TEXT_OPERATE, a, TEXT_BETWEEN, theta,
                        TEXT_BETWEEN, b, TEXT_CLOSE);
                flag = 1;
            }
        }
        step++;
        ShowUp(step);
        PrintString(flag);
        kind = Read();
        GetSqTop(&OPTR, &top);
    }
    if (OPND.count != 1) SyntaxError();
    WRITE_TEXT(fp2, TEXT_RETURN);
    int value = 0;
    PopTq(&OPND, &value);                                       STEP(STEP_RETURN, top, 0, 0, value, 0);
    WRITE_TEXT(fp2, TEXT_RESULT);
    fprintf(fp2, "%d", value);
}
