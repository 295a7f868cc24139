/* words.cpp -- the word table and the output file. */
#include "words.h"

#include <cstddef>
#include <cstdio>

#include "messages.h"
#include "rewrite.h"
#include "step.h"

/* ============================ Word table ================================== */

constexpr char TEXT_WORD_T[] = "\xcc\xec";          /* 天 */
constexpr char TEXT_WORD_D[] = "\xb5\xd8";          /* 地 */
constexpr char TEXT_WORD_S[] = "\xc9\xcf";          /* 上 */
constexpr char TEXT_WORD_A[] = "\xd2\xbb\xd6\xbb";  /* 一只 */
constexpr char TEXT_WORD_E[] = "\xb6\xec";          /* 鹅 */
constexpr char TEXT_WORD_Z[] = "\xd7\xb7";          /* 追 */
constexpr char TEXT_WORD_G[] = "\xb8\xcf";          /* 赶 */
constexpr char TEXT_WORD_X[] = "\xcf\xc2";          /* 下 */
constexpr char TEXT_WORD_N[] = "\xb5\xb0";          /* 蛋 */
constexpr char TEXT_WORD_H[] = "\xba\xde";          /* 恨 */
constexpr char TEXT_WORD_ERROR[] = "\xb4\xed\xce\xf3\xbe\xaf\xb8\xe6";  /* 错误警告 */

Word WordFor(char c) {
    switch (c) {
    case 't': return {TEXT_WORD_T, sizeof TEXT_WORD_T - 1};
    case 'd': return {TEXT_WORD_D, sizeof TEXT_WORD_D - 1};
    case 's': return {TEXT_WORD_S, sizeof TEXT_WORD_S - 1};
    case 'a': return {TEXT_WORD_A, sizeof TEXT_WORD_A - 1};
    case 'e': return {TEXT_WORD_E, sizeof TEXT_WORD_E - 1};
    case 'z': return {TEXT_WORD_Z, sizeof TEXT_WORD_Z - 1};
    case 'g': return {TEXT_WORD_G, sizeof TEXT_WORD_G - 1};
    case 'x': return {TEXT_WORD_X, sizeof TEXT_WORD_X - 1};
    case 'n': return {TEXT_WORD_N, sizeof TEXT_WORD_N - 1};
    case 'h': return {TEXT_WORD_H, sizeof TEXT_WORD_H - 1};
    default: return {TEXT_WORD_ERROR, sizeof TEXT_WORD_ERROR - 1};
    }
}

/* ============================ Output ====================================== */

/* The words go out through a block of our own, handed to the stream in one
 * write when the next word would not fit and once more at the end: one
 * library call per word took about a quarter of a long run's instructions. */
constexpr std::size_t BLOCK_SIZE = 16384;

static char block[BLOCK_SIZE];  /* words not yet handed to the stream */
static std::size_t used;        /* bytes of block in use */

/* Hands the words in block to fp and empties block. When the write fails,
 * closes fp and refuses the run. */
static void Flush(std::FILE *fp) {
    if (std::fwrite(block, 1, used, fp) != used) {
        std::fclose(fp);
        Refuse(TEXT_CANNOT_WRITE);
    }
    used = 0;
}

void Translate() {
    std::FILE *fp = std::fopen("translate.txt", "w+");
    if (fp == nullptr) Refuse(TEXT_CANNOT_WRITE);
    used = 0;
    char c;
    while (!QueueEmpty(&Q)) {
        DeQueue(&Q, &c);
        Word word = WordFor(c);
        if (used + word.size > BLOCK_SIZE) Flush(fp);
        for (std::size_t k = 0; k < word.size; k++) block[used + k] = word.gbk[k];
        used += word.size;                   STEP(STEP_WORD, c);
    }
    Flush(fp);
    /* A full disk may show only when the stream's own buffer is written out
     * at the close. */
    if (std::fclose(fp) != 0) Refuse(TEXT_CANNOT_WRITE);
}
