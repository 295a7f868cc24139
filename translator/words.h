/* words.h -- writing the translated sentence as Chinese words.
 *
 * Ten lower-case letters have a word; every other byte, upper-case leftovers
 * and each byte of a non-ASCII character included, has the error word
 * "错误警告". The words are GBK bytes, written one after the other with no
 * separator and no line end. */
#ifndef TRANSLATOR_WORDS_H
#define TRANSLATOR_WORDS_H

#include <cstddef>

/* One word: its GBK bytes and how many there are. */
struct Word {
    const char *gbk;   /* the bytes to write; their terminating zero is not written */
    std::size_t size;  /* 2, 4 or 8 */
};

/* Returns the word for c: one of the ten words, or "错误警告" for any other
 * byte. The browser edition's step writer shows each symbol's word by it. */
Word WordFor(char c);

/* Empties Q into "translate.txt" (created or emptied, mode "w+"), one word
 * per character. Each word put out is told to the step hook (step.h). When the file cannot be opened, or a write or the close
 * fails, refuses the run (message on stderr, exit REFUSED); a file that was
 * opened is then left empty or part written. */
void Translate();

#endif
