// The reply walker with the library's keyword tables and handlers, from the
// reply text to what lands in the record.
#include <gtest/gtest.h>

#include <string>

#include "pjl/keyword_dispatch.h"
#include "pjl/reply_handlers.h"
#include "platform/test_hooks.h"
#include "support/record_text.h"

namespace {

// Lines end in CR LF, as printers send them.
std::string Crlf(const std::string &s) {
    std::string out;
    for (char c : s) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

struct Record {
    PrnInfoEx info{};
    Record() { info.dwVersion = 1173; }
    ~Record() { ReleaseRecord(info); }
    DWORD Walk(const std::string &text) { return WalkPjlReply(&info, ModelKeywordTable, text.c_str()); }
};

struct WalkCase {
    const char *name;
    std::string before;  // walked first, if not empty
    std::string reply;
    std::string record;
    DWORD result;
};

class Walk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(Walk, FillsTheRecord) {
    const WalkCase &c = GetParam();
    Record r;
    if (!c.before.empty()) r.Walk(Crlf(c.before));
    EXPECT_EQ(r.Walk(Crlf(c.reply)), c.result) << c.name;
    EXPECT_EQ(DescribeRecord(r.info), c.record) << c.name;
    EXPECT_TRUE(CountsMatchLists(r.info)) << c.name;
}

const std::string kConfig =
    "\x1B%-12345X@PJL INFO CONFIG\n"
    "IN TRAYS [3 ENUMERATED]\n"
    "\tINTRAY1\n"
    "\tINTRAY2\n"
    "\tINTRAYMANUAL\n"
    "OUT TRAYS [2 ENUMERATED]\n"
    "\tOUTTRAYJOINT\n"
    "\tOUTTRAYBOOKLETA\n"
    "DUPLEX\n"
    "DISK\n"
    "MEMORY=2097152\n"
    "VERSION [3 ENUMERATED]\n"
    "\tFIRMWARE 1.02\n"
    "\tTESL 3.40.0001234567890\n"
    "\tPOSTSCRIPT 3010.104\n"
    "\f\x1B%-12345X";

// Another maker's printer: only what this model's tables know is loaded.
const std::string kOtherMaker =
    "\x1B%-12345X@PJL INFO CONFIG\n"
    "IN TRAYS [3 ENUMERATED]\n\tINTRAY1 MP\n\tINTRAY2 PC\n\tINTRAY3 LC\n"
    "ENVELOPE TRAY\n"
    "OUT TRAYS [1 ENUMERATED]\n\tUPPER FACEDOWN\n"
    "PAPERS [9 ENUMERATED]\n\tLETTER\n\tLEGAL\n\tA4\n\tEXECUTIVE\n\tMONARCH\n\tCOM10\n\tDL\n\tC5\n\tB5\n"
    "LANGUAGES [2 ENUMERATED]\n\tPCL\n\tPOSTSCRIPT\n"
    "USTATUS [4 ENUMERATED]\n\tDEVICE\n\tJOB\n\tPAGE\n\tTIMED\n"
    "FONT CARTRIDGE SLOTS [1 ENUMERATED]\n\tCARTRIDGE\n"
    "MEMORY=8388608\nDISPLAY LINES=1\nDISPLAY CHARACTER SIZE=16\n\f\x1B%-12345X";

INSTANTIATE_TEST_SUITE_P(
    Replies, Walk,
    ::testing::Values(
        WalkCase{"no PJL at all", "", "PRINTER READY\n\f", "", 0},
        WalkCase{"another maker's configuration", "", kOtherMaker,
                 "mem=8192 trays=[3:size0,level0,media0,flags0x0,4:size0,level0,media0,flags0x0,"
                 "5:size0,level0,media0,flags0x0]",
                 0},
        WalkCase{"a whole configuration", "", kConfig,
                 "sys='1.02' kps='3010.104' mem=2048 emul=[15:3.40.0001234567,2:3010.104] "
                 "trays=[3:size0,level0,media0,flags0x0,4:size0,level0,media0,flags0x0,1:size0,level0,media0,flags0x0] "
                 "dev=[16,6,115,1,3]",
                 0},
        WalkCase{"a second configuration rebuilds the options", kConfig,
                 "@PJL INFO CONFIG\nIN TRAYS [3 ENUMERATED]\n\tINTRAY1\n\tINTRAY2\n\tINTRAYMANUAL\nDISK\n\f",
                 "sys='1.02' kps='3010.104' mem=2048 emul=[15:3.40.0001234567,2:3010.104] "
                 "trays=[3:size0,level0,media0,flags0x0,4:size0,level0,media0,flags0x0,1:size0,level0,media0,flags0x0] "
                 "dev=[16,3]",
                 0},
        WalkCase{"another tray count empties the tray list", kConfig,
                 "@PJL INFO CONFIG\nIN TRAYS [2 ENUMERATED]\n\tINTRAY3\n\tINTRAY1\n\f",
                 "sys='1.02' kps='3010.104' mem=2048 emul=[15:3.40.0001234567,2:3010.104] "
                 "trays=[5:size0,level0,media0,flags0x0,3:size0,level0,media0,flags0x0]",
                 0},
        WalkCase{"words match case-sensitively", "", "@PJL INFO CONFIG\nduplex\nDisk\nMEMORY=1023\n\f", "", 0},
        WalkCase{"COLOR TWIN", "", "@PJL INFO CONFIG\nCOLOR=TWIN\nDUPLEX\n\f", "dev=[143,1]", 0},
        WalkCase{"another COLOR reads on to the form feed", "", "@PJL INFO CONFIG\nCOLOR=MONO\nDUPLEX\nDISK\n\f",
                 "", 0},
        WalkCase{"a punch set of one name", "", "@PJL INFO CONFIG\nPUNCH [1 ENUMERATED]\n\tJP2\nDISK\n\f",
                 "dev=[12,3]", 0},
        WalkCase{"no punch set of two names", "", "@PJL INFO CONFIG\nPUNCH [2 ENUMERATED]\n\tJP2\n\tJP3\nDUPLEX\n\f",
                 "dev=[1]", 0},
        WalkCase{"a punch count above five", "", "@PJL INFO CONFIG\nPUNCH [6 ENUMERATED]\n\tJP2\nDUPLEX\n\f",
                 "dev=[1]", 0},
        WalkCase{"output bins", "@PJL INFO OUTBINSTATUS\nLOWER=FULL\n\f",
                 "@PJL INFO OUTBINSTATUS\nUPPER=FULL\nINNER=PAPEREXIST\nFINISHERBOOKLET=READY\nUPPER=JAMMED\n"
                 "SIDE=FULL\n\f",
                 "binvalue=255 bins=[1:2,2:1,27:0,1:0]", 0},
        WalkCase{"a list emptied and rebuilt within one reply", "",
                 "@PJL INFO OUTBINSTATUS\nUPPER=FULL\nLOWER=FULL\n\f@PJL INFO OUTBINSTATUS\nINNER=FULL\nLOWER=READY\n\f",
                 "binvalue=255 bins=[2:2,3:0]", 0},
        WalkCase{"tray answers", "",
                 "@PJL INQUIRE INTRAY3SIZE\nA4LONG\n\f@PJL INQUIRE INTRAY2\nLOCKED\n\f"
                 "@PJL INQUIRE INTRAY1QUANT\n3/5\n\f@PJL INQUIRE INTRAYMMEDIA\nTHICK2\n\f"
                 "@PJL INQUIRE INTRAY5SIZE\nB9\n\f",
                 "trays=[5:size8,level0,media0,flags0x0,4:size0,level0,media0,flags0x1,"
                 "3:size0,level60,media0,flags0x0,1:size0,level0,media17,flags0x0,7:size0,level0,media0,flags0x0]",
                 0},
        WalkCase{"a lock answer clears only the lock bit", "@PJL INQUIRE SLIPSHEETPRINTTRAY\nTRAY2\n\f@PJL INQUIRE INTRAY2\nLOCKED\n\f",
                 "@PJL INQUIRE INTRAY2\nUNLOCKED\n\f", "trays=[4:size0,level0,media0,flags0x8]", 0},
        WalkCase{"special trays keep their bits", "",
                 "@PJL INQUIRE FRONTCOVERPRINTTRAY\nBYPASS\n\f@PJL INQUIRE CHAPTERPRINTTRAY1\nNONE\n\f"
                 "@PJL INQUIRE FRONTCOVERPRINTTRAY\nTRAY1\n\f",
                 "trays=[1:size0,level0,media0,flags0x4,3:size0,level0,media0,flags0x4]", 0},
        WalkCase{"emulation settings", "@PJL INFO TESL\nMEMORYUSAGE=USER\n\f",
                 "@PJL INFO TESL\nIMAGEROTATION=IMPOSSIBLE\nOTHER=\"0123456789012345678901234567890123456789\"\n\f",
                 "tesl=[15:usage2,rotation2,other'01234567890123456789012345678901']", 0},
        WalkCase{"marking and function package", "",
                 "@PJL INQUIRE PRINTERMARKINGTYPE\nSECURITYTRACE\n\f@PJL INQUIRE REFRESHCOPYPLUGINSTATUS\nACTIVATE\n\f"
                 "@PJL INQUIRE REFRESHCOPYPLUGINSTATUS\nNONE\n\f",
                 "dev=[500] marking=1 funcpkg=[1:305916427,status0]", 0},
        WalkCase{"a malformed answer skips to the next command", "",
                 "@PJL INQUIRE INTRAY1SIZE\n\tA4\n\f@PJL INFO CONFIG\nDUPLEX\n\f",
                 "trays=[3:size0,level0,media0,flags0x0] dev=[1]", 0},
        WalkCase{"a reply cut inside a block keeps what came before", "", "@PJL INFO CONFIG\nDUPLEX\nDISK",
                 "dev=[1]", ERROR_INVALID_DATA}));

TEST(Walk, BareLineFeedsReadLikeCrLf) {
    Record crlf, lf;
    EXPECT_EQ(crlf.Walk(Crlf(kConfig)), 0u);
    EXPECT_EQ(lf.Walk(kConfig), 0u);
    EXPECT_EQ(DescribeRecord(lf.info), DescribeRecord(crlf.info));
    EXPECT_NE(DescribeRecord(lf.info), "");
}

TEST(Walk, VersionsLongerThanTheirEntriesRunOn) {
    Record r;
    // Only entry lines count; the count runs over the form feed into the next block.
    // The lines it reads on through reach no other handler (DUPLEX here).
    r.Walk(Crlf("@PJL INFO CONFIG\nVERSION [3 ENUMERATED]\n\tTESL 1\n\f@PJL INFO CONFIG\nDUPLEX\n\tKTIFF 2\n\tHPGL2 3\n\f"));
    EXPECT_EQ(DescribeRecord(r.info), "emul=[15:1,13:2,12:3]");
}

TEST(Walk, ManyLinesStayInOrder) {
    Record r;
    std::string reply = "@PJL INFO OUTBINSTATUS\n";
    for (int i = 0; i < 3000; ++i) reply += i % 2 ? "UPPER=FULL\n" : "LOWER=READY\n";
    reply += "\f@PJL INFO CONFIG\n";
    for (int i = 0; i < 3000; ++i) reply += i % 2 ? "DISK\n" : "DUPLEX\n";
    reply += "\f";
    EXPECT_EQ(r.Walk(Crlf(reply)), 0u);
    ASSERT_EQ(r.info.nOutBinInfo, 3000u);
    ASSERT_EQ(r.info.nDeviceInfo, 3000u);
    EXPECT_TRUE(CountsMatchLists(r.info));
    int i = 0;
    for (const OutBinInfo *b = r.info.pOutBinInfo; b; b = b->pNext, ++i) ASSERT_EQ(b->wBinCode, i % 2 ? 1 : 3) << i;
    i = 0;
    for (const DeviceInfo *d = r.info.pDeviceInfo; d; d = d->pNext, ++i) ASSERT_EQ(d->wDeviceCode, i % 2 ? 3 : 1) << i;
}

struct NumberCase {
    const char *text;
    DWORD value;
};

class Numbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(Numbers, ReadAsThePrinterMeansThem) { EXPECT_EQ(ReadPjlNumber(GetParam().text), GetParam().value) << GetParam().text; }

INSTANTIATE_TEST_SUITE_P(Texts, Numbers,
                         ::testing::Values(NumberCase{"2097152", 2097152}, NumberCase{"  42x", 42}, NumberCase{"", 0},
                                           NumberCase{"abc", 0}, NumberCase{"+7", 7}, NumberCase{"-1", 0xFFFFFFFF},
                                           NumberCase{"4294967295", 0xFFFFFFFF}, NumberCase{"4294967296", 0xFFFFFFFF},
                                           NumberCase{"99999999999999", 0xFFFFFFFF}, NumberCase{"\t12", 12}));

TEST(ValueTables, EndRowsGiveTheDefaults) {
    struct Lookup {
        const NameCodeRow *table;
        const char *word;
        LONG code;
    } cases[] = {
        {PaperSizeTable, "A4LONG", 8},       {PaperSizeTable, "CUSTOM", 2},   {PaperSizeTable, "a4long", 0},
        {PaperSizeTable, "INCH11x15SRT", 134}, {MediaTypeTable, "SEMIGLOSSY", 65}, {MediaTypeTable, "CUSTOM8", 107},
        {MediaTypeTable, "MATCOATED", 54},   {MediaTypeTable, "NOPE", 0},     {EmulationTable, "FIRMWARE", -1},
        {EmulationTable, "GL2", 12},         {TrayNameTable, "BYPASS", 1},    {FillLevelTable, "FULL", 100},
        {FillLevelTable, "1/2", 0},          {MarkingTypeTable, "COPYGUARD", 1},
    };
    for (const Lookup &l : cases) EXPECT_EQ(LookupNameCode(l.word, l.table), l.code) << l.word;
}

TEST(Handlers, AllocationFailuresAreReportedAndTheWalkGoesOn) {
    if (!HostHooksAvailable()) GTEST_SKIP() << "needs the host build's allocation hooks";
    Record r;
    HostFailAllocation(1, 0);  // the DUPLEX item
    EXPECT_EQ(r.Walk(Crlf("@PJL INFO CONFIG\nDUPLEX\nDISK\n\f")), 0u);
    EXPECT_EQ(DescribeRecord(r.info), "dev=[3]");
}

}  // namespace
