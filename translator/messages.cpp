/* messages.cpp -- printing a refusal and ending the run. */
#include "messages.h"

#include <cstdio>
#include <cstdlib>

#include "node.h"

void Refuse(const char *text) {
    std::fprintf(stderr, "%s\n", text);
    std::exit(REFUSED);
}

void RefuseWith(const char *text, const char *detail) {
    std::fprintf(stderr, "%s%s\n", text, detail);
    std::exit(REFUSED);
}

void RefuseAtLine(long long line, const char *text) {
    std::fprintf(stderr, "%s%lld%s\n", TEXT_AT_LINE, line, text);
    std::exit(REFUSED);
}

void StopOutOfMemory(const char *text) {
    std::fprintf(stderr, "%s\n", text);
    std::exit(OVERFLOW);
}
