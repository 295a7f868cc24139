/* main.cpp -- the translator: reads a rule file, expands the bracket groups
 * of its coded sentence, rewrites the sentence with the rules and writes it
 * as Chinese words to "translate.txt".
 *
 * Usage: translator RULEFILE
 *
 * Everything that can refuse the run is checked before "translate.txt" is
 * opened, so a refused run leaves that file exactly as it was. */
#include <cstdio>

#include "messages.h"
#include "rewrite.h"
#include "rulefile.h"
#include "words.h"

int main(int argc, char *argv[]) {
    if (argc < 2) Refuse(TEXT_USAGE);
    std::FILE *fp = std::fopen(argv[1], "r");
    if (fp == nullptr) RefuseWith(TEXT_CANNOT_READ, argv[1]);
    Start();
    bool readable = ReadRuleFile(fp);
    std::fclose(fp);
    if (!readable) RefuseWith(TEXT_CANNOT_READ, argv[1]);
    PreDeal();
    MidDeal();
    Translate();
    return 0;
}
