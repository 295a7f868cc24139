/* support.h -- helpers shared by the translator's unit tests.
 *
 * Load(text) reads `text` as a rule file named "rules.txt" through
 * ReadRuleFile; AtLine(line, text) is the stderr line of a refusal at a line
 * of that file. The failing allocations come from the project's malloc hook,
 * alloc_fail.h. */
#ifndef TRANSLATOR_TEST_SUPPORT_H
#define TRANSLATOR_TEST_SUPPORT_H

#include <cstdio>
#include <cstdlib>
#include <string>

#include "alloc_fail.h"
#include "messages.h"
#include "rulefile.h"

/* Reads `text` as a rule file into an empty rule table, as a run starts;
 * returns ReadRuleFile's result. When `rest` is given it receives what the
 * reading left unread. */
inline bool Load(const std::string &text, std::string *rest = nullptr) {
    RulePath = "rules.txt";
    std::free(R);
    R = nullptr;
    Rsize = 0;
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

/* The stderr line of a refusal at line `line` (counted from 1) of the file
 * that Load reads, `text` being one of the TEXT_..._LINE texts. */
inline std::string AtLine(long long line, const char *text) {
    return std::string(TEXT_IN_RULE_FILE) + "rules.txt" + TEXT_AT_LINE + std::to_string(line) + text
           + "\n";
}

#endif
