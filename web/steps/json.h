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
 *     {"program":"<program>","ok":false,"stopped":"<phase>"}
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
    const char *closing;  /* when not null, an early end writes the text so far
                             and this after it, instead of the stop record */
    int done;             /* 1 once the text has been written to stdout */
};

static JsonText json;     /* the one description of this run */

static inline int JsonEnd();

/* Writes the stop record when the run ends before JsonEnd (see above), or
 * the text so far closed by json.closing when a writer set one. */
static inline void JsonAtExit() {
    if (json.done) return;
    if (json.closing != nullptr) {
        std::fwrite(json.bytes, 1, json.length, stdout);
        std::fputs(json.closing, stdout);
        std::fputs("\n", stdout);
        json.done = 1;
        return;
    }
    std::printf("{\"program\":\"%s\",\"ok\":false,\"stopped\":\"%s\"}\n", json.program,
                json.phase);
}

/* Starts the description of a run of `program` (a name of plain letters),
 * in the phase `phase`. Call once, first. */
static inline void JsonBegin(const char *program, const char *phase) {
    static int registered;                   /* 1 once JsonAtExit is registered */
    json.program = program;
    json.phase = phase;
    json.closing = nullptr;
    json.done = 0;
    if (!registered) std::atexit(JsonAtExit);
    registered = 1;
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

/* Appends the names of the frame f and of those below it, outermost first,
 * each followed by a comma. */
template <class Frame>
static inline void JsonFrames(const Frame *f) {
    if (f == nullptr) return;
    JsonFrames(f->caller);
    JsonString(f->func, std::strlen(f->func));
    JsonPut(",");
}

/* Appends the SRC of a step's site (the StepSite of the program's step.h):
 *   {"file":F,"line":L,"func":N,"chain":[outermost,...,N]}
 * the chain being the site's frames from the outermost in, then the site's
 * own function unless the innermost frame is that function already (both
 * name it by the same __func__). */
template <class Site>
static inline void JsonSrc(const Site &site) {
    JsonPut("{\"file\":");
    JsonString(site.file, std::strlen(site.file));
    JsonPut(",\"line\":");
    JsonInt(site.line);
    JsonPut(",\"func\":");
    JsonString(site.func, std::strlen(site.func));
    JsonPut(",\"chain\":[");
    if (site.calls != nullptr && site.calls->func == site.func) {
        JsonFrames(site.calls->caller);
    } else {
        JsonFrames(site.calls);
    }
    JsonString(site.func, std::strlen(site.func));
    JsonPut("]}");
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

#endif
