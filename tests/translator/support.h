/* support.h -- helpers shared by the translator's unit tests.
 *
 * Load(text) reads `text` as a rule file through ReadRuleFile. The failing
 * allocations come from the project's malloc hook, alloc_fail.h. */
#ifndef TRANSLATOR_TEST_SUPPORT_H
#define TRANSLATOR_TEST_SUPPORT_H

#include <cstdio>
#include <string>

#include "alloc_fail.h"
#include "rulefile.h"

/* Reads `text` as a rule file; returns ReadRuleFile's result. When `rest`
 * is given it receives what the reading left unread. */
inline bool Load(const std::string &text, std::string *rest = nullptr) {
    std::FILE *fp = std::tmpfile();
    if (fp == nullptr) return false;
    std::fwrite(text.data(), 1, text.size(), fp);
    std::rewind(fp);
    bool ok = ReadRuleFile(fp);
    if (rest != nullptr) {
        rest->clear();
        int c;
        while ((c = std::getc(fp)) != EOF) *rest += static_cast<char>(c);
    }
    std::fclose(fp);
    return ok;
}

#endif
