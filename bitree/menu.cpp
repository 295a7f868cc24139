/* menu.cpp -- the workbench's dialogue on the console.
 *
 * The menu is printed once; then choices are read until the input ends:
 *   0  read a preorder and an inorder sequence, rebuild the tree, print its
 *      preorder and inorder, thread a copy in post-order and walk it;
 *   1  read a prefix expression and print its prefix, infix and postfix forms;
 *   2  read a prefix expression and print its value.
 * Every text of the dialogue goes to standard output, in GBK; only the
 * out-of-memory line (alloc.cpp) and the line saying that standard output
 * could not be written go to standard error. A choice prints
 * its prompt, then reads and builds everything it needs, then prints the
 * rest. A tree is freed when a later choice replaces it, and every tree is
 * freed when the input ends. */
#include "menu.h"

#include <cstdio>
#include <cstring>

#include "bitree.h"
#include "express.h"
#include "status.h"
#include "step.h"
#include "texts.h"
#include "thread.h"
#include "token.h"

/* ============================ Choices ===================================== */

/* TEXT_TOO_LONG names the longest token in its text. */
static_assert(TOKEN_MAX == 1023, "TEXT_TOO_LONG must name TOKEN_MAX");

/* Choice 0's input and trees: read the two sequences into preorder and
 * inorder, free the trees *T and *Q held, rebuild the tree into *T and its
 * threaded copy into *Q, threaded in post-order. Returns TOKEN_END when the
 * input ends before both tokens are read (both trees are then left as they
 * were); TOKEN_TOO_LONG when a token was too long for its buffer (both
 * trees empty); TOKEN_READ otherwise, with both trees built, or both empty
 * when the pair does not make one tree. Prints nothing. */
int ReadTrees(char preorder[], char inorder[], BiTree *T, BiThrTree *Q) {
    STEP_CALL;
    int got1 = ReadToken(stdin, preorder, TOKEN_SIZE);
    if (got1 == TOKEN_END) return TOKEN_END;
    int got2 = ReadToken(stdin, inorder, TOKEN_SIZE);
    if (got2 == TOKEN_END) return TOKEN_END;

    DestroyBiTree(*T);
    *T = nullptr;
    DestroyBiThrTree(*Q);
    *Q = nullptr;
    if (got1 == TOKEN_TOO_LONG || got2 == TOKEN_TOO_LONG) return TOKEN_TOO_LONG;

    int l1 = static_cast<int>(strlen(preorder));
    int l2 = static_cast<int>(strlen(inorder));
    *T = PreInCreate(preorder, inorder, 0, l1 - 1, 0, l2 - 1);  STEP(STEP_TREE, *T, 0);
    if (*T == nullptr) return TOKEN_READ;    /* unequal lengths, or no such tree */
    /* The same pair builds the copy, so it cannot fail where *T did not. */
    *Q = PreInCreateThr(preorder, inorder, 0, l1 - 1, 0, l2 - 1, nullptr);  STEP(STEP_COPY, *Q, 0);
    pre = nullptr;                           /* threading starts with no predecessor */
    PostCreatBiThrTree(*Q);                  STEP(STEP_THREADS, *Q, 0);
    return TOKEN_READ;
}

/* Choice 0: ask for the two sequences, rebuild the trees (ReadTrees) and
 * print the preorder, the inorder and the threaded walk. A token too long
 * for its buffer, or a pair that does not make one tree, gets a message.
 * Returns ERROR when the input ends before both tokens are read, otherwise
 * OK. */
static Status TreeChoice(char preorder[], char inorder[], BiTree *T, BiThrTree *Q) {
    STEP_CALL;
    WRITE_TEXT(stdout, TEXT_ASK_SEQUENCES);
    int got = ReadTrees(preorder, inorder, T, Q);  STEP(STEP_READ, preorder, got);
    if (got == TOKEN_END) return ERROR;
    if (got == TOKEN_TOO_LONG) {
        WRITE_TEXT(stdout, TEXT_TOO_LONG);
        return OK;
    }
    if (*T == nullptr) {
        WRITE_TEXT(stdout, TEXT_MISMATCH);
        return OK;
    }

    WRITE_TEXT(stdout, TEXT_PREORDER);
    PrePrint(*T);
    WRITE_TEXT(stdout, TEXT_INORDER);
    InPrint(*T);
    WRITE_TEXT(stdout, TEXT_THREADED);
    PostPrintBiThrTree(*Q);
    putchar('\n');
    return OK;
}

/* The input and tree of choices 1 and 2: read a prefix expression into the
 * buffer expression, free the tree *T held and build the expression's tree
 * into *T; flag is 0 again on return. Returns TOKEN_END when the input ends
 * before the expression (*T is then left as it was); TOKEN_TOO_LONG when
 * the token was too long for the buffer (*T empty); TOKEN_READ otherwise,
 * with *T the tree, or empty when the expression ends too early. Prints
 * nothing, like ReadTrees. */
int ReadExpression(char expression[], BiTree *T) {
    STEP_CALL;
    int got = ReadToken(stdin, expression, TOKEN_SIZE);
    if (got == TOKEN_END) return TOKEN_END;

    DestroyBiTree(*T);
    *T = nullptr;
    if (got == TOKEN_TOO_LONG) return TOKEN_TOO_LONG;

    *T = CreateExpressTree(expression);      STEP(STEP_TREE, *T, 0);
    flag = 0;                                /* the next expression starts afresh */
    return TOKEN_READ;
}

/* Choices 1 and 2: ask for a prefix expression, build its tree
 * (ReadExpression) and print the three forms (choice 1) or the value
 * (choice 2). A token too long for the buffer, an expression that ends too
 * early and a division by zero get a message instead. Returns ERROR when
 * the input ends before the expression, otherwise OK. */
static Status ExpressionChoice(int sel, char expression[], BiTree *T) {
    STEP_CALL;
    WRITE_TEXT(stdout, TEXT_ASK_EXPRESSION);
    int got = ReadExpression(expression, T);   STEP(STEP_READ, expression, got);
    if (got == TOKEN_END) return ERROR;
    if (got == TOKEN_TOO_LONG) {
        WRITE_TEXT(stdout, TEXT_TOO_LONG);
        return OK;
    }
    if (*T == nullptr) {
        WRITE_TEXT(stdout, TEXT_INCOMPLETE);
        return OK;
    }

    if (sel == 1) {
        WRITE_TEXT(stdout, TEXT_PREFIX);
        PrePrint(*T);
        WRITE_TEXT(stdout, TEXT_INFIX);
        InPrint(*T);
        WRITE_TEXT(stdout, TEXT_POSTFIX);
        PostPrint(*T);
        fputs("\n\n", stdout);
    } else {
        int value;
        if (Calculate(*T, &value) == OK) {
            printf(TEXT_VALUE_FORMAT, value);
        } else {
            WRITE_TEXT(stdout, TEXT_DIVIDE_BY_ZERO);
        }
    }
    return OK;
}

/* ============================ Main loop =================================== */

/* Print the menu, then serve choices until the input ends. A choice is read
 * as a number (ReadChoice), so whatever follows its digits is the start of
 * the choice's first token. Input that is not a number, a number outside
 * int, and an integer other than 0, 1 and 2 get the line "请输入正确功能序号"
 * and the loop goes on. Frees every tree before it returns. Returns the
 * program's exit status: RUN_DONE, or OUTPUT_FAILED after a line on stderr
 * when standard output could not be written (a full disk, /dev/full). */
int RunMenu(void) {
    STEP_CALL;
    int sel;                                 /* the menu choice read last */
    char first[TOKEN_SIZE];                  /* first token: preorder, or the expression */
    char second[TOKEN_SIZE];                 /* choice 0's second token: inorder */
    BiTree T = nullptr;                      /* tree of the latest choice */
    BiThrTree Q = nullptr;                   /* threaded tree of the latest choice 0 */

    WRITE_TEXT(stdout, TEXT_MENU_TITLE);
    WRITE_TEXT(stdout, TEXT_MENU_0);
    WRITE_TEXT(stdout, TEXT_MENU_1);
    WRITE_TEXT(stdout, TEXT_MENU_2);

    Status going = OK;
    while (going == OK) {
        int got = ReadChoice(stdin, &sel);   STEP(STEP_CHOICE, &sel, got);
        if (got == CHOICE_END) break;
        if (got == CHOICE_INVALID) {
            WRITE_TEXT(stdout, TEXT_BAD_CHOICE);
            continue;
        }
        if (sel == 0) {
            going = TreeChoice(first, second, &T, &Q);
        } else if (sel == 1 || sel == 2) {
            going = ExpressionChoice(sel, first, &T);
        } else {
            WRITE_TEXT(stdout, TEXT_BAD_CHOICE);
        }
    }

    DestroyBiTree(T);
    DestroyBiThrTree(Q);
    /* Output to a file or a pipe is buffered, so a failed write (a full
     * disk) may show only when the rest goes out now; the stream's error
     * flag keeps one that failed earlier. */
    if (fflush(stdout) != 0 || ferror(stdout)) {
        WRITE_TEXT(stderr, TEXT_WRITE_FAILED);
        return OUTPUT_FAILED;
    }
    return RUN_DONE;
}
