/* texts.h -- the fixed GBK texts that the evaluator writes.
 *
 * Each is written as a byte block of its GBK length (sizeof - 1); the
 * readable text stands in the comment beside it. The quotation marks of the
 * operation texts are the full-width ‘ (A1 AE) and ’ (A1 AF). */
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

/* "用法: evaluator 表达式文件" */
constexpr char TEXT_USAGE[] = "\xd3\xc3\xb7\xa8: evaluator \xb1\xed\xb4\xef\xca\xbd\xce\xc4\xbc\xfe";
/* "无法读取表达式文件" */
constexpr char TEXT_CANNOT_READ[] = "\xce\xde\xb7\xa8\xb6\xc1\xc8\xa1\xb1\xed\xb4\xef\xca\xbd\xce\xc4\xbc\xfe";
/* "表达式超过49个字符" */
constexpr char TEXT_TOO_LONG[] = "\xb1\xed\xb4\xef\xca\xbd\xb3\xac\xb9\xfd" "49" "\xb8\xf6\xd7\xd6\xb7\xfb";
/* "表达式文件含有空字符" */
constexpr char TEXT_NUL_BYTE[] = "\xb1\xed\xb4\xef\xca\xbd\xce\xc4\xbc\xfe\xba\xac\xd3\xd0\xbf\xd5\xd7\xd6\xb7\xfb";
/* "无法打开结果文件 result.txt" */
constexpr char TEXT_CANNOT_OPEN_RESULT[] = "\xce\xde\xb7\xa8\xb4\xf2\xbf\xaa\xbd\xe1\xb9\xfb\xce\xc4\xbc\xfe result.txt";
/* "写入结果文件失败" */
constexpr char TEXT_WRITE_FAILED[] = "\xd0\xb4\xc8\xeb\xbd\xe1\xb9\xfb\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc";

/* Write a fixed text to f as a block of its exact byte length. */
#define WRITE_TEXT(f, text) fwrite((text), 1, sizeof(text) - 1, (f))

#endif
