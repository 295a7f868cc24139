/* json.h -- the JSON text of a step writer, built in memory and written to
 * stdout in one piece at the end.
 *
 * A step writer runs the program's own core functions, and some of them end
 * the run with exit() when they refuse the input (the translator's rule
 * file, a bracket without its partner) or find no memory. Text written
 * straight to stdout would then stop in the middle of a value. So the text
 * is kept here until the description is complete (JsonEnd); if the run ends
 * before that, a handler registered with atexit writes, instead of it, the
 * one-line stop record
 *     {"program":"<program>","ok":false,"stopped":"<phase>","steps":[]}
 * where <phase> names the phase that was running (JsonPhase). The exit
 * status and the message on stderr are the core's own, as in a console run.
 *
 * Strings: every byte of a string stands for one character of the JSON
 * string, and bytes from 0x80 up, control bytes (below 0x20, and 0x7f) are
 * written as \u00XX escapes, '"' and '\' as \" and \\. So a page that
 * parses the JSON gets one string character per byte, with the byte's value
 * as its code, and decodes GBK text from those bytes itself.
 *
 * Each writer includes this header once; the functions are static inline
 * so that a writer that needs only some of them compiles without warnings. */
#ifndef WEB_STEPS_JSON_H
#define WEB_STEPS_JSON_H

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

/* The text being built and what the stop record needs. */
struct JsonText {
    char *bytes;          /* the text so far, not zero-terminated; null while empty */
    std::size_t length;   /* bytes of text at bytes */
    std::size_t size;     /* bytes allocated at bytes */
    const char *program;  /* the program's name, for the stop record */
    const char *phase;    /* the phase running now, for the stop record */
    int done;             /* 1 once the text has been written to stdout */
    int registered;       /* 1 once JsonAtExit is registered with atexit */
    int inSteps;          /* 1 while the step list is open (JsonStepsBegin) */
    int stepOpen;         /* 1 while a step is being written (JsonStep) */
    std::size_t stepStart;  /* length of the text before the open step */
    long steps;           /* steps written so far */
    std::size_t limit;    /* bytes of text past which no step is recorded; 0: none */
    int bounded;          /* 1 once a step was left out for the limit */
};

static JsonText json;     /* the one description of this run */

/* Ends the text when the run ends before JsonFinish (see above): the steps
 * recorded so far stand, closed after the last whole one, and the envelope
 * says the run stopped in the phase that was running. Before any step
 * list was opened, the stop record alone is written. */
static inline void JsonAtExit() {
    if (json.done) return;
    if (!json.inSteps) {
        std::printf("{\"program\":\"%s\",\"ok\":false,\"stopped\":\"%s\",\"steps\":[]}\n",
                    json.program, json.phase);
        return;
    }
    if (json.stepOpen) json.length = json.stepStart;   /* a step cut off halfway is dropped */
    std::fwrite(json.bytes, 1, json.length, stdout);
    std::printf("],\"ok\":false,\"stopped\":\"%s\"}\n", json.phase);
    std::fflush(stdout);
}

/* Starts the description of a run of `program` (a name of plain letters),
 * in the phase `phase`. Call it first; a later call starts a new
 * description (the unit tests run a writer more than once). */
static inline void JsonBegin(const char *program, const char *phase) {
    json.program = program;
    json.phase = phase;
    json.done = 0;
    json.inSteps = json.stepOpen = json.bounded = 0;
    json.steps = 0;
    json.limit = 0;
    if (!json.registered) std::atexit(JsonAtExit);
    json.registered = 1;
}

/* Names the phase that runs from now on (plain letters), for the stop
 * record. */
static inline void JsonPhase(const char *phase) {
    json.phase = phase;
}

/* Appends n bytes to the text. When memory runs out the run ends with exit
 * status -1, and the stop record is written instead of the text. */
static inline void JsonBytes(const char *bytes, std::size_t n) {
    if (json.length + n > json.size) {
        std::size_t size = json.size == 0 ? 4096 : json.size;
        while (size < json.length + n) size *= 2;
        char *grown = static_cast<char *>(std::realloc(json.bytes, size));
        if (grown == nullptr) std::exit(-1);
        json.bytes = grown;
        json.size = size;
    }
    std::memcpy(json.bytes + json.length, bytes, n);
    json.length += n;
}

/* Appends a piece of JSON text as it stands (punctuation, keys). */
static inline void JsonPut(const char *text) {
    JsonBytes(text, std::strlen(text));
}

/* Appends a number. */
static inline void JsonInt(long long value) {
    char digits[32];
    int n = std::snprintf(digits, sizeof digits, "%lld", value);
    JsonBytes(digits, static_cast<std::size_t>(n));
}

/* Appends n bytes as a JSON string, escaped as told above. */
static inline void JsonString(const char *bytes, std::size_t n) {
    JsonPut("\"");
    for (std::size_t k = 0; k < n; k++) {
        unsigned char b = static_cast<unsigned char>(bytes[k]);
        if (b == '"' || b == '\\') {
            char escaped[2] = {'\\', static_cast<char>(b)};
            JsonBytes(escaped, 2);
        } else if (b < 0x20 || b >= 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", b);
            JsonBytes(escaped, 6);
        } else {
            JsonBytes(bytes + k, 1);
        }
    }
    JsonPut("\"");
}

/* Appends one byte as a JSON string of one character. */
static inline void JsonChar(char c) {
    JsonString(&c, 1);
}

/* A step's site as an SRC shows it, kept beyond the step (the frames of
 * the step's call stack are gone once it returns). */
constexpr int MAXCHAIN = 32;                 /* the programs call no deeper, recursion aside */
struct SavedSrc {
    const char *file;                        /* the site's file */
    int line;                                /* its line */
    const char *func;                        /* its function */
    const char *chain[MAXCHAIN];             /* the chain, outermost first, ending with func */
    int length;                              /* names in chain */
    int depth;                               /* func's own calls on the stack, 1 unless recursive */
};

/* Keeps the site of a step (the StepSite of the program's step.h) in
 * *saved: the functions on its call stack, outermost first, ending with the
 * site's own function. A function that called itself stands once for all
 * its calls in a row; for the site's own function their number is depth.
 * Were the chain longer than MAXCHAIN, its outermost names are left out. */
template <class Site>
static inline void JsonSave(const Site &site, SavedSrc *saved) {
    saved->file = site.file;
    saved->line = site.line;
    saved->func = site.func;
    saved->depth = 0;
    auto *f = site.calls;
    for (; f != nullptr && f->func == site.func; f = f->caller) saved->depth++;
    if (saved->depth == 0) saved->depth = 1;  /* a function without a frame of its own */
    const char *inner[MAXCHAIN];             /* the callers, innermost first */
    int n = 0;
    for (; f != nullptr && n < MAXCHAIN - 1; f = f->caller)
        if (n == 0 || inner[n - 1] != f->func) inner[n++] = f->func;
    saved->length = 0;
    while (n > 0) saved->chain[saved->length++] = inner[--n];
    saved->chain[saved->length++] = site.func;
}

/* Appends a kept site as an SRC:
 *   {"file":F,"line":L,"func":N,"chain":[outermost,...,N]}
 * with "depth":D after the chain when the function is D calls deep in
 * itself (D > 1). */
static inline void JsonSaved(const SavedSrc &saved) {
    JsonPut("{\"file\":");
    JsonString(saved.file, std::strlen(saved.file));
    JsonPut(",\"line\":");
    JsonInt(saved.line);
    JsonPut(",\"func\":");
    JsonString(saved.func, std::strlen(saved.func));
    JsonPut(",\"chain\":[");
    for (int k = 0; k < saved.length; k++) {
        if (k > 0) JsonPut(",");
        JsonString(saved.chain[k], std::strlen(saved.chain[k]));
    }
    JsonPut("]");
    if (saved.depth > 1) {
        JsonPut(",\"depth\":");
        JsonInt(saved.depth);
    }
    JsonPut("}");
}

static SavedSrc jsonSite;  /* the site JsonSrc is writing */

/* Appends the SRC of a step's site as it is now (JsonSave, JsonSaved). */
template <class Site>
static inline void JsonSrc(const Site &site) {
    JsonSave(site, &jsonSite);
    JsonSaved(jsonSite);
}

/* Writes the whole text and a line end to stdout and frees it; the stop
 * record is not written after this. Returns 0, the writer's status. */
static inline int JsonEnd() {
    JsonPut("\n");
    std::fwrite(json.bytes, 1, json.length, stdout);
    std::fflush(stdout);
    std::free(json.bytes);
    json.bytes = nullptr;
    json.length = json.size = 0;
    json.done = 1;
    return 0;
}

/* ---------------------------------------------------------------------
 * The envelope of a trace (lab/README.md):
 *   {"program":P, <the writer's own top fields, "input" among them>,
 *    "steps":[STEP,...],"ok":true|false,"stopped":false|"<why>"}
 * JsonTrace opens it, JsonStepsBegin the step list, JsonStep and
 * JsonStepEnd frame each step, JsonFinish closes it and writes it.
 * ------------------------------------------------------------------- */

/* Opens the envelope of a trace of `program`: JsonBegin, then the program's
 * name. limit: bytes of text past which steps are no longer recorded (the
 * writer's size bound; 0 for none); the envelope then says "bound". */
static inline void JsonTrace(const char *program, const char *phase, std::size_t limit) {
    JsonBegin(program, phase);
    json.length = 0;
    json.limit = limit;
    JsonPut("{\"program\":");
    JsonString(program, std::strlen(program));
}

/* Opens the step list: the writer's own top fields come before it. */
static inline void JsonStepsBegin() {
    JsonPut(",\"steps\":[");
    json.inSteps = 1;
}

/* Opens one step of the given kind (lower case, without STEP_) at the
 * site the program's STEP reported: {"kind":K,"src":{"file":F,"line":L,
 * "func":N},"chain":[outermost,...,N] (with ,"depth":D when the function is
 * D calls deep in itself). The writer then appends its state fields, each
 * as ,"name":value, and calls JsonStepEnd. Returns 0, and opens nothing,
 * once the text has passed the writer's limit: the steps after that are
 * left out and the envelope says "bound". */
template <class Site>
static inline int JsonStep(const char *kind, const Site &site) {
    if (json.limit != 0 && json.length > json.limit) {
        json.bounded = 1;
        return 0;
    }
    json.stepStart = json.length;
    json.stepOpen = 1;
    if (json.steps > 0) JsonPut(",");
    JsonPut("{\"kind\":");
    JsonString(kind, std::strlen(kind));
    JsonSave(site, &jsonSite);
    JsonPut(",\"src\":{\"file\":");
    JsonString(jsonSite.file, std::strlen(jsonSite.file));
    JsonPut(",\"line\":");
    JsonInt(jsonSite.line);
    JsonPut(",\"func\":");
    JsonString(jsonSite.func, std::strlen(jsonSite.func));
    JsonPut("},\"chain\":[");
    for (int k = 0; k < jsonSite.length; k++) {
        if (k > 0) JsonPut(",");
        JsonString(jsonSite.chain[k], std::strlen(jsonSite.chain[k]));
    }
    JsonPut("]");
    if (jsonSite.depth > 1) {
        JsonPut(",\"depth\":");
        JsonInt(jsonSite.depth);
    }
    return 1;
}

/* Closes the step that JsonStep opened. */
static inline void JsonStepEnd() {
    JsonPut("}");
    json.stepOpen = 0;
    json.steps++;
}

/* Closes the step list and the envelope with ok (1: the run ended as a
 * console run ends on success) and stopped ("bound" when steps were left
 * out for the limit, otherwise false), and writes it (JsonEnd). Returns 0,
 * the writer's status. */
static inline int JsonFinish(int ok) {
    if (!json.inSteps) JsonStepsBegin();
    JsonPut(ok ? "],\"ok\":true" : "],\"ok\":false");
    JsonPut(json.bounded ? ",\"stopped\":\"bound\"}" : ",\"stopped\":false}");
    json.inSteps = 0;
    return JsonEnd();
}

#endif
