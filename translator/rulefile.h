/* rulefile.h -- reading the rule file: the count, the rules, the sentence.
 *
 * The file is read line by line; lines are counted from 0 here and from 1
 * in the messages. Line 0 holds the rule count N, read whole as atoi reads
 * it; a UTF-8 byte order mark before it is skipped. Lines 1 to N are the
 * rules: column 0 is the symbol, columns 1 to 3 are a separator of any three
 * characters, and from column REPLACEMENT_COLUMN on the rest of the line is
 * the replacement, at most MAXREPLACE characters. Line N+1 is the coded
 * sentence; nothing after it is read. A line ends with "\n" or "\r\n"; the
 * terminator is never part of a rule or of the sentence, so a file reads the
 * same whichever system wrote it. A line read holds no zero byte, and the
 * file does not start with a UTF-16 byte order mark: the file is plain text
 * in a single-byte or multi-byte encoding (ANSI, UTF-8). */
#ifndef TRANSLATOR_RULEFILE_H
#define TRANSLATOR_RULEFILE_H

#include <cstddef>
#include <cstdio>

constexpr int MAXREPLACE = 9;          /* longest replacement, in characters */
constexpr int MAXSENTENCE = 39;        /* longest sentence line, terminator counted as one byte */
constexpr int REPLACEMENT_COLUMN = 4;  /* column of a rule line where the replacement starts */
constexpr int MINRULELINE = 3;         /* shortest rule line accepted ("X =": empty replacement) */

struct Rule {
    char symbol;                      /* the character that the rule rewrites */
    char replacement[MAXREPLACE + 1]; /* what replaces it, zero-terminated; may be empty */
    int length;                       /* characters in replacement */
};

struct SqString {
    char ch[MAXSENTENCE + 1];  /* the sentence without its terminator, zero-terminated */
    int length;                /* bytes of the sentence in ch */
};

extern const char *RulePath;  /* the rule file as named on the command line, for the messages */
extern char buf[1024];        /* the line being read: its first 1023 bytes, zero-terminated */
extern Rule *R;               /* the rules in file order; grows as rule lines are read */
extern std::size_t Rsize;     /* records that R has room for */
extern int N;                 /* the rule count from line 0 */
extern SqString W;            /* the coded sentence */

/* Reads the count, the rules and the sentence from fp, the file RulePath
 * names, into N, R and W; W.length is 0 when the file ends before the
 * sentence line. Refuses the run (message on stderr naming RulePath, and
 * the line where there is one; exit REFUSED) for a file that starts with a
 * UTF-16 byte order mark, a zero byte in a line read, a rule line shorter
 * than MINRULELINE, a replacement longer than MAXREPLACE, or a sentence
 * line longer than MAXSENTENCE bytes with its terminator; stops it (exit OVERFLOW) when the
 * rule table cannot grow. Returns false when reading the file failed. */
bool ReadRuleFile(std::FILE *fp);

/* The translator's input: opens the rule file named by argv[1] (RulePath),
 * starts L and Q (Start) and reads the file (ReadRuleFile). Refuses the
 * run (message on stderr, exit REFUSED) without an argument, or when the
 * file cannot be opened or read; every refusal of ReadRuleFile stands. The
 * program's main and the browser edition's step writer both begin here. */
void StartFromRuleFile(int argc, char *argv[]);

#endif
