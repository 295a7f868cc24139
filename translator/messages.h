/* messages.h -- how a translator run is refused or stopped.
 *
 * The translator prints nothing on a good run; its one output is
 * "translate.txt". Input that it cannot translate is refused before that
 * file is opened: one line of GBK text on stderr and exit status REFUSED. A
 * sentence that grows too long, and a rule table that finds no memory, stop
 * the run with a line on stderr and exit status OVERFLOW, also before the
 * file is opened; a stack or queue node that finds no memory ends it with
 * OVERFLOW and no message. Only a failure to open, write or close
 * "translate.txt" itself comes after the file has been emptied.
 *
 * Each message first names what it refuses (the file, the line) and then
 * says what was expected. A message about the whole rule file reads
 * "规则文件 <path>" and then TEXT_UTF16; one about a line of it reads
 * "规则文件 <path> 第<line>" and then one of the TEXT_..._LINE texts. The texts
 * are GBK bytes; the readable text stands in the comment beside each. */
#ifndef TRANSLATOR_MESSAGES_H
#define TRANSLATOR_MESSAGES_H

/* "用法：translator 规则文件（例如 translator rules.txt）" */
constexpr char TEXT_USAGE[] =
    "\xd3\xc3\xb7\xa8\xa3\xbatranslator \xb9\xe6\xd4\xf2\xce\xc4\xbc\xfe\xa3\xa8\xc0\xfd\xc8\xe7"
    " translator rules.txt\xa3\xa9";
/* "无法读取规则文件 " (the path follows) */
constexpr char TEXT_CANNOT_READ[] =
    "\xce\xde\xb7\xa8\xb6\xc1\xc8\xa1\xb9\xe6\xd4\xf2\xce\xc4\xbc\xfe ";
/* "：请给出一个存在且可读的文件" (after the path) */
constexpr char TEXT_CANNOT_READ_HINT[] =
    "\xa3\xba\xc7\xeb\xb8\xf8\xb3\xf6\xd2\xbb\xb8\xf6\xb4\xe6\xd4\xda\xc7\xd2\xbf\xc9\xb6\xc1\xb5\xc4"
    "\xce\xc4\xbc\xfe";
/* "规则文件 " (the path follows) */
constexpr char TEXT_IN_RULE_FILE[] = "\xb9\xe6\xd4\xf2\xce\xc4\xbc\xfe ";
/* "：请把文件存为 ANSI 或 UTF-8 编码的纯文本": the advice that ends both
 * refusals of a file that is no plain text (a macro, so that the compiler
 * joins it to each of them) */
#define SAVE_AS_PLAIN_TEXT \
    "\xa3\xba\xc7\xeb\xb0\xd1\xce\xc4\xbc\xfe\xb4\xe6\xce\xaa ANSI \xbb\xf2 UTF-8 \xb1\xe0\xc2\xeb" \
    "\xb5\xc4\xb4\xbf\xce\xc4\xb1\xbe"
/* " 是 UTF-16（Unicode）编码：请把文件存为 ANSI 或 UTF-8 编码的纯文本" (after
 * the path; Notepad's "Unicode" encodings start the file with FF FE or
 * FE FF) */
constexpr char TEXT_UTF16[] =
    " \xca\xc7 UTF-16\xa3\xa8Unicode\xa3\xa9\xb1\xe0\xc2\xeb" SAVE_AS_PLAIN_TEXT;
/* " 第" (after the path; the line number follows, counted from 1) */
constexpr char TEXT_AT_LINE[] = " \xb5\xda";
/* "行的规则不足3个字符：规则行应为符号、三个分隔字符和至多9个字符的替换文字，
 * 如 X = tYd" */
constexpr char TEXT_SHORT_RULE_LINE[] =
    "\xd0\xd0\xb5\xc4\xb9\xe6\xd4\xf2\xb2\xbb\xd7\xe3" "3\xb8\xf6\xd7\xd6\xb7\xfb\xa3\xba\xb9\xe6"
    "\xd4\xf2\xd0\xd0\xd3\xa6\xce\xaa\xb7\xfb\xba\xc5\xa1\xa2\xc8\xfd\xb8\xf6\xb7\xd6\xb8\xf4\xd7\xd6"
    "\xb7\xfb\xba\xcd\xd6\xc1\xb6\xe0" "9\xb8\xf6\xd7\xd6\xb7\xfb\xb5\xc4\xcc\xe6\xbb\xbb\xce\xc4\xd7"
    "\xd6\xa3\xac\xc8\xe7 X = tYd";
/* "行含有空字符（字节0）：请把文件存为 ANSI 或 UTF-8 编码的纯文本" */
constexpr char TEXT_NUL_LINE[] =
    "\xd0\xd0\xba\xac\xd3\xd0\xbf\xd5\xd7\xd6\xb7\xfb\xa3\xa8\xd7\xd6\xbd\xda" "0\xa3\xa9"
    SAVE_AS_PLAIN_TEXT;
/* "行的替换文字超过9个字符：规则行应为符号、三个分隔字符和至多9个字符的替换文字，
 * 如 X = tYd" */
constexpr char TEXT_LONG_REPLACEMENT_LINE[] =
    "\xd0\xd0\xb5\xc4\xcc\xe6\xbb\xbb\xce\xc4\xd7\xd6\xb3\xac\xb9\xfd" "9\xb8\xf6\xd7\xd6\xb7\xfb\xa3"
    "\xba\xb9\xe6\xd4\xf2\xd0\xd0\xd3\xa6\xce\xaa\xb7\xfb\xba\xc5\xa1\xa2\xc8\xfd\xb8\xf6\xb7\xd6\xb8"
    "\xf4\xd7\xd6\xb7\xfb\xba\xcd\xd6\xc1\xb6\xe0" "9\xb8\xf6\xd7\xd6\xb7\xfb\xb5\xc4\xcc\xe6\xbb\xbb"
    "\xce\xc4\xd7\xd6\xa3\xac\xc8\xe7 X = tYd";
/* "行的句子太长：句子至多38个字节，行尾不计（没有行尾的最后一行可有39个）" */
constexpr char TEXT_LONG_SENTENCE_LINE[] =
    "\xd0\xd0\xb5\xc4\xbe\xe4\xd7\xd3\xcc\xab\xb3\xa4\xa3\xba\xbe\xe4\xd7\xd3\xd6\xc1\xb6\xe0" "38"
    "\xb8\xf6\xd7\xd6\xbd\xda\xa3\xac\xd0\xd0\xce\xb2\xb2\xbb\xbc\xc6\xa3\xa8\xc3\xbb\xd3\xd0\xd0"
    "\xd0\xce\xb2\xb5\xc4\xd7\xee\xba\xf3\xd2\xbb\xd0\xd0\xbf\xc9\xd3\xd0" "39\xb8\xf6\xa3\xa9";
/* "行的句子括号没有闭合：每个“(”之后要有至少一个字符和与它配对的“)”" */
constexpr char TEXT_UNCLOSED_LINE[] =
    "\xd0\xd0\xb5\xc4\xbe\xe4\xd7\xd3\xc0\xa8\xba\xc5\xc3\xbb\xd3\xd0\xb1\xd5\xba\xcf\xa3\xba\xc3\xbf"
    "\xb8\xf6\xa1\xb0(\xa1\xb1\xd6\xae\xba\xf3\xd2\xaa\xd3\xd0\xd6\xc1\xc9\xd9\xd2\xbb\xb8\xf6\xd7\xd6"
    "\xb7\xfb\xba\xcd\xd3\xeb\xcb\xfc\xc5\xe4\xb6\xd4\xb5\xc4\xa1\xb0)\xa1\xb1";
/* "行使句子超过10000000个字符，已停止翻译：句子在展开后和每条规则之后至多
 * 10000000个字符" */
constexpr char TEXT_OVERGROWN_LINE[] =
    "\xd0\xd0\xca\xb9\xbe\xe4\xd7\xd3\xb3\xac\xb9\xfd" "10000000\xb8\xf6\xd7\xd6\xb7\xfb\xa3\xac"
    "\xd2\xd1\xcd\xa3\xd6\xb9\xb7\xad\xd2\xeb\xa3\xba\xbe\xe4\xd7\xd3\xd4\xda\xd5\xb9\xbf\xaa\xba\xf3"
    "\xba\xcd\xc3\xbf\xcc\xf5\xb9\xe6\xd4\xf2\xd6\xae\xba\xf3\xd6\xc1\xb6\xe0" "10000000\xb8\xf6\xd7"
    "\xd6\xb7\xfb";
/* "行的规则无法保存，内存不足：请减少规则行，或关闭其他程序后再试" */
constexpr char TEXT_NO_MEMORY_LINE[] =
    "\xd0\xd0\xb5\xc4\xb9\xe6\xd4\xf2\xce\xde\xb7\xa8\xb1\xa3\xb4\xe6\xa3\xac\xc4\xda\xb4\xe6\xb2\xbb"
    "\xd7\xe3\xa3\xba\xc7\xeb\xbc\xf5\xc9\xd9\xb9\xe6\xd4\xf2\xd0\xd0\xa3\xac\xbb\xf2\xb9\xd8\xb1\xd5"
    "\xc6\xe4\xcb\xfb\xb3\xcc\xd0\xf2\xba\xf3\xd4\xd9\xca\xd4";
/* "无法写入 translate.txt：请在可写且有空余空间的目录中运行" */
constexpr char TEXT_CANNOT_WRITE[] =
    "\xce\xde\xb7\xa8\xd0\xb4\xc8\xeb translate.txt\xa3\xba\xc7\xeb\xd4\xda\xbf\xc9\xd0\xb4\xc7\xd2"
    "\xd3\xd0\xbf\xd5\xd3\xe0\xbf\xd5\xbc\xe4\xb5\xc4\xc4\xbf\xc2\xbc\xd6\xd0\xd4\xcb\xd0\xd0";

/* Prints `text` and a line end on stderr and ends the program with status
 * REFUSED. */
[[noreturn]] void Refuse(const char *text);

/* Prints "无法读取规则文件 <path>：请给出一个存在且可读的文件" on stderr and
 * ends the program with status REFUSED. */
[[noreturn]] void RefuseFile(const char *path);

/* Prints "规则文件 <path>" followed by `text` (TEXT_UTF16) on stderr and
 * ends the program with status REFUSED. */
[[noreturn]] void RefuseRuleFile(const char *path, const char *text);

/* Prints "规则文件 <path> 第<line>" followed by `text`, one of the
 * TEXT_..._LINE texts, on stderr and ends the program with status REFUSED. */
[[noreturn]] void RefuseAtLine(const char *path, long long line, const char *text);

/* Prints the same line as RefuseAtLine and ends the program with status
 * OVERFLOW, the status of exhausted memory. */
[[noreturn]] void StopAtLine(const char *path, long long line, const char *text);

#endif
