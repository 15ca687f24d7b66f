#include "reply_scanner.h"

#include <string.h>

namespace {

// ---- characters -------------------------------------------------------------

enum CharFlag : BYTE {
    CH_ENDS_WORD = 0x01,   // NUL, CR, LF, ":", "=", "[", "]"
    CH_SPACE = 0x02,       // ends every word but a data line's opening text
    CH_BLANK = 0x04,       // skipped after every token: space and CR
};

struct CharTable {
    BYTE flags[256];
    BYTE control[256];  // the token kind a control character is read as, or 0
};

constexpr unsigned char kWordEnds[] = {'\0', '\r', '\n', ':', '=', '[', ']'};

constexpr CharTable MakeCharTable() {
    CharTable t{};
    for (unsigned char c : kWordEnds) t.flags[c] |= CH_ENDS_WORD;
    t.flags[static_cast<unsigned char>(' ')] |= CH_SPACE | CH_BLANK;
    t.flags[static_cast<unsigned char>('\r')] |= CH_BLANK;
    t.control[static_cast<unsigned char>('\0')] = PJL_TOKEN_END;
    t.control[static_cast<unsigned char>('\n')] = PJL_TOKEN_EOL;
    t.control[static_cast<unsigned char>('\t')] = PJL_TOKEN_TAB;
    t.control[static_cast<unsigned char>('\f')] = PJL_TOKEN_FORMFEED;
    return t;
}

constexpr CharTable PjlChars = MakeCharTable();

inline BYTE Flags(char c) { return PjlChars.flags[static_cast<unsigned char>(c)]; }

// ---- the state machine ------------------------------------------------------

constexpr BYTE ANY_KIND = 0;
constexpr char ANY_NEXT = 0;  // no row asks for the NUL itself
constexpr BYTE ERROR_STATE = 0;

enum NextAction : BYTE {
    LEAVE = 0,         // the next character stays for the next read
    CONSUME = 1,       // step over it
    CONSUME_SKIP = 2,  // step over it and the blanks after it
};

// What each state reads.
constexpr BYTE PjlStateReads[] = {
    0,                        // (no state 0)
    PJL_TOKEN_PJL,            // 1  searches for "@PJL" instead of reading
    PJL_TOKEN_COMMAND,        // 2
    PJL_TOKEN_CATEGORY,       // 3
    PJL_TOKEN_PREFIX_VALUE,   // 4
    PJL_TOKEN_COMMAND_VALUE,  // 5
    PJL_TOKEN_EOL,            // 6
    PJL_TOKEN_ITEM,           // 7
    PJL_TOKEN_ITEM_VALUE,     // 8
    PJL_TOKEN_COUNT,          // 9
    PJL_TOKEN_COUNT_TYPE,     // 10
    PJL_TOKEN_EOL,            // 11
    PJL_TOKEN_TAB,            // 12
    PJL_TOKEN_ENTRY,          // 13
    PJL_TOKEN_ENTRY_VALUE,    // 14
};
constexpr LONG kLastState = PJL_STATE_ENTRY_VALUE;
static_assert(sizeof PjlStateReads == kLastState + 1, "one row per state");

// Where a read leads, by the kind it gave and the character after it. The
// rows of a state are tried in order; a read that no row of its state takes
// is a syntax error.
struct PjlStep {
    BYTE bState;
    BYTE bKindRead;  // or ANY_KIND
    char cNext;      // or ANY_NEXT
    BYTE bAction;    // on the next character
    BYTE bReport;    // kind reported instead of the one read, or 0
    BYTE bGoesTo;    // or ERROR_STATE
};

constexpr PjlStep PjlStepTable[] = {
    // state                    kind read                next     then          report            goes to
    {PJL_STATE_COMMAND,         PJL_TOKEN_EOL,           ANY_NEXT, LEAVE,        0,                PJL_STATE_SEARCH},
    {PJL_STATE_COMMAND,         ANY_KIND,                ANY_NEXT, LEAVE,        0,                PJL_STATE_CATEGORY},

    {PJL_STATE_CATEGORY,        PJL_TOKEN_EOL,           ANY_NEXT, LEAVE,        0,                PJL_STATE_SEARCH},
    {PJL_STATE_CATEGORY,        ANY_KIND,                ':',      CONSUME_SKIP, PJL_TOKEN_PREFIX, PJL_STATE_PREFIX_VALUE},
    {PJL_STATE_CATEGORY,        ANY_KIND,                '=',      CONSUME_SKIP, 0,                PJL_STATE_COMMAND_VALUE},
    {PJL_STATE_CATEGORY,        ANY_KIND,                ANY_NEXT, LEAVE,        0,                PJL_STATE_COMMAND_END},

    {PJL_STATE_PREFIX_VALUE,    PJL_TOKEN_PREFIX_VALUE,  ANY_NEXT, LEAVE,        0,                PJL_STATE_CATEGORY},

    {PJL_STATE_COMMAND_VALUE,   PJL_TOKEN_EOL,           ANY_NEXT, LEAVE,        0,                PJL_STATE_SEARCH},
    {PJL_STATE_COMMAND_VALUE,   ANY_KIND,                ANY_NEXT, LEAVE,        0,                PJL_STATE_COMMAND_END},

    {PJL_STATE_COMMAND_END,     PJL_TOKEN_EOL,           '@',      LEAVE,        0,                PJL_STATE_SEARCH},
    {PJL_STATE_COMMAND_END,     PJL_TOKEN_EOL,           '\x1B',   LEAVE,        0,                PJL_STATE_SEARCH},
    {PJL_STATE_COMMAND_END,     PJL_TOKEN_EOL,           ANY_NEXT, LEAVE,        0,                PJL_STATE_ITEM},

    {PJL_STATE_ITEM,            PJL_TOKEN_ITEM,          '\n',     LEAVE,        0,                PJL_STATE_LINE_END},
    {PJL_STATE_ITEM,            PJL_TOKEN_ITEM,          '[',      CONSUME,      0,                PJL_STATE_COUNT},
    {PJL_STATE_ITEM,            PJL_TOKEN_ITEM,          '=',      CONSUME,      0,                PJL_STATE_ITEM_VALUE},

    {PJL_STATE_ITEM_VALUE,      PJL_TOKEN_ITEM_VALUE,    '[',      CONSUME,      0,                PJL_STATE_COUNT},
    {PJL_STATE_ITEM_VALUE,      PJL_TOKEN_ITEM_VALUE,    ANY_NEXT, LEAVE,        0,                PJL_STATE_LINE_END},

    {PJL_STATE_COUNT,           PJL_TOKEN_COUNT,         ANY_NEXT, LEAVE,        0,                PJL_STATE_COUNT_TYPE},

    {PJL_STATE_COUNT_TYPE,      PJL_TOKEN_COUNT_TYPE,    ']',      CONSUME_SKIP, 0,                PJL_STATE_LINE_END},
    // No word can start at these, so staying would read the same empty word
    // for ever.
    {PJL_STATE_COUNT_TYPE,      PJL_TOKEN_COUNT_TYPE,    ':',      LEAVE,        0,                ERROR_STATE},
    {PJL_STATE_COUNT_TYPE,      PJL_TOKEN_COUNT_TYPE,    '=',      LEAVE,        0,                ERROR_STATE},
    {PJL_STATE_COUNT_TYPE,      PJL_TOKEN_COUNT_TYPE,    '[',      LEAVE,        0,                ERROR_STATE},
    {PJL_STATE_COUNT_TYPE,      PJL_TOKEN_COUNT_TYPE,    ANY_NEXT, LEAVE,        0,                PJL_STATE_COUNT_TYPE},

    {PJL_STATE_LINE_END,        PJL_TOKEN_EOL,           '@',      LEAVE,        0,                PJL_STATE_SEARCH},
    {PJL_STATE_LINE_END,        PJL_TOKEN_EOL,           '\t',     LEAVE,        0,                PJL_STATE_ENTRY_START},
    {PJL_STATE_LINE_END,        PJL_TOKEN_EOL,           '\f',     LEAVE,        0,                PJL_STATE_ENTRY_START},
    {PJL_STATE_LINE_END,        PJL_TOKEN_EOL,           ANY_NEXT, LEAVE,        0,                PJL_STATE_ITEM},

    {PJL_STATE_ENTRY_START,     PJL_TOKEN_FORMFEED,      ANY_NEXT, LEAVE,        0,                PJL_STATE_SEARCH},
    {PJL_STATE_ENTRY_START,     PJL_TOKEN_TAB,           ANY_NEXT, LEAVE,        0,                PJL_STATE_ENTRY},

    {PJL_STATE_ENTRY,           PJL_TOKEN_ENTRY,         '=',      CONSUME_SKIP, 0,                PJL_STATE_ENTRY_VALUE},
    {PJL_STATE_ENTRY,           PJL_TOKEN_ENTRY,         '\n',     LEAVE,        0,                PJL_STATE_LINE_END},
    {PJL_STATE_ENTRY,           PJL_TOKEN_ENTRY,         ANY_NEXT, LEAVE,        0,                PJL_STATE_ENTRY_VALUE},

    {PJL_STATE_ENTRY_VALUE,     PJL_TOKEN_ENTRY_VALUE,   '\n',     LEAVE,        0,                PJL_STATE_LINE_END},

    {0, 0, 0, 0, 0, 0},
};

// The first row of each state, so that a step looks only at its own rows.
struct StepIndex {
    BYTE first[kLastState + 2];
};

constexpr StepIndex IndexSteps() {
    StepIndex index{};
    BYTE row = 0;
    for (LONG state = 0; state <= kLastState + 1; ++state) {
        while (PjlStepTable[row].bState != 0 && PjlStepTable[row].bState < state) ++row;
        index.first[state] = row;
    }
    return index;
}

constexpr StepIndex PjlStepIndex = IndexSteps();

constexpr bool StepsInStateOrder() {
    for (unsigned i = 1; PjlStepTable[i].bState != 0; ++i)
        if (PjlStepTable[i].bState < PjlStepTable[i - 1].bState) return false;
    return true;
}
static_assert(StepsInStateOrder(), "the rows of a state stand together, in state order");

const PjlStep *FindStep(LONG state, DWORD kindRead, char next) {
    const PjlStep *step = &PjlStepTable[PjlStepIndex.first[state]];
    for (; step->bState == state; ++step) {
        if (step->bKindRead != ANY_KIND && step->bKindRead != kindRead) continue;
        if (step->cNext != ANY_NEXT && step->cNext != next) continue;
        return step;
    }
    return nullptr;
}

// Copies [start, end) cut to size - 1 characters and drops trailing spaces.
void StoreToken(const char *start, const char *end, char *buffer, DWORD size) {
    DWORD n = static_cast<DWORD>(end - start);
    if (n > size - 1) n = size - 1;
    while (n > 0 && start[n - 1] == ' ') --n;
    memcpy(buffer, start, n);
    buffer[n] = '\0';
}

const char kPjl[] = "@PJL";
constexpr DWORD kPjlLength = sizeof kPjl - 1;

}  // namespace

DWORD ResetPjlReplyScanner(PjlReplyScanner *scanner, const char *text) {
    scanner->pszCursor = text != nullptr ? text : "";
    scanner->nState = PJL_STATE_SEARCH;
    return ERROR_SUCCESS;
}

void SkipBlanks(PjlReplyScanner *scanner) {
    const char *p = scanner->pszCursor;
    while (Flags(*p) & CH_BLANK) ++p;
    scanner->pszCursor = p;
}

DWORD ReadPjlField(PjlReplyScanner *scanner, DWORD expected, char *buffer, DWORD size) {
    const char *start = scanner->pszCursor;
    const char *end;
    const char *next;
    DWORD kind = PjlChars.control[static_cast<unsigned char>(*start)];
    if (kind != 0) {
        // A control character is a token of its own; the NUL stays put.
        end = *start != '\0' ? start + 1 : start;
        next = end;
    } else if (*start == '"') {
        ++start;
        end = start;
        while (*end != '"' && *end != '\0') ++end;
        next = *end == '"' ? end + 1 : end;
        kind = expected;
    } else {
        BYTE stops = expected == PJL_TOKEN_ITEM ? CH_ENDS_WORD : CH_ENDS_WORD | CH_SPACE;
        end = start;
        while (!(Flags(*end) & stops)) ++end;
        next = end;
        kind = expected;
    }
    if (size != 0) StoreToken(start, end, buffer, size);
    scanner->pszCursor = next;
    SkipBlanks(scanner);
    return kind;
}

DWORD NextPjlToken(PjlReplyScanner *scanner, char *buffer, DWORD size, DWORD *kind) {
    if (scanner == nullptr || scanner->pszCursor == nullptr || buffer == nullptr || size == 0 || kind == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (scanner->nState < PJL_STATE_SEARCH || scanner->nState > kLastState) scanner->nState = PJL_STATE_SEARCH;

    if (scanner->nState == PJL_STATE_SEARCH) {
        const char *p = scanner->pszCursor;
        const char *at;
        while ((at = strchr(p, '@')) != nullptr && strncmp(at, kPjl, kPjlLength) != 0) p = at + 1;
        if (at == nullptr) {
            scanner->pszCursor = p + strlen(p);
            *kind = PJL_TOKEN_END;
            return ERROR_SUCCESS;
        }
        StoreToken(at, at + kPjlLength, buffer, size);
        scanner->pszCursor = at + kPjlLength;
        SkipBlanks(scanner);
        *kind = PJL_TOKEN_PJL;
        scanner->nState = PJL_STATE_COMMAND;
        return ERROR_SUCCESS;
    }

    DWORD read = ReadPjlField(scanner, PjlStateReads[scanner->nState], buffer, size);
    *kind = read;
    const PjlStep *step = FindStep(scanner->nState, read, *scanner->pszCursor);
    if (step == nullptr || step->bGoesTo == ERROR_STATE) {
        scanner->nState = PJL_STATE_SEARCH;
        return ERROR_INVALID_DATA;
    }
    // Rows that step over the next character name it, so the NUL is never
    // stepped over.
    if (step->bAction != LEAVE) ++scanner->pszCursor;
    if (step->bAction == CONSUME_SKIP) SkipBlanks(scanner);
    if (step->bReport != 0) *kind = step->bReport;
    scanner->nState = step->bGoesTo;

    // The text may end only between blocks.
    if (*kind == PJL_TOKEN_END && scanner->nState != PJL_STATE_SEARCH) {
        scanner->nState = PJL_STATE_SEARCH;
        return ERROR_INVALID_DATA;
    }
    return ERROR_SUCCESS;
}
