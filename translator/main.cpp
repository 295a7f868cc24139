/* main.cpp -- the translator: reads a rule file, expands the bracket groups
 * of its coded sentence, rewrites the sentence with the rules and writes it
 * as Chinese words to "translate.txt".
 *
 * Usage: translator RULEFILE
 *
 * Everything in the input that can refuse or stop the run is checked before
 * "translate.txt" is opened, so such a run leaves that file exactly as it
 * was; only a failure to write the file itself comes after. */
#include "rewrite.h"
#include "rulefile.h"
#include "words.h"

int main(int argc, char *argv[]) {
    StartFromRuleFile(argc, argv);
    PreDeal();
    MidDeal();
    Translate();
    return 0;
}
