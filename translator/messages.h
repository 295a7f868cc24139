/* messages.h -- how a translator run is refused or stopped.
 *
 * The translator prints nothing on a good run; its one output is
 * "translate.txt". Input that it cannot translate is refused before that
 * file is touched: one line of GBK text on stderr and exit status 1. A
 * sentence that grows too long stops the run like exhausted memory does,
 * with exit status -1, also before the output file is touched. The texts
 * are GBK bytes; the readable text stands in the comment beside each. */
#ifndef TRANSLATOR_MESSAGES_H
#define TRANSLATOR_MESSAGES_H

/* "用法: translator 规则文件" */
constexpr char TEXT_USAGE[] =
    "\xd3\xc3\xb7\xa8: translator \xb9\xe6\xd4\xf2\xce\xc4\xbc\xfe";
/* "无法读取规则文件: " (the path follows) */
constexpr char TEXT_CANNOT_READ[] =
    "\xce\xde\xb7\xa8\xb6\xc1\xc8\xa1\xb9\xe6\xd4\xf2\xce\xc4\xbc\xfe: ";
/* "规则文件第" (the line number follows, counted from 1) */
constexpr char TEXT_AT_LINE[] = "\xb9\xe6\xd4\xf2\xce\xc4\xbc\xfe\xb5\xda";
/* "行: 规则行不足3个字符" */
constexpr char TEXT_SHORT_RULE[] =
    "\xd0\xd0: \xb9\xe6\xd4\xf2\xd0\xd0\xb2\xbb\xd7\xe3" "3\xb8\xf6\xd7\xd6\xb7\xfb";
/* "行: 替换文字超过9个字符" */
constexpr char TEXT_LONG_REPLACEMENT[] =
    "\xd0\xd0: \xcc\xe6\xbb\xbb\xce\xc4\xd7\xd6\xb3\xac\xb9\xfd" "9\xb8\xf6\xd7\xd6\xb7\xfb";
/* "句子行连同行尾超过39个字节" */
constexpr char TEXT_LONG_SENTENCE[] =
    "\xbe\xe4\xd7\xd3\xd0\xd0\xc1\xac\xcd\xac\xd0\xd0\xce\xb2\xb3\xac\xb9\xfd"
    "39\xb8\xf6\xd7\xd6\xbd\xda";
/* "句子中的括号没有闭合" */
constexpr char TEXT_UNCLOSED[] =
    "\xbe\xe4\xd7\xd3\xd6\xd0\xb5\xc4\xc0\xa8\xba\xc5\xc3\xbb\xd3\xd0\xb1\xd5\xba\xcf";
/* "句子长度超过10000000个字符, 停止翻译" */
constexpr char TEXT_OVERGROWN[] =
    "\xbe\xe4\xd7\xd3\xb3\xa4\xb6\xc8\xb3\xac\xb9\xfd"
    "10000000\xb8\xf6\xd7\xd6\xb7\xfb, \xcd\xa3\xd6\xb9\xb7\xad\xd2\xeb";
/* "内存不足, 无法保存规则" */
constexpr char TEXT_NO_MEMORY_FOR_RULES[] =
    "\xc4\xda\xb4\xe6\xb2\xbb\xd7\xe3, \xce\xde\xb7\xa8\xb1\xa3\xb4\xe6\xb9\xe6\xd4\xf2";
/* "无法写入 translate.txt" */
constexpr char TEXT_CANNOT_WRITE[] = "\xce\xde\xb7\xa8\xd0\xb4\xc8\xeb translate.txt";

/* Exit status of a refused run. */
constexpr int REFUSED = 1;

/* Prints `text` and a line end on stderr and ends the program with status
 * REFUSED. */
[[noreturn]] void Refuse(const char *text);

/* Prints `text`, then `detail` (a path), then a line end on stderr and ends
 * the program with status REFUSED. */
[[noreturn]] void RefuseWith(const char *text, const char *detail);

/* Prints "规则文件第<line>行..." with `text` as the part after the line
 * number on stderr and ends the program with status REFUSED. */
[[noreturn]] void RefuseAtLine(long long line, const char *text);

/* Prints `text` and a line end on stderr and ends the program with status
 * -1, the status of exhausted memory. */
[[noreturn]] void StopOutOfMemory(const char *text);

#endif
