#include "pjl/query_builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "model/info_node.h"
#include "platform/test_hooks.h"

namespace {

const std::string UEL = "\x1B%-12345X";
const std::string kOpening = UEL + "@PJL\r\n";
const std::string kConfig = "@PJL INFO CONFIG\r\n";
const std::string kAssign =
    "@PJL INQUIRE FRONTCOVERPRINTTRAY\r\n@PJL INQUIRE SLIPSHEETPRINTTRAY\r\n@PJL INQUIRE CHAPTERPRINTTRAY1\r\n";
const std::string kOutBins = "@PJL INFO OUTBINSTATUS\r\n";

std::string TrayBlock(int n) {
    std::string t = "@PJL INQUIRE INTRAY" + std::to_string(n);
    return t + "SIZE\r\n" + t + "QUANT\r\n" + t + "MEDIA\r\n" + t + "\r\n";
}
const std::string kBypassBlock =
    "@PJL INQUIRE INTRAYMSIZE\r\n@PJL INQUIRE INTRAYMMEDIA\r\n@PJL INQUIRE INTRAYMULTI\r\n";
std::string AllTrayBlocks() {
    std::string s;
    for (int i = 1; i <= 5; ++i) s += TrayBlock(i);
    return s + kBypassBlock;
}

struct Record {
    PrnInfoEx info{};
    std::vector<TrayInfo> trays;
    explicit Record(std::vector<WORD> codes = {}, DWORD version = 1173) : trays(codes.size()) {
        info.dwVersion = version;
        for (size_t i = 0; i < codes.size(); ++i) {
            trays[i].dwSize = sizeof(TrayInfo);
            trays[i].wTrayCode = codes[i];
            trays[i].pNext = i + 1 < codes.size() ? &trays[i + 1] : nullptr;
        }
        info.pTrayInfo = trays.empty() ? nullptr : trays.data();
        info.nTrayInfo = 0;  // the builder follows the links, not the count
    }
};

struct Built {
    InfoNode *root = CreateInfoNode(nullptr, INFO_QUERY_ROOT, nullptr, 0);
    DWORD code = 0;
    ~Built() {
        for (InfoNode *n = root->pFirstChild; n;) {
            InfoNode *next = n->pNextSibling;
            GlobalFree(n);
            n = next;
        }
        GlobalFree(root);
    }
    std::vector<LONG> Ids() const {
        std::vector<LONG> ids;
        for (InfoNode *n = root->pFirstChild; n; n = n->pNextSibling) ids.push_back(n->id);
        return ids;
    }
    // The query text, or "<none>" when there is no node 1000.
    std::string Text() const {
        InfoNode *n = FindInfoNode(root->pFirstChild, INFO_PJL_TEXT);
        if (n == nullptr) return "<none>";
        const char *p = reinterpret_cast<const char *>(INFO_NODE_DATA(n));
        EXPECT_EQ(p[n->cbData - 1], '\0');
        EXPECT_EQ(std::strlen(p) + 1, n->cbData);
        return std::string(p, n->cbData - 1);
    }
};

struct FlagCase {
    DWORD flags;
    std::vector<LONG> ids;
    std::string text;
};

class QueryFlags : public ::testing::TestWithParam<FlagCase> {};

TEST_P(QueryFlags, TreeAndTextMatch) {
    const FlagCase &c = GetParam();
    Record rec;
    Built b;
    b.code = BuildStatusQuery(&rec.info, c.flags, b.root);
    EXPECT_EQ(b.code, 0u);
    EXPECT_EQ(b.Ids(), c.ids);
    EXPECT_EQ(b.Text(), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Groups, QueryFlags,
    ::testing::Values(
        FlagCase{0, {}, "<none>"},
        FlagCase{0xFFF5FAE1, {}, "<none>"},  // every bit outside the four groups
        FlagCase{0x2, {1002}, "<none>"},
        FlagCase{0x80400, {1002}, "<none>"},
        FlagCase{0x4, {1000}, kOpening + kConfig + UEL},
        FlagCase{0x20100, {1000}, kOpening + kConfig + UEL},
        FlagCase{0x12, {1002, 1000}, kOpening + kOutBins + UEL},
        FlagCase{0x8, {1000}, kOpening + kAssign + AllTrayBlocks() + UEL},
        FlagCase{0x1E, {1002, 1000}, kOpening + kConfig + kAssign + AllTrayBlocks() + kOutBins + UEL}));

TEST(QueryBuilder, FullQueryIs754Bytes) {
    Record rec;
    Built b;
    BuildStatusQuery(&rec.info, 0x1E, b.root);
    EXPECT_EQ(b.Text().size(), 754u);
    EXPECT_EQ(TrayBlock(1).size(), 102u);
    EXPECT_EQ(kBypassBlock.size(), 79u);
}

struct TrayCase {
    std::vector<WORD> codes;
    std::string blocks;
};

class TrayLists : public ::testing::TestWithParam<TrayCase> {};

TEST_P(TrayLists, BlocksFollowTheListOrder) {
    Record rec(GetParam().codes);
    Built b;
    BuildStatusQuery(&rec.info, 0x8, b.root);
    EXPECT_EQ(b.Text(), kOpening + kAssign + GetParam().blocks + UEL);
}

INSTANTIATE_TEST_SUITE_P(Lists, TrayLists,
                         ::testing::Values(TrayCase{{1, 3}, kBypassBlock + TrayBlock(1)},
                                           TrayCase{{2}, ""},
                                           TrayCase{{0, 8, 0xFFFF}, ""},
                                           TrayCase{{7, 4, 7}, TrayBlock(5) + TrayBlock(2) + TrayBlock(5)}));

TEST(QueryBuilder, LongTrayListGrowsTheText) {
    std::vector<WORD> codes;
    std::string blocks;
    for (int i = 0; i < 40; ++i) {
        codes.push_back(static_cast<WORD>(3 + i % 5));
        blocks += TrayBlock(1 + i % 5);
    }
    Record rec(codes);
    Built b;
    EXPECT_EQ(BuildStatusQuery(&rec.info, 0x1E, b.root), 0u);
    std::string text = b.Text();
    EXPECT_GT(text.size(), 4000u);
    EXPECT_EQ(text, kOpening + kConfig + kAssign + blocks + kOutBins + UEL);
}

TEST(QueryBuilder, VersionBelow1173IsRefused) {
    for (DWORD v : {0u, 1172u}) {
        Record rec({}, v);
        Built b;
        EXPECT_EQ(BuildStatusQuery(&rec.info, 0x1E, b.root), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        EXPECT_EQ(b.root->pFirstChild, nullptr);
    }
    for (DWORD v : {1173u, 0x80000000u}) {
        Record rec({}, v);
        Built b;
        EXPECT_EQ(BuildStatusQuery(&rec.info, 0x4, b.root), 0u);
    }
}

TEST(QueryBuilder, FailedNodeAllocationsLeaveChildrenOut) {
    if (!HostHooksAvailable()) GTEST_SKIP() << "needs the host build's allocation hooks";
    Record rec;
    {
        Built b;
        HostFailAllocation(1, 0);  // the device ID node
        EXPECT_EQ(BuildStatusQuery(&rec.info, 0x6, b.root), 0u);
        EXPECT_EQ(b.Ids(), std::vector<LONG>{1000});
    }
    {
        Built b;
        HostFailAllocation(2, 0);  // the text node
        EXPECT_EQ(BuildStatusQuery(&rec.info, 0x6, b.root), 0u);
        EXPECT_EQ(b.Ids(), std::vector<LONG>{1002});
    }
    {
        // A long text that cannot grow is not sent cut short.
        std::vector<WORD> codes(20, 3);
        Record big(codes);
        Built b;
        long before = HostLiveBlocks();
        HostFailAllocation(1, 1);
        EXPECT_EQ(BuildStatusQuery(&big.info, 0x8, b.root), 0u);
        HostFailAllocation(0, 0);
        EXPECT_EQ(b.Ids(), std::vector<LONG>{});
        EXPECT_EQ(HostLiveBlocks(), before);
    }
}

TEST(QueryBuilder, EmulationQuery) {
    Built b;
    EXPECT_EQ(BuildEmulQuery(15, b.root), 0u);
    EXPECT_EQ(b.Ids(), std::vector<LONG>{1000});
    EXPECT_EQ(b.Text(), UEL + "@PJL\r\n@PJL INFO TESL\r\n" + UEL);
    EXPECT_EQ(b.root->pFirstChild->cbData, 41u);
    Built refused;
    EXPECT_EQ(BuildEmulQuery(14, refused.root), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(refused.root->pFirstChild, nullptr);
}

}  // namespace
