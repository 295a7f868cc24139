/* output.cpp -- the leaving order in "out.txt".
 *
 * The file holds each seat number followed by one space, in leaving order,
 * and nothing else: no line break, not even after the last number. */
#include "output.h"

#include <cstdio>
#include <cstdlib>

#include "messages.h"
#include "status.h"

/* Write the seat numbers of the leaving list that starts with the head node
 * leaving to "out.txt" in the current directory (created, or emptied when it
 * exists), then free every node of the list, head included. When the file
 * cannot be opened or written, prints "error" on stdout and returns ERROR
 * (the list is freed all the same); otherwise returns OK. */
int Out(node *leaving) {
    int status = OK;
    FILE *fp = fopen("out.txt", "w+");
    if (fp == nullptr) {
        status = ERROR;
    } else {
        for (node *p = leaving->next; p != nullptr; p = p->next)
            if (fprintf(fp, "%d ", p->num) < 0) status = ERROR;
        /* Closing flushes the buffer, so a full disk shows up here. */
        if (fclose(fp) != 0) status = ERROR;
    }
    if (status != OK) fputs(TEXT_OUTPUT_ERROR, stdout);

    /* Free the people after the head, reading each link before its node
     * goes, and the head last. */
    node *p = leaving->next;
    while (p != nullptr) {
        node *next = p->next;
        free(p);
        p = next;
    }
    free(leaving);
    return status;
}
