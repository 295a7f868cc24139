/* steps.cpp -- the step writer of evaluator for the browser
 * edition.
 *
 * WriteSteps takes the same argument as evaluator, the expression file,
 * loads it with the program's own Start and runs the program's own Run with
 * the step hook set (evaluator/step.h). Run writes its trace table to a
 * temporary file instead of result.txt (so no file of the run changes); the
 * hook tells which statement did each row's action, and the row's text is
 * read back from that table. It writes one JSON object on stdout (json.h).
 *
 * Layout:
 *   {"program":"evaluator","steps":[ROW,...],"ok":true}
 *   ROW = {"row":1,"src":SRC,"action":"PUSH(OPND,\u00a1\u00ae3\u00a1\u00af)"}
 *   one ROW per row of result.txt's trace table, in order:
 *     row     the row's number, its first column
 *     src     SRC of the statement that did the row's action: the push onto
 *             OPND or OPTR, the pop of the bracket, the push of Calculate's
 *             result, the pop of the value (RETURN), or the line that writes
 *             the syntax error or division by zero text
 *     action  the row's last column as written, without its line end
 *             (bytes, GBK, escaped as json.h tells)
 *   SRC is {"file":"evaluator/driver.cpp","line":161,"func":"Run",
 *           "chain":["Run"]} as json.h's JsonSrc writes it: the file, line
 *   and function of the statement, and the functions on the call stack then,
 *   outermost first.
 * When the run ends inside the table (a syntax error, a division by zero,
 * no memory), the rows so far stand, with their texts, and the object ends
 *   ...],"ok":false,"stopped":"run"}
 * with the program's exit status. A file that evaluator refuses gives the
 * same message on stderr and exit status, and stdout holds
 *   {"program":"evaluator","ok":false,"stopped":"read"}
 *
 * Bounds: the expression holds at most 49 characters, so the table has at
 * most about 100 rows of under 400 bytes each: under 50 KB. */
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver.h"
#include "state.h"
#include "step.h"
#include "texts.h"

#include "json.h"

/* ============================ Rows ======================================== */

/* The rows as the hook tells them. An operate row that ends in a division
 * by zero is told twice, and the second telling (the error line in
 * Calculate) is the statement that did the row, so a row's site is kept
 * until the row is complete. */
static SavedSrc pending;     /* the site of the open row */
static int rows;             /* rows opened so far */
static long rowStart;        /* offset in fp2 of the first row not yet closed */
static int registered;       /* 1 once StoppedInRun is registered with atexit */

/* Closes the open row: writes its number and SRC, then reads its line back
 * from the table in fp2 (up to its line end, or the end of the table) and
 * writes its last column as "action". Leaves fp2 at its end, ready for
 * Run's next write. */
static void CloseRow() {
    char line[1024];         /* the row's line; a row is far shorter */
    std::size_t length = 0;
    std::fflush(fp2);
    std::fseek(fp2, rowStart, SEEK_SET);
    int ch;
    while ((ch = std::getc(fp2)) != EOF && ch != '\n') {
        if (length < sizeof line) line[length++] = static_cast<char>(ch);
        rowStart++;
    }
    if (ch == '\n') rowStart++;
    std::size_t at = length;                 /* the action follows the last tab */
    while (at > 0 && line[at - 1] != '\t') at--;
    if (rows > 1) JsonPut(",");
    JsonPut("{\"row\":");
    JsonInt(rows);
    JsonPut(",\"src\":");
    JsonSaved(pending);
    JsonPut(",\"action\":");
    JsonString(line + at, length - at);
    JsonPut("}");
    std::fseek(fp2, 0, SEEK_END);
}

/* True when the open row's line is complete in the table: its action and
 * line end are written. Leaves fp2 at its end. */
static bool RowWritten() {
    std::fflush(fp2);
    std::fseek(fp2, rowStart, SEEK_SET);
    int ch;
    while ((ch = std::getc(fp2)) != EOF && ch != '\n') {
    }
    std::fseek(fp2, 0, SEEK_END);
    return ch == '\n';
}

/* The step hook: a row's action is being done, so the row before it is
 * complete in the table now. A row told again before its line is complete
 * (a division by zero inside an operate row) keeps the later site. */
static void NoteRow(StepKind, const StepSite &site) {
    if (rows == 0 || RowWritten()) {
        if (rows > 0) CloseRow();
        rows++;
    }
    JsonSave(site, &pending);
}

/* Ends the description when Run ends the program (registered with atexit
 * after json.h's handler, so it runs before it). */
static void StoppedInRun() {
    if (fp2 == nullptr || json.done) return;
    StepHook = nullptr;
    if (rows > 0) CloseRow();
    JsonPut("],\"ok\":false,\"stopped\":\"run\"}");
    JsonEnd();
}

/* ============================ Entry point ================================= */

/* Refuses the run as evaluator does: the message (format with name for its
 * %s) and a line end on stderr, the stop record on stdout. Returns the exit
 * status, 1. */
static int Refused(const char *format, const char *name) {
    std::fprintf(stderr, format, name);
    std::fputc('\n', stderr);
    JsonPut("{\"program\":\"evaluator\",\"ok\":false,\"stopped\":\"read\"}");
    JsonEnd();
    return EXIT_FAILURE;
}

/* Describes the evaluation of the expression file argv[1] (see the top of
 * this file). Returns 0, or 1 when the file is refused; the run may also
 * end inside Run with its own status. */
extern "C" int WriteSteps(int argc, char **argv) {
    JsonBegin("evaluator", "read");
    if (!registered) std::atexit(StoppedInRun);
    registered = 1;
    if (argc < 2) return Refused(TEXT_USAGE, "evaluator");
    fp1 = std::fopen(argv[1], "r");
    if (fp1 == nullptr) return Refused(TEXT_CANNOT_READ, argv[1]);
    const char *refusal = Start();
    std::fclose(fp1);
    fp1 = nullptr;
    if (refusal != nullptr) return Refused(refusal, argv[1]);

    JsonPhase("run");
    fp2 = std::tmpfile();
    if (fp2 == nullptr) return Refused(TEXT_CANNOT_OPEN_RESULT, "result.txt");
    rows = 0;
    rowStart = static_cast<long>(sizeof TEXT_HEADER - 1);
    JsonPut("{\"program\":\"evaluator\",\"steps\":[");
    StepHook = NoteRow;
    Run();
    StepHook = nullptr;
    if (rows > 0) CloseRow();
    JsonPut("],\"ok\":true}");
    std::fclose(fp2);
    fp2 = nullptr;
    return JsonEnd();
}
