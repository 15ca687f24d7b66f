// Keyword dispatch of PJL replies: the walker with its five-word context and
// the keyword tables that bind places in a reply to their handlers.
#ifndef LUMA_PJL_KEYWORD_DISPATCH_H
#define LUMA_PJL_KEYWORD_DISPATCH_H

#include <LUMAstat.h>

#include "reply_scanner.h"

// Every token and context word of the walk fits 47 characters.
#define PJL_WORD_SIZE 48

// A handler's third argument is itself a handler; a function type cannot
// name itself, so it travels as a plain code address (no handler reads it).
typedef void (*HandlerAddress)(void);
typedef DWORD (*KeywordHandler)(PjlReplyScanner *scanner, PrnInfoEx *info, HandlerAddress fallback,
                                ULONG_PTR parameter);

inline HandlerAddress AddressOf(KeywordHandler handler) { return reinterpret_cast<HandlerAddress>(handler); }

struct KeywordRow {
    const char *pszCategory;  // NULL ends a table
    const char *pszSubcategory;
    const char *pszKeyword;
    const char *pszSubKeyword;
    const char *pszValueWord;
    KeywordHandler handler;
    ULONG_PTR parameter;
};

struct SubKeywordRow {
    DWORD kind;  // 0 ends a table
    const char *pszText;
    KeywordHandler handler;
    ULONG_PTR parameter;
};

extern const KeywordRow DefaultKeywordTable[];
extern const KeywordRow ModelKeywordTable[];
extern const SubKeywordRow ColorSubTable[];

const KeywordRow *MatchKeywordRow(const KeywordRow *start, const char *category, const char *subcategory,
                                  const char *keyword, const char *subKeyword, const char *valueWord,
                                  ULONG_PTR *parameter);

DWORD DispatchSubTable(PjlReplyScanner *scanner, PrnInfoEx *info, HandlerAddress fallback, ULONG_PTR parameter);

// Walks one reply text into the record; 0, or the scanner's error.
DWORD WalkPjlReply(PrnInfoEx *info, const KeywordRow *modelTable, const char *text);

#endif
