#include "pjl/device_id.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/test_hooks.h"
#include "support/record_text.h"

namespace {

struct SplitCase {
    const char *source;
    DWORD capacity;
    const char *delimiters;
    const char *field;
    int advance;  // characters from the source to the returned position
};

class Split : public ::testing::TestWithParam<SplitCase> {};

TEST_P(Split, CopiesUpToTheDelimiterOrTheBound) {
    const SplitCase &c = GetParam();
    char out[64];
    std::memset(out, '#', sizeof out);
    const char *next = SplitField(c.source, out, c.capacity, c.delimiters);
    EXPECT_STREQ(out, c.field) << c.source;
    EXPECT_EQ(next - c.source, c.advance) << c.source;
}

INSTANTIATE_TEST_SUITE_P(Fields, Split,
                         ::testing::Values(SplitCase{"MFG:KOVAX;", 64, ":", "MFG", 4},
                                           SplitCase{"KOVAX;MDL", 64, ";", "KOVAX", 6},
                                           SplitCase{"no end", 64, ";", "no end", 6},
                                           SplitCase{"", 64, ";", "", 0},
                                           SplitCase{";", 64, ";", "", 1},
                                           SplitCase{"10001/40010,1", 64, ",/", "10001", 6},
                                           SplitCase{"ABCDEFG;", 4, ";", "ABC", 4}));  // D is passed over

TEST(StatusCodes, ErrorRange) {
    for (LONG v : {10002, 10042, 40001, 40341, 40343, 40439, 40444, 49999}) EXPECT_TRUE(IsErrorStatusCode(v)) << v;
    for (LONG v : {0, 10001, 10003, 40000, 40342, 40440, 40441, 40442, 40443, 50000, -10002, -254})
        EXPECT_FALSE(IsErrorStatusCode(v)) << v;
}

struct Record {
    PrnInfoEx info{};
    Record() { info.dwVersion = 1173; }
    ~Record() { ReleaseRecord(info); }
};

struct IdCase {
    const char *name;
    std::string text;
    std::string record;
};

class DeviceId : public ::testing::TestWithParam<IdCase> {};

TEST_P(DeviceId, FillsTheRecord) {
    const IdCase &c = GetParam();
    Record r;
    EXPECT_EQ(ParseDeviceId(c.text.c_str(), &r.info), 0u) << c.name;
    EXPECT_EQ(DescribeRecord(r.info), c.record) << c.name;
    EXPECT_TRUE(CountsMatchLists(r.info)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DeviceId,
    ::testing::Values(
        IdCase{"empty", "", ""},
        IdCase{"strings as they stand", "MFG:KOVAX CO.;MDL:LP 7200 Pro;DES: a printer ;",
               "model='LP 7200 Pro' maker='KOVAX CO.' desc=' a printer ' modelcode=255"},
        IdCase{"unknown, blank-led and lower-case keys are skipped", "XYZ:1; MFG:A;mfg:B;MFG:C;", "maker='C'"},
        IdCase{"status with text", "STS:10001/40010,1,Paper jam;",
               "status=[10001:Paper jam,40010:Paper jam] online=1 offline=0 error=1"},
        IdCase{"status without text", "STS:10001,2,;", "status=[10001] online=2 offline=1 error=0"},
        IdCase{"wide and negative codes", "STS:510023/-254,1,;",
               "status=[510023,4294967042] online=1 offline=0 error=0"},
        IdCase{"a repeated status replaces the list", "STS:10002,1,A;STS:10001,1,;",
               "status=[10001] online=1 offline=0 error=0"},
        IdCase{"counter and supplies", "RIJ:123456/80,40;", "counters=[1:123456]"},
        IdCase{"command sets leave the emulations", "CMD:PJL,TESL,POSTSCRIPT;MFG:K;", "maker='K'"},
        IdCase{"a value without its end", "MFG:KOVAX", "maker='KOVAX'"}));

TEST(DeviceId, AnOverlongValueSpillsIntoTheNextKey) {
    Record r;
    std::string text = "DES:" + std::string(255, 'd') + "XYZ;MFG:K;MDL:M;";
    ParseDeviceId(text.c_str(), &r.info);
    EXPECT_EQ(std::string(r.info.pDescription), std::string(255, 'd'));
    // The 256th character is passed over and "YZ;MFG" becomes a key of its own.
    EXPECT_EQ(r.info.pMakerName, nullptr);
    EXPECT_STREQ(r.info.pModelName, "M");
}

TEST(DeviceId, SlotReplacementFreesTheOldString) {
    if (!HostHooksAvailable()) GTEST_SKIP() << "needs the host build's live-block count";
    Record r;
    ParseDeviceId("MFG:A;STS:10001/10002,1,x;RIJ:5/;", &r.info);
    long before = HostLiveBlocks();
    ParseDeviceId("MFG:B;STS:10001/10002,1,x;RIJ:5/;", &r.info);
    EXPECT_EQ(HostLiveBlocks(), before);
    EXPECT_STREQ(r.info.pMakerName, "B");
}

TEST(DeviceId, FailingToStoreTheMakerEndsTheParse) {
    if (!HostHooksAvailable()) GTEST_SKIP() << "needs the host build's allocation hooks";
    Record r;
    HostFailAllocation(1, 0);
    EXPECT_EQ(ParseDeviceId("MFG:A;DES:B;", &r.info), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(DescribeRecord(r.info), "");
    HostFailAllocation(1, 0);  // the model name: the parse goes on
    EXPECT_EQ(ParseDeviceId("MDL:M;DES:B;", &r.info), 0u);
    EXPECT_EQ(DescribeRecord(r.info), "desc='B' modelcode=255");
}

}  // namespace
