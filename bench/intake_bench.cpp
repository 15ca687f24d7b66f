// Reply intake throughput: one PatSetCentroDataTo-equivalent intake (reply
// check against the query, walk into a fresh record, device ID) as a
// multiple of one strlen over the same bytes in the same run, for a
// realistic reply, replies of many output-bin lines and version entries,
// and the growth from 100 KB to 1 MB to 10 MB.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

#include "model/info_node.h"
#include "pjl/query_builder.h"
#include "pjl/reply_intake.h"
#include "support/record_text.h"

namespace {

const std::string UEL = "\x1B%-12345X";

std::string Answer(const char *variable, const char *value) {
    return std::string("@PJL INQUIRE ") + variable + "\r\n" + value + "\r\n\f";
}

// What a printer of the family sends for the status query (flags 0x1E).
std::string RealisticReply() {
    std::string r = UEL + "@PJL INFO CONFIG\r\n"
                          "IN TRAYS [3 ENUMERATED]\r\n\tINTRAY1\r\n\tINTRAY2\r\n\tINTRAYMANUAL\r\n"
                          "OUT TRAYS [2 ENUMERATED]\r\n\tOUTTRAYJOINT\r\n\tOUTTRAYMULTIFUNCTION\r\n"
                          "MEMORY=268435456\r\nDUPLEX\r\nDISK\r\nCOLOR=TWIN\r\nPUNCH [1 ENUMERATED]\r\n\tJP2\r\n"
                          "VERSION [3 ENUMERATED]\r\n\tFIRMWARE 1.05\r\n\tTESL 2.10\r\n\tPOSTSCRIPT 3017.102\r\n\f"
                          "@PJL INFO OUTBINSTATUS\r\nUPPER=FULL\r\nINNER=READY\r\nFINISHERSHIFT=PAPEREXIST\r\n\f";
    r += Answer("FRONTCOVERPRINTTRAY", "TRAY1") + Answer("SLIPSHEETPRINTTRAY", "BYPASS") +
         Answer("CHAPTERPRINTTRAY1", "NONE");
    for (int t = 1; t <= 5; ++t) {
        std::string n = "INTRAY" + std::to_string(t);
        r += Answer((n + "SIZE").c_str(), "A4LONG") + Answer((n + "QUANT").c_str(), "3/5") +
             Answer((n + "MEDIA").c_str(), "PLAIN") + Answer(n.c_str(), "UNLOCKED");
    }
    r += Answer("INTRAYMSIZE", "A3") + Answer("INTRAYMMEDIA", "THICK") + Answer("INTRAYMULTI", "UNLOCKED");
    return r + UEL;
}

// The realistic reply followed by a long output-bin block and a long version
// list (a broken or hostile printer), to about `size` bytes.
std::string LongReply(size_t size) {
    std::string r = RealisticReply();
    std::string bins = "@PJL INFO OUTBINSTATUS\r\n", versions;
    const size_t half = size / 2;
    while (bins.size() < half) bins += "UPPER=FULL\r\nFINISHERBOOKLET=READY\r\n";
    unsigned long n = 0;
    while (versions.size() < half) {
        versions += "\tTESL 2.";
        versions += std::to_string(n++);
        versions += "\r\n";
    }
    return r + bins + "\f@PJL INFO CONFIG\r\nVERSION [" + std::to_string(n) + " ENUMERATED]\r\n" + versions + "\f";
}

const char kDeviceId[] = "MFG:KOVAX CO., LTD.;MDL:LP 9000;DES:KOVAX LP 9000;STS:10001/40010,1,Paper Jam;RIJ:123456/50;";

volatile unsigned long g_sink;

struct Tree {
    InfoNode *root;
    explicit Tree(const std::string &reply) : root(CreateInfoNode(nullptr, INFO_REPLY_ROOT, nullptr, 0)) {
        InfoNode *query = CreateInfoNode(root, INFO_QUERY_ROOT, nullptr, 0);
        PrnInfoEx rec{};
        rec.dwVersion = 1173;
        BuildStatusQuery(&rec, 0x1E, query);
        CreateInfoNode(root, INFO_PJL_TEXT, reply.c_str(), static_cast<DWORD>(reply.size() + 1));
        CreateInfoNode(root, INFO_DEVICE_ID, kDeviceId, sizeof kDeviceId);
    }
    ~Tree() { ReleaseTree(root); }
};

unsigned long Intake(const InfoNode *root) {
    PrnInfoEx rec{};
    rec.dwVersion = 1173;
    DWORD code = TakeReply(root, &rec);
    unsigned long items = rec.nOutBinInfo + rec.nLoadedEmul + rec.nDeviceInfo + code;
    ReleaseRecord(rec);
    return items;
}

template <typename Pass>
double NanosecondsPerPass(Pass pass, unsigned passes) {
    double best = 1e300;
    for (int round = 0; round < 3; ++round) {
        auto start = std::chrono::steady_clock::now();
        for (unsigned i = 0; i < passes; ++i) g_sink = g_sink + pass();
        std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
        if (took.count() / passes < best) best = took.count() / passes;
    }
    return best;
}

void Measure(const char *name, const std::string &reply) {
    Tree tree(reply);
    const char *volatile bytes = reply.c_str();
    unsigned passes = static_cast<unsigned>(2000000 / (reply.size() + 1000)) + 1;
    unsigned long items = Intake(tree.root);
    double intakeNs = NanosecondsPerPass([&] { return Intake(tree.root); }, passes);
    double strlenNs = NanosecondsPerPass([&] { return static_cast<unsigned long>(strlen(bytes)); }, passes * 8);
    std::printf("%-24s %9zu bytes %7lu items  intake %8.2f ns/byte  strlen %6.3f ns/byte  ratio %7.1f\n", name,
                reply.size(), items, intakeNs / reply.size(), strlenNs / reply.size(), intakeNs / strlenNs);
}

}  // namespace

int main() {
    std::printf("Reply intake (check, walk, device ID) against one strlen over the reply's bytes\n\n");
    Measure("realistic reply", RealisticReply());
    Measure("reply of about 1 MB", LongReply(1 << 20));
    std::printf("\ngrowth (ns/byte should stay flat):\n");
    for (size_t kb : {100, 1000, 10000}) {
        char name[32];
        std::snprintf(name, sizeof name, "%zu KB", kb);
        Measure(name, LongReply(kb * 1000));
    }
    return 0;
}
