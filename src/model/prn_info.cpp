#include "prn_info.h"

#include <stddef.h>
#include <string.h>

namespace {

// The record's keyed lists: each count sits 4 bytes before its head.
struct ListKeyRow {
    const char *pszKey;
    DWORD dwCountOffset;
    DWORD dwHeadOffset;
};

#define LIST_KEY(count, head) {#head, offsetof(PrnInfoEx, count), offsetof(PrnInfoEx, head)}

const ListKeyRow ListKeyTable[] = {
    LIST_KEY(nEngineStatus, pEngineStatus),
    LIST_KEY(nLoadedEmul, pLoadedEmul),
    LIST_KEY(nLoadedFont, pLoadedFont),
    LIST_KEY(nTrayInfo, pTrayInfo),
    LIST_KEY(nOutBinInfo, pOutBinInfo),
    LIST_KEY(nDeviceInfo, pDeviceInfo),
    LIST_KEY(nEmulUniqInfo, pEmulUniqInfo),
    LIST_KEY(nCounterInfo, pCounterInfo),
    LIST_KEY(nSupplyInfo, pSupplyInfo),
    LIST_KEY(nColorCorrection, pColorCorrection),
    LIST_KEY(nCustomMediaInfo, pCustomMediaInfo),
    LIST_KEY(nFuncpkgInfo, pFuncpkgInfo),
    LIST_KEY(nFuncInfo, pFuncInfo),
    LIST_KEY(nSalespkgInfo, pSalespkgInfo),
    {nullptr, 0, 0},
};

#undef LIST_KEY

// The record's keyed string slots.
struct SlotKeyRow {
    const char *pszKey;
    DWORD dwOffset;
};

#define SLOT_KEY(slot) {#slot, offsetof(PrnInfoEx, slot)}

const SlotKeyRow StringSlotTable[] = {
    SLOT_KEY(pModelName),
    SLOT_KEY(pMakerName),
    SLOT_KEY(pDescription),
    SLOT_KEY(pSYSVersion),
    SLOT_KEY(pMainProgVersion),
    SLOT_KEY(pKPSVersion),
    {nullptr, 0},
};

#undef SLOT_KEY

// Every item type starts with a ListItem but is its own struct, so links and
// ids are moved as bytes rather than read through a pointer of another type.
ListItem *LoadLink(const void *field) {
    ListItem *link;
    memcpy(&link, field, sizeof link);
    return link;
}

void StoreLink(void *field, ListItem *link) { memcpy(field, &link, sizeof link); }

WORD ItemId(const ListItem *item) {
    WORD id;
    memcpy(&id, reinterpret_cast<const BYTE *>(item) + sizeof(ListItem), sizeof id);
    return id;
}

BYTE *Member(PrnInfoEx *info, DWORD offset) { return reinterpret_cast<BYTE *>(info) + offset; }

}  // namespace

ListItem *AllocListItem(DWORD size) {
    // An item smaller than its header could not hold its own link.
    if (size < sizeof(ListItem)) return nullptr;
    auto *item = static_cast<ListItem *>(GlobalAlloc(GPTR, size));
    if (item == nullptr) return nullptr;
    item->pNext = nullptr;
    item->dwSize = size;
    return item;
}

ListItem *FreeItemChain(ListItem *head) {
    while (head != nullptr) {
        ListItem *next = LoadLink(head);
        GlobalFree(head);
        head = next;
    }
    return nullptr;
}

ListItem *FindListItem(ListItem *head, DWORD id) {
    if (id > 0xFFFF) return nullptr;
    for (ListItem *item = head; item != nullptr; item = LoadLink(item))
        if (ItemId(item) == id) return item;
    return nullptr;
}

ListItem *AppendListItem(ListItem *head, ListItem *item) {
    if (head == nullptr) return item;
    ListItem *last = head;
    for (ListItem *next; (next = LoadLink(last)) != nullptr;) last = next;
    StoreLink(last, item);
    return head;
}

LONG LookupNameCode(const char *name, const NameCodeRow *table) {
    if (name == nullptr || table == nullptr) return -1;
    const NameCodeRow *row = table;
    while (row->pszName != nullptr && strcmp(row->pszName, name) != 0) ++row;
    return row->nCode;
}

BOOL LocateList(PrnInfoEx *info, const char *key, ListRef *out) {
    if (info == nullptr || key == nullptr || out == nullptr) return FALSE;
    for (const ListKeyRow *row = ListKeyTable; row->pszKey != nullptr; ++row) {
        if (strcmp(row->pszKey, key) != 0) continue;
        out->ppHead = reinterpret_cast<ListItem **>(Member(info, row->dwHeadOffset));
        out->pnCount = reinterpret_cast<DWORD *>(Member(info, row->dwCountOffset));
        out->pHead = LoadLink(out->ppHead);
        return TRUE;
    }
    return FALSE;
}

BOOL AddListItem(PrnInfoEx *info, const char *key, ListItem *item) {
    ListRef list;
    // A missing item would leave the count above the items it counts.
    if (item == nullptr || !LocateList(info, key, &list)) return FALSE;
    StoreLink(list.ppHead, AppendListItem(list.pHead, item));
    *list.pnCount += 1;
    return TRUE;
}

BOOL ClearList(PrnInfoEx *info, const char *key) {
    ListRef list;
    if (!LocateList(info, key, &list)) return FALSE;
    StoreLink(list.ppHead, FreeItemChain(list.pHead));
    *list.pnCount = 0;
    return TRUE;
}

BOOL SetStringSlot(PrnInfoEx *info, const char *key, const char *text) {
    if (info == nullptr || key == nullptr || text == nullptr) return FALSE;
    const SlotKeyRow *row = StringSlotTable;
    while (row->pszKey != nullptr && strcmp(row->pszKey, key) != 0) ++row;
    if (row->pszKey == nullptr) return FALSE;

    BYTE *slot = Member(info, row->dwOffset);
    char *old;
    memcpy(&old, slot, sizeof old);
    // The copy is made before the old string goes, so that a text taken from
    // the slot itself is still there to copy. A failed copy still empties
    // the slot: the old string is being replaced either way.
    size_t size = strlen(text) + 1;
    char *copy = static_cast<char *>(GlobalAlloc(GMEM_FIXED, size));
    if (copy != nullptr) memcpy(copy, text, size);
    if (old != nullptr) GlobalFree(old);
    memcpy(slot, &copy, sizeof copy);
    return copy != nullptr;
}

BOOL HasDeviceInfo(const PrnInfoEx *info, DWORD code) {
    if (info == nullptr) return FALSE;
    return FindListItem(AsListItem(info->pDeviceInfo), code & 0xFFFF) != nullptr;
}

BOOL AddEngineStatus(PrnInfoEx *info, LONG code) {
    if (info == nullptr) return FALSE;
    EngineStatus *status = AsItem<EngineStatus>(AllocListItem(sizeof(EngineStatus)));
    if (status == nullptr) return FALSE;
    status->wCode = static_cast<WORD>(code);
    status->dwCode = static_cast<DWORD>(code);
    return AddListItem(info, "pEngineStatus", AsListItem(status));
}
