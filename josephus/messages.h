/* messages.h -- every fixed text the program prints.
 *
 * The Chinese texts are GBK (code page 936) bytes, written as escapes so that
 * every compiler takes them unchanged; the readable text is in the comment
 * beside each. Each refusal is one line, printed on standard error. */
#ifndef JOSEPHUS_MESSAGES_H
#define JOSEPHUS_MESSAGES_H

/* Keyboard mode asks for the parameters with this line. */
static constexpr char kPrompt[] = "please enter parameters!\n";

/* Printed on standard output, without a line break, when "out.txt" cannot
 * be opened or written. */
static constexpr char kOutputError[] = "error";

/* 人数 n 必须在 1 到 1000 之间 */
static constexpr char kBadPeopleCount[] =
    "\xc8\xcb\xca\xfd n \xb1\xd8\xd0\xeb\xd4\xda 1 \xb5\xbd 1000 \xd6\xae\xbc\xe4\n";

/* 参数不足：需要 n、m 和 n 个步长值 */
static constexpr char kTooFewArguments[] =
    "\xb2\xce\xca\xfd\xb2\xbb\xd7\xe3\xa3\xba\xd0\xe8\xd2\xaa n\xa1\xa2m \xba\xcd n "
    "\xb8\xf6\xb2\xbd\xb3\xa4\xd6\xb5\n";

/* 数值超出 int 范围（-2147483648 到 2147483647） */
static constexpr char kOutOfIntRange[] =
    "\xca\xfd\xd6\xb5\xb3\xac\xb3\xf6 int \xb7\xb6\xce\xa7\xa3\xa8-2147483648 \xb5\xbd "
    "2147483647\xa3\xa9\n";

/* 内存不足，无法分配结点 */
static constexpr char kNoMemory[] =
    "\xc4\xda\xb4\xe6\xb2\xbb\xd7\xe3\xa3\xac\xce\xde\xb7\xa8\xb7\xd6\xc5\xe4\xbd\xe1\xb5\xe3\n";

#endif
