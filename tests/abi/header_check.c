/* A monitor program in plain C: builds the status query, walks it, frees it.
   Compiled against LUMAstat.h alone, it proves the header and the import
   library serve a C caller. */
#include <LUMAstat.h>
#include <stdio.h>
#include <string.h>

static void FreeQueryTree(InfoNode *node) {
    while (node != NULL) {
        InfoNode *next = node->pNextSibling;
        FreeQueryTree(node->pFirstChild);
        GlobalFree(node);
        node = next;
    }
}

int main(void) {
    PrnInfoEx printer;
    InfoNode *query, *child;
    int texts = 0;

    memset(&printer, 0, sizeof printer);
    printer.dwVersion = PRNINFOEX_MIN_VERSION;

    query = PatCreateQueryInfo(&printer, 2, 0x1E);
    if (query == NULL) {
        printf("PatCreateQueryInfo failed: %lu\n", (unsigned long)GetLastError());
        return 1;
    }
    for (child = query->pFirstChild; child != NULL; child = child->pNextSibling) {
        if (child->id == INFO_PJL_TEXT) {
            /* the text to send, with its terminating NUL */
            const char *pjl = (const char *)INFO_NODE_DATA(child);
            texts += (strlen(pjl) + 1 == child->cbData);
        }
    }
    FreeQueryTree(query);
    printf(texts == 1 ? "1 passed, 0 failed\n" : "0 passed, 1 failed\n");
    return texts == 1 ? 0 : 1;
}
