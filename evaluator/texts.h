/* texts.h -- the fixed GBK texts that the evaluator writes.
 *
 * The readable text stands in the comment beside each. The result-file texts
 * that stand alone are written as byte blocks of their GBK length
 * (WRITE_TEXT); the pieces of the push and operate texts are printed with
 * fprintf around the number or character between them. The quotation marks
 * of the operation texts are the full-width ‘ (A1 AE) and ’ (A1 AF). */
#ifndef EVALUATOR_TEXTS_H
#define EVALUATOR_TEXTS_H

/* ============================ Result file ================================= */

/* "步骤\tOPTR栈\tOPND栈\t            输入字符\t主要操作\n", 49 bytes */
constexpr char TEXT_HEADER[] =
    "\xb2\xbd\xd6\xe8\tOPTR\xd5\xbb\tOPND\xd5\xbb\t            "
    "\xca\xe4\xc8\xeb\xd7\xd6\xb7\xfb\t\xd6\xf7\xd2\xaa\xb2\xd9\xd7\xf7\n";
constexpr char TEXT_PUSH_OPND[] = "PUSH(OPND,\xa1\xae";  /* PUSH(OPND,‘ */
constexpr char TEXT_PUSH_OPTR[] = "PUSH(OPTR,\xa1\xae";  /* PUSH(OPTR,‘ */
constexpr char TEXT_OPERATE[] = "operate(\xa1\xae";      /* operate(‘ */
constexpr char TEXT_BETWEEN[] = "\xa1\xaf\xa1\xae";      /* ’‘ */
constexpr char TEXT_CLOSE[] = "\xa1\xaf)\n";             /* ’) and a newline */
/* "POP(OPTR){消去一对括号}\n", 24 bytes */
constexpr char TEXT_CANCEL[] = "POP(OPTR){\xcf\xfb\xc8\xa5\xd2\xbb\xb6\xd4\xc0\xa8\xba\xc5}\n";
constexpr char TEXT_RETURN[] = "RETURN(GETTOP(OPND))\n";
/* "输入表达式出现语法错误\n", 23 bytes */
constexpr char TEXT_SYNTAX_ERROR[] =
    "\xca\xe4\xc8\xeb\xb1\xed\xb4\xef\xca\xbd\xb3\xf6\xcf\xd6\xd3\xef\xb7\xa8\xb4\xed\xce\xf3\n";
constexpr char TEXT_DIVIDE_ERROR[] = "error";
/* "\n运算结果是:", 12 bytes */
constexpr char TEXT_RESULT[] = "\n\xd4\xcb\xcb\xe3\xbd\xe1\xb9\xfb\xca\xc7:";

/* ============================ Refusals (stderr) =========================== */

/* Each is a format with one %s, which names what is refused: the program in
 * the usage line, else the file. It is printed as one line on stderr. */

/* "用法：%s 表达式文件（表达式写在该文件的最后一行）" */
constexpr char TEXT_USAGE[] =
    "\xd3\xc3\xb7\xa8\xa3\xba%s \xb1\xed\xb4\xef\xca\xbd\xce\xc4\xbc\xfe\xa3\xa8\xb1\xed"
    "\xb4\xef\xca\xbd\xd0\xb4\xd4\xda\xb8\xc3\xce\xc4\xbc\xfe\xb5\xc4\xd7\xee\xba\xf3"
    "\xd2\xbb\xd0\xd0\xa3\xa9";
/* "无法读取表达式文件 %s：请给出一个存在且可读的文件" */
constexpr char TEXT_CANNOT_READ[] =
    "\xce\xde\xb7\xa8\xb6\xc1\xc8\xa1\xb1\xed\xb4\xef\xca\xbd\xce\xc4\xbc\xfe %s\xa3\xba"
    "\xc7\xeb\xb8\xf8\xb3\xf6\xd2\xbb\xb8\xf6\xb4\xe6\xd4\xda\xc7\xd2\xbf\xc9\xb6\xc1"
    "\xb5\xc4\xce\xc4\xbc\xfe";
/* "表达式文件 %s 的最后一行超过49个字符：请把不超过49个字符的表达式写在最后一行" */
constexpr char TEXT_TOO_LONG[] =
    "\xb1\xed\xb4\xef\xca\xbd\xce\xc4\xbc\xfe %s \xb5\xc4\xd7\xee\xba\xf3\xd2\xbb\xd0\xd0"
    "\xb3\xac\xb9\xfd" "49\xb8\xf6\xd7\xd6\xb7\xfb\xa3\xba\xc7\xeb\xb0\xd1\xb2\xbb"
    "\xb3\xac\xb9\xfd" "49\xb8\xf6\xd7\xd6\xb7\xfb\xb5\xc4\xb1\xed\xb4\xef\xca\xbd"
    "\xd0\xb4\xd4\xda\xd7\xee\xba\xf3\xd2\xbb\xd0\xd0";
/* "：请把文件存为 ANSI 或 UTF-8 编码的纯文本": the advice that ends both
 * refusals of a file that is no plain text (a macro, so that the compiler
 * joins it to each of them) */
#define SAVE_AS_PLAIN_TEXT \
    "\xa3\xba\xc7\xeb\xb0\xd1\xce\xc4\xbc\xfe\xb4\xe6\xce\xaa ANSI \xbb\xf2 UTF-8 \xb1\xe0\xc2\xeb" \
    "\xb5\xc4\xb4\xbf\xce\xc4\xb1\xbe"
/* "表达式文件 %s 的最后一行含有空字符（字节0）：请把文件存为 ANSI 或 UTF-8 编码的纯文本" */
constexpr char TEXT_NUL_BYTE[] =
    "\xb1\xed\xb4\xef\xca\xbd\xce\xc4\xbc\xfe %s \xb5\xc4\xd7\xee\xba\xf3\xd2\xbb\xd0\xd0"
    "\xba\xac\xd3\xd0\xbf\xd5\xd7\xd6\xb7\xfb\xa3\xa8\xd7\xd6\xbd\xda" "0\xa3\xa9"
    SAVE_AS_PLAIN_TEXT;
/* "表达式文件 %s 是 UTF-16（Unicode）编码：请把文件存为 ANSI 或 UTF-8 编码的纯文本"
 * (Notepad's "Unicode" encodings start the file with FF FE or FE FF) */
constexpr char TEXT_UTF16[] =
    "\xb1\xed\xb4\xef\xca\xbd\xce\xc4\xbc\xfe %s \xca\xc7 UTF-16\xa3\xa8Unicode\xa3\xa9"
    "\xb1\xe0\xc2\xeb" SAVE_AS_PLAIN_TEXT;
/* "无法打开结果文件 %s：请在可写的目录中运行，并确认它不是目录或只读文件" */
constexpr char TEXT_CANNOT_OPEN_RESULT[] =
    "\xce\xde\xb7\xa8\xb4\xf2\xbf\xaa\xbd\xe1\xb9\xfb\xce\xc4\xbc\xfe %s\xa3\xba\xc7\xeb"
    "\xd4\xda\xbf\xc9\xd0\xb4\xb5\xc4\xc4\xbf\xc2\xbc\xd6\xd0\xd4\xcb\xd0\xd0\xa3\xac"
    "\xb2\xa2\xc8\xb7\xc8\xcf\xcb\xfc\xb2\xbb\xca\xc7\xc4\xbf\xc2\xbc\xbb\xf2\xd6\xbb"
    "\xb6\xc1\xce\xc4\xbc\xfe";
/* "写入结果文件 %s 失败：请检查磁盘空间和写入权限" */
constexpr char TEXT_WRITE_FAILED[] =
    "\xd0\xb4\xc8\xeb\xbd\xe1\xb9\xfb\xce\xc4\xbc\xfe %s \xca\xa7\xb0\xdc\xa3\xba\xc7\xeb"
    "\xbc\xec\xb2\xe9\xb4\xc5\xc5\xcc\xbf\xd5\xbc\xe4\xba\xcd\xd0\xb4\xc8\xeb\xc8\xa8"
    "\xcf\xde";

/* Write a fixed text to f as a block of its exact byte length. */
#define WRITE_TEXT(f, text) fwrite((text), 1, sizeof(text) - 1, (f))

#endif
