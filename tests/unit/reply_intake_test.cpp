#include "pjl/reply_intake.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/info_node.h"
#include "pjl/device_id.h"
#include "pjl/query_builder.h"
#include "platform/test_hooks.h"
#include "support/record_text.h"

namespace {

const std::string UEL = "\x1B%-12345X";

struct CompareCase {
    const char *name;
    std::string query;
    std::string reply;
    DWORD code;
};

class Compare : public ::testing::TestWithParam<CompareCase> {};

TEST_P(Compare, EveryCategoryWordNeedsItsAnswer) {
    const CompareCase &c = GetParam();
    EXPECT_EQ(CompareQueryAndReply(c.query.c_str(), c.reply.c_str()), c.code) << c.name;
}

const std::string kConfigQuery = UEL + "@PJL\r\n@PJL INFO CONFIG\r\n" + UEL;
const std::string kTwoQuery = UEL + "@PJL\r\n@PJL INFO CONFIG\r\n@PJL INFO OUTBINSTATUS\r\n" + UEL;

INSTANTIATE_TEST_SUITE_P(
    Texts, Compare,
    ::testing::Values(
        CompareCase{"answered", kConfigQuery, "@PJL INFO CONFIG\r\nDUPLEX\r\n\f", 0},
        CompareCase{"no form feed after the echo", kConfigQuery, "@PJL INFO CONFIG\r\nDUPLEX\r\n", PAT_ERR_REPLY},
        CompareCase{"another order", kTwoQuery,
                    "@PJL INFO OUTBINSTATUS\r\nUPPER=FULL\r\n\f@PJL INFO CONFIG\r\nDUPLEX\r\n\f", 0},
        CompareCase{"one answer missing", kTwoQuery, "@PJL INFO CONFIG\r\nDUPLEX\r\n\f", PAT_ERR_REPLY},
        CompareCase{"only a data word", kConfigQuery, "@PJL INFO STATUS\r\nCONFIG\r\n\f", PAT_ERR_REPLY},
        CompareCase{"a later block's form feed counts", kTwoQuery,
                    "@PJL INFO CONFIG\r\nDUPLEX\r\n@PJL INFO OUTBINSTATUS\r\nUPPER=FULL\r\n\f", 0},
        CompareCase{"letter case", kConfigQuery, "@PJL INFO config\r\n\f", PAT_ERR_REPLY},
        CompareCase{"the reply breaks before the answer", kConfigQuery, "@PJL INFO STATUS\r\nA:B\r\n\f@PJL INFO CONFIG\r\n\f",
                    PAT_ERR_REPLY},
        CompareCase{"a query that cannot be scanned", "@PJL INFO CONFIG", "@PJL INFO CONFIG\r\n\f", ERROR_INVALID_DATA},
        CompareCase{"a query without category words", UEL + "@PJL\r\n" + UEL, "", 0}));

// A CentroData tree built as a monitor program builds it.
struct Centro {
    InfoNode *root;
    std::vector<InfoNode *> extra;  // nodes made by hand
    explicit Centro(LONG rootId = INFO_REPLY_ROOT, const void *data = nullptr, DWORD size = 0)
        : root(CreateInfoNode(nullptr, rootId, data, size)) {}
    ~Centro() { ReleaseTree(root); }
    InfoNode *Query(DWORD flags) {
        InfoNode *q = CreateInfoNode(root, INFO_QUERY_ROOT, nullptr, 0);
        PrnInfoEx rec{};
        rec.dwVersion = 1173;
        BuildStatusQuery(&rec, flags, q);
        return q;
    }
    void Text(LONG id, const std::string &text) { CreateInfoNode(root, id, text.c_str(), static_cast<DWORD>(text.size() + 1)); }
    void Empty(LONG id) { CreateInfoNode(root, id, nullptr, 0); }
    // A node whose block ends right after the text: no terminating NUL.
    void Unterminated(LONG id, const std::string &text) {
        auto *n = static_cast<InfoNode *>(GlobalAlloc(GMEM_FIXED, sizeof(InfoNode) + text.size()));
        std::memset(n, 0, sizeof(InfoNode));
        n->id = id;
        n->cbData = static_cast<DWORD>(text.size());
        std::memcpy(INFO_NODE_DATA(n), text.data(), text.size());
        AppendInfoNode(root, n);
    }
};

struct Record {
    PrnInfoEx info{};
    Record() { info.dwVersion = 1173; }
    ~Record() { ReleaseRecord(info); }
};

const std::string kConfigReply = "\x1B%-12345X@PJL INFO CONFIG\r\nDUPLEX\r\nDISK\r\n\f\x1B%-12345X";

TEST(Intake, WithoutTheQueryEveryChildIsRead) {
    Centro c;
    c.Text(INFO_PJL_TEXT, kConfigReply);
    c.Text(INFO_DEVICE_ID, "MFG:KOVAX;STS:10001,1,;");
    c.Text(7, "ignored");
    c.Text(INFO_PJL_TEXT, "@PJL INFO OUTBINSTATUS\r\nUPPER=FULL\r\n\f");
    Record r;
    EXPECT_EQ(TakeReply(c.root, &r.info), 0u);
    EXPECT_EQ(DescribeRecord(r.info), "status=[10001] maker='KOVAX' online=1 offline=0 error=0 binvalue=255 bins=[1:2] dev=[1,3]");
}

TEST(Intake, AnAnsweredQueryIsRead) {
    Centro c;
    c.Query(0x16);
    c.Text(INFO_DEVICE_ID, "MDL:X;");
    c.Text(INFO_PJL_TEXT, "@PJL INFO OUTBINSTATUS\r\nINNER=FULL\r\n\f" + kConfigReply);
    Record r;
    EXPECT_EQ(TakeReply(c.root, &r.info), 0u);
    EXPECT_EQ(DescribeRecord(r.info), "model='X' modelcode=255 binvalue=255 bins=[2:2] dev=[1,3]");
}

struct RefusalCase {
    const char *name;
    DWORD flags;              // query flags; 0: no query node
    const char *deviceId;     // NULL: no node; "": an empty node
    const char *reply;        // likewise
    DWORD code;
};

class Refusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, LeaveTheRecordAsItWas) {
    const RefusalCase &c = GetParam();
    Centro tree;
    if (c.flags) tree.Query(c.flags);
    auto add = [&](LONG id, const char *t) {
        if (t == nullptr) return;
        if (*t == '\0') tree.Empty(id);
        else tree.Text(id, t);
    };
    add(INFO_DEVICE_ID, c.deviceId);
    add(INFO_PJL_TEXT, c.reply);
    Record r;
    ParseDeviceId("MFG:OLD;STS:10002,1,x;", &r.info);
    PrnInfoEx before = r.info;
    EXPECT_EQ(TakeReply(tree.root, &r.info), c.code) << c.name;
    EXPECT_EQ(std::memcmp(&before, &r.info, sizeof before), 0) << c.name;
    EXPECT_STREQ(r.info.pMakerName, "OLD") << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Trees, Refusals,
    ::testing::Values(
        RefusalCase{"device ID asked, none given", 0x2, nullptr, "@PJL INFO CONFIG\r\n\f", PAT_ERR_REPLY},
        RefusalCase{"device ID asked, empty", 0x2, "", nullptr, PAT_ERR_REPLY},
        RefusalCase{"text asked, none given", 0x4, "MFG:NEW;", nullptr, PAT_ERR_REPLY},
        RefusalCase{"text asked, empty reply", 0x4, "MFG:NEW;", "", PAT_ERR_REPLY},
        RefusalCase{"no form feed", 0x4, "MFG:NEW;", "@PJL INFO CONFIG\r\nDUPLEX\r\n", PAT_ERR_REPLY},
        RefusalCase{"a missing answer", 0x14, "MFG:NEW;", "@PJL INFO CONFIG\r\nDUPLEX\r\n\f", PAT_ERR_REPLY},
        RefusalCase{"empty text without a query", 0, "", nullptr, ERROR_INVALID_PARAMETER}));

TEST(Intake, OnlyTheDeviceIdIsNeededForADeviceIdQuery) {
    Centro c;
    c.Query(0x2);
    c.Text(INFO_DEVICE_ID, "MFG:A;");
    c.Text(INFO_PJL_TEXT, "@PJL INFO CONFIG\r\nDUPLEX\r\n\f");  // read unchecked
    Record r;
    EXPECT_EQ(TakeReply(c.root, &r.info), 0u);
    EXPECT_EQ(DescribeRecord(r.info), "maker='A' dev=[1]");
}

TEST(Intake, EmulationRootsCarryClass15) {
    for (DWORD value : {14u, 15u}) {
        Centro c(INFO_EMUL_REPLY_ROOT, &value, sizeof value);
        c.Text(INFO_PJL_TEXT, "@PJL INFO TESL\r\nIMAGEROTATION=POSSIBLE\r\n\f");
        Record r;
        EXPECT_EQ(TakeReply(c.root, &r.info), value == 15 ? 0u : static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        EXPECT_EQ(r.info.nEmulUniqInfo, value == 15 ? 1u : 0u);
    }
    DWORD wide[2] = {15, 0};
    Centro c(INFO_EMUL_REPLY_ROOT, wide, sizeof wide);
    Record r;
    EXPECT_EQ(TakeReply(c.root, &r.info), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(Intake, VersionBelow1173IsRefused) {
    Centro c;
    Record r;
    r.info.dwVersion = 1172;
    EXPECT_EQ(TakeReply(c.root, &r.info), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(Intake, TextsWithoutTheirNulEndAtTheBlock) {
    Centro c;
    c.Unterminated(INFO_DEVICE_ID, "MFG:ABC");
    c.Unterminated(INFO_PJL_TEXT, "@PJL INFO CONFIG\r\nDUPLEX\r\n\f");
    Record r;
    EXPECT_EQ(TakeReply(c.root, &r.info), 0u);
    EXPECT_EQ(DescribeRecord(r.info), "maker='ABC' dev=[1]");

    Centro checked;
    checked.Query(0x4);
    checked.Unterminated(INFO_PJL_TEXT, "@PJL INFO CONFIG\r\nDISK\r\n\f");
    Record r2;
    EXPECT_EQ(TakeReply(checked.root, &r2.info), 0u);
}

TEST(Intake, AFailingDeviceIdStopsTheIntake) {
    if (!HostHooksAvailable()) GTEST_SKIP() << "needs the host build's allocation hooks";
    Centro c;
    c.Text(INFO_DEVICE_ID, "MFG:A;");
    c.Text(INFO_PJL_TEXT, "@PJL INFO CONFIG\r\nDUPLEX\r\n\f");
    Record r;
    HostFailAllocation(1, 0);
    EXPECT_EQ(TakeReply(c.root, &r.info), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(DescribeRecord(r.info), "");
}

TEST(Intake, EveryAllocationMayFail) {
    if (!HostHooksAvailable()) GTEST_SKIP() << "needs the host build's allocation hooks";
    Centro c;
    c.Query(0x1E);
    c.Text(INFO_DEVICE_ID, "MFG:KOVAX;MDL:LP;DES:d;STS:10001/40010,1,Jam;RIJ:77/1,2;");
    std::string reply = kConfigReply +
                        "@PJL INFO CONFIG\r\nIN TRAYS [2 ENUMERATED]\r\n\tINTRAY1\r\n\tINTRAYMANUAL\r\n"
                        "VERSION [2 ENUMERATED]\r\n\tFIRMWARE 1\r\n\tPOSTSCRIPT 3\r\nCOLOR=TWIN\r\nPUNCH [1 ENUMERATED]\r\n\tJP2\r\n\f"
                        "@PJL INFO OUTBINSTATUS\r\nUPPER=FULL\r\nLOWER=READY\r\n\f";
    for (const char *v : {"FRONTCOVERPRINTTRAY", "SLIPSHEETPRINTTRAY", "CHAPTERPRINTTRAY1"})
        reply += std::string("@PJL INQUIRE ") + v + "\r\nTRAY1\r\n\f";
    for (int t = 1; t <= 5; ++t)
        for (const char *v : {"SIZE", "QUANT", "MEDIA", ""})
            reply += "@PJL INQUIRE INTRAY" + std::to_string(t) + v + "\r\nA4LONG\r\n\f";
    reply += "@PJL INQUIRE INTRAYMSIZE\r\nA3\r\n\f@PJL INQUIRE INTRAYMMEDIA\r\nPLAIN\r\n\f@PJL INQUIRE INTRAYMULTI\r\nLOCKED\r\n\f";
    c.Text(INFO_PJL_TEXT, reply);

    long baseline = HostLiveBlocks();
    unsigned long start = HostAllocationCount();
    std::string full;
    {
        Record r;
        ASSERT_EQ(TakeReply(c.root, &r.info), 0u);
        full = DescribeRecord(r.info);
    }
    const unsigned long allocations = HostAllocationCount() - start;
    ASSERT_GT(allocations, 15u);
    EXPECT_EQ(HostLiveBlocks(), baseline);
    for (unsigned long n = 1; n <= allocations; ++n) {
        Record r;
        HostFailAllocation(static_cast<unsigned>(n), 0);
        DWORD code = TakeReply(c.root, &r.info);
        HostFailAllocation(0, 0);
        EXPECT_TRUE(code == 0 || code == ERROR_NOT_ENOUGH_MEMORY) << n << ": " << code;
        EXPECT_TRUE(CountsMatchLists(r.info)) << n;
        ReleaseRecord(r.info);
        EXPECT_EQ(HostLiveBlocks(), baseline) << "allocation " << n << " leaked";
    }
}

}  // namespace
