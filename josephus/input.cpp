/* input.cpp -- reading and converting the parameters.
 *
 * Every number is checked before anything is built or written, so a refused
 * run leaves "out.txt" exactly as it was. */
#include "input.h"

#include <cctype>
#include <climits>
#include <cstdarg>

#include "messages.h"
#include "status.h"

/* =========================== Number conversion ============================ */

/* Magnitudes of the int range's ends; a '-' sign allows one more. */
static constexpr uint64_t INT_MAGNITUDE = static_cast<uint64_t>(INT_MAX);
static constexpr uint64_t NEGATIVE_MAGNITUDE = INT_MAGNITUDE + 1;

/* Start a new conversion: no character seen, value 0. */
void ScanStart(NumberScan *scan) {
    scan->stage = SCAN_BLANKS;
    scan->negative = 0;
    scan->magnitude = 0;
}

/* Feed the next character c of the text to the conversion: leading white
 * space is skipped, then an optional sign is taken, then decimal digits up
 * to the first other character, which ends the number; what follows it is
 * ignored. */
void ScanChar(NumberScan *scan, char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (scan->stage == SCAN_ENDED) return;
    if (scan->stage == SCAN_BLANKS) {
        if (isspace(u)) return;
        scan->stage = SCAN_DIGITS;   /* the blanks are over, whatever c is */
        if (c == '+' || c == '-') {
            scan->negative = c == '-';
            return;
        }
    }
    if (!isdigit(u)) {
        scan->stage = SCAN_ENDED;
        return;
    }
    /* Once past the largest magnitude the number is refused anyway, so the
     * magnitude stops growing there; that keeps the arithmetic far from
     * wrapping, however many digits follow. */
    if (scan->magnitude <= NEGATIVE_MAGNITUDE)
        scan->magnitude = scan->magnitude * 10 + static_cast<uint64_t>(c - '0');
}

/* Store the number converted so far in *value (0 when no digit was seen).
 * Returns ERROR, leaving *value unchanged, when the number lies outside the
 * int range; otherwise OK. */
int ScanValue(const NumberScan *scan, int *value) {
    uint64_t limit = scan->negative ? NEGATIVE_MAGNITUDE : INT_MAGNITUDE;
    if (scan->magnitude > limit) return ERROR;
    int64_t signed_value = static_cast<int64_t>(scan->magnitude);
    *value = static_cast<int>(scan->negative ? -signed_value : signed_value);
    return OK;
}

/* Convert the string text as atoi does and store the result in *value.
 * Returns ERROR, leaving *value unchanged, when the number lies outside the
 * int range; otherwise OK. */
int ToInt(const char *text, int *value) {
    NumberScan scan;
    ScanStart(&scan);
    for (const char *p = text; *p != '\0' && scan.stage != SCAN_ENDED; p++)
        ScanChar(&scan, *p);
    return ScanValue(&scan, value);
}

/* Read the next token (characters between white space) from in, whole,
 * however long it is, and convert it as ToInt does. When the input ends
 * before a token, the value is 0. Returns ERROR, leaving *value unchanged,
 * when the number lies outside the int range; otherwise OK. */
int ReadNumber(FILE *in, int *value) {
    int c = getc(in);
    while (c != EOF && isspace(c)) c = getc(in);

    NumberScan scan;
    ScanStart(&scan);
    while (c != EOF && !isspace(c)) {
        ScanChar(&scan, static_cast<char>(c));
        c = getc(in);
    }
    return ScanValue(&scan, value);
}

/* ========================== Parameter sources ============================= */

/* Both sources give the numbers in one order, counted from 1: n, then m,
 * then the step values of persons 1 to n. In argument mode a number's
 * position is also its index in argv. */
static constexpr int PEOPLE_AT = 1;        /* n */
static constexpr int FIRST_COUNT_AT = 2;   /* m; person k's step value is k places on */

/* Print a refusal on stderr: format filled with the values that follow, as
 * fprintf does. Returns ERROR. */
static int Refuse(const char *format, ...) {
    va_list values;
    va_start(values, format);
    vfprintf(stderr, format, values);
    va_end(values);
    return ERROR;
}

/* Refuse the number at position (see PEOPLE_AT) for lying outside the int
 * range: place (TEXT_ARGUMENT_AT or TEXT_INPUT_VALUE_AT) names where it
 * stands, then comes which parameter it is and the range expected. Returns
 * ERROR. */
static int RefuseOutOfRange(const char *place, int position) {
    fprintf(stderr, place, position);
    if (position == PEOPLE_AT)
        fputs(TEXT_PEOPLE_ROLE, stderr);
    else if (position == FIRST_COUNT_AT)
        fputs(TEXT_FIRST_COUNT_ROLE, stderr);
    else
        fprintf(stderr, TEXT_STEP_ROLE, position - FIRST_COUNT_AT);
    return Refuse(TEXT_OUT_OF_INT_RANGE);
}

/* Keyboard mode: read n, m and n step values, in this order, one token
 * each, from in (RunJosephus has asked for them). Tokens after the step
 * values are never read; values missing at the end of the input are 0.
 * Returns ERROR after a message on stderr when a number lies outside the
 * int range or n outside 1 to MAX_PEOPLE (an input that ends before n gives
 * n = 0); otherwise OK. */
static int ReadKeyboard(FILE *in, int &n, int &m, int steps[]) {
    if (ReadNumber(in, &n) != OK) return RefuseOutOfRange(TEXT_INPUT_VALUE_AT, PEOPLE_AT);
    if (n < 1 || n > MAX_PEOPLE) return Refuse(TEXT_BAD_PEOPLE_COUNT, n, MAX_PEOPLE);
    if (ReadNumber(in, &m) != OK)
        return RefuseOutOfRange(TEXT_INPUT_VALUE_AT, FIRST_COUNT_AT);
    for (int k = 1; k <= n; k++)
        if (ReadNumber(in, &steps[k - 1]) != OK)
            return RefuseOutOfRange(TEXT_INPUT_VALUE_AT, FIRST_COUNT_AT + k);
    return OK;
}

/* Returns TRUE when text holds a decimal digit anywhere, otherwise FALSE. */
static int HasDigit(const char *text) {
    for (const char *p = text; *p != '\0'; p++)
        if (isdigit(static_cast<unsigned char>(*p))) return TRUE;
    return FALSE;
}

/* Argument mode: n is argv[1], m is argv[2] and the step value of person k
 * is argv[k+2]; further arguments are ignored and not converted. A first
 * argument without any digit (--help, /?) asks how to use the program, so
 * it gets the usage line rather than the refusal of n = 0. Returns ERROR
 * after a message on stderr for that, when a converted number lies outside
 * the int range, n outside 1 to MAX_PEOPLE, or fewer than n+2 arguments are
 * given; otherwise OK. */
static int ReadArguments(int argc, char **argv, int &n, int &m, int steps[]) {
    int given = argc - 1;         /* arguments after the program's name */
    if (!HasDigit(argv[PEOPLE_AT])) return Refuse(TEXT_USAGE);
    if (ToInt(argv[PEOPLE_AT], &n) != OK) return RefuseOutOfRange(TEXT_ARGUMENT_AT, PEOPLE_AT);
    if (n < 1 || n > MAX_PEOPLE) return Refuse(TEXT_BAD_PEOPLE_COUNT, n, MAX_PEOPLE);
    if (given < FIRST_COUNT_AT + n) {
        Refuse(TEXT_TOO_FEW_ARGUMENTS, n, FIRST_COUNT_AT + n, given);
        return Refuse(TEXT_USAGE);
    }
    if (ToInt(argv[FIRST_COUNT_AT], &m) != OK)
        return RefuseOutOfRange(TEXT_ARGUMENT_AT, FIRST_COUNT_AT);
    for (int k = 1; k <= n; k++)
        if (ToInt(argv[FIRST_COUNT_AT + k], &steps[k - 1]) != OK)
            return RefuseOutOfRange(TEXT_ARGUMENT_AT, FIRST_COUNT_AT + k);
    return OK;
}

/* Fill n, m and steps[0..n-1] (steps holds MAX_PEOPLE ints): from the
 * command line when there are arguments, otherwise from in. Prints no
 * prompt: the console program prints it, the browser edition's step
 * writer, which reads the same input, does not. Returns ERROR after a
 * one-line message on stderr when the parameters are refused; otherwise
 * OK. */
int ReadParameters(int argc, char **argv, FILE *in, int &n, int &m, int steps[]) {
    if (argc <= 1) return ReadKeyboard(in, n, m, steps);
    return ReadArguments(argc, argv, n, m, steps);
}
