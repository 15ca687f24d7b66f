// The printer information record's lists and string slots, addressed by
// their key strings ("pTrayInfo", "pModelName"), and the name-to-code lookup
// that the writers share.
#ifndef LUMA_MODEL_PRN_INFO_H
#define LUMA_MODEL_PRN_INFO_H

#include <LUMAstat.h>

// A row of a name-to-code table. The table ends with the row whose pszName
// is NULL; that row's nCode is the table's default.
struct NameCodeRow {
    const char *pszName;
    LONG nCode;
};

// Where a keyed list lives in one record.
struct ListRef {
    ListItem *pHead;    // the head as it was when located
    ListItem **ppHead;  // the record's head field
    DWORD *pnCount;     // the record's count field
};

// Item chains. Items are zero-filled global-heap blocks.
ListItem *AllocListItem(DWORD size);
ListItem *FreeItemChain(ListItem *head);
ListItem *FindListItem(ListItem *head, DWORD id);
ListItem *AppendListItem(ListItem *head, ListItem *item);

LONG LookupNameCode(const char *name, const NameCodeRow *table);

// Keyed members of a record.
BOOL LocateList(PrnInfoEx *info, const char *key, ListRef *out);
BOOL AddListItem(PrnInfoEx *info, const char *key, ListItem *item);
BOOL ClearList(PrnInfoEx *info, const char *key);
BOOL SetStringSlot(PrnInfoEx *info, const char *key, const char *text);

BOOL HasDeviceInfo(const PrnInfoEx *info, DWORD code);
BOOL AddEngineStatus(PrnInfoEx *info, LONG code);

// The typed items are laid out as a ListItem followed by their payload.
template <typename Item>
inline ListItem *AsListItem(Item *item) {
    return reinterpret_cast<ListItem *>(item);
}
template <typename Item>
inline Item *AsItem(ListItem *item) {
    return reinterpret_cast<Item *>(item);
}

#endif
