// The PJL reply scanner: cuts a printer's reply text into typed tokens, one
// token per call, without changing the text.
#ifndef LUMA_PJL_REPLY_SCANNER_H
#define LUMA_PJL_REPLY_SCANNER_H

#include <LUMAstat.h>

enum PjlTokenKind : DWORD {
    PJL_TOKEN_PJL = 1,             // the "@PJL" that opens a command line
    PJL_TOKEN_COMMAND = 2,         // the first word after it
    PJL_TOKEN_EOL = 3,             // a line feed, or a word where a line end was due
    PJL_TOKEN_CATEGORY = 4,        // the second word of a command line
    PJL_TOKEN_PREFIX = 5,          // that word when a colon follows it
    PJL_TOKEN_PREFIX_VALUE = 6,    // the word after the colon
    PJL_TOKEN_COMMAND_VALUE = 7,   // the value after "=" on a command line
    PJL_TOKEN_ITEM = 8,            // the text that opens a data line, spaces included
    PJL_TOKEN_ITEM_VALUE = 9,      // the value after "=" on a data line
    PJL_TOKEN_COUNT = 10,          // the first word in brackets
    PJL_TOKEN_COUNT_TYPE = 11,     // each further word in brackets
    PJL_TOKEN_ENTRY = 12,          // the first word of a tab-indented entry line
    PJL_TOKEN_ENTRY_VALUE = 13,    // the word after it
    PJL_TOKEN_FORMFEED = 14,       // the end of a reply block
    PJL_TOKEN_TAB = 15,            // the tab that opens an entry line
    PJL_TOKEN_END = 255,           // the end of the text
};

// Where the scanner stands in the reply syntax.
enum PjlScanState : LONG {
    PJL_STATE_SEARCH = 1,          // looking for the next "@PJL"
    PJL_STATE_COMMAND = 2,
    PJL_STATE_CATEGORY = 3,
    PJL_STATE_PREFIX_VALUE = 4,
    PJL_STATE_COMMAND_VALUE = 5,
    PJL_STATE_COMMAND_END = 6,     // the line end of a command line
    PJL_STATE_ITEM = 7,
    PJL_STATE_ITEM_VALUE = 8,
    PJL_STATE_COUNT = 9,
    PJL_STATE_COUNT_TYPE = 10,
    PJL_STATE_LINE_END = 11,       // the line end of a data or entry line
    PJL_STATE_ENTRY_START = 12,    // a tab, or the form feed that ends the block
    PJL_STATE_ENTRY = 13,
    PJL_STATE_ENTRY_VALUE = 14,
};

struct PjlReplyScanner {
    const char *pszCursor;  // next character of a NUL-terminated text
    LONG nState;
};

DWORD ResetPjlReplyScanner(PjlReplyScanner *scanner, const char *text);
// Stores the next token (cut to size - 1 characters) and its kind. Returns 0,
// or ERROR_INVALID_DATA where the text leaves the reply syntax; the next call
// then goes on from the next "@PJL".
DWORD NextPjlToken(PjlReplyScanner *scanner, char *buffer, DWORD size, DWORD *kind);

DWORD ReadPjlField(PjlReplyScanner *scanner, DWORD expected, char *buffer, DWORD size);
void SkipBlanks(PjlReplyScanner *scanner);

#endif
