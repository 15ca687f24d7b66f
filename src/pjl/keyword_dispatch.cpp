#include "keyword_dispatch.h"

#include <string.h>

#include "reply_handlers.h"

namespace {

// The walker's place in the reply.
struct WalkContext {
    char category[PJL_WORD_SIZE];
    char subcategory[PJL_WORD_SIZE];
    char keyword[PJL_WORD_SIZE];
    char subKeyword[PJL_WORD_SIZE];
    char valueWord[PJL_WORD_SIZE];
};

void SetWord(char *word, const char *token) { lstrcpynA(word, token, PJL_WORD_SIZE); }

const KeywordRow *Match(const KeywordRow *start, const WalkContext &c, ULONG_PTR *parameter) {
    return MatchKeywordRow(start, c.category, c.subcategory, c.keyword, c.subKeyword, c.valueWord, parameter);
}

// Every matching model row first, each handed the first matching default
// handler; then every matching default row.
void Dispatch(PjlReplyScanner *scanner, PrnInfoEx *info, const KeywordRow *modelTable, const WalkContext &c) {
    const KeywordRow *r = modelTable;
    const KeywordRow *d = DefaultKeywordTable;
    for (;;) {
        ULONG_PTR modelParameter = 0, defaultParameter = 0;
        const KeywordRow *rm = Match(r, c, &modelParameter);
        const KeywordRow *dm = Match(d, c, &defaultParameter);
        if (rm != nullptr) {
            rm->handler(scanner, info, dm ? AddressOf(dm->handler) : nullptr, modelParameter);
            r = rm + 1;
        } else if (dm != nullptr) {
            dm->handler(scanner, info, AddressOf(dm->handler), defaultParameter);
            r = nullptr;
            d = dm + 1;
        } else {
            return;
        }
    }
}

}  // namespace

const KeywordRow *MatchKeywordRow(const KeywordRow *start, const char *category, const char *subcategory,
                                  const char *keyword, const char *subKeyword, const char *valueWord,
                                  ULONG_PTR *parameter) {
    if (start == nullptr) return nullptr;
    for (const KeywordRow *row = start; row->pszCategory != nullptr; ++row) {
        if (strcmp(row->pszCategory, category) == 0 && strcmp(row->pszSubcategory, subcategory) == 0 &&
            strcmp(row->pszKeyword, keyword) == 0 && strcmp(row->pszSubKeyword, subKeyword) == 0 &&
            strcmp(row->pszValueWord, valueWord) == 0) {
            *parameter = row->parameter;
            return row;
        }
    }
    return nullptr;
}

DWORD DispatchSubTable(PjlReplyScanner *scanner, PrnInfoEx *info, HandlerAddress fallback, ULONG_PTR parameter) {
    const SubKeywordRow *table = reinterpret_cast<const SubKeywordRow *>(parameter);
    char token[PJL_WORD_SIZE];
    for (;;) {
        DWORD kind = 0;
        if (NextPjlToken(scanner, token, sizeof token, &kind) != ERROR_SUCCESS) return ERROR_SUCCESS;
        for (const SubKeywordRow *row = table; row->kind != 0; ++row)
            if (row->kind == kind && strcmp(row->pszText, token) == 0)
                return row->handler(scanner, info, fallback, row->parameter);
        if (kind == PJL_TOKEN_END || kind == PJL_TOKEN_FORMFEED) return ERROR_SUCCESS;
    }
}

DWORD WalkPjlReply(PrnInfoEx *info, const KeywordRow *modelTable, const char *text) {
    WalkContext c;
    c.category[0] = c.subcategory[0] = c.keyword[0] = c.subKeyword[0] = c.valueWord[0] = '\0';
    PjlReplyScanner scanner;
    ResetPjlReplyScanner(&scanner, text);
    ReplyAppendScope appends;  // appends of this walk stay linear in its length
    char token[PJL_WORD_SIZE];
    for (;;) {
        DWORD kind = 0;
        DWORD code = NextPjlToken(&scanner, token, sizeof token, &kind);
        if (code != ERROR_SUCCESS) return code;
        switch (kind) {
            case PJL_TOKEN_COMMAND:
                SetWord(c.category, token);
                c.subcategory[0] = c.keyword[0] = c.subKeyword[0] = c.valueWord[0] = '\0';
                break;
            case PJL_TOKEN_EOL:
                c.subKeyword[0] = c.valueWord[0] = '\0';
                continue;
            case PJL_TOKEN_CATEGORY: SetWord(c.subcategory, token); break;
            case PJL_TOKEN_ITEM: SetWord(c.keyword, token); break;
            case PJL_TOKEN_ENTRY: SetWord(c.subKeyword, token); break;
            case PJL_TOKEN_ENTRY_VALUE: SetWord(c.valueWord, token); break;
            case PJL_TOKEN_END: return ERROR_SUCCESS;
            default: continue;
        }
        Dispatch(&scanner, info, modelTable, c);
    }
}

#define NONE ""

const KeywordRow DefaultKeywordTable[] = {
    {"INFO", "TESL", NONE, NONE, NONE, ReadEmulUniqInfo, 0},
    {"INFO", "CONFIG", NONE, NONE, NONE, ClearDeviceInfo, 0},
    {"INFO", "CONFIG", "VERSION", NONE, NONE, ReadVersions, 0},
    {"INFO", "CONFIG", "IN TRAYS", NONE, NONE, CheckTrayCount, 0},
    {"INFO", "CONFIG", "MEMORY", NONE, NONE, ReadMemorySize, 0},
    {"INFO", "CONFIG", "PUNCH", NONE, NONE, ReadPunchOptions, 0},
    {"INFO", "OUTBINSTATUS", NONE, NONE, NONE, ClearOutBinInfo, 0},
    {"INQUIRE", "PRINTERMARKINGTYPE", NONE, NONE, NONE, ReadMarkingType, 0},
    {"INQUIRE", "REFRESHCOPYPLUGINSTATUS", NONE, NONE, NONE, ReadFuncPackageStatus, 1},
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0},
};

const SubKeywordRow ColorSubTable[] = {
    {PJL_TOKEN_ITEM_VALUE, "TWIN", AddDeviceInfo, 143},
    {0, nullptr, nullptr, 0},
};

const KeywordRow ModelKeywordTable[] = {
    {"INQUIRE", "INTRAY1", NONE, NONE, NONE, ReadTrayLock, 3},
    {"INQUIRE", "INTRAY2", NONE, NONE, NONE, ReadTrayLock, 4},
    {"INQUIRE", "INTRAY3", NONE, NONE, NONE, ReadTrayLock, 5},
    {"INQUIRE", "INTRAY4", NONE, NONE, NONE, ReadTrayLock, 6},
    {"INQUIRE", "INTRAY5", NONE, NONE, NONE, ReadTrayLock, 7},
    {"INQUIRE", "INTRAYMULTI", NONE, NONE, NONE, ReadTrayLock, 1},
    {"INQUIRE", "INTRAY1SIZE", NONE, NONE, NONE, ReadTraySize, 3},
    {"INQUIRE", "INTRAY2SIZE", NONE, NONE, NONE, ReadTraySize, 4},
    {"INQUIRE", "INTRAY3SIZE", NONE, NONE, NONE, ReadTraySize, 5},
    {"INQUIRE", "INTRAY4SIZE", NONE, NONE, NONE, ReadTraySize, 6},
    {"INQUIRE", "INTRAY5SIZE", NONE, NONE, NONE, ReadTraySize, 7},
    {"INQUIRE", "INTRAYMSIZE", NONE, NONE, NONE, ReadTraySize, 1},
    {"INQUIRE", "INTRAY1QUANT", NONE, NONE, NONE, ReadTrayLevel, 3},
    {"INQUIRE", "INTRAY2QUANT", NONE, NONE, NONE, ReadTrayLevel, 4},
    {"INQUIRE", "INTRAY3QUANT", NONE, NONE, NONE, ReadTrayLevel, 5},
    {"INQUIRE", "INTRAY4QUANT", NONE, NONE, NONE, ReadTrayLevel, 6},
    {"INQUIRE", "INTRAY5QUANT", NONE, NONE, NONE, ReadTrayLevel, 7},
    {"INQUIRE", "INTRAY1MEDIA", NONE, NONE, NONE, ReadTrayMedia, 3},
    {"INQUIRE", "INTRAY2MEDIA", NONE, NONE, NONE, ReadTrayMedia, 4},
    {"INQUIRE", "INTRAY3MEDIA", NONE, NONE, NONE, ReadTrayMedia, 5},
    {"INQUIRE", "INTRAY4MEDIA", NONE, NONE, NONE, ReadTrayMedia, 6},
    {"INQUIRE", "INTRAY5MEDIA", NONE, NONE, NONE, ReadTrayMedia, 7},
    {"INQUIRE", "INTRAYMMEDIA", NONE, NONE, NONE, ReadTrayMedia, 1},
    {"INFO", "CONFIG", "IN TRAYS", "INTRAY1", NONE, AddTray, 3},
    {"INFO", "CONFIG", "IN TRAYS", "INTRAY2", NONE, AddTray, 4},
    {"INFO", "CONFIG", "IN TRAYS", "INTRAY3", NONE, AddTray, 5},
    {"INFO", "CONFIG", "IN TRAYS", "INTRAY4", NONE, AddTray, 6},
    {"INFO", "CONFIG", "IN TRAYS", "INTRAY5", NONE, AddTray, 7},
    {"INFO", "CONFIG", "IN TRAYS", "INTRAYMANUAL", NONE, AddTray, 1},
    {"INQUIRE", "FRONTCOVERPRINTTRAY", NONE, NONE, NONE, MarkSpecialTray, 4},
    {"INQUIRE", "SLIPSHEETPRINTTRAY", NONE, NONE, NONE, MarkSpecialTray, 8},
    {"INQUIRE", "CHAPTERPRINTTRAY1", NONE, NONE, NONE, MarkSpecialTray, 0x20},
    {"INFO", "OUTBINSTATUS", "UPPER", NONE, NONE, ReadOutBinStatus, 1},
    {"INFO", "OUTBINSTATUS", "INNER", NONE, NONE, ReadOutBinStatus, 2},
    {"INFO", "OUTBINSTATUS", "LOWER", NONE, NONE, ReadOutBinStatus, 3},
    {"INFO", "OUTBINSTATUS", "FINISHERPROOF", NONE, NONE, ReadOutBinStatus, 5},
    {"INFO", "OUTBINSTATUS", "FINISHERSHIFT", NONE, NONE, ReadOutBinStatus, 4},
    {"INFO", "OUTBINSTATUS", "FINISHERBOOKLET", NONE, NONE, ReadOutBinStatus, 0x1B},
    {"INFO", "CONFIG", "IN TRAYS", "INTRAYMANUAL", NONE, AddDeviceInfo, 0x10},
    {"INFO", "CONFIG", "OUT TRAYS", "OUTTRAYMULTIFUNCTION", NONE, AddDeviceInfo, 7},
    {"INFO", "CONFIG", "OUT TRAYS", "OUTTRAYJOINT", NONE, AddDeviceInfo, 6},
    {"INFO", "CONFIG", "OUT TRAYS", "OUTTRAYBOOKLETA", NONE, AddDeviceInfo, 0x73},
    {"INFO", "CONFIG", "DUPLEX", NONE, NONE, AddDeviceInfo, 1},
    {"INFO", "CONFIG", "DISK", NONE, NONE, AddDeviceInfo, 3},
    {"INFO", "CONFIG", "COLOR", NONE, NONE, DispatchSubTable, reinterpret_cast<ULONG_PTR>(ColorSubTable)},
    {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0},
};
