/* messages.cpp -- printing a refusal and ending the run. */
#include "messages.h"

#include <cstdio>
#include <cstdlib>

#include "status.h"

void Refuse(const char *text) {
    std::fprintf(stderr, "%s\n", text);
    std::exit(REFUSED);
}

void RefuseFile(const char *path) {
    std::fprintf(stderr, "%s%s%s\n", TEXT_CANNOT_READ, path, TEXT_CANNOT_READ_HINT);
    std::exit(REFUSED);
}

void RefuseRuleFile(const char *path, const char *text) {
    std::fprintf(stderr, "%s%s%s\n", TEXT_IN_RULE_FILE, path, text);
    std::exit(REFUSED);
}

/* Prints "规则文件 <path> 第<line>" and `text` as one line on stderr. */
static void PrintAtLine(const char *path, long long line, const char *text) {
    std::fprintf(stderr, "%s%s%s%lld%s\n", TEXT_IN_RULE_FILE, path, TEXT_AT_LINE, line, text);
}

void RefuseAtLine(const char *path, long long line, const char *text) {
    PrintAtLine(path, line, text);
    std::exit(REFUSED);
}

void StopAtLine(const char *path, long long line, const char *text) {
    PrintAtLine(path, line, text);
    std::exit(OVERFLOW);
}
