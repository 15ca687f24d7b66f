#include "query_builder.h"

#include <string.h>

#include "../model/info_node.h"

#define UEL "\x1B%-12345X"

namespace {

const char kOpening[] = UEL "@PJL\r\n";
const char kConfigLine[] = "@PJL INFO CONFIG\r\n";
const char kTrayAssignmentLines[] =
    "@PJL INQUIRE FRONTCOVERPRINTTRAY\r\n"
    "@PJL INQUIRE SLIPSHEETPRINTTRAY\r\n"
    "@PJL INQUIRE CHAPTERPRINTTRAY1\r\n";
const char kOutBinLine[] = "@PJL INFO OUTBINSTATUS\r\n";
const char kClosing[] = UEL;
const char kEmulQuery[] = UEL "@PJL\r\n@PJL INFO TESL\r\n" UEL;

constexpr WORD kTableEnd = 0xFFFF;
constexpr DWORD kFirstBuffer = 1024;

// The query text: a 1024-byte buffer on the stack that moves to the global
// heap when a long tray list needs more, so the text is never cut.
class QueryText {
public:
    QueryText() { text_[0] = '\0'; }
    ~QueryText() {
        if (heap_ != nullptr) GlobalFree(heap_);
    }
    QueryText(const QueryText &) = delete;
    QueryText &operator=(const QueryText &) = delete;

    void Append(const char *piece) {
        if (failed_) return;
        DWORD n = static_cast<DWORD>(strlen(piece));
        if (!Reserve(length_ + n + 1)) {
            failed_ = true;
            return;
        }
        memcpy(Data() + length_, piece, n + 1);
        length_ += n;
    }
    bool Failed() const { return failed_; }
    const char *Text() const { return heap_ ? heap_ : text_; }
    DWORD Length() const { return length_; }

private:
    char *Data() { return heap_ ? heap_ : text_; }
    bool Reserve(DWORD need) {
        if (need <= capacity_) return true;
        DWORD grown = capacity_;
        while (grown < need) {
            if (grown > 0x40000000u) return false;
            grown *= 2;
        }
        char *bigger = static_cast<char *>(GlobalAlloc(GMEM_FIXED, grown));
        if (bigger == nullptr) return false;
        memcpy(bigger, Data(), length_ + 1);
        if (heap_ != nullptr) GlobalFree(heap_);
        heap_ = bigger;
        capacity_ = grown;
        return true;
    }

    char text_[kFirstBuffer];
    char *heap_ = nullptr;
    DWORD capacity_ = kFirstBuffer;
    DWORD length_ = 0;
    bool failed_ = false;
};

void AppendTrayBlocks(QueryText &text, const TrayInfo *trays) {
    if (trays == nullptr) {
        for (const TrayQueryRow *row = TrayQueryTable; row->wTray != kTableEnd; ++row)
            if (!row->fOnRequestOnly) text.Append(row->pszInquiry);
        return;
    }
    for (const TrayInfo *item = trays; item != nullptr && !text.Failed(); item = item->pNext)
        for (const TrayQueryRow *row = TrayQueryTable; row->wTray != kTableEnd; ++row)
            if (row->wTray == item->wTrayCode) text.Append(row->pszInquiry);
}

}  // namespace

const TrayQueryRow TrayQueryTable[] = {
    {3, 0,
     "@PJL INQUIRE INTRAY1SIZE\r\n@PJL INQUIRE INTRAY1QUANT\r\n@PJL INQUIRE INTRAY1MEDIA\r\n@PJL INQUIRE INTRAY1\r\n"},
    {4, 0,
     "@PJL INQUIRE INTRAY2SIZE\r\n@PJL INQUIRE INTRAY2QUANT\r\n@PJL INQUIRE INTRAY2MEDIA\r\n@PJL INQUIRE INTRAY2\r\n"},
    {5, 0,
     "@PJL INQUIRE INTRAY3SIZE\r\n@PJL INQUIRE INTRAY3QUANT\r\n@PJL INQUIRE INTRAY3MEDIA\r\n@PJL INQUIRE INTRAY3\r\n"},
    {6, 0,
     "@PJL INQUIRE INTRAY4SIZE\r\n@PJL INQUIRE INTRAY4QUANT\r\n@PJL INQUIRE INTRAY4MEDIA\r\n@PJL INQUIRE INTRAY4\r\n"},
    {7, 0,
     "@PJL INQUIRE INTRAY5SIZE\r\n@PJL INQUIRE INTRAY5QUANT\r\n@PJL INQUIRE INTRAY5MEDIA\r\n@PJL INQUIRE INTRAY5\r\n"},
    {1, 0, "@PJL INQUIRE INTRAYMSIZE\r\n@PJL INQUIRE INTRAYMMEDIA\r\n@PJL INQUIRE INTRAYMULTI\r\n"},
    {kTableEnd, 1, ""},
};

DWORD BuildStatusQuery(const PrnInfoEx *info, DWORD queryFlags, InfoNode *root) {
    if (info->dwVersion < PRNINFOEX_MIN_VERSION) return ERROR_INVALID_PARAMETER;

    QueryText text;
    text.Append(kOpening);
    if (queryFlags & QUERY_FLAGS_DEVICE_ID) CreateInfoNode(root, INFO_DEVICE_ID, nullptr, 0);

    bool added = false;
    if (queryFlags & QUERY_FLAGS_CONFIG) {
        text.Append(kConfigLine);
        added = true;
    }
    if (queryFlags & QUERY_FLAGS_TRAYS) {
        text.Append(kTrayAssignmentLines);
        AppendTrayBlocks(text, info->pTrayInfo);
        added = true;
    }
    if (queryFlags & QUERY_FLAGS_OUTBINS) {
        text.Append(kOutBinLine);
        added = true;
    }
    if (!added) return ERROR_SUCCESS;

    text.Append(kClosing);
    // Like a node that cannot be allocated, a text that cannot grow is left
    // out rather than sent cut short.
    if (!text.Failed()) CreateInfoNode(root, INFO_PJL_TEXT, text.Text(), text.Length() + 1);
    return ERROR_SUCCESS;
}

DWORD BuildEmulQuery(WORD emulClass, InfoNode *root) {
    if (emulClass != EMUL_CLASS_TESL) return ERROR_INVALID_PARAMETER;
    CreateInfoNode(root, INFO_PJL_TEXT, kEmulQuery, sizeof kEmulQuery);
    return ERROR_SUCCESS;
}
