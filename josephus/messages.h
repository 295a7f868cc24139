/* messages.h -- every text the program prints.
 *
 * The Chinese texts are GBK (code page 936) bytes, written as escapes so that
 * every compiler takes them unchanged; the readable text is in the comment
 * beside each. A text with %d is a printf format; the comment says what
 * fills it. Each refusal is one line on standard error: it first names what
 * was refused, then what was expected. */
#ifndef JOSEPHUS_MESSAGES_H
#define JOSEPHUS_MESSAGES_H

/* Keyboard mode asks for the parameters with this line. */
constexpr char TEXT_PROMPT[] = "please enter parameters!\n";

/* Printed on standard output, without a line break, when "out.txt" cannot
 * be opened or written. */
constexpr char TEXT_OUTPUT_ERROR[] = "error";

/* 人数 n 为 %d：请给出 1 到 %d 之间的整数
 * (the n given, then the most people a ring can seat) */
constexpr char TEXT_BAD_PEOPLE_COUNT[] =
    "\xc8\xcb\xca\xfd n \xce\xaa %d\xa3\xba\xc7\xeb\xb8\xf8\xb3\xf6 1 \xb5\xbd %d "
    "\xd6\xae\xbc\xe4\xb5\xc4\xd5\xfb\xca\xfd\n";

/* 用法：josephus n m 步长1 … 步长n（不带参数运行则从键盘读入这些数）
 * (alone for a first argument without any digit, such as --help or /?;
 * and behind TEXT_TOO_FEW_ARGUMENTS on the same line) */
constexpr char TEXT_USAGE[] =
    "\xd3\xc3\xb7\xa8\xa3\xbajosephus n m \xb2\xbd\xb3\xa4" "1 \xa1\xad \xb2\xbd\xb3\xa4n\xa3\xa8"
    "\xb2\xbb\xb4\xf8\xb2\xce\xca\xfd\xd4\xcb\xd0\xd0\xd4\xf2\xb4\xd3\xbc\xfc\xc5\xcc\xb6\xc1\xc8"
    "\xeb\xd5\xe2\xd0\xa9\xca\xfd\xa3\xa9\n";

/* 参数不足：人数 n 为 %d 时需要 %d 个参数，只给了 %d 个；
 * (n, the arguments it needs, the arguments given; TEXT_USAGE ends the
 * line) */
constexpr char TEXT_TOO_FEW_ARGUMENTS[] =
    "\xb2\xce\xca\xfd\xb2\xbb\xd7\xe3\xa3\xba\xc8\xcb\xca\xfd n \xce\xaa %d "
    "\xca\xb1\xd0\xe8\xd2\xaa %d \xb8\xf6\xb2\xce\xca\xfd\xa3\xac\xd6\xbb\xb8\xf8\xc1\xcb %d "
    "\xb8\xf6\xa3\xbb";

/* A number outside the int range is refused with three texts in a row:
 * where it stands, which parameter it is, and the range expected, e.g.
 * 第 4 个参数（第 2 人的步长值）超出 int 范围：请给出 -2147483648 到 2147483647 之间的整数 */

/* 第 %d 个参数 (the argument's position, counted from 1) */
constexpr char TEXT_ARGUMENT_AT[] = "\xb5\xda %d \xb8\xf6\xb2\xce\xca\xfd";

/* 输入的第 %d 个数 (the keyboard token's position, counted from 1) */
constexpr char TEXT_INPUT_VALUE_AT[] = "\xca\xe4\xc8\xeb\xb5\xc4\xb5\xda %d \xb8\xf6\xca\xfd";

/* （人数 n） */
constexpr char TEXT_PEOPLE_ROLE[] = "\xa3\xa8\xc8\xcb\xca\xfd n\xa3\xa9";

/* （初始报数 m） */
constexpr char TEXT_FIRST_COUNT_ROLE[] = "\xa3\xa8\xb3\xf5\xca\xbc\xb1\xa8\xca\xfd m\xa3\xa9";

/* （第 %d 人的步长值） (the person's seat number) */
constexpr char TEXT_STEP_ROLE[] = "\xa3\xa8\xb5\xda %d \xc8\xcb\xb5\xc4\xb2\xbd\xb3\xa4\xd6\xb5\xa3\xa9";

/* 超出 int 范围：请给出 -2147483648 到 2147483647 之间的整数 */
constexpr char TEXT_OUT_OF_INT_RANGE[] =
    "\xb3\xac\xb3\xf6 int \xb7\xb6\xce\xa7\xa3\xba\xc7\xeb\xb8\xf8\xb3\xf6 -2147483648 \xb5\xbd "
    "2147483647 \xd6\xae\xbc\xe4\xb5\xc4\xd5\xfb\xca\xfd\n";

/* 内存不足，无法分配结点：请释放内存后重试，或减小人数 n */
constexpr char TEXT_NO_MEMORY[] =
    "\xc4\xda\xb4\xe6\xb2\xbb\xd7\xe3\xa3\xac\xce\xde\xb7\xa8\xb7\xd6\xc5\xe4\xbd\xe1\xb5\xe3"
    "\xa3\xba\xc7\xeb\xca\xcd\xb7\xc5\xc4\xda\xb4\xe6\xba\xf3\xd6\xd8\xca\xd4\xa3\xac\xbb\xf2"
    "\xbc\xf5\xd0\xa1\xc8\xcb\xca\xfd n\n";

#endif
