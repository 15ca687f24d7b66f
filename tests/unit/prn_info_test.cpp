#include "model/prn_info.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "platform/test_hooks.h"

namespace {

const char *const kListKeys[] = {"pEngineStatus", "pLoadedEmul",   "pLoadedFont",      "pTrayInfo",
                                 "pOutBinInfo",   "pDeviceInfo",   "pEmulUniqInfo",    "pCounterInfo",
                                 "pSupplyInfo",   "pColorCorrection", "pCustomMediaInfo", "pFuncpkgInfo",
                                 "pFuncInfo",     "pSalespkgInfo"};
const char *const kSlotKeys[] = {"pModelName",  "pMakerName",       "pDescription",
                                 "pSYSVersion", "pMainProgVersion", "pKPSVersion"};

// Blocks freed since `live` was taken; the real platform counts none.
long FreedSince(long live, long expected) { return HostHooksAvailable() ? live - HostLiveBlocks() : expected; }

BYTE *At(PrnInfoEx &info, size_t offset) { return reinterpret_cast<BYTE *>(&info) + offset; }

template <typename T>
T Read(PrnInfoEx &info, size_t offset) {
    T v;
    std::memcpy(&v, At(info, offset), sizeof v);
    return v;
}

// A record as a monitor program holds it: zeroed, and released at the end by
// walking every list and slot. The live-block count must then be back where
// it started, so nothing was leaked or freed twice.
struct Record {
    PrnInfoEx info{};
    long liveBefore = HostLiveBlocks();
    Record() { info.dwVersion = PRNINFOEX_MIN_VERSION; }
    ~Record() {
        Release();
        EXPECT_EQ(HostLiveBlocks(), liveBefore);
    }
    void Release() {
        for (const char *key : kListKeys) {
            ListRef list;
            LocateList(&info, key, &list);
            for (ListItem *item = list.pHead; item != nullptr;) {
                ListItem *next = item->pNext;
                GlobalFree(item);
                item = next;
            }
            *list.ppHead = nullptr;
            *list.pnCount = 0;
        }
        for (LPSTR *slot : {&info.pModelName, &info.pMakerName, &info.pDescription, &info.pSYSVersion,
                            &info.pMainProgVersion, &info.pKPSVersion}) {
            if (*slot != nullptr) GlobalFree(*slot);
            *slot = nullptr;
        }
    }
    // Every list's count equals its chain, and every item is as allocated.
    void ExpectConsistent() {
        for (const char *key : kListKeys) {
            ListRef list;
            ASSERT_TRUE(LocateList(&info, key, &list));
            DWORD n = 0;
            for (ListItem *item = list.pHead; item != nullptr; item = item->pNext, ++n)
                EXPECT_EQ(GlobalSize(item), item->dwSize) << key;
            EXPECT_EQ(*list.pnCount, n) << key;
        }
    }
};

ListItem *NewDevice(WORD code) {
    auto *item = AsItem<DeviceInfo>(AllocListItem(sizeof(DeviceInfo)));
    item->wDeviceCode = code;
    return AsListItem(item);
}

TEST(ListItems, AllocatedZeroFilledWithTheirSize) {
    long before = HostLiveBlocks();
    ListItem *item = AllocListItem(sizeof(FuncpkgInfo));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->pNext, nullptr);
    EXPECT_EQ(item->dwSize, sizeof(FuncpkgInfo));
    EXPECT_EQ(GlobalSize(item), sizeof(FuncpkgInfo));
    const BYTE *bytes = reinterpret_cast<const BYTE *>(item);
    for (size_t i = sizeof(ListItem); i < sizeof(FuncpkgInfo); ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;
    EXPECT_EQ(FreeItemChain(item), nullptr);
    EXPECT_EQ(HostLiveBlocks(), before);

    // Too small to hold its own header.
    EXPECT_EQ(AllocListItem(sizeof(ListItem) - 1), nullptr);
    EXPECT_EQ(HostLiveBlocks(), before);
}

TEST(ListItems, AppendLinksAtTheEndAndFindComparesSixteenBits) {
    long before = HostLiveBlocks();
    auto *status = AsItem<EngineStatus>(AllocListItem(sizeof(EngineStatus)));
    status->wCode = static_cast<WORD>(510023);
    status->dwCode = 510023;
    auto *func = AsItem<FuncInfo>(AllocListItem(sizeof(FuncInfo)));
    func->dwFuncCode = 0x000107D8;  // only its low 16 bits are compared
    ListItem *third = NewDevice(3);

    ListItem *head = AppendListItem(nullptr, AsListItem(status));
    EXPECT_EQ(head, AsListItem(status));
    EXPECT_EQ(AppendListItem(head, AsListItem(func)), head);
    EXPECT_EQ(AppendListItem(head, third), head);
    EXPECT_EQ(status->pNext, reinterpret_cast<EngineStatus *>(func));
    EXPECT_EQ(func->pNext, reinterpret_cast<FuncInfo *>(third));
    EXPECT_EQ(third->pNext, nullptr);

    EXPECT_EQ(FindListItem(head, 0xC847), AsListItem(status));
    EXPECT_EQ(FindListItem(head, 510023), nullptr);
    EXPECT_EQ(FindListItem(head, 0x07D8), AsListItem(func));
    EXPECT_EQ(FindListItem(head, 0x000107D8), nullptr);
    EXPECT_EQ(FindListItem(head, 3), third);
    EXPECT_EQ(FindListItem(head, 4), nullptr);
    EXPECT_EQ(FindListItem(nullptr, 3), nullptr);

    EXPECT_EQ(FreeItemChain(head), nullptr);
    EXPECT_EQ(HostLiveBlocks(), before);
}

TEST(NameCodes, LookupIsExactAndFallsBackToTheEndRow) {
    const NameCodeRow table[] = {{"LETTER", 2}, {"A4", 26}, {"", 7}, {"A4", 99}, {nullptr, 255}};
    const NameCodeRow empty[] = {{nullptr, 0}};
    struct Case {
        const char *name;
        LONG code;
    } cases[] = {
        {"LETTER", 2}, {"A4", 26},      // the first equal row wins
        {"", 7},                        // the empty name is a name like any other
        {"letter", 255},                // case-sensitive
        {"LETTERX", 255}, {"LETTE", 255},  // whole strings only
        {"B5", 255},
    };
    for (const Case &c : cases) EXPECT_EQ(LookupNameCode(c.name, table), c.code) << c.name;
    EXPECT_EQ(LookupNameCode("A4", empty), 0);
    EXPECT_EQ(LookupNameCode(nullptr, table), -1);
    EXPECT_EQ(LookupNameCode("A4", nullptr), -1);
}

TEST(Lists, EveryKeyLocatesItsCountAndHead) {
    const size_t countAt[] = {8, 56, 64, 76, 88, 96, 104, 136, 144, 152, 160, 184, 192, 204};
    PrnInfoEx info{};
    for (size_t i = 0; i < std::size(kListKeys); ++i) {
        ListRef list;
        ASSERT_TRUE(LocateList(&info, kListKeys[i], &list)) << kListKeys[i];
        EXPECT_EQ(reinterpret_cast<BYTE *>(list.pnCount), At(info, countAt[i])) << kListKeys[i];
        EXPECT_EQ(reinterpret_cast<BYTE *>(list.ppHead), At(info, countAt[i] + 4)) << kListKeys[i];
    }
    // The head is read as it stands.
    info.pTrayInfo = reinterpret_cast<TrayInfo *>(0x1234);
    ListRef list;
    ASSERT_TRUE(LocateList(&info, "pTrayInfo", &list));
    EXPECT_EQ(list.pHead, reinterpret_cast<ListItem *>(0x1234));
}

TEST(Lists, UnknownKeysChangeNothing) {
    Record r;
    ListRef untouched{reinterpret_cast<ListItem *>(1), nullptr, nullptr};
    ListItem *item = NewDevice(1);
    for (const char *key : {"ptrayinfo", "pTrayInfo ", "nTrayInfo", "pModelName", ""}) {
        EXPECT_FALSE(LocateList(&r.info, key, &untouched)) << key;
        EXPECT_EQ(untouched.pHead, reinterpret_cast<ListItem *>(1));
        EXPECT_FALSE(AddListItem(&r.info, key, item)) << key;
        EXPECT_FALSE(ClearList(&r.info, key)) << key;
    }
    EXPECT_FALSE(AddListItem(&r.info, "pDeviceInfo", nullptr));
    PrnInfoEx zero{};
    zero.dwVersion = PRNINFOEX_MIN_VERSION;
    EXPECT_EQ(std::memcmp(&r.info, &zero, sizeof zero), 0);
    FreeItemChain(item);
}

TEST(Lists, AddAppendsAndCounts) {
    Record r;
    ListItem *a = NewDevice(1), *b = NewDevice(3);
    EXPECT_TRUE(AddListItem(&r.info, "pDeviceInfo", a));
    EXPECT_EQ(r.info.pDeviceInfo, reinterpret_cast<DeviceInfo *>(a));
    EXPECT_EQ(r.info.nDeviceInfo, 1u);
    EXPECT_TRUE(AddListItem(&r.info, "pDeviceInfo", b));
    EXPECT_EQ(r.info.pDeviceInfo, reinterpret_cast<DeviceInfo *>(a));
    EXPECT_EQ(a->pNext, b);
    EXPECT_EQ(r.info.nDeviceInfo, 2u);
    r.ExpectConsistent();
}

TEST(Lists, ClearFreesExactlyTheKeyedList) {
    Record r;
    for (WORD code : {1, 3, 6}) AddListItem(&r.info, "pDeviceInfo", NewDevice(code));
    AddListItem(&r.info, "pOutBinInfo", AllocListItem(sizeof(OutBinInfo)));
    long live = HostLiveBlocks();

    EXPECT_TRUE(ClearList(&r.info, "pDeviceInfo"));
    EXPECT_EQ(FreedSince(live, 3), 3);
    EXPECT_EQ(r.info.pDeviceInfo, nullptr);
    EXPECT_EQ(r.info.nDeviceInfo, 0u);
    EXPECT_EQ(r.info.nOutBinInfo, 1u);

    EXPECT_TRUE(ClearList(&r.info, "pDeviceInfo"));  // already empty
    EXPECT_EQ(FreedSince(live, 3), 3);
    EXPECT_EQ(r.info.nDeviceInfo, 0u);
    r.ExpectConsistent();
}

TEST(Lists, ClearEmptiesListsThisLibraryNeverFills) {
    Record r;
    // The caller's own items are the record's too: emptying frees them.
    ListItem *mine = AllocListItem(24);
    r.info.pColorCorrection = mine;
    r.info.nColorCorrection = 1;
    long live = HostLiveBlocks();
    EXPECT_TRUE(ClearList(&r.info, "pColorCorrection"));
    EXPECT_EQ(FreedSince(live, 1), 1);
    EXPECT_EQ(r.info.pColorCorrection, nullptr);
    EXPECT_EQ(r.info.nColorCorrection, 0u);
}

TEST(Lists, DeviceInfoMatchesTheLowSixteenBits) {
    Record r;
    AddListItem(&r.info, "pDeviceInfo", NewDevice(3));
    AddListItem(&r.info, "pDeviceInfo", NewDevice(115));
    EXPECT_TRUE(HasDeviceInfo(&r.info, 3));
    EXPECT_TRUE(HasDeviceInfo(&r.info, 115));
    EXPECT_TRUE(HasDeviceInfo(&r.info, 0x00010003));
    EXPECT_FALSE(HasDeviceInfo(&r.info, 1));
    PrnInfoEx empty{};
    EXPECT_FALSE(HasDeviceInfo(&empty, 3));
}

TEST(Lists, EngineStatusKeepsBothWidthsOfItsCode) {
    Record r;
    ASSERT_TRUE(AddEngineStatus(&r.info, 10023));
    ASSERT_TRUE(AddEngineStatus(&r.info, -254));
    ASSERT_TRUE(AddEngineStatus(&r.info, 510023));
    ASSERT_EQ(r.info.nEngineStatus, 3u);
    const EngineStatus *s = r.info.pEngineStatus;
    EXPECT_EQ(s->wCode, 10023);
    EXPECT_EQ(s->dwCode, 10023u);
    s = s->pNext;
    EXPECT_EQ(s->wCode, 0xFF02);
    EXPECT_EQ(s->dwCode, 0xFFFFFF02u);
    EXPECT_EQ(s->dwSize, sizeof(EngineStatus));
    EXPECT_STREQ(s->szText, "");
    s = s->pNext;
    EXPECT_EQ(s->wCode, 0xC847);
    EXPECT_EQ(s->dwCode, 510023u);
    EXPECT_EQ(s->pNext, nullptr);
    r.ExpectConsistent();
}

TEST(Slots, EveryKeyReplacesItsOwnSlot) {
    const size_t slotAt[] = {16, 20, 24, 28, 32, 36};
    Record r;
    for (size_t i = 0; i < std::size(kSlotKeys); ++i) {
        std::string text = std::string("value of ") + kSlotKeys[i];
        ASSERT_TRUE(SetStringSlot(&r.info, kSlotKeys[i], text.c_str()));
        char *stored = Read<char *>(r.info, slotAt[i]);
        ASSERT_NE(stored, nullptr) << kSlotKeys[i];
        EXPECT_STREQ(stored, text.c_str());
        EXPECT_EQ(GlobalSize(stored), text.size() + 1);  // exactly length + 1
    }
    EXPECT_FALSE(SetStringSlot(&r.info, "pmodelname", "x"));
    EXPECT_FALSE(SetStringSlot(&r.info, "pTrayInfo", "x"));
    EXPECT_STREQ(r.info.pModelName, "value of pModelName");
}

TEST(Slots, ReplacingFreesTheOldString) {
    Record r;
    ASSERT_TRUE(SetStringSlot(&r.info, "pModelName", "LUMA 9000"));
    long live = HostLiveBlocks();
    ASSERT_TRUE(SetStringSlot(&r.info, "pModelName", ""));
    EXPECT_EQ(FreedSince(live, 0), 0);
    ASSERT_NE(r.info.pModelName, nullptr);  // an empty string, not NULL
    EXPECT_EQ(GlobalSize(r.info.pModelName), 1u);
    EXPECT_STREQ(r.info.pModelName, "");
}

TEST(Slots, TextTakenFromTheSlotItself) {
    Record r;
    ASSERT_TRUE(SetStringSlot(&r.info, "pDescription", "LUMA 9000 series"));
    ASSERT_TRUE(SetStringSlot(&r.info, "pDescription", r.info.pDescription));
    EXPECT_STREQ(r.info.pDescription, "LUMA 9000 series");
    ASSERT_TRUE(SetStringSlot(&r.info, "pDescription", r.info.pDescription + 5));
    EXPECT_STREQ(r.info.pDescription, "9000 series");
}

TEST(Slots, FailedCopyLeavesTheSlotEmpty) {
    if (!HostHooksAvailable()) GTEST_SKIP() << "needs the host build's allocation hooks";
    Record r;
    ASSERT_TRUE(SetStringSlot(&r.info, "pMakerName", "LUMA"));
    long live = HostLiveBlocks();
    HostFailAllocation(1, 0);
    EXPECT_FALSE(SetStringSlot(&r.info, "pMakerName", "OTHER"));
    EXPECT_EQ(r.info.pMakerName, nullptr);
    EXPECT_EQ(FreedSince(live, 1), 1);  // the old string is gone
}

// A writer's sequence of operations over one record, as the reply handlers
// and converters run them.
struct Step {
    const char *what;
    BOOL (*run)(PrnInfoEx *info);
};

BOOL AddTray(PrnInfoEx *info) {
    ListItem *item = AllocListItem(sizeof(TrayInfo));
    return item != nullptr && AddListItem(info, "pTrayInfo", item);
}

const Step kWriterSteps[] = {
    {"status 10001", [](PrnInfoEx *i) { return AddEngineStatus(i, 10001); }},
    {"model", [](PrnInfoEx *i) { return SetStringSlot(i, "pModelName", "LUMA 9000"); }},
    {"tray", AddTray},
    {"status -254", [](PrnInfoEx *i) { return AddEngineStatus(i, -254); }},
    {"model again", [](PrnInfoEx *i) { return SetStringSlot(i, "pModelName", "LUMA 9000 PS"); }},
    {"empty trays", [](PrnInfoEx *i) { return ClearList(i, "pTrayInfo"); }},
    {"tray again", AddTray},
    {"maker", [](PrnInfoEx *i) { return SetStringSlot(i, "pMakerName", "LUMA"); }},
};

TEST(Ownership, AllocationFailureAtEachStep) {
    if (!HostHooksAvailable()) GTEST_SKIP() << "needs the host build's allocation hooks";
    unsigned long start = HostAllocationCount();
    {
        Record clean;
        for (const Step &s : kWriterSteps) ASSERT_TRUE(s.run(&clean.info)) << s.what;
        clean.ExpectConsistent();
    }
    unsigned long allocations = HostAllocationCount() - start;
    ASSERT_EQ(allocations, 7u);  // every step but the emptying allocates once

    for (unsigned fail = 1; fail <= allocations; ++fail) {
        SCOPED_TRACE("allocation " + std::to_string(fail) + " fails");
        Record r;
        HostFailAllocation(fail, 0);
        int failed = 0;
        for (const Step &s : kWriterSteps) {
            PrnInfoEx before = r.info;
            if (s.run(&r.info)) continue;
            ++failed;
            // A failed append leaves its list as it was.
            EXPECT_EQ(r.info.nEngineStatus, before.nEngineStatus) << s.what;
            EXPECT_EQ(r.info.nTrayInfo, before.nTrayInfo) << s.what;
        }
        HostFailAllocation(0, 0);
        EXPECT_EQ(failed, 1);
        r.ExpectConsistent();
    }
}

}  // namespace
