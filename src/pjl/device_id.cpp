#include "device_id.h"

#include <string.h>

namespace {

struct DeviceIdKeyRow {
    const char *pszKey;  // NULL ends the table
    DeviceIdFieldReader reader;
};

const DeviceIdKeyRow DeviceIdKeyTable[] = {
    {"CMD", ReadCmdField}, {"MFG", ReadMfgField}, {"MDL", ReadMdlField}, {"DES", ReadDesField},
    {"STS", ReadStsField}, {"RIJ", ReadRijField}, {nullptr, nullptr},
};

// A signed decimal number: leading blanks, an optional sign, the digits up
// to the first other character; 0 without digits.
LONG ReadSignedNumber(const char *text) {
    const char *p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    DWORD value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) value = value * 10 + static_cast<DWORD>(*p - '0');
    return static_cast<LONG>(negative ? 0u - value : value);
}

DWORD ReadStringField(const char *value, PrnInfoEx *info, const char **position, const char *slot) {
    char field[DEVICE_ID_FIELD_SIZE];
    *position = SplitField(value, field, sizeof field, ";");
    return SetStringSlot(info, slot, field) ? ERROR_SUCCESS : ERROR_NOT_ENOUGH_MEMORY;
}

bool TableHasRows(const NameCodeRow *table) { return table[0].pszName != nullptr; }

}  // namespace

const NameCodeRow CommandSetTable[] = {{nullptr, 0}};
const NameCodeRow ModelTable[] = {{nullptr, 255}};
const WORD SupplyCodeList[] = {SUPPLY_CODE_END};

const char *SplitField(const char *source, char *destination, DWORD capacity, const char *delimiters) {
    DWORD copied = 0;
    const char *p = source;
    while (*p != '\0' && strchr(delimiters, *p) == nullptr && copied + 1 < capacity) destination[copied++] = *p++;
    if (capacity > 0) destination[copied] = '\0';
    return *p == '\0' ? p : p + 1;
}

BOOL IsErrorStatusCode(LONG code) {
    const DWORD v = static_cast<DWORD>(code);
    if (v == 10002 || v == 10042) return TRUE;
    if (v > 40000 && v < 50000) return !(v == 40342 || (v >= 40440 && v <= 40443));
    return FALSE;
}

DWORD ReadMfgField(const char *value, PrnInfoEx *info, const char **position) {
    return ReadStringField(value, info, position, "pMakerName");
}

DWORD ReadDesField(const char *value, PrnInfoEx *info, const char **position) {
    return ReadStringField(value, info, position, "pDescription");
}

DWORD ReadMdlField(const char *value, PrnInfoEx *info, const char **position) {
    char field[DEVICE_ID_FIELD_SIZE];
    *position = SplitField(value, field, sizeof field, ";");
    if (SetStringSlot(info, "pModelName", field))
        info->bModelCode = static_cast<BYTE>(LookupNameCode(info->pModelName, ModelTable));
    else
        info->bModelCode = 255;
    return ERROR_SUCCESS;
}

DWORD ReadCmdField(const char *value, PrnInfoEx *info, const char **position) {
    char field[DEVICE_ID_FIELD_SIZE];
    *position = SplitField(value, field, sizeof field, ";");
    if (!TableHasRows(CommandSetTable)) return ERROR_SUCCESS;  // keep what other sources listed
    ClearList(info, "pLoadedEmul");
    const char *cursor = field;
    while (*cursor != '\0') {
        char piece[DEVICE_ID_PIECE_SIZE];
        cursor = SplitField(cursor, piece, sizeof piece, ",");
        if (piece[0] == '\0') continue;
        auto *item = AsItem<LoadedEmul>(AllocListItem(sizeof(LoadedEmul)));
        if (item == nullptr) continue;
        item->wEmulCode = static_cast<WORD>(LookupNameCode(piece, CommandSetTable));
        AddListItem(info, "pLoadedEmul", AsListItem(item));
    }
    return ERROR_SUCCESS;
}

DWORD ReadStsField(const char *value, PrnInfoEx *info, const char **position) {
    ClearList(info, "pEngineStatus");
    BOOL error = FALSE;
    char codes[DEVICE_ID_FIELD_SIZE];
    const char *rest = SplitField(value, codes, sizeof codes, ",");
    for (const char *cursor = codes; *cursor != '\0';) {
        char piece[DEVICE_ID_PIECE_SIZE];
        cursor = SplitField(cursor, piece, sizeof piece, "/");
        if (piece[0] == '\0') continue;
        auto *item = AsItem<EngineStatus>(AllocListItem(sizeof(EngineStatus)));
        if (item == nullptr) continue;
        const LONG v = ReadSignedNumber(piece);
        item->dwCode = static_cast<DWORD>(v);
        item->wCode = static_cast<WORD>(v);
        AddListItem(info, "pEngineStatus", AsListItem(item));
        if (!error) error = IsErrorStatusCode(v);
    }
    char tail[DEVICE_ID_FIELD_SIZE];
    *position = SplitField(rest, tail, sizeof tail, ";");
    char online[DEVICE_ID_PIECE_SIZE];
    const char *text = SplitField(tail, online, sizeof online, ",");
    const BYTE o = static_cast<BYTE>(ReadSignedNumber(online));
    info->bOnline = o;
    info->bOffline = o != 1 ? 1 : 0;
    info->bError = error ? 1 : 0;
    if (*text != '\0')
        for (EngineStatus *item = info->pEngineStatus; item != nullptr; item = item->pNext)
            lstrcpynA(item->szText, text, sizeof item->szText);
    return ERROR_SUCCESS;
}

DWORD ReadRijField(const char *value, PrnInfoEx *info, const char **position) {
    ClearList(info, "pCounterInfo");
    ClearList(info, "pSupplyInfo");
    char first[DEVICE_ID_FIELD_SIZE];
    const char *q = SplitField(value, first, sizeof first, "/");
    auto *counter = AsItem<CounterInfo>(AllocListItem(sizeof(CounterInfo)));
    if (counter != nullptr) {
        counter->wCounterCode = 1;
        counter->dwValue = static_cast<DWORD>(ReadSignedNumber(first));
        AddListItem(info, "pCounterInfo", AsListItem(counter));
    }
    char rest[DEVICE_ID_FIELD_SIZE];
    *position = SplitField(q, rest, sizeof rest, ";");
    const char *cursor = rest;
    for (const WORD *code = SupplyCodeList; *code != SUPPLY_CODE_END && *cursor != '\0';) {
        char piece[DEVICE_ID_PIECE_SIZE];
        cursor = SplitField(cursor, piece, sizeof piece, ",");
        if (piece[0] == '\0') continue;
        auto *supply = AsItem<SupplyInfo>(AllocListItem(sizeof(SupplyInfo)));
        if (supply != nullptr) {
            supply->wSupplyCode = *code;
            supply->dwValue = static_cast<DWORD>(ReadSignedNumber(piece));
            AddListItem(info, "pSupplyInfo", AsListItem(supply));
        }
        ++code;
    }
    return ERROR_SUCCESS;
}

DWORD ParseDeviceId(const char *text, PrnInfoEx *info) {
    const char *position = text;
    DWORD result = ERROR_SUCCESS;
    do {
        char key[DEVICE_ID_FIELD_SIZE];
        const char *value = SplitField(position, key, sizeof key, ":");
        const DeviceIdKeyRow *row = DeviceIdKeyTable;
        while (row->pszKey != nullptr && strcmp(row->pszKey, key) != 0) ++row;
        if (row->pszKey != nullptr) {
            result = row->reader(value, info, &position);
        } else {
            char skipped[DEVICE_ID_FIELD_SIZE];
            position = SplitField(value, skipped, sizeof skipped, ";");
        }
    } while (*position != '\0' && result == ERROR_SUCCESS);
    return result;
}
