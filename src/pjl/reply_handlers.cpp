#include "reply_handlers.h"

#include <string.h>

namespace {

constexpr DWORD kTrayLocked = 0x1;
constexpr WORD kEmulTesl = 15;
constexpr LONG kEmulFirmware = -1;
constexpr LONG kEmulPostScript = 2;
constexpr int kEmulVersionChars = 15;
constexpr int kOtherChars = 32;
constexpr int kPackageNameChars = 33;

thread_local ReplyAppendScope *t_scope = nullptr;

// Appends an item to a keyed list, at the end the current scope remembers
// when it still holds.
void AppendToList(PrnInfoEx *info, const char *key, ListItem *item) {
    ListRef ref;
    if (!LocateList(info, key, &ref)) return;
    ReplyAppendScope::Tail *tail = t_scope ? t_scope->Find(info, key) : nullptr;
    if (tail != nullptr && tail->last != nullptr && tail->head == *ref.ppHead && tail->count == *ref.pnCount &&
        tail->last->pNext == nullptr) {
        tail->last->pNext = item;
        ++*ref.pnCount;
    } else {
        AddListItem(info, key, item);
    }
    if (tail != nullptr) {
        tail->head = *ref.ppHead;
        tail->last = item;
        tail->count = *ref.pnCount;
    }
}

void EmptyList(PrnInfoEx *info, const char *key) {
    if (t_scope) t_scope->Forget(info, key);
    ClearList(info, key);
}

DWORD NextToken(PjlReplyScanner *scanner, char *token, DWORD *kind) {
    return NextPjlToken(scanner, token, PJL_WORD_SIZE, kind);
}

// An INQUIRE answer: the end of the echo line, then the value line.
DWORD ReadAnswer(PjlReplyScanner *scanner, char *answer) {
    DWORD kind = 0;
    DWORD code = NextToken(scanner, answer, &kind);
    if (code != ERROR_SUCCESS) return code;
    if (kind != PJL_TOKEN_EOL) return ERROR_INVALID_PARAMETER;
    code = NextToken(scanner, answer, &kind);
    if (code != ERROR_SUCCESS) return code;
    return kind == PJL_TOKEN_ITEM ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
}

TrayInfo *TrayItem(PrnInfoEx *info, WORD code) {
    return AsItem<TrayInfo>(FindOrAddItem(reinterpret_cast<ListItem **>(&info->pTrayInfo),
                                                      sizeof(TrayInfo), code, &info->nTrayInfo));
}

// The four tray answers differ only in the field they set.
template <typename SetField>
DWORD ReadTrayAnswer(PjlReplyScanner *scanner, PrnInfoEx *info, ULONG_PTR parameter, SetField set) {
    TrayInfo *tray = TrayItem(info, static_cast<WORD>(parameter));
    if (tray == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
    char answer[PJL_WORD_SIZE];
    DWORD code = ReadAnswer(scanner, answer);
    if (code != ERROR_SUCCESS) return code;
    set(tray, answer);
    return ERROR_SUCCESS;
}

DWORD AppendDeviceInfo(PrnInfoEx *info, DWORD deviceCode) {
    auto *item = AsItem<DeviceInfo>(AllocListItem(sizeof(DeviceInfo)));
    if (item == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
    item->wDeviceCode = static_cast<WORD>(deviceCode);
    AppendToList(info, "pDeviceInfo", AsListItem(item));
    return ERROR_SUCCESS;
}

}  // namespace

ReplyAppendScope::ReplyAppendScope() : outer_(t_scope) {
    memset(tails_, 0, sizeof tails_);
    t_scope = this;
}

ReplyAppendScope::~ReplyAppendScope() { t_scope = outer_; }

ReplyAppendScope::Tail *ReplyAppendScope::Find(const PrnInfoEx *info, const char *key) {
    for (Tail &t : tails_)
        if (t.info == info && t.key != nullptr && strcmp(t.key, key) == 0) return &t;
    Tail &t = tails_[next_];
    next_ = (next_ + 1) % kTails;
    t = Tail{info, key, nullptr, nullptr, 0};
    return &t;
}

void ReplyAppendScope::Forget(const PrnInfoEx *info, const char *key) {
    for (Tail &t : tails_)
        if (t.info == info && t.key != nullptr && strcmp(t.key, key) == 0) t = Tail{nullptr, nullptr, nullptr, nullptr, 0};
}

DWORD ReadPjlNumber(const char *text) {
    const char *p = text;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    DWORD value = 0;
    bool overflow = false;
    for (; *p >= '0' && *p <= '9'; ++p) {
        DWORD digit = static_cast<DWORD>(*p - '0');
        if (value > (0xFFFFFFFFu - digit) / 10) overflow = true;
        value = value * 10 + digit;
    }
    if (overflow) return 0xFFFFFFFFu;
    return negative ? 0u - value : value;
}

ListItem *FindOrAddItem(ListItem **head, DWORD size, WORD code, DWORD *count) {
    ListItem *item = FindListItem(*head, code);
    if (item != nullptr) return item;
    item = AllocListItem(size);
    if (item == nullptr) return nullptr;
    *reinterpret_cast<WORD *>(reinterpret_cast<BYTE *>(item) + sizeof(ListItem)) = code;
    *head = AppendListItem(*head, item);
    ++*count;
    return item;
}

// ---- value tables ----------------------------------------------------------

const NameCodeRow MemoryUsageTable[] = {{"USER", 2}, {"PAGE", 1}, {nullptr, 0}};
const NameCodeRow ImageRotationTable[] = {{"POSSIBLE", 1}, {"IMPOSSIBLE", 2}, {nullptr, 0}};
const NameCodeRow MarkingTypeTable[] = {{"OFF", 0}, {"COPYGUARD", 1}, {"SECURITYTRACE", 1}, {nullptr, 0}};
const NameCodeRow PackageStatusTable[] = {{"ACTIVATE", 1}, {"NONE", 0}, {nullptr, 0}};
const NameCodeRow EmulationTable[] = {{"FIRMWARE", -1}, {"TESL", 15}, {"POSTSCRIPT", 2}, {"HPGL2", 12},
                                      {"GL2", 12},      {"KTIFF", 13}, {nullptr, 0}};
const NameCodeRow TrayNameTable[] = {{"TRAY1", 3}, {"TRAY2", 4},  {"TRAY3", 5}, {"TRAY4", 6},
                                     {"TRAY5", 7}, {"BYPASS", 1}, {"NONE", 0},  {nullptr, 0}};
const NameCodeRow FillLevelTable[] = {{"END", 0}, {"1/5", 20}, {"2/5", 40}, {"3/5", 60},
                                      {"4/5", 80}, {"FULL", 100}, {nullptr, 0}};

const NameCodeRow PaperSizeTable[] = {
    {"A2SRT", 72},        {"A3", 5},            {"A3LONG", 4},          {"A4SRT", 9},
    {"A4LONG", 8},        {"A5SRT", 13},        {"A5LONG", 12},         {"A6", 17},
    {"JISB3SRT", 73},     {"JISB4", 7},         {"JISB4LONG", 6},       {"JISB5SRT", 11},
    {"JISB5LONG", 10},    {"JISB6", 15},        {"JISB6LONG", 14},      {"LEDGER", 58},
    {"LEDGERLONG", 57},   {"LEGAL", 21},        {"LEGALLONG", 20},      {"FOOLSCAP", 62},
    {"FOOLSCAPLONG", 61}, {"LETTERSRT", 23},    {"LETTERLONG", 22},     {"GOVERNMENTLGSRT", 84},
    {"FOLIO", 28},        {"FOLIOLONG", 153},   {"FGL", 60},            {"FGLLONG", 59},
    {"GLTSRT", 142},      {"GLTLONG", 141},     {"ENGQUATROSRT", 129},  {"ENGQUATROLONG", 140},
    {"EXECUTIVES", 25},   {"EXECUTIVEL", 24},   {"HALFLETTERS", 27},    {"HALFLETTERL", 26},
    {"JPOSTSRT", 34},     {"JPOSTDSRT", 70},    {"JPOSTDLONG", 71},     {"K8", 64},
    {"K16SRT", 66},       {"K16LONG", 65},      {"INCH11x15SRT", 134},  {"INCH11x14SRT", 120},
    {"INCH10x15SRT", 150}, {"INCH10x14SRT", 136}, {"ANSICSRT", 75},     {"CUSTOM", 2},
    {nullptr, 0},
};

const NameCodeRow MediaTypeTable[] = {
    {"PLAIN", 1},          {"RECYCLED", 2},       {"SPECIAL", 5},         {"THICK", 6},
    {"THICK2", 17},        {"THIN", 20},          {"TABSTOCK", 8},        {"TRANSPARENCY", 3},
    {"COLOR", 9},          {"LETTERHEAD", 10},    {"PREPRINTED", 11},     {"PREPUNCHED", 12},
    {"LABELS", 13},        {"BOND", 14},          {"CARDSTOCK", 15},      {"THICKDUPLEXBACKSIDE", 19},
    {"PLAINDUPLEXBACKSIDE", 18}, {"USED", 35},    {"USERCOLOR1", 22},     {"USERCOLOR2", 23},
    {"JPOST", 24},         {"JPOSTDUPLEXBACKSIDE", 25}, {"YELLOW", 26},   {"GREEN", 27},
    {"BLUE", 28},          {"PURPLE", 29},        {"IVORY", 30},          {"ORANGE", 31},
    {"PINK", 32},          {"RED", 33},           {"GRAY", 34},           {"TRANSLUCENT", 4},
    {"GLOSSY", 21},        {"FILM", 7},           {"ENVELOPE", 36},       {"INKJETJPOST", 37},
    {"HGPLAIN", 38},       {"THICK3", 39},        {"SPECIAL2", 40},       {"SPECIAL3", 41},
    {"MIDDLETHICK", 42},   {"COATED", 43},        {"THICKDUPLEXBACKSIDE2", 44}, {"THICKDUPLEXBACKSIDE3", 45},
    {"PLAIN2", 46},        {"THICKGLOSSY", 47},   {"SPECIAL4", 48},       {"SPECIAL5", 49},
    {"SPECIAL6", 50},      {"GLOSSYCOATED", 52},  {"THICKGLOSSYCOATED", 53}, {"THICKMATCOATED", 55},
    {"WATERPROOF", 56},    {"THICK4", 57},        {"THICKDUPLEXBACKSIDE4", 58}, {"PLAINORRECYCLED", 59},
    {"MATCOATED", 54},     {"INKJETPLAIN", 60},   {"MONOCHROMETRANSLUCENT", 61}, {"COLORTRANSLUCENT", 62},
    {"MATFILM", 63},       {"CADCOATED", 64},     {"SEMIGLOSSY", 65},     {"CUSTOM1", 100},
    {"CUSTOM2", 101},      {"CUSTOM3", 102},      {"CUSTOM4", 103},       {"CUSTOM5", 104},
    {"CUSTOM6", 105},      {"CUSTOM7", 106},      {"CUSTOM8", 107},       {nullptr, 0},
};

const FunctionPackageRow FunctionPackageTable[] = {{nullptr, 0}, {"305916427", 500}};
constexpr ULONG_PTR kFunctionPackages = sizeof FunctionPackageTable / sizeof FunctionPackageTable[0];

const OptionNameSetRow OptionNameSetTable[] = {
    {{"JP2", nullptr, nullptr, nullptr, nullptr}, 12},
    {{nullptr, nullptr, nullptr, nullptr, nullptr}, 0},
};

// ---- handlers ----------------------------------------------------------------

REPLY_HANDLER(ReadEmulUniqInfo) {
    (void)fallback;
    (void)parameter;
    auto *item = AsItem<EmulUniqInfo>(FindListItem(AsListItem(info->pEmulUniqInfo), kEmulTesl));
    if (item == nullptr) {
        item = AsItem<EmulUniqInfo>(AllocListItem(sizeof(EmulUniqInfo)));
        if (item == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
        item->wEmulCode = kEmulTesl;
        AppendToList(info, "pEmulUniqInfo", AsListItem(item));
    }
    char key[PJL_WORD_SIZE], value[PJL_WORD_SIZE];
    for (;;) {
        DWORD kind = 0;
        DWORD code = NextToken(scanner, key, &kind);
        if (code != ERROR_SUCCESS) return code;
        if (kind == PJL_TOKEN_ITEM) {
            code = NextToken(scanner, value, &kind);
            if (code != ERROR_SUCCESS) return code;
            if (strcmp(key, "MEMORYUSAGE") == 0)
                item->dwMemoryUsage = static_cast<DWORD>(LookupNameCode(value, MemoryUsageTable));
            else if (strcmp(key, "OTHER") == 0)
                lstrcpynA(item->szOther, value, kOtherChars + 1);
            else if (strcmp(key, "IMAGEROTATION") == 0)
                item->dwImageRotation = static_cast<DWORD>(LookupNameCode(value, ImageRotationTable));
        }
        if (kind == PJL_TOKEN_FORMFEED || kind == PJL_TOKEN_END) return ERROR_SUCCESS;
    }
}

REPLY_HANDLER(ClearDeviceInfo) {
    (void)scanner, (void)fallback, (void)parameter;
    EmptyList(info, "pDeviceInfo");
    return ERROR_SUCCESS;
}

REPLY_HANDLER(ReadVersions) {
    (void)fallback, (void)parameter;
    EmptyList(info, "pLoadedEmul");
    char name[PJL_WORD_SIZE], version[PJL_WORD_SIZE];
    DWORD kind = 0;
    DWORD code = NextToken(scanner, name, &kind);
    if (code != ERROR_SUCCESS) return code;
    if (kind != PJL_TOKEN_COUNT) return ERROR_SUCCESS;
    const DWORD n = ReadPjlNumber(name);
    if (n == 0) return ERROR_SUCCESS;
    DWORD seen = 0, result = ERROR_SUCCESS;
    do {
        if (kind == PJL_TOKEN_END) break;
        result = NextToken(scanner, name, &kind);
        if (result != ERROR_SUCCESS) break;
        if (kind != PJL_TOKEN_ENTRY) continue;
        ++seen;
        result = NextToken(scanner, version, &kind);
        if (result != ERROR_SUCCESS || kind != PJL_TOKEN_ENTRY_VALUE) continue;
        LONG emul = LookupNameCode(name, EmulationTable);
        if (emul == kEmulFirmware) {
            SetStringSlot(info, "pSYSVersion", version);
            continue;
        }
        auto *item = AsItem<LoadedEmul>(AllocListItem(sizeof(LoadedEmul)));
        if (item == nullptr) continue;  // this entry is left out
        item->wEmulCode = static_cast<WORD>(emul);
        lstrcpynA(item->szVersion, version, kEmulVersionChars + 1);
        AppendToList(info, "pLoadedEmul", AsListItem(item));
        if (emul == kEmulPostScript) SetStringSlot(info, "pKPSVersion", version);
    } while (seen < n);
    return result;
}

REPLY_HANDLER(CheckTrayCount) {
    (void)fallback, (void)parameter;
    char token[PJL_WORD_SIZE];
    DWORD kind = 0;
    DWORD code = NextToken(scanner, token, &kind);
    if (code != ERROR_SUCCESS) return code;
    if (kind != PJL_TOKEN_COUNT) return ERROR_INVALID_PARAMETER;
    if (ReadPjlNumber(token) != info->nTrayInfo) EmptyList(info, "pTrayInfo");
    return ERROR_SUCCESS;
}

REPLY_HANDLER(ReadMemorySize) {
    (void)fallback, (void)parameter;
    char token[PJL_WORD_SIZE];
    DWORD kind = 0;
    DWORD code = NextToken(scanner, token, &kind);
    if (code == ERROR_SUCCESS && kind == PJL_TOKEN_ITEM_VALUE) info->dwMemorySize = ReadPjlNumber(token) >> 10;
    return code;
}

REPLY_HANDLER(ReadPunchOptions) {
    (void)fallback, (void)parameter;
    char names[OPTION_SET_NAMES][PJL_WORD_SIZE];
    char token[PJL_WORD_SIZE];
    DWORD kind = 0;
    DWORD code = NextToken(scanner, token, &kind);
    if (code != ERROR_SUCCESS) return code;
    if (kind != PJL_TOKEN_COUNT) return ERROR_INVALID_PARAMETER;
    const DWORD n = ReadPjlNumber(token);
    if (n > OPTION_SET_NAMES) return ERROR_INVALID_PARAMETER;
    DWORD held = 0;
    while (held < n && kind != PJL_TOKEN_END) {
        code = NextToken(scanner, token, &kind);
        if (code != ERROR_SUCCESS) return code;
        if (kind == PJL_TOKEN_ENTRY) lstrcpynA(names[held++], token, PJL_WORD_SIZE);
    }
    if (held == 0) return ERROR_SUCCESS;
    for (const OptionNameSetRow *set = OptionNameSetTable; set->names[0] != nullptr; ++set) {
        DWORD size = 0;
        while (size < OPTION_SET_NAMES && set->names[size] != nullptr) ++size;
        if (size != held) continue;
        bool all = true;
        for (DWORD i = 0; i < size && all; ++i) {
            bool found = false;
            for (DWORD j = 0; j < held && !found; ++j) found = strcmp(set->names[i], names[j]) == 0;
            all = found;
        }
        if (all) return AppendDeviceInfo(info, set->wDeviceCode);
    }
    return ERROR_SUCCESS;
}

REPLY_HANDLER(ClearOutBinInfo) {
    (void)scanner, (void)fallback, (void)parameter;
    EmptyList(info, "pOutBinInfo");
    info->dwOutBinValue = 255;
    return ERROR_SUCCESS;
}

REPLY_HANDLER(ReadMarkingType) {
    (void)fallback, (void)parameter;
    char answer[PJL_WORD_SIZE];
    DWORD code = ReadAnswer(scanner, answer);
    if (code != ERROR_SUCCESS) return code;
    info->bMarkingType = static_cast<BYTE>(LookupNameCode(answer, MarkingTypeTable));
    return ERROR_SUCCESS;
}

REPLY_HANDLER(ReadFuncPackageStatus) {
    (void)fallback;
    char answer[PJL_WORD_SIZE];
    DWORD code = ReadAnswer(scanner, answer);
    if (code != ERROR_SUCCESS) return code;
    if (parameter >= kFunctionPackages) return ERROR_INVALID_PARAMETER;
    const FunctionPackageRow &package = FunctionPackageTable[parameter];
    auto *item = AsItem<FuncpkgInfo>(
        FindListItem(AsListItem(info->pFuncpkgInfo), static_cast<WORD>(parameter)));
    const bool isNew = item == nullptr;
    if (isNew) {
        item = AsItem<FuncpkgInfo>(AllocListItem(sizeof(FuncpkgInfo)));
        if (item == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
    }
    item->wPackageCode = static_cast<WORD>(parameter);
    // The name may use all 33 bytes; its NUL then falls on the next field.
    lstrcpynA(item->szName, package.pszName ? package.pszName : "", kPackageNameChars + 1);
    item->dwStatus = static_cast<DWORD>(LookupNameCode(answer, PackageStatusTable));
    if (isNew) AppendToList(info, "pFuncpkgInfo", AsListItem(item));
    if (item->dwStatus == 1) return AppendDeviceInfo(info, package.wDeviceCode);
    return ERROR_SUCCESS;
}

REPLY_HANDLER(ReadTrayLock) {
    (void)fallback;
    return ReadTrayAnswer(scanner, info, parameter, [](TrayInfo *tray, const char *answer) {
        if (strcmp(answer, "LOCKED") == 0)
            tray->dwTrayFlags |= kTrayLocked;
        else
            tray->dwTrayFlags &= ~kTrayLocked;
    });
}

REPLY_HANDLER(ReadTraySize) {
    (void)fallback;
    return ReadTrayAnswer(scanner, info, parameter, [](TrayInfo *tray, const char *answer) {
        tray->wPaperSize = static_cast<WORD>(LookupNameCode(answer, PaperSizeTable));
    });
}

REPLY_HANDLER(ReadTrayLevel) {
    (void)fallback;
    return ReadTrayAnswer(scanner, info, parameter, [](TrayInfo *tray, const char *answer) {
        tray->wPaperLevel = static_cast<WORD>(LookupNameCode(answer, FillLevelTable));
    });
}

REPLY_HANDLER(ReadTrayMedia) {
    (void)fallback;
    return ReadTrayAnswer(scanner, info, parameter, [](TrayInfo *tray, const char *answer) {
        tray->wMediaType = static_cast<WORD>(LookupNameCode(answer, MediaTypeTable));
    });
}

REPLY_HANDLER(AddTray) {
    (void)scanner, (void)fallback;
    return TrayItem(info, static_cast<WORD>(parameter)) ? ERROR_SUCCESS : ERROR_NOT_ENOUGH_MEMORY;
}

REPLY_HANDLER(MarkSpecialTray) {
    (void)fallback;
    char answer[PJL_WORD_SIZE];
    DWORD code = ReadAnswer(scanner, answer);
    if (code != ERROR_SUCCESS) return code;
    const WORD tray = static_cast<WORD>(LookupNameCode(answer, TrayNameTable));
    if (tray == 0) return ERROR_SUCCESS;
    TrayInfo *item = TrayItem(info, tray);
    if (item == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
    item->dwTrayFlags |= static_cast<DWORD>(parameter);
    return ERROR_SUCCESS;
}

REPLY_HANDLER(ReadOutBinStatus) {
    (void)fallback;
    auto *bin = AsItem<OutBinInfo>(AllocListItem(sizeof(OutBinInfo)));
    if (bin == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
    bin->wBinCode = static_cast<WORD>(parameter);
    char token[PJL_WORD_SIZE];
    DWORD kind = 0;
    DWORD code = NextToken(scanner, token, &kind);
    if (code == ERROR_SUCCESS && kind == PJL_TOKEN_ITEM_VALUE) {
        if (strcmp(token, "PAPEREXIST") == 0)
            bin->wBinState = 1;
        else if (strcmp(token, "FULL") == 0)
            bin->wBinState = 2;
    }
    AppendToList(info, "pOutBinInfo", AsListItem(bin));
    return code;
}

REPLY_HANDLER(AddDeviceInfo) {
    (void)scanner, (void)fallback;
    return AppendDeviceInfo(info, static_cast<DWORD>(parameter));
}
