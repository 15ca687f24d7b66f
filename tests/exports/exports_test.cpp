// The exports as a monitor program calls them: argument checks, last-error
// values, and the query trees they hand out.
#include <LUMAstat.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/test_hooks.h"
#include "support/record_text.h"

namespace {

constexpr DWORD kSentinel = 0xDEADBEEF;

PrnInfoEx Record(DWORD version = 1173) {
    PrnInfoEx r;
    std::memset(&r, 0, sizeof r);
    r.dwVersion = version;
    return r;
}

TEST(CreateQueryInfo, BuildsTheTreeAndClearsLastError) {
    PrnInfoEx rec = Record();
    SetLastError(kSentinel);
    InfoNode *root = PatCreateQueryInfo(&rec, 2, 0x1E);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_EQ(root->id, INFO_QUERY_ROOT);
    EXPECT_EQ(root->cbData, 0u);
    ASSERT_NE(root->pFirstChild, nullptr);
    EXPECT_EQ(root->pFirstChild->id, INFO_DEVICE_ID);
    EXPECT_EQ(root->pLastChild->id, INFO_PJL_TEXT);
    EXPECT_EQ(root->pLastChild->cbData, 755u);
    ReleaseTree(root);
}

struct QueryRefusal {
    const char *what;
    bool nullRecord;
    DWORD version;
    DWORD revision;
    DWORD error;
};

class CreateQueryInfoRefusals : public ::testing::TestWithParam<QueryRefusal> {};

TEST_P(CreateQueryInfoRefusals, GiveNullAndTheCode) {
    const QueryRefusal &c = GetParam();
    PrnInfoEx rec = Record(c.version);
    long before = HostLiveBlocks();
    SetLastError(kSentinel);
    EXPECT_EQ(PatCreateQueryInfo(c.nullRecord ? nullptr : &rec, c.revision, 0x1E), nullptr) << c.what;
    EXPECT_EQ(GetLastError(), c.error) << c.what;
    EXPECT_EQ(HostLiveBlocks(), before) << c.what << ": the refused root is released";
    SetLastError(kSentinel);
    EXPECT_EQ(PatCreateEmulUniqQueryInfo(c.nullRecord ? nullptr : &rec, c.revision, 15, 0) == nullptr,
              c.nullRecord || static_cast<BYTE>(c.revision) != 2)
        << c.what << ": the emulation query checks no version";
}

INSTANTIATE_TEST_SUITE_P(Cases, CreateQueryInfoRefusals,
                         ::testing::Values(QueryRefusal{"null record", true, 1173, 2, 87},
                                           QueryRefusal{"revision 3", false, 1173, 3, 87},
                                           QueryRefusal{"revision 0x103", false, 1173, 0x103, 87},
                                           QueryRefusal{"version 1172", false, 1172, 2, 87},
                                           QueryRefusal{"version 0", false, 0, 0x102, 87}));

TEST(CreateQueryInfo, OnlyTheLowRevisionByteCounts) {
    for (DWORD version : {1173u, 0x80000000u}) {
        PrnInfoEx rec = Record(version);
        InfoNode *root = PatCreateQueryInfo(&rec, 0x102, 0x4);
        ASSERT_NE(root, nullptr);
        ReleaseTree(root);
        root = PatCreateQueryInfo(&rec, 0xFFFFFF02, 0);
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(root->pFirstChild, nullptr);
        ReleaseTree(root);
    }
}

TEST(CreateQueryInfo, RootAllocationFailureGives8) {
    if (!HostHooksAvailable()) GTEST_SKIP() << "needs the host build's allocation hooks";
    PrnInfoEx rec = Record();
    HostFailAllocation(1, 0);
    EXPECT_EQ(PatCreateQueryInfo(&rec, 2, 0x1E), nullptr);
    EXPECT_EQ(GetLastError(), 8u);
    HostFailAllocation(1, 0);
    EXPECT_EQ(PatCreateEmulUniqQueryInfo(&rec, 2, 15, 0), nullptr);
    EXPECT_EQ(GetLastError(), 8u);
}

TEST(CreateEmulUniqQueryInfo, TakesTheLow16BitsOfTheClass) {
    PrnInfoEx rec = Record(0);  // not read
    InfoNode *root = PatCreateEmulUniqQueryInfo(&rec, 2, 0x1000F, 0xFFFFFFFF);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(GetLastError(), 0u);
    ASSERT_NE(root->pFirstChild, nullptr);
    EXPECT_EQ(root->pFirstChild->cbData, 41u);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(INFO_NODE_DATA(root->pFirstChild))),
              "\x1B%-12345X@PJL\r\n@PJL INFO TESL\r\n\x1B%-12345X");
    ReleaseTree(root);
    EXPECT_EQ(PatCreateEmulUniqQueryInfo(&rec, 2, 14, 0), nullptr);
    EXPECT_EQ(GetLastError(), 87u);
}

// Exports whose workers come in later releases still check their arguments.
struct Call {
    const char *what;
    BOOL (*call)(DWORD *count);
    DWORD error;
};

PrnInfoEx g_rec = Record();
PrnInfoEx g_old = Record(1172);
InfoNode g_tree{INFO_STATUS_ROOT, nullptr, nullptr, nullptr, nullptr, 0};
InfoNode g_queryRoot{INFO_QUERY_ROOT, nullptr, nullptr, nullptr, nullptr, 0};
InfoNode g_replyRoot{INFO_REPLY_ROOT, nullptr, nullptr, nullptr, nullptr, 0};
InfoNode g_emulRoot{INFO_EMUL_REPLY_ROOT, nullptr, nullptr, nullptr, nullptr, 0};
char g_text[512];
DWORD g_code = 1;
BYTE g_pminfo[64];
BYTE g_prninfo[2400];

class ArgumentChecks : public ::testing::TestWithParam<Call> {};

TEST_P(ArgumentChecks, CodeAndCountStayAsTheParagraphSays) {
    const Call &c = GetParam();
    DWORD count = 33;
    std::memset(g_text, '#', sizeof g_text);
    SetLastError(kSentinel);
    EXPECT_FALSE(c.call(&count)) << c.what;
    EXPECT_EQ(GetLastError(), c.error) << c.what;
    EXPECT_EQ(count, 33u) << c.what;
    EXPECT_EQ(g_text[0], '#') << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Exports, ArgumentChecks,
    ::testing::Values(
        Call{"status string: null tree", [](DWORD *n) { return PatGetStatusString(1, nullptr, 3, 1, g_text, n); }, 87},
        Call{"status string: null count", [](DWORD *) { return PatGetStatusString(1, &g_tree, 3, 1, g_text, nullptr); }, 87},
        Call{"status string: revision 2", [](DWORD *n) { return PatGetStatusString(1, &g_tree, 2, 1, g_text, n); }, 87},
        Call{"status string: class 16", [](DWORD *n) { return PatGetStatusString(16, &g_tree, 3, 1, g_text, n); }, 87},
        Call{"status string: class 3", [](DWORD *n) { return PatGetStatusString(3, &g_tree, 3, 1, g_text, n); }, 87},
        Call{"status string: class 0x00010001 passes",
             [](DWORD *n) { return PatGetStatusString(0x00010001, &g_tree, 0x103, 1, g_text, n); }, 120},
        Call{"status string: class 0x80000001 passes",
             [](DWORD *n) { return PatGetStatusString(0x80000001, &g_tree, 3, 2, nullptr, n); }, 120},
        Call{"device name: null count", [](DWORD *) { return PatGetDeviceName(1, "Tray 1", 0x97, g_text, nullptr); }, 87},
        Call{"device name: kind 0", [](DWORD *n) { return PatGetDeviceName(0, "Tray 1", 0x97, g_text, n); }, 87},
        Call{"device name: kind 4", [](DWORD *n) { return PatGetDeviceName(4, "Tray 1", 0x97, g_text, n); }, 87},
        Call{"device name: kind 1 wants 0x97", [](DWORD *n) { return PatGetDeviceName(1, "Tray 1", 0x96, g_text, n); }, 87},
        Call{"device name: kind 3 wants 0x96", [](DWORD *n) { return PatGetDeviceName(3, &g_code, 0x97, g_text, n); }, 87},
        Call{"device name: kind 3 null item", [](DWORD *n) { return PatGetDeviceName(3, nullptr, 0x96, g_text, n); }, 87},
        Call{"device name: kind 2 passes", [](DWORD *n) { return PatGetDeviceName(2, "Shift Tray", 0x197, g_text, n); }, 120},
        Call{"help name: null count", [](DWORD *) { return PatGetStatusHelpFileName(1, &g_rec, 0, g_text, nullptr); }, 87},
        Call{"help name: null record", [](DWORD *n) { return PatGetStatusHelpFileName(1, nullptr, 0, g_text, n); }, 87},
        Call{"help name: class 0", [](DWORD *n) { return PatGetStatusHelpFileName(0, &g_rec, 0, g_text, n); }, 87},
        Call{"help name: no version test", [](DWORD *n) { return PatGetStatusHelpFileName(8, &g_old, 0, g_text, n); }, 120},
        Call{"pminfo: null input", [](DWORD *) { return PatPMInfoToPrnInfoEx(1, nullptr, 0x64, 0, &g_rec); }, 87},
        Call{"pminfo: null record", [](DWORD *) { return PatPMInfoToPrnInfoEx(1, g_pminfo, 0x64, 0, nullptr); }, 87},
        Call{"pminfo: class 16", [](DWORD *) { return PatPMInfoToPrnInfoEx(16, g_pminfo, 0x64, 0, &g_rec); }, 87},
        Call{"pminfo: version 1172", [](DWORD *) { return PatPMInfoToPrnInfoEx(1, g_pminfo, 0x64, 0, &g_old); }, 87},
        Call{"pminfo: class 8 wants 0x66", [](DWORD *) { return PatPMInfoToPrnInfoEx(8, g_pminfo, 0x67, 0, &g_rec); }, 87},
        Call{"pminfo: class 0x8000 passes", [](DWORD *) { return PatPMInfoToPrnInfoEx(0x8000, g_pminfo, 0x68, 0, &g_rec); }, 120},
        Call{"flatten: null record", [](DWORD *) { return PatPrnInfoExToPrnInfo(nullptr, g_prninfo, 0); }, 87},
        Call{"flatten: null output", [](DWORD *) { return PatPrnInfoExToPrnInfo(&g_rec, nullptr, 0); }, 87},
        Call{"flatten: version 1172", [](DWORD *) { return PatPrnInfoExToPrnInfo(&g_old, g_prninfo, 0); }, 87},
        Call{"centro: null tree", [](DWORD *) { return PatSetCentroDataTo(nullptr, 0, &g_rec, 2); }, 87},
        Call{"centro: null record", [](DWORD *) { return PatSetCentroDataTo(&g_replyRoot, 0, nullptr, 2); }, 87},
        Call{"centro: revision 3", [](DWORD *) { return PatSetCentroDataTo(&g_replyRoot, 0, &g_rec, 3); }, 87},
        Call{"centro: query tree as root", [](DWORD *) { return PatSetCentroDataTo(&g_queryRoot, 0, &g_rec, 2); }, 87},
        Call{"centro: version 1172", [](DWORD *) { return PatSetCentroDataTo(&g_replyRoot, 0, &g_old, 2); }, 87},
        Call{"centro: emulation root without its class", [](DWORD *) { return PatSetCentroDataTo(&g_emulRoot, 0, &g_rec, 0x202); }, 87},
        Call{"locale: null", [](DWORD *) { return PatSetLocale(nullptr); }, 87},
        Call{"locale: DEU", [](DWORD *) { return PatSetLocale("DEU"); }, PAT_ERR_LOCALE},
        Call{"locale: ZH-CN", [](DWORD *) { return PatSetLocale("ZH-CN"); }, PAT_ERR_LOCALE},
        Call{"locale: blank before", [](DWORD *) { return PatSetLocale(" EN"); }, PAT_ERR_LOCALE},
        Call{"locale: empty", [](DWORD *) { return PatSetLocale(""); }, PAT_ERR_LOCALE}));

TEST(SetLocale, AcceptsTheTableNamesInAnyCase) {
    for (const char *name : {"de", "En", "ZH_cn", "zh_TW", "JP", "no"}) {
        SetLastError(kSentinel);
        EXPECT_TRUE(PatSetLocale(name)) << name;
        EXPECT_EQ(GetLastError(), 0u) << name;
    }
}

TEST(PlaceholderExports, RecordsAreNotTouched) {
    PrnInfoEx before = g_rec;
    PatSetCentroDataTo(&g_emulRoot, 0, &g_rec, 2);
    PatPMInfoToPrnInfoEx(1, g_pminfo, 0x64, 0, &g_rec);
    EXPECT_EQ(std::memcmp(&before, &g_rec, sizeof before), 0);
}

}  // namespace
