/* words.cpp -- the word table and the output file. */
#include "words.h"

#include <cstddef>
#include <cstdio>

#include "messages.h"
#include "rewrite.h"

/* ============================ Word table ================================== */

constexpr char WORD_T[] = "\xcc\xec";          /* 天 */
constexpr char WORD_D[] = "\xb5\xd8";          /* 地 */
constexpr char WORD_S[] = "\xc9\xcf";          /* 上 */
constexpr char WORD_A[] = "\xd2\xbb\xd6\xbb";  /* 一只 */
constexpr char WORD_E[] = "\xb6\xec";          /* 鹅 */
constexpr char WORD_Z[] = "\xd7\xb7";          /* 追 */
constexpr char WORD_G[] = "\xb8\xcf";          /* 赶 */
constexpr char WORD_X[] = "\xcf\xc2";          /* 下 */
constexpr char WORD_N[] = "\xb5\xb0";          /* 蛋 */
constexpr char WORD_H[] = "\xba\xde";          /* 恨 */
constexpr char WORD_ERROR[] = "\xb4\xed\xce\xf3\xbe\xaf\xb8\xe6";  /* 错误警告 */

/* One word: its GBK bytes and how many there are. */
struct Word {
    const char *gbk;   /* the bytes to write; their terminating zero is not written */
    std::size_t size;  /* 2, 4 or 8 */
};

/* Returns the word for c. */
static Word WordFor(char c) {
    switch (c) {
    case 't': return {WORD_T, sizeof WORD_T - 1};
    case 'd': return {WORD_D, sizeof WORD_D - 1};
    case 's': return {WORD_S, sizeof WORD_S - 1};
    case 'a': return {WORD_A, sizeof WORD_A - 1};
    case 'e': return {WORD_E, sizeof WORD_E - 1};
    case 'z': return {WORD_Z, sizeof WORD_Z - 1};
    case 'g': return {WORD_G, sizeof WORD_G - 1};
    case 'x': return {WORD_X, sizeof WORD_X - 1};
    case 'n': return {WORD_N, sizeof WORD_N - 1};
    case 'h': return {WORD_H, sizeof WORD_H - 1};
    default: return {WORD_ERROR, sizeof WORD_ERROR - 1};
    }
}

/* ============================ Output ====================================== */

void Translate() {
    std::FILE *fp = std::fopen("translate.txt", "w+");
    if (fp == nullptr) Refuse(TEXT_CANNOT_WRITE);
    char c;
    while (!QueueEmpty(&Q)) {
        DeQueue(&Q, &c);
        Word word = WordFor(c);
        if (std::fwrite(word.gbk, 1, word.size, fp) != word.size) {
            std::fclose(fp);
            Refuse(TEXT_CANNOT_WRITE);
        }
    }
    /* A full disk may show only when the buffer is flushed at the close. */
    if (std::fclose(fp) != 0) Refuse(TEXT_CANNOT_WRITE);
}
