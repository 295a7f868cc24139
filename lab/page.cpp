/* page.cpp -- the comparison and the exercise maker as the browser edition
 * calls them: two entries that the browser build links into each program's
 * script beside main and WriteSteps (cmake/web.cmake), called as the page's
 * runner calls any entry, int entry(int argc, char **argv), in the page's
 * worker and, under node, in web/tools/compare.mjs.
 *
 * The build (cmake/web.cmake) says which program it is built into, as
 * programs.gen.h has it: DSD_NAME (its name with the first letter upper
 * case), DSD_PROGRAM_NAME (its name as a string), DSD_OUTPUT (the file
 * compared, or NULL for its console output), DSD_COMPARES and DSD_MAKES
 * (1 where it has its own comparison, lab/<name>/compare.cpp, and its own
 * exercise maker, lab/<name>/cases.cpp). Without its own comparison, the
 * common one compares line by line (PlainComparison); without a maker,
 * ExerciseMain says so in one line.
 *
 *   CompareMain OURS MINE [pasted]
 *       compares the two files (MINE is text pasted into the page, UTF-8,
 *       with the word pasted) and writes the report on stdout as one JSON
 *       object (below); status 0 for the same text, 1 when the contents
 *       differ, 2 when a file cannot be read (one line on stderr).
 *   ExerciseMain SIZE SEED [COUNT]
 *       writes the exercise of SIZE (small, medium, large) and SEED on
 *       stdout; with COUNT, those of SEED, SEED+1, ... each followed by a
 *       zero byte (the tests take a thousand at once). Status 2, one line on
 *       stderr, for an unknown size or a seed that is no number, or for a
 *       program that has no exercise maker.
 *
 * The report:
 *   {"verdict":"identical"|"same-text"|"different","form":true|false,
 *    "headline":…,"encodings":…,"reason":…,"step":N|null,
 *    "notes":[{"text":…}],"text":… (the report as CompareFormat writes it),
 *    "first":null|{"line":N,"column":N,"position":…,
 *                  "ours":VIEW,"mine":VIEW}}
 *   VIEW = {"exists":true|false,"before":…,"marked":…,"after":…,"hex":…}
 * "same-text" is a difference of form only (form true, 格式错误) or, for
 * pasted text, the same text. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "cases.h"
#include "compare_parts.h"

/* The program's own functions, named from DSD_NAME. */
#define PAGE_CONCAT(a, b) a##b
#define PAGE_GLUE(a, b) PAGE_CONCAT(a, b)
#define PAGE_WHEN(flag, x) PAGE_GLUE(DSD_WHEN_, flag)(x)
#define PAGE_UNLESS(flag, x) PAGE_GLUE(DSD_UNLESS_, flag)(x)

/* ============================ JSON ======================================== */

/* JsonString(s): writes s (UTF-8) as a JSON string. */
static void JsonString(const char *s) {
    putchar('"');
    for (const unsigned char *p = (const unsigned char *)s; *p; p++) {
        if (*p == '"' || *p == '\\') printf("\\%c", *p);
        else if (*p < 0x20) printf("\\u%04x", *p);
        else putchar(*p);
    }
    putchar('"');
}

static void JsonField(const char *name, const char *value, int comma) {
    printf("%s\"%s\":", comma ? "," : "", name);
    JsonString(value);
}

static void JsonView(const struct CompareView *v) {
    printf("{\"exists\":%s", v->exists ? "true" : "false");
    JsonField("before", v->before, 1);
    JsonField("marked", v->marked, 1);
    JsonField("after", v->after, 1);
    JsonField("hex", v->hex, 1);
    putchar('}');
}

/* ============================ Files ======================================= */

/* ReadAll(path, bytes): reads a whole file into memory the caller frees;
 * returns 0, with a message on stderr, when it cannot. */
static int ReadAll(const char *path, struct Bytes *bytes) {
    FILE *f = fopen(path, "rb");
    unsigned char *data = NULL;
    size_t length = 0, room = 0;
    if (!f) {
        fprintf(stderr, "无法读取文件 %s\n", path);
        return 0;
    }
    for (;;) {
        if (length == room) {
            room = room ? room * 2 : 65536;
            unsigned char *bigger = (unsigned char *)realloc(data, room);
            if (!bigger) {
                free(data);
                fclose(f);
                fprintf(stderr, "内存不足，无法读入文件 %s\n", path);
                return 0;
            }
            data = bigger;
        }
        size_t n = fread(data + length, 1, room - length, f);
        length += n;
        if (n == 0) break;
    }
    fclose(f);
    bytes->data = data;
    bytes->length = length;
    return 1;
}

/* ============================ Entries ===================================== */

extern "C" int CompareMain(int argc, char **argv) {
    if (argc < 3) {
        fprintf(stderr, "用法：CompareMain 我们的输出 你的输出 [pasted]\n");
        return 2;
    }
    struct Bytes ours = {NULL, 0}, mine = {NULL, 0};
    if (!ReadAll(argv[1], &ours)) return 2;
    if (!ReadAll(argv[2], &mine)) {
        free((void *)ours.data);
        return 2;
    }
    int pasted = argc > 3 && strcmp(argv[3], "pasted") == 0;
    struct Compared *r = (struct Compared *)malloc(sizeof *r);
    char *text = (char *)malloc(16384);
    if (!r || !text) {
        fprintf(stderr, "内存不足，无法对照\n");
        return 2;
    }
    const struct CompareProgram *program =
        PAGE_WHEN(DSD_COMPARES, PAGE_GLUE(DSD_NAME, Comparison)())
        PAGE_UNLESS(DSD_COMPARES, PlainComparison(DSD_PROGRAM_NAME, DSD_OUTPUT));
    CompareOutputs(program, ours, mine, pasted, r);
    free((void *)ours.data);
    free((void *)mine.data);
    CompareFormat(r, text, 16384);
    int identical = r->verdict == COMPARE_SAME && !pasted && r->note_count == 0;
    printf("{\"verdict\":\"%s\",\"form\":%s",
           r->verdict == COMPARE_DIFFERENT ? "different" : identical ? "identical" : "same-text",
           r->verdict == COMPARE_FORM ? "true" : "false");
    JsonField("headline", r->headline, 1);
    JsonField("encodings", r->encodings, 1);
    JsonField("reason", r->reason, 1);
    if (r->step > 0) printf(",\"step\":%d", r->step);
    else printf(",\"step\":null");
    printf(",\"notes\":[");
    for (int k = 0; k < r->note_count; k++) {
        printf("%s{", k ? "," : "");
        JsonField("text", r->notes[k], 0);
        putchar('}');
    }
    putchar(']');
    JsonField("text", text, 1);
    if (r->line > 0) {
        printf(",\"first\":{\"line\":%ld,\"column\":%ld", r->line, r->column);
        JsonField("position", r->where, 1);
        printf(",\"ours\":");
        JsonView(&r->expected);
        printf(",\"mine\":");
        JsonView(&r->got);
        putchar('}');
    } else {
        printf(",\"first\":null");
    }
    printf("}\n");
    int status = r->verdict == COMPARE_DIFFERENT ? 1 : 0;
    free(r);
    free(text);
    return status;
}

extern "C" int ExerciseMain(int argc, char **argv) {
#if !DSD_MAKES
    (void)argc;
    (void)argv;
    fprintf(stderr, "%s 没有出题器，只能用它的示例练习\n", DSD_PROGRAM_NAME);
    return 2;
#else
    int size = argc > 1 ? CaseSizeNamed(argv[1]) : -1;
    char *end = NULL;
    unsigned long seed = argc > 2 ? strtoul(argv[2], &end, 10) : 0;
    unsigned long count = argc > 3 ? strtoul(argv[3], NULL, 10) : 0;
    if (size < 0 || !end || *end != '\0' || end == argv[2] || seed > 4294967295UL) {
        fprintf(stderr, "用法：ExerciseMain small|medium|large 编号 [个数]\n");
        return 2;
    }
    struct Case c;
    for (unsigned long k = 0; k < (count ? count : 1); k++) {
        PAGE_GLUE(PAGE_GLUE(Make, DSD_NAME), Case)(size, (uint32_t)(seed + k), &c);
        fwrite(c.bytes, 1, c.length, stdout);
        if (count) putchar('\0');
    }
    return 0;
#endif
}
