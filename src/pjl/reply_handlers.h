// The handlers that the keyword tables bind to places in a PJL reply, and
// the value tables that turn the printer's words into codes.
#ifndef LUMA_PJL_REPLY_HANDLERS_H
#define LUMA_PJL_REPLY_HANDLERS_H

#include <LUMAstat.h>

#include "../model/prn_info.h"
#include "keyword_dispatch.h"

// Numbers in tokens: unsigned base 10, leading blanks and a sign accepted
// (minus negates modulo 2^32), 4294967295 when too large.
DWORD ReadPjlNumber(const char *text);

extern const NameCodeRow MemoryUsageTable[];
extern const NameCodeRow ImageRotationTable[];
extern const NameCodeRow MarkingTypeTable[];
extern const NameCodeRow PackageStatusTable[];
extern const NameCodeRow EmulationTable[];
extern const NameCodeRow TrayNameTable[];
extern const NameCodeRow FillLevelTable[];
extern const NameCodeRow PaperSizeTable[];
extern const NameCodeRow MediaTypeTable[];

struct FunctionPackageRow {
    const char *pszName;
    WORD wDeviceCode;
};
extern const FunctionPackageRow FunctionPackageTable[];

#define OPTION_SET_NAMES 5
struct OptionNameSetRow {
    const char *names[OPTION_SET_NAMES];  // used cells first; a NULL first cell ends the table
    WORD wDeviceCode;
};
extern const OptionNameSetRow OptionNameSetTable[];

// The item with `code` in the list, or a new one appended to it; NULL when
// the allocation fails.
ListItem *FindOrAddItem(ListItem **head, DWORD size, WORD code, DWORD *count);

// While one lives, appends of the reply handlers to a record's lists go
// straight to the end the scope remembers instead of walking from the head,
// so a reply of many lines costs time in proportion to its length.
class ReplyAppendScope {
public:
    ReplyAppendScope();
    ~ReplyAppendScope();
    ReplyAppendScope(const ReplyAppendScope &) = delete;
    ReplyAppendScope &operator=(const ReplyAppendScope &) = delete;

    struct Tail {
        const PrnInfoEx *info;
        const char *key;
        ListItem *head;
        ListItem *last;
        DWORD count;
    };
    Tail *Find(const PrnInfoEx *info, const char *key);
    void Forget(const PrnInfoEx *info, const char *key);

private:
    static constexpr int kTails = 8;
    Tail tails_[kTails];
    int next_ = 0;
    ReplyAppendScope *outer_;
};

#define REPLY_HANDLER(name) \
    DWORD name(PjlReplyScanner *scanner, PrnInfoEx *info, HandlerAddress fallback, ULONG_PTR parameter)

REPLY_HANDLER(ReadEmulUniqInfo);
REPLY_HANDLER(ClearDeviceInfo);
REPLY_HANDLER(ReadVersions);
REPLY_HANDLER(CheckTrayCount);
REPLY_HANDLER(ReadMemorySize);
REPLY_HANDLER(ReadPunchOptions);
REPLY_HANDLER(ClearOutBinInfo);
REPLY_HANDLER(ReadMarkingType);
REPLY_HANDLER(ReadFuncPackageStatus);
REPLY_HANDLER(ReadTrayLock);
REPLY_HANDLER(ReadTraySize);
REPLY_HANDLER(ReadTrayLevel);
REPLY_HANDLER(ReadTrayMedia);
REPLY_HANDLER(AddTray);
REPLY_HANDLER(MarkSpecialTray);
REPLY_HANDLER(ReadOutBinStatus);
REPLY_HANDLER(AddDeviceInfo);

#endif
